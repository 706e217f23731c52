#include "vq_methods.h"

#include "kyvexp.h"

namespace brantel {

const std::array<const char*, 10> kMethodNames = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2",
                                                  "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};

const std::array<MinNodeCountRow, 3> kMinNodeCountRows = {{
    {{"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "OCFE2"}, 6, 2},
    {{"OCFE3"}, 7, 3},
    {{"CFD4", "UBFD4", "OCFE4"}, 8, 4},
}};

// The positions are the stored five-digit values (two- and three-point
// Gauss positions for OCFE3 and OCFE4), not full precision.
const std::array<PolyPointRow, 5> kPolyPointRows = {{
    {{"OCFE2"}, 9, 1, {0.5}},
    {{"BFD2", "FFD2", "CFD2"}, 11, 1, {0.5}},
    {{"OCFE3"}, 13, 2, {0.21132, 0.78868}},
    {{"OCFE4"}, 16, 3, {0.1127, 0.5, 0.8873}},
    {{"CFD4", "UBFD4"}, 20, 3, {0.25, 0.5, 0.75}},
}};

namespace {
template <class Rows>
const typename Rows::value_type* Find(const Rows& rows, const char* method) {
  for (const auto& row : rows)
    for (const char* name : row.methods)
      if (name != nullptr && XUValue::CompareCI(name, method) == 0) return &row;
  return nullptr;
}
}  // namespace

const MinNodeCountRow* MinNodeCountFor(const char* method) { return Find(kMinNodeCountRows, method); }
const PolyPointRow* PolyPointsFor(const char* method) { return Find(kPolyPointRows, method); }

const char* KnownMethod(const char* method) {
  for (const char* name : kMethodNames)
    if (XUValue::CompareCI(name, method) == 0) return name;
  return nullptr;
}

int OwnPolyPoints(const char* method) {
  const PolyPointRow* row = PolyPointsFor(method);
  return row ? row->points : 0;
}

bool UniformLayout(const char* method) {
  for (const char* name : {"FFD2", "CFD2", "BFD2", "CFD4", "UBFD4"})
    if (XUValue::CompareCI(name, method) == 0) return true;
  return false;
}

}  // namespace brantel
