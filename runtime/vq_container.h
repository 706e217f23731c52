#pragma once
// Containers (models, ports, structures), the equation frame and the
// equation-stream interface.
#include <functional>

#include "vq_params.h"

namespace vq_rt {
struct ContainerState;
}

// Operator codes of an equation stream.
enum EOp {
  EOp_Code1 = 1,  // one operand: the residual is the operand itself
  EOp_Add = 19,
  EOp_Subtract = 20,
  EOp_Multiply = 21,
  EOp_Divide = 22,
  EOp_Square = 40,  // one operand
};

class VQ_EquationType;
class VQ_ProcedureType;
class VQ_COMPONENTLISTNAME;

// An object that holds registered properties.
class KYV_API VQ_Container : public VQ_Type {
 public:
  VQ_Container();
  VQ_Container(const VQ_Container& other);
  VQ_Container& operator=(const VQ_Container& other);
  ~VQ_Container() override;

  virtual void SetDims();
  virtual long ExecuteAssignments(int a, int b);
  // Gives an internal index set its value for the given pass.
  void InitialiseInternalIndexSet(VQ_Set& set, VQ_Value* value, int pass);
  virtual VQ_COMPONENTLISTNAME* ComponentList();
  virtual VQ_VarParamProp* IsConnected();
  // The type signature, such as "Model DOMAIN\tV8.4".
  virtual const char* VQ_DefaultDESCRIPTION() const;
  virtual bool ContainerDerivesFrom(const char* signature);

  // Registered properties, in registration order.
  int PropertyCount() const;
  VQ_Containable* PropertyAt(int index) const;
  // By name, ignoring letter case; null when there is none.
  VQ_Containable* FindProperty(const char* name) const;

  // Runtime state: equation records, base results, pattern window.
  // Inline: every recorded call asks for it.
  vq_rt::ContainerState& State() { return m_State ? *m_State : MakeState(); }
  const vq_rt::ContainerState* StateIfAny() const { return m_State; }
  vq_rt::ContainerState* StateIfAny() { return m_State; }

 private:
  vq_rt::ContainerState& MakeState();
  friend class VQ_Containable;
  void AppendProperty(VQ_Containable* property);
  void RemoveProperty(VQ_Containable* property);

  std::vector<VQ_Containable*> m_Properties;
  vq_rt::ContainerState* m_State = nullptr;
};

// A type with equations: the counting pass and the emission pass.
class KYV_API VQ_ModelType : public VQ_Container {
 public:
  // The last group number taken by any model.
  static int m_stLastGroup;

  VQ_ModelType();
  VQ_ModelType(const VQ_ModelType& other);
  VQ_ModelType& operator=(const VQ_ModelType& other);
  ~VQ_ModelType() override;

  // Counting pass of the runtime's own level: clears this model's counting
  // records and returns the count it starts from.
  virtual int SetUpEquations();
  // Emission pass of the runtime's own level: returns the equation counter
  // this model's equations start at.
  virtual int JacPattern(int*& p, int*& q, VQ_EquationType** types);
  virtual int Residuals(double* residuals, int a, int b);
  virtual int Jacobian(double* values, int a, int b);

  void SetGroupLimits(int group);
  void AddNonZero(VQ_VarParam& reference);
  int SetLocalEqnCount(int count);
  // Opens one equation; the counter is advanced.
  void AddEquation(const char* name, int& counter, int group);
  // Opens one equation evaluated through an equation object, which the
  // runtime owns from here on; the counter is advanced.
  void AddEquation(VQ_EquationType* equation, int& counter, int group);
  // Registers a procedure call of this model's group (null: a call without
  // outputs).
  void AddProcCall(VQ_ProcedureType* procedure, int group);

  // A counting pass that cannot count this configuration: keeps the reason,
  // naming the property and its value, and gives the negative status the
  // pass returns.
  int RefuseCount(const VQ_VarParamProp& property, long long value, const char* reason);
  int RefuseCount(const VQ_VarParamProp& property, const XUValue& value, const char* reason);
  // The emission pass of one class level gave `emitted` equations where its
  // counting pass counted `counted`: raises VQ_Error when they differ.
  void ConfirmEmittedCount(int counted, int emitted);
  // SetGroupLimits calls of the counting pass so far, over every class level.
  int GroupLimitRecords();
  // The counting pass of the class level with type signature `level` counted
  // `counted` equations and called SetGroupLimits `records` times: raises
  // VQ_Error when they differ, since an equation without its own record has
  // no references.
  void ConfirmGroupLimitRecords(const char* level, int counted, int records);

 protected:
  void StreamReset();
  void StreamOp(EOp op, int equation);
  void StreamInteger(int value, int equation);
  void StreamReal(double value, int equation);
  void StreamReference(VQ_VarParam& reference, int*& p, int*& q, int equation);
  void StreamProcedure(VQ_ProcedureType* procedure, int sequence, int equation, const char* name);
};

// The equation-stream interface.
class KYV_API VQ_ModelExtensions {
 public:
  virtual void ResetExpressions() = 0;
  virtual void AddOp(EOp op, int equation) = 0;
  virtual void AddTerm(int value, int equation) = 0;
  virtual void AddTerm(double value, int equation) = 0;
  virtual void AddTerm(VQ_VarParam& reference, int*& p, int*& q, int equation) = 0;
  // Marks the open equation as output `sequence` (1 upwards) of a procedure
  // call; its reference terms follow.
  virtual void AddProcExpression(VQ_ProcedureType* procedure, int sequence, int equation, const char* name) = 0;

 protected:
  ~VQ_ModelExtensions() = default;
};

class KYV_API VQ_ModelDiscontinuity {
 protected:
  ~VQ_ModelDiscontinuity() = default;
};

class KYV_API VQ_ModelExtensions2 {
 protected:
  ~VQ_ModelExtensions2() = default;
};

// Adds the equation-stream interface to a model, port or structure base.
template <class Base>
class VQ_WithExtensions : public Base, public VQ_ModelExtensions {
 public:
  VQ_WithExtensions();
  VQ_WithExtensions(const VQ_WithExtensions& other);
  VQ_WithExtensions& operator=(const VQ_WithExtensions& other);
  ~VQ_WithExtensions() override;

  void ResetExpressions() override;
  void AddOp(EOp op, int equation) override;
  void AddTerm(int value, int equation) override;
  void AddTerm(double value, int equation) override;
  void AddTerm(VQ_VarParam& reference, int*& p, int*& q, int equation) override;
  void AddProcExpression(VQ_ProcedureType* procedure, int sequence, int equation, const char* name) override;
};

class KYV_API VQ_PortType : public VQ_ModelType {
 public:
  VQ_PortType();
  VQ_PortType(const VQ_PortType& other);
  VQ_PortType& operator=(const VQ_PortType& other);
  ~VQ_PortType() override;

  virtual bool IsAMultiport() const;
  // The ports this port stands for: itself, and a multiport's connections.
  virtual int PortCount(bool flag) const;
  // Walks the ports with a running index that each port lowers by one; the
  // port that takes it below zero is the one asked for. Null when the index
  // lies beyond this port's ports (it stays lowered for the next ones).
  virtual VQ_Type* GetPort(int& index, bool flag);
  virtual void DumpStructure();
};

extern template class KYV_API VQ_WithExtensions<VQ_ModelType>;
extern template class KYV_API VQ_WithExtensions<VQ_PortType>;

class KYV_API VQ_ModelTypeEx : public VQ_WithExtensions<VQ_ModelType> {
 public:
  VQ_ModelTypeEx();
  VQ_ModelTypeEx(const VQ_ModelTypeEx& other);
  VQ_ModelTypeEx& operator=(const VQ_ModelTypeEx& other);
  ~VQ_ModelTypeEx() override;
};

class KYV_API VQ_ModelTypeEx2 : public VQ_ModelTypeEx, public VQ_ModelDiscontinuity, public VQ_ModelExtensions2 {
 public:
  VQ_ModelTypeEx2();
  VQ_ModelTypeEx2(const VQ_ModelTypeEx2& other);
  VQ_ModelTypeEx2& operator=(const VQ_ModelTypeEx2& other);
  ~VQ_ModelTypeEx2() override;
};

class KYV_API VQ_PortTypeEx : public VQ_WithExtensions<VQ_PortType> {
 public:
  VQ_PortTypeEx();
  VQ_PortTypeEx(const VQ_PortTypeEx& other);
  VQ_PortTypeEx& operator=(const VQ_PortTypeEx& other);
  ~VQ_PortTypeEx() override;
};

class KYV_API VQ_StructureTypeEx : public VQ_WithExtensions<VQ_ModelType>, public VQ_ModelDiscontinuity {
 public:
  VQ_StructureTypeEx();
  VQ_StructureTypeEx(const VQ_StructureTypeEx& other);
  VQ_StructureTypeEx& operator=(const VQ_StructureTypeEx& other);
  ~VQ_StructureTypeEx() override;
};

namespace vq_rt {
// Once a model's index sets are laid, a user value on an element of one of
// its arrays that lies outside them (or anywhere within such an element)
// belongs to nothing the model has: raises VQ_Error naming it, the elements
// the array has, and how to give it more: what `madeBy` answers for the
// array (a literal, "raise NUMSECTIONS"), or else its index sets.
// The reason given, with the array's name, its elements and what gives it
// more; a model type that refuses such values earlier gives the same.
#define VQ_OUTSIDE_ELEMENT_REASON \
  "belongs to an element the model does not have: %s has the elements %s; %s, or clear the value"
KYV_API void RefuseValuesOutsideIndexSets(VQ_Container& model,
                                          const std::function<const char*(const VQ_Matrix&)>& madeBy = nullptr);
// The first user value in an object or below it, not following references
// (what they link belongs elsewhere); null when it holds none.
KYV_API const VQ_VarParam* FirstUserValue(VQ_Containable& object);
}  // namespace vq_rt
