#pragma once
// A variable distributed over the node grids of three domains, x, y and z,
// with its first and second partial derivatives along each axis and its
// interval integrals along one, two or all three axes, defined by the
// equations of each domain's discretisation method.
#include "vq_arrays.h"
#include "vq_domain.h"
#include "vq_references.h"

class VQ_DISTRIBUTION3D : public VQ_GeneratedLevel<VQ_DISTRIBUTION3D, VQ_ModelTypeEx2> {
 public:
  using ValueArray = VQ_ARRAY_III<VQ_REALVARIABLE, VQ_REALVARIABLE>;
  using DerivativeArray = VQ_ARRAY_III<VQ_PARTIALDERIVATIVE, VQ_PARTIALDERIVATIVE>;

  static const char* VQ_ContainerId();
  explicit VQ_DISTRIBUTION3D(bool bConstruct = true);
  ~VQ_DISTRIBUTION3D() override;
  VQ_DISTRIBUTION3D& operator=(const VQ_DISTRIBUTION3D& other);
  VQ_DISTRIBUTION3D& operator*() { return *this; }
  void Construct();

  // The frame's hooks.
  void BindArrays();
  void CheckAssignments(int a, int b);
  void AssignIndexSets(int a, int b, int pass);
  void AssignDefaults(int a, int b);
  const char* ElementsMadeBy(const VQ_Matrix& array);
  int CountOwnEquations(int& count);
  void EmitOwnEquations(int& counter, int*& p, int*& q);

  // Every array is indexed (x node, y node, z node).
  VQ_External<VQ_DOMAIN> XDOMAIN;
  VQ_External<VQ_DOMAIN> YDOMAIN;
  VQ_External<VQ_DOMAIN> ZDOMAIN;
  VQ_Virtual<ValueArray> VALUE;
  VQ_INTEGERSET VQ_VALUE_SET1;
  VQ_INTEGERSET VQ_VALUE_SET2;
  VQ_INTEGERSET VQ_VALUE_SET3;
  VQ_STRINGPARAMETER USERNOTES;
  VQ_CONTROLPORT INPUTSIGNAL;
  VQ_CONTROLPORT OUTPUTSIGNAL;
  VQ_INTEGERPARAMETER HIGHESTORDERXDERIVATIVE;
  VQ_INTEGERPARAMETER HIGHESTORDERYDERIVATIVE;
  VQ_INTEGERPARAMETER HIGHESTORDERZDERIVATIVE;
  VQ_INTEGERPARAMETER HIGHESTORDERXDERIVATIVEUSED;
  VQ_INTEGERPARAMETER HIGHESTORDERYDERIVATIVEUSED;
  VQ_INTEGERPARAMETER HIGHESTORDERZDERIVATIVEUSED;
  VQ_STRINGSET INTEGRALS;
  DerivativeArray DDX;
  VQ_INTEGERSET VQ_DDX_SET1;
  VQ_INTEGERSET VQ_DDX_SET2;
  VQ_INTEGERSET VQ_DDX_SET3;
  DerivativeArray DDY;
  VQ_INTEGERSET VQ_DDY_SET1;
  VQ_INTEGERSET VQ_DDY_SET2;
  VQ_INTEGERSET VQ_DDY_SET3;
  DerivativeArray DDZ;
  VQ_INTEGERSET VQ_DDZ_SET1;
  VQ_INTEGERSET VQ_DDZ_SET2;
  VQ_INTEGERSET VQ_DDZ_SET3;
  DerivativeArray D2DX2;
  VQ_INTEGERSET VQ_D2DX2_SET1;
  VQ_INTEGERSET VQ_D2DX2_SET2;
  VQ_INTEGERSET VQ_D2DX2_SET3;
  DerivativeArray D2DY2;  // its y dimension is YDOMAIN's INTERIOR
  VQ_INTEGERSET VQ_D2DY2_SET1;
  VQ_INTEGERSET VQ_D2DY2_SET3;
  DerivativeArray D2DZ2;  // its z dimension is ZDOMAIN's INTERIOR
  VQ_INTEGERSET VQ_D2DZ2_SET1;
  VQ_INTEGERSET VQ_D2DZ2_SET2;
  // Each integral covers one interval (or cell) ending at its node, not the
  // running total: IDX(i,j,k) from x node i-1 to i, IDXDY(i,j,k) over the
  // x-y cell ending at (i,j), IDXDYDZ over the box ending at (i,j,k).
  ValueArray IDX;
  VQ_INTEGERSET VQ_IDX_SET1;
  VQ_INTEGERSET VQ_IDX_SET2;
  VQ_INTEGERSET VQ_IDX_SET3;
  ValueArray IDY;
  VQ_INTEGERSET VQ_IDY_SET1;
  VQ_INTEGERSET VQ_IDY_SET2;
  VQ_INTEGERSET VQ_IDY_SET3;
  ValueArray IDZ;
  VQ_INTEGERSET VQ_IDZ_SET1;
  VQ_INTEGERSET VQ_IDZ_SET2;
  VQ_INTEGERSET VQ_IDZ_SET3;
  ValueArray IDXDY;
  VQ_INTEGERSET VQ_IDXDY_SET1;
  VQ_INTEGERSET VQ_IDXDY_SET2;
  VQ_INTEGERSET VQ_IDXDY_SET3;
  ValueArray IDXDZ;
  VQ_INTEGERSET VQ_IDXDZ_SET1;
  VQ_INTEGERSET VQ_IDXDZ_SET2;
  VQ_INTEGERSET VQ_IDXDZ_SET3;
  ValueArray IDYDZ;
  VQ_INTEGERSET VQ_IDYDZ_SET1;
  VQ_INTEGERSET VQ_IDYDZ_SET2;
  VQ_INTEGERSET VQ_IDYDZ_SET3;
  ValueArray IDXDYDZ;
  VQ_INTEGERSET VQ_IDXDYDZ_SET1;
  VQ_INTEGERSET VQ_IDXDYDZ_SET2;
  VQ_INTEGERSET VQ_IDXDYDZ_SET3;
};

BRANTEL_DECLARE_FACTORY(DISTRIBUTION3D)
