#pragma once
// The module's data: compatibility and property-information records per
// top-level type, and the version block and content resource.
#include <array>
#include <cstdint>

#include "vq_toplevel_types.h"

// A compatibility record is exported as _CompatibilityTYPE, a name C++
// reserves, so it takes that name as its assembler label, with the
// platform's prefix of C names in front (an underscore on 32-bit Windows).
#define BRANTEL_STRINGIFY_(x) #x
#define BRANTEL_STRINGIFY(x) BRANTEL_STRINGIFY_(x)
#define BRANTEL_C_LABEL(name) BRANTEL_STRINGIFY(__USER_LABEL_PREFIX__) name

extern "C" {
#define BRANTEL_DECLARE_MODULE_DATA(TYPE)                                                        \
  extern const int32_t VQ_Compatibility##TYPE[2] __asm__(BRANTEL_C_LABEL("_Compatibility" #TYPE)); \
  __attribute__((visibility("default"))) int32_t* TYPE##PropertyInfo();
BRANTEL_TOPLEVEL_TYPES(BRANTEL_DECLARE_MODULE_DATA)
#undef BRANTEL_DECLARE_MODULE_DATA
}

namespace brantel {

struct VersionString {
  const char* key;
  const char* value;
};

// The version resource (type 16, identifier 1, language 2057).
struct VersionBlock {
  uint32_t signature;
  uint32_t structureVersion;
  uint32_t fileVersionMS, fileVersionLS;
  uint32_t productVersionMS, productVersionLS;
  uint32_t flagsMask;
  uint32_t flags;
  uint32_t operatingSystem;
  uint32_t fileType;
  uint32_t fileSubtype;
  uint32_t fileDateMS, fileDateLS;
  uint16_t language;  // string table "080904b0"
  uint16_t codePage;
  std::array<VersionString, 10> strings;
};

extern const VersionBlock kVersionBlock;

// The content resource (type "CONTENT", name "XML", language 2057): 99
// bytes of text, CR LF line ends, no terminating zero.
constexpr std::size_t kContentSize = 99;
extern const std::array<unsigned char, kContentSize> kContentXml;

}  // namespace brantel
