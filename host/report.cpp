#include "report.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "grid.h"
#include "vq_evaluator.h"
#include "vq_format.h"
#include "vq_inspect.h"

namespace vqhost {

namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonValue(const XUValue& value) {
  switch (value.Type()) {
    case XUValue::kInteger: return std::to_string(value.AsInteger());
    case XUValue::kReal: {
      std::string text = vq_rt::FormatDouble(value.AsReal());
      return (text == "nan" || text == "inf" || text == "-inf") ? "null" : text;
    }
    case XUValue::kString: return JsonString(value.AsString());
    case XUValue::kLogical: return value.AsLogical() ? "true" : "false";
    case XUValue::kSet:
    case XUValue::kIntSet: {
      std::string out = "[";
      bool first = true;
      for (int run = 0; run < value.RunCount(); ++run)
        for (long long v = value.RunLow(run); v <= value.RunHigh(run); ++v) {
          if (!first) out += ", ";
          first = false;
          out += std::to_string(v);
        }
      return out + "]";
    }
    case XUValue::kStrSet: {
      std::string out = "[";
      for (int i = 0; i < value.SetSize(); ++i) out += (i ? ", " : "") + JsonString(value.StringAt(i));
      return out + "]";
    }
    default: return "null";
  }
}

// The signature with its TAB shown, for the text report.
std::string Readable(const char* signature) {
  std::string out;
  for (const char* p = signature; *p; ++p) out += (*p == '\t') ? std::string("\\t") : std::string(1, *p);
  return out;
}

struct EquationView {
  std::string name;
  int group;
  std::vector<std::string> stream;
  std::vector<std::string> nonzeros;
};

std::vector<EquationView> Equations(VQ_ModelType& root, const vq_rt::Driver& driver) {
  vq_rt::PathNamer namer(root);
  auto name = [&](const VQ_VarParam& reference) { return namer.Path(reference); };
  std::vector<EquationView> views;
  for (VQ_ModelType* model : driver.Models()) {
    const vq_rt::ContainerState* state = model->StateIfAny();
    if (state == nullptr) continue;
    bool paired = state->counted.size() == state->emitted.size();
    for (size_t k = 0; k < state->emitted.size(); ++k) {
      const vq_rt::EmittedEquation& equation = state->emitted[k];
      EquationView view;
      view.name = state->EquationName(equation);
      view.group = equation.group;
      view.stream = vq_rt::RenderTokens(state->stream, equation.firstToken, equation.tokenCount, name);
      if (paired) {
        const vq_rt::CountedEquation& counted = state->counted[k];
        for (uint32_t r = 0; r < counted.referenceCount; ++r)
          view.nonzeros.push_back(namer.Path(*state->countedReferences[counted.firstReference + r]));
      }
      views.push_back(std::move(view));
    }
  }
  return views;
}

}  // namespace

std::string ReportText(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames) {
  std::ostringstream out;
  out << "type: " << Readable(root.VQ_DefaultDESCRIPTION()) << "\n";
  out << "properties (registration order):\n";
  for (int i = 0; i < root.PropertyCount(); ++i) {
    VQ_Containable* property = root.PropertyAt(i);
    out << "  " << property->Name() << "  direction " << property->Direction();
    if (property->Description()) out << "  \"" << property->Description() << "\"";
    out << "\n";
  }
  out << GridText(root);
  out << "values:\n";
  for (const vq_rt::ValueEntry& entry : vq_rt::CollectValues(root))
    out << "  " << entry.path << " = " << vq_rt::FormatValue(entry.value) << "\n";
  std::vector<EquationView> equations = Equations(root, driver);
  std::map<int, int> perGroup;
  for (const EquationView& equation : equations) ++perGroup[equation.group];
  out << "equations: " << equations.size() << "\n";
  for (const auto& [group, count] : perGroup) out << "  group " << group << ": " << count << "\n";
  for (const EquationView& equation : equations) {
    out << equation.name << " [group " << equation.group << "]";
    for (const std::string& token : equation.stream) out << " " << token;
    out << "\n";
  }
  out << "frame calls:\n";
  for (const std::string& frame : frames) out << "  " << frame << "\n";
  return out.str();
}

std::string ReportJson(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames) {
  std::ostringstream out;
  out << "{\n  \"type\": " << JsonString(root.VQ_DefaultDESCRIPTION()) << ",\n  \"properties\": [";
  for (int i = 0; i < root.PropertyCount(); ++i) {
    VQ_Containable* property = root.PropertyAt(i);
    out << (i ? ",\n    " : "\n    ") << "{\"name\": " << JsonString(property->Name()) << ", \"description\": "
        << (property->Description() ? JsonString(property->Description()) : std::string("null"))
        << ", \"direction\": " << property->Direction() << "}";
  }
  out << "\n  ],\n  \"values\": {";
  bool first = true;
  for (const vq_rt::ValueEntry& entry : vq_rt::CollectValues(root)) {
    out << (first ? "\n    " : ",\n    ") << JsonString(entry.path) << ": " << JsonValue(entry.value);
    first = false;
  }
  // Ahead of "equations", so that every line already there stays as it is.
  out << "\n  },\n  \"frames\": [";
  for (size_t i = 0; i < frames.size(); ++i) out << (i ? ",\n    " : "\n    ") << JsonString(frames[i]);
  out << "\n  ],\n  \"equations\": [";
  first = true;
  for (const EquationView& equation : Equations(root, driver)) {
    out << (first ? "\n    " : ",\n    ") << "{\"name\": " << JsonString(equation.name)
        << ", \"group\": " << equation.group << ", \"stream\": [";
    for (size_t i = 0; i < equation.stream.size(); ++i) out << (i ? ", " : "") << JsonString(equation.stream[i]);
    out << "], \"nonzeros\": [";
    for (size_t i = 0; i < equation.nonzeros.size(); ++i)
      out << (i ? ", " : "") << JsonString(equation.nonzeros[i]);
    out << "]}";
    first = false;
  }
  out << "\n  ]\n}\n";
  return out.str();
}

}  // namespace vqhost
