#pragma once
// What the runtime keeps of a container's equations: the counting records,
// the emitted streams, and the results its base operations give.
//
// Host and tests read these; the model library never touches them.
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "vq_chunks.h"
#include "vq_container.h"
#include "vq_memory.h"
#include "vq_stream.h"

namespace vq_rt {

// A run of SetGroupLimits and the AddNonZero calls after it: in the counting
// pass of a distribution, one counted equation. Its references run up to the
// next one's first. Given back by value from CountedEquations.
struct CountedEquation {
  int group;
  uint64_t firstReference;
  uint32_t position;  // its place among the counted equations
};

// What makes an equation a procedure equation: its tokens are the
// references of its Jacobian row, and the procedure gives its residual and
// row (output `output`, 1 upwards). Kept apart, as few equations have one.
struct ProcedureExpression {
  VQ_ProcedureType* procedure;
  int output;
  uint32_t equation;  // its place among the emitted equations
};

// One emitted equation as EmittedEquations gives it back, by value: its
// tokens run up to the next one's first, and its procedure, if any, is looked
// up apart.
struct EmittedEquation {
  uint32_t nameId;
  bool hasProcedure;
  int group;
  int index;  // the counter value AddEquation received
  uint64_t firstToken;
  uint32_t position;  // its place among the emitted equations
};

// Walks a list of records that gives each back by value.
template <class List, class Record>
class RecordIterator {
 public:
  RecordIterator(const List& list, size_t at) : m_List(&list), m_At(at) {}
  Record operator*() const { return (*m_List)[m_At]; }
  RecordIterator& operator++() {
    ++m_At;
    return *this;
  }
  bool operator!=(const RecordIterator& other) const { return m_At != other.m_At; }

 private:
  const List* m_List;
  size_t m_At;
};

// What the lists of records both give: the last record, a bounds-checked
// one, and a walk over all, each by value.
template <class List, class Record>
class RecordReading {
 public:
  Record at(size_t k) const {
    if (k >= Self().size()) throw std::out_of_range("no equation " + std::to_string(k));
    return Self()[k];
  }
  Record back() const { return Self()[Self().size() - 1]; }
  RecordIterator<List, Record> begin() const { return {Self(), 0}; }
  RecordIterator<List, Record> end() const { return {Self(), Self().size()}; }

 private:
  const List& Self() const { return static_cast<const List&>(*this); }
};

// The equations of one pass in the order they were made: an offset each
// (where its tokens or references begin), and the group and counter, which
// change seldom along a pass, once per run of equations in the same group
// whose counter values follow one another. A grid makes millions of
// equations, so what each takes is what a model of many nodes holds: the
// low 32 bits of its offset, the rest kept once per run, as a stream of a
// large grid passes 2^32 positions.
class KYV_API EquationRuns {
 public:
  void clear();
  void reserve(size_t equations) { m_Offsets.Reserve(equations); }
  size_t size() const { return m_Offsets.Size(); }
  bool empty() const { return m_Offsets.Size() == 0; }
  void Append(int group, int index, uint64_t offset) {
    if (!Continues(group, index, offset)) [[unlikely]]
      StartRun(group, index, High(offset));
    m_LastIndex = index;
    m_Offsets.Push(static_cast<uint32_t>(offset));
  }
  // An equation whose counter is its place: a run ends only where the
  // group or the offsets' upper half changes.
  void AppendInGroup(int group, uint64_t offset) {
    if (!Continues(group, offset)) [[unlikely]]
      StartRun(group, static_cast<int>(m_Offsets.Size()), High(offset));
    m_Offsets.Push(static_cast<uint32_t>(offset));
  }
  // The quick paths of the two: an equation that continues the last run,
  // where the list has room for it. False, appending nothing, otherwise.
  bool AppendToRun(int group, int index, uint64_t offset) {
    if (!Continues(group, index, offset) || !m_Offsets.PushIfRoom(static_cast<uint32_t>(offset))) return false;
    m_LastIndex = index;
    return true;
  }
  bool AppendToRunInGroup(int group, uint64_t offset) {
    return Continues(group, offset) && m_Offsets.PushIfRoom(static_cast<uint32_t>(offset));
  }
  // What an equation (below size()) was given, from its run found once.
  struct Entry {
    int group;
    int index;
    uint64_t offset;
  };
  Entry At(size_t equation) const {
    const Run& run = RunOf(equation);
    return Entry{run.group, run.firstIndex + static_cast<int>(equation - run.first),
                 (uint64_t{run.high} << 32) | m_Offsets.At(equation)};
  }
  uint64_t Offset(size_t equation) const { return At(equation).offset; }
  int Group(size_t equation) const { return At(equation).group; }
  int Index(size_t equation) const { return At(equation).index; }
  // Where the entries of equation `equation` end: the next one's offset, or
  // `total` after the last.
  uint64_t End(size_t equation, uint64_t total) const {
    return equation + 1 < m_Offsets.Size() ? Offset(equation + 1) : total;
  }
  // VQ_Error unless `position` and `offset` name an equation of this list.
  void Check(uint32_t position, uint64_t offset) const;

 private:
  struct Run {
    size_t first;  // the first equation of the run
    int group;
    int firstIndex;
    uint32_t high;  // the upper half of its equations' offsets
  };
  static uint32_t High(uint64_t offset) { return static_cast<uint32_t>(offset >> 32); }
  bool Continues(int group, uint64_t offset) const {
    return !m_Runs.empty() && group == m_Runs.back().group && High(offset) == m_Runs.back().high;
  }
  // And its counter follows the last one's.
  bool Continues(int group, int index, uint64_t offset) const {
    return Continues(group, offset) && index == static_cast<long long>(m_LastIndex) + 1;
  }
  void StartRun(int group, int index, uint32_t high);
  const Run& RunOf(size_t equation) const;

  WordChunks m_Offsets;
  std::vector<Run> m_Runs;
  int m_LastIndex = 0;
};

// The counting pass's equations: the group of each and where its
// registered references begin.
class KYV_API CountedEquations : public RecordReading<CountedEquations, CountedEquation> {
 public:
  void clear() { m_Runs.clear(); }
  size_t size() const { return m_Runs.size(); }
  bool empty() const { return m_Runs.empty(); }
  // The counter of a counted equation is its place, so a run ends only
  // where the group or the offsets' upper half changes.
  void push_back(int group, uint64_t firstReference) { m_Runs.AppendInGroup(group, firstReference); }
  bool PushToRun(int group, uint64_t firstReference) { return m_Runs.AppendToRunInGroup(group, firstReference); }
  CountedEquation operator[](size_t k) const {
    const EquationRuns::Entry entry = m_Runs.At(k);
    return CountedEquation{entry.group, entry.offset, static_cast<uint32_t>(k)};
  }
  const EquationRuns& Runs() const { return m_Runs; }

 private:
  EquationRuns m_Runs;
};

// The emission pass's equations: besides their runs, the name of each in
// two bytes while a model has fewer names than that holds, and the
// procedure expressions of those that have one.
class KYV_API EmittedEquations : public RecordReading<EmittedEquations, EmittedEquation> {
 public:
  void clear();
  void reserve(size_t equations);
  size_t size() const { return m_Runs.size(); }
  bool empty() const { return m_Runs.empty(); }
  void Append(uint32_t nameId, int group, int index, uint64_t firstToken) {
    m_Runs.Append(group, index, firstToken);
    if (nameId < kWide && m_WideNames.empty()) [[likely]]
      m_Names.push_back(static_cast<uint16_t>(nameId));
    else
      AppendWideName(nameId);
  }
  // The quick path of Append: false, appending nothing, where the
  // equation starts a run, its name is wide or a list must grow.
  bool AppendToRun(uint32_t nameId, int group, int index, uint64_t firstToken) {
    if (nameId >= kWide || !m_WideNames.empty() || m_Names.size() == m_Names.capacity() ||
        !m_Runs.AppendToRun(group, index, firstToken))
      return false;
    m_Names.push_back(static_cast<uint16_t>(nameId));
    return true;
  }
  // The last equation is a procedure equation of output `output`.
  void MarkProcedure(VQ_ProcedureType* procedure, int output) {
    m_Procedures.push_back(ProcedureExpression{procedure, output, static_cast<uint32_t>(size() - 1)});
  }
  // Null for an equation of tokens only.
  const ProcedureExpression* ProcedureAt(size_t k) const;
  EmittedEquation operator[](size_t k) const;
  const EquationRuns& Runs() const { return m_Runs; }

 private:
  static constexpr uint32_t kWide = 0xFFFF;
  void AppendWideName(uint32_t nameId);

  EquationRuns m_Runs;
  // Reserved for the count the counting pass gives: chunks would make a
  // list of a small model a huge page.
  std::vector<uint16_t, ScatteredAllocator<uint16_t>> m_Names;
  std::vector<uint32_t> m_WideNames;  // every name, once one does not fit two bytes
  std::vector<ProcedureExpression> m_Procedures;  // in the order of their equations
};

// What a counting pass keeps of the variables it registered: how many, and
// the digest of them in order where each equation ends (see
// reference_digest), so that the emission pass is checked against it
// equation by equation without a record of every reference.
class KYV_API ReferenceDigest {
 public:
  void clear() {
    m_Count = 0;
    m_Digest = reference_digest::kEmpty;
    m_Ends.Clear();
  }
  size_t size() const { return m_Count; }
  uint64_t Digest() const { return m_Digest; }
  // The next references belong to a new equation.
  void StartEquation() {
    m_Ends.Push(reference_digest::Kept(m_Digest));
    m_Digest = reference_digest::WithEquation(m_Digest);
  }
  // Its quick path: whether StartEquationInRoom may be called, which then
  // grows nothing.
  bool HasRoomToStart() const { return m_Ends.HasRoom(); }
  void StartEquationInRoom() {
    m_Ends.PushIfRoom(reference_digest::Kept(m_Digest));
    m_Digest = reference_digest::WithEquation(m_Digest);
  }
  void Add(int column) {
    m_Digest = reference_digest::WithReference(m_Digest, column);
    ++m_Count;
  }
  // What is kept of the digest where the equation-th equation counted
  // (from 0) ends.
  uint32_t KeptEnd(size_t equation) const {
    return equation + 1 < m_Ends.Size() ? m_Ends.At(equation + 1) : reference_digest::Kept(m_Digest);
  }

 private:
  size_t m_Count = 0;
  uint64_t m_Digest = reference_digest::kEmpty;
  WordChunks m_Ends;  // each equation's start: where the one before ends
};

// A procedure call registered by AddProcCall.
struct ProcCall {
  VQ_ProcedureType* procedure;
  int group;
};

// Results the runtime's base operations give, for tests of the frames.
struct BaseResults {
  bool overrideAssignments = false;
  long assignments = 0;
  bool overrideSetUp = false;
  int setUp = 0;
  bool overrideJacPattern = false;
  int jacPattern = 0;
};

struct KYV_API ContainerState {
  ContainerState();
  ~ContainerState();
  ContainerState(const ContainerState&) = delete;
  ContainerState& operator=(const ContainerState&) = delete;

  const char* EquationName(const EmittedEquation& equation) const { return names[equation.nameId].c_str(); }
  // An equation starts with no tokens, at the stream's end.
  void StartEquation(uint32_t nameId, int group, int index) {
    emitted.Append(nameId, group, index, stream.Size());
    stream.StartEquation();
    openEquation = index;
  }
  // These take an equation of `emitted` or `counted`.
  size_t TokenCount(const EmittedEquation& equation) const;
  // The positions of the stream an equation's tokens lie in, from its
  // firstToken on: what readers of the stream take.
  size_t StreamLength(const EmittedEquation& equation) const;
  size_t ReferenceCount(const CountedEquation& equation) const;
  // Null for an equation of tokens only.
  const ProcedureExpression* ProcedureOf(const EmittedEquation& equation) const;
  uint32_t InternName(const char* name);
  // The entry of a name InternName found lately by its literal's address;
  // false where it is not among them.
  bool RecentNameId(const char* name, uint32_t& index) const {
    const RecentName& recent = recentNames[RecentNameSlot(name)];
    index = recent.index;
    return recent.key == name;
  }
  // By text only: for names that do not outlive their equation object.
  uint32_t InternNameText(const char* name);

  // Counting pass. The records of a grid run to hundreds of megabytes: on
  // huge pages a first pass faults once per 2 MB of them, not per 4 KB.
  CountedEquations counted;
  ReferenceDigest countedReferences;
  bool countOpen = false;
  int localEqnCount = 0;
  bool localEqnCountSet = false;
  std::string countRefusal;  // why the last counting pass refused, if it did

  // Emission pass.
  Stream stream;
  EmittedEquations emitted;
  // The index of the last of them, beside it so that a term's test of its
  // equation reads no record; never an int while none is.
  static constexpr long long kNoEquationOpen = LLONG_MIN;
  long long openEquation = kNoEquationOpen;
  std::vector<std::string> names;
  std::vector<const char*> nameKeys;
  // The entries InternName found last, by a hash of the literal's address:
  // the rows of a grid take their names by turns from a few literals.
  struct RecentName {
    const char* key = nullptr;
    uint32_t index = 0;
  };
  static constexpr int kRecentNameBits = 6;
  static size_t RecentNameSlot(const char* name) {
    return (reinterpret_cast<std::uintptr_t>(name) * 0x9E3779B97F4A7C15ull) >> (64 - kRecentNameBits);
  }
  RecentName recentNames[1 << kRecentNameBits];
  // A reference's column where it is known without a search: by the
  // variable's address, or, for one off the heap, where it is the last such
  // one met (a grid's rows refer to their section's step h time and again).
  // -1 otherwise.
  int KnownColumn(const VQ_VarParam& reference) const {
    const int pooled = PooledColumn(&reference);
    if (pooled >= 0) [[likely]]
      return pooled;
    return lastSingle.object == &reference &&
                   lastSingle.forgotten == g_singleColumnsForgotten.load(std::memory_order_relaxed)
               ? lastSingle.column
               : -1;
  }
  // The whole paths': a reference's column, given where it has none yet,
  // and remembered for KnownColumn where it is off the heap.
  int ColumnOf(VQ_VarParam& reference);
  struct SingleReference {
    const VQ_VarParam* object = nullptr;
    int column = -1;
    uint32_t forgotten = 0;
  };
  SingleReference lastSingle;
  int* patternEnd = nullptr;  // AddTerm moves the first cursor up to here
  bool patternWindow = false;
  int firstEquation = 0;  // what the base JacPattern returns
  // Equation objects handed over by AddEquation, owned here; procedure
  // calls registered by AddProcCall.
  std::vector<VQ_EquationType*> equationObjects;
  std::vector<ProcCall> procCalls;
  void ReleaseEquationObjects();

  BaseResults base;
};

// The two cursors of one emission pass, installed on the model for its run,
// with room for `entries` references. Nothing is read or written through
// them: what the pass measures is how far the first one moved. So they walk
// address space that is reserved and never touched, which costs no memory
// however long the pass (and faults at once should anything write there).
class KYV_API PatternWindow {
 public:
  PatternWindow(VQ_ModelType& model, size_t entries);
  ~PatternWindow();
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;

  int*& p() { return m_P; }
  int*& q() { return m_Q; }
  // Entries the pass stepped over so far.
  size_t Used() const { return static_cast<size_t>(m_P - m_Start); }

 private:
  VQ_ModelType& m_Model;
  void* m_Reserved;
  size_t m_ReservedBytes;
  int* m_Start;
  int* m_P;
  int* m_Q;
};

}  // namespace vq_rt
