#include "vq_domain_parameters.h"

// Each default is built on the first call of its hook and shared by every
// instance of its type. InitializeSystemAttributes runs once the object
// dispatches to its own type's hooks, never in the base's constructor.

template <class Traits>
VQ_QuantityParameter<Traits>::VQ_QuantityParameter(bool bConstruct) : VQ_REALPARAMETER(false) {
  if (bConstruct) VQ_REALPARAMETER::InitializeSystemAttributes();
}
template <class Traits>
VQ_QuantityParameter<Traits>::~VQ_QuantityParameter() = default;
template <class Traits>
int VQ_QuantityParameter<Traits>::VQ_PQCol() const {
  return Traits::kColumn;
}
template <class Traits>
int VQ_QuantityParameter<Traits>::VQ_PQRow() const {
  return Traits::kRow;
}
template <class Traits>
VQ_Value* VQ_QuantityParameter<Traits>::VQ_DefaultPHYSICALQUANTITY() const {
  static VQ_Value Default(Traits::kQuantity, 0u);
  return &Default;
}
template <class Traits>
VQ_Value* VQ_QuantityParameter<Traits>::VQ_DefaultBASEUOMNAME() const {
  static VQ_Value Default(Traits::kUnit, 0u);
  return &Default;
}

template <class Traits>
VQ_CountParameter<Traits>::VQ_CountParameter(bool bConstruct) : VQ_INTEGERPARAMETER(false) {
  if (bConstruct) VQ_INTEGERPARAMETER::InitializeSystemAttributes();
}
template <class Traits>
VQ_CountParameter<Traits>::~VQ_CountParameter() = default;
template <class Traits>
VQ_Value* VQ_CountParameter<Traits>::VQ_DefaultVALUE() const {
  static VQ_Value Default(Traits::kDefault, 0u);
  return &Default;
}
template <class Traits>
VQ_Value* VQ_CountParameter<Traits>::VQ_DefaultLOWER() const {
  static VQ_Value Default(Traits::kDefault, 0u);
  return &Default;
}

template class VQ_QuantityParameter<VQ_AngleTraits>;
template class VQ_QuantityParameter<VQ_LengthTraits>;
template class VQ_CountParameter<VQ_SectionCountTraits>;
template class VQ_CountParameter<VQ_PolyPointCountTraits>;

#define BRANTEL_DEFINE_PARAMETER_TYPE(NAME, BASE, TRAITS)  \
  NAME::NAME(bool bConstruct) : BASE<TRAITS>(bConstruct) {} \
  NAME::~NAME() = default;                                  \
  NAME& NAME::operator=(const NAME& other) {                \
    BASE<TRAITS>::operator=(other);                         \
    return *this;                                           \
  }
BRANTEL_DEFINE_PARAMETER_TYPE(VQ_ANGLEPARAMETER, VQ_QuantityParameter, VQ_AngleTraits)
BRANTEL_DEFINE_PARAMETER_TYPE(VQ_LENGTHPARAMETER, VQ_QuantityParameter, VQ_LengthTraits)
BRANTEL_DEFINE_PARAMETER_TYPE(VQ_NUMSECTIONSPARAM_DOMAIN, VQ_CountParameter, VQ_SectionCountTraits)
BRANTEL_DEFINE_PARAMETER_TYPE(VQ_POLYPOINTSPARAM_DOMAIN, VQ_CountParameter, VQ_PolyPointCountTraits)

VQ_DISCRETIZATIONMETHODPARAM_DOMAIN::VQ_DISCRETIZATIONMETHODPARAM_DOMAIN(bool bConstruct)
    : VQ_STRINGPARAMETER(false) {
  if (bConstruct) VQ_STRINGPARAMETER::InitializeSystemAttributes();
}
VQ_DISCRETIZATIONMETHODPARAM_DOMAIN::~VQ_DISCRETIZATIONMETHODPARAM_DOMAIN() = default;
VQ_DISCRETIZATIONMETHODPARAM_DOMAIN& VQ_DISCRETIZATIONMETHODPARAM_DOMAIN::operator=(
    const VQ_DISCRETIZATIONMETHODPARAM_DOMAIN& other) {
  VQ_STRINGPARAMETER::operator=(other);
  return *this;
}
VQ_Value* VQ_DISCRETIZATIONMETHODPARAM_DOMAIN::VQ_DefaultVALUE() const {
  static VQ_Value Default("BFD1", 0u);
  return &Default;
}
VQ_Value* VQ_DISCRETIZATIONMETHODPARAM_DOMAIN::VQ_DefaultVALID() const {
  // The runtime's string-set notation: every element followed by a quote.
  static VQ_StrSetValue Value("BFD1\"BFD2\"CFD2\"CFD4\"FFD1\"FFD2\"OCFE2\"OCFE3\"OCFE4\"UBFD4\"");
  static VQ_Value Default(Value, 0u);
  return &Default;
}
