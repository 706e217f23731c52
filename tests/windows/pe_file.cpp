#include "pe_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pe {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("PE file: " + what); }

constexpr uint32_t kExportDirectory = 0;
constexpr uint32_t kImportDirectory = 1;
constexpr uint32_t kResourceDirectory = 2;
constexpr uint32_t kHighBit = 0x80000000u;

uint32_t Align4(uint32_t offset) { return (offset + 3u) & ~3u; }

// Characters of a UTF-16 text as ASCII ('?' for the rest).
char Narrow(uint16_t unit) { return unit < 0x80 ? static_cast<char>(unit) : '?'; }

}  // namespace

File::File(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot open " + path);
  m_Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (m_Bytes.size() < 0x40 || m_Bytes[0] != 'M' || m_Bytes[1] != 'Z') Fail(path + " has no MZ header");
  const uint32_t header = U32(0x3C);
  if (U32(header) != 0x00004550u) Fail(path + " has no PE signature");
  const uint32_t coff = header + 4;
  m_Machine = U16(coff);
  const uint16_t sectionCount = U16(coff + 2);
  const uint16_t optionalSize = U16(coff + 16);
  m_Characteristics = U16(coff + 18);
  const uint32_t optional = coff + 20;
  m_Magic = U16(optional);
  if (m_Magic != 0x10B) Fail(path + " is no PE32 image");
  const uint32_t directoryCount = U32(optional + 92);
  if (96 + directoryCount * 8 > optionalSize) Fail("data directories beyond the optional header");
  for (uint32_t i = 0; i < directoryCount; ++i)
    m_Directories.emplace_back(U32(optional + 96 + 8 * i), U32(optional + 100 + 8 * i));
  const uint32_t table = optional + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint32_t entry = table + 40u * i;
    U32(entry + 36);  // the whole entry is in the file
    Section section;
    for (uint32_t c = 0; c < 8 && m_Bytes[entry + c] != 0; ++c) section.name += static_cast<char>(m_Bytes[entry + c]);
    section.virtualSize = U32(entry + 8);
    section.virtualAddress = U32(entry + 12);
    section.rawSize = U32(entry + 16);
    section.rawOffset = U32(entry + 20);
    section.characteristics = U32(entry + 36);
    if (static_cast<uint64_t>(section.rawOffset) + section.rawSize > m_Bytes.size())
      Fail("section " + section.name + " reaches past the end of the file");
    m_Sections.push_back(section);
  }
}

uint16_t File::U16(uint32_t offset) const {
  if (static_cast<uint64_t>(offset) + 2 > m_Bytes.size()) Fail("read past the end at " + std::to_string(offset));
  return static_cast<uint16_t>(m_Bytes[offset] | (m_Bytes[offset + 1] << 8));
}

uint32_t File::U32(uint32_t offset) const {
  return static_cast<uint32_t>(U16(offset)) | (static_cast<uint32_t>(U16(offset + 2)) << 16);
}

const Section* File::SectionAt(uint32_t rva) const {
  for (const Section& section : m_Sections)
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.rawSize) return &section;
  return nullptr;
}

uint32_t File::Offset(uint32_t rva, uint32_t size) const {
  const Section* section = SectionAt(rva);
  if (section == nullptr) Fail("address " + std::to_string(rva) + " lies in no section's data");
  const uint32_t within = rva - section->virtualAddress;
  if (size > section->rawSize - within) Fail("data at " + std::to_string(rva) + " runs out of its section");
  return section->rawOffset + within;
}

std::vector<uint8_t> File::Read(uint32_t rva, uint32_t size) const {
  const uint32_t offset = Offset(rva, size);
  return std::vector<uint8_t>(m_Bytes.begin() + offset, m_Bytes.begin() + offset + size);
}

std::string File::CString(uint32_t rva) const {
  std::string text;
  for (uint32_t offset = Offset(rva, 1);; ++offset) {
    if (offset >= m_Bytes.size()) Fail("unterminated name at " + std::to_string(rva));
    if (m_Bytes[offset] == 0) return text;
    text += static_cast<char>(m_Bytes[offset]);
  }
}

Exports File::ReadExports() const {
  Exports exports;
  if (m_Directories.size() <= kExportDirectory || m_Directories[kExportDirectory].first == 0) return exports;
  const uint32_t directory = Offset(m_Directories[kExportDirectory].first, 40);
  exports.module = CString(U32(directory + 12));
  exports.functionCount = U32(directory + 20);
  const uint32_t nameCount = U32(directory + 24);
  const uint32_t functions = U32(directory + 28);
  const uint32_t names = U32(directory + 32);
  const uint32_t ordinals = U32(directory + 36);
  for (uint32_t i = 0; i < nameCount; ++i) {
    const uint16_t index = U16(Offset(ordinals + 2 * i, 2));
    if (index >= exports.functionCount) Fail("export ordinal out of range");
    exports.byName[CString(U32(Offset(names + 4 * i, 4)))] = U32(Offset(functions + 4 * index, 4));
  }
  return exports;
}

std::map<std::string, std::vector<std::string>> File::ReadImports() const {
  std::map<std::string, std::vector<std::string>> imports;
  if (m_Directories.size() <= kImportDirectory || m_Directories[kImportDirectory].first == 0) return imports;
  for (uint32_t descriptor = m_Directories[kImportDirectory].first;; descriptor += 20) {
    const uint32_t at = Offset(descriptor, 20);
    const uint32_t lookup = U32(at) != 0 ? U32(at) : U32(at + 16);
    const uint32_t name = U32(at + 12);
    if (name == 0 && lookup == 0) break;
    std::vector<std::string>& names = imports[CString(name)];
    for (uint32_t thunk = lookup;; thunk += 4) {
      const uint32_t entry = U32(Offset(thunk, 4));
      if (entry == 0) break;
      names.push_back((entry & kHighBit) != 0 ? "#" + std::to_string(entry & 0xFFFF) : CString(entry + 2));
    }
  }
  return imports;
}

std::vector<Resource> File::ReadResources() const {
  std::vector<Resource> resources;
  if (m_Directories.size() <= kResourceDirectory || m_Directories[kResourceDirectory].first == 0) return resources;
  std::vector<std::string> path;
  const uint32_t base = m_Directories[kResourceDirectory].first;
  ReadResourceLevel(base, base, 0, path, resources);
  return resources;
}

std::string File::ResourceName(uint32_t base, uint32_t entryName) const {
  if ((entryName & kHighBit) == 0) return "#" + std::to_string(entryName & 0xFFFF);
  const uint32_t at = base + (entryName & ~kHighBit);
  const uint16_t length = U16(Offset(at, 2));
  std::string name;
  for (uint16_t i = 0; i < length; ++i) name += Narrow(U16(Offset(at + 2 + 2u * i, 2)));
  return name;
}

// Three levels: type, name, language; the third leads to the data.
void File::ReadResourceLevel(uint32_t base, uint32_t directory, int depth, std::vector<std::string>& path,
                             std::vector<Resource>& out) const {
  const uint32_t at = Offset(directory, 16);
  const uint32_t count = static_cast<uint32_t>(U16(at + 12)) + U16(at + 14);
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t entry = Offset(directory + 16 + 8 * i, 8);
    const uint32_t name = U32(entry);
    const uint32_t target = U32(entry + 4);
    const bool isDirectory = (target & kHighBit) != 0;
    if (isDirectory != (depth < 2)) Fail("resource tree of unexpected shape");
    if (isDirectory) {
      path.push_back(ResourceName(base, name));
      ReadResourceLevel(base, base + (target & ~kHighBit), depth + 1, path, out);
      path.pop_back();
      continue;
    }
    const uint32_t data = Offset(base + target, 16);
    Resource resource;
    resource.type = path[0];
    resource.name = path[1];
    resource.language = static_cast<uint16_t>(name & 0xFFFF);
    resource.data = Read(U32(data), U32(data + 4));
    out.push_back(std::move(resource));
  }
}

// ---------------------------------------------------------------------------

namespace {

struct VersionReader {
  const std::vector<uint8_t>& data;

  uint16_t U16(uint32_t offset) const {
    if (static_cast<uint64_t>(offset) + 2 > data.size()) Fail("version block cut short");
    return static_cast<uint16_t>(data[offset] | (data[offset + 1] << 8));
  }

  // A block and, within its length, its value and its children.
  VersionNode Block(uint32_t start, uint32_t& length) const {
    length = U16(start);
    if (length < 6 || static_cast<uint64_t>(start) + length > data.size()) Fail("version block of bad length");
    const uint32_t end = start + length;
    VersionNode node;
    const uint16_t valueLength = U16(start + 2);
    node.type = U16(start + 4);
    uint32_t at = start + 6;
    for (;; at += 2) {
      if (at + 2 > end) Fail("version key runs out of its block");
      const uint16_t unit = U16(at);
      if (unit == 0) break;
      node.key += Narrow(unit);
    }
    at = Align4(at + 2);
    const uint32_t valueBytes = node.type == 1 ? 2u * valueLength : valueLength;
    const uint32_t valueEnd = at + valueBytes < end ? at + valueBytes : end;
    if (at < valueEnd) node.value.assign(data.begin() + at, data.begin() + valueEnd);
    for (at = Align4(at + valueBytes); at < end;) {
      uint32_t childLength = 0;
      node.children.push_back(Block(at, childLength));
      at = Align4(at + childLength);
    }
    return node;
  }
};

}  // namespace

VersionNode ParseVersionInfo(const std::vector<uint8_t>& data) {
  uint32_t length = 0;
  return VersionReader{data}.Block(0, length);
}

std::string VersionNode::Text() const {
  std::string text;
  for (size_t i = 0; i + 1 < value.size(); i += 2) {
    const uint16_t unit = static_cast<uint16_t>(value[i] | (value[i + 1] << 8));
    if (unit == 0) break;
    text += Narrow(unit);
  }
  return text;
}

const VersionNode* VersionNode::Child(const std::string& childKey) const {
  for (const VersionNode& child : children)
    if (child.key == childKey) return &child;
  return nullptr;
}

}  // namespace pe
