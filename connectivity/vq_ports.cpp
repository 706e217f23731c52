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
