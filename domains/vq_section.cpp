#include "vq_section.h"

const char* VQ_SECTIONDATAMODEL::VQ_ContainerId() {
  static const char kSignature[] = "Model SECTIONDATAMODEL\tV8.4";
  return kSignature;
}

VQ_SECTIONDATAMODEL::VQ_SECTIONDATAMODEL(bool bConstruct)
    : LENGTH(true), NODECOUNT(true), BASE(true), NUMELEMENTS(true), ELEMENTLENGTH(true) {
  if (bConstruct) Construct();
}

VQ_SECTIONDATAMODEL::~VQ_SECTIONDATAMODEL() = default;

VQ_SECTIONDATAMODEL& VQ_SECTIONDATAMODEL::operator=(const VQ_SECTIONDATAMODEL& other) {
  AssignBase(other);
  MINNODECOUNT = other.MINNODECOUNT;
  LOCATION = other.LOCATION;
  SPACINGPREFERENCE = other.SPACINGPREFERENCE;
  SPACINGUSED = other.SPACINGUSED;
  LENGTH = other.LENGTH;
  NODECOUNT = other.NODECOUNT;
  BASE = other.BASE;
  NUMELEMENTS = other.NUMELEMENTS;
  ELEMENTLENGTH = other.ELEMENTLENGTH;
  INTERIOR = other.INTERIOR;
  AssignBookkeeping(other);
  return *this;
}

void VQ_SECTIONDATAMODEL::Construct() {
  VQ_GENERICMODEL::Construct();
  Register(MINNODECOUNT, "MINNODECOUNT");
  Register(LOCATION, "LOCATION", "Absolute location of LH boundary of this section");
  Register(SPACINGPREFERENCE, "SPACINGPREFERENCE", "Preferred spacing between nodes in this section");
  Register(SPACINGUSED, "SPACINGUSED", "Actual spacing used between nodes in this section");
  Register(LENGTH, "LENGTH");
  Register(NODECOUNT, "NODECOUNT");
  Register(BASE, "BASE");
  Register(NUMELEMENTS, "NUMELEMENTS");
  Register(ELEMENTLENGTH, "ELEMENTLENGTH");
  Register(INTERIOR, "INTERIOR");
}

BRANTEL_DEFINE_FACTORY(SECTIONDATAMODEL)
