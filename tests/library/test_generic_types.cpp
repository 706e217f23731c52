// Generic stream and structure, the global structure reference, and the
// signal and connection models with their derived class levels.
#include <gtest/gtest.h>

#include "vq_equations.h"
#include "vq_instances.h"
#include "support/recording.h"

namespace {

TEST(GenericTypes, ComponentListIsTheMemberOnEveryCall) {
  VQ_GENERICSTREAM stream;
  VQ_GENERICSTRUCTURE structure;
  EXPECT_EQ(stream.ComponentList(), &stream.COMPONENTLIST);
  EXPECT_EQ(stream.ComponentList(), stream.ComponentList());
  EXPECT_EQ(structure.ComponentList(), &structure.COMPONENTLIST);
  EXPECT_EQ(stream.FindProperty("COMPONENTLIST"), &stream.COMPONENTLIST);
  VQ_CONTROLSIGNAL signal;  // no component list of its own
  EXPECT_EQ(signal.ComponentList(), nullptr);
}

// Own signature first, then, for a derived type, the generic one; never
// the other way round and never across types.
TEST(GenericTypes, ContainerDerivesFrom) {
  VQ_GENERICSTREAM stream;
  VQ_GENERICSTRUCTURE structure;
  VQ_GENERICCONTROLSIGNAL genericSignal;
  VQ_CONTROLSIGNAL signal;
  VQ_GENERICCONNECTION genericConnection;
  VQ_CONNECTION connection;
  struct Case {
    VQ_Container* type;
    const char* signature;
    bool derives;
  } cases[] = {
      {&stream, "Stream GENERICSTREAM\tV8.4", true},
      {&stream, "Model GENERICSTREAM\tV8.4", false},
      {&structure, "structure genericstructure\tv8.4", true},
      {&structure, "Model GENERICMODEL\tV8.4", false},
      {&signal, "Model CONTROLSIGNAL\tV8.4", true},
      {&signal, "model genericcontrolsignal\tV8.4", true},
      {&signal, "Model GENERICCONNECTION\tV8.4", false},
      {&genericSignal, "Model GENERICCONTROLSIGNAL\tV8.4", true},
      {&genericSignal, "Model CONTROLSIGNAL\tV8.4", false},
      {&connection, "Model CONNECTION\tV8.4", true},
      {&connection, "Model GENERICCONNECTION\tV8.4", true},
      {&connection, "Model GENERICCONNECTION V8.4", false},
      {&connection, "Model CONTROLSIGNAL\tV8.4", false},
      {&genericConnection, "Model CONNECTION\tV8.4", false},
      {&connection, nullptr, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.type->ContainerDerivesFrom(c.signature), c.derives)
        << c.type->VQ_DefaultDESCRIPTION() << " / " << (c.signature ? c.signature : "null");
  EXPECT_EQ(signal.VQ_DefaultDESCRIPTION(), VQ_CONTROLSIGNAL::VQ_ContainerId());
  EXPECT_EQ(connection.VQ_DefaultDESCRIPTION(), VQ_CONNECTION::VQ_ContainerId());
}

// The two class levels of a derived type, each with its own bookkeeping.
template <class Derived, class Generic>
struct Levels {
  Derived instance;
  Generic& generic() { return instance; }
  // The derived level's own three integers.
  int& groupBase() { return instance.VQ_GeneratedLevel<Derived, Generic>::m_GroupBase; }
  int& ownEqnCount() { return instance.VQ_GeneratedLevel<Derived, Generic>::m_OwnEqnCount; }
  int& ownNonZeroCount() { return instance.VQ_GeneratedLevel<Derived, Generic>::m_OwnNonZeroCount; }
};

template <class Derived, class Generic>
void CheckDerivedFrames() {
  const std::string type = Derived::VQ_ContainerId();
  {  // Assignments: lowered once per level, the runtime's result passed on.
    for (long base : {0L, 6L, -4L}) {
      Levels<Derived, Generic> levels;
      levels.instance.State().base.overrideAssignments = true;
      levels.instance.State().base.assignments = base;
      long result = 0;
      EXPECT_EQ(Recorded([&] { result = levels.instance.ExecuteAssignments(10, 3); }),
                std::vector<std::string>{"ExecuteAssignments a=8 b=3"})
          << type;
      EXPECT_EQ(result, base) << type;
    }
  }
  {  // Counting: one SetLocalEqnCount per level, each level its group base.
    Levels<Derived, Generic> levels;
    levels.instance.State().base.overrideSetUp = true;
    levels.instance.State().base.setUp = 4;
    VQ_ModelType::m_stLastGroup = 31;
    int result = 0;
    EXPECT_EQ(Recorded([&] { result = levels.instance.SetUpEquations(); }),
              (std::vector<std::string>{"SetUpEquations -> 4", "SetLocalEqnCount 4", "SetLocalEqnCount 4"}))
        << type;
    EXPECT_EQ(result, 4);
    EXPECT_EQ(levels.generic().m_GroupBase, 31) << type;
    EXPECT_EQ(levels.groupBase(), 31) << type;
    EXPECT_EQ(levels.generic().m_OwnEqnCount, 0) << type;
    EXPECT_EQ(levels.ownEqnCount(), 0) << type;
  }
  {  // A failed count is returned by both levels; neither touches its integers.
    Levels<Derived, Generic> levels;
    levels.generic().m_GroupBase = 5;
    levels.generic().m_OwnEqnCount = 6;
    levels.groupBase() = 7;
    levels.ownEqnCount() = 8;
    levels.instance.State().base.overrideSetUp = true;
    levels.instance.State().base.setUp = -3;
    int result = 0;
    EXPECT_EQ(Recorded([&] { result = levels.instance.SetUpEquations(); }),
              std::vector<std::string>{"SetUpEquations -> -3"})
        << type;
    EXPECT_EQ(result, -3);
    EXPECT_EQ(levels.generic().m_GroupBase, 5);
    EXPECT_EQ(levels.generic().m_OwnEqnCount, 6);
    EXPECT_EQ(levels.groupBase(), 7);
    EXPECT_EQ(levels.ownEqnCount(), 8);
  }
  {  // Emission: one ResetExpressions per level, the counter passed on.
    Levels<Derived, Generic> levels;
    levels.generic().m_OwnNonZeroCount = 9;
    levels.ownNonZeroCount() = 9;
    levels.instance.State().base.overrideJacPattern = true;
    levels.instance.State().base.jacPattern = 12;
    vq_rt::PatternWindow window(levels.instance, 2);
    int* p0 = window.p();
    int result = 0;
    EXPECT_EQ(Recorded([&] { result = levels.instance.JacPattern(window.p(), window.q(), nullptr); }),
              (std::vector<std::string>{"ResetExpressions", "ResetExpressions", "JacPattern -> 12"}))
        << type;
    EXPECT_EQ(result, 12);
    EXPECT_EQ(window.p(), p0);
    EXPECT_EQ(levels.generic().m_OwnNonZeroCount, 0);
    EXPECT_EQ(levels.ownNonZeroCount(), 0);
    EXPECT_EQ(levels.instance.Residuals(nullptr, 1, 2), 0);
    EXPECT_EQ(levels.instance.Jacobian(nullptr, 1, 2), 0);
  }
  {  // Assignment copies both levels' integers and the generic members.
    Levels<Derived, Generic> source, target;
    source.generic().m_GroupBase = 1;
    source.groupBase() = 2;
    source.ownEqnCount() = 3;
    source.ownNonZeroCount() = 4;
    XUValue notes;
    notes.SetString("copied");
    source.instance.USERNOTES.SetUserValue(notes);
    target.instance = source.instance;
    EXPECT_EQ(target.generic().m_GroupBase, 1);
    EXPECT_EQ(target.groupBase(), 2);
    EXPECT_EQ(target.ownEqnCount(), 3);
    EXPECT_EQ(target.ownNonZeroCount(), 4);
    EXPECT_STREQ(target.instance.USERNOTES.v(), "copied");
    EXPECT_EQ(target.instance.PropertyCount(), 3);
  }
}

TEST(SignalsAndConnections, DerivedTypesRunTheFrameOfEachClassLevel) {
  CheckDerivedFrames<VQ_CONTROLSIGNAL, VQ_GENERICCONTROLSIGNAL>();
  CheckDerivedFrames<VQ_CONNECTION, VQ_GENERICCONNECTION>();
}

TEST(SignalsAndConnections, FirstLevelTypesLowerOnceAndCountOnce) {
  VQ_GENERICCONNECTION connection;
  EXPECT_EQ(Recorded([&] { connection.ExecuteAssignments(10, 3); }),
            std::vector<std::string>{"ExecuteAssignments a=9 b=3"});
  EXPECT_EQ(Recorded([&] { connection.SetUpEquations(); }),
            (std::vector<std::string>{"SetUpEquations -> 0", "SetLocalEqnCount 0"}));
  VQ_GENERICSTRUCTURE structure;
  vq_rt::PatternWindow window(structure, 0);
  EXPECT_EQ(Recorded([&] { structure.JacPattern(window.p(), window.q(), nullptr); }),
            (std::vector<std::string>{"ResetExpressions", "JacPattern -> 0"}));
}

// Every factory of this subsystem: one new instance with one reference, or
// null with nothing made when the heap refuses.
TEST(Factories, NewInstanceWithOneReferenceOrNullWhenTheHeapRefuses) {
  struct Case {
    VQ_ModelType* (*factory)();
    const char* signature;
    int properties;
  } cases[] = {
      {GENERICSTREAMFactory, "Stream GENERICSTREAM\tV8.4", 6},
      {GENERICSTRUCTUREFactory, "Structure GENERICSTRUCTURE\tV8.4", 2},
      {GENERICCONTROLSIGNALFactory, "Model GENERICCONTROLSIGNAL\tV8.4", 3},
      {CONTROLSIGNALFactory, "Model CONTROLSIGNAL\tV8.4", 3},
      {GENERICCONNECTIONFactory, "Model GENERICCONNECTION\tV8.4", 3},
      {CONNECTIONFactory, "Model CONNECTION\tV8.4", 3},
  };
  for (const Case& c : cases) {
    vq_rt::HeapStats before = vq_rt::GetHeapStats();
    vq_rt::RefuseAllocations(1);
    VQ_ModelType* refused = nullptr;
    EXPECT_TRUE(Recorded([&] { refused = c.factory(); }).empty()) << c.signature;
    EXPECT_EQ(refused, nullptr) << c.signature;
    vq_rt::HeapStats after = vq_rt::GetHeapStats();
    EXPECT_EQ(after.refused, before.refused + 1) << c.signature;
    EXPECT_EQ(after.liveBlocks, before.liveBlocks) << c.signature;

    VQ_ModelType* made = nullptr;
    std::vector<std::string> events = Recorded([&] { made = c.factory(); });
    ASSERT_NE(made, nullptr) << c.signature;
    EXPECT_EQ(events.back(), "AddRef -> 1") << c.signature;
    EXPECT_EQ(made->RefCount(), 1u);
    EXPECT_STREQ(made->VQ_DefaultDESCRIPTION(), c.signature);
    EXPECT_EQ(made->PropertyCount(), c.properties) << c.signature;
    EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, before.liveBlocks + 1) << c.signature;
    made->Release();
    EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, before.liveBlocks) << c.signature;
  }
}

// The reference and member instances of this subsystem's types report the
// type's own signature and make instances with their properties registered.
template <class T>
void CheckReferenceInstances(int properties) {
  VQ_External<T> reference;
  VQ_Virtual<T> member;
  EXPECT_EQ(reference.ExternalTypeName(), T::VQ_ContainerId());
  EXPECT_EQ(member.VirtualBaseType(), reference.ExternalTypeName());
  VQ_Type* made = member.NewDefaultVirtual();
  ASSERT_NE(dynamic_cast<T*>(made), nullptr) << T::VQ_ContainerId();
  EXPECT_EQ(static_cast<T*>(made)->PropertyCount(), properties) << T::VQ_ContainerId();
  delete made;
}

TEST(References, InstancesOverTheConnectivityTypes) {
  CheckReferenceInstances<VQ_GENERICSTREAM>(6);
  CheckReferenceInstances<VQ_GENERICSTRUCTURE>(2);
  CheckReferenceInstances<VQ_GENERICCONTROLSIGNAL>(3);
  CheckReferenceInstances<VQ_CONTROLSIGNAL>(3);
  CheckReferenceInstances<VQ_GENERICCONNECTION>(3);
  CheckReferenceInstances<VQ_CONNECTION>(3);
  CheckReferenceInstances<VQ_GENERICPORT>(3);
  CheckReferenceInstances<VQ_CONNECTIONPORT>(0);
  using ConnectionPorts = VQ_ARRAY_S<VQ_CONNECTIONPORT, VQ_CONNECTIONPORT>;
  VQ_External<VQ_ARRAY_S<VQ_GENERICPORT, VQ_GENERICPORT>> ports;
  EXPECT_EQ(ports.ExternalTypeName(), VQ_Matrix::VQ_ContainerId());
  VQ_Virtual<ConnectionPorts> array;
  VQ_Type* made = array.NewDefaultVirtual();
  EXPECT_NE(dynamic_cast<ConnectionPorts*>(made), nullptr);
  delete made;
}

using StructureReference = VQ_GLOBALSTRUCTUREREFNAME<VQ_GENERICSTRUCTURE>;

TEST(GlobalStructureReference, CompatibilityIsTheGenericStructureOrWhatDerivesFromIt) {
  StructureReference reference;
  VQ_GENERICSTRUCTURE structure;
  VQ_GENERICMODEL model;
  VQ_GENERICSTREAM stream;
  EXPECT_TRUE(reference.CheckCompatibleStructureType(&structure));
  EXPECT_FALSE(reference.CheckCompatibleStructureType(&model));
  EXPECT_FALSE(reference.CheckCompatibleStructureType(&stream));
  EXPECT_FALSE(reference.CheckCompatibleStructureType(nullptr));  // no model is of no type
}

TEST(GlobalStructureReference, EveryDummyIsANewRegisteredStructureWithoutAReference) {
  StructureReference reference;
  VQ_ModelType* one = nullptr;
  std::vector<std::string> events = Recorded([&] { one = reference.CreateDummyInstance(); });
  VQ_ModelType* two = reference.CreateDummyInstance();
  ASSERT_NE(one, nullptr);
  EXPECT_NE(one, two);
  EXPECT_EQ(events.size(), 2u);  // its two registrations and nothing else
  EXPECT_NE(dynamic_cast<VQ_GENERICSTRUCTURE*>(one), nullptr);
  EXPECT_EQ(one->PropertyCount(), 2);
  EXPECT_EQ(one->RefCount(), 0u);
  delete one;
  delete two;
  vq_rt::RefuseAllocations(1);
  EXPECT_EQ(reference.CreateDummyInstance(), nullptr);
}

TEST(GlobalStructureReference, DereferencesTheNamedStructureOrItsDummy) {
  StructureReference reference;
  VQ_GENERICMODEL owner;
  reference.AddProperty(&owner, "PROPERTIES", nullptr, 0, false);

  // Naming nothing: the dummy, made once and kept by the reference.
  VQ_GENERICSTRUCTURE& dummy = *reference;
  EXPECT_EQ(&*reference, &dummy);
  EXPECT_EQ(dummy.PropertyCount(), 2);

  VQ_ModelType* named = GENERICSTRUCTUREFactory();
  VQ_ModelType* model = GENERICMODELFactory();
  VQ_GlobalStructureRefBase::AddGlobalStructure("Water", named);
  VQ_GlobalStructureRefBase::AddGlobalStructure("NotAStructure", model);
  XUValue name;
  name.SetString("water");
  reference.SetUserValue(name);
  VQ_GENERICSTRUCTURE& byConversion = reference;
  EXPECT_EQ(&byConversion, named);
  EXPECT_EQ(&*reference, named);

  struct Case {
    const char* name;
    const char* message;
  } refused[] = {
      {"Steam", "GENERICMODEL.PROPERTIES: \"Steam\" names no global structure"},
      {"NotAStructure",
       "GENERICMODEL.PROPERTIES: NotAStructure (GENERICMODEL) is not a structure of the type this "
       "reference takes"},
  };
  for (const Case& c : refused) {
    name.SetString(c.name);
    reference.SetUserValue(name);
    try {
      *reference;
      ADD_FAILURE() << c.name;
    } catch (const VQ_Error& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
  VQ_GlobalStructureRefBase::RemoveGlobalStructure("WATER");
  VQ_GlobalStructureRefBase::RemoveGlobalStructure("NotAStructure");
  EXPECT_EQ(VQ_GlobalStructureRefBase::FindGlobalStructure("Water"), nullptr);
  named->Release();
  model->Release();
}

TEST(GlobalStructureReference, ARegisteredNameIsReplacedAndTheInstancesAreHeldWhileNamed) {
  VQ_ModelType* first = GENERICSTRUCTUREFactory();
  VQ_ModelType* second = GENERICSTRUCTUREFactory();
  VQ_GlobalStructureRefBase::AddGlobalStructure("Air", first);
  EXPECT_EQ(first->RefCount(), 2u);
  VQ_GlobalStructureRefBase::AddGlobalStructure("AIR", second);
  EXPECT_EQ(first->RefCount(), 1u);
  EXPECT_EQ(VQ_GlobalStructureRefBase::FindGlobalStructure("air"), second);
  VQ_GlobalStructureRefBase::RemoveGlobalStructure("air");
  EXPECT_EQ(second->RefCount(), 1u);
  EXPECT_THROW(VQ_GlobalStructureRefBase::AddGlobalStructure("", first), VQ_Error);
  EXPECT_THROW(VQ_GlobalStructureRefBase::AddGlobalStructure("Air", nullptr), VQ_Error);
  {
    // The runtime's base, given an instance: it stands for it while it
    // names none, and has no dummy of its own.
    VQ_GlobalStructureRefBase bound(first), unbound(nullptr);
    EXPECT_EQ(bound.Dereference(), first);
    EXPECT_EQ(first->RefCount(), 2u);
    EXPECT_THROW(unbound.Dereference(), VQ_Error);
    unbound = bound;
    EXPECT_EQ(unbound.Dereference(), first);
  }
  EXPECT_EQ(first->RefCount(), 1u);
  first->Release();
  second->Release();
}

TEST(GlobalStructureReference, ADummyThatCannotBeMadeIsAnError) {
  StructureReference reference;
  vq_rt::RefuseAllocations(1);
  EXPECT_THROW(*reference, VQ_Error);
  EXPECT_EQ((*reference).PropertyCount(), 2);  // made on the next use
}

}  // namespace
