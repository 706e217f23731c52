#pragma once
// Signal and connection models: a SOURCE and a DEST port, no equations.
// The derived types add only their signature, so that they can be told
// apart while answering to the generic signature as well.
#include "vq_ports.h"

class VQ_GENERICCONTROLSIGNAL : public VQ_GeneratedLevel<VQ_GENERICCONTROLSIGNAL, VQ_ModelTypeEx2> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICCONTROLSIGNAL(bool bConstruct = true);
  ~VQ_GENERICCONTROLSIGNAL() override;
  VQ_GENERICCONTROLSIGNAL& operator=(const VQ_GENERICCONTROLSIGNAL& other);
  VQ_GENERICCONTROLSIGNAL& operator*() { return *this; }
  void Construct();

  VQ_STRINGPARAMETER USERNOTES;
  VQ_CONTROLPORT SOURCE;
  VQ_CONTROLPORT DEST;
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

class VQ_GENERICCONNECTION : public VQ_GeneratedLevel<VQ_GENERICCONNECTION, VQ_ModelTypeEx2> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICCONNECTION(bool bConstruct = true);
  ~VQ_GENERICCONNECTION() override;
  VQ_GENERICCONNECTION& operator=(const VQ_GENERICCONNECTION& other);
  VQ_GENERICCONNECTION& operator*() { return *this; }
  void Construct();

  VQ_STRINGPARAMETER USERNOTES;
  VQ_CONNECTIONPORT SOURCE;
  VQ_CONNECTIONPORT DEST;
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
