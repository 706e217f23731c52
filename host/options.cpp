#include "options.h"

#include <cctype>
#include <stdexcept>

#include "vq_error.h"

namespace vqhost {

namespace {
// Type names and formats are taken in any letter case.
std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}
}  // namespace

const char* Usage() {
  return "usage: vqhost [TYPE] [--set PATH=VALUE]... [--format text|json] [--library FILE]\n"
         "  TYPE      a top-level type, any letter case\n"
         "  --set     a user value: LENGTH=2.0, SECTION(2).NODECOUNT=6, XDOMAIN.NUMSECTIONS=3,\n"
         "            INTEGRALS=idx (sets take comma-separated elements; INTEGRALS= is empty)\n"
         "  --format  text (default) or json, any letter case\n"
         "  --library the model library to load\n";
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  bool typeGiven = false;
  auto value = [&](int& i, const std::string& flag) -> std::string {
    if (i + 1 >= argc) throw std::invalid_argument(flag + " needs a value");
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string inlineValue;
    bool hasInline = false;
    if (arg.rfind("--", 0) == 0) {
      size_t eq = arg.find('=');
      if (eq != std::string::npos && arg.rfind("--set", 0) != 0) {
        inlineValue = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        hasInline = true;
      }
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--set") {
      std::string assignment = value(i, arg);
      size_t eq = assignment.find('=');
      if (eq == std::string::npos || eq == 0)
        throw std::invalid_argument("--set takes PATH=VALUE, not \"" + vq_rt::UserText(assignment) + "\"");
      options.sets.emplace_back(assignment.substr(0, eq), assignment.substr(eq + 1));
    } else if (arg.rfind("--set=", 0) == 0) {
      throw std::invalid_argument("--set takes PATH=VALUE as its next argument");
    } else if (arg == "--format") {
      std::string format = hasInline ? inlineValue : value(i, arg);
      const std::string name = Upper(format);
      if (name == "TEXT") options.format = Options::Format::Text;
      else if (name == "JSON") options.format = Options::Format::Json;
      else throw std::invalid_argument("unknown format \"" + vq_rt::UserText(format) + "\" (text or json)");
    } else if (arg == "--library") {
      options.library = hasInline ? inlineValue : value(i, arg);
    } else if (arg.rfind("-", 0) == 0) {
      throw std::invalid_argument("unknown option \"" + vq_rt::UserText(arg) + "\"");
    } else if (!typeGiven) {
      if (arg.empty()) throw std::invalid_argument("the type name is empty");
      options.type = Upper(arg);
      typeGiven = true;
    } else {
      throw std::invalid_argument("more than one type given (\"" + vq_rt::UserText(options.type) + "\", \"" +
                                  vq_rt::UserText(arg) + "\")");
    }
  }
  return options;
}

}  // namespace vqhost
