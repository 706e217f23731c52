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

namespace brantel {
// Hosts look a type's factory up by the type's name in upper case: a name
// with a lower-case letter would build and never be found.
constexpr bool IsExportedTypeName(const char* name) {
  for (; *name != '\0'; ++name)
    if (*name >= 'a' && *name <= 'z') return false;
  return true;
}
}  // namespace brantel

#define BRANTEL_EXPORT_TYPE(TYPE)                                                                 \
  static_assert(brantel::IsExportedTypeName(#TYPE),                                               \
                "BRANTEL_EXPORT_TYPE(" #TYPE "): an exported type's name is upper case (class "     \
                "VQ_NAME, factory NAMEFactory): hosts look types up by the upper-case name");       \
  BRANTEL_DECLARE_MODULE_DATA(TYPE)                                                               \
  BRANTEL_DEFINE_MODULE_DATA(TYPE)                                                                \
  BRANTEL_DECLARE_FACTORY(TYPE)                                                                   \
  BRANTEL_DEFINE_FACTORY(TYPE)
