// The INTERP procedure wrapper: argument layout, packing, the call decision,
// its equations, and residuals and Jacobian rows evaluated end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "dornvale.h"
#include "vq_driver.h"
#include "vq_dynlib.h"
#include "vq_evaluator.h"
#include "vq_generated.h"
#include "vq_interp.h"
#include "support/recording.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The wrapper with its inner state in view.
class Probe : public VQProc_INTERPOLATE {
 public:
  Probe() : VQProc_INTERPOLATE(false, 0) {}
  int Dim(int i) const { return m_Dims[i]; }
  int FirstOutputDim() const { return m_FirstOutputDim; }
  const int* DerivRows() const { return m_DerivRows; }
  const int* DerivCols() const { return m_DerivCols; }
  // Packs the inputs as an evaluation does and tells whether a slot changed.
  bool PackChanges() {
    m_InputsChanged = false;
    PackInputVars();
    return m_InputsChanged;
  }
  double* Slots() { return const_cast<double*>(ArgSlots()); }
  double* Derivatives() { return const_cast<double*>(DerivativeValues()); }
};

// A model that calls INTERP(X, XA, YA, N) -> Y once. Its variables are
// registered so they carry readable names.
class Caller : public VQ_GeneratedLevel<Caller, VQ_ModelTypeEx2> {
 public:
  static const char* VQ_ContainerId() {
    static const char kSignature[] = "Model CALLER\tV8.4";
    return kSignature;
  }

  Caller(const std::vector<double>& xs, const std::vector<double>& ys, int points, double at)
      : X(true), Y(true), XA(xs.size()), YA(ys.size()), N(true) {
    Register(X, "X");
    for (size_t i = 0; i < xs.size(); ++i) Register(XA[i], ("XA" + std::to_string(i + 1)).c_str());
    for (size_t i = 0; i < ys.size(); ++i) Register(YA[i], ("YA" + std::to_string(i + 1)).c_str());
    Register(N, "N");
    Register(Y, "Y");
    SetTable(xs, ys, points);
    X.SetValue(at);
  }

  void SetTable(const std::vector<double>& xs, const std::vector<double>& ys, int points) {
    for (size_t i = 0; i < xs.size(); ++i) XA[i].SetValue(xs[i]);
    for (size_t i = 0; i < ys.size(); ++i) YA[i].SetValue(ys[i]);
    XUValue n;
    n.SetInteger(points);
    N.SetUserValue(n);
  }

  // One description pass, as a model makes it.
  void Describe(VQProc_INTERPOLATE& proc) {
    if (xByValue)
      proc.Argument(X.Real());
    else
      proc.Argument(X);
    for (auto* table : {&XA, &YA}) {
      proc.Argument();
      proc.SetDimensionSize(static_cast<int>(table->size()));
      for (VQ_REALVARIABLE& element : *table) proc.Element(element);
    }
    proc.Argument(N);
    proc.Argument(Y);
  }
  void Bind(VQProc_INTERPOLATE& proc) {
    Describe(proc);
    proc.LastArgument();
    Describe(proc);
  }
  void Bind() { Bind(proc); }

  int CountOwnEquations(int& n) {
    nonZeros = proc.NZAndEqnContribution(this, m_GroupBase + 1, n);
    return 0;
  }
  void EmitOwnEquations(int& counter, int*& p, int*& q) {
    proc.CreateEquationsAndSetGroup(m_GroupBase + 1, 7, p, q, counter, this, "VQ_Eqn1", 9);
  }

  // Both passes, then the one equation evaluated by the runtime.
  vq_rt::Evaluation Evaluate() {
    vq_rt::Driver driver(*this);
    driver.Run();
    vq_rt::ContainerState& state = State();
    EXPECT_EQ(state.emitted.size(), 1u);
    return vq_rt::Evaluate(state, state.emitted.at(0));
  }

  VQ_REALVARIABLE X, Y;
  std::vector<VQ_REALVARIABLE> XA, YA;
  VQ_INTEGERPARAMETER N;
  Probe proc;
  bool xByValue = false;
  int nonZeros = -1;
};

void UpToTheCountingPass(vq_rt::Driver& driver) {
  driver.SetDims();
  driver.ExecuteAssignments();
  driver.SetUpEquations();
}

// The routine and the model library are built side by side.
class InterpTest : public ::testing::Test {
 protected:
  void SetUp() override { vq_rt::SetProcedureLibraryDirectory(BRANTEL_LIBRARY_DIR); }
  void TearDown() override { vq_rt::SetProcedureLibraryDirectory(nullptr); }
};

// A second implementation: scan for the segment, continue the end ones.
double ReferenceInterp(const std::vector<double>& xs, const std::vector<double>& ys, int n, double x) {
  int k = 0;
  while (k < n - 2 && x >= xs[static_cast<size_t>(k) + 1]) ++k;
  auto u = static_cast<size_t>(k);
  return ys[u] + (ys[u + 1] - ys[u]) * (x - xs[u]) / (xs[u + 1] - xs[u]);
}

// INTERP called directly with a buffer laid out by hand; derivatives of y
// with respect to x, XA..., YA..., N.
struct Direct {
  double y = 0.0;
  std::vector<double> derivatives;
  int failure = 1;
};
Direct CallInterp(const std::vector<double>& xs, const std::vector<double>& ys, int n, double x) {
  const int na = static_cast<int>(xs.size()), nb = static_cast<int>(ys.size());
  std::vector<double> buffer(static_cast<size_t>(3 + na + nb), 0.0);
  buffer[0] = x;
  std::copy(xs.begin(), xs.end(), buffer.begin() + 1);
  std::copy(ys.begin(), ys.end(), buffer.begin() + 1 + na);
  std::memcpy(&buffer[static_cast<size_t>(1 + na + nb)], &n, sizeof n);
  int dims[3] = {na, nb, 0};
  int inOffsets[4] = {0, 1, 1 + na, 1 + na + nb};
  int outOffsets[1] = {2 + na + nb};
  int values = 2 + na + nb;
  std::vector<int> rows(static_cast<size_t>(values), 1), cols(static_cast<size_t>(values));
  for (int c = 0; c < values; ++c) cols[static_cast<size_t>(c)] = c + 1;
  Direct result;
  result.derivatives.assign(static_cast<size_t>(values), 0.0);
  int kind = 4, integer = 0, realSize = 0, scratch = 0;
  INTERP(&kind, buffer.data(), dims, buffer.data(), dims + 2, inOffsets, outOffsets, &integer, nullptr, &realSize,
         &values, rows.data(), cols.data(), &scratch, result.derivatives.data(), &result.failure);
  result.y = buffer[static_cast<size_t>(outOffsets[0])];
  return result;
}

const std::vector<double> kXs = {0.0, 1.0, 3.0, 4.0};
const std::vector<double> kYs = {1.0, 3.0, 2.0, 6.0};

// ---------------------------------------------------------------------------

TEST_F(InterpTest, ArgumentTablesAndFixedAnswers) {
  Probe proc;
  EXPECT_EQ(VQProc_INTERPOLATE::InputArgs(), 4);
  EXPECT_EQ(VQProc_INTERPOLATE::OutputArgs(), 1);
  EXPECT_EQ(VQProc_INTERPOLATE::TotalArgs(), 5);
  const int dims[] = {0, 1, 1, 0, 0}, types[] = {4, 4, 4, 2, 4};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(VQProc_INTERPOLATE::Dimensions(i), dims[i]) << i;
    EXPECT_EQ(VQProc_INTERPOLATE::Type(i), types[i]) << i;
    EXPECT_FALSE(VQProc_INTERPOLATE::IsVariableInput(i)) << i;
  }
  EXPECT_TRUE(VQProc_INTERPOLATE::ReturnsDerivatives());
  EXPECT_STREQ(proc.ProcedureName(), "INTERP");
  EXPECT_STREQ(proc.DLLName(), "Dornvale");
  EXPECT_EQ(proc.P(), &proc);
}

TEST_F(InterpTest, SlotLayoutFollowsTheArraySizes) {
  struct Case {
    int na, nb;
  } cases[] = {{2, 2}, {4, 3}, {1, 7}, {0, 5}, {12, 12}};
  for (const Case& c : cases) {
    std::vector<double> xs(static_cast<size_t>(c.na)), ys(static_cast<size_t>(c.nb));
    for (int i = 0; i < c.na; ++i) xs[static_cast<size_t>(i)] = i;
    for (int i = 0; i < c.nb; ++i) ys[static_cast<size_t>(i)] = 10 + i;
    Caller caller(xs, ys, 2, 0.5);
    caller.Bind();
    const Probe& proc = caller.proc;
    std::string what = "na=" + std::to_string(c.na) + " nb=" + std::to_string(c.nb);
    const int expected[] = {0, 1, 1 + c.na, 1 + c.na + c.nb, 2 + c.na + c.nb};
    for (int arg = 0; arg < 5; ++arg) {
      EXPECT_EQ(proc.GetOffset(arg), expected[arg]) << what << " argument " << arg;
      EXPECT_EQ(*const_cast<Probe&>(proc).GetOffsets(arg), expected[arg]) << what;  // base index 0 for C
    }
    EXPECT_EQ(proc.SlotCount(), 3 + c.na + c.nb) << what;
    EXPECT_EQ(proc.Dim(0), c.na) << what;
    EXPECT_EQ(proc.Dim(1), c.nb) << what;
    EXPECT_EQ(proc.FirstOutputDim(), 2) << what;
    EXPECT_EQ(proc.InputElementCount(), 2 + c.na + c.nb) << what;
    EXPECT_EQ(proc.InputValueCount(), 2 + c.na + c.nb) << what;
    EXPECT_EQ(proc.OutputElementCount(), 1) << what;
    EXPECT_EQ(proc.OutputValueCount(), 1) << what;
    EXPECT_EQ(proc.SolverInputCount(), 1 + c.na + c.nb) << what;  // N is a parameter
    EXPECT_EQ(proc.DerivativeCount(), 2 + c.na + c.nb) << what;
    EXPECT_EQ(proc.ArgumentStatus(), 0) << proc.ErrorText();
  }
}

TEST_F(InterpTest, PackingWritesEachInputIntoItsSlots) {
  Caller caller({0.5, 1.5, 2.5}, {7, 8, 9}, 3, 1.25);
  caller.Bind();
  Probe& proc = caller.proc;
  ASSERT_TRUE(proc.PackChanges());
  const double* slots = proc.ArgSlots();
  const double expected[] = {1.25, 0.5, 1.5, 2.5, 7, 8, 9};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(slots[i], expected[i]) << "slot " << i;
  int n = 0;
  std::memcpy(&n, &slots[7], sizeof n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(slots[8], 0.0);  // the output slot is not an input
}

TEST_F(InterpTest, ChangeDetection) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.Bind();
  Probe& proc = caller.proc;
  ASSERT_TRUE(proc.PackChanges());  // every slot starts empty
  struct Case {
    const char* what;
    std::function<void()> change;
    bool changed;
  } cases[] = {
      {"nothing", [] {}, false},
      {"x set to the value it has", [&] { caller.X.SetValue(2.0); }, false},
      {"x moved", [&] { caller.X.SetValue(2.5); }, true},
      {"an ordinate moved", [&] { caller.YA[2].SetValue(2.25); }, true},
      {"N set to the value it has", [&] { caller.SetTable(kXs, {1.0, 3.0, 2.25, 6.0}, 4); }, false},
      {"the upper half of N's slot is not compared",
       [&] { std::memset(reinterpret_cast<char*>(&proc.Slots()[9]) + 4, 0x5a, 4); }, false},
      {"N moved", [&] { caller.SetTable(kXs, {1.0, 3.0, 2.25, 6.0}, 3); }, true},
      {"x is not a number", [&] { caller.X.SetValue(kNaN); }, true},
      {"x is still not a number", [] {}, true},
      {"an abscissa is not a number", [&] { caller.X.SetValue(1.0), caller.XA[0].SetValue(kNaN); }, true},
      {"x back to a number, the abscissa still not one", [] {}, true},
      {"the table whole again", [&] { caller.XA[0].SetValue(0.0); }, true},
      {"settled", [] {}, false},
  };
  for (const Case& c : cases) {
    c.change();
    EXPECT_EQ(proc.PackChanges(), c.changed) << c.what;
  }
  int n = 0;
  std::memcpy(&n, &proc.ArgSlots()[9], sizeof n);
  EXPECT_EQ(n, 3);
}

// The decision of CallFn, observed through the routine's traces: before each
// call the output slot and the derivative values are overwritten with a
// mark; a call of kind 4 writes both, kind 1 finds the derivatives zeroed,
// kind 2 leaves them, and no call leaves both marks.
TEST_F(InterpTest, CallDecisionTable) {
  enum Seen { kNoCall, kCalledOutputsOnly, kCalledZeroedDerivatives, kCalledWithDerivatives };
  const double kMark = -12345.0;
  struct Case {
    const char* what;
    std::vector<int> before;  // calls made first
    bool alwaysCall;
    bool changeInput;
    int kind;
    Seen seen;
  } cases[] = {
      {"residuals, first call", {}, false, false, 0, kCalledWithDerivatives},
      {"Jacobian, first call", {}, false, false, 3, kCalledWithDerivatives},
      {"residuals after kind 4, inputs unchanged", {4}, false, false, 0, kNoCall},
      {"Jacobian after residuals, inputs unchanged", {0}, false, false, 3, kNoCall},
      {"residuals after kind 4, an input changed", {4}, false, true, 0, kCalledWithDerivatives},
      {"residuals after kind 4, always call", {4}, true, false, 0, kCalledWithDerivatives},
      {"residuals after a precall", {1}, false, false, 0, kCalledWithDerivatives},
      {"precall, first call", {}, false, false, 1, kCalledZeroedDerivatives},
      {"precall after a precall", {1}, false, false, 1, kNoCall},
      {"precall after a precall, an input changed", {1}, false, true, 1, kNoCall},
      {"precall after kind 4", {4}, false, false, 1, kCalledZeroedDerivatives},
      {"kind 2, first call", {}, false, false, 2, kCalledOutputsOnly},
      {"kind 2 after kind 2", {2}, false, true, 2, kNoCall},
      {"kind 2 after kind 4", {4}, false, false, 2, kCalledOutputsOnly},
      {"another kind after kind 4, inputs unchanged", {4}, false, false, 5, kNoCall},
      {"another kind after kind 4, an input changed", {4}, false, true, 5, kCalledOutputsOnly},
  };
  for (const Case& c : cases) {
    Caller caller(kXs, kYs, 4, 2.0);
    caller.Bind();
    Probe& proc = caller.proc;
    proc.SetMode(c.alwaysCall, 0);
    for (int kind : c.before)
      ASSERT_EQ(proc.CallFn(static_cast<VQ_ProcedureType::CallType>(kind), true), 0) << c.what << proc.ErrorText();
    const double inputBefore = proc.ArgSlots()[0];
    if (c.changeInput) caller.X.SetValue(2.5);
    proc.Slots()[proc.GetOffset(4)] = kMark;
    for (int i = 0; i < proc.DerivativeCount(); ++i) proc.Derivatives()[i] = kMark;
    EXPECT_EQ(proc.CallFn(static_cast<VQ_ProcedureType::CallType>(c.kind), true), 0) << c.what;
    const bool outputWritten = proc.ArgSlots()[proc.GetOffset(4)] != kMark;
    const double d0 = proc.DerivativeValues()[0];
    Seen seen = !outputWritten ? kNoCall
                : d0 == kMark  ? kCalledOutputsOnly
                : d0 == 0.0    ? kCalledZeroedDerivatives
                               : kCalledWithDerivatives;
    EXPECT_EQ(seen, c.seen) << c.what;
    if (c.seen == kNoCall && c.kind == 1) {  // returned before packing
      EXPECT_EQ(proc.ArgSlots()[0], inputBefore) << c.what;
    }
    if (c.seen == kCalledWithDerivatives) {  // dy/dx on the segment [1, 3]
      EXPECT_DOUBLE_EQ(d0, -0.5) << c.what;
    }
  }
}

// ---------------------------------------------------------------------------
// Equations against the counting pass.

TEST_F(InterpTest, OneEquationWithTheOutputThenTheSolverInputs) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.XA[1].SetSolverVariable(false);
  caller.Bind();
  std::vector<std::string> events = Recorded([&] {
    vq_rt::Driver driver(caller);
    driver.Run();
  });
  std::vector<std::string> expected = {"SetDims", "ExecuteAssignments a=0 b=0", "SetUpEquations -> 0",
                                       "SetGroupLimits 1"};
  for (const char* name : {"Y", "X", "XA1", "XA3", "XA4", "YA1", "YA2", "YA3", "YA4"})
    expected.push_back(std::string("AddNonZero CALLER.") + name);
  for (const char* line : {"SetLocalEqnCount 1", "ResetExpressions", "JacPattern -> 0",
                           "AddEquation VQ_Eqn1[1] counter=0 group=1", "AddProcExpression VQ_Eqn1 output=1 eqn=0"})
    expected.push_back(line);
  for (const char* name : {"Y", "X", "XA1", "XA3", "XA4", "YA1", "YA2", "YA3", "YA4"})
    expected.push_back(std::string("AddTerm ref CALLER.") + name + " eqn=0");
  expected.push_back("AddProcCall INTERP group=1");
  EXPECT_EQ(events, expected);
  EXPECT_EQ(caller.nonZeros, 9);

  const vq_rt::ContainerState& state = caller.State();
  ASSERT_EQ(state.emitted.size(), 1u);
  auto* equation = dynamic_cast<VQ_ProcedureEquationType*>(state.equationObjects.at(0));
  ASSERT_NE(equation, nullptr);
  EXPECT_STREQ(equation->Suffix(), "[1]");
  EXPECT_EQ(equation->Sequence(), 1);
  EXPECT_EQ(equation->Procedure(), &caller.proc);
  EXPECT_EQ(equation->Owner(), &caller);
  EXPECT_EQ(equation->Index(), 0);
  EXPECT_EQ(equation->Tag(), 7);
  EXPECT_EQ(equation->Tag2(), 9);
  ASSERT_EQ(state.procCalls.size(), 1u);
  EXPECT_EQ(state.procCalls[0].procedure, &caller.proc);
}

// Whatever the solver status was while the arguments were laid out, the
// counting pass, the emitted terms and the Jacobian row agree on the
// current one.
TEST_F(InterpTest, CountsFollowTheSolverStatusOfTheirPass) {
  struct Case {
    const char* what;
    std::function<void(Caller&)> atLayout, beforeCounting;
    int nonZeros;
  } cases[] = {
      {"all variables", [](Caller&) {}, [](Caller&) {}, 10},
      {"x no solver variable", [](Caller& c) { c.X.SetSolverVariable(false); }, [](Caller&) {}, 9},
      {"x becomes a solver variable after the layout",
       [](Caller& c) { c.X.SetSolverVariable(false); }, [](Caller& c) { c.X.SetSolverVariable(true); }, 10},
      {"the ordinates stop being solver variables after the layout", [](Caller&) {},
       [](Caller& c) {
         for (auto& y : c.YA) y.SetSolverVariable(false);
       },
       6},
      {"x passed by value", [](Caller& c) { c.xByValue = true; }, [](Caller&) {}, 9},
  };
  for (const Case& c : cases) {
    Caller caller(kXs, kYs, 4, 2.0);
    c.atLayout(caller);
    caller.Bind();
    const int laidOut = caller.proc.SolverInputCount();
    c.beforeCounting(caller);
    vq_rt::Evaluation result = caller.Evaluate();
    EXPECT_EQ(caller.nonZeros, c.nonZeros) << c.what;
    const vq_rt::ContainerState& state = caller.State();
    ASSERT_EQ(state.countedReferences.size(), static_cast<size_t>(c.nonZeros)) << c.what;
    ASSERT_EQ(result.references.size(), state.countedReferences.size()) << c.what;
    // The same variables in the same order as registered.
    EXPECT_NO_THROW(vq_rt::CheckPairing(caller)) << c.what;
    EXPECT_EQ(result.partials.size(), result.references.size()) << c.what;
    EXPECT_EQ(caller.proc.SolverInputCount(), laidOut) << c.what;  // the layout's count stays as counted
  }
}

TEST_F(InterpTest, AStatusChangeBetweenCountingAndEmissionIsReported) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.Bind();
  vq_rt::Driver driver(caller);
  UpToTheCountingPass(driver);
  caller.YA[0].SetSolverVariable(false);
  EXPECT_THROW(driver.JacPattern(), VQ_Error);
  // And between emission and evaluation: the row no longer fits its terms.
  caller.YA[0].SetSolverVariable(true);
  driver.SetUpEquations();
  driver.JacPattern();
  caller.YA[1].SetSolverVariable(false);
  const vq_rt::ContainerState& state = caller.State();
  try {
    vq_rt::Evaluate(state, state.emitted.at(0));
    ADD_FAILURE() << "no error";
  } catch (const VQ_Error& e) {
    EXPECT_NE(std::string(e.what()).find("VQ_Eqn1[1]"), std::string::npos) << e.what();
  }
}

// ---------------------------------------------------------------------------
// Residual and Jacobian end to end.

TEST_F(InterpTest, ResidualAndJacobianMatchTheRoutineAndFiniteDifferences) {
  struct Case {
    const char* what;
    std::vector<double> xs, ys;
    int points;
    double x, y;
    double expected;  // worked out by hand
  } cases[] = {
      {"inside, second segment", kXs, kYs, 4, 2.0, 0.0, 2.5},
      {"inside, last segment", kXs, kYs, 4, 3.25, 1.0, 3.0},
      {"below the table", kXs, kYs, 4, -1.0, 0.0, -1.0},
      {"above the table", kXs, kYs, 4, 5.5, 2.0, 12.0},
      {"only the first three points", kXs, kYs, 3, 3.5, 0.0, 1.75},
      {"longer ordinate array", {0.0, 2.0}, {4.0, 0.0, 9.0}, 2, 0.5, 3.0, 3.0},
  };
  for (const Case& c : cases) {
    Caller caller(c.xs, c.ys, c.points, c.x);
    caller.Y.SetValue(c.y);
    caller.Bind();
    vq_rt::Evaluation result = caller.Evaluate();
    EXPECT_NEAR(ReferenceInterp(c.xs, c.ys, c.points, c.x), c.expected, 1e-12) << c.what;
    EXPECT_NEAR(result.residual, c.y - c.expected, 1e-12) << c.what;

    // Against the routine called directly: the residual's derivatives are
    // its derivatives negated, the output's is 1.
    Direct direct = CallInterp(c.xs, c.ys, c.points, c.x);
    ASSERT_EQ(direct.failure, 0) << c.what;
    EXPECT_EQ(result.residual, c.y - direct.y) << c.what;
    ASSERT_EQ(result.references.size(), 2 + c.xs.size() + c.ys.size()) << c.what;
    EXPECT_EQ(result.references[0], &caller.Y) << c.what;
    EXPECT_EQ(result.partials[0], 1.0) << c.what;
    for (size_t i = 1; i < result.partials.size(); ++i)
      EXPECT_EQ(result.partials[i], -direct.derivatives[i - 1]) << c.what << " entry " << i;

    // Against central differences of the evaluated residual.
    for (size_t i = 0; i < result.references.size(); ++i) {
      auto* v = static_cast<VQ_REALVARIABLE*>(result.references[i]);
      const double h = 1e-6, base = v->Real();
      v->SetValue(base + h);
      const double up = caller.Evaluate().residual;
      v->SetValue(base - h);
      const double down = caller.Evaluate().residual;
      v->SetValue(base);
      EXPECT_NEAR(result.partials[i], (up - down) / (2 * h), 1e-6) << c.what << " " << v->DisplayName();
    }
  }
}

TEST_F(InterpTest, AByValueInputKeepsItsDerivativeColumn) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.xByValue = true;
  caller.Bind();
  vq_rt::Evaluation result = caller.Evaluate();
  Direct direct = CallInterp(kXs, kYs, 4, 2.0);
  ASSERT_EQ(result.partials.size(), 9u);  // Y, then XA and YA: x has no term
  for (size_t i = 1; i < result.partials.size(); ++i)
    EXPECT_EQ(result.partials[i], -direct.derivatives[i]) << "entry " << i;  // column 0 is x's
  EXPECT_EQ(caller.proc.DerivRows()[1], 1);
  EXPECT_EQ(caller.proc.DerivCols()[1], 2);
}

TEST_F(InterpTest, AJacobianRowWithoutSolverInputsIsTheSingleOne) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.X.SetSolverVariable(false);
  for (auto* table : {&caller.XA, &caller.YA})
    for (auto& v : *table) v.SetSolverVariable(false);
  caller.Bind();
  double row[12];
  int n = 0;
  EXPECT_EQ(caller.proc.Jacobian(row, n), 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(row[0], 1.0);
}

TEST_F(InterpTest, ResidualsBeforeAnyJacobianKeepTheDerivatives) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.Bind();
  double residual[2] = {0.0, 99.0};
  int n = 0;
  ASSERT_EQ(caller.proc.Residuals(residual, n), 0) << caller.proc.ErrorText();
  EXPECT_EQ(n, 1);
  EXPECT_DOUBLE_EQ(residual[0], -2.5);
  EXPECT_EQ(residual[1], 99.0);
  ASSERT_NE(caller.proc.JacobianValues(), nullptr);
  EXPECT_DOUBLE_EQ(caller.proc.JacobianValues()[0], 0.5);  // -dy/dx
  // The Jacobian at the same inputs needs no second call and finds them.
  double row[12];
  n = 0;
  caller.proc.Slots()[caller.proc.GetOffset(4)] = -1.0;  // a second call would overwrite this
  EXPECT_EQ(caller.proc.Jacobian(row, n), 0);
  EXPECT_EQ(n, 10);
  EXPECT_DOUBLE_EQ(row[1], 0.5);
  EXPECT_EQ(caller.proc.ArgSlots()[caller.proc.GetOffset(4)], -1.0);
}

// ---------------------------------------------------------------------------
// Failures.

TEST_F(InterpTest, AnUnusableTableGivesANegativeStatus) {
  struct Case {
    const char* what;
    std::vector<double> xs, ys;
    int points;
  } cases[] = {
      {"one point", kXs, kYs, 1},
      {"no point", kXs, kYs, 0},
      {"more points than abscissae", {0, 1, 2}, kYs, 4},
      {"more points than ordinates", kXs, {1, 2}, 3},
      {"equal abscissae", {0, 1, 1, 2}, kYs, 4},
      {"falling abscissae", {0, 2, 1, 3}, kYs, 4},
      {"an abscissa not a number", {0, kNaN, 1, 3}, kYs, 4},
  };
  for (const Case& c : cases) {
    Caller caller(c.xs, c.ys, c.points, 0.5);
    caller.Bind();
    EXPECT_EQ(CallInterp(c.xs, c.ys, c.points, 0.5).failure, 1) << c.what;
    double residual[2] = {42.0, 42.0};
    int n = 0;
    EXPECT_EQ(caller.proc.Residuals(residual, n), VQ_PROC_ROUTINE_FAILED) << c.what;
    EXPECT_EQ(n, 1) << c.what;
    EXPECT_EQ(residual[0], 42.0) << c.what;  // nothing written
    double row[16];
    n = 0;
    EXPECT_EQ(caller.proc.Jacobian(row, n), VQ_PROC_ROUTINE_FAILED) << c.what;
    EXPECT_EQ(n, 2 + static_cast<int>(c.xs.size() + c.ys.size())) << c.what;  // the row all the same
    EXPECT_THROW(caller.Evaluate(), VQ_Error) << c.what;
  }
  // Once the table is mended the next evaluation calls the routine again.
  Caller caller(kXs, kYs, 1, 2.0);
  caller.Bind();
  double residual = 0.0;
  int n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), VQ_PROC_ROUTINE_FAILED);
  EXPECT_NE(std::string(caller.proc.ErrorText()).find("INTERP: the routine reported failure"), std::string::npos);
  caller.SetTable(kXs, kYs, 4);
  n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), 0);
  EXPECT_DOUBLE_EQ(residual, -2.5);
}

TEST_F(InterpTest, AnOutputThatIsNotANumberIsAFailure) {
  Caller caller(kXs, kYs, 4, kNaN);
  caller.Bind();
  double residual = 0.0;
  int n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), VQ_PROC_BAD_OUTPUT);
  caller.X.SetValue(1.0);
  n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), 0);
  EXPECT_DOUBLE_EQ(residual, -3.0);
}

// Descriptions that do not fit the argument tables: an error state that
// every evaluation reports, and nothing written outside the wrapper's
// storage (the sanitizer build watches that).
TEST_F(InterpTest, DescriptionErrorsGiveANegativeStatus) {
  using Script = std::function<void(Caller&, VQProc_INTERPOLATE&)>;
  auto layoutThenBind = [](const Script& layout, const Script& storage) {
    return [layout, storage](Caller& c, VQProc_INTERPOLATE& p) {
      layout(c, p);
      p.LastArgument();
      storage(c, p);
    };
  };
  Script right = [](Caller& c, VQProc_INTERPOLATE& p) { c.Describe(p); };
  struct Case {
    const char* what;
    Script script;
    const char* message;
  } cases[] = {
      {"a sixth argument",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { c.Describe(p), p.Argument(1.0), p.Argument(2.0); },
                      right),
       "INTERP: argument 6 is past the 5 declared"},
      {"a sixth argument in the storage pass",
       layoutThenBind(right, [](Caller& c, VQProc_INTERPOLATE& p) { c.Describe(p), p.Argument(c.X); }),
       "INTERP: argument 6 is past the 5 declared"},
      {"a second dimension size",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(c.X), p.Argument(), p.SetDimensionSize(4),
                                                                p.SetDimensionSize(3); },
                      right),
       "INTERP: dimension size 3 given to argument 2, which expects no more"},
      {"a dimension size for a scalar",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(c.X), p.SetDimensionSize(2); }, right),
       "INTERP: dimension size 2 given to argument 1, which expects no more"},
      // Named for the argument that lacks it, not as a count of the arguments.
      {"a dimension size missing",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(c.X), p.Argument(); }, right),
       "INTERP: argument 2 got 0 of its 1 dimension sizes"},
      {"a dimension size missing before the next argument",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(c.X), p.Argument(), p.Argument(); }, right),
       "INTERP: argument 2 got 0 of its 1 dimension sizes"},
      {"a negative dimension size",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(c.X), p.Argument(), p.SetDimensionSize(-3); },
                      right),
       "INTERP: argument 2 has the negative dimension size -3"},
      {"an element too many",
       layoutThenBind(
           [](Caller& c, VQProc_INTERPOLATE& p) {
             p.Argument(c.X), p.Argument(), p.SetDimensionSize(1), p.Element(c.XA[0]), p.Element(c.XA[1]);
           },
           right),
       "INTERP: element CALLER.XA2 is one more than argument 2 takes"},
      {"an element too many in the storage pass",
       layoutThenBind(right, [](Caller& c, VQProc_INTERPOLATE& p) { c.Describe(p), p.Element(c.YA[0]); }),
       "INTERP: element CALLER.YA1 is one more than argument 5 takes"},
      {"an element missing",
       layoutThenBind(
           [](Caller& c, VQProc_INTERPOLATE& p) {
             p.Argument(c.X), p.Argument(), p.SetDimensionSize(4), p.Element(c.XA[0]), p.Argument();
           },
           right),
       "INTERP: argument 2 got 1 elements where its sizes call for 4"},
      {"an array given by value",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(c.X), p.Argument(3.0); }, right),
       "INTERP: argument 2 is given by value but must be a variable"},
      {"an element for a by-value argument",
       layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(1.5), p.Element(c.X); }, right),
       "INTERP: element CALLER.X is one more than argument 1 takes"},
      {"arguments missing", layoutThenBind([](Caller& c, VQProc_INTERPOLATE& p) { p.Argument(c.X); }, right),
       "INTERP: 1 of its 5 arguments were described"},
  };
  for (const Case& c : cases) {
    Caller caller(kXs, kYs, 4, 2.0);
    VQProc_INTERPOLATE& proc = caller.proc;
    c.script(caller, proc);
    EXPECT_EQ(proc.ArgumentStatus(), VQ_PROC_BAD_ARGUMENTS) << c.what;
    EXPECT_STREQ(proc.ErrorText(), c.message) << c.what;
    double residual[4] = {7.0, 7.0, 7.0, 7.0};
    int n = 0;
    EXPECT_EQ(proc.Residuals(residual, n), VQ_PROC_BAD_ARGUMENTS) << c.what;
    EXPECT_EQ(residual[0], 7.0) << c.what;
    double row[64];
    n = 0;
    EXPECT_EQ(proc.Jacobian(row, n), VQ_PROC_BAD_ARGUMENTS) << c.what;
    EXPECT_EQ(proc.CallFn(VQ_ProcedureType::kPrecall, true), VQ_PROC_BAD_ARGUMENTS) << c.what;
    // The counting pass refuses the call and nothing of it is emitted.
    std::string error = "(no error)";
    try {
      vq_rt::Driver(caller).Run();
    } catch (const VQ_Error& e) {
      error = e.what();
    }
    EXPECT_EQ(error, std::string("CALLER: ") + c.message) << c.what;
    EXPECT_TRUE(caller.State().counted.empty()) << c.what;
    EXPECT_TRUE(caller.State().emitted.empty()) << c.what;
  }
}

TEST_F(InterpTest, EvaluationBeforeTheStoragePassIsRefusedUntilItIsDone) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.Describe(caller.proc);
  caller.proc.LastArgument();
  double residual = 0.0;
  int n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), VQ_PROC_BAD_ARGUMENTS);
  EXPECT_STREQ(caller.proc.ErrorText(), "INTERP: evaluated before its arguments were bound (0 of 11 elements)");
  caller.Describe(caller.proc);
  n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), 0);
  EXPECT_DOUBLE_EQ(residual, -2.5);
  caller.proc.LastArgument();  // a second one changes nothing
  EXPECT_EQ(caller.proc.Residuals(&residual, (n = 0)), 0);
}

// ---------------------------------------------------------------------------
// Copies, loading.

TEST_F(InterpTest, ACopyBuildsItsOwnIndexArraysAndEvaluatesAlone) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.Bind();
  double residual = 0.0;
  int n = 0;
  ASSERT_EQ(caller.proc.Residuals(&residual, n), 0);
  ASSERT_NE(caller.proc.DerivRows(), nullptr);
  {
    Probe copy(caller.proc);
    EXPECT_EQ(copy.DerivRows(), nullptr);
    EXPECT_NE(copy.ArgSlots(), caller.proc.ArgSlots());
    caller.X.SetValue(3.5);  // both bind the same variables
    n = 0;
    ASSERT_EQ(copy.Residuals(&residual, n), 0) << copy.ErrorText();
    EXPECT_DOUBLE_EQ(residual, -4.0);
    ASSERT_NE(copy.DerivRows(), nullptr);
    EXPECT_NE(copy.DerivRows(), caller.proc.DerivRows());
    Probe assigned;
    assigned = copy;
    EXPECT_EQ(assigned.DerivRows(), nullptr);
    n = 0;
    ASSERT_EQ(assigned.Residuals(&residual, n), 0) << assigned.ErrorText();
    EXPECT_DOUBLE_EQ(residual, -4.0);
    Probe& self = assigned;  // through a reference: clang warns of a plain self-assignment
    assigned = self;
    EXPECT_EQ(assigned.ArgumentStatus(), 0);
  }
  n = 0;
  ASSERT_EQ(caller.proc.Residuals(&residual, n), 0);  // the original's arrays are its own still
  EXPECT_DOUBLE_EQ(residual, -4.0);
}

TEST_F(InterpTest, TheProcedureLibraryIsLoadedFromItsDirectoryOnly) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.Bind();
  const std::string file = "/" + vq_rt::LibraryFileName("Dornvale");
  vq_rt::SetProcedureLibraryDirectory("/nonexistent/procedures");
  EXPECT_EQ(caller.proc.LibraryPath(), "/nonexistent/procedures" + file);
  double residual = 0.0;
  int n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), VQ_PROC_NOT_LOADED);
  EXPECT_NE(std::string(caller.proc.ErrorText()).find("cannot load \"/nonexistent/procedures" + file + "\""),
            std::string::npos)
      << caller.proc.ErrorText();
  // Not remembered as an error of the arguments: found later, it is used.
  vq_rt::SetProcedureLibraryDirectory(BRANTEL_LIBRARY_DIR);
  n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), 0);

  // By default: beside the model library that defines the wrapper.
  vq_rt::SetProcedureLibraryDirectory(nullptr);
  VQProc_INTERPOLATE plain(false, 0);
  std::string byDefault = plain.LibraryPath();
  std::replace(byDefault.begin(), byDefault.end(), '\\', '/');  // as Windows names the directory
  EXPECT_EQ(byDefault, std::string(BRANTEL_LIBRARY_DIR) + file);
  caller.Bind(plain);
  n = 0;
  EXPECT_EQ(plain.Residuals(&residual, n), 0) << plain.ErrorText();
  ASSERT_NE(plain.Routine(), nullptr);
  EXPECT_EQ(plain.Routine()->GetProcedure13Address(), &INTERP);
}

TEST_F(InterpTest, RefusedStorageGivesANegativeStatus) {
  Caller caller(kXs, kYs, 4, 2.0);
  caller.Bind();
  double residual = 0.0;
  int n = 0;
  ASSERT_EQ(caller.proc.EnsureCompatibleDLLLoaded(4), 0);
  vq_rt::RefuseAllocations(1);  // the derivative row indexes
  EXPECT_EQ(caller.proc.Residuals(&residual, n), VQ_PROC_NO_MEMORY);
  vq_rt::RefuseAllocations(0);
  n = 0;
  EXPECT_EQ(caller.proc.Residuals(&residual, n), 0) << caller.proc.ErrorText();
  EXPECT_DOUBLE_EQ(residual, -2.5);

  Caller refused(kXs, kYs, 4, 2.0);
  refused.Describe(refused.proc);
  vq_rt::RefuseAllocations(1);  // the derivative values
  refused.proc.LastArgument();
  vq_rt::RefuseAllocations(0);
  EXPECT_EQ(refused.proc.ArgumentStatus(), VQ_PROC_NO_MEMORY);
  refused.Describe(refused.proc);
  n = 0;
  EXPECT_EQ(refused.proc.Residuals(&residual, n), VQ_PROC_NO_MEMORY);

  // An equation object the heap refuses is not handed over: the runtime
  // finds the emission pass an equation short.
  Caller starved(kXs, kYs, 4, 2.0);
  starved.Bind();
  vq_rt::Driver driver(starved);
  UpToTheCountingPass(driver);
  vq_rt::RefuseAllocations(1);
  EXPECT_THROW(driver.JacPattern(), VQ_Error);
  vq_rt::RefuseAllocations(0);
  EXPECT_TRUE(starved.State().emitted.empty());
  EXPECT_TRUE(starved.State().procCalls.empty());
}

}  // namespace
