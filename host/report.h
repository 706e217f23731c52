#pragma once
#include <string>
#include <vector>

#include "output.h"
#include "vq_driver.h"

namespace vqhost {

// What an instance registered, the values the runtime holds for it and what
// it links, every equation it emitted, and the frame calls the runtime
// received from it while it was driven (`frames`, one line each), written
// to `out` as they are produced.
void WriteReportText(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames,
                     Output& out);
void WriteReportJson(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames,
                     Output& out);

}  // namespace vqhost
