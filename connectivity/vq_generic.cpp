#include "vq_generic.h"

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
