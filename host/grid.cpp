#include "grid.h"

#include "escape.h"
#include "vq_format.h"
#include "vq_inspect.h"
#include "vq_links.h"

namespace vqhost {

namespace {

// A domain is known by the properties that hold its grid.
bool IsDomain(VQ_Container& container) {
  for (const char* name : {"SECTION", "NUMSECTIONS", "ENDNODE", "INTERIOR", "VALUE", "DISCRETIZATIONMETHOD"})
    if (container.FindProperty(name) == nullptr) return false;
  return true;
}

// A value as the grid line shows it, a string without its quotes.
void Read(VQ_Container& domain, const std::string& path, Output& out) {
  auto* param = dynamic_cast<VQ_VarParam*>(&vq_rt::ResolvePath(domain, path));
  if (param == nullptr) {
    out << "?";
    return;
  }
  XUValue value;
  param->GetValue(value);
  const std::string text = value.Type() == XUValue::kString ? value.AsString() : vq_rt::FormatValue(value);
  out.Compose([&](std::string& into) { AppendText(text, false, into); });
}

int ReadInt(VQ_Container& domain, const std::string& path) {
  auto* param = dynamic_cast<VQ_VarParam*>(&vq_rt::ResolvePath(domain, path));
  return param ? param->Integer() : 0;
}

void DomainGrid(VQ_Container& domain, const std::string& label, Output& out) {
  const int sections = ReadInt(domain, "NUMSECTIONS");
  const int end = ReadInt(domain, "ENDNODE");
  out << "grid" << (label.empty() ? "" : " of " + label) << ": ";
  Read(domain, "DISCRETIZATIONMETHOD", out);
  out << ", " << sections << " section(s), end node " << end << ", interior ";
  Read(domain, "INTERIOR", out);
  out << "\n";
  static const char* const kColumns[] = {"LOCATION", "LENGTH", "BASE", "NODECOUNT", "NUMELEMENTS", "ELEMENTLENGTH"};
  for (int s = 1; s <= sections; ++s) {
    out << "  section " << s << ":";
    for (const char* column : kColumns) {
      out << " " << column << " ";
      Read(domain, "SECTION(" + std::to_string(s) + ")." + column, out);
    }
    out << "\n";
  }
  out << "  nodes:";
  for (int n = 0; n <= end; ++n) {
    out << " ";
    Read(domain, "VALUE(" + std::to_string(n) + ")", out);
  }
  out << "\n";
}

}  // namespace

void WriteGrids(VQ_Container& root, Output& out) {
  if (IsDomain(root)) DomainGrid(root, "", out);
  for (int i = 0; i < root.PropertyCount(); ++i) {
    auto* reference = dynamic_cast<VQ_ExternalBase*>(root.PropertyAt(i));
    auto* linked = reference ? dynamic_cast<VQ_Container*>(reference->LinkedIfAny()) : nullptr;
    if (linked != nullptr && IsDomain(*linked)) DomainGrid(*linked, reference->Name(), out);
  }
}

}  // namespace vqhost
