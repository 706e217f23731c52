#include "vq_module.h"

BRANTEL_TOPLEVEL_TYPES(BRANTEL_DEFINE_MODULE_DATA)

namespace brantel {

const VersionBlock kVersionBlock = {
    0xFEEF04BDu,
    0x00010000u,                      // 1.0
    (30u << 16) | 0u, (2u << 16) | 35u,  // 30.0.2.35
    (30u << 16) | 0u, (2u << 16) | 0u,   // 30.0.2.0
    0x3Fu,
    0u,
    0x00040004u,  // Windows NT, 32-bit Windows
    2u,           // dynamic library
    0u,
    0u, 0u,
    0x0809,
    0x04B0,
    {{
        {"Comments", "Created by Corvane V8.4"},
        {"FileDescription", "Brantel300_1"},
        {"FileVersion", "30, 0, 2, 35"},
        {"InternalName", "Brantel300_1"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Brantel300_1.dll"},
        {"PrivateBuild", ""},
        {"ProductName", "Brantel300_1"},
        {"ProductVersion", "30, 0, 2, 0"},
        {"SpecialBuild", ""},
    }},
};

namespace {
constexpr char kContentText[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<KYVExpDLLRscContent>\r\n"
    "  </Model>\r\n"
    "</KYVExpDLLRscContent>\r\n";
static_assert(sizeof kContentText == kContentSize + 1, "the content resource is 99 bytes");

constexpr std::array<unsigned char, kContentSize> WithoutTerminator(const char (&text)[kContentSize + 1]) {
  std::array<unsigned char, kContentSize> bytes{};
  for (std::size_t i = 0; i < kContentSize; ++i) bytes[i] = static_cast<unsigned char>(text[i]);
  return bytes;
}
}  // namespace

const std::array<unsigned char, kContentSize> kContentXml = WithoutTerminator(kContentText);

}  // namespace brantel
