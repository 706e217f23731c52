#include "grid.h"

#include <sstream>

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

std::string Read(VQ_Container& domain, const std::string& path) {
  auto* param = dynamic_cast<VQ_VarParam*>(&vq_rt::ResolvePath(domain, path));
  if (param == nullptr) return "?";
  XUValue value;
  param->GetValue(value);
  return value.Type() == XUValue::kString ? value.AsString() : vq_rt::FormatValue(value);
}

int ReadInt(VQ_Container& domain, const std::string& path) {
  auto* param = dynamic_cast<VQ_VarParam*>(&vq_rt::ResolvePath(domain, path));
  return param ? param->Integer() : 0;
}

void DomainGrid(VQ_Container& domain, const std::string& label, std::ostringstream& out) {
  const int sections = ReadInt(domain, "NUMSECTIONS");
  const int end = ReadInt(domain, "ENDNODE");
  out << "grid" << (label.empty() ? "" : " of " + label) << ": " << Read(domain, "DISCRETIZATIONMETHOD") << ", "
      << sections << " section(s), end node " << end << ", interior " << Read(domain, "INTERIOR") << "\n";
  static const char* const kColumns[] = {"LOCATION", "LENGTH", "BASE", "NODECOUNT", "NUMELEMENTS", "ELEMENTLENGTH"};
  for (int s = 1; s <= sections; ++s) {
    out << "  section " << s << ":";
    for (const char* column : kColumns)
      out << " " << column << " " << Read(domain, "SECTION(" + std::to_string(s) + ")." + column);
    out << "\n";
  }
  out << "  nodes:";
  for (int n = 0; n <= end; ++n) out << " " << Read(domain, "VALUE(" + std::to_string(n) + ")");
  out << "\n";
}

}  // namespace

std::string GridText(VQ_Container& root) {
  std::ostringstream out;
  if (IsDomain(root)) DomainGrid(root, "", out);
  for (int i = 0; i < root.PropertyCount(); ++i) {
    auto* reference = dynamic_cast<VQ_ExternalBase*>(root.PropertyAt(i));
    auto* linked = reference ? dynamic_cast<VQ_Container*>(reference->LinkedIfAny()) : nullptr;
    if (linked != nullptr && IsDomain(*linked)) DomainGrid(*linked, reference->Name(), out);
  }
  return out.str();
}

}  // namespace vqhost
