#pragma once
#include <functional>
#include <string>

#include "vq_inspect.h"

namespace vqhost {

// The entries of vq_rt::CollectValues, in its order, one at a time. The
// elements of arrays of variables (a distribution's millions of unknowns)
// are not visited at all, and nothing is kept per element.
void ForEachValue(VQ_Container& root, const vq_rt::PathNamer& namer,
                  const std::function<void(const std::string& path, const XUValue& value)>& visit);

}  // namespace vqhost
