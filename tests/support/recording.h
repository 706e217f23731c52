#pragma once
// The calls an action makes into the runtime, one line each.
#include <functional>
#include <string>
#include <vector>

#include "vq_recorder.h"

inline std::vector<std::string> Recorded(const std::function<void()>& action) {
  vq_rt::Recorder::Clear();
  vq_rt::Recorder::Enable(true);
  try {
    action();
  } catch (...) {
    vq_rt::Recorder::Enable(false);
    throw;
  }
  vq_rt::Recorder::Enable(false);
  return vq_rt::DescribeAll();
}
