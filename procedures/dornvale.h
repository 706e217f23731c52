#pragma once
// The routines of the procedure library Dornvale. Each takes the
// sixteen-address call of the runtime's procedure wrappers.
#if defined(_WIN32)
// Dornvale_EXPORTS is defined by CMake while the DLL itself is built.
#if defined(Dornvale_EXPORTS)
#define DORNVALE_API extern "C" __declspec(dllexport)
#else
#define DORNVALE_API extern "C" __declspec(dllimport)
#endif
#else
#define DORNVALE_API extern "C" __attribute__((visibility("default")))
#endif

// INTERP(x, XA, YA, N) -> y: piecewise-linear interpolation of the table of
// the first N points of XA (abscissae, strictly increasing) and YA
// (ordinates) at x; outside the table the end segment is continued.
//
// Inputs (slots of `inputs` at `inputOffsets`, 0-based): x real, XA real
// array of inputDims[0] values, YA real array of inputDims[1] values, N
// integer in the first 4 bytes of its slot. Output: y at outputOffsets[0].
// With *kind 4 it also writes, for each of the *derivativeCount entries i,
// the derivative of output derivativeRows[i] with respect to input value
// derivativeCols[i] (both 1 upwards; input values numbered x, XA..., YA...,
// N). *failure becomes 0, or 1 when the table is unusable (N < 2, N larger
// than an array, abscissae not strictly increasing); outputs are then left
// as they were.
DORNVALE_API void INTERP(int* kind, double* inputs, int* inputDims, double* outputs, int* outputDims,
                         int* inputOffsets, int* outputOffsets, int* integerValue, double* realArray,
                         int* realArraySize, int* derivativeCount, int* derivativeRows, int* derivativeCols,
                         int* scratch, double* derivatives, int* failure);
