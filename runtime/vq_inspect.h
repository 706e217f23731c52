#pragma once
// What the host and tests ask of a model tree: property paths, values as
// text, user values from text.
#include <string>
#include <vector>

#include "vq_container.h"

namespace vq_rt {

// Names objects by their property path from a root instance:
// "VALUE(3)", "XDOMAIN.SECTION(1).ELEMENTLENGTH".
class KYV_API PathNamer {
 public:
  explicit PathNamer(VQ_Container& root);
  PathNamer(const PathNamer&);
  ~PathNamer();
  std::string Path(const VQ_Containable& object) const;
  // The path appended to `out`, with no text made on the way.
  void AppendPath(const VQ_Containable& object, std::string& out) const;

 private:
  VQ_Container* m_Root;
  // Instances reached from the root through external references.
  std::vector<std::pair<const VQ_Containable*, std::string>> m_Linked;
};

// Every object reachable from the root, in registration order, each after
// its owner: properties, ports, array elements, linked instances. Without
// leaves, the elements of arrays of plain parameters and variables are
// left out.
KYV_API std::vector<VQ_Containable*> Reachable(VQ_Container& root, bool leaves = true);

// The object a path names ("LENGTH", "SECTION(2).NODECOUNT",
// "XDOMAIN.NUMSECTIONS"); letter case is ignored. A replaceable parameter
// (LENGTH of a domain) names the parameter in use. Raises VQ_Error naming the
// first step that does not exist.
KYV_API VQ_Containable& ResolvePath(VQ_Container& root, const std::string& path);

// How SetUserValueFromText reads a user's text as an integer (decimal, in
// the range of int) or a finite real; blanks around it are ignored.
KYV_API bool ParseInteger(const std::string& text, int& out);
KYV_API bool ParseReal(const std::string& text, double& out);

// Sets a user value from its text, by the property's kind: an integer, a
// real, a string, true/false, or a set as comma-separated elements (an empty
// text is the empty set). Raises VQ_Error naming the property by its path
// from the instance, and the value.
KYV_API void SetUserValueFromText(VQ_Containable& target, const std::string& path, const std::string& text);

// Resolves a path and sets the user value from its text; a refusal leaves
// nothing behind, not even an element the path made.
KYV_API void SetUserValueAtPath(VQ_Container& root, const std::string& path, const std::string& text);

struct KYV_API ValueEntry {
  std::string path;
  XUValue value;
  ValueEntry();
  ValueEntry(const ValueEntry&);
  ValueEntry& operator=(const ValueEntry&);
  ~ValueEntry();
};

// Every parameter value and set value the runtime holds for the root and
// what it links, keyed by path (variables are unknowns, not values).
KYV_API std::vector<ValueEntry> CollectValues(VQ_Container& root);

// Whether CollectValues lists the object: a parameter or set that holds a
// value of its own.
KYV_API bool HoldsValue(const VQ_Containable& object);

}  // namespace vq_rt
