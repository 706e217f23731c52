#pragma once
// Parameters, variables and set properties.
#include <array>
#include <string>

#include "vq_memory.h"
#include "vq_object.h"

class VQ_Matrix;
class VQ_VirtualBase;

namespace vq_rt {
struct ParamAttributes;
}

// A parameter or variable. A value comes from one of three layers: the
// user's own value, the latest default assignment, or the type's default
// captured from its default hooks; the first present one is current.
class KYV_API VQ_VarParam : public VQ_Type {
 public:
  enum Layer { kTypeDefault = 0, kAssigned = 1, kUser = 2 };

  VQ_VarParam();
  VQ_VarParam(const VQ_VarParam& other);
  VQ_VarParam& operator=(const VQ_VarParam& other);
  ~VQ_VarParam() override;

  // Default hooks; null means the type proposes nothing.
  virtual VQ_Value* VQ_DefaultVALUE() const;
  virtual VQ_Value* VQ_DefaultLOWER() const;
  virtual VQ_Value* VQ_DefaultUPPER() const;
  virtual VQ_Value* VQ_DefaultVALID() const;
  virtual VQ_Value* VQ_DefaultPHYSICALQUANTITY() const;
  virtual VQ_Value* VQ_DefaultBASEUOMNAME() const;
  virtual VQ_Value* VQ_DefaultUNITS() const;
  virtual VQ_Value* VQ_DefaultTAG() const;

  // Reads the default hooks of the object as it dispatches now: its default
  // value, bounds, valid set and units.
  void InitializeSystemAttributes();

  // The kind of value this property holds (an XUValue type).
  virtual unsigned short ValueType() const;
  // The current value.
  void GetValue(XUValue& out) const;
  bool HasValueIn(Layer layer) const;

  // A value of the user's own; it wins over default assignments. A value of
  // the wrong kind, outside the bounds or outside the valid set is refused.
  void SetUserValue(const XUValue& value);
  void ClearUserValue();
  bool HasUserValue() const { return HasValueIn(kUser); }
  VQ_AssignStatus Assign(VQ_Value* value) override;
  // Drops the latest default assignment (a transaction puts it back), so a
  // default the owner no longer assigns stops standing in for the type's.
  void ForgetAssigned();

  // An attribute read from the hooks ("LOWER", "UPPER", "VALID",
  // "PHYSICALQUANTITY", "BASEUOMNAME", "UNITS", "TAG"); null when absent.
  const XUValue* Attribute(const char* name) const;

  // Number of this variable or parameter in the equation pattern; inline,
  // as the emission pass asks it of every reference.
  int PatternId() {
    const int known = KnownPatternId();
    return known >= 0 ? known : NewPatternId();
  }
  // The number without giving one: -1 where there is none yet.
  int KnownPatternId() const {
    // A variable on the runtime heap is told by its address, without
    // reading it; the runtime keeps the number of any other.
    const int pooled = vq_rt::PooledColumn(this);
    return pooled >= 0 ? pooled : vq_rt::SingleColumn(this);
  }

  // Refuses a value for this property: raises VQ_Error naming the property,
  // the value and the reason.
  [[noreturn]] void Refuse(const XUValue& value, const char* reason) const;
  [[noreturn]] void Refuse(double value, const char* reason) const;
  [[noreturn]] void Refuse(long long value, const char* reason) const;

 protected:
  // Converts a value to this property's kind; VQ_Error when it cannot.
  void Coerce(const XUValue& in, XUValue& out) const;
  virtual void StoreLayer(Layer layer, const XUValue& value);
  virtual void EraseLayer(Layer layer);
  virtual bool HasLayer(Layer layer) const;
  virtual void ReadLayer(Layer layer, XUValue& out) const;

 private:
  friend class VQ_AssignmentTransaction;
  friend class VQ_Container;
  // A default assignment without its record: the value is converted,
  // checked and kept in the assigned layer.
  void StoreAssigned(const VQ_Value& value);
  int NewPatternId();
  void Validate(const XUValue& value) const;
  void RememberAssigned();
  void RestoreAssigned(bool had, const XUValue& value);

  // Bounds and units are rare, so they live with the base's rare fields.
  const vq_rt::ParamAttributes* Attributes() const {
    const Rare* rare = RareIfAny();
    return rare != nullptr ? rare->attributes : nullptr;
  }
  void DropAttributes();
};

// While one lives, every default assignment remembers the value it replaces
// and every array element and default instance made is noted; unless the
// transaction is committed, its end puts those values back and destroys
// those objects, so
// a run of assignments that fails part-way leaves nothing half-written.
// Transactions nest: the outermost one does the work.
class KYV_API VQ_AssignmentTransaction {
 public:
  VQ_AssignmentTransaction();
  ~VQ_AssignmentTransaction();
  VQ_AssignmentTransaction(const VQ_AssignmentTransaction&) = delete;
  VQ_AssignmentTransaction& operator=(const VQ_AssignmentTransaction&) = delete;
  void Commit();
  // An element an array made in its slot.
  static void Made(VQ_Matrix& array, VQ_Type& element, int slot);
  // The array's elements go away by other means: nothing of it to destroy.
  static void Forget(const VQ_Matrix& array);
  // The default instance a replaceable member made on first use.
  static void MadeDefault(VQ_VirtualBase& member);
  // The member goes away: nothing of it to unlink.
  static void Forget(const VQ_VirtualBase& member);

 private:
  bool m_Outermost;
  bool m_Committed = false;
};

// A parameter of one scalar kind: its three layers and its accessors.
template <class T>
class VQ_ScalarParameter : public VQ_VarParam {
 public:
  // The current value; both accessors give the same value.
  T v() const { return Current(); }
  T fv() const { return Current(); }

 protected:
  VQ_ScalarParameter();
  VQ_ScalarParameter(const VQ_ScalarParameter& other);
  VQ_ScalarParameter& operator=(const VQ_ScalarParameter& other);
  ~VQ_ScalarParameter() override;

  void StoreLayer(Layer layer, const XUValue& value) override;
  void EraseLayer(Layer layer) override;
  bool HasLayer(Layer layer) const override;
  void ReadLayer(Layer layer, XUValue& out) const override;

  T Current() const {
    for (int layer = kUser; layer >= kTypeDefault; --layer)
      if (KindBit(layer)) return m_Values[layer];
    return T();
  }

 private:
  std::array<T, 3> m_Values{};
};

extern template class KYV_API VQ_ScalarParameter<double>;
extern template class KYV_API VQ_ScalarParameter<int>;
extern template class KYV_API VQ_ScalarParameter<bool>;

class KYV_API VQ_REALPARAMETER : public VQ_ScalarParameter<double> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_REALPARAMETER(bool bConstruct = true);
  VQ_REALPARAMETER(const VQ_REALPARAMETER& other);
  VQ_REALPARAMETER& operator=(const VQ_REALPARAMETER& other);
  ~VQ_REALPARAMETER() override;

  VQ_REALPARAMETER& operator*() { return *this; }
  double Real() const override { return Current(); }
  unsigned short ValueType() const override;
  virtual int VQ_PQRow() const;
  virtual int VQ_PQCol() const;
};

class KYV_API VQ_INTEGERPARAMETER : public VQ_ScalarParameter<int> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_INTEGERPARAMETER(bool bConstruct = true);
  VQ_INTEGERPARAMETER(const VQ_INTEGERPARAMETER& other);
  VQ_INTEGERPARAMETER& operator=(const VQ_INTEGERPARAMETER& other);
  ~VQ_INTEGERPARAMETER() override;

  VQ_INTEGERPARAMETER& operator*() { return *this; }
  int Integer() const override { return Current(); }
  double Real() const override { return Current(); }
  unsigned short ValueType() const override;
};

class KYV_API VQ_FalseLOGICALPARAMETER : public VQ_ScalarParameter<bool> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_FalseLOGICALPARAMETER(bool bConstruct = true);
  VQ_FalseLOGICALPARAMETER(const VQ_FalseLOGICALPARAMETER& other);
  VQ_FalseLOGICALPARAMETER& operator=(const VQ_FalseLOGICALPARAMETER& other);
  ~VQ_FalseLOGICALPARAMETER() override;

  VQ_FalseLOGICALPARAMETER& operator*() { return *this; }
  int Integer() const override { return Current() ? 1 : 0; }
  unsigned short ValueType() const override;
};

// A string-valued property; the layers live in the runtime's own storage.
class KYV_API VQ_StringValued : public VQ_VarParam {
 public:
  VQ_StringValued();
  VQ_StringValued(const VQ_StringValued& other);
  VQ_StringValued& operator=(const VQ_StringValued& other);
  ~VQ_StringValued() override;

  const char* v() const { return Current(); }
  const char* fv() const { return Current(); }
  operator const char*() const { return Current(); }
  const char* String() const override { return Current(); }
  unsigned short ValueType() const override;

 protected:
  void StoreLayer(Layer layer, const XUValue& value) override;
  void EraseLayer(Layer layer) override;
  bool HasLayer(Layer layer) const override;
  void ReadLayer(Layer layer, XUValue& out) const override;

 private:
  const char* Current() const;
  std::string m_Values[3];
};

class KYV_API VQ_STRINGPARAMETER : public VQ_StringValued {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_STRINGPARAMETER(bool bConstruct = true);
  VQ_STRINGPARAMETER(const VQ_STRINGPARAMETER& other);
  VQ_STRINGPARAMETER& operator=(const VQ_STRINGPARAMETER& other);
  ~VQ_STRINGPARAMETER() override;

  VQ_STRINGPARAMETER& operator*() { return *this; }
};

// The name of a component list; models hand it to the runtime.
class KYV_API VQ_COMPONENTLISTNAME : public VQ_StringValued {
 public:
  VQ_COMPONENTLISTNAME();
  VQ_COMPONENTLISTNAME(const VQ_COMPONENTLISTNAME& other);
  VQ_COMPONENTLISTNAME& operator=(const VQ_COMPONENTLISTNAME& other);
  ~VQ_COMPONENTLISTNAME() override;

  VQ_COMPONENTLISTNAME& operator*() { return *this; }
  void BeginPropertiesCall();
  void EndPropertiesCall();
};

// A set-valued property.
class KYV_API VQ_Set : public VQ_VarParam {
 public:
  VQ_Set();
  VQ_Set(const VQ_Set& other);
  VQ_Set& operator=(const VQ_Set& other);
  ~VQ_Set() override;

  VQ_Set& operator*() { return *this; }
  const VQ_SetValue& v() const { return Current(); }
  const VQ_SetValue& fv() const { return Current(); }

 protected:
  void StoreLayer(Layer layer, const XUValue& value) override;
  void EraseLayer(Layer layer) override;
  bool HasLayer(Layer layer) const override;
  void ReadLayer(Layer layer, XUValue& out) const override;

 private:
  const VQ_SetValue& Current() const;
  VQ_SetValue m_Values[3];
  VQ_SetValue m_Empty;
};

class KYV_API VQ_INTEGERSET : public VQ_Set {
 public:
  VQ_INTEGERSET();
  VQ_INTEGERSET(const VQ_INTEGERSET& other);
  VQ_INTEGERSET& operator=(const VQ_INTEGERSET& other);
  ~VQ_INTEGERSET() override;
  VQ_INTEGERSET& operator*() { return *this; }
  unsigned short ValueType() const override;
};

class KYV_API VQ_STRINGSET : public VQ_Set {
 public:
  explicit VQ_STRINGSET(bool bConstruct = true);
  VQ_STRINGSET(const VQ_STRINGSET& other);
  VQ_STRINGSET& operator=(const VQ_STRINGSET& other);
  ~VQ_STRINGSET() override;
  VQ_STRINGSET& operator*() { return *this; }
  unsigned short ValueType() const override;
};

// An unknown of the equation system (or its derivative).
class KYV_API VQ_REALVARIABLE : public VQ_VarParam {
 public:
  explicit VQ_REALVARIABLE(bool bConstruct = true);
  VQ_REALVARIABLE(const VQ_REALVARIABLE& other);
  VQ_REALVARIABLE& operator=(const VQ_REALVARIABLE& other);
  ~VQ_REALVARIABLE() override;

  VQ_REALVARIABLE& operator*() { return *this; }
  double v() const { return m_Value; }
  double fv() const { return m_Value; }
  double Real() const override { return m_Value; }
  void SetValue(double value) { m_Value = value; }
  unsigned short ValueType() const override;
  bool IsSolverVariable() const { return KindBit(kSolverVariable); }
  void SetSolverVariable(bool solver) { SetKindBit(kSolverVariable, solver); }

 protected:
  void StoreLayer(Layer layer, const XUValue& value) override;
  void EraseLayer(Layer layer) override;
  bool HasLayer(Layer layer) const override;
  void ReadLayer(Layer layer, XUValue& out) const override;

 private:
  // Its flags are kept in the base's kind bits: a variable takes 48 bytes.
  static constexpr unsigned kSolverVariable = 0, kUserSet = 1;
  double m_Value = 0.0;
};

class KYV_API VQ_PARTIALDERIVATIVE : public VQ_REALVARIABLE {
 public:
  explicit VQ_PARTIALDERIVATIVE(bool bConstruct = true);
  VQ_PARTIALDERIVATIVE(const VQ_PARTIALDERIVATIVE& other);
  VQ_PARTIALDERIVATIVE& operator=(const VQ_PARTIALDERIVATIVE& other);
  ~VQ_PARTIALDERIVATIVE() override;
  VQ_PARTIALDERIVATIVE& operator*() { return *this; }
};
