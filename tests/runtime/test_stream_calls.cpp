// The model's equation calls used out of their order: each is refused with
// what went wrong, and a stream reset leaves no equation open.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "vq_equations.h"
#include "vq_error.h"

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

}  // namespace
