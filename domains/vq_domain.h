#pragma once
// A spatial domain: a length divided into sections, a discretisation method,
// and the node grid that follows from them.
#include "vq_arrays.h"
#include "vq_assignments.h"
#include "vq_domain_parameters.h"
#include "vq_references.h"
#include "vq_section.h"

namespace brantel {
struct PolyPointRow;
}

class VQ_DOMAIN : public VQ_GeneratedLevel<VQ_DOMAIN, VQ_ModelTypeEx2> {
 public:
  using SectionArray = VQ_ARRAY_I<VQ_SECTIONDATAMODEL, VQ_SECTIONDATAMODEL>;
  using RealArray = VQ_ARRAY_I<VQ_REALPARAMETER, VQ_REALPARAMETER>;

  static const char* VQ_ContainerId();
  explicit VQ_DOMAIN(bool bConstruct = true);
  ~VQ_DOMAIN() override;
  VQ_DOMAIN& operator=(const VQ_DOMAIN& other);
  VQ_DOMAIN& operator*() { return *this; }
  void Construct();

  // The frame's hooks: the grid generator.
  void BindArrays();
  void CheckAssignments(int a, int b);
  void ForgetOtherMethodsDefaults();
  void AssignIndexSets(int a, int b, int pass);
  void AssignDefaults(int a, int b);
  const char* ElementsMadeBy(const VQ_Matrix& array);

  // Sums and unions over the sections. The section iterator's current
  // element is the section asked about.
  double Sigma42968240(VQ_IntegerSetIter& it);  // NODECOUNT of the sections before it
  double Sigma42987192();                       // NODECOUNT of all sections
  double Sigma42988192();                       // the same
  VQ_SetValue UnionFn42975016(VQ_IntegerSetIter& it);  // the inner points of its elements
  VQ_SetValue UnionFn42986752();                       // the union of the section interiors

  VQ_Virtual<SectionArray> SECTION;
  VQ_INTEGERSET VQ_SECTION_SET1;
  VQ_Virtual<VQ_REALPARAMETER> LENGTH;
  VQ_Virtual<VQ_REALPARAMETER> SPACINGPREFERENCE;
  VQ_Virtual<RealArray> VALUE;  // the coordinate of every node
  VQ_INTEGERSET VQ_VALUE_SET1;
  VQ_STRINGPARAMETER USERNOTES;
  VQ_CONTROLPORT INPUTSIGNAL;
  VQ_CONTROLPORT OUTPUTSIGNAL;
  VQ_DISCRETIZATIONMETHODPARAM_DOMAIN DISCRETIZATIONMETHOD;
  VQ_NUMSECTIONSPARAM_DOMAIN NUMSECTIONS;
  VQ_INTEGERPARAMETER MINNODECOUNT;
  VQ_POLYPOINTSPARAM_DOMAIN NUMPOLYPOINTS;
  RealArray POLYPOINT;  // inner-point positions as fractions of an element
  VQ_INTEGERSET VQ_POLYPOINT_SET1;
  VQ_INTEGERPARAMETER HIGHESTORDERDERIVATIVE;
  VQ_INTEGERSET INTERIOR;
  VQ_INTEGERPARAMETER ENDNODE;

 private:
  VQ_SECTIONDATAMODEL& Section(int s) { return (*SECTION)(s); }
  bool UniformLayout();
  void AssignSection(const brantel::AssignmentStatements& put, VQ_IntegerSetIter& it, long long& nodes);
  void AssignCoordinates(const brantel::AssignmentStatements& put);
  void CheckPolyPoints(const brantel::PolyPointRow& row, const char* method);
};

BRANTEL_DECLARE_FACTORY(DOMAIN)
