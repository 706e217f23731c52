#pragma once
// Values of the runtime: scalars, integer and string sets, the tagged value
// handed to Assign and InitialiseInternalIndexSet, and set iterators.
#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "vq_api.h"

// A value of any kind the runtime holds: an integer, a real, a string, a
// logical, or a set of integers or of strings. Integer sets are kept as
// sorted runs of consecutive values, so a node range costs one run; string
// sets are sorted without regard to letter case, and membership ignores case.
class KYV_API XUValue {
 public:
  enum : unsigned short {
    kNone = 0,
    kInteger = 2,
    kReal = 4,
    kString = 5,
    kLogical = 6,
    kSet = 8,      // a set whose element kind is fixed by its first element
    kIntSet = 10,
    kStrSet = 13,
  };

  XUValue();
  explicit XUValue(unsigned short type);
  XUValue(const XUValue& other);
  XUValue& operator=(const XUValue& other);
  virtual ~XUValue();

  unsigned short Type() const { return m_Type; }
  bool IsSet() const { return m_Type == kSet || m_Type == kIntSet || m_Type == kStrSet; }
  // Empties the value and gives it the type.
  void ResetType(unsigned short type);
  // Empties a set, keeping its type.
  void Clear(int unused);

  // Scalars.
  void SetInteger(int value);
  void SetReal(double value);
  void SetString(const char* value);
  void SetLogical(bool value);
  int AsInteger() const;
  double AsReal() const;
  const char* AsString() const;
  bool AsLogical() const;
  operator const char*() const { return AsString(); }

  // Sets.
  XUValue& operator+=(int element);
  XUValue& operator+=(const char* element);
  XUValue& operator+=(const XUValue& other);  // union in place
  XUValue& operator*=(const XUValue& other);  // intersection in place
  int operator>=(const char* element) const;  // 1 when held, else 0
  int operator>=(int element) const;
  // 0 when the two strings are equal ignoring ASCII letter case.
  static int CompareCI(const char* a, const char* b);

  // Position queries: non-zero when held; `position` is the value's position,
  // or the position at which it belongs when absent.
  int SetContains(int value, int& position) const;
  int SetContains(const char* value, int& position) const;
  // Inserts an absent value at the position SetContains reported.
  void SetAddAtOffset(int value, int position);
  void SetAddAtOffset(const char* value, int position);
  int SetSize() const;
  int IntegerAt(int position) const;
  const char* StringAt(int position) const;

  // The position of a value in an integer set held as one run, found by
  // arithmetic (the usual node range); false when the set is not one run
  // or does not hold the value.
  bool PositionInOneRun(int value, int& position) const {
    if (m_Type != kIntSet || m_Runs.size() != 1 || value < m_Runs[0].lo || value > m_Runs[0].hi) return false;
    position = static_cast<int>(static_cast<long long>(value) - m_Runs[0].lo);
    return true;
  }
  // The same in run `run` of an integer set of any number of runs, or in
  // the run after it: a walk that looked up a value in one run looks up the
  // next value there or in the next run. On success `run` is where it lay.
  bool PositionNearRun(int value, size_t& run, int& position) const {
    if (m_Type != kIntSet) return false;
    for (size_t r = run; r < run + 2 && r < m_Runs.size(); ++r)
      if (value >= m_Runs[r].lo && value <= m_Runs[r].hi) {
        position = static_cast<int>(RunStart(r) + (static_cast<long long>(value) - m_Runs[r].lo));
        run = r;
        return true;
      }
    return false;
  }
  // The run that holds a value of an integer set; false when none does.
  bool RunHolding(int value, size_t& run) const;

  // Integer runs (inspection): run i holds RunLow(i) to RunHigh(i).
  int RunCount() const;
  int RunLow(int run) const;
  int RunHigh(int run) const;

  bool Equals(const XUValue& other) const;
  void Swap(XUValue& other) noexcept;

 protected:
  // Replaces the contents with the one run lo to hi (lo <= hi).
  void SetToRange(int lo, int hi);

 private:
  struct Run {
    int lo;
    int hi;
  };
  // The runs of an integer set. Most sets are one run (a node range, a loop
  // of a walk): that one is kept in place, without the heap; more go there.
  class RunList {
   public:
    RunList() = default;
    RunList(const RunList& other) { Append(other.begin(), other.end()); }
    RunList(RunList&& other) noexcept { Take(other); }
    RunList& operator=(const RunList& other) {
      if (this != &other) {
        m_Size = 0;
        Append(other.begin(), other.end());
      }
      return *this;
    }
    RunList& operator=(RunList&& other) noexcept {
      if (this != &other) {
        Release();
        Take(other);
      }
      return *this;
    }
    ~RunList() { Release(); }

    Run* begin() { return m_Data; }
    Run* end() { return m_Data + m_Size; }
    const Run* begin() const { return m_Data; }
    const Run* end() const { return m_Data + m_Size; }
    size_t size() const { return m_Size; }
    bool empty() const { return m_Size == 0; }
    Run& operator[](size_t i) { return m_Data[i]; }
    const Run& operator[](size_t i) const { return m_Data[i]; }
    const Run& at(size_t i) const {
      if (i >= m_Size) throw std::out_of_range("no run " + std::to_string(i));
      return m_Data[i];
    }
    Run& front() { return m_Data[0]; }
    const Run& front() const { return m_Data[0]; }
    Run& back() { return m_Data[m_Size - 1]; }
    const Run& back() const { return m_Data[m_Size - 1]; }
    void clear() { m_Size = 0; }
    void push_back(const Run& run) {
      Reserve(m_Size + 1);
      m_Data[m_Size++] = run;
    }
    void Append(const Run* first, const Run* last) {
      const size_t count = static_cast<size_t>(last - first);
      Reserve(m_Size + count);
      for (size_t i = 0; i < count; ++i) m_Data[m_Size + i] = first[i];
      m_Size += count;
    }
    Run* insert(Run* at, const Run& run) {
      const size_t k = static_cast<size_t>(at - m_Data);
      Reserve(m_Size + 1);
      for (size_t i = m_Size; i > k; --i) m_Data[i] = m_Data[i - 1];
      m_Data[k] = run;
      ++m_Size;
      return m_Data + k;
    }
    Run* erase(Run* at) {
      for (Run* next = at + 1; next != end(); ++next) next[-1] = *next;
      --m_Size;
      return at;
    }
    void swap(RunList& other) noexcept {
      RunList held(static_cast<RunList&&>(other));
      other = static_cast<RunList&&>(*this);
      *this = static_cast<RunList&&>(held);
    }
    void Reserve(size_t count) {
      if (count <= m_Capacity) return;
      const size_t capacity = count > 2 * m_Capacity ? count : 2 * m_Capacity;
      Run* data = new Run[capacity];
      for (size_t i = 0; i < m_Size; ++i) data[i] = m_Data[i];
      Release();
      m_Data = data;
      m_Capacity = capacity;
    }

   private:
    void Release() {
      if (m_Data != &m_One) delete[] m_Data;
      m_Data = &m_One;
      m_Capacity = 1;
    }
    // Leaves `other` empty and in place.
    void Take(RunList& other) {
      m_Size = other.m_Size;
      if (other.m_Data == &other.m_One) {
        m_One = other.m_One;
      } else {
        m_Data = other.m_Data;
        m_Capacity = other.m_Capacity;
        other.m_Data = &other.m_One;
        other.m_Capacity = 1;
      }
      other.m_Size = 0;
    }
    Run m_One{0, 0};
    Run* m_Data = &m_One;
    size_t m_Size = 0;
    size_t m_Capacity = 1;
  };
  void RequireIntSet(const char* operation);
  void RequireStrSet(const char* operation);
  // Recounts the elements before each run from run `from` on.
  void Reindex(size_t from);
  long long SizeLL() const;
  int FindStr(const char* value, bool& found) const;

  unsigned short m_Type;
  bool m_Bool;
  int m_Int;
  double m_Real;
  std::string m_Str;
  RunList m_Runs;
  // Elements before each run but the first, which has none: a set of one
  // run, as most a walk loops over, keeps no list of them.
  std::vector<long long> m_RunStart;
  long long RunStart(size_t run) const { return run == 0 ? 0 : m_RunStart[run - 1]; }
  std::vector<std::string> m_Strs;
};

// A set value.
class KYV_API VQ_SetValue : public XUValue {
 public:
  VQ_SetValue();  // a set whose kind its first element decides
  explicit VQ_SetValue(unsigned short type);
  VQ_SetValue(const VQ_SetValue& other);
  explicit VQ_SetValue(const XUValue& other);
  VQ_SetValue& operator=(const VQ_SetValue& other);
  ~VQ_SetValue() override;
  int Integer(int position) const { return IntegerAt(position); }
  const char* String(int position) const { return StringAt(position); }
};

// Marks the one-element constructor of VQ_IntSetValue.
struct VQ_OneElement {};

// An integer set value.
class KYV_API VQ_IntSetValue : public VQ_SetValue {
 public:
  VQ_IntSetValue();
  // The range lo to hi; empty when lo is greater than hi. An upper bound of
  // INT_MIN is the model libraries' idiom for the one-element set {lo}.
  VQ_IntSetValue(int lo, int hi);
  // The one-element set {element}.
  VQ_IntSetValue(VQ_OneElement, int element);
  // A null text is the empty set; otherwise a comma-separated list of
  // integers and ranges "a..b".
  explicit VQ_IntSetValue(const char* text);
  VQ_IntSetValue(const VQ_SetValue& other);
  VQ_IntSetValue(const VQ_IntSetValue& other);
  VQ_IntSetValue& operator=(const VQ_IntSetValue& other);
  ~VQ_IntSetValue() override;
};

// A string set value. The text lists the elements, each followed by one
// double-quote character; text after the last quote is a last element.
class KYV_API VQ_StrSetValue : public VQ_SetValue {
 public:
  VQ_StrSetValue();
  explicit VQ_StrSetValue(const char* text);
  VQ_StrSetValue(const VQ_SetValue& other);
  VQ_StrSetValue(const VQ_StrSetValue& other);
  VQ_StrSetValue& operator=(const VQ_StrSetValue& other);
  ~VQ_StrSetValue() override;
};

// The value of one assignment: the value itself with the two assignment tags
// and the statement's ordinal, or, in the short form, with a flags word.
class KYV_API VQ_Value {
 public:
  VQ_Value(int value, unsigned int b, unsigned int a, int ordinal);
  VQ_Value(double value, unsigned int b, unsigned int a, int ordinal);
  VQ_Value(const char* value, unsigned int b, unsigned int a, int ordinal);
  VQ_Value(const VQ_SetValue& value, unsigned int b, unsigned int a, int ordinal);
  VQ_Value(const XUValue& value, unsigned int b, unsigned int a, int ordinal);
  VQ_Value(int value, unsigned int flags);
  VQ_Value(double value, unsigned int flags);
  VQ_Value(const char* value, unsigned int flags);
  VQ_Value(const VQ_SetValue& value, unsigned int flags);
  VQ_Value(const VQ_Value& other);
  VQ_Value& operator=(const VQ_Value& other);
  ~VQ_Value();

  const XUValue& Value() const { return m_Value; }
  unsigned int TagB() const { return m_B; }
  unsigned int TagA() const { return m_A; }
  int Ordinal() const { return m_Ordinal; }
  unsigned int Flags() const { return m_Flags; }
  bool IsShortForm() const { return m_Short; }

 private:
  XUValue m_Value;
  unsigned int m_B = 0;
  unsigned int m_A = 0;
  int m_Ordinal = 0;
  unsigned int m_Flags = 0;
  bool m_Short = false;
};

// Walks a set in ascending order. It keeps a copy of what it walks, so the
// set it was built from may be destroyed before the first step.
class KYV_API VQ_SetIter {
 public:
  explicit VQ_SetIter(const XUValue& set);
  // Takes the set over: a loop over a set made for it copies nothing.
  explicit VQ_SetIter(XUValue&& set);
  VQ_SetIter(const VQ_SetIter& other);
  VQ_SetIter& operator=(const VQ_SetIter& other);
  virtual ~VQ_SetIter();
  // Moves to the next element; false when there is none. Inside a run it
  // only counts up, inline, as the walks of a grid take it per node.
  bool Next() {
    if (m_Current < m_RunEnd) {
      ++m_Current;
      return true;
    }
    return NextRun();
  }
  int Integer() const { return static_cast<int>(m_Current); }
  const char* String() const;

 private:
  // Starts the first or the next run (a string set is one run of
  // positions); false past the last.
  bool NextRun();

  XUValue m_Set;
  int m_Run = -1;
  long long m_Current = 0;
  long long m_RunEnd = LLONG_MIN;  // the last element of the current run
  bool m_Done = false;
};

class KYV_API VQ_IntegerSetIter : public VQ_SetIter {
 public:
  explicit VQ_IntegerSetIter(const VQ_IntSetValue& set);
  explicit VQ_IntegerSetIter(VQ_IntSetValue&& set);
  explicit VQ_IntegerSetIter(const XUValue& set);
  VQ_IntegerSetIter(const VQ_IntegerSetIter& other);
  ~VQ_IntegerSetIter() override;
  // The current element; both accessors give the same value.
  int v() const { return Integer(); }
  int fv() const { return Integer(); }
};

class KYV_API VQ_StringSetIter : public VQ_SetIter {
 public:
  explicit VQ_StringSetIter(const XUValue& set);
  VQ_StringSetIter(const VQ_StringSetIter& other);
  ~VQ_StringSetIter() override;
  const char* v() const { return String(); }
  const char* fv() const { return String(); }
};
