// The module's data: compatibility and property-information records, the
// version block and the content resource.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>

#include "support/library_export.h"
#include "vq_module.h"

namespace {

const char* const kTypes[] = {
#define BRANTEL_NAME(TYPE) #TYPE,
    BRANTEL_TOPLEVEL_TYPES(BRANTEL_NAME)
#undef BRANTEL_NAME
};

TEST(ModuleData, EveryCompatibilityRecordReadsSixThenZero) {
  for (const char* type : kTypes) {
    auto* record = static_cast<const int32_t*>(LibraryExport(std::string("_Compatibility") + type));
    ASSERT_NE(record, nullptr) << type;
    EXPECT_EQ(record[0], 6) << type;
    EXPECT_EQ(record[1], 0) << type;
  }
}

TEST(ModuleData, PropertyInformationRecordsAreDistinctZerosAtFixedAddresses) {
  std::set<int32_t*> addresses;
  for (const char* type : kTypes) {
    auto function = reinterpret_cast<int32_t* (*)()>(LibraryExport(std::string(type) + "PropertyInfo"));
    ASSERT_NE(function, nullptr) << type;
    int32_t* record = function();
    EXPECT_EQ(function(), record) << type;
    EXPECT_EQ(*record, 0) << type;
    addresses.insert(record);
  }
  EXPECT_EQ(addresses.size(), std::size(kTypes));
}

TEST(ModuleData, ContentResourceIsTheNinetyNineBytes) {
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<KYVExpDLLRscContent>\r\n  </Model>\r\n</KYVExpDLLRscContent>\r\n";
  ASSERT_EQ(brantel::kContentXml.size(), 99u);
  ASSERT_EQ(expected.size(), 99u);
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(brantel::kContentXml[i], static_cast<unsigned char>(expected[i])) << "byte " << i;
  EXPECT_EQ(brantel::kContentXml[97], '\r');
  EXPECT_EQ(brantel::kContentXml[98], '\n');
  for (unsigned char byte : brantel::kContentXml) EXPECT_NE(byte, 0);
}

TEST(ModuleData, VersionBlock) {
  const brantel::VersionBlock& v = brantel::kVersionBlock;
  // Every field of the fixed part, in the order the resource holds them.
  const struct {
    const char* field;
    uint32_t value, expected;
  } fixed[] = {
      {"signature", v.signature, 0xFEEF04BDu},
      {"structure version", v.structureVersion, 0x00010000u},
      {"file version, high", v.fileVersionMS, 0x001E0000u},
      {"file version, low", v.fileVersionLS, 0x00020023u},
      {"product version, high", v.productVersionMS, 0x001E0000u},
      {"product version, low", v.productVersionLS, 0x00020000u},
      {"flags mask", v.flagsMask, 0x3Fu},
      {"flags", v.flags, 0u},
      {"operating system", v.operatingSystem, 0x00040004u},
      {"file type", v.fileType, 2u},
      {"file subtype", v.fileSubtype, 0u},
      {"file date, high", v.fileDateMS, 0u},
      {"file date, low", v.fileDateLS, 0u},
  };
  static_assert(offsetof(brantel::VersionBlock, language) == sizeof fixed / sizeof fixed[0] * sizeof(uint32_t),
                "a field of the fixed part is not checked");
  for (const auto& f : fixed) EXPECT_EQ(f.value, f.expected) << f.field;
  EXPECT_EQ(v.language, 0x0809);
  EXPECT_EQ(v.codePage, 0x04B0);
  const std::pair<const char*, const char*> strings[] = {
      {"Comments", "Created by Corvane V8.4"}, {"FileDescription", "Brantel300_1"},
      {"FileVersion", "30, 0, 2, 35"},         {"InternalName", "Brantel300_1"},
      {"LegalTrademarks", ""},                 {"OriginalFilename", "Brantel300_1.dll"},
      {"PrivateBuild", ""},                    {"ProductName", "Brantel300_1"},
      {"ProductVersion", "30, 0, 2, 0"},       {"SpecialBuild", ""},
  };
  for (size_t i = 0; i < std::size(strings); ++i) {
    EXPECT_STREQ(v.strings[i].key, strings[i].first);
    EXPECT_STREQ(v.strings[i].value, strings[i].second);
  }
}

}  // namespace
