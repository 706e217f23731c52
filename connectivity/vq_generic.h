#pragma once
// Generic model, stream and structure types.
#include "vq_ports.h"

class VQ_GENERICMODEL : public VQ_GeneratedLevel<VQ_GENERICMODEL, VQ_ModelTypeEx2> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICMODEL(bool bConstruct = true);
  ~VQ_GENERICMODEL() override;
  VQ_GENERICMODEL& operator=(const VQ_GENERICMODEL& other);
  VQ_GENERICMODEL& operator*() { return *this; }
  void Construct();
  VQ_COMPONENTLISTNAME* ComponentList() override;

  VQ_STRINGPARAMETER USERNOTES;
  VQ_COMPONENTLISTNAME COMPONENTLIST;
  VQ_CONTROLPORT INPUTSIGNAL;
  VQ_CONTROLPORT OUTPUTSIGNAL;
};

BRANTEL_DECLARE_FACTORY(GENERICMODEL)
