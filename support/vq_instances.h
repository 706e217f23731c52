#pragma once
// The library's instances of the array, reference and member templates.
// They are made once, in the library (vq_instances.cpp), and exported;
// other modules use them from there.
#include "vq_arrays.h"
#include "vq_generic.h"
#include "vq_distribution1d.h"
#include "vq_distribution2d.h"
#include "vq_distribution3d.h"
#include "vq_length_angle.h"
#include "vq_references.h"

// Arrays.
extern template class VQ_ARRAY_I<VQ_REALPARAMETER, VQ_REALPARAMETER>;
extern template class VQ_ARRAY_I<VQ_PARTIALDERIVATIVE, VQ_PARTIALDERIVATIVE>;
extern template class VQ_ARRAY_I<VQ_REALVARIABLE, VQ_REALVARIABLE>;
extern template class VQ_ARRAY_I<VQ_SECTIONDATAMODEL, VQ_SECTIONDATAMODEL>;
extern template class VQ_ARRAY_S<VQ_CONTROLPORT, VQ_CONTROLPORT>;
extern template class VQ_ARRAY_II<VQ_PARTIALDERIVATIVE, VQ_PARTIALDERIVATIVE>;
extern template class VQ_ARRAY_II<VQ_REALVARIABLE, VQ_REALVARIABLE>;
extern template class VQ_ARRAY_III<VQ_PARTIALDERIVATIVE, VQ_PARTIALDERIVATIVE>;
extern template class VQ_ARRAY_III<VQ_REALVARIABLE, VQ_REALVARIABLE>;
extern template class VQ_ARRAY_S<VQ_GENERICPORT, VQ_GENERICPORT>;
extern template class VQ_ARRAY_S<VQ_CONNECTIONPORT, VQ_CONNECTIONPORT>;

// The multiports hold the port arrays: after them.
#include "vq_multiports.h"
#include "vq_signals.h"

// References and replaceable members, one pair per type.
#define BRANTEL_REFERENCE_INSTANCES(X)                            \
  X(VQ_GENERICMODEL)                                              \
  X(VQ_CONTROLPORT)                                               \
  X(VQ_SECTIONDATAMODEL)                                          \
  X(VQ_DOMAIN)                                                    \
  X(VQ_LENGTHDOMAIN)                                              \
  X(VQ_ANGLEDOMAIN)                                               \
  X(VQ_DISTRIBUTION1D)                                            \
  X(VQ_DISTRIBUTION2D)                                            \
  X(VQ_DISTRIBUTION3D)                                            \
  X(VQ_ANGLEPARAMETER)                                            \
  X(VQ_LENGTHPARAMETER)                                           \
  X(VQ_DISCRETIZATIONMETHODPARAM_DOMAIN)                          \
  X(VQ_NUMSECTIONSPARAM_DOMAIN)                                   \
  X(VQ_POLYPOINTSPARAM_DOMAIN)                                    \
  X(VQ_ARRAY_I<VQ_SECTIONDATAMODEL BRANTEL_COMMA VQ_SECTIONDATAMODEL>) \
  X(VQ_ARRAY_I<VQ_REALPARAMETER BRANTEL_COMMA VQ_REALPARAMETER>)  \
  X(VQ_ARRAY_I<VQ_PARTIALDERIVATIVE BRANTEL_COMMA VQ_PARTIALDERIVATIVE>) \
  X(VQ_ARRAY_I<VQ_REALVARIABLE BRANTEL_COMMA VQ_REALVARIABLE>)    \
  X(VQ_ARRAY_S<VQ_CONTROLPORT BRANTEL_COMMA VQ_CONTROLPORT>)      \
  X(VQ_ARRAY_II<VQ_PARTIALDERIVATIVE BRANTEL_COMMA VQ_PARTIALDERIVATIVE>) \
  X(VQ_ARRAY_II<VQ_REALVARIABLE BRANTEL_COMMA VQ_REALVARIABLE>)   \
  X(VQ_ARRAY_III<VQ_PARTIALDERIVATIVE BRANTEL_COMMA VQ_PARTIALDERIVATIVE>) \
  X(VQ_ARRAY_III<VQ_REALVARIABLE BRANTEL_COMMA VQ_REALVARIABLE>)  \
  X(VQ_GENERICSTREAM)                                             \
  X(VQ_GENERICSTRUCTURE)                                          \
  X(VQ_GENERICCONTROLSIGNAL)                                      \
  X(VQ_CONTROLSIGNAL)                                             \
  X(VQ_GENERICCONNECTION)                                         \
  X(VQ_CONNECTION)                                                \
  X(VQ_GENERICPORT)                                               \
  X(VQ_CONNECTIONPORT)                                            \
  X(VQ_VQ_MICONTROLPORT)                                          \
  X(VQ_VQ_MOCONTROLPORT)                                          \
  X(VQ_VQ_MIOCONTROLPORT)                                         \
  X(VQ_VQ_MIGENERICPORT)                                          \
  X(VQ_VQ_MOGENERICPORT)                                          \
  X(VQ_VQ_MIOGENERICPORT)                                         \
  X(VQ_VQ_MICONNECTIONPORT)                                       \
  X(VQ_VQ_MOCONNECTIONPORT)                                       \
  X(VQ_VQ_MIOCONNECTIONPORT)                                      \
  X(VQ_ARRAY_S<VQ_GENERICPORT BRANTEL_COMMA VQ_GENERICPORT>)      \
  X(VQ_ARRAY_S<VQ_CONNECTIONPORT BRANTEL_COMMA VQ_CONNECTIONPORT>)

#define BRANTEL_COMMA ,
#define BRANTEL_EXTERN_REFERENCES(T)   \
  extern template class VQ_External<T>; \
  extern template class VQ_Virtual<T>;
BRANTEL_REFERENCE_INSTANCES(BRANTEL_EXTERN_REFERENCES)
#undef BRANTEL_EXTERN_REFERENCES
