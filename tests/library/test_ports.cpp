// Port types and the registrations of every connectivity type: which
// properties, in which order, and the port call that follows each.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

#include "vq_instances.h"
#include "support/recording.h"

namespace {

struct Registration {
  const char* name;
  const char* description;  // null: registered without one
  int direction;
  std::string follows;  // the recorded call right after it, "" for none
};

struct TypeRegistrations {
  const char* type;
  std::function<VQ_Container*()> make;
  std::vector<Registration> registrations;
};

template <class T>
std::function<VQ_Container*()> Made() {
  return [] { return vq_rt::New<T>(); };
}

std::vector<TypeRegistrations> AllTypes() {
  const Registration kUserNotes{"USERNOTES", nullptr, 0, ""};
  const Registration kComponents{"COMPONENTLIST", nullptr, 0, ""};
  auto control = [](const char* name, int direction) {
    return Registration{name, nullptr, direction, std::string("UnsetIsToBeExported ") + name};
  };
  auto connection = [](const char* name, int direction) {
    return Registration{name, nullptr, direction, std::string("HostPortType ") + name + " 4"};
  };
  const std::vector<Registration> signal = {kUserNotes, control("SOURCE", 4), control("DEST", 8)};
  const std::vector<Registration> joined = {kUserNotes, connection("SOURCE", 4), connection("DEST", 8)};
  std::vector<TypeRegistrations> types = {
      {"CONTROLPORT", Made<VQ_CONTROLPORT>(), {}},
      {"CONNECTIONPORT", Made<VQ_CONNECTIONPORT>(), {}},
      {"GENERICPORT",
       Made<VQ_GENERICPORT>(),
       {{"ISCONNECTED", nullptr, 0, ""}, {"ISLINKED", nullptr, 0, ""}, kComponents}},
      {"GENERICMODEL",
       Made<VQ_GENERICMODEL>(),
       {kUserNotes, kComponents, control("INPUTSIGNAL", 4), control("OUTPUTSIGNAL", 8)}},
      {"GENERICSTREAM",
       Made<VQ_GENERICSTREAM>(),
       {kUserNotes, kComponents, control("VQ_UNCONNECTABLEINPUT", 4), control("VQ_UNCONNECTABLEOUTPUT", 8),
        control("INPUTSIGNAL", 4), control("OUTPUTSIGNAL", 8)}},
      {"GENERICSTRUCTURE", Made<VQ_GENERICSTRUCTURE>(), {kUserNotes, kComponents}},
      {"GENERICCONTROLSIGNAL", Made<VQ_GENERICCONTROLSIGNAL>(), signal},
      {"CONTROLSIGNAL", Made<VQ_CONTROLSIGNAL>(), signal},
      {"GENERICCONNECTION", Made<VQ_GENERICCONNECTION>(), joined},
      {"CONNECTION", Made<VQ_CONNECTION>(), joined},
  };
  // Every multiport registers its port array in its constructor and binds
  // it to its connection names.
#define BRANTEL_MULTIPORT_ROW(NAME, PORT)                                    \
  types.push_back({#NAME,                                                    \
                   Made<NAME>(),                                             \
                   {{"CONNECTION", "Active Multiport connections", 0, "SetDim CONNECTION CONNECTIONNAMES"}}});
  BRANTEL_MULTIPORT_CLASSES(BRANTEL_MULTIPORT_ROW)
#undef BRANTEL_MULTIPORT_ROW
  return types;
}

TEST(Registrations, EveryTypeRegistersItsPropertiesInOrderEachFollowedByItsPortCall) {
  for (const TypeRegistrations& type : AllTypes()) {
    std::unique_ptr<VQ_Container> instance;
    std::vector<std::string> events = Recorded([&] { instance.reset(type.make()); });
    std::vector<std::string> expected;
    for (const Registration& r : type.registrations) {
      expected.push_back("AddProperty " + std::string(r.name) + " desc=" +
                         (r.description ? "\"" + std::string(r.description) + "\"" : std::string("null")) +
                         " dir=" + std::to_string(r.direction) + " flag=0 form=plain");
      if (!r.follows.empty()) expected.push_back(r.follows);
    }
    EXPECT_EQ(events, expected) << type.type;

    // What the runtime holds, independently of the log.
    ASSERT_EQ(instance->PropertyCount(), static_cast<int>(type.registrations.size())) << type.type;
    for (int i = 0; i < instance->PropertyCount(); ++i) {
      const Registration& r = type.registrations[static_cast<size_t>(i)];
      const VQ_Containable* property = instance->PropertyAt(i);
      EXPECT_STREQ(property->Name(), r.name) << type.type;
      if (r.description) EXPECT_STREQ(property->Description(), r.description) << type.type;
      else EXPECT_EQ(property->Description(), nullptr) << type.type << " " << r.name;
      EXPECT_EQ(property->Direction(), r.direction) << type.type << " " << r.name;
      EXPECT_FALSE(property->RegistrationFlag());
      EXPECT_EQ(property->IsToBeExported(), r.follows.rfind("UnsetIsToBeExported", 0) != 0) << type.type << " " << r.name;
      EXPECT_EQ(property->HostPortType(), r.follows.rfind("HostPortType", 0) == 0 ? 4 : 0) << type.type << " " << r.name;
    }
  }
}

TEST(Registrations, DerivedTypesRegisterOnlyWhenConstructedAndThenOnce) {
  VQ_CONTROLSIGNAL signal(false);
  VQ_CONNECTION connection(false);
  EXPECT_EQ(signal.PropertyCount(), 0);
  EXPECT_EQ(connection.PropertyCount(), 0);
  signal.Construct();
  connection.Construct();
  for (VQ_Container* instance : {static_cast<VQ_Container*>(&signal), static_cast<VQ_Container*>(&connection)}) {
    ASSERT_EQ(instance->PropertyCount(), 3);
    EXPECT_STREQ(instance->PropertyAt(0)->Name(), "USERNOTES");
    EXPECT_STREQ(instance->PropertyAt(2)->Name(), "DEST");
  }
  EXPECT_THROW(signal.Construct(), VQ_Error);  // the runtime refuses a second registration
}

TEST(Ports, GenericPortAnswersWithItsOwnMembers) {
  VQ_GENERICPORT port;
  VQ_VarParamProp* connected = port.IsConnected();
  EXPECT_EQ(connected, &port.ISCONNECTED);
  EXPECT_EQ(port.IsConnected(), connected);
  EXPECT_EQ(port.ComponentList(), &port.COMPONENTLIST);
  EXPECT_FALSE(port.ISCONNECTED.v());
  EXPECT_FALSE(port.ISLINKED.v());
  XUValue yes;
  yes.SetLogical(true);
  port.ISCONNECTED.SetUserValue(yes);
  EXPECT_EQ(port.IsConnected()->Integer(), 1);  // the parameter itself, read as the runtime holds it

  // The other two leave both to the runtime.
  VQ_CONTROLPORT control;
  VQ_CONNECTIONPORT connection;
  EXPECT_EQ(control.ComponentList(), nullptr);
  EXPECT_EQ(control.IsConnected(), nullptr);
  EXPECT_EQ(connection.ComponentList(), nullptr);
  EXPECT_EQ(connection.IsConnected(), nullptr);
}

TEST(Ports, SignaturesAndDerivation) {
  VQ_CONTROLPORT control;
  VQ_CONNECTIONPORT connection;
  VQ_GENERICPORT generic;
  struct Case {
    VQ_Container* port;
    const char* signature;
    bool derives;
  } cases[] = {
      {&control, "Port CONTROLPORT\tV8.4", true},
      {&control, "port controlport\tv8.4", true},
      {&connection, "port controlport\tv8.4", false},
      {&connection, "Port CONNECTIONPORT\tV8.4", true},
      {&generic, "PORT GENERICPORT\tV8.4", true},
      {&generic, "Port GENERICPORT V8.4", false},
      {&generic, "Model GENERICMODEL\tV8.4", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.port->ContainerDerivesFrom(c.signature), c.derives) << c.signature;
  EXPECT_EQ(control.VQ_DefaultDESCRIPTION(), VQ_CONTROLPORT::VQ_ContainerId());
  EXPECT_EQ(connection.VQ_DefaultDESCRIPTION(), VQ_CONNECTIONPORT::VQ_ContainerId());
  EXPECT_STREQ(generic.VQ_DefaultDESCRIPTION(), "Port GENERICPORT\tV8.4");
}

// A plain port is one port: the running index names it at 0 and passes it
// by lowered otherwise.
TEST(Ports, APlainPortIsOnePortInTheWalk) {
  VQ_CONTROLPORT port;
  EXPECT_FALSE(port.IsAMultiport());
  EXPECT_EQ(port.PortCount(false), 1);
  EXPECT_EQ(port.PortCount(true), 1);
  struct Case {
    int index;
    bool found;
    int after;
  } cases[] = {{0, true, -1}, {1, false, 0}, {5, false, 4}, {-3, true, -4}, {INT_MIN, true, INT_MIN}};
  for (const Case& c : cases) {
    int index = c.index;
    VQ_Type* found = port.GetPort(index, false);
    EXPECT_EQ(found, c.found ? &port : nullptr) << c.index;
    EXPECT_EQ(index, c.after) << c.index;
  }
}

TEST(Ports, EveryPortTypeIsAnElementOfItsArray) {
  VQ_ARRAY_S<VQ_GENERICPORT, VQ_GENERICPORT> generic;
  VQ_ARRAY_S<VQ_CONNECTIONPORT, VQ_CONNECTIONPORT> connection;
  EXPECT_EQ(generic("a").PropertyCount(), 3);  // made with its construct flag set
  EXPECT_TRUE(connection("a").ContainerDerivesFrom("Port CONNECTIONPORT\tV8.4"));
  EXPECT_NE(&generic("a"), &generic("b"));
  vq_rt::RefuseAllocations(1);
  EXPECT_EQ(connection.NewElement(), nullptr);
}

}  // namespace
