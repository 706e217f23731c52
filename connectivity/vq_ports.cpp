#include "vq_ports.h"

const char* VQ_CONTROLPORT::VQ_ContainerId() {
  static const char kSignature[] = "Port CONTROLPORT\tV8.4";
  return kSignature;
}

VQ_CONTROLPORT::VQ_CONTROLPORT(bool bConstruct) {
  if (bConstruct) Construct();
}

VQ_CONTROLPORT::~VQ_CONTROLPORT() = default;

VQ_CONTROLPORT& VQ_CONTROLPORT::operator=(const VQ_CONTROLPORT& other) {
  AssignBase(other);
  AssignBookkeeping(other);
  return *this;
}

void VQ_CONTROLPORT::Construct() {}

// ---------------------------------------------------------------------------

const char* VQ_CONNECTIONPORT::VQ_ContainerId() {
  static const char kSignature[] = "Port CONNECTIONPORT\tV8.4";
  return kSignature;
}

VQ_CONNECTIONPORT::VQ_CONNECTIONPORT(bool bConstruct) {
  if (bConstruct) Construct();
}

VQ_CONNECTIONPORT::~VQ_CONNECTIONPORT() = default;

VQ_CONNECTIONPORT& VQ_CONNECTIONPORT::operator=(const VQ_CONNECTIONPORT& other) {
  AssignBase(other);
  AssignBookkeeping(other);
  return *this;
}

void VQ_CONNECTIONPORT::Construct() {}

// ---------------------------------------------------------------------------

const char* VQ_GENERICPORT::VQ_ContainerId() {
  static const char kSignature[] = "Port GENERICPORT\tV8.4";
  return kSignature;
}

VQ_GENERICPORT::VQ_GENERICPORT(bool bConstruct) : ISCONNECTED(true), ISLINKED(true) {
  if (bConstruct) Construct();
}

VQ_GENERICPORT::~VQ_GENERICPORT() = default;

VQ_GENERICPORT& VQ_GENERICPORT::operator=(const VQ_GENERICPORT& other) {
  AssignBase(other);
  ISCONNECTED = other.ISCONNECTED;
  ISLINKED = other.ISLINKED;
  COMPONENTLIST = other.COMPONENTLIST;
  AssignBookkeeping(other);
  return *this;
}

void VQ_GENERICPORT::Construct() {
  Register(ISCONNECTED, "ISCONNECTED");
  Register(ISLINKED, "ISLINKED");
  Register(COMPONENTLIST, "COMPONENTLIST");
}

VQ_COMPONENTLISTNAME* VQ_GENERICPORT::ComponentList() { return &COMPONENTLIST; }
VQ_VarParamProp* VQ_GENERICPORT::IsConnected() { return &ISCONNECTED; }
