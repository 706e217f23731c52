#include "report.h"

#include <map>
#include <optional>

#include "escape.h"
#include "grid.h"
#include "tokens.h"
#include "values.h"
#include "vq_format.h"
#include "vq_inspect.h"

namespace vqhost {

namespace {

// A field of the text report, escaped so that it stays on its line.
Output& Text(Output& out, std::string_view text, bool quoted = false) {
  return out.Compose([&](std::string& into) { AppendText(text, quoted, into); });
}

Output& Json(Output& out, std::string_view text) {
  return out.Compose([&](std::string& into) { AppendJson(text, into); });
}

void TextValue(Output& out, const XUValue& value) {
  switch (value.Type()) {
    case XUValue::kString:
      Text(out << '"', value.AsString(), true) << '"';
      return;
    case XUValue::kStrSet:
      out << '{';
      for (int i = 0; i < value.SetSize(); ++i) Text(out << (i ? ", \"" : "\""), value.StringAt(i), true) << '"';
      out << '}';
      return;
    default:
      out << vq_rt::FormatValue(value);
  }
}

void JsonValue(Output& out, const XUValue& value) {
  switch (value.Type()) {
    case XUValue::kInteger: out << value.AsInteger(); return;
    case XUValue::kReal: {
      std::string text = vq_rt::FormatDouble(value.AsReal());
      out << ((text == "nan" || text == "inf" || text == "-inf") ? "null" : text);
      return;
    }
    case XUValue::kString: Json(out, value.AsString()); return;
    case XUValue::kLogical: out << (value.AsLogical() ? "true" : "false"); return;
    case XUValue::kSet:
    case XUValue::kIntSet: {
      out << '[';
      bool first = true;
      for (int run = 0; run < value.RunCount(); ++run)
        for (long long v = value.RunLow(run); v <= value.RunHigh(run); ++v) {
          if (!first) out << ", ";
          first = false;
          out << v;
        }
      out << ']';
      return;
    }
    case XUValue::kStrSet:
      out << '[';
      for (int i = 0; i < value.SetSize(); ++i) Json(out << (i ? ", " : ""), value.StringAt(i));
      out << ']';
      return;
    default: out << "null";
  }
}

// One emitted equation, with what the counting pass registered for it when
// the two passes pair up.
struct Equation {
  const vq_rt::ContainerState& state;
  vq_rt::EmittedEquation emitted;
  std::optional<vq_rt::CountedEquation> counted;
};

template <class Visit>
void ForEachEquation(const vq_rt::Driver& driver, Visit visit) {
  for (VQ_ModelType* model : driver.Models()) {
    const vq_rt::ContainerState* state = model->StateIfAny();
    if (state == nullptr) continue;
    const bool paired = state->counted.size() == state->emitted.size();
    for (size_t k = 0; k < state->emitted.size(); ++k)
      visit(Equation{*state, state->emitted[k], paired ? std::optional(state->counted[k]) : std::nullopt});
  }
}

void WriteTokens(TokenWriter& writer, const Equation& equation) {
  writer.Tokens(equation.state.stream, equation.emitted.firstToken, equation.state.StreamLength(equation.emitted));
}

}  // namespace

void WriteReportText(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames,
                     Output& out) {
  Text(out << "type: ", root.VQ_DefaultDESCRIPTION()) << "\n";
  out << "properties (registration order):\n";
  for (int i = 0; i < root.PropertyCount(); ++i) {
    VQ_Containable* property = root.PropertyAt(i);
    Text(out << "  ", property->Name()) << "  direction " << property->Direction();
    if (property->Description()) Text(out << "  \"", property->Description(), true) << "\"";
    out << "\n";
  }
  WriteGrids(root, out);
  out << "values:\n";
  const vq_rt::PathNamer namer(root);
  ForEachValue(root, namer, [&](const std::string& path, const XUValue& value) {
    Text(out << "  ", path) << " = ";
    TextValue(out, value);
    out << "\n";
  });
  size_t count = 0;
  std::map<int, int> perGroup;
  ForEachEquation(driver, [&](const Equation& equation) {
    ++count;
    ++perGroup[equation.emitted.group];
  });
  out << "equations: " << count << "\n";
  for (const auto& [group, members] : perGroup) out << "  group " << group << ": " << members << "\n";
  TokenWriter writer(out, namer, TokenWriter::Format::Text);
  ForEachEquation(driver, [&](const Equation& equation) {
    Text(out, equation.state.EquationName(equation.emitted)) << " [group " << equation.emitted.group << "]";
    WriteTokens(writer, equation);
    out << "\n";
  });
  out << "frame calls:\n";
  for (const std::string& frame : frames) Text(out << "  ", frame) << "\n";
}

void WriteReportJson(VQ_ModelType& root, const vq_rt::Driver& driver, const std::vector<std::string>& frames,
                     Output& out) {
  Json(out << "{\n  \"type\": ", root.VQ_DefaultDESCRIPTION()) << ",\n  \"properties\": [";
  for (int i = 0; i < root.PropertyCount(); ++i) {
    VQ_Containable* property = root.PropertyAt(i);
    Json(out << (i ? ",\n    " : "\n    ") << "{\"name\": ", property->Name()) << ", \"description\": ";
    if (property->Description()) Json(out, property->Description());
    else out << "null";
    out << ", \"direction\": " << property->Direction() << "}";
  }
  out << "\n  ],\n  \"values\": {";
  const vq_rt::PathNamer namer(root);
  bool first = true;
  ForEachValue(root, namer, [&](const std::string& path, const XUValue& value) {
    Json(out << (first ? "\n    " : ",\n    "), path) << ": ";
    JsonValue(out, value);
    first = false;
  });
  // Ahead of "equations", so that every line already there stays as it is.
  out << "\n  },\n  \"frames\": [";
  for (size_t i = 0; i < frames.size(); ++i) Json(out << (i ? ",\n    " : "\n    "), frames[i]);
  out << "\n  ],\n  \"equations\": [";
  first = true;
  TokenWriter writer(out, namer, TokenWriter::Format::Json);
  ForEachEquation(driver, [&](const Equation& equation) {
    Json(out << (first ? "\n    " : ",\n    ") << "{\"name\": ", equation.state.EquationName(equation.emitted))
        << ", \"group\": " << equation.emitted.group << ", \"stream\": [";
    WriteTokens(writer, equation);
    out << "], \"nonzeros\": [";
    // What the counting pass registered: the run checked it to be the
    // stream's references, one by one.
    if (equation.counted) writer.References();
    out << "]}";
    first = false;
  });
  out << "\n  ]\n}\n";
}

}  // namespace vqhost
