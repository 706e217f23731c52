#pragma once
// The stencils of the one-dimensional equation statements, and the stream
// each one is laid out as. The statement number (1 to 90) is the key by
// which every distribution names the stencil a row applies along its axis.
//
// A stencil is the defining side of the row (the form) and the weights of
// the integrand at node offsets from the node the row defines, each weight
// stored with its kind and digits exactly as they travel in the stream.
#include <array>
#include <cstddef>
#include <cstdint>

namespace brantel {

enum class Form : uint8_t {
  StartRow,          // op1 I: the integral at the start of its chain is zero
  Dh,                // D·h = S
  TwoDh,             // 2·(D·h) = S
  TwentyFourDh,      // 24·(D·h) = S
  D2h2,              // D2·h² = S
  TwelveD2h2,        // 12·(D2·h²) = S
  IntegralH,         // I = h·S
  IntegralC720H,     // I = c720·(h·S)
  IntegralOverC12H,  // I / (c12·h) = S
};

// 0.08333333333333333 and 0.001388888888888889: the doubles nearest 1/12
// and 1/720, passed as these doubles.
constexpr double kC12 = 0.08333333333333333;
constexpr double kC720 = 0.001388888888888889;

struct Weight {
  int offset;  // from the node the row defines
  bool real;   // travels as a double constant
  int integer;
  double value;
};
constexpr Weight W(int offset, int weight) { return Weight{offset, false, weight, static_cast<double>(weight)}; }
constexpr Weight R(int offset, double weight) { return Weight{offset, true, 0, weight}; }

constexpr int kMaxWeights = 5;

struct Stencil {
  Form form;
  int count;
  std::array<Weight, kMaxWeights> weights;  // ascending offsets, no zero weight
};

// One token of a laid-out stream. A reference names its variable by slot:
// the defined variable, the step h, or the integrand at an offset.
struct StreamItem {
  // The references last: the emission pass tells them by kind >= Defined.
  enum Kind : uint8_t { Op, Integer, Real, Defined, Step, Integrand } kind;
  int integer;  // operator code, integer constant or integrand offset
  double real;
};

constexpr int kMaxItems = 28;

struct StreamTemplate {
  int count;
  std::array<StreamItem, kMaxItems> items;
};

constexpr int kStatements1D = 90;

// The stencil of one-dimensional statement `statement` (1 to 90).
const Stencil& StencilOf(int statement);
// Every statement's stream, laid out by the rule below (entry 0 unused).
extern const std::array<StreamTemplate, kStatements1D + 1> kStreamTemplates;
// Its stream; read per equation instance of a walk.
inline const StreamTemplate& StreamOf(int statement) { return kStreamTemplates[static_cast<std::size_t>(statement)]; }
// The references of every statement's stream, in stream order: what the
// counting pass registers, without stepping over operators and constants.
extern const std::array<StreamTemplate, kStatements1D + 1> kReferenceTemplates;
inline const StreamTemplate& ReferencesOf(int statement) {
  return kReferenceTemplates[static_cast<std::size_t>(statement)];
}
// The stream of any stencil: the defining side, then the weighted sum with
// its terms in ascending node order (a leading weight of -1 trades places
// with the next term), the first term with its signed weight, the others
// joined by + or - with the weight's magnitude, a weight of magnitude 1 as
// the bare variable; a sum whose last join is - and which is the whole right
// side is written L + (t - A), any other residual L - R.
StreamTemplate LayOut(const Stencil& stencil);

}  // namespace brantel
