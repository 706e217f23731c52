#pragma once
// The module's data: compatibility and property-information records per
// top-level type, and the version block and content resource.
#include <array>
#include <cstdint>

#include "vq_module_data.h"
#include "vq_toplevel_types.h"

BRANTEL_TOPLEVEL_TYPES(BRANTEL_DECLARE_MODULE_DATA)

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
