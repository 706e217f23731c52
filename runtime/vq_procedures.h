#pragma once
// Compiled procedures: the runtime base of a procedure wrapper, its argument
// buffer and derivative storage, the handle of a routine loaded from a
// sibling library, and the equation objects a call contributes.
#include <cstdarg>
#include <string>

#include "vq_container.h"

// Statuses of a procedure evaluation; every failure is negative.
enum VQ_ProcedureStatus {
  VQ_PROC_OK = 0,
  VQ_PROC_ROUTINE_FAILED = -1,  // the routine raised its failure flag
  VQ_PROC_BAD_OUTPUT = -2,      // the routine left an output that is not a finite number
  VQ_PROC_NOT_LOADED = -3,      // the library or the routine could not be had
  VQ_PROC_BAD_ARGUMENTS = -4,   // the arguments were described inconsistently
  VQ_PROC_NO_MEMORY = -5,       // the heap refused the wrapper's storage
};

// Type codes of procedure arguments.
enum : unsigned char {
  VQ_PROC_TYPE_INTEGER = 2,
  VQ_PROC_TYPE_INTEGER2 = 3,
  VQ_PROC_TYPE_REAL = 4,
  VQ_PROC_TYPE_STRING = 5,
};

// A routine with the sixteen-address call.
using VQ_Procedure13 = void (*)(int* kind, double* inputs, int* inputDims, double* outputs, int* outputDims,
                                int* inputOffsets, int* outputOffsets, int* integerValue, double* realArray,
                                int* realArraySize, int* derivativeCount, int* derivativeRows,
                                int* derivativeCols, int* scratch, double* derivatives, int* failure);

// A routine loaded from a shared library; unloads the library when it goes.
class KYV_API DLLFunction : public VQ_PtrVectorObject {
 public:
  DLLFunction();
  ~DLLFunction() override;
  DLLFunction(const DLLFunction&) = delete;
  DLLFunction& operator=(const DLLFunction&) = delete;

  // Loads `path` and finds `routine` in it; false with Error() set when
  // either cannot be had.
  bool Load(const char* path, const char* routine);
  bool Loaded() const { return m_Address != nullptr; }
  const char* Path() const;
  const char* Error() const;
  VQ_Procedure13 GetProcedure13Address() const;

 private:
  void* m_Handle = nullptr;
  void* m_Address = nullptr;
  std::string m_Path;
  std::string m_Error;
};

// A by-value argument: an integer, a real or a text. Reading it as another
// kind converts numbers and gives "" for a number read as text.
class KYV_API ConstProcValue {
 public:
  ConstProcValue();
  ConstProcValue(const ConstProcValue& other);
  ConstProcValue& operator=(const ConstProcValue& other);
  ~ConstProcValue();

  ConstProcValue& operator=(int value);
  ConstProcValue& operator=(double value);
  ConstProcValue& operator=(const char* value);

  int Integer() const;
  double Real() const;
  const char* String() const;

 private:
  enum class Kind : unsigned char { None, Integer, Real, String };
  Kind m_Kind = Kind::None;
  int m_Int = 0;
  double m_Real = 0.0;
  std::string m_Text;
};

class VQ_ProcedureType;

// An equation the runtime evaluates through a procedure.
class KYV_API VQ_EquationType : public VQ_PtrVectorObject {
 public:
  VQ_EquationType();
  VQ_EquationType(const VQ_EquationType& other);
  VQ_EquationType& operator=(const VQ_EquationType& other);
  ~VQ_EquationType() override;

  // The name the equation is listed under.
  virtual const char* Name() const = 0;
  // The procedure that evaluates it; null for an equation of another kind.
  virtual VQ_ProcedureType* Procedure() const;
};

// The equation of one output element of a procedure call.
class KYV_API VQ_ProcedureEquationType : public VQ_EquationType {
 public:
  VQ_ProcedureEquationType(VQ_ProcedureType* procedure, int sequence, int tag, VQ_Containable* owner,
                           const char* name, int index, int tag2, const char* suffix);
  VQ_ProcedureEquationType(const VQ_ProcedureEquationType& other);
  VQ_ProcedureEquationType& operator=(const VQ_ProcedureEquationType& other);
  ~VQ_ProcedureEquationType() override;

  // The owner's name for the call followed by the suffix ("CALL[1]").
  const char* Name() const override;
  VQ_ProcedureType* Procedure() const override { return m_Procedure; }
  int Sequence() const { return m_Sequence; }
  int Tag() const { return m_Tag; }
  VQ_Containable* Owner() const { return m_Owner; }
  int Index() const { return m_Index; }
  int Tag2() const { return m_Tag2; }
  const char* Suffix() const;

 private:
  VQ_ProcedureType* m_Procedure;
  int m_Sequence;
  int m_Tag;
  VQ_Containable* m_Owner;
  int m_Index;
  int m_Tag2;
  std::string m_Name;
  std::string m_Suffix;
};

// The runtime base of a procedure wrapper. The wrapper describes its
// arguments, the runtime keeps the argument buffer, the bound elements and
// the derivative storage, loads the routine and judges its results.
class KYV_API VQ_ProcedureType : public VQ_PtrVectorObject {
 public:
  // What an evaluation asks of the routine.
  enum CallType { kResiduals = 0, kPrecall = 1, kOutputs = 2, kJacobian = 3, kDerivatives = 4 };

  VQ_ProcedureType();
  // A copy owns copies of the buffers and binds the same elements; it loads
  // its routine again at its first call.
  VQ_ProcedureType(const VQ_ProcedureType& other);
  VQ_ProcedureType& operator=(const VQ_ProcedureType& other);
  ~VQ_ProcedureType() override;

  // Releases the loaded routine; the next call loads it again.
  virtual void Destroy();
  virtual const char* Name() const;
  virtual const char* ProcedureName() const = 0;
  virtual const char* DLLName() const = 0;
  // The component list whose properties the routine reads; none here.
  virtual VQ_COMPONENTLISTNAME* ComponentListName();
  virtual int Jacobian(double* values, int& n);
  virtual int Residuals(double* residuals, int& n);
  virtual int Precall(bool flag);
  virtual int Postcall(bool flag);
  // Output element i (0 upwards), or null.
  virtual VQ_VarParam* OutputVar(int i);
  virtual void InitializeCStrings();

  // alwaysCall: run the routine at every evaluation; presetOutputs (bit 0 of
  // flags): hand the outputs' current values to the routine.
  void SetMode(bool alwaysCall, int flags);
  bool LastCall(int kind) const { return m_LastCallKind == kind; }
  bool AlwaysCall() const { return m_AlwaysCall; }
  bool PresetOutputs() const { return m_PresetOutputs; }

  // Byte size of one value of an argument type (2 to 5; other codes one
  // slot's worth).
  static int TypeSize(int type);
  virtual bool IsFortran() const;
  virtual int LanguageBaseIndex() const;
  // 8-byte slots before the texts of a string array of `count` elements:
  // the table of one pointer per text, for a routine written in C.
  int StringTableSlots(int count) const;

  // Whether an element is an unknown of the solver now.
  static bool IsSolverVariable(const VQ_VarParam& element);

  // Loads the routine's library (see vq_rt::SetProcedureLibraryDirectory);
  // 0 or more when it is ready, else a negative status.
  int EnsureCompatibleDLLLoaded(int level);
  // The routine's status after a call: negative when its failure flag is
  // raised or an output is not a finite number. Remembers the kind of the
  // last successful call.
  int CheckIFailAndOutputs(int failure, CallType kind, bool flag);
  // false: sizes the derivative storage; true: the Jacobian values become
  // the routine's derivatives negated.
  void HandleDerivatives(bool negate);
  // Allocates the argument buffer and the element table once the layout
  // is known.
  void FinalizeConstruction(int firstOutputSlot, int slots);
  // The Jacobian value array, `count` doubles, owned by this base.
  bool EnsureJacobianValues(int count);

  // Packing into the argument buffer: the next elements at m_ElementCursor;
  // each sets m_InputsChanged when a slot changes and returns that.
  bool PackIntegerArray(int* slot, int dims, const int* sizes);
  bool PackRealArray(double* slot, int dims, const int* sizes);
  bool PackStringArray(char* slot, int dims, const int* sizes);
  bool PackStr(char* slot, const char* text);

  // The first description error, as a status (0 when none) and as text.
  int ArgumentStatus() const { return m_ArgumentStatus; }
  const char* ErrorText() const;
  // Where the routine's library is looked for, and whether it is loaded.
  std::string LibraryPath() const;
  const DLLFunction* Routine() const { return m_Routine; }

  int OutputValueCount() const { return m_OutputValueCount; }
  int InputValueCount() const { return m_InputValueCount; }
  int InputElementCount() const { return m_InputElementCount; }
  int OutputElementCount() const { return m_OutputElementCount; }
  int SolverInputCount() const { return m_SolverInputCount; }
  int DerivativeCount() const { return m_DerivativeCount; }
  int SlotCount() const { return m_SlotCount; }
  const double* ArgSlots() const { return m_ArgSlots; }
  const double* DerivativeValues() const { return m_DerivativeValues; }
  const double* JacobianValues() const { return m_JacobianValues; }
  int JacobianCapacity() const { return m_JacobianCapacity; }

 protected:
  // Records a description error (the first one is kept) and forgets the
  // last call, so nothing stale is reused.
  void ArgumentError(int status, const char* format, ...) KYV_PRINTF(3, 4);
  // Reports a failure of this call only: sets the text, forgets the last
  // call and returns the status.
  int ReportError(int status, const char* format, ...) KYV_PRINTF(3, 4);
  void ForgetLastCall() { m_LastCallKind = kNoCall; }
  // Elements [first, first + count) of the element table exist.
  bool ElementsExist(int first, int count) const;

  double* m_ArgSlots = nullptr;
  double* m_JacobianValues = nullptr;
  double* m_DerivativeValues = nullptr;
  double* m_RealArray = nullptr;
  int m_RealArraySize = 0;
  int m_DerivativeCount = 0;
  DLLFunction* m_Routine = nullptr;
  int m_IntegerValue = 0;
  int m_SolverInputCount = 0;
  int m_InputElementCount = 0;
  int m_OutputValueCount = 0;
  int m_InputValueCount = 0;
  int m_OutputElementCount = 0;
  VQ_VarParam** m_ArgElements = nullptr;
  VQ_VarParam** m_ElementCursor = nullptr;
  bool m_CallPending = false;
  bool m_InputsChanged = false;

 private:
  void ReleaseStorage();
  void CopyStorage(const VQ_ProcedureType& other);
  // Checks that `bytes` from `at` lie inside the argument buffer and that
  // `count` elements are left at the cursor; raises VQ_Error otherwise.
  void RequireRoom(const void* at, long long bytes, long long count, const char* what) const;
  long long ElementCount(int dims, const int* sizes) const;
  template <class T>
  bool PackNumbers(T* slot, int dims, const int* sizes, T (VQ_VarParamProp::*read)() const, const char* what);
  void SetErrorText(const char* format, va_list args);

  static constexpr int kNoCall = -100;  // no call whose results are current

  int m_SlotCount = 0;
  int m_FirstOutputSlot = 0;
  int m_ElementCapacity = 0;
  int m_JacobianCapacity = 0;
  int m_LastCallKind = kNoCall;
  int m_ArgumentStatus = 0;
  bool m_AlwaysCall = false;
  bool m_PresetOutputs = false;
  std::string m_ErrorText;
};

// A routine written in C: arrays start at index 0.
class KYV_API VQ_ProcedureType_C : public VQ_ProcedureType {
 public:
  VQ_ProcedureType_C();
  VQ_ProcedureType_C(const VQ_ProcedureType_C& other);
  VQ_ProcedureType_C& operator=(const VQ_ProcedureType_C& other);
  ~VQ_ProcedureType_C() override;

  bool IsFortran() const override;
  int LanguageBaseIndex() const override;
};

namespace vq_rt {

// The directory procedure libraries are loaded from (the file
// LibraryFileName(DLLName()) in it). Empty (the default): the directory of the module that
// defines the wrapper's class, so a model library finds the procedure
// libraries installed beside it. Nothing else is searched.
KYV_API void SetProcedureLibraryDirectory(const char* directory);
KYV_API std::string ProcedureLibraryDirectory();

}  // namespace vq_rt
