#include "vq_inspect.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "vq_error.h"
#include "vq_format.h"
#include "vq_links.h"
#include "vq_matrix.h"

namespace vq_rt {

namespace {

// The objects directly below `object`: a container's properties, an array's
// elements, a reference's or member's linked instance.
bool HoldsOthers(VQ_Containable& object) {
  return dynamic_cast<VQ_Container*>(&object) || dynamic_cast<VQ_Matrix*>(&object) ||
         dynamic_cast<VQ_VirtualBase*>(&object) || dynamic_cast<VQ_ExternalBase*>(&object);
}

// Without leaves, an array whose elements hold nothing further is not
// walked: its elements are all of one type, so the first one tells.
void Children(VQ_Containable& object, std::vector<VQ_Containable*>& out, bool leaves) {
  if (auto* container = dynamic_cast<VQ_Container*>(&object)) {
    for (int i = 0; i < container->PropertyCount(); ++i) out.push_back(container->PropertyAt(i));
  }
  if (auto* matrix = dynamic_cast<VQ_Matrix*>(&object)) {
    bool walk = leaves;
    for (int i = 0; !walk && i < matrix->ElementSlots(); ++i)
      if (VQ_Type* element = matrix->ElementAtSlot(i)) {
        walk = HoldsOthers(*element);
        break;
      }
    for (int i = 0; walk && i < matrix->ElementSlots(); ++i)
      if (VQ_Type* element = matrix->ElementAtSlot(i)) out.push_back(element);
  }
  if (auto* member = dynamic_cast<VQ_VirtualBase*>(&object)) {
    if (VQ_Type* linked = member->LinkedIfAny()) out.push_back(linked);
  }
  if (auto* reference = dynamic_cast<VQ_ExternalBase*>(&object)) {
    if (VQ_Containable* linked = reference->LinkedIfAny()) out.push_back(linked);
  }
}

void Walk(VQ_Containable& object, std::vector<VQ_Containable*>& order, std::unordered_set<const void*>& seen,
          bool leaves) {
  if (!seen.insert(&object).second) return;
  order.push_back(&object);
  std::vector<VQ_Containable*> children;
  Children(object, children, leaves);
  for (VQ_Containable* child : children) Walk(*child, order, seen, leaves);
}

bool IsInternalIndexSet(const VQ_Containable& object) {
  const char* name = object.Name();
  return dynamic_cast<const VQ_Set*>(&object) != nullptr && std::strncmp(name, "VQ_", 3) == 0 &&
         std::strstr(name, "_SET") != nullptr;
}

std::string Trim(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

}  // namespace

bool ParseInteger(const std::string& text, int& out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(t.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
  out = static_cast<int>(value);
  return true;
}

bool ParseReal(const std::string& text, double& out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(t.c_str(), &end);
  // Only overflow is out of range: a value too small to be normal is still
  // a finite number (1e-308), rounded as the machine rounds it.
  const bool overflow = errno == ERANGE && std::fabs(value) > 1.0;
  if (*end != '\0' || overflow || !std::isfinite(value)) return false;
  out = value;
  return true;
}

namespace {

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  if (Trim(text).empty()) return items;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    items.push_back(Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

// One step of a property path: a name, and the text of its index with the
// closing parenthesis the arrays read it by ("2)", "1,\"a.b\")"), if any.
struct PathStep {
  std::string name, index;
};

// Splits a path into its steps. Every step is NAME or NAME(INDEX), followed
// by a dot or the end: anything after an index (a second index, stray text)
// is refused rather than ignored, naming the path.
std::vector<PathStep> SplitPath(const std::string& path) {
  std::vector<PathStep> steps;
  if (Trim(path).empty()) Raise("an empty property path");
  size_t pos = 0;
  while (true) {
    size_t stop = path.find_first_of(".()", pos);
    PathStep step;
    step.name = Trim(path.substr(pos, stop == std::string::npos ? std::string::npos : stop - pos));
    if (step.name.empty()) Raise("%s: a step without a name at position %zu", UserText(path, false).c_str(), pos + 1);
    pos = stop;
    if (pos != std::string::npos && path[pos] == '(') {
      // The index ends at the first closing parenthesis outside quotes.
      size_t close = pos + 1;
      bool quoted = false;
      while (close < path.size() && (quoted || path[close] != ')')) {
        if (path[close] == '"') quoted = !quoted;
        ++close;
      }
      if (close >= path.size()) Raise("%s: the index at position %zu is not closed", UserText(path, false).c_str(), pos + 1);
      step.index = path.substr(pos + 1, close - pos);
      pos = close + 1;
    }
    steps.push_back(step);
    if (pos == std::string::npos || pos >= path.size()) break;
    if (path[pos] != '.') Raise("%s: unexpected \"%s\" at position %zu", UserText(path, false).c_str(),
                                   UserText(std::string(1, path[pos])).c_str(), pos + 1);
    ++pos;
  }
  return steps;
}

}  // namespace

PathNamer::PathNamer(VQ_Container& root) : m_Root(&root) {
  for (VQ_Containable* object : Reachable(root, false)) {
    auto* reference = dynamic_cast<VQ_ExternalBase*>(object);
    if (reference == nullptr) continue;
    VQ_Containable* linked = reference->LinkedIfAny();
    if (linked == nullptr || linked->GetRole() != VQ_Containable::Role::Free || linked == m_Root) continue;
    bool known = false;
    for (const auto& entry : m_Linked) known = known || entry.first == linked;
    if (!known) m_Linked.emplace_back(linked, Path(*reference));
  }
}

PathNamer::PathNamer(const PathNamer&) = default;
PathNamer::~PathNamer() = default;

std::string PathNamer::Path(const VQ_Containable& object) const {
  std::string path;
  AppendPath(object, path);
  return path;
}

void PathNamer::AppendPath(const VQ_Containable& object, std::string& out) const {
  switch (object.GetRole()) {
    case VQ_Containable::Role::Property:
    case VQ_Containable::Role::Part: {
      const size_t start = out.size();
      AppendPath(*object.Parent(), out);
      if (out.size() != start) out += '.';
      out += object.Name();
      return;
    }
    case VQ_Containable::Role::Element:
      AppendPath(*object.Parent(), out);
      out += object.Name();
      return;
    case VQ_Containable::Role::Linked:
      AppendPath(*object.Parent(), out);
      return;
    case VQ_Containable::Role::Free:
      break;
  }
  if (&object == m_Root) return;
  for (const auto& entry : m_Linked)
    if (entry.first == &object) {
      out += entry.second;
      return;
    }
  out += object.DisplayName();
}

std::vector<VQ_Containable*> Reachable(VQ_Container& root, bool leaves) {
  std::vector<VQ_Containable*> order;
  std::unordered_set<const void*> seen;
  Walk(root, order, seen, leaves);
  return order;
}

VQ_Containable& ResolvePath(VQ_Container& root, const std::string& path) {
  VQ_Containable* current = &root;
  std::string walked = root.DisplayName();
  for (const PathStep& part : SplitPath(path)) {
    const std::string& name = part.name;
    const std::string& index = part.index;
    const std::string step = index.empty() ? name : name + "(" + index;
    // Follow links: a reference or member stands for its linked instance.
    if (auto* reference = dynamic_cast<VQ_ExternalBase*>(current)) {
      if (!reference->LinkedIfAny()) Raise("%s is not linked to an instance", walked.c_str());
      current = reference->LinkedIfAny();
      // Named as its own properties are named in every message.
      walked = current->DisplayName();
    } else if (auto* member = dynamic_cast<VQ_VirtualBase*>(current)) {
      current = &member->Linked();
    }
    auto* container = dynamic_cast<VQ_Container*>(current);
    if (container == nullptr) Raise("%s has no properties (at \"%s\")", walked.c_str(), UserText(step).c_str());
    VQ_Containable* property = container->FindProperty(name.c_str());
    if (property == nullptr) Raise("%s has no property \"%s\"", walked.c_str(), UserText(name).c_str());
    current = property;
    walked += "." + std::string(property->Name());
    if (!index.empty()) {
      if (auto* member = dynamic_cast<VQ_VirtualBase*>(current)) current = &member->Linked();
      auto* matrix = dynamic_cast<VQ_Matrix*>(current);
      if (matrix == nullptr) Raise("%s is not an array (at \"%s\")", walked.c_str(), UserText(step).c_str());
      current = &matrix->ElementByText(index.c_str());
      walked += "(" + UserText(index, false);
    }
  }
  // A replaceable parameter stands for the parameter it holds.
  if (auto* member = dynamic_cast<VQ_VirtualBase*>(current)) {
    VQ_Type& linked = member->Linked();
    if (dynamic_cast<VQ_VarParam*>(&linked) && !dynamic_cast<VQ_Matrix*>(&linked) && !dynamic_cast<VQ_Container*>(&linked))
      return linked;
  }
  return *current;
}

void SetUserValueFromText(VQ_Containable& target, const std::string& /*path*/, const std::string& text) {
  // Named by its path from the instance, whatever spelling the user gave.
  const std::string name = target.DisplayName();
  const char* path = name.c_str();
  // An array, held directly or by a replaceable member, takes values by
  // element only.
  VQ_Containable* held = &target;
  if (auto* member = dynamic_cast<VQ_VirtualBase*>(&target); member != nullptr && member->LinkedIfAny() != nullptr)
    held = member->LinkedIfAny();
  if (auto* array = dynamic_cast<VQ_Matrix*>(held)) {
    static const char* const kIndices[] = {"i", "i", "i,j", "i,j,k", "i,j,k,l"};
    Raise("%s: \"%s\" cannot be given to the whole array; %s takes a value per element, as %s(%s)", path,
          UserText(text).c_str(), target.Name(), target.Name(), kIndices[std::min(array->Dimensions(), 4)]);
  }
  auto* param = dynamic_cast<VQ_VarParam*>(&target);
  if (param == nullptr || dynamic_cast<VQ_Container*>(&target) != nullptr)
    Raise("%s holds no value that can be set", path);
  if (IsInternalIndexSet(target)) Raise("%s is an internal index set; its value is computed", path);
  XUValue value;
  switch (param->ValueType()) {
    case XUValue::kInteger: {
      int parsed = 0;
      if (!ParseInteger(text, parsed)) Raise("%s: \"%s\" is not an integer", path, UserText(text).c_str());
      value.SetInteger(parsed);
      break;
    }
    case XUValue::kReal: {
      double parsed = 0.0;
      if (!ParseReal(text, parsed)) Raise("%s: \"%s\" is not a finite real number", path, UserText(text).c_str());
      value.SetReal(parsed);
      break;
    }
    case XUValue::kString:
      value.SetString(text.c_str());
      break;
    case XUValue::kLogical: {
      std::string t = Trim(text);
      if (XUValue::CompareCI(t.c_str(), "true") == 0 || t == "1") value.SetLogical(true);
      else if (XUValue::CompareCI(t.c_str(), "false") == 0 || t == "0") value.SetLogical(false);
      else Raise("%s: \"%s\" is not true or false", path, UserText(text).c_str());
      break;
    }
    case XUValue::kIntSet: {
      VQ_IntSetValue set;
      // Elements and ranges, as reports write sets: 1..7, 9.
      for (const std::string& item : SplitList(text)) {
        const size_t dots = item.find("..");
        int lo = 0, hi = 0;
        if (dots == std::string::npos) {
          if (!ParseInteger(item, lo)) Raise("%s: \"%s\" is not an integer", path, UserText(item).c_str());
          set += lo;
        } else if (!ParseInteger(item.substr(0, dots), lo) || !ParseInteger(item.substr(dots + 2), hi) || lo > hi) {
          Raise("%s: \"%s\" is not a range of integers, low..high", path, UserText(item).c_str());
        } else {
          set += VQ_IntSetValue(lo, hi);
        }
      }
      value = set;
      break;
    }
    case XUValue::kStrSet: {
      VQ_StrSetValue set;
      for (const std::string& item : SplitList(text)) {
        if (item.empty()) Raise("%s: \"%s\" holds an empty element", path, UserText(text).c_str());
        set += item.c_str();
      }
      value = set;
      break;
    }
    default:
      Raise("%s holds no value that can be set", path);
  }
  param->SetUserValue(value);
}

void SetUserValueAtPath(VQ_Container& root, const std::string& path, const std::string& text) {
  VQ_AssignmentTransaction transaction;
  SetUserValueFromText(ResolvePath(root, path), path, text);
  transaction.Commit();
}

const VQ_VarParam* FirstUserValue(VQ_Containable& object) {
  if (auto* param = dynamic_cast<VQ_VarParam*>(&object); param != nullptr && param->HasUserValue()) return param;
  if (dynamic_cast<VQ_ExternalBase*>(&object) != nullptr) return nullptr;
  std::vector<VQ_Containable*> children;
  Children(object, children, true);
  for (VQ_Containable* child : children)
    if (const VQ_VarParam* found = FirstUserValue(*child)) return found;
  return nullptr;
}

void RefuseValuesOutsideIndexSets(VQ_Container& model, const std::function<const char*(const VQ_Matrix&)>& madeBy) {
  for (int i = 0; i < model.PropertyCount(); ++i) {
    VQ_Containable* property = model.PropertyAt(i);
    const char* name = property->Name();
    if (auto* member = dynamic_cast<VQ_VirtualBase*>(property)) property = member->LinkedIfAny();
    auto* array = dynamic_cast<VQ_Matrix*>(property);
    if (array == nullptr) continue;
    for (VQ_Type* element : array->ElementsOutsideDeclaredSets())
      if (const VQ_VarParam* param = FirstUserValue(*element)) {
        // The elements there are, dimension by dimension, and what makes more.
        std::string elements, sets;
        for (int d = 0; d < array->Dimensions(); ++d) {
          elements += (d ? " x " : "") + FormatValue(array->DeclaredSet(d)->v());
          sets += (d ? ", " : "") + std::string(array->DeclaredSet(d)->Name());
        }
        const char* given = madeBy ? madeBy(*array) : nullptr;
        const std::string advice = given ? std::string(given) : "change what lays " + sets;
        std::string reason(static_cast<size_t>(std::snprintf(nullptr, 0, VQ_OUTSIDE_ELEMENT_REASON, name,
                                                             elements.c_str(), advice.c_str())),
                           '\0');
        std::snprintf(reason.data(), reason.size() + 1, VQ_OUTSIDE_ELEMENT_REASON, name, elements.c_str(),
                      advice.c_str());
        XUValue value;
        param->GetValue(value);
        param->Refuse(value, reason.c_str());
      }
  }
}

ValueEntry::ValueEntry() = default;
ValueEntry::ValueEntry(const ValueEntry&) = default;
ValueEntry& ValueEntry::operator=(const ValueEntry&) = default;
ValueEntry::~ValueEntry() = default;

bool HoldsValue(const VQ_Containable& object) {
  return dynamic_cast<const VQ_VarParam*>(&object) != nullptr && !dynamic_cast<const VQ_Container*>(&object) &&
         !dynamic_cast<const VQ_Matrix*>(&object) && !dynamic_cast<const VQ_REALVARIABLE*>(&object) &&
         !dynamic_cast<const VQ_VirtualBase*>(&object);
}

std::vector<ValueEntry> CollectValues(VQ_Container& root) {
  PathNamer namer(root);
  std::vector<ValueEntry> entries;
  for (VQ_Containable* object : Reachable(root)) {
    if (!HoldsValue(*object)) continue;
    ValueEntry entry;
    entry.path = namer.Path(*object);
    static_cast<VQ_VarParam*>(object)->GetValue(entry.value);
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace vq_rt
