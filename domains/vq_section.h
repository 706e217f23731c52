#pragma once
// One section of a domain: its geometry and node numbering, written by the
// domain's grid and read by the distributions.
#include "vq_generic.h"

class VQ_SECTIONDATAMODEL : public VQ_GeneratedLevel<VQ_SECTIONDATAMODEL, VQ_GENERICMODEL> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_SECTIONDATAMODEL(bool bConstruct = true);
  ~VQ_SECTIONDATAMODEL() override;
  VQ_SECTIONDATAMODEL& operator=(const VQ_SECTIONDATAMODEL& other);
  VQ_SECTIONDATAMODEL& operator*() { return *this; }
  void Construct();

  VQ_External<VQ_INTEGERPARAMETER> MINNODECOUNT;
  VQ_Virtual<VQ_REALPARAMETER> LOCATION;           // left boundary
  VQ_Virtual<VQ_REALPARAMETER> SPACINGPREFERENCE;
  VQ_Virtual<VQ_REALPARAMETER> SPACINGUSED;
  VQ_REALPARAMETER LENGTH;
  VQ_INTEGERPARAMETER NODECOUNT;  // node intervals: the section owns nodes BASE+1 .. BASE+NODECOUNT
  VQ_INTEGERPARAMETER BASE;       // the node at the left boundary
  VQ_INTEGERPARAMETER NUMELEMENTS;
  VQ_REALPARAMETER ELEMENTLENGTH;  // the step h of the stencils
  VQ_INTEGERSET INTERIOR;
};

BRANTEL_DECLARE_FACTORY(SECTIONDATAMODEL)
