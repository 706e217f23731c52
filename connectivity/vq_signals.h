#pragma once
// Signal and connection models: a SOURCE and a DEST port, no equations.
// The derived types add only their signature, so that they can be told
// apart while answering to the generic signature as well.
#include <type_traits>

#include "vq_ports.h"

// What the two generic models share: a note and two ports of type Port,
// each registered by the member rule of its port type.
template <class Self, class Port>
class VQ_TwoPortModel : public VQ_GeneratedLevel<Self, VQ_ModelTypeEx2> {
 public:
  void Construct() {
    this->Register(USERNOTES, "USERNOTES");
    RegisterPort(SOURCE, "SOURCE", kDirectionIn);
    RegisterPort(DEST, "DEST", kDirectionOut);
  }

  VQ_STRINGPARAMETER USERNOTES;
  Port SOURCE;
  Port DEST;

 protected:
  VQ_TwoPortModel() : USERNOTES(true), SOURCE(true), DEST(true) {}
  void AssignMembers(const VQ_TwoPortModel& other) {
    this->AssignBase(other);
    USERNOTES = other.USERNOTES;
    SOURCE = other.SOURCE;
    DEST = other.DEST;
    this->AssignBookkeeping(other);
  }

 private:
  void RegisterPort(Port& port, const char* name, int direction) {
    if constexpr (std::is_same_v<Port, VQ_CONNECTIONPORT>) this->RegisterConnectionPort(port, name, direction);
    else this->RegisterControlPort(port, name, direction);
  }
};

class VQ_GENERICCONTROLSIGNAL : public VQ_TwoPortModel<VQ_GENERICCONTROLSIGNAL, VQ_CONTROLPORT> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICCONTROLSIGNAL(bool bConstruct = true);
  ~VQ_GENERICCONTROLSIGNAL() override;
  VQ_GENERICCONTROLSIGNAL& operator=(const VQ_GENERICCONTROLSIGNAL& other);
  VQ_GENERICCONTROLSIGNAL& operator*() { return *this; }
};

class VQ_CONTROLSIGNAL : public VQ_GeneratedLevel<VQ_CONTROLSIGNAL, VQ_GENERICCONTROLSIGNAL> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_CONTROLSIGNAL(bool bConstruct = true);
  ~VQ_CONTROLSIGNAL() override;
  VQ_CONTROLSIGNAL& operator=(const VQ_CONTROLSIGNAL& other);
  VQ_CONTROLSIGNAL& operator*() { return *this; }
  void Construct();
};

class VQ_GENERICCONNECTION : public VQ_TwoPortModel<VQ_GENERICCONNECTION, VQ_CONNECTIONPORT> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICCONNECTION(bool bConstruct = true);
  ~VQ_GENERICCONNECTION() override;
  VQ_GENERICCONNECTION& operator=(const VQ_GENERICCONNECTION& other);
  VQ_GENERICCONNECTION& operator*() { return *this; }
};

class VQ_CONNECTION : public VQ_GeneratedLevel<VQ_CONNECTION, VQ_GENERICCONNECTION> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_CONNECTION(bool bConstruct = true);
  ~VQ_CONNECTION() override;
  VQ_CONNECTION& operator=(const VQ_CONNECTION& other);
  VQ_CONNECTION& operator*() { return *this; }
  void Construct();
};

BRANTEL_DECLARE_FACTORY(GENERICCONTROLSIGNAL)
BRANTEL_DECLARE_FACTORY(CONTROLSIGNAL)
BRANTEL_DECLARE_FACTORY(GENERICCONNECTION)
BRANTEL_DECLARE_FACTORY(CONNECTION)
