#pragma once
#include <string>

#include "vq_container.h"

namespace vqhost {

// The node grid of every domain in the report: the root if it is one, and
// the domains it refers to. Empty when there is none.
std::string GridText(VQ_Container& root);

}  // namespace vqhost
