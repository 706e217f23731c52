#pragma once
// Set-indexed array bases of two to four dimensions, each dimension indexed
// by integer (I) or string (S) values: VQ_BASE_II to VQ_BASE_SSSS. Elements
// are kept densely, one slot per combination of the values in use, the last
// index fastest, and made when first looked up. One generic implementation,
// VQ_IndexedArrayBase, serves all 28.
//
// A block the user's own indices would blow up (values outside the declared
// index sets making far more combinations than there are elements) is not
// grown: from then on each new element takes the next slot and elements are
// found by their index values, so any number of such indices costs what
// they hold.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "kyvexp.h"

// The index kinds of one dimension.
struct VQ_IntIndex {
  using Arg = int;
  static constexpr bool kIsString = false;
  static constexpr unsigned short kSetType = XUValue::kIntSet;  // 10
};
struct VQ_StrIndex {
  using Arg = const char*;
  static constexpr bool kIsString = true;
  static constexpr unsigned short kSetType = XUValue::kStrSet;  // 13
};

template <class... Kinds>
class VQ_IndexedArrayBase : public VQ_Matrix {
 public:
  static constexpr int kDimensions = sizeof...(Kinds);

  VQ_IndexedArrayBase();
  VQ_IndexedArrayBase(const VQ_IndexedArrayBase& other);
  VQ_IndexedArrayBase& operator=(const VQ_IndexedArrayBase& other);
  ~VQ_IndexedArrayBase() override;

  // Binds the dimensions to their declared index sets, dimension 0 first.
  void SetDim(std::conditional_t<true, VQ_Set&, Kinds>... sets);
  void BuildIndexString(typename Kinds::Arg... indices);
  // The element of a combination of index values; values not in use yet are
  // inserted in their dimension and the block grows in place. The usual
  // look-up of a grid, an element that exists at node ranges, is arithmetic
  // and stays inline.
  VQ_Type* Find(typename Kinds::Arg... indices) {
    const int numbers[kDimensions] = {NumberOf(indices)...};
    if (const int slot = RangeSlot(numbers); slot >= 0) {
      m_CurrentOffset = slot;
      Prefetch(slot);
      return m_Elements[slot];
    }
    const Index wrapped[kDimensions] = {Wrap(indices)...};
    return FindIndices(wrapped);
  }
  int NewElements() override;
  void CreateMissingArrayElement(const char* indexText) override;

 protected:
  const XUValue* IndexValuesInUse(int dimension) const override;

  VQ_SetValue m_IndexValues[kDimensions];

 private:
  struct Index {
    int number;
    const char* text;
  };
  static constexpr bool kIsString[kDimensions] = {Kinds::kIsString...};
  static Index Wrap(int number) { return Index{number, nullptr}; }
  static Index Wrap(const char* text) { return Index{0, text}; }
  static int NumberOf(int number) { return number; }
  static int NumberOf(const char*) { return 0; }
  VQ_Type* FindIndices(const Index* indices);
  // The element at a slot, made for these indices if the slot is empty.
  VQ_Type* ElementAt(int slot, const Index* indices);
  // The slot of a combination whose every index lies in a dimension held as
  // one run of integers, found by arithmetic alone; -1 otherwise.
  // `numbers` holds each dimension's integer index (0 for a string one).
  int ArithmeticSlot(const int* numbers) const {
    if (!m_AllRanges) return -1;
    std::uint64_t slot = 0;
    for (int k = 0; k < kDimensions; ++k) {
      // Below the range the difference wraps far above its size: one test.
      const auto position = static_cast<std::uint64_t>(static_cast<long long>(numbers[k]) - m_Ranges[k].low);
      if (position >= static_cast<std::uint64_t>(m_Ranges[k].size)) return -1;
      slot = slot * static_cast<std::uint64_t>(m_Ranges[k].size) + position;
    }
    return static_cast<int>(slot);
  }
  int ArithmeticSlot(const Index* indices) const {
    int numbers[kDimensions];
    for (int k = 0; k < kDimensions; ++k) numbers[k] = indices[k].number;
    return ArithmeticSlot(numbers);
  }
  // The same for a combination whose element exists.
  int RangeSlot(const int* numbers) const {
    const int slot = ArithmeticSlot(numbers);
    return slot >= 0 && m_Elements[slot] != nullptr ? slot : -1;
  }
  // Fetches the slot a few look-ups ahead when the look-ups keep one stride.
  // A walk along one axis of a grid reads slots a fixed stride apart, far
  // apart for an outer dimension: the slots a few steps ahead are fetched
  // while the rows between are made. Repeated look-ups of one slot keep the
  // stride.
  void Prefetch(int slot) {
    const int step = slot - m_LastSlot;
    m_LastSlot = slot;
    if (step == 0) return;
    if (step == m_Stride) {
      const long long ahead = slot + 4LL * step;
      if (ahead >= 0 && ahead < m_Elements.Elements()) __builtin_prefetch(&m_Elements[static_cast<int>(ahead)]);
    }
    m_Stride = step;
  }
  // Notes which dimensions are one run of integers, after their values change.
  void NoteRanges();
  void RecordIndices(const Index* indices);
  // Whether dimension k holds the index value, and its position there (or
  // where it would go).
  bool Holds(int k, const Index& index, int& position) const {
    return kIsString[k] ? m_IndexValues[k].SetContains(index.text, position)
                        : m_IndexValues[k].SetContains(index.number, position);
  }
  // The slot of a combination whose every value each dimension holds
  // already; -1 otherwise.
  int HeldSlot(const Index* indices) const;
  // The index values of a slot of a dense block whose dimensions hold `sizes` values.
  void IndicesOfSlot(int slot, const int* sizes, Index* indices) const;
  // Whether adding these index values would make a block of mostly empty
  // slots for values outside the declared sets.
  bool WouldBeSparse(const Index* indices) const;
  std::string Key(const Index* indices) const;
  void BecomeSparse();
  VQ_Type* FindSparse(const Index* indices);

  static constexpr long long kSparseAbove = 1 << 20;  // slots
  std::unordered_map<std::string, int> m_SlotByKey;  // once sparse
  bool m_Sparse = false;
  long long m_Made = 0;  // elements made through this array

  struct Range {
    int low;
    int size;
  };
  Range m_Ranges[kDimensions] = {};
  bool m_AllRanges = false;
  int m_LastSlot = 0;  // of the last look-up by arithmetic
  int m_Stride = 0;    // between the last two different slots
};

#define BRANTEL_ARRAY_BASES(X)                                                   \
  X(VQ_BASE_II, VQ_IntIndex, VQ_IntIndex)                                        \
  X(VQ_BASE_IS, VQ_IntIndex, VQ_StrIndex)                                        \
  X(VQ_BASE_SI, VQ_StrIndex, VQ_IntIndex)                                        \
  X(VQ_BASE_SS, VQ_StrIndex, VQ_StrIndex)                                        \
  X(VQ_BASE_III, VQ_IntIndex, VQ_IntIndex, VQ_IntIndex)                          \
  X(VQ_BASE_IIS, VQ_IntIndex, VQ_IntIndex, VQ_StrIndex)                          \
  X(VQ_BASE_ISI, VQ_IntIndex, VQ_StrIndex, VQ_IntIndex)                          \
  X(VQ_BASE_ISS, VQ_IntIndex, VQ_StrIndex, VQ_StrIndex)                          \
  X(VQ_BASE_SII, VQ_StrIndex, VQ_IntIndex, VQ_IntIndex)                          \
  X(VQ_BASE_SIS, VQ_StrIndex, VQ_IntIndex, VQ_StrIndex)                          \
  X(VQ_BASE_SSI, VQ_StrIndex, VQ_StrIndex, VQ_IntIndex)                          \
  X(VQ_BASE_SSS, VQ_StrIndex, VQ_StrIndex, VQ_StrIndex)                          \
  X(VQ_BASE_IIII, VQ_IntIndex, VQ_IntIndex, VQ_IntIndex, VQ_IntIndex)            \
  X(VQ_BASE_IIIS, VQ_IntIndex, VQ_IntIndex, VQ_IntIndex, VQ_StrIndex)            \
  X(VQ_BASE_IISI, VQ_IntIndex, VQ_IntIndex, VQ_StrIndex, VQ_IntIndex)            \
  X(VQ_BASE_IISS, VQ_IntIndex, VQ_IntIndex, VQ_StrIndex, VQ_StrIndex)            \
  X(VQ_BASE_ISII, VQ_IntIndex, VQ_StrIndex, VQ_IntIndex, VQ_IntIndex)            \
  X(VQ_BASE_ISIS, VQ_IntIndex, VQ_StrIndex, VQ_IntIndex, VQ_StrIndex)            \
  X(VQ_BASE_ISSI, VQ_IntIndex, VQ_StrIndex, VQ_StrIndex, VQ_IntIndex)            \
  X(VQ_BASE_ISSS, VQ_IntIndex, VQ_StrIndex, VQ_StrIndex, VQ_StrIndex)            \
  X(VQ_BASE_SIII, VQ_StrIndex, VQ_IntIndex, VQ_IntIndex, VQ_IntIndex)            \
  X(VQ_BASE_SIIS, VQ_StrIndex, VQ_IntIndex, VQ_IntIndex, VQ_StrIndex)            \
  X(VQ_BASE_SISI, VQ_StrIndex, VQ_IntIndex, VQ_StrIndex, VQ_IntIndex)            \
  X(VQ_BASE_SISS, VQ_StrIndex, VQ_IntIndex, VQ_StrIndex, VQ_StrIndex)            \
  X(VQ_BASE_SSII, VQ_StrIndex, VQ_StrIndex, VQ_IntIndex, VQ_IntIndex)            \
  X(VQ_BASE_SSIS, VQ_StrIndex, VQ_StrIndex, VQ_IntIndex, VQ_StrIndex)            \
  X(VQ_BASE_SSSI, VQ_StrIndex, VQ_StrIndex, VQ_StrIndex, VQ_IntIndex)            \
  X(VQ_BASE_SSSS, VQ_StrIndex, VQ_StrIndex, VQ_StrIndex, VQ_StrIndex)

#define BRANTEL_DECLARE_ARRAY_BASE(NAME, ...)                   \
  extern template class VQ_IndexedArrayBase<__VA_ARGS__>;       \
  class NAME : public VQ_IndexedArrayBase<__VA_ARGS__> {        \
   public:                                                      \
    NAME();                                                     \
    NAME(const NAME& other);                                    \
    NAME& operator=(const NAME& other);                         \
    ~NAME() override;                                           \
  };
BRANTEL_ARRAY_BASES(BRANTEL_DECLARE_ARRAY_BASE)
#undef BRANTEL_DECLARE_ARRAY_BASE
