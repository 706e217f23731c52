#include "vq_matrix.h"

#include <cstring>

#include "vq_error.h"
#include "vq_recorder.h"

namespace {
int g_strictDepth = 0;
}

VQ_StrictLookups::VQ_StrictLookups() { ++g_strictDepth; }
VQ_StrictLookups::~VQ_StrictLookups() { --g_strictDepth; }
bool VQ_StrictLookups::Active() { return g_strictDepth > 0; }

// ---------------------------------------------------------------------------

VQ_LongPtrVectorOwnsData::VQ_LongPtrVectorOwnsData() = default;
VQ_LongPtrVectorOwnsData::VQ_LongPtrVectorOwnsData(const VQ_LongPtrVectorOwnsData& other)
    : m_Slots(other.m_Slots.size(), nullptr) {}
VQ_LongPtrVectorOwnsData& VQ_LongPtrVectorOwnsData::operator=(const VQ_LongPtrVectorOwnsData& other) {
  if (this != &other) {
    DestroyAll();
    m_Slots.assign(other.m_Slots.size(), nullptr);
  }
  return *this;
}
VQ_LongPtrVectorOwnsData::~VQ_LongPtrVectorOwnsData() { DestroyAll(); }

void VQ_LongPtrVectorOwnsData::DestroyAll() {
  Slots slots;
  slots.swap(m_Slots);
  for (VQ_Type* element : slots) delete element;
}

void VQ_LongPtrVectorOwnsData::AddNullEntries(int position, int count, int stride) {
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddNullEntries)) vq_rt::RecordCall(vq_rt::EventKind::AddNullEntries, this).Numbers(position, count, stride);
  if (position < 0 || count < 0 || stride < 0) vq_rt::Raise("AddNullEntries(%d, %d, %d): negative", position, count, stride);
  if (m_Slots.empty()) {
    m_Slots.assign(static_cast<size_t>(stride), nullptr);
    return;
  }
  long long run = static_cast<long long>(count) * stride;
  if (run == 0 || static_cast<long long>(m_Slots.size()) % run != 0 || position > count)
    vq_rt::Raise("AddNullEntries(%d, %d, %d) does not fit a block of %zu slots", position, count, stride,
                 m_Slots.size());
  size_t runs = m_Slots.size() / static_cast<size_t>(run);
  size_t at = static_cast<size_t>(position) * static_cast<size_t>(stride);
  if (runs == 1) {
    // The usual growth of one dimension at a time: one insertion, amortised
    // constant when it is at the end.
    m_Slots.insert(m_Slots.begin() + static_cast<std::ptrdiff_t>(at), static_cast<size_t>(stride), nullptr);
    return;
  }
  Slots grown;
  grown.reserve(m_Slots.size() + runs * static_cast<size_t>(stride));
  for (size_t r = 0; r < runs; ++r) {
    auto begin = m_Slots.begin() + static_cast<std::ptrdiff_t>(r * static_cast<size_t>(run));
    grown.insert(grown.end(), begin, begin + static_cast<std::ptrdiff_t>(at));
    grown.insert(grown.end(), static_cast<size_t>(stride), nullptr);
    grown.insert(grown.end(), begin + static_cast<std::ptrdiff_t>(at), begin + static_cast<std::ptrdiff_t>(run));
  }
  m_Slots.swap(grown);
}

// ---------------------------------------------------------------------------

const char* VQ_Matrix::VQ_ContainerId() {
  static const char kId[] = "Matrix\tV8.4";
  return kId;
}

VQ_Matrix::VQ_Matrix(int dimensions, VQ_SetValue* indexValues) : m_Dimensions(dimensions) {
  if (dimensions < 1 || dimensions > kMaxDimensions) vq_rt::Raise("an array of %d dimensions", dimensions);
  // Kept relative to this base, so that a copy finds its own values.
  if (indexValues != nullptr)
    m_IndexValuesOffset = reinterpret_cast<const char*>(indexValues) - reinterpret_cast<const char*>(this);
}

VQ_Matrix::VQ_Matrix(const VQ_Matrix& other)
    : VQ_Type(other),
      m_Elements(other.m_Elements),
      m_Dimensions(other.m_Dimensions),
      m_IndexValuesOffset(other.m_IndexValuesOffset) {
  for (int d = 0; d < m_Dimensions; ++d) DeclareSet(d, other.m_DeclaredSets[d]);
}

VQ_Matrix& VQ_Matrix::operator=(const VQ_Matrix& other) {
  VQ_Type::operator=(other);
  if (this != &other) {
    if (other.m_Dimensions != m_Dimensions)
      vq_rt::Raise("%s: an array of %d dimensions cannot take one of %d", DisplayName().c_str(), m_Dimensions,
                   other.m_Dimensions);
    VQ_AssignmentTransaction::Forget(*this);
    m_Elements = other.m_Elements;
    CancelDependenceOnDeclaredSets();
    for (int d = 0; d < m_Dimensions; ++d) DeclareSet(d, other.m_DeclaredSets[d]);
  }
  return *this;
}

VQ_Matrix::~VQ_Matrix() {
  VQ_AssignmentTransaction::Forget(*this);
  CancelDependenceOnDeclaredSets();
  m_Elements.DestroyAll();
}

int VQ_Matrix::NewElements() { return 0; }
void VQ_Matrix::CreateMissingArrayElement(const char*) {}

VQ_Set* VQ_Matrix::DeclaredSet(int dimension) const {
  return (dimension >= 0 && dimension < m_Dimensions) ? m_DeclaredSets[dimension] : nullptr;
}

void VQ_Matrix::DeclareSet(int dimension, VQ_Set* set) {
  m_DeclaredSets[dimension] = set;
  if (set != nullptr) set->AddDependent(this);
  if (set != nullptr && vq_rt::Recorder::Enabled(vq_rt::EventKind::SetDim))
    vq_rt::RecordCall(vq_rt::EventKind::SetDim, this).Object(set).Name(Name()).Text(set->Name()).Numbers(dimension);
}

void VQ_Matrix::CancelDependenceOnDeclaredSets() {
  for (int d = 0; d < m_Dimensions; ++d) {
    VQ_Set* set = m_DeclaredSets[d];
    m_DeclaredSets[d] = nullptr;
    if (set == nullptr) continue;
    bool stillUsed = false;
    for (int e = 0; e < m_Dimensions; ++e) stillUsed = stillUsed || m_DeclaredSets[e] == set;
    if (!stillUsed) set->RemoveDependent(this);
  }
}

void VQ_Matrix::DependencyGone(VQ_VarParamProp* source) {
  for (int d = 0; d < m_Dimensions; ++d)
    if (m_DeclaredSets[d] == source) m_DeclaredSets[d] = nullptr;
}

void VQ_Matrix::AddIndexToString(int index, int dimension) {
  if (dimension < 0 || dimension >= m_Dimensions) vq_rt::Raise("%s: no dimension %d", DisplayName().c_str(), dimension);
  m_Pending[dimension].isString = false;
  m_Pending[dimension].number = index;
  m_PendingMask |= 1u << dimension;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddIndexToString))
    vq_rt::RecordCall(vq_rt::EventKind::AddIndexToString, this).Text(std::to_string(index)).Numbers(dimension);
}

void VQ_Matrix::AddIndexToString(const char* index, int dimension) {
  if (dimension < 0 || dimension >= m_Dimensions) vq_rt::Raise("%s: no dimension %d", DisplayName().c_str(), dimension);
  if (index == nullptr) vq_rt::Raise("%s: a null string index", DisplayName().c_str());
  m_Pending[dimension].isString = true;
  m_Pending[dimension].text = index;
  m_PendingMask |= 1u << dimension;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddIndexToString))
    vq_rt::RecordCall(vq_rt::EventKind::AddIndexToString, this)
        .Text(std::string("\"") + index + "\"")
        .Numbers(dimension);
}

VQ_Type* VQ_Matrix::AddElement() {
  bool numeric = true;
  int numbers[kMaxDimensions] = {};
  for (int d = 0; d < m_Dimensions; ++d) {
    if (!(m_PendingMask & (1u << d))) vq_rt::Raise("%s: index %d of a new element was not given", DisplayName().c_str(), d + 1);
    numeric = numeric && !m_Pending[d].isString;
    numbers[d] = m_Pending[d].number;
  }
  m_PendingMask = 0;
  // The index text, only where a message or a string index needs it.
  const auto indexText = [&] {
    std::string name = "(";
    for (int d = 0; d < m_Dimensions; ++d) {
      if (d) name += ",";
      name += m_Pending[d].isString ? m_Pending[d].text : std::to_string(m_Pending[d].number);
    }
    return name + ")";
  };
  if (m_CurrentOffset < 0 || m_CurrentOffset >= m_Elements.Elements())
    vq_rt::Raise("%s%s: slot %d lies outside a block of %d", DisplayName().c_str(), indexText().c_str(), m_CurrentOffset,
                 m_Elements.Elements());
  if (VQ_StrictLookups::Active()) {
    for (int d = 0; d < m_Dimensions; ++d) {
      VQ_Set* set = m_DeclaredSets[d];
      bool inside = set != nullptr && (m_Pending[d].isString ? (set->v() >= m_Pending[d].text.c_str()) != 0
                                                             : (set->v() >= m_Pending[d].number) != 0);
      if (!inside)
        vq_rt::Raise("%s%s lies outside the declared index set %s%s", DisplayName().c_str(), indexText().c_str(),
                     set ? set->Name() : "(none)", set ? "" : " of its dimension");
    }
  }
  if (m_Elements[m_CurrentOffset] != nullptr) return m_Elements[m_CurrentOffset];
  VQ_Type* element = NewElement();
  if (element == nullptr) vq_rt::Raise("%s%s: no element could be made", DisplayName().c_str(), indexText().c_str());
  if (!numeric || !element->AttachAsElement(this, numbers, m_Dimensions))
    element->AttachAsElement(this, indexText().c_str());
  m_Elements[m_CurrentOffset] = element;
  VQ_AssignmentTransaction::Made(*this, *element, m_CurrentOffset);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddElement))
    vq_rt::RecordCall(vq_rt::EventKind::AddElement, this).Object(element).Name(indexText()).Numbers(m_CurrentOffset);
  return element;
}

namespace {
void SkipBlanks(const char*& p) {
  while (*p == ' ' || *p == '\t') ++p;
}
}  // namespace

bool VQ_Matrix::ReadIndex(const char*& text, int& target, char separator) {
  if (text == nullptr) return false;
  const char* p = text;
  SkipBlanks(p);
  bool negative = false;
  if (*p == '-' || *p == '+') negative = (*p++ == '-');
  if (*p < '0' || *p > '9') return false;
  long long value = 0;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + (*p++ - '0');
    if (value > 2147483648LL) return false;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return false;
  SkipBlanks(p);
  if (*p != separator) return false;
  target = static_cast<int>(value);
  text = p + 1;
  return true;
}

bool VQ_Matrix::ReadIndex(const char*& text, char* target, size_t size, char separator) {
  if (text == nullptr || target == nullptr || size == 0) return false;
  const char* p = text;
  SkipBlanks(p);
  const char* begin = p;
  const char* end = nullptr;
  if (*p == '"') {
    begin = ++p;
    while (*p && *p != '"') ++p;
    if (*p != '"') return false;
    end = p++;
    SkipBlanks(p);
  } else {
    while (*p && *p != separator) ++p;
    end = p;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) --end;
  }
  if (*p != separator) return false;
  size_t length = static_cast<size_t>(end - begin);
  if (length + 1 > size) return false;  // does not fit: refuse rather than cut
  std::memcpy(target, begin, length);
  target[length] = '\0';
  text = p + 1;
  return true;
}

const XUValue* VQ_Matrix::IndexValuesInUse(int) const { return nullptr; }

bool VQ_Matrix::LayDeclaredValues() {
  constexpr long long kLaidAtMost = 1LL << 27;  // slots; a larger block grows as it is used
  if (m_IndexValuesOffset == 0 || m_Elements.Elements() != 0) return false;
  auto* inUse = reinterpret_cast<VQ_SetValue*>(reinterpret_cast<char*>(this) + m_IndexValuesOffset);
  long long slots = 1;
  for (int d = 0; d < m_Dimensions; ++d) {
    const VQ_Set* set = m_DeclaredSets[d];
    if (set == nullptr) return false;
    const VQ_SetValue& declared = set->v();
    if (declared.Type() != inUse[d].Type() || inUse[d].SetSize() != 0 || declared.SetSize() == 0) return false;
    slots *= declared.SetSize();
    if (slots > kLaidAtMost) return false;
  }
  // Copies first and the block next, so a failure of either changes nothing.
  VQ_SetValue laid[kMaxDimensions];
  for (int d = 0; d < m_Dimensions; ++d) laid[d] = m_DeclaredSets[d]->v();
  m_Elements.AddNullEntries(0, 0, static_cast<int>(slots));
  for (int d = 0; d < m_Dimensions; ++d) inUse[d].Swap(laid[d]);
  return true;
}

std::vector<VQ_Type*> VQ_Matrix::ElementsOutsideDeclaredSets() const {
  std::vector<VQ_Type*> outside;
  // Per dimension, whether each value in use lies in the declared set.
  std::vector<char> inside[kMaxDimensions];
  for (int d = 0; d < m_Dimensions; ++d) {
    const XUValue* values = IndexValuesInUse(d);
    const VQ_Set* set = m_DeclaredSets[d];
    if (values == nullptr || set == nullptr) return outside;
    inside[d].resize(static_cast<size_t>(values->SetSize()));
    for (int p = 0; p < values->SetSize(); ++p)
      inside[d][static_cast<size_t>(p)] = values->Type() == XUValue::kStrSet ? (set->v() >= values->StringAt(p))
                                                                             : (set->v() >= values->IntegerAt(p));
  }
  for (int slot = 0; slot < m_Elements.Elements(); ++slot) {
    if (m_Elements[slot] == nullptr) continue;
    bool in = true;
    for (int d = m_Dimensions - 1, rest = slot; d >= 0 && in; --d) {
      const int size = static_cast<int>(inside[d].size());
      in = size > 0 && inside[d][static_cast<size_t>(rest % size)];
      rest /= size > 0 ? size : 1;
    }
    if (!in) outside.push_back(m_Elements[slot]);
  }
  return outside;
}

void VQ_Matrix::RemoveElement(VQ_Type* element, int slot) {
  if (slot < 0 || slot >= m_Elements.Elements() || m_Elements[slot] != element)
    for (slot = 0; slot < m_Elements.Elements() && m_Elements[slot] != element; ++slot) {
    }
  if (slot >= m_Elements.Elements()) return;
  m_Elements[slot] = nullptr;
  delete element;
}

VQ_Type& VQ_Matrix::ElementByText(const char* indexText) {
  m_CurrentOffset = -1;
  CreateMissingArrayElement(indexText);
  if (m_CurrentOffset < 0 || m_CurrentOffset >= m_Elements.Elements() || m_Elements[m_CurrentOffset] == nullptr)
    vq_rt::Raise("%s: \"(%s\" is not an index of this array", DisplayName().c_str(),
                 vq_rt::UserText(indexText ? indexText : "").c_str());
  return *m_Elements[m_CurrentOffset];
}

VQ_Type* VQ_Matrix::FindOne(XUValue& values, int number, const char* text) {
  if (m_Elements.Elements() == 0 && text == nullptr) LayDeclaredValues();
  const bool wasEmpty = m_Elements.Elements() == 0;
  const bool held = text ? values.SetContains(text, m_CurrentOffset) : values.SetContains(number, m_CurrentOffset);
  if (!held) {
    if (text) values.SetAddAtOffset(text, m_CurrentOffset);
    else values.SetAddAtOffset(number, m_CurrentOffset);
    if (wasEmpty) m_Elements.AddNullEntries(0, 0, values.SetSize());
    else m_Elements.AddNullEntries(m_CurrentOffset, values.SetSize() - 1, 1);
  }
  VQ_Type* element = m_Elements[m_CurrentOffset];
  if (element != nullptr) return element;
  if (text) AddIndexToString(text, 0);
  else AddIndexToString(number, 0);
  return AddElement();
}

int VQ_Matrix::NewElementsOne(XUValue& values) {
  int count = 0;
  for (int position = values.SetSize() - 1; position >= 0; --position) {
    m_CurrentOffset = position;
    if (m_Elements[position] != nullptr) continue;
    if (values.Type() == XUValue::kStrSet) AddIndexToString(values.StringAt(position), 0);
    else AddIndexToString(values.IntegerAt(position), 0);
    AddElement();
    ++count;
  }
  return count;
}

// ---------------------------------------------------------------------------

VQ_BASE_I::VQ_BASE_I() : VQ_Matrix(1, &m_IndexValues) { m_IndexValues.ResetType(XUValue::kIntSet); }
VQ_BASE_I::VQ_BASE_I(const VQ_BASE_I& other) : VQ_Matrix(other), m_IndexValues(other.m_IndexValues) {}
VQ_BASE_I& VQ_BASE_I::operator=(const VQ_BASE_I& other) {
  VQ_Matrix::operator=(other);
  m_IndexValues = other.m_IndexValues;
  return *this;
}
VQ_BASE_I::~VQ_BASE_I() = default;

void VQ_BASE_I::SetDim(VQ_Set& set) {
  CancelDependenceOnDeclaredSets();
  DeclareSet(0, &set);
}

VQ_Type* VQ_BASE_I::FindInRuns(int index) {
  int slot = 0;
  if (m_IndexValues.RunHolding(index, m_LastRun) && m_IndexValues.PositionNearRun(index, m_LastRun, slot))
    if (VQ_Type* element = Existing(slot)) return element;
  return FindOne(m_IndexValues, index, nullptr);
}

const XUValue* VQ_BASE_I::IndexValuesInUse(int dimension) const { return dimension == 0 ? &m_IndexValues : nullptr; }

int VQ_BASE_I::NewElements() { return NewElementsOne(m_IndexValues); }

void VQ_BASE_I::CreateMissingArrayElement(const char* indexText) {
  int index = 0;
  const char* p = indexText;
  if (!ReadIndex(p, index, ')')) return;
  Find(index);
}

VQ_BASE_S::VQ_BASE_S() : VQ_Matrix(1, &m_IndexValues) { m_IndexValues.ResetType(XUValue::kStrSet); }
VQ_BASE_S::VQ_BASE_S(const VQ_BASE_S& other) : VQ_Matrix(other), m_IndexValues(other.m_IndexValues) {}
VQ_BASE_S& VQ_BASE_S::operator=(const VQ_BASE_S& other) {
  VQ_Matrix::operator=(other);
  m_IndexValues = other.m_IndexValues;
  return *this;
}
VQ_BASE_S::~VQ_BASE_S() = default;

void VQ_BASE_S::SetDim(VQ_Set& set) {
  CancelDependenceOnDeclaredSets();
  DeclareSet(0, &set);
}

const XUValue* VQ_BASE_S::IndexValuesInUse(int dimension) const { return dimension == 0 ? &m_IndexValues : nullptr; }

VQ_Type* VQ_BASE_S::Find(const char* index) {
  if (index == nullptr) vq_rt::Raise("%s: a null string index", DisplayName().c_str());
  return FindOne(m_IndexValues, 0, index);
}
int VQ_BASE_S::NewElements() { return NewElementsOne(m_IndexValues); }

void VQ_BASE_S::CreateMissingArrayElement(const char* indexText) {
  char buffer[128];
  const char* p = indexText;
  if (!ReadIndex(p, buffer, sizeof buffer, ')')) return;
  Find(buffer);
}

VQ_PortType* VQ_BASE_S::PortAt(int slot) const {
  auto* port = dynamic_cast<VQ_PortType*>(m_Elements[slot]);
  const VQ_Set* set = m_DeclaredSets[0];
  if (port == nullptr || (set != nullptr && !(set->v() >= m_IndexValues.StringAt(slot)))) return nullptr;
  return port;
}

int VQ_BASE_S::PortCount(bool flag) const {
  int count = 0;
  for (int slot = 0; slot < m_Elements.Elements(); ++slot)
    if (VQ_PortType* port = PortAt(slot)) count += port->PortCount(flag);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::PortCount))
    vq_rt::RecordCall(vq_rt::EventKind::PortCount, this).Name(Name()).Numbers(flag ? 1 : 0, count);
  return count;
}

VQ_Type* VQ_BASE_S::GetPort(int& index, bool flag) {
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::GetPort))
    vq_rt::RecordCall(vq_rt::EventKind::GetPort, this).Name(Name()).Numbers(index, flag ? 1 : 0);
  for (int slot = 0; slot < m_Elements.Elements(); ++slot)
    if (VQ_PortType* port = PortAt(slot))
      if (VQ_Type* found = port->GetPort(index, flag)) return found;
  return nullptr;
}
