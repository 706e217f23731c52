#include "vq_procedures.h"

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "vq_dynlib.h"
#include "vq_error.h"
#include "vq_memory.h"

namespace {

std::string& LibraryDirectory() {
  static std::string directory;
  return directory;
}

// Runtime-heap arrays: zeroed, null on refusal or a size out of range.
template <class T>
T* AllocateArray(long long count) {
  if (count <= 0 || count > INT_MAX) return nullptr;
  auto* block = static_cast<T*>(MyAllocate(static_cast<size_t>(count) * sizeof(T)));
  if (block != nullptr) std::memset(static_cast<void*>(block), 0, static_cast<size_t>(count) * sizeof(T));
  return block;
}

template <class T>
T* CopyArray(const T* from, int count) {
  if (from == nullptr) return nullptr;
  T* block = AllocateArray<T>(count);
  if (block != nullptr) std::memcpy(static_cast<void*>(block), from, static_cast<size_t>(count) * sizeof(T));
  return block;
}

constexpr int kStringSize = 256;  // bytes of one text argument, its terminating zero included

}  // namespace

// ---------------------------------------------------------------------------

DLLFunction::DLLFunction() = default;

DLLFunction::~DLLFunction() {
  if (m_Handle != nullptr) vq_rt::CloseLibrary(m_Handle);
}

bool DLLFunction::Load(const char* path, const char* routine) {
  if (m_Handle != nullptr) vq_rt::CloseLibrary(m_Handle);
  m_Handle = nullptr;
  m_Address = nullptr;
  m_Path = path != nullptr ? path : "";
  m_Error.clear();
  // A path is loaded as it stands: no search of the system.
  if (!vq_rt::HasDirectory(m_Path)) {
    m_Error = "\"" + m_Path + "\" is no path to a library";
    return false;
  }
  std::string why;
  m_Handle = vq_rt::OpenLibrary(m_Path, why);
  if (m_Handle == nullptr) {
    m_Error = "cannot load \"" + m_Path + "\": " + why;
    return false;
  }
  m_Address = vq_rt::FindSymbol(m_Handle, routine != nullptr ? routine : "");
  if (m_Address == nullptr) {
    m_Error = "\"" + m_Path + "\" has no routine \"" + (routine != nullptr ? routine : "") + "\"";
    vq_rt::CloseLibrary(m_Handle);
    m_Handle = nullptr;
    return false;
  }
  return true;
}

const char* DLLFunction::Path() const { return m_Path.c_str(); }
const char* DLLFunction::Error() const { return m_Error.c_str(); }
VQ_Procedure13 DLLFunction::GetProcedure13Address() const {
  return reinterpret_cast<VQ_Procedure13>(m_Address);
}

// ---------------------------------------------------------------------------

ConstProcValue::ConstProcValue() = default;
ConstProcValue::ConstProcValue(const ConstProcValue& other) = default;
ConstProcValue& ConstProcValue::operator=(const ConstProcValue& other) = default;
ConstProcValue::~ConstProcValue() = default;

ConstProcValue& ConstProcValue::operator=(int value) {
  m_Kind = Kind::Integer;
  m_Int = value;
  return *this;
}
ConstProcValue& ConstProcValue::operator=(double value) {
  m_Kind = Kind::Real;
  m_Real = value;
  return *this;
}
ConstProcValue& ConstProcValue::operator=(const char* value) {
  m_Kind = Kind::String;
  m_Text = value != nullptr ? value : "";
  return *this;
}

int ConstProcValue::Integer() const {
  if (m_Kind == Kind::Real) {
    // Out-of-range reals saturate rather than overflow.
    if (!(m_Real > INT_MIN)) return INT_MIN;
    if (!(m_Real < INT_MAX)) return INT_MAX;
    return static_cast<int>(m_Real);
  }
  return m_Kind == Kind::Integer ? m_Int : 0;
}
double ConstProcValue::Real() const {
  if (m_Kind == Kind::Integer) return m_Int;
  return m_Kind == Kind::Real ? m_Real : 0.0;
}
const char* ConstProcValue::String() const {
  return m_Kind == Kind::String ? m_Text.c_str() : "";
}

// ---------------------------------------------------------------------------

VQ_EquationType::VQ_EquationType() = default;
VQ_EquationType::VQ_EquationType(const VQ_EquationType& other) = default;
VQ_EquationType& VQ_EquationType::operator=(const VQ_EquationType& other) = default;
VQ_EquationType::~VQ_EquationType() = default;
VQ_ProcedureType* VQ_EquationType::Procedure() const { return nullptr; }

VQ_ProcedureEquationType::VQ_ProcedureEquationType(VQ_ProcedureType* procedure, int sequence, int tag,
                                                   VQ_Containable* owner, const char* name, int index, int tag2,
                                                   const char* suffix)
    : m_Procedure(procedure),
      m_Sequence(sequence),
      m_Tag(tag),
      m_Owner(owner),
      m_Index(index),
      m_Tag2(tag2),
      m_Name(std::string(name != nullptr ? name : "") + (suffix != nullptr ? suffix : "")),
      m_Suffix(suffix != nullptr ? suffix : "") {}
VQ_ProcedureEquationType::VQ_ProcedureEquationType(const VQ_ProcedureEquationType& other) = default;
VQ_ProcedureEquationType& VQ_ProcedureEquationType::operator=(const VQ_ProcedureEquationType& other) = default;
VQ_ProcedureEquationType::~VQ_ProcedureEquationType() = default;
const char* VQ_ProcedureEquationType::Name() const { return m_Name.c_str(); }
const char* VQ_ProcedureEquationType::Suffix() const { return m_Suffix.c_str(); }

// ---------------------------------------------------------------------------

VQ_ProcedureType::VQ_ProcedureType() = default;

VQ_ProcedureType::VQ_ProcedureType(const VQ_ProcedureType& other) : VQ_PtrVectorObject(other) {
  CopyStorage(other);
}

VQ_ProcedureType& VQ_ProcedureType::operator=(const VQ_ProcedureType& other) {
  if (this == &other) return *this;
  VQ_PtrVectorObject::operator=(other);
  ReleaseStorage();
  CopyStorage(other);
  return *this;
}

VQ_ProcedureType::~VQ_ProcedureType() { ReleaseStorage(); }

void VQ_ProcedureType::ReleaseStorage() {
  MyFree(m_ArgSlots);
  MyFree(m_JacobianValues);
  MyFree(m_DerivativeValues);
  MyFree(m_RealArray);
  MyFree(m_ArgElements);
  delete m_Routine;
  m_ArgSlots = m_JacobianValues = m_DerivativeValues = m_RealArray = nullptr;
  m_ArgElements = m_ElementCursor = nullptr;
  m_Routine = nullptr;
}

void VQ_ProcedureType::CopyStorage(const VQ_ProcedureType& other) {
  m_SlotCount = other.m_SlotCount;
  m_FirstOutputSlot = other.m_FirstOutputSlot;
  m_ElementCapacity = other.m_ElementCapacity;
  m_JacobianCapacity = other.m_JacobianCapacity;
  m_RealArraySize = other.m_RealArraySize;
  m_DerivativeCount = other.m_DerivativeCount;
  m_ArgSlots = CopyArray(other.m_ArgSlots, m_SlotCount);
  m_JacobianValues = CopyArray(other.m_JacobianValues, m_JacobianCapacity);
  m_DerivativeValues = CopyArray(other.m_DerivativeValues, m_DerivativeCount);
  m_RealArray = CopyArray(other.m_RealArray, m_RealArraySize);
  m_ArgElements = CopyArray(other.m_ArgElements, m_ElementCapacity);
  m_ElementCursor = other.m_ElementCursor != nullptr && m_ArgElements != nullptr
                        ? m_ArgElements + (other.m_ElementCursor - other.m_ArgElements)
                        : nullptr;
  if (m_JacobianValues == nullptr) m_JacobianCapacity = 0;
  m_Routine = nullptr;  // loaded again at the copy's first call
  m_IntegerValue = other.m_IntegerValue;
  m_SolverInputCount = other.m_SolverInputCount;
  m_InputElementCount = other.m_InputElementCount;
  m_OutputValueCount = other.m_OutputValueCount;
  m_InputValueCount = other.m_InputValueCount;
  m_OutputElementCount = other.m_OutputElementCount;
  m_CallPending = other.m_CallPending;
  m_InputsChanged = true;  // the copy has not called its routine yet
  m_LastCallKind = kNoCall;
  m_ArgumentStatus = other.m_ArgumentStatus;
  m_AlwaysCall = other.m_AlwaysCall;
  m_PresetOutputs = other.m_PresetOutputs;
  m_ErrorText = other.m_ErrorText;
  // A buffer the heap refused leaves the copy unusable, and says so (no
  // virtual call here: this runs inside the copy constructor).
  bool refused = (other.m_ArgSlots && !m_ArgSlots) || (other.m_DerivativeValues && !m_DerivativeValues) ||
                 (other.m_ArgElements && !m_ArgElements);
  if (refused) ArgumentError(VQ_PROC_NO_MEMORY, "the storage of a procedure copy was refused by the heap");
}

void VQ_ProcedureType::Destroy() {
  delete m_Routine;
  m_Routine = nullptr;
  ForgetLastCall();
}

const char* VQ_ProcedureType::Name() const { return ProcedureName(); }
VQ_COMPONENTLISTNAME* VQ_ProcedureType::ComponentListName() { return nullptr; }
int VQ_ProcedureType::Jacobian(double*, int&) { return VQ_PROC_OK; }
int VQ_ProcedureType::Residuals(double*, int&) { return VQ_PROC_OK; }
int VQ_ProcedureType::Precall(bool) { return VQ_PROC_OK; }
int VQ_ProcedureType::Postcall(bool) { return VQ_PROC_OK; }

VQ_VarParam* VQ_ProcedureType::OutputVar(int i) {
  if (i < 0 || i >= m_OutputElementCount || !ElementsExist(m_InputElementCount + i, 1)) return nullptr;
  return m_ArgElements[m_InputElementCount + i];
}

void VQ_ProcedureType::InitializeCStrings() {}

void VQ_ProcedureType::SetMode(bool alwaysCall, int flags) {
  m_AlwaysCall = alwaysCall;
  m_PresetOutputs = (flags & 1) != 0;
}

int VQ_ProcedureType::TypeSize(int type) {
  switch (type) {
    case VQ_PROC_TYPE_INTEGER:
    case VQ_PROC_TYPE_INTEGER2: return static_cast<int>(sizeof(int));
    case VQ_PROC_TYPE_REAL: return static_cast<int>(sizeof(double));
    case VQ_PROC_TYPE_STRING: return kStringSize;
    default: return 8;
  }
}

bool VQ_ProcedureType::IsFortran() const { return false; }
int VQ_ProcedureType::LanguageBaseIndex() const { return 0; }

int VQ_ProcedureType::StringTableSlots(int count) const {
  if (IsFortran() || count <= 0) return 0;
  long long slots = (static_cast<long long>(count) * static_cast<long long>(sizeof(char*)) + 7) / 8;
  return slots > INT_MAX ? INT_MAX : static_cast<int>(slots);
}

bool VQ_ProcedureType::IsSolverVariable(const VQ_VarParam& element) {
  auto* variable = dynamic_cast<const VQ_REALVARIABLE*>(&element);
  return variable != nullptr && variable->IsSolverVariable();
}

std::string VQ_ProcedureType::LibraryPath() const {
  std::string directory = vq_rt::ProcedureLibraryDirectory();
  if (directory.empty()) {
    // The module that holds the wrapper class's virtual table.
    directory = vq_rt::ModuleDirectory(*reinterpret_cast<void* const*>(this));
    if (directory.empty()) directory = ".";
  }
  return directory + "/" + vq_rt::LibraryFileName(DLLName());
}

int VQ_ProcedureType::EnsureCompatibleDLLLoaded(int level) {
  // Level 4 is the sixteen-address call, the only one this runtime makes.
  if (level != 4) {
    ArgumentError(VQ_PROC_NOT_LOADED, "%s: call level %d is not supported", Name(), level);
    return VQ_PROC_NOT_LOADED;
  }
  if (m_Routine != nullptr && m_Routine->Loaded()) return VQ_PROC_OK;
  if (m_Routine == nullptr) m_Routine = vq_rt::New<DLLFunction>();
  if (m_Routine == nullptr) return ReportError(VQ_PROC_NO_MEMORY, "%s: the routine handle was refused by the heap", Name());
  std::string path = LibraryPath();
  if (!m_Routine->Load(path.c_str(), ProcedureName())) {
    // Not kept as the description error: a later call may find the library.
    m_ErrorText = std::string(Name()) + ": " + m_Routine->Error();
    ForgetLastCall();
    return VQ_PROC_NOT_LOADED;
  }
  return VQ_PROC_OK;
}

int VQ_ProcedureType::CheckIFailAndOutputs(int failure, CallType kind, bool) {
  if (failure != 0) {
    ForgetLastCall();
    m_ErrorText = std::string(Name()) + ": the routine reported failure (flag " + std::to_string(failure) + ")";
    return VQ_PROC_ROUTINE_FAILED;
  }
  for (int i = 0; i < m_OutputValueCount; ++i) {
    double value = m_ArgSlots != nullptr && m_FirstOutputSlot + i < m_SlotCount ? m_ArgSlots[m_FirstOutputSlot + i]
                                                                                  : NAN;
    if (!std::isfinite(value)) {
      ForgetLastCall();
      m_ErrorText = std::string(Name()) + ": output " + std::to_string(i + 1) + " is not a finite number";
      return VQ_PROC_BAD_OUTPUT;
    }
  }
  m_LastCallKind = kind;
  m_InputsChanged = false;  // the results now belong to the packed inputs
  return VQ_PROC_OK;
}

void VQ_ProcedureType::HandleDerivatives(bool negate) {
  if (!negate) {
    long long count = static_cast<long long>(m_OutputElementCount) * m_InputValueCount;
    MyFree(m_DerivativeValues);
    m_DerivativeValues = nullptr;
    m_DerivativeCount = 0;
    if (count > 0) {
      m_DerivativeValues = AllocateArray<double>(count);
      if (m_DerivativeValues == nullptr)
        ArgumentError(VQ_PROC_NO_MEMORY, "%s: %lld derivative entries were refused by the heap", Name(), count);
      else
        m_DerivativeCount = static_cast<int>(count);
    }
    return;
  }
  // Also before any Jacobian evaluation has made room for the values.
  if (m_DerivativeValues == nullptr || !EnsureJacobianValues(m_DerivativeCount)) return;
  for (int i = 0; i < m_DerivativeCount; ++i) m_JacobianValues[i] = -m_DerivativeValues[i];
}

bool VQ_ProcedureType::EnsureJacobianValues(int count) {
  if (count <= 0) return m_JacobianValues != nullptr;
  if (m_JacobianValues != nullptr && m_JacobianCapacity >= count) return true;
  double* values = AllocateArray<double>(count);
  if (values == nullptr) return false;
  if (m_JacobianValues != nullptr)
    std::memcpy(values, m_JacobianValues, static_cast<size_t>(m_JacobianCapacity) * sizeof(double));
  MyFree(m_JacobianValues);
  m_JacobianValues = values;
  m_JacobianCapacity = count;
  return true;
}

void VQ_ProcedureType::FinalizeConstruction(int firstOutputSlot, int slots) {
  MyFree(m_ArgSlots);
  MyFree(m_ArgElements);
  m_ArgSlots = nullptr;
  m_ArgElements = m_ElementCursor = nullptr;
  m_SlotCount = 0;
  m_ElementCapacity = 0;
  m_FirstOutputSlot = firstOutputSlot;
  m_OutputValueCount = m_OutputElementCount;
  if (slots < 0 || firstOutputSlot < 0 || firstOutputSlot + m_OutputValueCount > slots) {
    ArgumentError(VQ_PROC_BAD_ARGUMENTS, "%s: %d slots cannot hold outputs from slot %d", Name(), slots,
                  firstOutputSlot);
    return;
  }
  long long elements = static_cast<long long>(m_InputElementCount) + m_OutputElementCount;
  m_ArgSlots = AllocateArray<double>(slots == 0 ? 1 : slots);
  m_ArgElements = elements > 0 ? AllocateArray<VQ_VarParam*>(elements) : nullptr;
  if (m_ArgSlots == nullptr || (elements > 0 && m_ArgElements == nullptr)) {
    ArgumentError(VQ_PROC_NO_MEMORY, "%s: the argument storage (%d slots, %lld elements) was refused by the heap",
                  Name(), slots, elements);
    return;
  }
  m_SlotCount = slots;
  m_ElementCapacity = static_cast<int>(elements);
  m_ElementCursor = m_ArgElements;
}

bool VQ_ProcedureType::ElementsExist(int first, int count) const {
  return m_ArgElements != nullptr && first >= 0 && count >= 0 && first + count <= m_ElementCapacity;
}

long long VQ_ProcedureType::ElementCount(int dims, const int* sizes) const {
  long long count = 1;
  for (int d = 0; d < dims; ++d) {
    if (sizes[d] < 0) vq_rt::Raise("%s: negative dimension size %d", Name(), sizes[d]);
    count *= sizes[d];
    if (count > INT_MAX) vq_rt::Raise("%s: an array of more than %d elements", Name(), INT_MAX);
  }
  return count;
}

void VQ_ProcedureType::RequireRoom(const void* at, long long bytes, long long count, const char* what) const {
  auto* begin = reinterpret_cast<const char*>(m_ArgSlots);
  auto* end = begin + static_cast<size_t>(m_SlotCount) * sizeof(double);
  auto* from = static_cast<const char*>(at);
  if (m_ArgSlots == nullptr || from < begin || from > end || bytes > end - from)
    vq_rt::Raise("%s: %s of %lld bytes lies outside the argument buffer", Name(), what, bytes);
  long long left = m_ElementCursor != nullptr ? m_ArgElements + m_ElementCapacity - m_ElementCursor : 0;
  if (count > left)
    vq_rt::Raise("%s: %s needs %lld elements where %lld are bound", Name(), what, count, left);
}

template <class T>
bool VQ_ProcedureType::PackNumbers(T* slot, int dims, const int* sizes, T (VQ_VarParamProp::*read)() const,
                                   const char* what) {
  long long count = ElementCount(dims, sizes);
  RequireRoom(slot, count * static_cast<long long>(sizeof(T)), count, what);
  bool changed = false;
  for (long long k = 0; k < count; ++k) {
    T value = ((*m_ElementCursor++)->*read)();
    if (!(slot[k] == value)) {  // a value that is not a number always counts as changed
      slot[k] = value;
      changed = true;
    }
  }
  if (changed) m_InputsChanged = true;
  return changed;
}

bool VQ_ProcedureType::PackIntegerArray(int* slot, int dims, const int* sizes) {
  return PackNumbers(slot, dims, sizes, &VQ_VarParamProp::Integer, "an integer array");
}

bool VQ_ProcedureType::PackRealArray(double* slot, int dims, const int* sizes) {
  return PackNumbers(slot, dims, sizes, &VQ_VarParamProp::Real, "a real array");
}

bool VQ_ProcedureType::PackStringArray(char* slot, int dims, const int* sizes) {
  long long count = ElementCount(dims, sizes);
  char* texts = slot + static_cast<size_t>(StringTableSlots(static_cast<int>(count))) * 8;
  RequireRoom(slot, texts - slot + count * kStringSize, count, "a string array");
  bool changed = false;
  for (long long k = 0; k < count; ++k) {
    if (PackStr(texts + k * kStringSize, (*m_ElementCursor++)->String())) changed = true;
  }
  return changed;
}

bool VQ_ProcedureType::PackStr(char* slot, const char* text) {
  RequireRoom(slot, kStringSize, 0, "a text");
  if (text == nullptr) text = "";
  // Texts longer than the slot are cut, always leaving the terminating zero.
  char packed[kStringSize] = {};
  std::strncpy(packed, text, kStringSize - 1);
  if (std::memcmp(slot, packed, kStringSize) == 0) return false;
  std::memcpy(slot, packed, kStringSize);
  m_InputsChanged = true;
  return true;
}

const char* VQ_ProcedureType::ErrorText() const { return m_ErrorText.c_str(); }

void VQ_ProcedureType::SetErrorText(const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  m_ErrorText = text;
}

void VQ_ProcedureType::ArgumentError(int status, const char* format, ...) {
  ForgetLastCall();
  if (m_ArgumentStatus < 0) return;  // the first error is the one to fix
  m_ArgumentStatus = status;
  va_list args;
  va_start(args, format);
  SetErrorText(format, args);
  va_end(args);
}

int VQ_ProcedureType::ReportError(int status, const char* format, ...) {
  ForgetLastCall();
  va_list args;
  va_start(args, format);
  SetErrorText(format, args);
  va_end(args);
  return status;
}

// ---------------------------------------------------------------------------

VQ_ProcedureType_C::VQ_ProcedureType_C() = default;
VQ_ProcedureType_C::VQ_ProcedureType_C(const VQ_ProcedureType_C& other) = default;
VQ_ProcedureType_C& VQ_ProcedureType_C::operator=(const VQ_ProcedureType_C& other) = default;
VQ_ProcedureType_C::~VQ_ProcedureType_C() = default;
bool VQ_ProcedureType_C::IsFortran() const { return false; }
int VQ_ProcedureType_C::LanguageBaseIndex() const { return 0; }

// ---------------------------------------------------------------------------

namespace vq_rt {

void SetProcedureLibraryDirectory(const char* directory) { LibraryDirectory() = directory != nullptr ? directory : ""; }
std::string ProcedureLibraryDirectory() { return LibraryDirectory(); }

}  // namespace vq_rt
