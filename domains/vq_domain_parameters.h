#pragma once
// Parameter types with defaults of their own: the discretisation settings of
// a domain, and real parameters carrying a physical quantity and unit.
#include "kyvexp.h"

// A real parameter of a physical quantity. Traits supplies kQuantity,
// kUnit, kRow and kColumn.
template <class Traits>
class VQ_QuantityParameter : public VQ_REALPARAMETER {
 public:
  int VQ_PQCol() const override;
  int VQ_PQRow() const override;
  VQ_Value* VQ_DefaultPHYSICALQUANTITY() const override;
  VQ_Value* VQ_DefaultBASEUOMNAME() const override;

 protected:
  explicit VQ_QuantityParameter(bool bConstruct);
  ~VQ_QuantityParameter() override;
};

// An integer parameter whose default is also its lower bound. Traits
// supplies kDefault.
template <class Traits>
class VQ_CountParameter : public VQ_INTEGERPARAMETER {
 public:
  VQ_Value* VQ_DefaultVALUE() const override;
  VQ_Value* VQ_DefaultLOWER() const override;

 protected:
  explicit VQ_CountParameter(bool bConstruct);
  ~VQ_CountParameter() override;
};

#define BRANTEL_PARAMETER_TYPE(NAME, BASE, TRAITS)  \
  class NAME : public BASE<TRAITS> {                 \
   public:                                           \
    explicit NAME(bool bConstruct = true);           \
    ~NAME() override;                                \
    NAME& operator=(const NAME& other);              \
    NAME& operator*() { return *this; }              \
  };

struct VQ_AngleTraits {
  static constexpr const char* kQuantity = "Angle";
  static constexpr const char* kUnit = "rad";
  static constexpr int kRow = 32;
  static constexpr int kColumn = 1;
};
struct VQ_LengthTraits {
  static constexpr const char* kQuantity = "Length";
  static constexpr const char* kUnit = "m";
  static constexpr int kRow = 17;
  static constexpr int kColumn = 1;
};
struct VQ_SectionCountTraits {
  static constexpr int kDefault = 1;
};
struct VQ_PolyPointCountTraits {
  static constexpr int kDefault = 0;
};

extern template class VQ_QuantityParameter<VQ_AngleTraits>;
extern template class VQ_QuantityParameter<VQ_LengthTraits>;
extern template class VQ_CountParameter<VQ_SectionCountTraits>;
extern template class VQ_CountParameter<VQ_PolyPointCountTraits>;

// Real parameters measured in radians and in metres.
BRANTEL_PARAMETER_TYPE(VQ_ANGLEPARAMETER, VQ_QuantityParameter, VQ_AngleTraits)
BRANTEL_PARAMETER_TYPE(VQ_LENGTHPARAMETER, VQ_QuantityParameter, VQ_LengthTraits)
// A domain's number of sections (at least 1) and inner points per element
// (at least 0).
BRANTEL_PARAMETER_TYPE(VQ_NUMSECTIONSPARAM_DOMAIN, VQ_CountParameter, VQ_SectionCountTraits)
BRANTEL_PARAMETER_TYPE(VQ_POLYPOINTSPARAM_DOMAIN, VQ_CountParameter, VQ_PolyPointCountTraits)

// A domain's discretisation method: one of the ten names, "BFD1" by default.
class VQ_DISCRETIZATIONMETHODPARAM_DOMAIN : public VQ_STRINGPARAMETER {
 public:
  explicit VQ_DISCRETIZATIONMETHODPARAM_DOMAIN(bool bConstruct = true);
  ~VQ_DISCRETIZATIONMETHODPARAM_DOMAIN() override;
  VQ_DISCRETIZATIONMETHODPARAM_DOMAIN& operator=(const VQ_DISCRETIZATIONMETHODPARAM_DOMAIN& other);
  VQ_DISCRETIZATIONMETHODPARAM_DOMAIN& operator*() { return *this; }
  VQ_Value* VQ_DefaultVALUE() const override;
  VQ_Value* VQ_DefaultVALID() const override;
};
