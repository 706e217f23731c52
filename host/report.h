#pragma once
#include <string>

#include "vq_driver.h"

namespace vqhost {

// What an instance registered, the values the runtime holds for it and what
// it links, and every equation it emitted.
std::string ReportText(VQ_ModelType& root, const vq_rt::Driver& driver);
std::string ReportJson(VQ_ModelType& root, const vq_rt::Driver& driver);

}  // namespace vqhost
