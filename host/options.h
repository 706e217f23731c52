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
  bool help = false;
};

// Parses the command line; throws std::invalid_argument naming what is wrong.
Options ParseOptions(int argc, char** argv);

const char* Usage();

}  // namespace vqhost
