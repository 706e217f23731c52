// Multiports: connection ports made on request, counted and walked with the
// runtime's running index; a find never makes a port.
#include <gtest/gtest.h>

#include <climits>
#include <typeinfo>

#include "vq_instances.h"
#include "support/recording.h"

namespace {

using ControlMultiport = VQ_VQ_MICONTROLPORT;

std::string Names(const VQ_MULTIPORT_BaseType& multiport) {
  std::string text;
  const VQ_SetValue& names = multiport.ConnectionNames().v();
  for (int i = 0; i < names.SetSize(); ++i) text += (i ? "," : "") + std::string(names.StringAt(i));
  return text;
}

TEST(Multiports, ANewMultiportIsOnePortWithItsArrayBoundToItsNames) {
  ControlMultiport multiport;
  EXPECT_TRUE(multiport.IsAMultiport());
  EXPECT_EQ(multiport.CONNECTION.DeclaredSet(0), &multiport.ConnectionNames());
  EXPECT_STREQ(multiport.VQ_DefaultDESCRIPTION(), VQ_MULTIPORT_BaseType::VQ_ContainerId());
  EXPECT_TRUE(multiport.ContainerDerivesFrom("port multiport\tv8.4"));
  EXPECT_FALSE(multiport.ContainerDerivesFrom("Port CONTROLPORT\tV8.4"));  // no signature of its own
  for (bool flag : {false, true}) {
    int count = 0;
    EXPECT_EQ(Recorded([&] { count = multiport.PortCount(flag); }),
              std::vector<std::string>{"PortCount CONNECTION flag=0 -> 0"});
    EXPECT_EQ(count, 1);
  }
  EXPECT_EQ(&*multiport, &multiport);
}

// The calls of a new connection in order, for both export settings.
TEST(Multiports, CreateConnectionPortCopiesTheSettingsThenAddsTheNameThenLooksUpThePort) {
  struct Case {
    bool exported;
    std::vector<std::string> settings;
  } cases[] = {
      {false, {"SetDirection CONNECTION 8", "UnsetIsToBeExported CONNECTION"}},
      {true, {"SetDirection CONNECTION 8", "HostPortType CONNECTION 3"}},
  };
  for (const Case& c : cases) {
    VQ_GENERICMODEL owner;
    VQ_VQ_MOGENERICPORT multiport;
    multiport.AddProperty(&owner, "OUTLETS", nullptr, 8, false);
    if (c.exported) multiport.HostPortType(3);
    else multiport.UnsetIsToBeExported();
    VQ_PortType* port = nullptr;
    std::vector<std::string> events = Recorded([&] { port = multiport.CreateConnectionPort("vapour", 7u); });
    std::vector<std::string> expected = c.settings;
    expected.insert(expected.end(), {"Assign GENERICMODEL.OUTLETS.CONNECTIONNAMES {\"vapour\"} b=0 a=0 ordinal=0",
                                     "AssignFlags GENERICMODEL.OUTLETS.CONNECTIONNAMES 7",
                                     "AddNullEntries(0, 0, 1)", "AddIndexToString \"vapour\" 0",
                                     // the port, made with its construct flag set
                                     "AddProperty ISCONNECTED desc=null dir=0 flag=0 form=plain",
                                     "AddProperty ISLINKED desc=null dir=0 flag=0 form=plain",
                                     "AddProperty COMPONENTLIST desc=null dir=0 flag=0 form=plain",
                                     "AddElement (vapour) at 0"});
    EXPECT_EQ(events, expected) << c.exported;
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port, &multiport.CONNECTION("vapour"));
    EXPECT_EQ(port->PropertyCount(), 3);
    EXPECT_EQ(multiport.CONNECTION.Direction(), 8);
    EXPECT_EQ(multiport.CONNECTION.IsToBeExported(), c.exported);
    EXPECT_EQ(Names(multiport), "vapour");
    EXPECT_EQ(multiport.FindConnectionPort("VAPOUR"), port);  // names ignore letter case
    EXPECT_EQ(port->DisplayName(), "GENERICMODEL.OUTLETS.CONNECTION(vapour)");
  }
}

TEST(Multiports, FlagsReachTheAssignmentUnchanged) {
  ControlMultiport multiport;
  for (unsigned int flags : {0u, 1u, 0x80000000u, 0xFFFFFFFFu}) {
    std::string name = "c" + std::to_string(flags);
    std::vector<std::string> flagged;
    for (const std::string& e : Recorded([&] { multiport.CreateConnectionPort(name.c_str(), flags); }))
      if (e.rfind("AssignFlags ", 0) == 0) flagged.push_back(e);
    EXPECT_EQ(flagged, std::vector<std::string>{"AssignFlags MULTIPORT.CONNECTIONNAMES " + std::to_string(flags)});
  }
}

TEST(Multiports, ANameAlreadyConnectedGivesItsPortAgain) {
  ControlMultiport multiport;
  VQ_PortType* first = multiport.CreateConnectionPort("a", 0);
  EXPECT_EQ(multiport.CreateConnectionPort("A", 0), first);
  EXPECT_EQ(Names(multiport), "a");
  EXPECT_EQ(multiport.CONNECTION.ElementSlots(), 1);
}

// A find of a name that is no connection makes nothing: no port, no slot,
// no memory, no change of the names.
TEST(Multiports, FindingAnUnknownNameMakesNoPhantomPort) {
  ControlMultiport multiport;
  VQ_PortType* inlet = multiport.CreateConnectionPort("inlet", 0);
  vq_rt::HeapStats before = vq_rt::GetHeapStats();
  for (const char* name : {"outlet", "", static_cast<const char*>(nullptr)}) {
    VQ_PortType* found = inlet;
    EXPECT_TRUE(Recorded([&] { found = multiport.FindConnectionPort(name); }).empty());
    EXPECT_EQ(found, nullptr) << (name ? name : "null");
  }
  EXPECT_EQ(multiport.CONNECTION.ElementSlots(), 1);
  EXPECT_EQ(vq_rt::GetHeapStats().allocations, before.allocations);
  EXPECT_EQ(Names(multiport), "inlet");
  EXPECT_EQ(multiport.PortCount(false), 2);
  EXPECT_EQ(multiport.FindConnectionPort("inlet"), inlet);
}

TEST(Multiports, ANullNameOrARefusedNameMakesNothing) {
  ControlMultiport multiport;
  vq_rt::HeapStats before = vq_rt::GetHeapStats();
  VQ_PortType* port = nullptr;
  EXPECT_TRUE(Recorded([&] { port = multiport.CreateConnectionPort(nullptr, 0); }).empty());
  EXPECT_EQ(port, nullptr);

  // A user's value holds the names: the runtime keeps it and refuses the
  // new name, so no port may be made for it.
  VQ_StrSetValue fixed;
  fixed += "fixed";
  multiport.ConnectionNames().SetUserValue(fixed);
  std::vector<std::string> events = Recorded([&] { port = multiport.CreateConnectionPort("extra", 0); });
  EXPECT_EQ(port, nullptr);
  for (const std::string& e : events) EXPECT_EQ(e.find("AddElement"), std::string::npos) << e;
  EXPECT_EQ(multiport.CONNECTION.ElementSlots(), 0);
  EXPECT_EQ(Names(multiport), "fixed");
  EXPECT_EQ(vq_rt::GetHeapStats().allocations, before.allocations);
  try {
    multiport.Connect("extra", 0);
    FAIL() << "no error";
  } catch (const VQ_Error& error) {
    EXPECT_STREQ(error.what(), "MULTIPORT: no port could be made for the connection \"extra\"");
  }
  EXPECT_NE(multiport.Connect("fixed", 0), nullptr);  // a name the set holds is served
}

TEST(Multiports, APortThatCannotBeMadeLeavesNoConnection) {
  ControlMultiport multiport;
  multiport.Connect("kept", 0);
  vq_rt::RefuseAllocations(1);
  EXPECT_THROW(multiport.CreateConnectionPort("lost", 0), VQ_Error);
  EXPECT_EQ(Names(multiport), "kept");
  EXPECT_EQ(multiport.FindConnectionPort("lost"), nullptr);
  EXPECT_EQ(multiport.PortCount(false), 2);
  EXPECT_NE(multiport.CreateConnectionPort("lost", 0), nullptr);  // served on the next attempt
  EXPECT_EQ(Names(multiport), "kept,lost");
}

// The running index: 0 is the multiport, k + 1 the k-th connection in name
// order; the array is asked with the index the multiport lowered.
TEST(Multiports, GetPortWalksTheMultiportThenItsConnectionsInNameOrder) {
  ControlMultiport multiport;
  std::vector<VQ_PortType*> byName(3);
  byName[2] = multiport.CreateConnectionPort("c", 0);
  byName[0] = multiport.CreateConnectionPort("a", 0);
  byName[1] = multiport.CreateConnectionPort("B", 0);
  EXPECT_EQ(multiport.PortCount(true), 4);

  std::vector<VQ_Type*> expected = {&multiport, byName[0], byName[1], byName[2], nullptr};
  for (int k = 0; k < static_cast<int>(expected.size()); ++k) {
    int index = k;
    VQ_Type* port = nullptr;
    std::vector<std::string> events = Recorded([&] { port = multiport.GetPort(index, true); });
    EXPECT_EQ(port, expected[static_cast<size_t>(k)]) << k;
    if (k == 0) {
      EXPECT_EQ(index, -1);
      EXPECT_TRUE(events.empty());
    } else {
      EXPECT_EQ(events, std::vector<std::string>{"GetPort CONNECTION index=" + std::to_string(k - 1) + " flag=0"});
      EXPECT_EQ(index, k == 4 ? 0 : -1);  // past the last port the index is left at what remains
    }
  }
  int lowest = INT_MIN;
  EXPECT_EQ(multiport.GetPort(lowest, false), &multiport);
  EXPECT_EQ(lowest, INT_MIN);
}

TEST(Multiports, ADisconnectedNameIsNeitherCountedNorFoundAndGetsItsPortBackOnReconnection) {
  ControlMultiport multiport;
  VQ_PortType* a = multiport.Connect("a", 0);
  VQ_PortType* b = multiport.Connect("b", 0);
  EXPECT_EQ(multiport.Connect("b", 0), b);
  EXPECT_TRUE(multiport.Disconnect("A"));
  EXPECT_FALSE(multiport.Disconnect("a"));
  EXPECT_FALSE(multiport.Disconnect(nullptr));
  EXPECT_EQ(Names(multiport), "b");
  EXPECT_EQ(multiport.PortCount(false), 2);
  EXPECT_EQ(multiport.FindConnectionPort("a"), nullptr);
  int index = 1;
  EXPECT_EQ(multiport.GetPort(index, false), b);
  EXPECT_EQ(multiport.Connect("a", 0), a);
  EXPECT_EQ(multiport.PortCount(false), 3);
  EXPECT_THROW(multiport.Connect(nullptr, 0), VQ_Error);
  EXPECT_THROW(multiport.Connect("", 0), VQ_Error);
}

TEST(Multiports, DumpStructureIsTheRuntimePorts) {
  ControlMultiport multiport;
  multiport.Connect("a", 0);
  std::vector<std::string> events = Recorded([&] { multiport.DumpStructure(); });
  EXPECT_EQ(events, (std::vector<std::string>{"PortCount CONNECTION flag=0 -> 1", "DumpStructure MULTIPORT ports=2"}));
}

TEST(Multiports, AssignmentCopiesTheNamesAndKeepsTheArrayOnItsOwnNames) {
  ControlMultiport target;
  target.Connect("old", 0);
  {
    ControlMultiport source;
    source.Connect("x", 0);
    source.Connect("y", 0);
    target = source;
  }  // the source and its names are gone
  EXPECT_EQ(Names(target), "x,y");
  EXPECT_EQ(target.CONNECTION.DeclaredSet(0), &target.ConnectionNames());
  EXPECT_EQ(target.FindConnectionPort("old"), nullptr);
  VQ_StrictLookups strict;  // as in an equation pass: the names are the array's index set
  VQ_PortType* x = target.FindConnectionPort("x");
  VQ_PortType* y = target.FindConnectionPort("y");
  ASSERT_NE(x, nullptr);
  EXPECT_NE(x, y);
  EXPECT_EQ(&target.CONNECTION("y"), y);
  EXPECT_EQ(target.PortCount(false), 3);
  EXPECT_THROW(target.CONNECTION("z"), VQ_Error);  // not a connection yet
  VQ_PortType* z = target.CreateConnectionPort("z", 0);
  EXPECT_EQ(z, &target.CONNECTION("z"));
}

// The nine classes: the same behaviour, nine identities, each with the
// port type of its row.
TEST(Multiports, TheNineClasses) {
  struct Row {
    const char* name;
    const std::type_info& type;
    std::unique_ptr<VQ_MULTIPORT_BaseType> made;
    const char* portSignature;
  };
  std::vector<Row> rows;
#define BRANTEL_ROW(NAME, PORT) \
  rows.push_back({#NAME, typeid(NAME), std::unique_ptr<VQ_MULTIPORT_BaseType>(vq_rt::New<NAME>()), PORT::VQ_ContainerId()});
  BRANTEL_MULTIPORT_CLASSES(BRANTEL_ROW)
#undef BRANTEL_ROW
  for (size_t i = 0; i < rows.size(); ++i) {
    Row& row = rows[i];
    const VQ_MULTIPORT_BaseType& made = *row.made;
    EXPECT_EQ(typeid(made), row.type) << row.name;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(rows[j].type, row.type) << row.name;
    VQ_PortType* port = row.made->CreateConnectionPort("p", 0);
    ASSERT_NE(port, nullptr) << row.name;
    EXPECT_STREQ(port->VQ_DefaultDESCRIPTION(), row.portSignature) << row.name;
    EXPECT_EQ(row.made->FindConnectionPort("p"), port) << row.name;
    EXPECT_EQ(row.made->PortCount(false), 2) << row.name;
  }
  VQ_VQ_MIOCONNECTIONPORT a, b;
  b.Connect("q", 0);
  a = b;
  EXPECT_EQ(Names(a), "q");
}

TEST(Multiports, ReferencesAndMembersReportTheBaseSignatureAndMakeDefaultMultiports) {
  VQ_External<VQ_VQ_MICONTROLPORT> reference;
  VQ_Virtual<VQ_VQ_MICONTROLPORT> member;
  EXPECT_EQ(reference.ExternalTypeName(), VQ_MULTIPORT_BaseType::VQ_ContainerId());
  EXPECT_EQ(member.VirtualBaseType(), reference.ExternalTypeName());
  VQ_Type* made = member.NewDefaultVirtual();
  auto* multiport = dynamic_cast<VQ_VQ_MICONTROLPORT*>(made);
  ASSERT_NE(multiport, nullptr);
  EXPECT_EQ(multiport->PropertyCount(), 1);
  EXPECT_EQ(made->RefCount(), 0u);
  delete made;
  vq_rt::RefuseAllocations(1);
  EXPECT_EQ(member.NewDefaultVirtual(), nullptr);
}

}  // namespace
