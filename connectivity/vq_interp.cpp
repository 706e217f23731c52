#include "vq_interp.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#define VQ_PROCEDURE_TEMPLATE template <class Proc, int NIn, int NOut, int NDims, class Base, int Level>
#define VQ_PROCEDURE VQ_ProcedureTemplate<Proc, NIn, NOut, NDims, Base, Level>

// ---------------------------------------------------------------------------
// Construction, copy and destruction.

VQ_PROCEDURE_TEMPLATE
VQ_PROCEDURE::VQ_ProcedureTemplate()
    : Base(),
      m_DimCursor(0),
      m_FirstOutputDim(0),
      m_CurrentArg(-1),
      m_SlotsUsed(0),
      m_LayoutPass(true),
      m_DerivRows(nullptr),
      m_DerivCols(nullptr) {
  this->m_CallPending = false;
}

VQ_PROCEDURE_TEMPLATE
VQ_PROCEDURE::VQ_ProcedureTemplate(const VQ_ProcedureTemplate& other)
    : Base(other), m_DerivRows(nullptr), m_DerivCols(nullptr) {
  AssignOwn(other);
}

VQ_PROCEDURE_TEMPLATE
VQ_PROCEDURE& VQ_PROCEDURE::operator=(const VQ_ProcedureTemplate& other) {
  if (this == &other) return *this;
  Base::operator=(other);
  AssignOwn(other);
  return *this;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::AssignOwn(const VQ_ProcedureTemplate& other) {
  m_ElementProduct = other.m_ElementProduct;
  m_DimsPending = other.m_DimsPending;
  m_DimCursor = other.m_DimCursor;
  m_FirstOutputDim = other.m_FirstOutputDim;
  std::memcpy(m_Dims, other.m_Dims, sizeof m_Dims);
  m_CurrentArg = other.m_CurrentArg;
  m_SlotsUsed = other.m_SlotsUsed;
  std::memcpy(m_Offsets, other.m_Offsets, sizeof m_Offsets);
  m_LayoutPass = other.m_LayoutPass;
  std::memcpy(m_ByReference, other.m_ByReference, sizeof m_ByReference);
  for (int i = 0; i < TotalArgs(); ++i) m_Constants[i] = other.m_Constants[i];
  // Sharing the index arrays would release them twice: this object builds
  // its own at its next call.
  ReleaseDerivativeIndexes();
  m_ArgElementsGiven = other.m_ArgElementsGiven;
  m_LayoutInputElements = other.m_LayoutInputElements;
  m_LayoutOutputElements = other.m_LayoutOutputElements;
}

VQ_PROCEDURE_TEMPLATE
VQ_PROCEDURE::~VQ_ProcedureTemplate() { ReleaseDerivativeIndexes(); }

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::ReleaseDerivativeIndexes() {
  delete[] m_DerivRows;
  delete[] m_DerivCols;
  m_DerivRows = m_DerivCols = nullptr;
  m_DerivIndexCount = 0;
}

// ---------------------------------------------------------------------------
// Argument description.

VQ_PROCEDURE_TEMPLATE
long long VQ_PROCEDURE::ElementsOf(int arg) const {
  int first = 0;
  for (int a = 0; a < arg; ++a) first += Dimensions(a);
  long long count = 1;
  for (int d = first; d < first + Dimensions(arg) && d < NDims; ++d) count *= m_Dims[d];
  return count;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::TakeSlots(long long bytes) {
  long long slots = m_SlotsUsed + (bytes + 7) / 8;
  if (slots > INT_MAX) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: argument %d needs more than %d slots", this->Name(),
                        m_CurrentArg + 1, INT_MAX);
    return;
  }
  m_SlotsUsed = static_cast<int>(slots);
}

// Every argument must be complete before the next starts: its sizes given,
// as many elements as they call for, arrays and outputs by reference.
VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::CloseArgument() {
  if (!ArgValid()) return;
  const int arg = m_CurrentArg;
  const char* name = this->Name();
  if (!m_ByReference[arg] && (Dimensions(arg) > 0 || arg >= NIn)) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: argument %d is given by value but must be a variable", name,
                        arg + 1);
  } else if (m_LayoutPass && m_DimsPending != 0) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: argument %d got %d of its %d dimension sizes", name, arg + 1,
                        Dimensions(arg) - m_DimsPending, Dimensions(arg));
  } else {
    long long due = m_ByReference[arg] ? ElementsOf(arg) : 0;
    if (m_ArgElementsGiven != due)
      this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: argument %d got %d elements where its sizes call for %lld",
                          name, arg + 1, m_ArgElementsGiven, due);
  }
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::SetArg(bool byReference) {
  CloseArgument();
  if (m_CurrentArg + 1 >= TotalArgs()) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: argument %d is past the %d declared", this->Name(),
                        m_CurrentArg + 2, TotalArgs());
    m_CurrentArg = TotalArgs();
    return;
  }
  ++m_CurrentArg;
  m_ByReference[m_CurrentArg] = byReference;
  m_ArgElementsGiven = 0;
  if (!m_LayoutPass) return;
  SetOffset(m_SlotsUsed);
  m_DimsPending = Dimensions(m_CurrentArg);
  if (m_DimsPending == 0)
    TakeSlots(Base::TypeSize(Type(m_CurrentArg)));
  else
    m_ElementProduct = 1;
  if (m_CurrentArg == InputArgs()) m_FirstOutputDim = m_DimCursor;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::SetDimensionSize(int size) {
  if (!m_LayoutPass) return;
  const char* name = this->Name();
  if (!ArgValid() || m_DimsPending <= 0 || m_DimCursor >= NDims) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: dimension size %d given to argument %d, which expects no more",
                        name, size, m_CurrentArg + 1);
    return;
  }
  if (size < 0) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: argument %d has the negative dimension size %d", name,
                        m_CurrentArg + 1, size);
    return;
  }
  m_Dims[m_DimCursor++] = size;
  long long product = static_cast<long long>(m_ElementProduct) * size;
  if (product > INT_MAX) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: argument %d has more than %d elements", name, m_CurrentArg + 1,
                        INT_MAX);
    return;
  }
  m_ElementProduct = static_cast<int>(product);
  if (--m_DimsPending > 0) return;
  const int type = Type(m_CurrentArg);
  if (type == VQ_PROC_TYPE_STRING) TakeSlots(8LL * this->StringTableSlots(m_ElementProduct));
  TakeSlots(static_cast<long long>(m_ElementProduct) * Base::TypeSize(type));
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Element(VQ_VarParam& element) {
  const char* name = this->Name();
  if (!ArgValid() || !m_ByReference[m_CurrentArg] || (m_LayoutPass && m_DimsPending > 0) ||
      m_ArgElementsGiven >= ElementsOf(m_CurrentArg)) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: element %s is one more than argument %d takes", name,
                        element.DisplayName().c_str(), m_CurrentArg + 1);
    return;
  }
  ++m_ArgElementsGiven;
  const bool input = m_CurrentArg < InputArgs();
  if (m_LayoutPass) {
    if (input) {
      if (Base::IsSolverVariable(element)) ++this->m_SolverInputCount;
      ++this->m_InputElementCount;
      ++this->m_InputValueCount;
    } else {
      ++this->m_OutputElementCount;
    }
    return;
  }
  // The storage pass may bind no more elements than the layout made room for.
  int position = input ? this->m_InputElementCount : m_LayoutInputElements + this->m_OutputElementCount;
  bool room = input ? this->m_InputElementCount < m_LayoutInputElements
                    : this->m_OutputElementCount < m_LayoutOutputElements;
  if (!room || !this->ElementsExist(position, 1)) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: element %s is past the %d elements laid out", name,
                        element.DisplayName().c_str(), m_LayoutInputElements + m_LayoutOutputElements);
    return;
  }
  this->m_ArgElements[position] = &element;
  if (input) {
    ++this->m_InputElementCount;
    ++this->m_InputValueCount;
  } else {
    ++this->m_OutputElementCount;
  }
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Argument(double value) {
  SetArg(false);
  ++this->m_InputValueCount;
  if (ArgValid()) m_Constants[m_CurrentArg] = value;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Argument(int value) {
  SetArg(false);
  ++this->m_InputValueCount;
  if (ArgValid()) m_Constants[m_CurrentArg] = value;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Argument(const char* value) {
  SetArg(false);
  ++this->m_InputValueCount;
  if (ArgValid()) m_Constants[m_CurrentArg] = value;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Argument(VQ_IntegerSetIter& element) { Argument(element.Integer()); }

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Argument(VQ_StringSetIter& element) { Argument(element.String()); }

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Argument(VQ_VarParam& scalar) {
  SetArg(true);
  Element(scalar);
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::Argument() { SetArg(true); }

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::LastArgument() {
  if (!m_LayoutPass) return;
  CloseArgument();
  if (m_CurrentArg != TotalArgs() - 1)
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: %d of its %d arguments were described", this->Name(),
                        m_CurrentArg < 0 ? 0 : m_CurrentArg + 1, TotalArgs());
  CreateDerivatives();
  this->FinalizeConstruction(GetOffset(InputArgs()), m_SlotsUsed);
  m_LayoutInputElements = this->m_InputElementCount;
  m_LayoutOutputElements = this->m_OutputElementCount;
  this->m_InputElementCount = 0;
  this->m_OutputElementCount = 0;
  this->m_InputValueCount = 0;
  m_CurrentArg = -1;
  m_LayoutPass = false;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::SetOffset(int slot) { m_Offsets[m_CurrentArg] = slot + this->LanguageBaseIndex(); }

VQ_PROCEDURE_TEMPLATE
int VQ_PROCEDURE::GetOffset(int arg) const { return m_Offsets[arg] - this->LanguageBaseIndex(); }

VQ_PROCEDURE_TEMPLATE
int* VQ_PROCEDURE::GetOffsets(int arg) { return &m_Offsets[arg]; }

VQ_PROCEDURE_TEMPLATE
int VQ_PROCEDURE::GetIntegerArg(int arg) const { return m_Constants[arg].Integer(); }

VQ_PROCEDURE_TEMPLATE
double VQ_PROCEDURE::GetRealArg(int arg) const { return m_Constants[arg].Real(); }

VQ_PROCEDURE_TEMPLATE
const char* VQ_PROCEDURE::GetStringArg(int arg) const { return m_Constants[arg].String(); }

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::ByReference(int arg) const { return m_ByReference[arg]; }

// ---------------------------------------------------------------------------
// Packing.

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::ArgumentsBound() const {
  return !m_LayoutPass && this->ArgumentStatus() == 0 && this->m_ArgSlots != nullptr &&
         this->m_InputElementCount == m_LayoutInputElements && this->m_OutputElementCount == m_LayoutOutputElements;
}

VQ_PROCEDURE_TEMPLATE
VQ_VarParam* VQ_PROCEDURE::BoundElement(int index) const {
  return this->ElementsExist(index, 1) ? this->m_ArgElements[index] : nullptr;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::PackInputVars() {
  if (!ArgumentsBound()) return;
  m_DimCursor = 0;
  m_CurrentArg = 0;
  this->m_ElementCursor = this->m_ArgElements;
  while (m_CurrentArg < InputArgs()) {
    const int arg = m_CurrentArg;
    switch (Type(arg)) {
      case VQ_PROC_TYPE_INTEGER:
      case VQ_PROC_TYPE_INTEGER2:
        ByReference(arg) ? PackVarInteger() : PackVal(GetIntegerArg(arg));
        break;
      case VQ_PROC_TYPE_REAL:
        ByReference(arg) ? PackVarReal() : PackVal(GetRealArg(arg));
        break;
      case VQ_PROC_TYPE_STRING:
        ByReference(arg) ? PackVarString() : PackVal(GetStringArg(arg));
        break;
      default:
        SkipArgument();
        break;
    }
  }
}

// An argument of a type the routine is not given: its elements and sizes
// are passed over so the arguments after it still get their own.
VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::SkipArgument() {
  if (ByReference(m_CurrentArg)) this->m_ElementCursor += ElementsOf(m_CurrentArg);
  m_DimCursor += Dimensions(m_CurrentArg);
  ++m_CurrentArg;
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::PackOutputVars() {
  if (!ArgumentsBound()) return;
  double* slot = this->m_ArgSlots + GetOffset(InputArgs());
  for (int i = 0; i < this->m_OutputValueCount; ++i) slot[i] = (*this->m_ElementCursor++)->Real();
}

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::PackVal(int value) {
  auto* slot = reinterpret_cast<char*>(this->m_ArgSlots + GetOffset(m_CurrentArg++));
  int previous;
  std::memcpy(&previous, slot, sizeof previous);
  if (previous == value) return false;
  std::memcpy(slot, &value, sizeof value);
  this->m_InputsChanged = true;
  return true;
}

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::PackVal(double value) {
  double* slot = this->m_ArgSlots + GetOffset(m_CurrentArg++);
  if (*slot == value) return false;  // a value that is not a number is never equal
  *slot = value;
  this->m_InputsChanged = true;
  return true;
}

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::PackVal(const char* value) {
  auto* slot = reinterpret_cast<char*>(this->m_ArgSlots + GetOffset(m_CurrentArg++));
  return this->PackStr(slot, value);
}

// A by-reference input: a scalar packed as a value, an array by the
// runtime's packing of the next elements.
VQ_PROCEDURE_TEMPLATE
template <class Value, class Slot>
bool VQ_PROCEDURE::PackVar(Value (VQ_VarParamProp::*read)() const,
                           bool (VQ_ProcedureType::*packArray)(Slot*, int, const int*)) {
  const int arg = m_CurrentArg;
  if (Dimensions(arg) == 0) return PackVal(((*this->m_ElementCursor++)->*read)());
  auto* slot = reinterpret_cast<Slot*>(this->m_ArgSlots + GetOffset(arg));
  bool changed = (this->*packArray)(slot, Dimensions(arg), m_Dims + m_DimCursor);
  ++m_CurrentArg;
  m_DimCursor += Dimensions(arg);
  return changed;
}

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::PackVarInteger() {
  return PackVar(&VQ_VarParamProp::Integer, &VQ_ProcedureType::PackIntegerArray);
}

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::PackVarReal() { return PackVar(&VQ_VarParamProp::Real, &VQ_ProcedureType::PackRealArray); }

VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::PackVarString() {
  return PackVar(&VQ_VarParamProp::String, &VQ_ProcedureType::PackStringArray);
}

// The table of text pointers in front of each string array, where the
// layout reserved it (StringTableSlots: none for Fortran).
VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::InitializeCStrings() {
  if (m_LayoutPass || this->ArgumentStatus() < 0 || this->m_ArgSlots == nullptr) return;
  for (int arg = 0; arg < InputArgs(); ++arg) {
    if (Dimensions(arg) == 0 || Type(arg) != VQ_PROC_TYPE_STRING) continue;
    const long long count = ElementsOf(arg);
    const int tableSlots = this->StringTableSlots(static_cast<int>(count));
    if (tableSlots == 0) continue;
    double* slot = this->m_ArgSlots + GetOffset(arg);
    auto* table = reinterpret_cast<char**>(slot);
    auto* texts = reinterpret_cast<char*>(slot + tableSlots);
    for (long long k = 0; k < count; ++k) table[k] = texts + k * Base::TypeSize(VQ_PROC_TYPE_STRING);
  }
}

// ---------------------------------------------------------------------------
// Equations. The counting pass and the emission pass walk the same output
// elements and, per row, the same references: the output element, then
// every input element that is a solver variable now.

VQ_PROCEDURE_TEMPLATE
template <class Visit>
void VQ_PROCEDURE::ForEachOutputElement(Visit visit) const {
  int element = 0;
  int dim = m_FirstOutputDim;
  for (int arg = InputArgs(); arg < TotalArgs(); ++arg) {
    long long count = 1;
    for (int d = 0; d < Dimensions(arg); ++d, ++dim) count *= dim < NDims ? m_Dims[dim] : 0;
    for (long long k = 1; k <= count; ++k) visit(arg, static_cast<int>(k), element++);
  }
}

VQ_PROCEDURE_TEMPLATE
template <class Visit>
int VQ_PROCEDURE::ForEachRowReference(int outputElement, Visit visit) const {
  int references = 0;
  if (VQ_VarParam* output = BoundElement(m_LayoutInputElements + outputElement)) {
    visit(*output);
    ++references;
  }
  for (int i = 0; i < m_LayoutInputElements; ++i) {
    VQ_VarParam* input = BoundElement(i);
    if (input != nullptr && Base::IsSolverVariable(*input)) {
      visit(*input);
      ++references;
    }
  }
  return references;
}

// A call whose description was refused has no equations to give: the
// counting pass says why at once, rather than the first evaluation.
VQ_PROCEDURE_TEMPLATE
template <class Owner>
int VQ_PROCEDURE::CountEquations(Owner* owner, int group, int& count) {
  if (this->ArgumentStatus() != 0) vq_rt::Raise("%s: %s", owner->DisplayName().c_str(), this->ErrorText());
  int entries = 0;
  ForEachOutputElement([&](int, int, int element) {
    owner->SetGroupLimits(group);
    ++count;
    entries += ForEachRowReference(element, [&](VQ_VarParam& reference) { owner->AddNonZero(reference); });
  });
  return entries;
}

VQ_PROCEDURE_TEMPLATE
template <class Owner>
void VQ_PROCEDURE::EmitEquations(int group, int tag, int*& p, int*& q, int& counter, Owner* owner, const char* name,
                                 int tag2) {
  if (this->ArgumentStatus() != 0) return;
  int sequence = 1;
  bool refused = false;
  ForEachOutputElement([&](int arg, int k, int element) {
    if (refused) return;
    char suffix[1024];
    int length = std::snprintf(suffix, sizeof suffix, "[%d", arg - InputArgs() + 1);
    std::snprintf(suffix + length, sizeof suffix - static_cast<size_t>(length), Dimensions(arg) > 0 ? "_%d]" : "]",
                  k);
    auto* equation = new (std::nothrow) VQ_ProcedureEquationType(this, sequence, tag, owner, name, counter, tag2, suffix);
    if (equation == nullptr) {
      // The runtime gets no missing object; its check of the counts reports
      // the equations that are short.
      refused = true;
      return;
    }
    const int own = sequence++;
    owner->AddEquation(equation, counter, group);
    owner->AddProcExpression(this, own, counter - 1, name);
    ForEachRowReference(element, [&](VQ_VarParam& reference) { owner->AddTerm(reference, p, q, counter - 1); });
  });
  if (!refused) owner->AddProcCall(sequence > 1 ? this : nullptr, group);
}

VQ_PROCEDURE_TEMPLATE
int VQ_PROCEDURE::NZAndEqnContribution(VQ_ModelTypeEx* owner, int group, int& count) {
  return CountEquations(owner, group, count);
}

VQ_PROCEDURE_TEMPLATE
int VQ_PROCEDURE::NZAndEqnContribution(VQ_StructureTypeEx* owner, int group, int& count) {
  return CountEquations(owner, group, count);
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::CreateEquationsAndSetGroup(int group, int tag, int*& p, int*& q, int& counter,
                                              VQ_ModelTypeEx* owner, const char* name, int tag2) {
  EmitEquations(group, tag, p, q, counter, owner, name, tag2);
}

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::CreateEquationsAndSetGroup(int group, int tag, int*& p, int*& q, int& counter,
                                              VQ_StructureTypeEx* owner, const char* name, int tag2) {
  EmitEquations(group, tag, p, q, counter, owner, name, tag2);
}

// ---------------------------------------------------------------------------
// Evaluation.

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::CreateDerivatives() { this->HandleDerivatives(false); }

VQ_PROCEDURE_TEMPLATE
void VQ_PROCEDURE::NegateDerivatives() { this->HandleDerivatives(true); }

// Entry i names output o and input value c (i = o * inputs + c), 1 upwards.
VQ_PROCEDURE_TEMPLATE
bool VQ_PROCEDURE::BuildDerivativeIndexes() {
  const long long entries = static_cast<long long>(this->m_OutputElementCount) * this->m_InputValueCount;
  if (entries != this->m_DerivativeCount) {
    this->ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: %d derivative entries where %d outputs and %d input values call for %lld",
                        this->Name(), this->m_DerivativeCount, this->m_OutputElementCount, this->m_InputValueCount,
                        entries);
    return false;
  }
  m_DerivRows = new (std::nothrow) int[static_cast<size_t>(entries)];
  m_DerivCols = new (std::nothrow) int[static_cast<size_t>(entries)];
  if (m_DerivRows == nullptr || m_DerivCols == nullptr) {
    ReleaseDerivativeIndexes();
    return false;
  }
  m_DerivIndexCount = static_cast<int>(entries);
  int i = 0;
  for (int o = 0; o < this->m_OutputElementCount; ++o)
    for (int c = 0; c < this->m_InputValueCount; ++c, ++i) {
      m_DerivRows[i] = o + 1;
      m_DerivCols[i] = c + 1;
    }
  return true;
}

VQ_PROCEDURE_TEMPLATE
int VQ_PROCEDURE::CallFn(VQ_ProcedureType::CallType kind, bool flag) {
  if (this->ArgumentStatus() < 0) return this->ArgumentStatus();
  if (!ArgumentsBound())
    return this->ReportError(VQ_PROC_BAD_ARGUMENTS, "%s: evaluated before its arguments were bound (%d of %d elements)",
                             this->Name(), this->m_InputElementCount + this->m_OutputElementCount,
                             m_LayoutInputElements + m_LayoutOutputElements);
  if ((kind == Base::kResiduals || kind == Base::kJacobian) && Proc::ReturnsDerivatives()) kind = Base::kDerivatives;
  switch (kind) {
    case Base::kDerivatives:
      this->m_InputsChanged = !this->LastCall(Base::kDerivatives) || this->AlwaysCall() || InputArgs() == 0;
      break;
    case Base::kPrecall:
      if (this->LastCall(Base::kPrecall)) return VQ_PROC_OK;
      for (int i = 0; i < this->m_DerivativeCount; ++i) this->m_DerivativeValues[i] = 0.0;
      this->m_InputsChanged = true;
      break;
    case Base::kOutputs:
      if (this->LastCall(Base::kOutputs) || this->LastCall(-1)) return VQ_PROC_OK;
      this->m_InputsChanged = true;
      break;
    default:
      break;
  }
  PackInputVars();
  if (!this->m_InputsChanged) return VQ_PROC_OK;
  if (this->PresetOutputs()) PackOutputVars();
  int failure = 1;
  int status = this->EnsureCompatibleDLLLoaded(Level);
  if (status < 0) return status;
  VQ_COMPONENTLISTNAME* list = this->ComponentListName();
  if (list != nullptr) list->BeginPropertiesCall();
  if (m_DerivRows == nullptr && this->m_DerivativeCount != 0 && !BuildDerivativeIndexes()) {
    if (list != nullptr) list->EndPropertiesCall();
    if (this->ArgumentStatus() < 0) return this->ArgumentStatus();
    return this->ReportError(VQ_PROC_NO_MEMORY, "%s: the derivative index arrays were refused by the heap",
                             this->Name());
  }
  int callKind = kind;
  int realArraySize = this->m_RealArraySize;
  int scratch = 0;
  this->m_Routine->GetProcedure13Address()(&callKind, this->m_ArgSlots, m_Dims, this->m_ArgSlots,
                                           m_Dims + m_FirstOutputDim, GetOffsets(0), GetOffsets(InputArgs()),
                                           &this->m_IntegerValue, this->m_RealArray, &realArraySize,
                                           &this->m_DerivativeCount, m_DerivRows, m_DerivCols, &scratch,
                                           this->m_DerivativeValues, &failure);
  if (list != nullptr) list->EndPropertiesCall();
  status = this->CheckIFailAndOutputs(failure, kind, flag);
  if (status < 0) return status;
  if (this->LastCall(Base::kDerivatives)) NegateDerivatives();
  return status;
}

VQ_PROCEDURE_TEMPLATE
int VQ_PROCEDURE::Residuals(double* residuals, int& n) {
  int status = CallFn(Base::kResiduals, true);
  if (status < 0) {
    n += this->m_OutputValueCount;
    return status;
  }
  const double* outputs = this->m_ArgSlots + GetOffset(InputArgs());
  for (int i = 0; i < this->m_OutputValueCount; ++i)
    residuals[n++] = this->m_ArgElements[m_LayoutInputElements + i]->Real() - outputs[i];
  return status;
}

// Input values in argument order, each with its column: one per by-value
// input, one per element of a by-reference input (its bound element).
VQ_PROCEDURE_TEMPLATE
template <class Visit>
void VQ_PROCEDURE::ForEachInputValue(Visit visit) const {
  int column = 0;
  int element = 0;
  for (int arg = 0; arg < InputArgs(); ++arg) {
    if (!ByReference(arg)) {
      visit(column++, nullptr);
      continue;
    }
    for (long long k = ElementsOf(arg); k > 0; --k, ++element)
      visit(column++, element < m_LayoutInputElements ? BoundElement(element) : nullptr);
  }
}

VQ_PROCEDURE_TEMPLATE
int VQ_PROCEDURE::Jacobian(double* values, int& n) {
  const int inputs = this->m_InputValueCount;
  if (this->m_JacobianValues == nullptr) this->EnsureJacobianValues(inputs * this->m_OutputElementCount);
  int status = CallFn(Base::kJacobian, true);
  const double* derivatives = this->m_JacobianValues;
  const int available = derivatives != nullptr ? this->JacobianCapacity() : 0;
  for (int o = 0; o < this->m_OutputValueCount; ++o) {
    values[n++] = 1.0;
    ForEachInputValue([&](int column, VQ_VarParam* element) {
      if (element == nullptr || !Base::IsSolverVariable(*element)) return;
      const int entry = o * inputs + column;
      values[n++] = entry < available ? derivatives[entry] : 0.0;
    });
  }
  return status;
}

// ---------------------------------------------------------------------------

const unsigned char VQProc_INTERPOLATE::nDims[5] = {0, 1, 1, 0, 0};
const unsigned char VQProc_INTERPOLATE::iTypes[5] = {4, 4, 4, 2, 4};
const bool VQProc_INTERPOLATE::bIsVar[5] = {false, false, false, false, false};

VQProc_INTERPOLATE::VQProc_INTERPOLATE(bool alwaysCall, int flags) { SetMode(alwaysCall, flags); }
VQProc_INTERPOLATE::VQProc_INTERPOLATE(const VQProc_INTERPOLATE& other) = default;
VQProc_INTERPOLATE& VQProc_INTERPOLATE::operator=(const VQProc_INTERPOLATE& other) = default;
VQProc_INTERPOLATE::~VQProc_INTERPOLATE() = default;

const char* VQProc_INTERPOLATE::ProcedureName() const { return "INTERP"; }
const char* VQProc_INTERPOLATE::DLLName() const { return "Dornvale"; }
int VQProc_INTERPOLATE::Precall(bool flag) { return CallFn(kPrecall, flag); }

template class VQ_ProcedureTemplate<VQProc_INTERPOLATE, 4, 1, 2, VQ_ProcedureType_C, 4>;
