#pragma once
#include <string>
#include <vector>

#include "vq_driver.h"

namespace vqhost {

// What an instance registered, the values the runtime holds for it and what
// it links, every equation it emitted, and the frame calls the runtime
// received from it while it was driven (`frames`, one line each).
std::string ReportText(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames);
std::string ReportJson(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames);

}  // namespace vqhost
