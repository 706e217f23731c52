#pragma once
// A small reader of 32-bit PE files (Windows DLLs): headers, sections, the
// export and import directories, the resource tree, and version resources.
// Every read is bounds-checked; a malformed file raises std::runtime_error
// naming what is wrong.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pe {

struct Section {
  std::string name;
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;
  uint32_t rawOffset = 0;
  uint32_t rawSize = 0;
  uint32_t characteristics = 0;
};

// Section characteristics.
constexpr uint32_t kExecutable = 0x20000000;
constexpr uint32_t kWritable = 0x80000000;

struct Exports {
  std::string module;                      // the name the export directory gives the module
  std::map<std::string, uint32_t> byName;  // name -> address (RVA)
  uint32_t functionCount = 0;              // entries of the address table
};

// Resource types and names: "#16" for an identifier, the text for a name.
struct Resource {
  std::string type;
  std::string name;
  uint16_t language = 0;
  std::vector<uint8_t> data;
};

class File {
 public:
  explicit File(const std::string& path);

  uint16_t Machine() const { return m_Machine; }
  uint16_t Characteristics() const { return m_Characteristics; }
  uint16_t OptionalHeaderMagic() const { return m_Magic; }
  const std::vector<Section>& Sections() const { return m_Sections; }
  // The section that holds `rva`, or null.
  const Section* SectionAt(uint32_t rva) const;
  // `size` bytes of the image from `rva` on, all within one section's data.
  std::vector<uint8_t> Read(uint32_t rva, uint32_t size) const;

  Exports ReadExports() const;
  // Imported module -> the names imported from it (by ordinal: "#N").
  std::map<std::string, std::vector<std::string>> ReadImports() const;
  std::vector<Resource> ReadResources() const;

 private:
  uint32_t Offset(uint32_t rva, uint32_t size) const;
  uint16_t U16(uint32_t offset) const;
  uint32_t U32(uint32_t offset) const;
  std::string CString(uint32_t rva) const;
  void ReadResourceLevel(uint32_t base, uint32_t directory, int depth, std::vector<std::string>& path,
                         std::vector<Resource>& out) const;
  std::string ResourceName(uint32_t base, uint32_t entryName) const;

  std::vector<uint8_t> m_Bytes;
  uint16_t m_Machine = 0;
  uint16_t m_Characteristics = 0;
  uint16_t m_Magic = 0;
  std::vector<Section> m_Sections;
  std::vector<std::pair<uint32_t, uint32_t>> m_Directories;  // RVA and size of each data directory
};

// One block of a version resource (VS_VERSIONINFO and the blocks below it).
struct VersionNode {
  std::string key;
  uint16_t type = 0;           // 1: the value is text, 0: binary
  std::vector<uint8_t> value;  // as stored
  std::vector<VersionNode> children;

  // The value as text, up to its terminating zero.
  std::string Text() const;
  const VersionNode* Child(const std::string& childKey) const;
};

VersionNode ParseVersionInfo(const std::vector<uint8_t>& data);

}  // namespace pe
