#pragma once
// What the one-dimensional stencils are exact for, and polynomials to
// sample on a grid with their exact derivatives and integrals.
#include <cmath>

// The degree of polynomial the stencil of one-dimensional statement
// `statement` is exact for.
inline int StencilDegree(int statement) {
  if (statement >= 78) return 4;  // OCFE4: five nodes an element
  if (statement >= 68) return 3;  // OCFE3
  if (statement >= 61) return 2;  // OCFE2
  if (statement >= 35) return 4;  // CFD4, UBFD4
  switch (statement) {
    case 1: return 4;  // the start row states a zero
    case 2: case 3: case 5: case 6: case 14: case 15: case 16: case 18: case 19: return 1;
    case 4: case 10: case 17: case 24: case 31: return 3;  // three-point second derivative
    default: return 2;
  }
}

// Collocation constants carry five decimals: close, not exact.
inline bool CollocationStencil(int statement) { return statement >= 61; }

// p(x) = (a + s x)^d, its derivatives and its integral.
struct Polynomial {
  int d;
  double a = 0.4, s = 1.3;
  double P(double x) const { return std::pow(a + s * x, d); }
  double D1(double x) const { return d < 1 ? 0.0 : s * d * std::pow(a + s * x, d - 1); }
  double D2(double x) const { return d < 2 ? 0.0 : s * s * d * (d - 1) * std::pow(a + s * x, d - 2); }
  double Antiderivative(double x) const { return std::pow(a + s * x, d + 1) / (s * (d + 1)); }
};
