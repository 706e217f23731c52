#include <cstring>

#include "dornvale.h"

namespace {

constexpr int kDerivatives = 4;

bool UsableTable(const double* xa, int n, int na, int nb) {
  if (n < 2 || n > na || n > nb) return false;
  for (int i = 0; i + 1 < n; ++i)
    if (!(xa[i] < xa[i + 1])) return false;  // also refuses abscissae that are not numbers
  return true;
}

// The segment [xa[k], xa[k+1]] that holds x, the first or last one when x
// lies outside the table.
int SegmentOf(const double* xa, int n, double x) {
  int lo = 0, hi = n - 2;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (xa[mid] <= x)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

}  // namespace

DORNVALE_API void INTERP(int* kind, double* inputs, int* inputDims, double* outputs, int*, int* inputOffsets,
                         int* outputOffsets, int*, double*, int*, int* derivativeCount, int* derivativeRows,
                         int* derivativeCols, int*, double* derivatives, int* failure) {
  const double x = inputs[inputOffsets[0]];
  const double* xa = inputs + inputOffsets[1];
  const double* ya = inputs + inputOffsets[2];
  const int na = inputDims[0];
  const int nb = inputDims[1];
  int n;
  std::memcpy(&n, inputs + inputOffsets[3], sizeof n);
  if (!UsableTable(xa, n, na, nb)) {
    *failure = 1;
    return;
  }
  const int k = SegmentOf(xa, n, x);
  const double width = xa[k + 1] - xa[k];
  const double slope = (ya[k + 1] - ya[k]) / width;
  const double t = (x - xa[k]) / width;
  outputs[outputOffsets[0]] = ya[k] + (x - xa[k]) * slope;
  *failure = 0;
  if (*kind != kDerivatives || derivativeRows == nullptr || derivativeCols == nullptr) return;
  for (int i = 0; i < *derivativeCount; ++i) {
    const int c = derivativeCols[i] - 1;  // x, then XA, then YA, then N
    double d = 0.0;
    if (derivativeRows[i] != 1)
      d = 0.0;
    else if (c == 0)
      d = slope;
    else if (c == 1 + k)
      d = slope * (t - 1.0);
    else if (c == 2 + k)
      d = -slope * t;
    else if (c == 1 + na + k)
      d = 1.0 - t;
    else if (c == 2 + na + k)
      d = t;
    derivatives[i] = d;
  }
}
