// The evaluator and renderer on hand-made streams.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <map>
#include <vector>

#include "vq_error.h"
#include "vq_evaluator.h"
#include "vq_memory.h"
#include "vq_render.h"

namespace {

using vq_rt::Stream;

// Every token of a stream, read from its start.
std::vector<vq_rt::StreamToken> TokensOf(const Stream& s) {
  std::vector<vq_rt::StreamToken> tokens;
  vq_rt::StreamToken token;
  for (Stream::Reader read(s, 0, s.Size()); read.Next(token);) tokens.push_back(token);
  return tokens;
}

class StreamEvaluation : public ::testing::Test {
 protected:
  StreamEvaluation() : x(true), y(true), z(true) {
    x.SetValue(3.0);
    y.SetValue(-2.0);
    z.SetValue(0.5);
    NameOf = [this](const VQ_VarParam& v) { return std::string(&v == &x ? "x" : &v == &y ? "y" : "z"); };
  }
  VQ_REALVARIABLE x, y, z;
  vq_rt::ReferenceNamer NameOf;
};

TEST_F(StreamEvaluation, EveryOperatorHasItsValueAndDerivatives) {
  struct Case {
    const char* text;
    std::function<void(Stream&)> build;
    double residual;
    std::vector<double> partials;  // with respect to the leaves in order
  };
  std::vector<Case> cases = {
      {"+ x y", [&](Stream& s) { s.AddOperator(EOp_Add), s.AddReference(&x), s.AddReference(&y); }, 1.0, {1, 1}},
      {"- x y", [&](Stream& s) { s.AddOperator(EOp_Subtract), s.AddReference(&x), s.AddReference(&y); }, 5.0, {1, -1}},
      {"* x y", [&](Stream& s) { s.AddOperator(EOp_Multiply), s.AddReference(&x), s.AddReference(&y); }, -6.0, {-2, 3}},
      {"/ x y", [&](Stream& s) { s.AddOperator(EOp_Divide), s.AddReference(&x), s.AddReference(&y); }, -1.5, {-0.5, -0.75}},
      {"sq z", [&](Stream& s) { s.AddOperator(EOp_Square), s.AddReference(&z); }, 0.25, {1.0}},
      {"op1 y", [&](Stream& s) { s.AddOperator(EOp_Code1), s.AddReference(&y); }, -2.0, {1.0}},
      {"- * 2 x 0.5", [&](Stream& s) { s.AddOperator(EOp_Subtract), s.AddOperator(EOp_Multiply), s.AddInteger(2),
                                        s.AddReference(&x), s.AddReal(0.5); }, 5.5, {2.0}},
  };
  for (const Case& c : cases) {
    Stream stream;
    c.build(stream);
    vq_rt::Evaluation result = vq_rt::Evaluate(stream, 0, stream.Size());
    EXPECT_DOUBLE_EQ(result.residual, c.residual) << c.text;
    ASSERT_EQ(result.partials.size(), c.partials.size()) << c.text;
    for (size_t i = 0; i < c.partials.size(); ++i) EXPECT_DOUBLE_EQ(result.partials[i], c.partials[i]) << c.text;
    EXPECT_EQ(vq_rt::Render(stream, 0, stream.Size(), NameOf), c.text);
  }
}

// A stencil-shaped residual: the Jacobian row against central differences.
TEST_F(StreamEvaluation, JacobianRowMatchesFiniteDifferences) {
  Stream s;  // + * 2 * x sq z - y / x + z 0.25
  s.AddOperator(EOp_Add);
  s.AddOperator(EOp_Multiply);
  s.AddInteger(2);
  s.AddOperator(EOp_Multiply);
  s.AddReference(&x);
  s.AddOperator(EOp_Square);
  s.AddReference(&z);
  s.AddOperator(EOp_Subtract);
  s.AddReference(&y);
  s.AddOperator(EOp_Divide);
  s.AddReference(&x);  // x and z appear twice: each leaf has its own entry
  s.AddOperator(EOp_Add);
  s.AddReference(&z);
  s.AddReal(0.25);
  vq_rt::Evaluation result = vq_rt::Evaluate(s, 0, s.Size());
  ASSERT_EQ(result.references.size(), 5u);
  std::map<VQ_REALVARIABLE*, double> analytic;
  for (size_t i = 0; i < result.references.size(); ++i)
    analytic[static_cast<VQ_REALVARIABLE*>(result.references[i])] += result.partials[i];
  for (VQ_REALVARIABLE* v : {&x, &y, &z}) {
    const double h = 1e-6, base = v->Real();
    v->SetValue(base + h);
    double up = vq_rt::Evaluate(s, 0, s.Size()).residual;
    v->SetValue(base - h);
    double down = vq_rt::Evaluate(s, 0, s.Size()).residual;
    v->SetValue(base);
    EXPECT_NEAR(analytic[v], (up - down) / (2 * h), 1e-6) << NameOf(*v);
  }
}

// Both refuse a stream by its shape alone, with the same message; the
// renderer hands over no token of it.
TEST_F(StreamEvaluation, MalformedStreamsAreRejected) {
  struct Case {
    const char* what;
    std::function<void(Stream&)> build;
    const char* message;
  };
  std::vector<Case> cases = {
      {"no token", [](Stream&) {}, "malformed stream: no token"},
      {"operator short of operands", [&](Stream& s) { s.AddOperator(EOp_Add), s.AddReference(&x); },
       "operator \"+\" is short of operands"},
      {"square short of its operand", [&](Stream& s) { s.AddOperator(EOp_Square); },
       "operator \"sq\" is short of operands"},
      {"outer operator short once the inner one is complete",
       [&](Stream& s) { s.AddOperator(EOp_Divide), s.AddOperator(EOp_Multiply), s.AddReference(&x), s.AddInteger(2); },
       "operator \"/\" is short of operands"},
      {"leaf left over", [&](Stream& s) { s.AddOperator(EOp_Code1), s.AddReference(&x), s.AddInteger(1); },
       "1 token(s) left over"},
      {"two leaves", [&](Stream& s) { s.AddReference(&x), s.AddReference(&y); }, "1 token(s) left over"},
      {"unknown operator code", [&](Stream& s) { s.AddOperator(23), s.AddReference(&x), s.AddReference(&y); },
       "unknown operator code 23"},
  };
  struct Count : vq_rt::TokenVisitor {
    void Text(std::string_view) override { ++tokens; }
    void Reference(const VQ_VarParam&) override { ++tokens; }
    int tokens = 0;
  };
  auto message = [](const std::function<void()>& run) {
    try {
      run();
    } catch (const VQ_Error& e) {
      return std::string(e.what());
    }
    return std::string("(no error)");
  };
  for (const Case& c : cases) {
    Stream stream;
    c.build(stream);
    const std::string evaluated = message([&] { vq_rt::Evaluate(stream, 0, stream.Size()); });
    EXPECT_NE(evaluated.find(c.message), std::string::npos) << c.what << ": " << evaluated;
    EXPECT_EQ(message([&] { vq_rt::Render(stream, 0, stream.Size(), NameOf); }), evaluated) << c.what;
    Count count;
    EXPECT_THROW(vq_rt::VisitTokens(stream, 0, stream.Size(), count), VQ_Error) << c.what;
    EXPECT_EQ(count.tokens, 0) << c.what;
  }
  Stream one;
  one.AddReference(&x);
  EXPECT_THROW(vq_rt::Render(one, one.Size(), 1, NameOf), VQ_Error) << "tokens outside the stream";
}

// Text needs no value: a reference to a parameter without a real one
// renders, where it cannot be evaluated.
TEST_F(StreamEvaluation, RenderingReadsNoValue) {
  VQ_STRINGPARAMETER text(true);
  Stream s;
  s.AddOperator(EOp_Code1);
  s.AddReference(&text);
  EXPECT_EQ(vq_rt::Render(s, 0, s.Size(), [](const VQ_VarParam&) { return std::string("text"); }), "op1 text");
  EXPECT_THROW(vq_rt::Evaluate(s, 0, s.Size()), VQ_Error);
}

TEST_F(StreamEvaluation, ConstantsRenderWithTheirKind) {
  Stream s;  // - + * -3 x * 4 y * 0.08333333333333333 -3.0
  s.AddOperator(EOp_Subtract);
  s.AddOperator(EOp_Add);
  s.AddOperator(EOp_Multiply);
  s.AddInteger(-3);
  s.AddReference(&x);
  s.AddOperator(EOp_Multiply);
  s.AddInteger(4);
  s.AddReference(&y);
  s.AddOperator(EOp_Multiply);
  s.AddReal(0.08333333333333333);
  s.AddReal(-3.0);
  EXPECT_EQ(vq_rt::Render(s, 0, s.Size(), NameOf), "- + * -3 x * 4 y * 0.08333333333333333 -3.0");
}

// Tokens are stored packed: whatever fits inline and whatever does not
// reads back as it was added, in any order, references to variables on the
// heap and elsewhere alike, reals that recur to the bit.
TEST_F(StreamEvaluation, EveryTokenReadsBackAsItWasAdded) {
  using Kind = vq_rt::StreamToken::Kind;
  VQ_REALVARIABLE* onHeap = vq_rt::New<VQ_REALVARIABLE>(true);
  struct Case {
    Kind kind;
    long long value;  // the operator code or integer
    double real;
    VQ_VarParam* reference;
  };
  std::vector<Case> cases = {
      {Kind::Integer, INT_MAX, 0, nullptr},    {Kind::Integer, INT_MIN, 0, nullptr},
      {Kind::Operator, EOp_Add, 0, nullptr},   {Kind::Operator, INT_MIN, 0, nullptr},
      {Kind::Operator, -1, 0, nullptr},        {Kind::Real, 0, -0.25, nullptr},
      {Kind::Reference, 0, 0, &x},             {Kind::Reference, 0, 0, onHeap},
      {Kind::Real, 0, 1e300, nullptr},         {Kind::Reference, 0, 0, &z},
      {Kind::Real, 0, 0.0, nullptr},           {Kind::Real, 0, -0.0, nullptr},
      {Kind::Real, 0, -0.25, nullptr},         {Kind::Real, 0, std::nan(""), nullptr},
      {Kind::Real, 0, 0.0, nullptr},
  };
  // Either side of where a token takes one more byte: 4, 12, 20 and 27
  // bits with the sign folded in.
  for (long long edge : {1LL << 3, 1LL << 11, 1LL << 19, 1LL << 26, 1LL << 30})
    for (long long value : {edge - 1, edge, -edge, -edge - 1})
      for (Kind kind : {Kind::Integer, Kind::Operator}) cases.push_back({kind, value, 0, nullptr});
  for (int code : {int{EOp_Code1}, int{EOp_Add}, int{EOp_Subtract}, int{EOp_Multiply}, int{EOp_Divide}, int{EOp_Square}, 0, 2, 41})
    cases.push_back({Kind::Operator, code, 0, nullptr});
  Stream s;
  for (const Case& c : cases) {
    switch (c.kind) {
      case Kind::Integer: s.AddInteger(static_cast<int>(c.value)); break;
      case Kind::Operator: s.AddOperator(static_cast<int>(c.value)); break;
      case Kind::Real: s.AddReal(c.real); break;
      case Kind::Reference: s.AddReference(c.reference); break;
    }
  }
  ASSERT_EQ(s.Tokens(), cases.size());
  const std::vector<vq_rt::StreamToken> tokens = TokensOf(s);
  ASSERT_EQ(tokens.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const vq_rt::StreamToken token = tokens[i];
    ASSERT_EQ(token.kind(), c.kind) << i;
    switch (c.kind) {
      case Kind::Integer: EXPECT_EQ(token.integer(), c.value) << i; break;
      case Kind::Operator: EXPECT_EQ(token.op(), c.value) << i; break;
      case Kind::Real: EXPECT_EQ(std::bit_cast<uint64_t>(s.Real(token)), std::bit_cast<uint64_t>(c.real)) << i; break;
      case Kind::Reference: EXPECT_EQ(token.reference(), c.reference) << i; break;
    }
  }
  EXPECT_THROW(s.AddReference(nullptr), VQ_Error);
  onHeap->AddRef();
  onHeap->Release();
}

// A reference outlived by its stream reads as no variable, not as the
// memory the variable had.
TEST_F(StreamEvaluation, AReferenceToAVariableGoneReadsAsNone) {
  Stream s;
  {
    VQ_REALVARIABLE gone(true);
    s.AddReference(&gone);
    ASSERT_EQ(TokensOf(s).at(0).reference(), &gone);
  }
  EXPECT_EQ(TokensOf(s).at(0).kind(), vq_rt::StreamToken::Kind::Reference);
  EXPECT_EQ(TokensOf(s).at(0).reference(), nullptr);
}

// Long streams, their copies and reuse after clearing: every token stays
// where it was put, whichever stream is written after the copy.
TEST_F(StreamEvaluation, LongStreamsKeepEveryTokenThroughCopiesAndClearing) {
  auto fill = [](Stream& s, int from, int count) {
    for (int i = from; i < from + count; ++i) s.AddInteger(i);
  };
  auto holds = [](const Stream& s, int count) {
    const std::vector<vq_rt::StreamToken> tokens = TokensOf(s);
    if (s.Tokens() != static_cast<size_t>(count) || tokens.size() != static_cast<size_t>(count)) return false;
    for (int i = 0; i < count; ++i)
      if (tokens[static_cast<size_t>(i)].integer() != i) return false;
    return true;
  };
  for (int length : {1, 64, 65535, 65536, 65537, 200000, 524287, 524288, 524289, 1100000}) {
    Stream original;
    fill(original, 0, length);
    Stream copy(original);
    fill(copy, length, 1000);
    fill(original, length, 70000);
    EXPECT_TRUE(holds(copy, length + 1000)) << length;
    EXPECT_TRUE(holds(original, length + 70000)) << length;
    copy = original;
    fill(copy, length + 70000, 3);
    EXPECT_TRUE(holds(copy, length + 70003)) << length;
    original.Clear();
    fill(original, 0, 100);
    EXPECT_TRUE(holds(original, 100)) << length;
  }
}

// References are kept as steps from the one before in their equation, so
// each equation reads back from its own start: near and far steps, up and
// down, variables on the heap and elsewhere, and equations that run across
// the stream's chunks.
TEST_F(StreamEvaluation, EachEquationReadsBackFromItsOwnStart) {
  std::vector<VQ_REALVARIABLE*> onHeap;
  for (int i = 0; i < 5000; ++i) onHeap.push_back(vq_rt::New<VQ_REALVARIABLE>(true));
  std::vector<std::vector<VQ_VarParam*>> equations;
  for (int e = 0; e < 400000; ++e) {
    const auto at = [&](int i) { return static_cast<VQ_VarParam*>(onHeap[static_cast<size_t>(i) % onHeap.size()]); };
    switch (e % 4) {
      case 0: equations.push_back({at(e), at(e + 1), at(e - 1 + 5000)}); break;
      case 1: equations.push_back({at(4999), at(0), &x, at(e), &y}); break;
      case 2: equations.push_back({&z, at(e * 7), at(e * 13 + 2500)}); break;
      default: equations.push_back({at(e)}); break;
    }
  }
  Stream s;
  std::vector<size_t> starts;
  for (const auto& references : equations) {
    starts.push_back(s.Size());
    s.StartEquation();
    s.AddOperator(EOp_Code1);
    for (VQ_VarParam* reference : references) s.AddReference(reference);
  }
  // By value: bound by reference, the Windows build would import it from the runtime DLL, which has no such export.
  constexpr size_t kChunk = vq_rt::ByteChunks::kChunk;
  ASSERT_GT(s.Size(), kChunk);  // the equations span chunks
  for (size_t e = 0; e < equations.size(); ++e) {
    const size_t end = e + 1 < starts.size() ? starts[e + 1] : s.Size();
    std::vector<VQ_VarParam*> read;
    vq_rt::StreamToken token;
    for (Stream::Reader reader(s, starts[e], end); reader.Next(token);)
      if (token.kind() == vq_rt::StreamToken::Kind::Reference) read.push_back(token.reference());
    ASSERT_EQ(read, equations[e]) << "equation " << e;
  }
  for (VQ_REALVARIABLE* variable : onHeap) {
    variable->AddRef();
    variable->Release();
  }
}

}  // namespace
