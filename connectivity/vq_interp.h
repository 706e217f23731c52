#pragma once
// The wrapper of the compiled interpolation routine INTERP of the procedure
// library Dornvale. A model that calls INTERP owns one wrapper per call. It
// describes the call's arguments twice, in argument order: once to lay out
// the argument buffer (ended by LastArgument), once more to bind its
// variables. From then on the wrapper counts and emits the call's equations
// and the runtime evaluates them through Residuals and Jacobian.
//
// A description that does not fit the argument tables (an argument or a
// dimension size too many, a negative size, elements that do not match the
// sizes) is not written anywhere: it puts the wrapper in an error state
// that every evaluation reports as a negative status (see ErrorText()).
#include "kyvexp.h"

template <class Proc, int NIn, int NOut, int NDims, class Base, int Level>
class VQ_ProcedureTemplate : public Base {
 public:
  VQ_ProcedureTemplate();
  // A copy builds its own derivative index arrays at its first call.
  VQ_ProcedureTemplate(const VQ_ProcedureTemplate& other);
  VQ_ProcedureTemplate& operator=(const VQ_ProcedureTemplate& other);
  ~VQ_ProcedureTemplate() override;

  static int InputArgs() { return NIn; }
  static int OutputArgs() { return NOut; }
  static int TotalArgs() { return NIn + NOut; }
  static int Dimensions(int arg) { return Proc::nDims[arg]; }
  static int Type(int arg) { return Proc::iTypes[arg]; }
  static bool IsVariableInput(int arg) { return Proc::bIsVar[arg]; }

  Proc* P() { return static_cast<Proc*>(this); }
  const Proc* P() const { return static_cast<const Proc*>(this); }

  // Argument description.
  void Argument(double value);
  void Argument(int value);
  void Argument(const char* value);
  void Argument(VQ_IntegerSetIter& element);
  void Argument(VQ_StringSetIter& element);
  void Argument(VQ_VarParam& scalar);
  void Argument();  // an array: its sizes and elements follow
  void SetDimensionSize(int size);
  void Element(VQ_VarParam& element);
  void LastArgument();

  void SetArg(bool byReference);
  void SetOffset(int slot);
  int GetOffset(int arg) const;
  int* GetOffsets(int arg);
  int GetIntegerArg(int arg) const;
  double GetRealArg(int arg) const;
  const char* GetStringArg(int arg) const;
  bool ByReference(int arg) const;

  // Packing of the argument buffer.
  void PackInputVars();
  void PackOutputVars();
  bool PackVal(int value);
  bool PackVal(double value);
  bool PackVal(const char* value);
  bool PackVarInteger();
  bool PackVarReal();
  bool PackVarString();
  void InitializeCStrings() override;

  // The call's equations: one per output element.
  int NZAndEqnContribution(VQ_ModelTypeEx* owner, int group, int& count);
  int NZAndEqnContribution(VQ_StructureTypeEx* owner, int group, int& count);
  void CreateEquationsAndSetGroup(int group, int tag, int*& p, int*& q, int& counter, VQ_ModelTypeEx* owner,
                                  const char* name, int tag2);
  void CreateEquationsAndSetGroup(int group, int tag, int*& p, int*& q, int& counter, VQ_StructureTypeEx* owner,
                                  const char* name, int tag2);

  // Evaluation.
  int CallFn(VQ_ProcedureType::CallType kind, bool flag);
  int Jacobian(double* values, int& n) override;
  int Residuals(double* residuals, int& n) override;

  void CreateDerivatives();
  void NegateDerivatives();

 protected:
  int m_ElementProduct = 1;
  int m_DimsPending = 0;
  int m_DimCursor;
  int m_FirstOutputDim;
  int m_Dims[NDims + 1] = {};
  int m_CurrentArg;
  int m_SlotsUsed;
  int m_Offsets[NIn + NOut] = {};
  bool m_LayoutPass;
  bool m_ByReference[NIn + NOut] = {};
  ConstProcValue m_Constants[NIn + NOut];
  int* m_DerivRows;
  int* m_DerivCols;

 private:
  bool ArgValid() const { return m_CurrentArg >= 0 && m_CurrentArg < TotalArgs(); }
  // Elements the argument's sizes call for (1 for a scalar).
  long long ElementsOf(int arg) const;
  void AssignOwn(const VQ_ProcedureTemplate& other);
  void CloseArgument();
  void TakeSlots(long long bytes);
  void SkipArgument();
  template <class Value, class Slot>
  bool PackVar(Value (VQ_VarParamProp::*read)() const, bool (VQ_ProcedureType::*packArray)(Slot*, int, const int*));
  bool ArgumentsBound() const;
  VQ_VarParam* BoundElement(int index) const;
  bool BuildDerivativeIndexes();
  void ReleaseDerivativeIndexes();
  template <class Visit>
  void ForEachOutputElement(Visit visit) const;
  template <class Visit>
  int ForEachRowReference(int outputElement, Visit visit) const;
  template <class Visit>
  void ForEachInputValue(Visit visit) const;
  template <class Owner>
  int CountEquations(Owner* owner, int group, int& count);
  template <class Owner>
  void EmitEquations(int group, int tag, int*& p, int*& q, int& counter, Owner* owner, const char* name, int tag2);

  // The description as the layout pass found it, to bound the storage pass.
  int m_ArgElementsGiven = 0;
  int m_LayoutInputElements = 0;
  int m_LayoutOutputElements = 0;
  int m_DerivIndexCount = 0;
};

// INTERP(x, XA, YA, N) -> y: piecewise-linear interpolation of the table
// (XA, YA) of N points at x, with the derivatives of y.
class VQProc_INTERPOLATE
    : public VQ_ProcedureTemplate<VQProc_INTERPOLATE, 4, 1, 2, VQ_ProcedureType_C, 4> {
 public:
  // Argument tables: dimensions, type codes, inputs the routine writes.
  static const unsigned char nDims[5];
  static const unsigned char iTypes[5];
  static const bool bIsVar[5];

  VQProc_INTERPOLATE(bool alwaysCall, int flags);
  VQProc_INTERPOLATE(const VQProc_INTERPOLATE& other);
  VQProc_INTERPOLATE& operator=(const VQProc_INTERPOLATE& other);
  ~VQProc_INTERPOLATE() override;

  static bool ReturnsDerivatives() { return true; }
  const char* ProcedureName() const override;
  const char* DLLName() const override;
  int Precall(bool flag) override;
};

extern template class VQ_ProcedureTemplate<VQProc_INTERPOLATE, 4, 1, 2, VQ_ProcedureType_C, 4>;
