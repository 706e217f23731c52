#include "vq_length_angle.h"

const char* VQ_LENGTHDOMAIN::VQ_ContainerId() {
  static const char kSignature[] = "Model LENGTHDOMAIN\tV8.4";
  return kSignature;
}
VQ_LENGTHDOMAIN::VQ_LENGTHDOMAIN(bool bConstruct) {
  if (bConstruct) Construct();
}
VQ_LENGTHDOMAIN::~VQ_LENGTHDOMAIN() = default;
VQ_LENGTHDOMAIN& VQ_LENGTHDOMAIN::operator=(const VQ_LENGTHDOMAIN& other) {
  AssignBase(other);
  AssignBookkeeping(other);
  return *this;
}
void VQ_LENGTHDOMAIN::Construct() { VQ_DOMAIN::Construct(); }

const char* VQ_ANGLEDOMAIN::VQ_ContainerId() {
  static const char kSignature[] = "Model ANGLEDOMAIN\tV8.4";
  return kSignature;
}
VQ_ANGLEDOMAIN::VQ_ANGLEDOMAIN(bool bConstruct) {
  if (bConstruct) Construct();
}
VQ_ANGLEDOMAIN::~VQ_ANGLEDOMAIN() = default;
VQ_ANGLEDOMAIN& VQ_ANGLEDOMAIN::operator=(const VQ_ANGLEDOMAIN& other) {
  AssignBase(other);
  AssignBookkeeping(other);
  return *this;
}
void VQ_ANGLEDOMAIN::Construct() { VQ_DOMAIN::Construct(); }

BRANTEL_DEFINE_FACTORY(LENGTHDOMAIN)
BRANTEL_DEFINE_FACTORY(ANGLEDOMAIN)
