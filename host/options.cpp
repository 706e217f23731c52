#include "options.h"

#include <cctype>
#include <stdexcept>

#include "vq_error.h"

#ifndef BRANTEL_VERSION
#define BRANTEL_VERSION "unknown"
#endif

namespace vqhost {

namespace {
// Type names and formats are taken in any letter case.
std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h" || arg.rfind("--help=", 0) == 0; }

// An option whose value is the next argument when it is not given as
// --OPTION=VALUE.
bool TakesNextArgument(const std::string& arg) { return arg == "--set" || arg == "--format" || arg == "--library"; }

// --help wins over anything else on the line, including arguments that
// would be refused; values of options and what follows "--" are not options.
bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") return false;
    if (IsHelp(arg)) return true;
    if (TakesNextArgument(arg)) ++i;
  }
  return false;
}
}  // namespace

const std::vector<TypeInfo>& TopLevelTypes() {
  static const std::vector<TypeInfo> kTypes = {
      {"ANGLEDOMAIN", "a domain over an angle; everything else is a DOMAIN's"},
      {"CONNECTION", "a connection model between two connection ports (SOURCE, DEST)"},
      {"CONTROLSIGNAL", "a signal model between two control ports (SOURCE, DEST)"},
      {"DISTRIBUTION1D", "a variable over the nodes of one domain, its derivatives and integrals (the default)"},
      {"DISTRIBUTION2D", "a variable over the nodes of two domains, its derivatives and integrals"},
      {"DISTRIBUTION3D", "a variable over the nodes of three domains, its derivatives and integrals"},
      {"DOMAIN", "a node grid over one axis, in sections, for one of the ten methods"},
      {"GENERICCONNECTION", "the generic connection model CONNECTION derives from"},
      {"GENERICCONTROLSIGNAL", "the generic signal model CONTROLSIGNAL derives from"},
      {"GENERICMODEL", "a model with notes, a component list and two signal ports, no equations"},
      {"GENERICSTREAM", "a stream: a generic model with two unconnectable ports"},
      {"GENERICSTRUCTURE", "a structure with notes and a component list"},
      {"LENGTHDOMAIN", "a domain over a length; everything else is a DOMAIN's"},
      {"SECTIONDATAMODEL", "one section of a domain: its geometry and node numbering"},
  };
  return kTypes;
}

std::string TypeNames() {
  std::string names;
  for (const TypeInfo& type : TopLevelTypes()) names += (names.empty() ? "" : ", ") + std::string(type.name);
  return names;
}

const char* Version() { return BRANTEL_VERSION; }

std::string Usage() {
  std::string text =
      "usage: vqhost [TYPE] [--set PATH=VALUE]... [--format text|json] [--library FILE]\n"
      "       vqhost --help | --version\n"
      "  TYPE      a top-level type, any letter case (default DISTRIBUTION1D)\n"
      "  --set     a user value: LENGTH=2.0, SECTION(2).NODECOUNT=6, XDOMAIN.NUMSECTIONS=3,\n"
      "            INTEGRALS=idx (sets take comma-separated elements; INTEGRALS= is empty)\n"
      "  --format  text (default) or json, any letter case\n"
      "  --library the model library to load\n"
      "  --help    this text; --version the library's version\n"
      "  --        ends the options: what follows is the type\n"
      "Options take their value as the next argument or after '=' (--set=PATH=VALUE).\n"
      "Quote paths with parentheses in the shell: --set 'SECTION(2).NODECOUNT=6'.\n"
      "The types of Brantel300_1 (a model library given with --library adds its own, by the names it\n"
      "exports):\n";
  for (const TypeInfo& type : TopLevelTypes()) {
    std::string name = "  " + std::string(type.name);
    name.resize(24, ' ');
    text += name + type.description + "\n";
  }
  return text;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  if (AsksForHelp(argc, argv)) {
    options.help = true;
    return options;
  }
  bool typeGiven = false;
  bool optionsEnded = false;
  auto value = [&](int& i, const std::string& flag) -> std::string {
    if (i + 1 >= argc) throw std::invalid_argument(flag + " needs a value");
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!optionsEnded && arg.rfind("-", 0) == 0) {
      std::string inlineValue;
      bool hasInline = false;
      size_t eq = arg.find('=');
      if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
        inlineValue = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        hasInline = true;
      }
      if (arg == "--" && !hasInline) {
        optionsEnded = true;
      } else if (arg == "--version") {
        options.version = true;
      } else if (arg == "--set") {
        std::string assignment = hasInline ? inlineValue : value(i, arg);
        size_t split = assignment.find('=');
        if (split == std::string::npos || split == 0)
          throw std::invalid_argument("--set takes PATH=VALUE, not \"" + vq_rt::UserText(assignment) + "\"");
        options.sets.emplace_back(assignment.substr(0, split), assignment.substr(split + 1));
      } else if (arg == "--format") {
        std::string format = hasInline ? inlineValue : value(i, arg);
        const std::string name = Upper(format);
        if (name == "TEXT") options.format = Options::Format::Text;
        else if (name == "JSON") options.format = Options::Format::Json;
        else throw std::invalid_argument("unknown format \"" + vq_rt::UserText(format) + "\" (text or json)");
      } else if (arg == "--library") {
        options.library = hasInline ? inlineValue : value(i, arg);
      } else {
        throw std::invalid_argument("unknown option \"" + vq_rt::UserText(arg) + "\"");
      }
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
