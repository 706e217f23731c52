#pragma once
// The frame of a model library built against this one: every class the
// library exports, its instances of the templates, the members the
// templates need to create objects of the model library's own types, and
// the exports of a top-level type.
//
// A model library includes this header and links the module frame
// (Brantel300_1::ModuleFrame in the CMake package), which brings the
// global allocation routed to the runtime's heap and -fcheck-new. Then
// whatever its templates create (array elements, default virtual members)
// lives on the runtime's heap and the runtime frees it there.
//
// In one source file of the module, BRANTEL_EXPORT_TYPE(TYPE) exports the
// top-level type VQ_TYPE as the library exports its own: the factory
// TYPEFactory, the property-information function TYPEPropertyInfo and the
// compatibility record _CompatibilityTYPE.
#include "vq_instances.h"
#include "vq_interp.h"
#include "vq_module_data.h"
#include "vq_templates_impl.h"

#define BRANTEL_EXPORT_TYPE(TYPE)   \
  BRANTEL_DECLARE_MODULE_DATA(TYPE) \
  BRANTEL_DEFINE_MODULE_DATA(TYPE)  \
  BRANTEL_DECLARE_FACTORY(TYPE)     \
  BRANTEL_DEFINE_FACTORY(TYPE)
