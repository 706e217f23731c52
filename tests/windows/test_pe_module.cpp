// The Windows DLLs of the cross build as a loader sees them: the library's
// exports, what it imports from the runtime, and its resources, held to the
// module data of the library itself (brantel::kVersionBlock, kContentXml).
#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "support/library_export.h"
#include "vq_module.h"
#include "windows/pe_file.h"

namespace {

const pe::File& Dll(const std::string& name) {
  static std::map<std::string, std::unique_ptr<pe::File>> files;
  std::unique_ptr<pe::File>& file = files[name];
  if (!file) file = std::make_unique<pe::File>(std::string(BRANTEL_WINDOWS_DIR) + "/" + name);
  return *file;
}

const pe::File& Library() { return Dll("Brantel300_1.dll"); }

const char* const kTypes[] = {
#define BRANTEL_NAME(TYPE) #TYPE,
    BRANTEL_TOPLEVEL_TYPES(BRANTEL_NAME)
#undef BRANTEL_NAME
};

// A type whose factory is not built yet has none on either platform: the
// DLL is held to the factories of the Linux library this program links.
bool FactoryBuilt(const std::string& type) { return LibraryExport(type + "Factory") != nullptr; }

std::string Demangled(const std::string& name) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                  &std::free);
  return status == 0 && text ? text.get() : name;
}

uint32_t SectionFlags(const pe::File& file, uint32_t rva) {
  const pe::Section* section = file.SectionAt(rva);
  return section != nullptr ? section->characteristics : 0;
}

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<int32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                              (static_cast<uint32_t>(bytes[at + 3]) << 24));
}

const pe::Resource* FindResource(const std::vector<pe::Resource>& resources, const std::string& type,
                                 const std::string& name) {
  for (const pe::Resource& resource : resources)
    if (resource.type == type && resource.name == name) return &resource;
  return nullptr;
}

TEST(PeModule, EachDllIsA32BitDllThatNamesItselfInItsExports) {
  for (const char* name : {"Brantel300_1.dll", "kyvexp.dll", "Dornvale.dll"}) {
    const pe::File& file = Dll(name);
    EXPECT_EQ(file.Machine(), 0x14C) << name;               // i386
    EXPECT_EQ(file.OptionalHeaderMagic(), 0x10B) << name;  // PE32
    EXPECT_NE(file.Characteristics() & 0x2000, 0) << name;  // a DLL
    EXPECT_EQ(file.ReadExports().module, name);
  }
}

// Per top-level type: the factory and the property-information function in
// code, the compatibility record 6, 0 in read-only data, all under their
// plain names (no underscore decoration added or lost).
TEST(PeModule, PlainEntryPointsAndRecordsOfEveryTopLevelType) {
  const pe::File& file = Library();
  const pe::Exports exports = file.ReadExports();
  ASSERT_TRUE(FactoryBuilt("GENERICMODEL")) << "the Linux library is not loaded";
  for (const std::string type : kTypes) {
    for (const std::string& function : {type + "Factory", type + "PropertyInfo"}) {
      auto found = exports.byName.find(function);
      if (function == type + "Factory" && !FactoryBuilt(type)) {
        EXPECT_EQ(found, exports.byName.end()) << function << " is not built yet";
        continue;
      }
      ASSERT_NE(found, exports.byName.end()) << function;
      EXPECT_NE(SectionFlags(file, found->second) & pe::kExecutable, 0u) << function;
    }
    const std::string record = "_Compatibility" + type;
    auto found = exports.byName.find(record);
    ASSERT_NE(found, exports.byName.end()) << record;
    const uint32_t flags = SectionFlags(file, found->second);
    EXPECT_EQ(flags & (pe::kExecutable | pe::kWritable), 0u) << record;
    const std::vector<uint8_t> bytes = file.Read(found->second, 8);
    EXPECT_EQ(Int32At(bytes, 0), 6) << record;
    EXPECT_EQ(Int32At(bytes, 4), 0) << record;
    for (const std::string& decorated : {"_" + record, "Compatibility" + type, "_" + type + "Factory"})
      EXPECT_EQ(exports.byName.count(decorated), 0u) << decorated;
  }
  EXPECT_EQ(exports.byName.size(), exports.functionCount) << "every export is by name";
}

// The classes are exported for model libraries that derive from them; the
// module's own operator new/delete and the standard library stay inside.
TEST(PeModule, ExportsTheLibraryClassesButNotItsAllocatorNorTheStandardLibrary) {
  const pe::Exports exports = Library().ReadExports();
  std::set<std::string> readable;
  for (const auto& [name, rva] : exports.byName) readable.insert(Demangled(name));

  std::vector<std::string> classes = {"VQ_CONTROLPORT", "VQ_GENERICPORT", "VQ_CONNECTIONPORT",
                                      "VQ_DISCRETIZATIONMETHODPARAM_DOMAIN", "VQProc_INTERPOLATE"};
  for (const std::string type : kTypes)
    if (FactoryBuilt(type)) classes.push_back("VQ_" + type);
  for (const std::string& name : classes) {
    for (const std::string& symbol :
         {"vtable for " + name, "typeinfo for " + name, name + "::operator=(" + name + " const&)"})
      EXPECT_EQ(readable.count(symbol), 1u) << symbol;
  }
  for (const char* symbol : {"VQ_External<VQ_DOMAIN>::operator*()", "brantel::kVersionBlock"})
    EXPECT_EQ(readable.count(symbol), 1u) << symbol;

  // Besides the plain names of the top-level types only C++ symbols.
  for (const auto& [name, rva] : exports.byName) {
    const bool plain = name.rfind("_Compatibility", 0) == 0 || name.ends_with("Factory") ||
                       name.ends_with("PropertyInfo");
    EXPECT_TRUE(plain || name.rfind("_Z", 0) == 0) << name;
  }
  for (const char* allocator : {"_Znwj", "_Znaj", "_ZdlPv", "_ZdaPv", "_ZdlPvj", "_ZdaPvj", "_ZnwjRKSt9nothrow_t",
                                "_ZnajRKSt9nothrow_t"})
    EXPECT_EQ(exports.byName.count(allocator), 0u) << allocator;
  for (const std::string& symbol : readable) {
    EXPECT_NE(symbol.rfind("std::", 0), 0u) << symbol;
    EXPECT_EQ(symbol.find(" for std::"), std::string::npos) << symbol;
  }
}

// The library links against the runtime DLL by name and finds there all it
// imports; the procedure library is loaded at run time, not linked.
TEST(PeModule, ImportsFromTheRuntimeOnlyWhatTheRuntimeExports) {
  const auto imports = Library().ReadImports();
  auto fromRuntime = imports.find("kyvexp.dll");
  ASSERT_NE(fromRuntime, imports.end());
  EXPECT_FALSE(fromRuntime->second.empty());
  EXPECT_EQ(imports.count("Dornvale.dll"), 0u);
  const pe::Exports runtime = Dll("kyvexp.dll").ReadExports();
  std::set<std::string> readable;
  for (const std::string& name : fromRuntime->second) {
    EXPECT_EQ(runtime.byName.count(name), 1u) << name;
    readable.insert(Demangled(name));
  }
  // The module's allocation goes to the runtime's heap.
  for (const char* name : {"MyAllocate(unsigned int)", "MyFree(void*)"}) EXPECT_EQ(readable.count(name), 1u) << name;

  const pe::Exports procedures = Dll("Dornvale.dll").ReadExports();
  EXPECT_EQ(procedures.byName.count("INTERP"), 1u);
}

TEST(PeModule, VersionBlockHoldsEveryFieldOfTheModuleData) {
  const std::vector<pe::Resource> resources = Library().ReadResources();
  const pe::Resource* resource = FindResource(resources, "#16", "#1");
  ASSERT_NE(resource, nullptr);
  EXPECT_EQ(resource->language, 2057);
  const pe::VersionNode root = pe::ParseVersionInfo(resource->data);
  EXPECT_EQ(root.key, "VS_VERSION_INFO");

  const brantel::VersionBlock& v = brantel::kVersionBlock;
  const uint32_t fixed[] = {v.signature,        v.structureVersion, v.fileVersionMS, v.fileVersionLS,
                            v.productVersionMS, v.productVersionLS, v.flagsMask,     v.flags,
                            v.operatingSystem,  v.fileType,         v.fileSubtype,   v.fileDateMS,
                            v.fileDateLS};
  ASSERT_EQ(root.value.size(), sizeof fixed);
  for (size_t i = 0; i < std::size(fixed); ++i)
    EXPECT_EQ(static_cast<uint32_t>(Int32At(root.value, 4 * i)), fixed[i]) << "field " << i;

  char tableKey[9];
  std::snprintf(tableKey, sizeof tableKey, "%04x%04x", v.language, v.codePage);
  const pe::VersionNode* strings = root.Child("StringFileInfo");
  ASSERT_NE(strings, nullptr);
  ASSERT_EQ(strings->children.size(), 1u);
  const pe::VersionNode& table = strings->children[0];
  EXPECT_EQ(table.key, tableKey);
  ASSERT_EQ(table.children.size(), v.strings.size());
  for (size_t i = 0; i < v.strings.size(); ++i) {
    EXPECT_EQ(table.children[i].key, v.strings[i].key);
    EXPECT_EQ(table.children[i].type, 1) << v.strings[i].key;
    EXPECT_EQ(table.children[i].Text(), v.strings[i].value) << v.strings[i].key;
  }

  const pe::VersionNode* variables = root.Child("VarFileInfo");
  ASSERT_NE(variables, nullptr);
  const pe::VersionNode* translation = variables->Child("Translation");
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(translation->value.size(), 4u);
  EXPECT_EQ(translation->value[0] | (translation->value[1] << 8), v.language);
  EXPECT_EQ(translation->value[2] | (translation->value[3] << 8), v.codePage);
}

TEST(PeModule, ContentResourceIsTheNinetyNineBytesAndNothingElseIsThere) {
  const std::vector<pe::Resource> resources = Library().ReadResources();
  const pe::Resource* content = FindResource(resources, "CONTENT", "XML");
  ASSERT_NE(content, nullptr);
  EXPECT_EQ(content->language, 2057);
  ASSERT_EQ(content->data.size(), brantel::kContentSize);
  for (size_t i = 0; i < brantel::kContentSize; ++i)
    EXPECT_EQ(content->data[i], brantel::kContentXml[i]) << "byte " << i;
  EXPECT_EQ(resources.size(), 2u) << "the version block and the content resource";
}

}  // namespace
