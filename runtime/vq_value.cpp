#include "vq_value.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "vq_error.h"

namespace {

int LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

int CompareNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    int ca = LowerAscii(static_cast<unsigned char>(*a));
    int cb = LowerAscii(static_cast<unsigned char>(*b));
    if (ca != cb || ca == 0) return ca - cb;
  }
}

const char* TypeName(unsigned short type) {
  switch (type) {
    case XUValue::kNone: return "no value";
    case XUValue::kInteger: return "an integer";
    case XUValue::kReal: return "a real";
    case XUValue::kString: return "a string";
    case XUValue::kLogical: return "a logical";
    case XUValue::kSet: return "a set";
    case XUValue::kIntSet: return "an integer set";
    case XUValue::kStrSet: return "a string set";
    default: return "an unknown value";
  }
}

}  // namespace

XUValue::XUValue() : m_Type(kNone), m_Bool(false), m_Int(0), m_Real(0.0) {}
XUValue::XUValue(unsigned short type) : XUValue() { m_Type = type; }
XUValue::XUValue(const XUValue& other) = default;
XUValue& XUValue::operator=(const XUValue& other) = default;
XUValue::~XUValue() = default;

void XUValue::Swap(XUValue& other) noexcept {
  std::swap(m_Type, other.m_Type);
  std::swap(m_Bool, other.m_Bool);
  std::swap(m_Int, other.m_Int);
  std::swap(m_Real, other.m_Real);
  m_Str.swap(other.m_Str);
  m_Runs.swap(other.m_Runs);
  m_RunStart.swap(other.m_RunStart);
  m_Strs.swap(other.m_Strs);
}

void XUValue::ResetType(unsigned short type) {
  m_Type = type;
  m_Bool = false;
  m_Int = 0;
  m_Real = 0.0;
  m_Str.clear();
  m_Runs.clear();
  m_RunStart.clear();
  m_Strs.clear();
}

void XUValue::Clear(int) {
  m_Runs.clear();
  m_RunStart.clear();
  m_Strs.clear();
}

void XUValue::SetInteger(int value) { ResetType(kInteger), m_Int = value; }
void XUValue::SetReal(double value) { ResetType(kReal), m_Real = value; }
void XUValue::SetString(const char* value) {
  ResetType(kString);
  m_Str = value ? value : "";
}
void XUValue::SetLogical(bool value) { ResetType(kLogical), m_Bool = value; }

int XUValue::AsInteger() const {
  if (m_Type == kInteger) return m_Int;
  if (m_Type == kLogical) return m_Bool ? 1 : 0;
  vq_rt::Raise("expected an integer value, found %s", TypeName(m_Type));
}

double XUValue::AsReal() const {
  if (m_Type == kReal) return m_Real;
  if (m_Type == kInteger) return m_Int;
  vq_rt::Raise("expected a real value, found %s", TypeName(m_Type));
}

const char* XUValue::AsString() const {
  if (m_Type == kString) return m_Str.c_str();
  vq_rt::Raise("expected a string value, found %s", TypeName(m_Type));
}

bool XUValue::AsLogical() const {
  if (m_Type == kLogical) return m_Bool;
  if (m_Type == kInteger) return m_Int != 0;
  vq_rt::Raise("expected a logical value, found %s", TypeName(m_Type));
}

void XUValue::RequireIntSet(const char* operation) {
  if (m_Type == kSet && m_Runs.empty() && m_Strs.empty()) m_Type = kIntSet;
  if (m_Type != kIntSet) vq_rt::Raise("%s needs an integer set, found %s", operation, TypeName(m_Type));
}

void XUValue::RequireStrSet(const char* operation) {
  if (m_Type == kSet && m_Runs.empty() && m_Strs.empty()) m_Type = kStrSet;
  if (m_Type != kStrSet) vq_rt::Raise("%s needs a string set, found %s", operation, TypeName(m_Type));
}

void XUValue::Reindex(size_t from) {
  m_RunStart.resize(m_Runs.empty() ? 0 : m_Runs.size() - 1);
  if (from >= m_Runs.size()) return;
  long long before = 0;
  if (from > 0) before = RunStart(from - 1) + (static_cast<long long>(m_Runs[from - 1].hi) - m_Runs[from - 1].lo + 1);
  for (size_t i = from; i < m_Runs.size(); ++i) {
    if (i > 0) m_RunStart[i - 1] = before;
    before += static_cast<long long>(m_Runs[i].hi) - m_Runs[i].lo + 1;
  }
}

long long XUValue::SizeLL() const {
  if (m_Type == kStrSet) return static_cast<long long>(m_Strs.size());
  if (m_Runs.empty()) return 0;
  return RunStart(m_Runs.size() - 1) + (static_cast<long long>(m_Runs.back().hi) - m_Runs.back().lo + 1);
}

XUValue& XUValue::operator+=(int element) {
  RequireIntSet("adding an integer");
  // The first run whose upper end is at least element - 1 is the one that can
  // take the element or absorb it as a neighbour.
  auto it = std::lower_bound(m_Runs.begin(), m_Runs.end(), element, [](const Run& run, int value) {
    return static_cast<long long>(run.hi) < static_cast<long long>(value) - 1;
  });
  if (it != m_Runs.end() && it->lo <= element && element <= it->hi) return *this;
  // Only the runs from the one that changed onwards move; elements added in
  // ascending order touch the last run alone.
  const size_t changed = static_cast<size_t>(it - m_Runs.begin());
  if (it != m_Runs.end() && static_cast<long long>(it->hi) + 1 == element) {
    it->hi = element;
    auto next = it + 1;
    if (next != m_Runs.end() && static_cast<long long>(next->lo) == static_cast<long long>(element) + 1) {
      it->hi = next->hi;
      m_Runs.erase(next);
    }
  } else if (it != m_Runs.end() && static_cast<long long>(it->lo) - 1 == element) {
    it->lo = element;
  } else {
    m_Runs.insert(it, Run{element, element});
  }
  Reindex(changed);
  return *this;
}

int XUValue::FindStr(const char* value, bool& found) const {
  auto it = std::lower_bound(m_Strs.begin(), m_Strs.end(), value, [](const std::string& held, const char* v) {
    return CompareNoCase(held.c_str(), v) < 0;
  });
  found = it != m_Strs.end() && CompareNoCase(it->c_str(), value) == 0;
  return static_cast<int>(it - m_Strs.begin());
}

XUValue& XUValue::operator+=(const char* element) {
  RequireStrSet("adding a string");
  if (element == nullptr) vq_rt::Raise("a string set cannot hold a null element");
  bool found = false;
  int position = FindStr(element, found);
  if (!found) m_Strs.insert(m_Strs.begin() + position, std::string(element));
  return *this;
}

XUValue& XUValue::operator+=(const XUValue& other) {
  if (!other.IsSet()) vq_rt::Raise("the union needs two sets, found %s", TypeName(other.m_Type));
  if (other.m_Type == kSet || (other.m_Runs.empty() && other.m_Strs.empty())) {
    if (!IsSet()) vq_rt::Raise("the union needs two sets, found %s", TypeName(m_Type));
    return *this;
  }
  if (other.m_Type == kStrSet) {
    RequireStrSet("a union");
    for (const std::string& element : other.m_Strs) *this += element.c_str();
    return *this;
  }
  RequireIntSet("a union");
  if (m_Runs.empty() || m_Runs.back().hi < other.m_Runs.front().lo) {
    // A set wholly beyond this one is appended: a union built up in
    // ascending order costs what it adds, not what it holds.
    auto first = other.m_Runs.begin();
    const size_t from = m_Runs.empty() ? 0 : m_Runs.size() - 1;
    if (!m_Runs.empty() && static_cast<long long>(m_Runs.back().hi) + 1 == first->lo) m_Runs.back().hi = (first++)->hi;
    m_Runs.Append(first, other.m_Runs.end());
    Reindex(from);
    return *this;
  }
  RunList merged;
  merged.Reserve(m_Runs.size() + other.m_Runs.size());
  size_t i = 0, j = 0;
  while (i < m_Runs.size() || j < other.m_Runs.size()) {
    Run next;
    if (j >= other.m_Runs.size() || (i < m_Runs.size() && m_Runs[i].lo <= other.m_Runs[j].lo)) {
      next = m_Runs[i++];
    } else {
      next = other.m_Runs[j++];
    }
    if (!merged.empty() && static_cast<long long>(merged.back().hi) + 1 >= next.lo) {
      merged.back().hi = std::max(merged.back().hi, next.hi);
    } else {
      merged.push_back(next);
    }
  }
  m_Runs.swap(merged);
  Reindex(0);
  return *this;
}

XUValue& XUValue::operator*=(const XUValue& other) {
  if (!other.IsSet() || !IsSet()) vq_rt::Raise("the intersection needs two sets");
  bool otherEmpty = other.m_Runs.empty() && other.m_Strs.empty();
  if (otherEmpty) {
    Clear(0);
    return *this;
  }
  if (other.m_Type == kStrSet) {
    RequireStrSet("an intersection");
    std::vector<std::string> kept;
    for (const std::string& element : m_Strs)
      if (other >= element.c_str()) kept.push_back(element);
    m_Strs.swap(kept);
    return *this;
  }
  RequireIntSet("an intersection");
  RunList kept;
  size_t i = 0, j = 0;
  while (i < m_Runs.size() && j < other.m_Runs.size()) {
    int lo = std::max(m_Runs[i].lo, other.m_Runs[j].lo);
    int hi = std::min(m_Runs[i].hi, other.m_Runs[j].hi);
    if (lo <= hi) kept.push_back(Run{lo, hi});
    if (m_Runs[i].hi < other.m_Runs[j].hi) ++i; else ++j;
  }
  m_Runs.swap(kept);
  Reindex(0);
  return *this;
}

int XUValue::operator>=(const char* element) const {
  if (m_Type != kStrSet || element == nullptr) return 0;
  bool found = false;
  FindStr(element, found);
  return found ? 1 : 0;
}

int XUValue::operator>=(int element) const {
  int position = 0;
  return m_Type == kIntSet && SetContains(element, position) ? 1 : 0;
}

int XUValue::CompareCI(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return (a == b) ? 0 : (a == nullptr ? -1 : 1);
  return CompareNoCase(a, b);
}

int XUValue::SetContains(int value, int& position) const {
  if (m_Type != kIntSet && m_Type != kSet) vq_rt::Raise("an integer look-up needs an integer set, found %s", TypeName(m_Type));
  auto it = std::upper_bound(m_Runs.begin(), m_Runs.end(), value, [](int v, const Run& run) { return v < run.lo; });
  if (it == m_Runs.begin()) {
    position = 0;
    return 0;
  }
  size_t run = static_cast<size_t>(it - m_Runs.begin()) - 1;
  const Run& r = m_Runs[run];
  if (value <= r.hi) {
    position = static_cast<int>(RunStart(run) + (static_cast<long long>(value) - r.lo));
    return 1;
  }
  position = static_cast<int>(RunStart(run) + (static_cast<long long>(r.hi) - r.lo + 1));
  return 0;
}

bool XUValue::RunHolding(int value, size_t& run) const {
  if (m_Type != kIntSet) return false;
  auto it = std::upper_bound(m_Runs.begin(), m_Runs.end(), value, [](int v, const Run& r) { return v < r.lo; });
  if (it == m_Runs.begin() || value > (it - 1)->hi) return false;
  run = static_cast<size_t>(it - m_Runs.begin()) - 1;
  return true;
}

int XUValue::SetContains(const char* value, int& position) const {
  if (m_Type != kStrSet && m_Type != kSet) vq_rt::Raise("a string look-up needs a string set, found %s", TypeName(m_Type));
  if (value == nullptr) vq_rt::Raise("a string set has no null element");
  bool found = false;
  position = FindStr(value, found);
  return found ? 1 : 0;
}

void XUValue::SetAddAtOffset(int value, int position) {
  int expected = 0;
  if (SetContains(value, expected)) vq_rt::Raise("the set already holds %d", value);
  if (expected != position)
    vq_rt::Raise("%d belongs at position %d of the set, not at %d", value, expected, position);
  *this += value;
}

void XUValue::SetAddAtOffset(const char* value, int position) {
  int expected = 0;
  if (SetContains(value, expected)) vq_rt::Raise("the set already holds \"%s\"", value);
  if (expected != position)
    vq_rt::Raise("\"%s\" belongs at position %d of the set, not at %d", value, expected, position);
  *this += value;
}

int XUValue::SetSize() const {
  long long size = SizeLL();
  if (size > INT_MAX) vq_rt::Raise("a set of %lld elements is too large", size);
  return static_cast<int>(size);
}

int XUValue::IntegerAt(int position) const {
  if (m_Type != kIntSet || position < 0 || position >= SizeLL())
    vq_rt::Raise("no integer at position %d of a set of %lld", position, SizeLL());
  // Run 0 starts at 0; the starts kept are those of runs 1 on.
  auto it = std::upper_bound(m_RunStart.begin(), m_RunStart.end(), static_cast<long long>(position));
  const size_t run = static_cast<size_t>(it - m_RunStart.begin());
  return static_cast<int>(m_Runs[run].lo + (position - RunStart(run)));
}

const char* XUValue::StringAt(int position) const {
  if (m_Type != kStrSet || position < 0 || position >= static_cast<int>(m_Strs.size()))
    vq_rt::Raise("no string at position %d of a set of %lld", position, SizeLL());
  return m_Strs[static_cast<size_t>(position)].c_str();
}

void XUValue::SetToRange(int lo, int hi) {
  m_Runs.clear();
  m_Runs.push_back(Run{lo, hi});
  Reindex(0);
}

int XUValue::RunCount() const { return static_cast<int>(m_Runs.size()); }
int XUValue::RunLow(int run) const { return m_Runs.at(static_cast<size_t>(run)).lo; }
int XUValue::RunHigh(int run) const { return m_Runs.at(static_cast<size_t>(run)).hi; }

bool XUValue::Equals(const XUValue& other) const {
  bool setA = IsSet(), setB = other.IsSet();
  if (setA && setB) {
    if (SizeLL() != other.SizeLL()) return false;
    if (SizeLL() == 0) return true;
    if (m_Type != other.m_Type) return false;
    if (m_Type == kStrSet) {
      for (size_t i = 0; i < m_Strs.size(); ++i)
        if (CompareNoCase(m_Strs[i].c_str(), other.m_Strs[i].c_str()) != 0) return false;
      return true;
    }
    if (m_Runs.size() != other.m_Runs.size()) return false;
    for (size_t i = 0; i < m_Runs.size(); ++i)
      if (m_Runs[i].lo != other.m_Runs[i].lo || m_Runs[i].hi != other.m_Runs[i].hi) return false;
    return true;
  }
  if (m_Type != other.m_Type) return false;
  switch (m_Type) {
    case kInteger: return m_Int == other.m_Int;
    case kReal: return m_Real == other.m_Real;
    case kString: return m_Str == other.m_Str;
    case kLogical: return m_Bool == other.m_Bool;
    default: return true;
  }
}

// ---------------------------------------------------------------------------

VQ_SetValue::VQ_SetValue() : XUValue(kSet) {}
VQ_SetValue::VQ_SetValue(unsigned short type) : XUValue(type) {
  if (!IsSet()) vq_rt::Raise("type %u is not a set type", static_cast<unsigned>(type));
}
VQ_SetValue::VQ_SetValue(const VQ_SetValue& other) = default;
VQ_SetValue::VQ_SetValue(const XUValue& other) : XUValue(other) {
  if (!IsSet()) vq_rt::Raise("a set value cannot be made from a scalar");
}
VQ_SetValue& VQ_SetValue::operator=(const VQ_SetValue& other) = default;
VQ_SetValue::~VQ_SetValue() = default;

VQ_IntSetValue::VQ_IntSetValue() : VQ_SetValue(kIntSet) {}
VQ_IntSetValue::VQ_IntSetValue(int lo, int hi) : VQ_SetValue(kIntSet) {
  if (hi == INT_MIN) SetToRange(lo, lo);
  else if (lo <= hi) SetToRange(lo, hi);
}
VQ_IntSetValue::VQ_IntSetValue(VQ_OneElement, int element) : VQ_SetValue(kIntSet) { *this += element; }
VQ_IntSetValue::VQ_IntSetValue(const char* text) : VQ_SetValue(kIntSet) {
  if (text == nullptr) return;
  const char* p = text;
  while (*p) {
    while (*p == ' ' || *p == ',') ++p;
    if (!*p) break;
    char* end = nullptr;
    long lo = std::strtol(p, &end, 10);
    if (end == p) vq_rt::Raise("\"%s\" is not a list of integers", text);
    long hi = lo;
    p = end;
    if (p[0] == '.' && p[1] == '.') {
      p += 2;
      hi = std::strtol(p, &end, 10);
      if (end == p) vq_rt::Raise("\"%s\" is not a list of integers", text);
      p = end;
    }
    if (lo < INT_MIN || hi > INT_MAX) vq_rt::Raise("\"%s\" holds an integer out of range", text);
    if (lo <= hi) *this += VQ_IntSetValue(static_cast<int>(lo), static_cast<int>(hi));
  }
}
VQ_IntSetValue::VQ_IntSetValue(const VQ_SetValue& other) : VQ_SetValue(other) {
  if (Type() == kSet) ResetType(kIntSet);
  if (Type() != kIntSet) vq_rt::Raise("an integer set cannot be made from a string set");
}
VQ_IntSetValue::VQ_IntSetValue(const VQ_IntSetValue& other) = default;
VQ_IntSetValue& VQ_IntSetValue::operator=(const VQ_IntSetValue& other) = default;
VQ_IntSetValue::~VQ_IntSetValue() = default;

VQ_StrSetValue::VQ_StrSetValue() : VQ_SetValue(kStrSet) {}
VQ_StrSetValue::VQ_StrSetValue(const char* text) : VQ_SetValue(kStrSet) {
  if (text == nullptr) return;
  std::string element;
  for (const char* p = text; *p; ++p) {
    if (*p == '"') {
      *this += element.c_str();
      element.clear();
    } else {
      element += *p;
    }
  }
  if (!element.empty()) *this += element.c_str();
}
VQ_StrSetValue::VQ_StrSetValue(const VQ_SetValue& other) : VQ_SetValue(other) {
  if (Type() == kSet) ResetType(kStrSet);
  if (Type() != kStrSet) vq_rt::Raise("a string set cannot be made from an integer set");
}
VQ_StrSetValue::VQ_StrSetValue(const VQ_StrSetValue& other) = default;
VQ_StrSetValue& VQ_StrSetValue::operator=(const VQ_StrSetValue& other) = default;
VQ_StrSetValue::~VQ_StrSetValue() = default;

// ---------------------------------------------------------------------------

namespace {
XUValue ScalarInteger(int value) {
  XUValue v;
  v.SetInteger(value);
  return v;
}
XUValue ScalarReal(double value) {
  XUValue v;
  v.SetReal(value);
  return v;
}
XUValue ScalarString(const char* value) {
  XUValue v;
  v.SetString(value);
  return v;
}
}  // namespace

VQ_Value::VQ_Value(int value, unsigned int b, unsigned int a, int ordinal)
    : m_Value(ScalarInteger(value)), m_B(b), m_A(a), m_Ordinal(ordinal) {}
VQ_Value::VQ_Value(double value, unsigned int b, unsigned int a, int ordinal)
    : m_Value(ScalarReal(value)), m_B(b), m_A(a), m_Ordinal(ordinal) {}
VQ_Value::VQ_Value(const char* value, unsigned int b, unsigned int a, int ordinal)
    : m_Value(ScalarString(value)), m_B(b), m_A(a), m_Ordinal(ordinal) {}
VQ_Value::VQ_Value(const VQ_SetValue& value, unsigned int b, unsigned int a, int ordinal)
    : m_Value(value), m_B(b), m_A(a), m_Ordinal(ordinal) {}
VQ_Value::VQ_Value(const XUValue& value, unsigned int b, unsigned int a, int ordinal)
    : m_Value(value), m_B(b), m_A(a), m_Ordinal(ordinal) {}
VQ_Value::VQ_Value(int value, unsigned int flags) : m_Value(ScalarInteger(value)), m_Flags(flags), m_Short(true) {}
VQ_Value::VQ_Value(double value, unsigned int flags) : m_Value(ScalarReal(value)), m_Flags(flags), m_Short(true) {}
VQ_Value::VQ_Value(const char* value, unsigned int flags)
    : m_Value(ScalarString(value)), m_Flags(flags), m_Short(true) {}
VQ_Value::VQ_Value(const VQ_SetValue& value, unsigned int flags) : m_Value(value), m_Flags(flags), m_Short(true) {}
VQ_Value::VQ_Value(const VQ_Value& other) = default;
VQ_Value& VQ_Value::operator=(const VQ_Value& other) = default;
VQ_Value::~VQ_Value() = default;

// ---------------------------------------------------------------------------

VQ_SetIter::VQ_SetIter(const XUValue& set) : m_Set(set) {
  if (!m_Set.IsSet()) vq_rt::Raise("only a set can be iterated");
}
VQ_SetIter::VQ_SetIter(XUValue&& set) {
  if (!set.IsSet()) vq_rt::Raise("only a set can be iterated");
  m_Set.Swap(set);
}
VQ_SetIter::VQ_SetIter(const VQ_SetIter& other) = default;
VQ_SetIter& VQ_SetIter::operator=(const VQ_SetIter& other) = default;
VQ_SetIter::~VQ_SetIter() = default;

bool VQ_SetIter::NextRun() {
  if (m_Done) return false;
  if (m_Set.Type() == XUValue::kStrSet) {
    // Next() walks the positions; this only starts them.
    if (m_Run >= 0 || m_Set.SetSize() == 0) return !(m_Done = true);
    m_Run = 0;
    m_Current = 0;
    m_RunEnd = m_Set.SetSize() - 1;
    return true;
  }
  const int runs = m_Set.RunCount();
  if (++m_Run >= runs) return !(m_Done = true);
  m_Current = m_Set.RunLow(m_Run);
  m_RunEnd = m_Set.RunHigh(m_Run);
  return true;
}

const char* VQ_SetIter::String() const {
  if (m_Set.Type() != XUValue::kStrSet) vq_rt::Raise("the iterator walks no string set");
  return m_Set.StringAt(static_cast<int>(m_Current));
}

VQ_IntegerSetIter::VQ_IntegerSetIter(const VQ_IntSetValue& set) : VQ_SetIter(set) {}
VQ_IntegerSetIter::VQ_IntegerSetIter(const XUValue& set) : VQ_SetIter(set) {}
VQ_IntegerSetIter::VQ_IntegerSetIter(VQ_IntSetValue&& set) : VQ_SetIter(static_cast<XUValue&&>(set)) {}
VQ_IntegerSetIter::VQ_IntegerSetIter(const VQ_IntegerSetIter& other) = default;
VQ_IntegerSetIter::~VQ_IntegerSetIter() = default;

VQ_StringSetIter::VQ_StringSetIter(const XUValue& set) : VQ_SetIter(set) {}
VQ_StringSetIter::VQ_StringSetIter(const VQ_StringSetIter& other) = default;
VQ_StringSetIter::~VQ_StringSetIter() = default;
