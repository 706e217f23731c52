#include "vq_array_bases.h"

template <class... Kinds>
VQ_IndexedArrayBase<Kinds...>::VQ_IndexedArrayBase() : VQ_Matrix(kDimensions, &m_IndexValues[0]) {
  for (int k = 0; k < kDimensions; ++k)
    m_IndexValues[k].ResetType(kIsString[k] ? VQ_StrIndex::kSetType : VQ_IntIndex::kSetType);
}

template <class... Kinds>
VQ_IndexedArrayBase<Kinds...>::VQ_IndexedArrayBase(const VQ_IndexedArrayBase& other)
    : VQ_Matrix(other), m_SlotByKey(other.m_SlotByKey), m_Sparse(other.m_Sparse) {
  for (int k = 0; k < kDimensions; ++k) m_IndexValues[k] = other.m_IndexValues[k];
  NoteRanges();
}

template <class... Kinds>
VQ_IndexedArrayBase<Kinds...>& VQ_IndexedArrayBase<Kinds...>::operator=(const VQ_IndexedArrayBase& other) {
  VQ_Matrix::operator=(other);
  for (int k = 0; k < kDimensions; ++k) m_IndexValues[k] = other.m_IndexValues[k];
  m_SlotByKey = other.m_SlotByKey;
  m_Sparse = other.m_Sparse;
  m_Made = 0;
  NoteRanges();
  return *this;
}

template <class... Kinds>
VQ_IndexedArrayBase<Kinds...>::~VQ_IndexedArrayBase() = default;

template <class... Kinds>
const XUValue* VQ_IndexedArrayBase<Kinds...>::IndexValuesInUse(int dimension) const {
  return dimension >= 0 && dimension < kDimensions ? &m_IndexValues[dimension] : nullptr;
}

template <class... Kinds>
void VQ_IndexedArrayBase<Kinds...>::SetDim(std::conditional_t<true, VQ_Set&, Kinds>... sets) {
  CancelDependenceOnDeclaredSets();
  VQ_Set* declared[kDimensions] = {&sets...};
  for (int k = 0; k < kDimensions; ++k) DeclareSet(k, declared[k]);
}

template <class... Kinds>
void VQ_IndexedArrayBase<Kinds...>::BuildIndexString(typename Kinds::Arg... indices) {
  const Index wrapped[kDimensions] = {Wrap(indices)...};
  RecordIndices(wrapped);
}

template <class... Kinds>
void VQ_IndexedArrayBase<Kinds...>::RecordIndices(const Index* indices) {
  for (int k = 0; k < kDimensions; ++k) {
    if (kIsString[k]) AddIndexToString(indices[k].text, k);
    else AddIndexToString(indices[k].number, k);
  }
}

template <class... Kinds>
void VQ_IndexedArrayBase<Kinds...>::NoteRanges() {
  m_AllRanges = m_Elements.Elements() > 0;
  for (int k = 0; k < kDimensions; ++k) {
    m_AllRanges = m_AllRanges && !kIsString[k] && m_IndexValues[k].RunCount() == 1;
    if (!m_AllRanges) return;
    m_Ranges[k] = Range{m_IndexValues[k].RunLow(0), m_IndexValues[k].SetSize()};
  }
}

template <class... Kinds>
void VQ_IndexedArrayBase<Kinds...>::IndicesOfSlot(int slot, const int* sizes, Index* indices) const {
  for (int k = kDimensions - 1, rest = slot; k >= 0; rest /= sizes[k], --k) {
    const int position = rest % sizes[k];
    if (kIsString[k]) indices[k] = Index{0, m_IndexValues[k].String(position)};
    else indices[k] = Index{m_IndexValues[k].Integer(position), nullptr};
  }
}

template <class... Kinds>
std::string VQ_IndexedArrayBase<Kinds...>::Key(const Index* indices) const {
  std::string key;
  for (int k = 0; k < kDimensions; ++k) {
    if (kIsString[k]) key.append(indices[k].text).push_back('\0');
    else key.append(reinterpret_cast<const char*>(&indices[k].number), sizeof(int));
  }
  return key;
}

template <class... Kinds>
bool VQ_IndexedArrayBase<Kinds...>::WouldBeSparse(const Index* indices) const {
  if (m_Elements.Elements() == 0) return false;
  long long slots = 1;
  bool outside = false;
  for (int k = 0; k < kDimensions; ++k) {
    int position = 0;
    const bool held = Holds(k, indices[k], position);
    slots *= m_IndexValues[k].SetSize() + (held ? 0 : 1);
    if (held) continue;
    const VQ_Set* declared = m_DeclaredSets[k];
    const bool inside = declared != nullptr && (kIsString[k] ? (declared->v() >= indices[k].text) != 0
                                                             : (declared->v() >= indices[k].number) != 0);
    outside = outside || !inside;
  }
  return outside && slots > kSparseAbove && slots > 8 * (m_Made + 1);
}

// The elements move to the front of the block, in slot order, each keyed by
// its index values; the empty slots behind them take the next elements.
template <class... Kinds>
void VQ_IndexedArrayBase<Kinds...>::BecomeSparse() {
  std::unordered_map<std::string, int> keys;
  int sizes[kDimensions];
  for (int k = 0; k < kDimensions; ++k) sizes[k] = m_IndexValues[k].SetSize();
  int used = 0;
  for (int slot = 0; slot < m_Elements.Elements(); ++slot) {
    if (m_Elements[slot] == nullptr) continue;
    Index indices[kDimensions];
    IndicesOfSlot(slot, sizes, indices);
    keys.emplace(Key(indices), used++);
  }
  // Nothing below throws: the keys are all made.
  for (int slot = 0, to = 0; slot < m_Elements.Elements(); ++slot)
    if (m_Elements[slot] != nullptr) std::swap(m_Elements[to++], m_Elements[slot]);
  m_SlotByKey.swap(keys);
  m_Sparse = true;
  m_AllRanges = false;
}

template <class... Kinds>
VQ_Type* VQ_IndexedArrayBase<Kinds...>::FindSparse(const Index* indices) {
  std::string key = Key(indices);
  auto found = m_SlotByKey.find(key);
  int slot = found != m_SlotByKey.end() ? found->second : static_cast<int>(m_SlotByKey.size());
  if (slot == m_Elements.Elements()) m_Elements.AddNullEntries(slot, slot, 1);  // one more at the end
  m_CurrentOffset = slot;
  VQ_Type* element = m_Elements[slot];
  if (element != nullptr) return element;
  RecordIndices(indices);
  element = AddElement();
  ++m_Made;
  if (found == m_SlotByKey.end()) m_SlotByKey.emplace(std::move(key), slot);
  return element;
}

template <class... Kinds>
VQ_Type* VQ_IndexedArrayBase<Kinds...>::FindIndices(const Index* indices) {
  // Find has tried the look-up by arithmetic.
  if (m_Sparse) return FindSparse(indices);
  if (m_Elements.Elements() == 0 && LayDeclaredValues()) NoteRanges();
  // Inside the values laid so far the block keeps its shape: only the
  // element is new, as every element of a grid's first pass is.
  if (const int slot = ArithmeticSlot(indices); slot >= 0) return ElementAt(slot, indices);
  // Values that are not one run (a grid's interior, names): an element of
  // values in use is found by their positions, without the growth checks.
  if (const int slot = HeldSlot(indices); slot >= 0) return ElementAt(slot, indices);
  if (WouldBeSparse(indices)) {
    BecomeSparse();
    return FindSparse(indices);
  }
  const bool wasEmpty = m_Elements.Elements() == 0;
  bool grown = false;
  int stride = 1;
  // Last dimension first: when several values are new in one look-up, the
  // dimensions after k already have their new sizes when k grows.
  for (int k = kDimensions - 1; k >= 0; --k) {
    int local = 0;
    int& position = (k == kDimensions - 1) ? m_CurrentOffset : local;
    const bool held = Holds(k, indices[k], position);
    if (!held) {
      m_AllRanges = false;
      if (kIsString[k]) m_IndexValues[k].SetAddAtOffset(indices[k].text, position);
      else m_IndexValues[k].SetAddAtOffset(indices[k].number, position);
      if (!wasEmpty) m_Elements.AddNullEntries(position, m_IndexValues[k].SetSize() - 1, stride);
      grown = true;
    }
    if (k < kDimensions - 1) m_CurrentOffset += local * stride;
    if (k > 0) stride *= m_IndexValues[k].SetSize();
  }
  if (wasEmpty) m_Elements.AddNullEntries(0, 0, m_IndexValues[0].SetSize() * stride);
  if (grown) NoteRanges();
  return ElementAt(m_CurrentOffset, indices);
}

template <class... Kinds>
int VQ_IndexedArrayBase<Kinds...>::HeldSlot(const Index* indices) const {
  if (m_Elements.Elements() == 0) return -1;
  long long slot = 0;
  for (int k = 0; k < kDimensions; ++k) {
    int position = 0;
    if (!Holds(k, indices[k], position)) return -1;
    slot = slot * m_IndexValues[k].SetSize() + position;
  }
  return static_cast<int>(slot);
}

template <class... Kinds>
VQ_Type* VQ_IndexedArrayBase<Kinds...>::ElementAt(int slot, const Index* indices) {
  m_CurrentOffset = slot;
  VQ_Type* element = m_Elements[slot];
  if (element == nullptr) {
    RecordIndices(indices);
    element = AddElement();
    ++m_Made;
  }
  return element;
}

template <class... Kinds>
int VQ_IndexedArrayBase<Kinds...>::NewElements() {
  // Every slot from the last back to the first, each paired with its
  // combination in reverse row-major order. A sparse block has no
  // combination without its element.
  int count = 0;
  if (m_Sparse) return 0;
  int sizes[kDimensions];
  for (int k = 0; k < kDimensions; ++k) sizes[k] = m_IndexValues[k].SetSize();
  for (m_CurrentOffset = m_Elements.Elements() - 1; m_CurrentOffset >= 0;) {
    int slot = m_CurrentOffset;
    if (m_Elements[slot] == nullptr) {
      Index indices[kDimensions];
      IndicesOfSlot(slot, sizes, indices);
      RecordIndices(indices);
      AddElement();
      ++m_Made;
      ++count;
    }
    m_CurrentOffset = slot - 1;
  }
  return count;
}

template <class... Kinds>
void VQ_IndexedArrayBase<Kinds...>::CreateMissingArrayElement(const char* indexText) {
  constexpr size_t kBuffer = 128;
  char texts[kDimensions][kBuffer];
  Index indices[kDimensions];
  const char* cursor = indexText;
  for (int k = 0; k < kDimensions; ++k) {
    const char separator = (k == kDimensions - 1) ? ')' : ',';
    if (kIsString[k]) {
      if (!ReadIndex(cursor, texts[k], kBuffer, separator)) return;
      indices[k] = Index{0, texts[k]};
    } else {
      int number = 0;
      if (!ReadIndex(cursor, number, separator)) return;
      indices[k] = Index{number, nullptr};
    }
  }
  FindIndices(indices);
}

#define BRANTEL_DEFINE_ARRAY_BASE(NAME, ...)                                   \
  template class VQ_IndexedArrayBase<__VA_ARGS__>;                             \
  NAME::NAME() = default;                                                      \
  NAME::NAME(const NAME& other) : VQ_IndexedArrayBase<__VA_ARGS__>(other) {}  \
  NAME& NAME::operator=(const NAME& other) {                                   \
    VQ_IndexedArrayBase<__VA_ARGS__>::operator=(other);                        \
    return *this;                                                              \
  }                                                                            \
  NAME::~NAME() = default;
BRANTEL_ARRAY_BASES(BRANTEL_DEFINE_ARRAY_BASE)
#undef BRANTEL_DEFINE_ARRAY_BASE
