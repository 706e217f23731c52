#pragma once
// Port types.
#include "vq_generated.h"

// The signal port: no properties of its own.
class VQ_CONTROLPORT : public VQ_GeneratedLevel<VQ_CONTROLPORT, VQ_PortTypeEx> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_CONTROLPORT(bool bConstruct = true);
  ~VQ_CONTROLPORT() override;
  VQ_CONTROLPORT& operator=(const VQ_CONTROLPORT& other);
  VQ_CONTROLPORT& operator*() { return *this; }
  void Construct();
};

// The port of the connection models: no properties of its own.
class VQ_CONNECTIONPORT : public VQ_GeneratedLevel<VQ_CONNECTIONPORT, VQ_PortTypeEx> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_CONNECTIONPORT(bool bConstruct = true);
  ~VQ_CONNECTIONPORT() override;
  VQ_CONNECTIONPORT& operator=(const VQ_CONNECTIONPORT& other);
  VQ_CONNECTIONPORT& operator*() { return *this; }
  void Construct();
};

// A port for model libraries: whether it is connected and linked, and a
// component list.
class VQ_GENERICPORT : public VQ_GeneratedLevel<VQ_GENERICPORT, VQ_PortTypeEx> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICPORT(bool bConstruct = true);
  ~VQ_GENERICPORT() override;
  VQ_GENERICPORT& operator=(const VQ_GENERICPORT& other);
  VQ_GENERICPORT& operator*() { return *this; }
  void Construct();
  VQ_COMPONENTLISTNAME* ComponentList() override;
  // The ISCONNECTED parameter itself; its value is the runtime's to keep.
  VQ_VarParamProp* IsConnected() override;

  VQ_FalseLOGICALPARAMETER ISCONNECTED;
  VQ_FalseLOGICALPARAMETER ISLINKED;
  VQ_COMPONENTLISTNAME COMPONENTLIST;
};
