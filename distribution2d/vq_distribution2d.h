#pragma once
// A variable distributed over the node grids of two domains, x and y, with
// its first and second partial derivatives and its interval integrals along
// each axis, defined by the equations of each domain's discretisation method.
#include "vq_arrays.h"
#include "vq_domain.h"
#include "vq_references.h"

class VQ_DISTRIBUTION2D : public VQ_GeneratedLevel<VQ_DISTRIBUTION2D, VQ_ModelTypeEx2> {
 public:
  using ValueArray = VQ_ARRAY_II<VQ_REALVARIABLE, VQ_REALVARIABLE>;
  using DerivativeArray = VQ_ARRAY_II<VQ_PARTIALDERIVATIVE, VQ_PARTIALDERIVATIVE>;

  static const char* VQ_ContainerId();
  explicit VQ_DISTRIBUTION2D(bool bConstruct = true);
  ~VQ_DISTRIBUTION2D() override;
  VQ_DISTRIBUTION2D& operator=(const VQ_DISTRIBUTION2D& other);
  VQ_DISTRIBUTION2D& operator*() { return *this; }
  void Construct();

  // The frame's hooks.
  void BindArrays();
  void CheckAssignments(int a, int b);
  void AssignIndexSets(int a, int b, int pass);
  void AssignDefaults(int a, int b);
  const char* ElementsMadeBy(const VQ_Matrix& array);
  int CountOwnEquations(int& count);
  void EmitOwnEquations(int& counter, int*& p, int*& q);

  // Every array is indexed (x node, y node).
  VQ_External<VQ_DOMAIN> XDOMAIN;
  VQ_External<VQ_DOMAIN> YDOMAIN;
  VQ_Virtual<ValueArray> VALUE;
  VQ_INTEGERSET VQ_VALUE_SET1;
  VQ_INTEGERSET VQ_VALUE_SET2;
  VQ_STRINGPARAMETER USERNOTES;
  VQ_CONTROLPORT INPUTSIGNAL;
  VQ_CONTROLPORT OUTPUTSIGNAL;
  VQ_INTEGERPARAMETER HIGHESTORDERXDERIVATIVE;
  VQ_INTEGERPARAMETER HIGHESTORDERYDERIVATIVE;
  VQ_INTEGERPARAMETER HIGHESTORDERXDERIVATIVEUSED;
  VQ_INTEGERPARAMETER HIGHESTORDERYDERIVATIVEUSED;
  VQ_STRINGSET INTEGRALS;
  DerivativeArray DDX;
  VQ_INTEGERSET VQ_DDX_SET1;
  VQ_INTEGERSET VQ_DDX_SET2;
  DerivativeArray DDY;
  VQ_INTEGERSET VQ_DDY_SET1;
  VQ_INTEGERSET VQ_DDY_SET2;
  DerivativeArray D2DX2;
  VQ_INTEGERSET VQ_D2DX2_SET1;
  VQ_INTEGERSET VQ_D2DX2_SET2;
  DerivativeArray D2DY2;  // its y dimension is YDOMAIN's INTERIOR
  VQ_INTEGERSET VQ_D2DY2_SET1;
  ValueArray IDX;  // IDX(i,j): the integral along x from node i-1 to i
  VQ_INTEGERSET VQ_IDX_SET1;
  VQ_INTEGERSET VQ_IDX_SET2;
  ValueArray IDY;  // IDY(i,j): the integral along y from node j-1 to j
  VQ_INTEGERSET VQ_IDY_SET1;
  VQ_INTEGERSET VQ_IDY_SET2;
  ValueArray IDXDY;  // IDXDY(i,j): the integral over the cell between nodes (i-1,j-1) and (i,j)
  VQ_INTEGERSET VQ_IDXDY_SET1;
  VQ_INTEGERSET VQ_IDXDY_SET2;
};

BRANTEL_DECLARE_FACTORY(DISTRIBUTION2D)
