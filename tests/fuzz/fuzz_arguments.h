#pragma once
// The fuzz target's command line from its input: one argument a line,
// --library dropped, every value that sizes a model clamped.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "vq_inspect.h"

namespace fuzz_host {

// The largest integer, and the range of a real's magnitude, a value may
// hold: at most some thousand nodes over all domains of the type.
struct Bounds {
  double integer;
  double smallest, largest;
};

// The text in upper case, without blanks.
inline std::string Upper(const std::string& text) {
  std::string upper;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

inline Bounds BoundsFor(const std::string& type) {
  const std::string upper = Upper(type);
  if (upper.find("3D") != std::string::npos) return {4, 0.25, 2.0};
  if (upper.find("2D") != std::string::npos) return {6, 0.125, 2.0};
  return {16, 0.0625, 4.0};
}

// How the property a path ends in sizes a model ("XDOMAIN.LENGTH",
// "SECTION(2).NODECOUNT"): not at all, as a count or as a distance.
enum class Sizing { None, Count, Distance };

inline Sizing SizingOf(const std::string& path) {
  static const char* const kCounts[] = {"NUMSECTIONS", "MINNODECOUNT", "NODECOUNT", "NUMELEMENTS",
                                        "ENDNODE",     "BASE",         "NUMPOLYPOINTS"};
  static const char* const kDistances[] = {"LENGTH", "SPACINGPREFERENCE", "SPACINGUSED", "ELEMENTLENGTH", "LOCATION"};
  size_t dot = path.rfind('.');
  std::string name = path.substr(dot == std::string::npos ? 0 : dot + 1);
  const std::string upper = Upper(name.substr(0, name.find('(')));
  for (const char* count : kCounts)
    if (upper == count) return Sizing::Count;
  for (const char* distance : kDistances)
    if (upper == distance) return Sizing::Distance;
  return Sizing::None;
}

// The value brought within the bounds, read as the host reads it: a text
// the host takes for a number becomes a number within them; any other text
// the host refuses before it sizes anything, so it goes on unchanged.
inline std::string ClampValue(const std::string& text, Sizing sizing, const Bounds& bounds) {
  char buffer[64];
  int count;
  double distance;
  if (sizing == Sizing::Count && vq_rt::ParseInteger(text, count)) {
    double magnitude = std::fabs(static_cast<double>(count));
    if (magnitude > bounds.integer) magnitude = std::fmod(magnitude, bounds.integer + 1);
    std::snprintf(buffer, sizeof buffer, "%s%.0f", count < 0 ? "-" : "", magnitude);
    return buffer;
  }
  if (sizing == Sizing::Distance && vq_rt::ParseReal(text, distance)) {
    double magnitude = std::fabs(distance);
    if (magnitude > bounds.largest) magnitude = bounds.largest;
    if (magnitude > 0 && magnitude < bounds.smallest) magnitude = bounds.smallest;
    std::snprintf(buffer, sizeof buffer, "%.17g", distance < 0 ? -magnitude : magnitude);
    return buffer;
  }
  return text;
}

// A --set assignment with the value of a property that sizes a model
// clamped.
inline std::string ClampAssignment(const std::string& assignment, const Bounds& bounds) {
  size_t eq = assignment.find('=');
  const Sizing sizing = eq == std::string::npos ? Sizing::None : SizingOf(assignment.substr(0, eq));
  if (sizing == Sizing::None) return assignment;
  return assignment.substr(0, eq + 1) + ClampValue(assignment.substr(eq + 1), sizing, bounds);
}

// The arguments, one a line; the type is the first one that is neither an
// option nor an option's value (after "--", whatever it looks like).
inline std::vector<std::string> Arguments(const uint8_t* data, size_t size) {
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

}  // namespace fuzz_host
