// The model's equation calls used out of their order: each is refused with
// what went wrong, and a stream reset leaves no equation open. Used in
// order over many chunks of stream, each token reads back as it was given.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "vq_driver.h"
#include "vq_equations.h"
#include "vq_error.h"
#include "vq_memory.h"
#include "vq_stream.h"

namespace {

using Model = VQ_WithExtensions<VQ_ModelType>;

TEST(StreamCalls, CallsOutOfOrderAreRefused) {
  struct Case {
    const char* what;
    std::function<void(Model&, VQ_REALVARIABLE&, int&)> calls;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"a term before any equation", [](Model& m, VQ_REALVARIABLE&, int&) { m.AddOp(EOp_Add, 0); },
       "stream term for equation 0 before any AddEquation"},
      {"a term of another equation",
       [](Model& m, VQ_REALVARIABLE&, int& counter) {
         m.AddEquation("E", counter, 1);
         m.AddTerm(2, 5);
       },
       "stream term for equation 5 while equation 0 is open"},
      {"a term of the equation open before a reset",
       [](Model& m, VQ_REALVARIABLE&, int& counter) {
         m.AddEquation("E", counter, 1);
         m.AddTerm(1.5, 0);
         m.ResetExpressions();
         m.AddTerm(1.5, 0);
       },
       "stream term for equation 0 before any AddEquation"},
      {"an unknown operator",
       [](Model& m, VQ_REALVARIABLE&, int& counter) {
         m.AddEquation("E", counter, 1);
         m.AddOp(static_cast<EOp>(23), 0);  // inside the codes EOp can hold
       },
       "unknown operator code 23"},
      {"a reference without a pattern window",
       [](Model& m, VQ_REALVARIABLE& x, int& counter) {
         m.AddEquation("E", counter, 1);
         int* p = nullptr;
         int* q = nullptr;
         m.AddTerm(x, p, q, 0);
       },
       "with no pattern buffer"},
      {"more references than counted",
       [](Model& m, VQ_REALVARIABLE& x, int& counter) {
         vq_rt::PatternWindow window(m, 1);
         m.AddEquation("E", counter, 1);
         m.AddTerm(x, window.p(), window.q(), 0);
         m.AddTerm(x, window.p(), window.q(), 0);
       },
       "refers to more variables than the counting pass registered"},
      {"a registration before its group", [](Model& m, VQ_REALVARIABLE& x, int&) { m.AddNonZero(x); },
       "was registered before any SetGroupLimits"},
      {"an equation without a name", [](Model& m, VQ_REALVARIABLE&, int& counter) {
         m.AddEquation(static_cast<const char*>(nullptr), counter, 1);
       },
       "an equation needs a name"},
  };
  for (const Case& c : cases) {
    Model model;
    VQ_REALVARIABLE x(true);
    int counter = 0;
    try {
      c.calls(model, x, counter);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const VQ_Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << c.what << ": " << e.what();
    }
  }
}

// The open equation follows AddEquation across a reset and a new pass.
TEST(StreamCalls, TermsGoToTheEquationOpenedLast) {
  Model model;
  int counter = 0;
  model.AddEquation("A", counter, 1);
  model.AddTerm(1, 0);
  model.AddEquation("B", counter, 1);
  model.AddTerm(2, 1);
  model.AddOp(EOp_Square, 1);
  vq_rt::ContainerState& state = model.State();
  ASSERT_EQ(state.emitted.size(), 2u);
  EXPECT_EQ(state.TokenCount(state.emitted[0]), 1u);
  EXPECT_EQ(state.TokenCount(state.emitted[1]), 2u);
  EXPECT_STREQ(state.EquationName(state.emitted[1]), "B");
  model.ResetExpressions();
  counter = 0;
  model.AddEquation("B", counter, 1);
  model.AddTerm(3, 0);
  ASSERT_EQ(state.emitted.size(), 1u);
  EXPECT_STREQ(state.EquationName(state.emitted[0]), "B");
  EXPECT_EQ(state.TokenCount(state.emitted[0]), 1u);
}

// The emission pass is checked against what the counting pass registered,
// equation by equation: a reference put in the place of another, two in
// another order, one left out or one more are each told, naming the first
// equation where the passes part.
TEST(StreamCalls, ReferencesOtherThanCountedNameTheirEquation) {
  std::vector<VQ_REALVARIABLE*> v;
  for (int i = 0; i < 4; ++i) v.push_back(vq_rt::New<VQ_REALVARIABLE>(true));
  VQ_REALVARIABLE member(true);  // off the heap: a column of its own
  using Rows = std::vector<std::vector<VQ_VarParam*>>;
  const Rows counted = {{v[0], v[1]}, {v[1], &member, v[2]}, {v[2], v[3]}, {v[3]}};
  struct Case {
    const char* what;
    std::function<void(Rows&)> change;  // of what the emission pass gives
    const char* error;                  // "" where the passes agree
  };
  const std::vector<Case> cases = {
      {"the same references", [](Rows&) {}, ""},
      {"another variable", [&](Rows& r) { r[1][2] = v[0]; },
       "equation E2 (number 2 of the emission pass) refers to other variables, or to them in another order"},
      {"a variable off the heap in another's place", [&](Rows& r) { r[2][0] = &member; },
       "equation E3 (number 3 of the emission pass) refers to other variables"},
      {"two in another order", [](Rows& r) { std::swap(r[0][0], r[0][1]); },
       "equation E1 (number 1 of the emission pass) refers to other variables, or to them in another order"},
      {"one left out", [](Rows& r) { r[1].pop_back(); r[3].push_back(r[3][0]); },
       "equation E2 (number 2 of the emission pass) refers to 2 variables where the counting pass registered 3"},
      {"one moved to the next equation", [](Rows& r) { r[2].insert(r[2].begin(), r[1].back()); r[1].pop_back(); },
       "equation E2 (number 2 of the emission pass) refers to 2 variables where the counting pass registered 3"},
      {"the last one other", [&](Rows& r) { r[3][0] = v[1]; },
       "equation E4 (number 4 of the emission pass) refers to other variables"},
  };
  for (const Case& c : cases) {
    Model model;
    model.SetUpEquations();
    for (const auto& row : counted) {
      model.SetGroupLimits(1);
      for (VQ_VarParam* reference : row) model.AddNonZero(*reference);
    }
    Rows emitted = counted;
    c.change(emitted);
    vq_rt::PatternWindow window(model, 8);
    int counter = 0;
    static const char* const kNames[] = {"E1", "E2", "E3", "E4"};
    for (size_t e = 0; e < emitted.size(); ++e) {
      const int equation = counter;
      model.AddEquation(kNames[e], counter, 1);
      for (VQ_VarParam* reference : emitted[e]) model.AddTerm(*reference, window.p(), window.q(), equation);
    }
    if (*c.error == '\0') {
      EXPECT_NO_THROW(vq_rt::CheckPairing(model)) << c.what;
      continue;
    }
    try {
      vq_rt::CheckPairing(model);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const VQ_Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << c.what << ": " << e.what();
    }
  }
  for (VQ_REALVARIABLE* variable : v) {
    variable->AddRef();
    variable->Release();
  }
}

// A variable off the heap has its column kept by the runtime: one that
// goes gives it back, and another made in its place has a column of its
// own, which the next passes refer to.
TEST(StreamCalls, AVariableMadeAgainInTheRoomOfOneGoneIsReferredToAsItself) {
  Model model;
  alignas(VQ_REALVARIABLE) unsigned char room[sizeof(VQ_REALVARIABLE)];
  std::vector<int> columns;
  for (int round = 0; round < 3; ++round) {
    auto* h = new (room) VQ_REALVARIABLE(true);
    model.SetUpEquations();
    model.SetGroupLimits(1);
    model.AddNonZero(*h);
    model.AddNonZero(*h);
    vq_rt::PatternWindow window(model, 2);
    int counter = 0;
    model.ResetExpressions();
    model.AddEquation("E", counter, 1);
    model.AddOp(EOp_Subtract, 0);
    model.AddTerm(*h, window.p(), window.q(), 0);
    model.AddTerm(*h, window.p(), window.q(), 0);
    EXPECT_NO_THROW(vq_rt::CheckPairing(model)) << "round " << round;
    const vq_rt::ContainerState& state = model.State();
    vq_rt::Stream::Reader reader(state.stream, 0, state.stream.Size());
    vq_rt::StreamToken token;
    int references = 0;
    while (reader.Next(token))
      if (token.kind() == vq_rt::StreamToken::Kind::Reference) {
        EXPECT_EQ(token.reference(), h) << "round " << round;
        ++references;
      }
    EXPECT_EQ(references, 2) << "round " << round;
    columns.push_back(h->PatternId());
    h->~VQ_REALVARIABLE();
    EXPECT_EQ(vq_rt::ObjectAtColumn(columns.back()), nullptr) << "round " << round;
  }
  EXPECT_NE(columns[0], columns[1]);
  EXPECT_NE(columns[1], columns[2]);
}

// Each token call has a quick path and a whole one (a variable without a
// column yet, a stream out of room, a real not met lately): whichever a
// token takes, the stream and the counted references read back as given,
// across the chunk boundaries where the stream runs out of room.
TEST(StreamCalls, EveryTokenReadsBackAsGivenAcrossChunks) {
  Model model;
  std::vector<VQ_REALVARIABLE*> onHeap;
  for (int i = 0; i < 300; ++i) onHeap.push_back(vq_rt::New<VQ_REALVARIABLE>(true));
  VQ_REALVARIABLE member(true);  // not on the heap: a column of its own on first use
  struct Given {
    vq_rt::StreamToken::Kind kind;
    long long number;  // an operator's code or an integer
    double real;
    VQ_VarParam* reference;
  };
  constexpr int kEquations = 250000;
  const auto reference = [&](int e, int i) -> VQ_VarParam* {
    return (e + i) % 7 == 0 ? static_cast<VQ_VarParam*>(&member) : onHeap[static_cast<size_t>(e * 31 + i * 97) % onHeap.size()];
  };
  std::vector<std::vector<Given>> given(kEquations);
  size_t references = 0;
  for (int e = 0; e < kEquations; ++e) {
    using Kind = vq_rt::StreamToken::Kind;
    // A sum of a product of two references and a real, an integer and a
    // reference: every kind, a real that recurs and one met once.
    const double real = e % 3 == 0 ? 0.5 : 1.0 + e;
    given[e] = {{Kind::Operator, EOp_Add, 0, nullptr},  {Kind::Operator, EOp_Multiply, 0, nullptr},
                {Kind::Reference, 0, 0, reference(e, 0)}, {Kind::Reference, 0, 0, reference(e, 1)},
                {Kind::Operator, EOp_Subtract, 0, nullptr}, {Kind::Real, 0, real, nullptr},
                {Kind::Operator, EOp_Add, 0, nullptr},  {Kind::Integer, e % 2 ? -e : e, 0, nullptr},
                {Kind::Reference, 0, 0, reference(e, 2)}};
    references += 3;
  }
  model.SetUpEquations();
  for (int e = 0; e < kEquations; ++e) {
    model.SetGroupLimits(1);
    for (const Given& g : given[e])
      if (g.reference != nullptr) model.AddNonZero(*g.reference);
  }
  vq_rt::PatternWindow window(model, references);
  int counter = 0;
  for (int e = 0; e < kEquations; ++e) {
    model.AddEquation("E", counter, 1);
    for (const Given& g : given[e]) switch (g.kind) {
        case vq_rt::StreamToken::Kind::Operator: model.AddOp(static_cast<EOp>(g.number), e); break;
        case vq_rt::StreamToken::Kind::Integer: model.AddTerm(static_cast<int>(g.number), e); break;
        case vq_rt::StreamToken::Kind::Real: model.AddTerm(g.real, e); break;
        case vq_rt::StreamToken::Kind::Reference: model.AddTerm(*g.reference, window.p(), window.q(), e); break;
      }
  }
  EXPECT_EQ(window.Used(), references);
  const vq_rt::ContainerState& state = model.State();
  constexpr size_t kTwoChunks = 2 * vq_rt::ByteChunks::kChunk;  // by value, as in the evaluator test
  ASSERT_GT(state.stream.Size(), kTwoChunks);  // the stream ran out of room twice at least
  ASSERT_EQ(state.emitted.size(), static_cast<size_t>(kEquations));
  ASSERT_EQ(state.countedReferences.size(), references);
  EXPECT_NO_THROW(vq_rt::CheckPairing(model));  // what was counted is what was streamed
  for (int e = 0; e < kEquations; ++e) {
    const vq_rt::EmittedEquation equation = state.emitted[static_cast<size_t>(e)];
    vq_rt::Stream::Reader reader(state.stream, equation.firstToken, equation.firstToken + state.StreamLength(equation));
    vq_rt::StreamToken token;
    for (const Given& g : given[e]) {
      ASSERT_TRUE(reader.Next(token)) << "equation " << e;
      ASSERT_EQ(token.kind(), g.kind) << "equation " << e;
      switch (g.kind) {
        case vq_rt::StreamToken::Kind::Operator: ASSERT_EQ(token.op(), g.number) << "equation " << e; break;
        case vq_rt::StreamToken::Kind::Integer: ASSERT_EQ(token.integer(), g.number) << "equation " << e; break;
        case vq_rt::StreamToken::Kind::Real: ASSERT_EQ(state.stream.Real(token), g.real) << "equation " << e; break;
        case vq_rt::StreamToken::Kind::Reference:
          ASSERT_EQ(token.reference(), g.reference) << "equation " << e;
          break;
      }
    }
    ASSERT_FALSE(reader.Next(token)) << "equation " << e;
  }
  model.ResetExpressions();
  for (VQ_REALVARIABLE* variable : onHeap) {
    variable->AddRef();
    variable->Release();
  }
}

}  // namespace
