// The generated type pattern, on the generic model and the control port.
#include <gtest/gtest.h>

#include <climits>

#include "vq_equations.h"
#include "vq_generic.h"
#include "vq_module.h"
#include "support/recording.h"

namespace {

const std::vector<std::string> kGenericModelRegistrations = {
    "AddProperty USERNOTES desc=null dir=0 flag=0 form=plain",
    "AddProperty COMPONENTLIST desc=null dir=0 flag=0 form=plain",
    "AddProperty INPUTSIGNAL desc=null dir=4 flag=0 form=plain",
    "UnsetIsToBeExported INPUTSIGNAL",
    "AddProperty OUTPUTSIGNAL desc=null dir=8 flag=0 form=plain",
    "UnsetIsToBeExported OUTPUTSIGNAL",
};

TEST(GenericModel, FactoryRegistersItsPropertiesThenTakesOneReference) {
  VQ_ModelType* model = nullptr;
  std::vector<std::string> events = Recorded([&] { model = GENERICMODELFactory(); });
  ASSERT_NE(model, nullptr);
  std::vector<std::string> expected = kGenericModelRegistrations;
  expected.push_back("AddRef -> 1");
  EXPECT_EQ(events, expected);
  EXPECT_STREQ(model->VQ_DefaultDESCRIPTION(), "Model GENERICMODEL\tV8.4");
  auto* generic = dynamic_cast<VQ_GENERICMODEL*>(model);
  ASSERT_NE(generic, nullptr);
  EXPECT_EQ(generic->ComponentList(), &generic->COMPONENTLIST);
  EXPECT_EQ(generic->m_GroupBase, 0);
  EXPECT_EQ(generic->m_OwnEqnCount, 0);
  EXPECT_EQ(generic->m_OwnNonZeroCount, 0);
  model->Release();
}

TEST(GenericModel, TwoPhaseConstructionRegistersTheSameLater) {
  std::vector<std::string> events;
  VQ_GENERICMODEL model(false);
  EXPECT_EQ(model.PropertyCount(), 0);
  events = Recorded([&] { model.Construct(); });
  EXPECT_EQ(events, kGenericModelRegistrations);
  EXPECT_EQ(model.PropertyCount(), 4);
}

TEST(GenericModel, SignatureAndDerivation) {
  VQ_GENERICMODEL model;
  EXPECT_EQ(model.VQ_DefaultDESCRIPTION(), VQ_GENERICMODEL::VQ_ContainerId());
  EXPECT_EQ(VQ_GENERICMODEL::VQ_ContainerId(), VQ_GENERICMODEL::VQ_ContainerId());
  struct Case {
    const char* signature;
    bool derives;
  } cases[] = {
      {"Model GENERICMODEL\tV8.4", true},
      {"model genericmodel\tv8.4", true},
      {"Model GENERICMODEL", false},
      {"Model GENERICMODEL V8.4", false},
      {"Model SECTIONDATAMODEL\tV8.4", false},
      {"", false},
      {nullptr, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(model.ContainerDerivesFrom(c.signature), c.derives) << (c.signature ? c.signature : "null");
  VQ_CONTROLPORT port;
  EXPECT_TRUE(port.ContainerDerivesFrom("port controlport\tv8.4"));
  EXPECT_FALSE(model.ContainerDerivesFrom("Port CONTROLPORT\tV8.4"));
  EXPECT_EQ(port.PropertyCount(), 0);
}

TEST(GenericModel, AssignmentsLowerTheFirstArgumentOnceAndPassTheResultOn) {
  struct Case {
    int a, b;
    long base;
    int expectedA;
  } cases[] = {
      {10, 3, 0, 9},
      {0, 0, -7, -1},
      {INT_MIN, 5, 4, INT_MIN},  // no overflow below the smallest int
  };
  for (const Case& c : cases) {
    VQ_GENERICMODEL model;
    model.State().base.overrideAssignments = true;
    model.State().base.assignments = c.base;
    long result = 0;
    std::vector<std::string> events = Recorded([&] { result = model.ExecuteAssignments(c.a, c.b); });
    EXPECT_EQ(result, c.base);
    EXPECT_EQ(events, std::vector<std::string>{"ExecuteAssignments a=" + std::to_string(c.expectedA) +
                                               " b=" + std::to_string(c.b)});
  }
}

TEST(GenericModel, CountingPassFrame) {
  VQ_GENERICMODEL model;
  model.m_GroupBase = 17;
  model.m_OwnEqnCount = 18;
  model.State().base.overrideSetUp = true;
  model.State().base.setUp = -1;
  EXPECT_EQ(model.SetUpEquations(), -1);
  EXPECT_EQ(model.m_GroupBase, 17);  // untouched after a failed base count
  EXPECT_EQ(model.m_OwnEqnCount, 18);

  model.State().base.setUp = 5;
  VQ_ModelType::m_stLastGroup = 42;
  std::vector<std::string> events;
  int result = 0;
  events = Recorded([&] { result = model.SetUpEquations(); });
  EXPECT_EQ(result, 5);
  EXPECT_EQ(model.m_GroupBase, 42);
  EXPECT_EQ(model.m_OwnEqnCount, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"SetUpEquations -> 5", "SetLocalEqnCount 5"}));
}

TEST(GenericModel, EmissionPassFrame) {
  VQ_GENERICMODEL model;
  model.m_OwnNonZeroCount = 9;
  model.State().base.overrideJacPattern = true;
  model.State().base.jacPattern = 12;
  vq_rt::PatternWindow window(model, 4);
  int* p0 = window.p();
  int* q0 = window.q();
  int result = 0;
  std::vector<std::string> events = Recorded([&] { result = model.JacPattern(window.p(), window.q(), nullptr); });
  EXPECT_EQ(result, 12);
  EXPECT_EQ(window.p(), p0);
  EXPECT_EQ(window.q(), q0);
  EXPECT_EQ(model.m_OwnNonZeroCount, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"ResetExpressions", "JacPattern -> 12"}));
  EXPECT_EQ(model.Residuals(nullptr, 3, 4), 0);
  EXPECT_EQ(model.Jacobian(nullptr, 0, 0), 0);
}

TEST(GenericModel, AssignmentCopiesTheBookkeeping) {
  VQ_GENERICMODEL source, target;
  source.m_GroupBase = 3;
  source.m_OwnEqnCount = 4;
  source.m_OwnNonZeroCount = 5;
  XUValue notes;
  notes.SetString("a note");
  source.USERNOTES.SetUserValue(notes);
  target = source;
  EXPECT_EQ(target.m_GroupBase, 3);
  EXPECT_EQ(target.m_OwnEqnCount, 4);
  EXPECT_EQ(target.m_OwnNonZeroCount, 5);
  EXPECT_STREQ(target.USERNOTES.v(), "a note");
  EXPECT_EQ(target.PropertyCount(), 4);  // registrations are not copied
  EXPECT_EQ(target.FindProperty("USERNOTES"), &target.USERNOTES);
}

}  // namespace
