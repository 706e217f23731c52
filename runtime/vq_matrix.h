#pragma once
// Array properties: the element block and the one-dimensional array bases.
#include <cstddef>
#include <string>
#include <vector>

#include "vq_container.h"
#include "vq_memory.h"

// The element block of an array: one slot per combination of index values,
// null where no element exists yet. The block owns its elements.
class KYV_API VQ_LongPtrVectorOwnsData {
 public:
  VQ_LongPtrVectorOwnsData();
  // A copy has as many slots as the source, all empty: elements have one
  // owner.
  VQ_LongPtrVectorOwnsData(const VQ_LongPtrVectorOwnsData& other);
  VQ_LongPtrVectorOwnsData& operator=(const VQ_LongPtrVectorOwnsData& other);
  ~VQ_LongPtrVectorOwnsData();

  int Elements() const { return static_cast<int>(m_Slots.size()); }
  VQ_Type* operator[](int position) const { return m_Slots[static_cast<size_t>(position)]; }
  VQ_Type*& operator[](int position) { return m_Slots[static_cast<size_t>(position)]; }
  // On an empty block, (0, 0, m) makes m empty slots. On a non-empty block
  // the slots are taken as runs of count * stride, and stride empty slots
  // go into every run before its slot position * stride.
  void AddNullEntries(int position, int count, int stride);
  void DestroyAll();

 private:
  using Slots = std::vector<VQ_Type*, vq_rt::ScatteredAllocator<VQ_Type*>>;
  Slots m_Slots;
};

// Base of every array: declared index sets, the block, and the making of
// elements through the array's NewElement.
class KYV_API VQ_Matrix : public VQ_Type {
 public:
  static const char* VQ_ContainerId();
  static constexpr int kMaxDimensions = 4;

  VQ_Matrix(int dimensions, VQ_SetValue* indexValues);
  // A copy has a block of the source's shape and no elements; it declares
  // the same index sets.
  VQ_Matrix(const VQ_Matrix& other);
  VQ_Matrix& operator=(const VQ_Matrix& other);
  ~VQ_Matrix() override;

  virtual VQ_Type* NewElement() = 0;
  virtual int NewElements();
  virtual void CreateMissingArrayElement(const char* indexText);

  int Dimensions() const { return m_Dimensions; }
  VQ_Set* DeclaredSet(int dimension) const;
  void CancelDependenceOnDeclaredSets();
  // Records one index of the element AddElement makes next.
  void AddIndexToString(int index, int dimension);
  void AddIndexToString(const char* index, int dimension);
  // Makes the element of slot m_CurrentOffset through NewElement and stores
  // it there. VQ_Error when NewElement yields nothing, or, while lookups are
  // strict, when an index lies outside its declared set.
  VQ_Type* AddElement();

  // Reads one index and the separator after it, moving the text on; false
  // when the text holds no index followed by that separator. A string index
  // must fit the buffer with its terminating zero.
  static bool ReadIndex(const char*& text, int& target, char separator);
  static bool ReadIndex(const char*& text, char* target, size_t size, char separator);

  // Inspection (host, tests).
  int ElementSlots() const { return m_Elements.Elements(); }
  VQ_Type* ElementAtSlot(int slot) const { return m_Elements[slot]; }
  // The index values of a dimension in use, sorted, in slot order (the
  // last dimension fastest); null when the array keeps none.
  const XUValue* IndexValues(int dimension) const { return IndexValuesInUse(dimension); }
  // The element an index text names ("3)", "2,4)"), made when missing.
  VQ_Type& ElementByText(const char* indexText);
  // The elements whose index values lie outside the declared index sets (none
  // while a dimension has no set declared).
  std::vector<VQ_Type*> ElementsOutsideDeclaredSets() const;
  // Destroys an element this array made, found at its slot or, when the
  // block has grown around it since, wherever it is now.
  void RemoveElement(VQ_Type* element, int slot);

 protected:
  // For the first look-up of an empty block: the values of the declared
  // index sets become the values in use and the block takes all their slots
  // at once, so a pass over a grid does not grow it value by value (each
  // growth of an inner dimension moves every slot). False, and nothing
  // changed, while a dimension has no set, an empty one or one of another
  // kind, or when the block is not empty.
  bool LayDeclaredValues();
  void DeclareSet(int dimension, VQ_Set* set);
  // The index values in use along a dimension, one per position of the
  // block; null where the array does not say.
  virtual const XUValue* IndexValuesInUse(int dimension) const;
  void DependencyGone(VQ_VarParamProp* source) override;
  // The look-up and the filling of a one-dimensional array whose index
  // values are `values`: an integer index when text is null, else a string.
  // The integer array tries an existing element in one run first, inline.
  VQ_Type* FindOne(XUValue& values, int number, const char* text);
  int NewElementsOne(XUValue& values);

  VQ_Set* m_DeclaredSets[kMaxDimensions] = {};
  int m_CurrentOffset = 0;
  VQ_LongPtrVectorOwnsData m_Elements;

 private:
  struct PendingIndex {
    bool isString = false;
    int number = 0;
    std::string text;
  };
  int m_Dimensions;
  // Where the derived array keeps its values in use, from this base; 0 when
  // it does not say.
  std::ptrdiff_t m_IndexValuesOffset = 0;
  PendingIndex m_Pending[kMaxDimensions];
  unsigned m_PendingMask = 0;
};

// While one of these lives, a look-up that would make an element outside
// its array's declared index sets raises VQ_Error instead (equation passes).
class KYV_API VQ_StrictLookups {
 public:
  VQ_StrictLookups();
  ~VQ_StrictLookups();
  VQ_StrictLookups(const VQ_StrictLookups&) = delete;
  VQ_StrictLookups& operator=(const VQ_StrictLookups&) = delete;
  static bool Active();
};

// One-dimensional arrays over an integer set.
class KYV_API VQ_BASE_I : public VQ_Matrix {
 public:
  VQ_BASE_I();
  VQ_BASE_I(const VQ_BASE_I& other);
  VQ_BASE_I& operator=(const VQ_BASE_I& other);
  ~VQ_BASE_I() override;

  void SetDim(VQ_Set& set);
  // The element of index; made when missing. The usual look-up, an element
  // that exists in a set of one run, or in the run of the last look-up or
  // the next, stays inline.
  VQ_Type* Find(int index) {
    int slot = 0;
    if (m_IndexValues.PositionInOneRun(index, slot) || m_IndexValues.PositionNearRun(index, m_LastRun, slot))
      if (VQ_Type* element = Existing(slot)) return element;
    return FindInRuns(index);
  }
  int NewElements() override;
  void CreateMissingArrayElement(const char* indexText) override;

 protected:
  const XUValue* IndexValuesInUse(int dimension) const override;

 private:
  // The element in a slot of the block, now the current one; null for a
  // slot without one.
  VQ_Type* Existing(int slot) {
    if (slot >= m_Elements.Elements()) return nullptr;
    VQ_Type* element = m_Elements[slot];
    if (element != nullptr) m_CurrentOffset = slot;
    return element;
  }
  // An index set of many runs (the interior of collocation elements): the
  // run of the look-up, kept for the next, found afresh when it moves on.
  VQ_Type* FindInRuns(int index);

  VQ_SetValue m_IndexValues;
  size_t m_LastRun = 0;
};

// One-dimensional arrays over a string set.
class KYV_API VQ_BASE_S : public VQ_Matrix {
 public:
  VQ_BASE_S();
  VQ_BASE_S(const VQ_BASE_S& other);
  VQ_BASE_S& operator=(const VQ_BASE_S& other);
  ~VQ_BASE_S() override;

  void SetDim(VQ_Set& set);
  VQ_Type* Find(const char* index);
  int NewElements() override;
  void CreateMissingArrayElement(const char* indexText) override;

  // An array of ports: the ports of its elements whose index lies in the
  // declared set (of every element while none is declared), counted, or
  // walked in index order with VQ_PortType::GetPort's running index.
  int PortCount(bool flag) const;
  VQ_Type* GetPort(int& index, bool flag);

 protected:
  const XUValue* IndexValuesInUse(int dimension) const override;

 private:
  VQ_PortType* PortAt(int slot) const;

  VQ_SetValue m_IndexValues;
};
