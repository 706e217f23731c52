#include "vq_signals.h"

const char* VQ_GENERICCONTROLSIGNAL::VQ_ContainerId() {
  static const char kSignature[] = "Model GENERICCONTROLSIGNAL\tV8.4";
  return kSignature;
}

VQ_GENERICCONTROLSIGNAL::VQ_GENERICCONTROLSIGNAL(bool bConstruct) {
  if (bConstruct) Construct();
}

VQ_GENERICCONTROLSIGNAL::~VQ_GENERICCONTROLSIGNAL() = default;

VQ_GENERICCONTROLSIGNAL& VQ_GENERICCONTROLSIGNAL::operator=(const VQ_GENERICCONTROLSIGNAL& other) {
  AssignMembers(other);
  return *this;
}

BRANTEL_DEFINE_FACTORY(GENERICCONTROLSIGNAL)

// ---------------------------------------------------------------------------

const char* VQ_CONTROLSIGNAL::VQ_ContainerId() {
  static const char kSignature[] = "Model CONTROLSIGNAL\tV8.4";
  return kSignature;
}

VQ_CONTROLSIGNAL::VQ_CONTROLSIGNAL(bool bConstruct) {
  if (bConstruct) Construct();
}

VQ_CONTROLSIGNAL::~VQ_CONTROLSIGNAL() = default;

VQ_CONTROLSIGNAL& VQ_CONTROLSIGNAL::operator=(const VQ_CONTROLSIGNAL& other) {
  AssignBase(other);
  AssignBookkeeping(other);
  return *this;
}

void VQ_CONTROLSIGNAL::Construct() { VQ_GENERICCONTROLSIGNAL::Construct(); }

BRANTEL_DEFINE_FACTORY(CONTROLSIGNAL)

// ---------------------------------------------------------------------------

const char* VQ_GENERICCONNECTION::VQ_ContainerId() {
  static const char kSignature[] = "Model GENERICCONNECTION\tV8.4";
  return kSignature;
}

VQ_GENERICCONNECTION::VQ_GENERICCONNECTION(bool bConstruct) {
  if (bConstruct) Construct();
}

VQ_GENERICCONNECTION::~VQ_GENERICCONNECTION() = default;

VQ_GENERICCONNECTION& VQ_GENERICCONNECTION::operator=(const VQ_GENERICCONNECTION& other) {
  AssignMembers(other);
  return *this;
}

BRANTEL_DEFINE_FACTORY(GENERICCONNECTION)

// ---------------------------------------------------------------------------

const char* VQ_CONNECTION::VQ_ContainerId() {
  static const char kSignature[] = "Model CONNECTION\tV8.4";
  return kSignature;
}

VQ_CONNECTION::VQ_CONNECTION(bool bConstruct) {
  if (bConstruct) Construct();
}

VQ_CONNECTION::~VQ_CONNECTION() = default;

VQ_CONNECTION& VQ_CONNECTION::operator=(const VQ_CONNECTION& other) {
  AssignBase(other);
  AssignBookkeeping(other);
  return *this;
}

void VQ_CONNECTION::Construct() { VQ_GENERICCONNECTION::Construct(); }

BRANTEL_DEFINE_FACTORY(CONNECTION)
