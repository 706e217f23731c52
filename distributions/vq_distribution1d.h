#pragma once
// A variable distributed over the nodes of one domain, with its first and
// second derivatives and its interval integrals along it, defined by the
// equations of the domain's discretisation method.
#include "vq_arrays.h"
#include "vq_domain.h"
#include "vq_references.h"

class VQ_DISTRIBUTION1D : public VQ_GeneratedLevel<VQ_DISTRIBUTION1D, VQ_ModelTypeEx2> {
 public:
  using ValueArray = VQ_ARRAY_I<VQ_REALVARIABLE, VQ_REALVARIABLE>;
  using DerivativeArray = VQ_ARRAY_I<VQ_PARTIALDERIVATIVE, VQ_PARTIALDERIVATIVE>;

  static const char* VQ_ContainerId();
  explicit VQ_DISTRIBUTION1D(bool bConstruct = true);
  ~VQ_DISTRIBUTION1D() override;
  VQ_DISTRIBUTION1D& operator=(const VQ_DISTRIBUTION1D& other);
  VQ_DISTRIBUTION1D& operator*() { return *this; }
  void Construct();

  // The frame's hooks.
  void BindArrays();
  void CheckAssignments(int a, int b);
  void AssignIndexSets(int a, int b, int pass);
  void AssignDefaults(int a, int b);
  const char* ElementsMadeBy(const VQ_Matrix& array);
  int CountOwnEquations(int& count);
  void EmitOwnEquations(int& counter, int*& p, int*& q);

  VQ_External<VQ_DOMAIN> XDOMAIN;
  VQ_Virtual<ValueArray> VALUE;  // VALUE(k): the variable at node k
  VQ_INTEGERSET VQ_VALUE_SET1;
  VQ_STRINGPARAMETER USERNOTES;
  VQ_CONTROLPORT INPUTSIGNAL;
  VQ_CONTROLPORT OUTPUTSIGNAL;
  VQ_INTEGERPARAMETER HIGHESTORDERXDERIVATIVE;
  VQ_INTEGERPARAMETER HIGHESTORDERXDERIVATIVEUSED;
  VQ_STRINGSET INTEGRALS;
  DerivativeArray DDX;
  VQ_INTEGERSET VQ_DDX_SET1;
  DerivativeArray D2DX2;
  VQ_INTEGERSET VQ_D2DX2_SET1;
  ValueArray IDX;  // IDX(k): the integral over the interval from node k-1 to k
  VQ_INTEGERSET VQ_IDX_SET1;
};

BRANTEL_DECLARE_FACTORY(DISTRIBUTION1D)
