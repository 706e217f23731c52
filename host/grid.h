#pragma once
#include "output.h"
#include "vq_container.h"

namespace vqhost {

// The node grid of every domain in the report: the root if it is one, and
// the domains it refers to. Nothing when there is none.
void WriteGrids(VQ_Container& root, Output& out);

}  // namespace vqhost
