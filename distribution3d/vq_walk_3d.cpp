#include "vq_walk_3d.h"

namespace brantel::walk {

namespace {

constexpr std::array kProgram = {Group(), End()};
constexpr auto kEnds = ItemEnds(kProgram);
constexpr Program kWalk{kProgram.data(), kEnds.data(), static_cast<int>(kProgram.size())};

}  // namespace

const Program& Walk3D() { return kWalk; }

}  // namespace brantel::walk
