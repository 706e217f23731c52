#pragma once
#include <string>
#include <utility>
#include <vector>

namespace vqhost {

struct Options {
  std::string type;  // upper case; empty means the default type
  std::vector<std::pair<std::string, std::string>> sets;  // path, value text
  enum class Format { Text, Json } format = Format::Text;
  std::string library;
  bool help = false;     // wins over everything else
  bool version = false;  // wins over a run
};

// Parses the command line; throws std::invalid_argument naming what is wrong.
Options ParseOptions(int argc, char** argv);

// A top-level type of the library and what it is, in one line.
struct TypeInfo {
  const char* name;
  const char* description;
};
// The fourteen, in alphabetical order.
const std::vector<TypeInfo>& TopLevelTypes();
// Their names, comma-separated.
std::string TypeNames();

std::string Usage();
// The library's version, as the build states it.
const char* Version();

}  // namespace vqhost
