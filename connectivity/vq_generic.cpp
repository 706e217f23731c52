#include "vq_generic.h"

#include <new>

const char* VQ_GENERICMODEL::VQ_ContainerId() {
  static const char kSignature[] = "Model GENERICMODEL\tV8.4";
  return kSignature;
}

VQ_GENERICMODEL::VQ_GENERICMODEL(bool bConstruct) : USERNOTES(true), INPUTSIGNAL(true), OUTPUTSIGNAL(true) {
  if (bConstruct) Construct();
}

VQ_GENERICMODEL::~VQ_GENERICMODEL() = default;

VQ_GENERICMODEL& VQ_GENERICMODEL::operator=(const VQ_GENERICMODEL& other) {
  AssignBase(other);
  USERNOTES = other.USERNOTES;
  COMPONENTLIST = other.COMPONENTLIST;
  INPUTSIGNAL = other.INPUTSIGNAL;
  OUTPUTSIGNAL = other.OUTPUTSIGNAL;
  AssignBookkeeping(other);
  return *this;
}

void VQ_GENERICMODEL::Construct() {
  Register(USERNOTES, "USERNOTES");
  Register(COMPONENTLIST, "COMPONENTLIST");
  RegisterControlPort(INPUTSIGNAL, "INPUTSIGNAL", kDirectionIn);
  RegisterControlPort(OUTPUTSIGNAL, "OUTPUTSIGNAL", kDirectionOut);
}

VQ_COMPONENTLISTNAME* VQ_GENERICMODEL::ComponentList() { return &COMPONENTLIST; }

BRANTEL_DEFINE_FACTORY(GENERICMODEL)

// ---------------------------------------------------------------------------

const char* VQ_GENERICSTREAM::VQ_ContainerId() {
  static const char kSignature[] = "Stream GENERICSTREAM\tV8.4";
  return kSignature;
}

VQ_GENERICSTREAM::VQ_GENERICSTREAM(bool bConstruct)
    : USERNOTES(true),
      VQ_UNCONNECTABLEINPUT(true),
      VQ_UNCONNECTABLEOUTPUT(true),
      INPUTSIGNAL(true),
      OUTPUTSIGNAL(true) {
  if (bConstruct) Construct();
}

VQ_GENERICSTREAM::~VQ_GENERICSTREAM() = default;

VQ_GENERICSTREAM& VQ_GENERICSTREAM::operator=(const VQ_GENERICSTREAM& other) {
  AssignBase(other);
  USERNOTES = other.USERNOTES;
  COMPONENTLIST = other.COMPONENTLIST;
  VQ_UNCONNECTABLEINPUT = other.VQ_UNCONNECTABLEINPUT;
  VQ_UNCONNECTABLEOUTPUT = other.VQ_UNCONNECTABLEOUTPUT;
  INPUTSIGNAL = other.INPUTSIGNAL;
  OUTPUTSIGNAL = other.OUTPUTSIGNAL;
  AssignBookkeeping(other);
  return *this;
}

void VQ_GENERICSTREAM::Construct() {
  Register(USERNOTES, "USERNOTES");
  Register(COMPONENTLIST, "COMPONENTLIST");
  RegisterControlPort(VQ_UNCONNECTABLEINPUT, "VQ_UNCONNECTABLEINPUT", kDirectionIn);
  RegisterControlPort(VQ_UNCONNECTABLEOUTPUT, "VQ_UNCONNECTABLEOUTPUT", kDirectionOut);
  RegisterControlPort(INPUTSIGNAL, "INPUTSIGNAL", kDirectionIn);
  RegisterControlPort(OUTPUTSIGNAL, "OUTPUTSIGNAL", kDirectionOut);
}

VQ_COMPONENTLISTNAME* VQ_GENERICSTREAM::ComponentList() { return &COMPONENTLIST; }

BRANTEL_DEFINE_FACTORY(GENERICSTREAM)

// ---------------------------------------------------------------------------

const char* VQ_GENERICSTRUCTURE::VQ_ContainerId() {
  static const char kSignature[] = "Structure GENERICSTRUCTURE\tV8.4";
  return kSignature;
}

VQ_GENERICSTRUCTURE::VQ_GENERICSTRUCTURE(bool bConstruct) : USERNOTES(true) {
  if (bConstruct) Construct();
}

VQ_GENERICSTRUCTURE::~VQ_GENERICSTRUCTURE() = default;

VQ_GENERICSTRUCTURE& VQ_GENERICSTRUCTURE::operator=(const VQ_GENERICSTRUCTURE& other) {
  AssignBase(other);
  USERNOTES = other.USERNOTES;
  COMPONENTLIST = other.COMPONENTLIST;
  AssignBookkeeping(other);
  return *this;
}

void VQ_GENERICSTRUCTURE::Construct() {
  Register(USERNOTES, "USERNOTES");
  Register(COMPONENTLIST, "COMPONENTLIST");
}

VQ_COMPONENTLISTNAME* VQ_GENERICSTRUCTURE::ComponentList() { return &COMPONENTLIST; }

BRANTEL_DEFINE_FACTORY(GENERICSTRUCTURE)
