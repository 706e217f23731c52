// The runtime's procedure base on its own: packing, bounds, derivative
// storage, routine statuses and loading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "vq_dynlib.h"
#include "vq_error.h"
#include "vq_procedures.h"

namespace {

// A procedure base laid out by hand: `inputs` input elements, `outputs`
// output elements and `slots` slots, the outputs in the last slots.
class Bare : public VQ_ProcedureType_C {
 public:
  Bare(int inputs, int outputs, int slots) {
    m_InputElementCount = inputs;
    m_InputValueCount = inputs;
    m_OutputElementCount = outputs;
    HandleDerivatives(false);
    FinalizeConstruction(slots - outputs, slots);
  }
  const char* ProcedureName() const override { return "BARE"; }
  const char* DLLName() const override { return "NoSuchLibrary"; }

  void Bind(std::vector<VQ_VarParam*> elements) {
    for (size_t i = 0; i < elements.size(); ++i) m_ArgElements[i] = elements[i];
    Rewind();
  }
  void Rewind() {
    m_ElementCursor = m_ArgElements;
    m_InputsChanged = false;
  }
  bool Changed() const { return m_InputsChanged; }
  double* Slots() { return m_ArgSlots; }
  double* Derivatives() { return m_DerivativeValues; }
};

TEST(Procedures, StringArraysGetOnePointerPerTextInFrontForC) {
  Bare bare(0, 0, 1);
  for (int count : {0, 1, 3, 8})
    EXPECT_EQ(bare.StringTableSlots(count), (count * static_cast<int>(sizeof(char*)) + 7) / 8) << count;
  EXPECT_EQ(VQ_ProcedureType::TypeSize(VQ_PROC_TYPE_INTEGER), 4);
  EXPECT_EQ(VQ_ProcedureType::TypeSize(VQ_PROC_TYPE_REAL), 8);
  EXPECT_EQ(VQ_ProcedureType::TypeSize(9), 8);  // an unknown type still takes a slot
}

TEST(Procedures, PackingCountsChangesAndStaysInsideTheBuffer) {
  VQ_STRINGPARAMETER a(true), b(true);
  XUValue text;
  text.SetString("first");
  a.SetUserValue(text);
  text.SetString(std::string(300, 'x').c_str());
  b.SetUserValue(text);
  const int sizes[] = {2};
  const int table = static_cast<int>(2 * sizeof(char*) + 7) / 8;
  const int slots = table + 2 * VQ_ProcedureType::TypeSize(VQ_PROC_TYPE_STRING) / 8;
  Bare bare(2, 0, slots);
  bare.Bind({&a, &b});
  auto* start = reinterpret_cast<char*>(bare.Slots());
  EXPECT_TRUE(bare.PackStringArray(start, 1, sizes));
  EXPECT_TRUE(bare.Changed());
  const char* texts = start + table * 8;
  EXPECT_STREQ(texts, "first");
  const size_t cut = std::strlen(texts + VQ_ProcedureType::TypeSize(VQ_PROC_TYPE_STRING));
  EXPECT_EQ(cut, static_cast<size_t>(VQ_ProcedureType::TypeSize(VQ_PROC_TYPE_STRING) - 1));  // cut, zero kept
  bare.Rewind();
  EXPECT_FALSE(bare.PackStringArray(start, 1, sizes));
  EXPECT_FALSE(bare.Changed());
  // One element more than is bound: refused before anything is written.
  bare.Rewind();
  const int three[] = {3};
  EXPECT_THROW(bare.PackStringArray(start, 1, three), VQ_Error);
  const int negative[] = {-1};
  EXPECT_THROW(bare.PackStringArray(start, 1, negative), VQ_Error);
}

TEST(Procedures, RealsThatAreNotNumbersAlwaysCountAsChanged) {
  VQ_REALVARIABLE x(true), y(true);
  x.SetValue(1.5);
  y.SetValue(std::numeric_limits<double>::quiet_NaN());
  Bare bare(2, 0, 2);
  bare.Bind({&x, &y});
  const int sizes[] = {2};
  EXPECT_TRUE(bare.PackRealArray(bare.Slots(), 1, sizes));
  for (int pass = 0; pass < 2; ++pass) {
    bare.Rewind();
    EXPECT_TRUE(bare.PackRealArray(bare.Slots(), 1, sizes)) << pass;
  }
  y.SetValue(2.0);
  bare.Rewind();
  EXPECT_TRUE(bare.PackRealArray(bare.Slots(), 1, sizes));
  bare.Rewind();
  EXPECT_FALSE(bare.PackRealArray(bare.Slots(), 1, sizes));
  EXPECT_EQ(bare.Slots()[1], 2.0);
  // The array reaching past the buffer's end is refused.
  bare.Rewind();
  EXPECT_THROW(bare.PackRealArray(bare.Slots() + 1, 1, sizes), VQ_Error);
}

TEST(Procedures, RoutineStatuses) {
  Bare bare(1, 1, 2);
  struct Case {
    const char* what;
    int failure;
    double output;
    int status;
  } cases[] = {
      {"success", 0, 3.0, VQ_PROC_OK},
      {"failure flag", 1, 3.0, VQ_PROC_ROUTINE_FAILED},
      {"failure flag left as set", 1, 0.0, VQ_PROC_ROUTINE_FAILED},
      {"output not a number", 0, std::numeric_limits<double>::quiet_NaN(), VQ_PROC_BAD_OUTPUT},
      {"output infinite", 0, INFINITY, VQ_PROC_BAD_OUTPUT},
  };
  for (const Case& c : cases) {
    bare.Slots()[1] = c.output;
    EXPECT_EQ(bare.CheckIFailAndOutputs(c.failure, VQ_ProcedureType::kDerivatives, true), c.status) << c.what;
    EXPECT_EQ(bare.LastCall(VQ_ProcedureType::kDerivatives), c.status == VQ_PROC_OK) << c.what;
    if (c.status != VQ_PROC_OK) {
      EXPECT_NE(std::string(bare.ErrorText()).find("BARE: "), std::string::npos) << c.what;
    }
  }
}

TEST(Procedures, NegatedDerivativesNeedNoJacobianFirst) {
  Bare bare(2, 1, 3);
  ASSERT_EQ(bare.DerivativeCount(), 2);
  ASSERT_EQ(bare.JacobianValues(), nullptr);
  bare.Derivatives()[0] = 0.25;
  bare.Derivatives()[1] = -4.0;
  bare.HandleDerivatives(true);
  ASSERT_NE(bare.JacobianValues(), nullptr);
  EXPECT_EQ(bare.JacobianValues()[0], -0.25);
  EXPECT_EQ(bare.JacobianValues()[1], 4.0);
  Bare copy(bare);
  EXPECT_NE(copy.JacobianValues(), bare.JacobianValues());
  EXPECT_EQ(copy.JacobianValues()[1], 4.0);
}

TEST(Procedures, LibrariesAreLoadedByPathOnly) {
  Bare bare(0, 0, 1);
  EXPECT_EQ(bare.EnsureCompatibleDLLLoaded(3), VQ_PROC_NOT_LOADED);
  vq_rt::SetProcedureLibraryDirectory("/nonexistent");
  EXPECT_EQ(bare.EnsureCompatibleDLLLoaded(4), VQ_PROC_NOT_LOADED);
  const std::string path = "/nonexistent/" + vq_rt::LibraryFileName("NoSuchLibrary");
  EXPECT_EQ(bare.LibraryPath(), path);
  EXPECT_NE(std::string(bare.ErrorText()).find(path), std::string::npos);
  vq_rt::SetProcedureLibraryDirectory(nullptr);
  DLLFunction routine;
  EXPECT_FALSE(routine.Load("libc.so.6", "printf"));  // a bare name would search the system
  EXPECT_STREQ(routine.Error(), "\"libc.so.6\" is no path to a library");
  EXPECT_FALSE(routine.Loaded());
}

TEST(Procedures, ByValueArgumentsConvertBetweenKinds) {
  ConstProcValue value;
  EXPECT_EQ(value.Integer(), 0);
  EXPECT_STREQ(value.String(), "");
  value = 7;
  EXPECT_EQ(value.Real(), 7.0);
  value = 2.75;
  EXPECT_EQ(value.Integer(), 2);
  value = 1e300;
  EXPECT_EQ(value.Integer(), std::numeric_limits<int>::max());
  value = "text";
  ConstProcValue copy(value);
  value = 1.0;
  EXPECT_STREQ(copy.String(), "text");
  EXPECT_EQ(copy.Real(), 0.0);
}

}  // namespace
