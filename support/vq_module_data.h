#pragma once
// The data a module exports beside the factory of each top-level type: the
// compatibility record the host reads and the property-information record
// the host is handed. The library declares its own fourteen through these
// macros; a model library of one's own exports its types with
// BRANTEL_EXPORT_TYPE (vq_module_frame.h).
#include <cstdint>

// A compatibility record is exported as _CompatibilityTYPE, a name C++
// reserves, so it takes that name as its assembler label, with the
// platform's prefix of C names in front (an underscore on 32-bit Windows).
#define BRANTEL_STRINGIFY_(x) #x
#define BRANTEL_STRINGIFY(x) BRANTEL_STRINGIFY_(x)
#define BRANTEL_C_LABEL(name) BRANTEL_STRINGIFY(__USER_LABEL_PREFIX__) name

#define BRANTEL_DECLARE_MODULE_DATA(TYPE)                                                          \
  extern "C" {                                                                                     \
  __attribute__((visibility("default"))) extern const int32_t VQ_Compatibility##TYPE[2] __asm__( \
      BRANTEL_C_LABEL("_Compatibility" #TYPE));                                                    \
  __attribute__((visibility("default"))) int32_t* TYPE##PropertyInfo();                            \
  }

// Both records of a type, in the one source file that defines them: the
// compatibility record holds 6 and 0, the property-information record is a
// zero the module never writes.
#define BRANTEL_DEFINE_MODULE_DATA(TYPE)                          \
  extern "C" {                                                    \
  const int32_t VQ_Compatibility##TYPE[2] = {6, 0};               \
  static int32_t g_PropertyInfo##TYPE;                            \
  int32_t* TYPE##PropertyInfo() { return &g_PropertyInfo##TYPE; } \
  }
