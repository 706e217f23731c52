// libFuzzer target over vqhost's whole input: the command line, one argument
// a line (type, --set PATH=VALUE in any number and order, --format), run by
// the host's own main, so parsing, every setting, both passes and the report
// are all reached. Two things are held back here: --library (the fuzzer
// loads no file of its choosing), and grid sizes: every number in the value
// of a property that sizes a grid is clamped by the dimension of the type, so
// that a run stays small and a finding is a fault, not a large grid taking
// its time. Every other value reaches the host as the fuzzer wrote it.
// The headers main.cpp includes come first, so that the renaming below
// touches main.cpp alone.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "options.h"
#include "output.h"
#include "report.h"
#include "session.h"
#include "vq_error.h"

// The host's main, under a name of its own.
#define main VqhostMain
#include "main.cpp"
#undef main

namespace {

// The largest integer, and the range of a real's magnitude, a value may
// hold: at most some thousand nodes over all domains of the type.
struct Bounds {
  double integer;
  double smallest, largest;
};

// The text in upper case, without blanks.
std::string Upper(const std::string& text) {
  std::string upper;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

Bounds BoundsFor(const std::string& type) {
  const std::string upper = Upper(type);
  if (upper.find("3D") != std::string::npos) return {4, 0.25, 2.0};
  if (upper.find("2D") != std::string::npos) return {6, 0.125, 2.0};
  return {16, 0.0625, 4.0};
}

// Whether the property a path ends in sizes a grid: "XDOMAIN.LENGTH",
// "SECTION(2).NODECOUNT".
bool SizesAGrid(const std::string& path) {
  static const char* const kSizing[] = {"LENGTH",     "SPACINGPREFERENCE", "SPACINGUSED",    "ELEMENTLENGTH",
                                        "NUMSECTIONS", "MINNODECOUNT",      "NODECOUNT",      "NUMELEMENTS",
                                        "ENDNODE",     "BASE",              "NUMPOLYPOINTS", "LOCATION"};
  size_t dot = path.rfind('.');
  std::string name = path.substr(dot == std::string::npos ? 0 : dot + 1);
  const std::string upper = Upper(name.substr(0, name.find('(')));
  for (const char* sizing : kSizing)
    if (upper == sizing) return true;
  return false;
}

bool StartsNumber(const std::string& text, size_t at) {
  auto digit = [&](size_t i) { return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); };
  if (digit(at)) return true;
  if (text[at] == '.') return digit(at + 1);
  if (text[at] == '+' || text[at] == '-') return digit(at + 1) || (at + 2 < text.size() && text[at + 1] == '.' && digit(at + 2));
  return false;
}

// Every number in the text brought within the bounds; the rest is kept.
std::string ClampNumbers(const std::string& text, const Bounds& bounds) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    if (!StartsNumber(text, at)) {
      out += text[at++];
      continue;
    }
    const char* begin = text.c_str() + at;
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    std::string number(begin, static_cast<const char*>(end));
    at += number.size();
    if (!std::isfinite(value)) {
      out += number;
      continue;
    }
    const bool integral = number.find_first_of(".eExXpP") == std::string::npos;
    double magnitude = std::fabs(value);
    char buffer[64];
    if (integral) {
      if (magnitude > bounds.integer) magnitude = std::fmod(magnitude, bounds.integer + 1);
      std::snprintf(buffer, sizeof buffer, "%s%.0f", value < 0 ? "-" : "", magnitude);
    } else {
      if (magnitude > bounds.largest) magnitude = bounds.largest;
      if (magnitude > 0 && magnitude < bounds.smallest) magnitude = bounds.smallest;
      std::snprintf(buffer, sizeof buffer, "%.17g", value < 0 ? -magnitude : magnitude);
    }
    out += buffer;
  }
  return out;
}

// A --set assignment with the numbers of a property that sizes a grid
// clamped.
std::string ClampAssignment(const std::string& assignment, const Bounds& bounds) {
  size_t eq = assignment.find('=');
  if (eq == std::string::npos || !SizesAGrid(assignment.substr(0, eq))) return assignment;
  return assignment.substr(0, eq + 1) + ClampNumbers(assignment.substr(eq + 1), bounds);
}

// The arguments, one a line; the type is the first one that is neither an
// option nor an option's value (after "--", whatever it looks like).
std::vector<std::string> Arguments(const uint8_t* data, size_t size) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < size; ++i) {
    char c = static_cast<char>(data[i]);
    if (c == '\n' || c == '\0') lines.emplace_back();
    else lines.back() += c;
  }
  if (lines.back().empty()) lines.pop_back();
  std::string type;
  for (size_t i = 0; i < lines.size() && type.empty(); ++i) {
    const std::string& arg = lines[i];
    if (arg == "--") {
      if (i + 1 < lines.size()) type = lines[i + 1];
      break;
    }
    if (arg == "--set" || arg == "--format" || arg == "--library") ++i;
    else if (!arg.empty() && arg[0] != '-') type = arg;
  }
  const Bounds bounds = BoundsFor(type);
  std::vector<std::string> args;
  bool optionsEnded = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& arg = lines[i];
    if (optionsEnded) {
      args.push_back(arg);
    } else if (arg == "--library") {
      ++i;
    } else if (arg.rfind("--library=", 0) == 0) {
    } else if (arg == "--set" && i + 1 < lines.size()) {
      args.push_back(arg);
      args.push_back(ClampAssignment(lines[++i], bounds));
    } else if (arg.rfind("--set=", 0) == 0) {
      args.push_back("--set=" + ClampAssignment(arg.substr(6), bounds));
    } else {
      optionsEnded = arg == "--";
      args.push_back(arg);
    }
  }
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reports go nowhere, but their writes succeed, as a host's should.
  int null = open("/dev/null", O_WRONLY);
  if (null < 0 || dup2(null, STDOUT_FILENO) < 0) {
    std::perror("fuzz_host: /dev/null");
    std::abort();
  }
  close(null);
  // Loaded once and kept, so its coverage is known from the start.
  if (dlopen(BRANTEL_DEFAULT_LIBRARY, RTLD_NOW | RTLD_LOCAL) == nullptr) {
    std::fprintf(stderr, "fuzz_host: cannot load %s: %s\n", BRANTEL_DEFAULT_LIBRARY, dlerror());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = Arguments(data, size);
  std::string program = "vqhost";
  std::vector<char*> argv{program.data()};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  VqhostMain(static_cast<int>(argv.size() - 1), argv.data());
  return 0;
}
