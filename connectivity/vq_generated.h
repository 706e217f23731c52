#pragma once
// The pattern every model, port, stream and structure type of the library
// follows, written once. A type derives from
// VQ_GeneratedLevel<Type, Base>, where Base is its runtime base or its
// generated base, declares its property members, and supplies Construct().
// What it does beyond the pattern it supplies through the hooks below,
// which the level calls on the type itself:
//   BindArrays()                      before the base's SetDims
//   CheckAssignments(a, b)            refuses, before anything is assigned,
//                                     values the assignments cannot work with
//   AssignIndexSets(a, b, pass)       the index-set statements of one pass
//   AssignDefaults(a, b)              the default assignments (pass 0 only)
//   ElementsMadeBy(array)             what gives an array more elements
//   CountOwnEquations(n)              the counting pass of its statements;
//                                     a negative result refuses the count
//   EmitOwnEquations(c, p, q)         the emission pass of its statements
#include <climits>
#include <new>
#include <type_traits>

#include "kyvexp.h"

// Directions of a registered property.
constexpr int kDirectionNone = 0;
constexpr int kDirectionIn = 4;
constexpr int kDirectionOut = 8;
// Host port type given to connection ports.
constexpr int kConnectionHostPortType = 4;

template <class T>
inline constexpr bool kIsGeneratedLevel = requires { typename T::VQ_GeneratedLevelTag; };

template <class Self, class Base>
class VQ_GeneratedLevel : public Base {
 public:
  using VQ_GeneratedLevelTag = void;

  VQ_GeneratedLevel(const VQ_GeneratedLevel&) = delete;
  ~VQ_GeneratedLevel() override = default;

  void SetDims() override {
    self().BindArrays();
    Base::SetDims();
  }

  long ExecuteAssignments(int a, int b) override { return self().ExecuteAssignments0(a, b, 0); }

  // Base assignments first (with the first argument lowered by one), then
  // the index sets with pass 0, the defaults, the index sets with pass 1.
  // A user value left outside the index sets is refused once every level of
  // the object has laid its sets: by the outermost level. A refusal part-way
  // puts back every value this call and the levels below it assigned.
  long ExecuteAssignments0(int a, int b, long) {
    VQ_AssignmentTransaction transaction;
    long result;
    if constexpr (kIsGeneratedLevel<Base>) {
      struct Nested {
        bool& flag;
        ~Nested() { flag = false; }
      } nested{this->Base::m_UnderDerivedLevel = true};
      result = Base::ExecuteAssignments(Lowered(a), b);
    } else {
      result = Base::ExecuteAssignments(Lowered(a), b);
    }
    self().CheckAssignments(a, b);
    self().AssignIndexSets(a, b, 0);
    self().AssignDefaults(a, b);
    self().AssignIndexSets(a, b, 1);
    if (!m_UnderDerivedLevel)
      vq_rt::RefuseValuesOutsideIndexSets(*this, [this](const VQ_Matrix& array) { return self().ElementsMadeBy(array); });
    transaction.Commit();
    return result;
  }

  int SetUpEquations() override {
    int n = Base::SetUpEquations();
    if (n < 0) return n;
    m_GroupBase = VQ_ModelType::m_stLastGroup;
    m_OwnEqnCount = 0;
    m_Counted = false;
    const int before = n;
    const int recordsBefore = this->GroupLimitRecords();
    const int status = self().CountOwnEquations(n);
    if (status < 0) return status;
    m_OwnEqnCount = n - before;
    this->ConfirmGroupLimitRecords(Self::VQ_ContainerId(), m_OwnEqnCount, this->GroupLimitRecords() - recordsBefore);
    m_Counted = true;
    return this->SetLocalEqnCount(n);
  }

  // Without a successful count there is no group base to emit with: the
  // level then emits nothing of its own.
  int JacPattern(int*& p, int*& q, VQ_EquationType** types) override {
    static_cast<VQ_ModelExtensions&>(*this).ResetExpressions();
    int counter = Base::JacPattern(p, q, types);
    int* const start = p;
    const int first = counter;
    if (m_Counted) self().EmitOwnEquations(counter, p, q);
    m_OwnNonZeroCount = static_cast<int>(p - start);
    this->ConfirmEmittedCount(m_Counted ? m_OwnEqnCount : 0, counter - first);
    return counter;
  }

  // Residuals and Jacobians come from the equation streams.
  int Residuals(double*, int, int) override { return 0; }
  int Jacobian(double*, int, int) override { return 0; }

  const char* VQ_DefaultDESCRIPTION() const override { return Self::VQ_ContainerId(); }

  bool ContainerDerivesFrom(const char* signature) override {
    if (signature == nullptr) return false;
    if (XUValue::CompareCI(signature, Self::VQ_ContainerId()) == 0) return true;
    if constexpr (kIsGeneratedLevel<Base>) return Base::ContainerDerivesFrom(signature);
    return false;
  }

  // Hooks of the frames above; a type hides the ones it needs (public, so
  // the level reaches them).
  void BindArrays() {}
  void CheckAssignments(int, int) {}
  void AssignIndexSets(int, int, int) {}
  void AssignDefaults(int, int) {}
  int CountOwnEquations(int&) { return 0; }
  void EmitOwnEquations(int&, int*&, int*&) {}
  // What a user changes to give an array of the object more elements, for
  // the refusal of a value outside them; null: the array's index sets. A
  // type that names its own asks its base for the others.
  const char* ElementsMadeBy(const VQ_Matrix& array) {
    if constexpr (kIsGeneratedLevel<Base>) return Base::ElementsMadeBy(array);
    static_cast<void>(array);
    return nullptr;
  }

  // The bookkeeping of this class level.
  int m_GroupBase = 0;
  int m_OwnEqnCount = 0;
  int m_OwnNonZeroCount = 0;
  // Whether the latest counting pass of this level succeeded.
  bool m_Counted = false;
  // While a derived level's assignments run this level's.
  bool m_UnderDerivedLevel = false;

 protected:
  VQ_GeneratedLevel() : VQ_GeneratedLevel(std::bool_constant<kIsGeneratedLevel<Base>>{}) {}

  // The parts of operator=: the base first, the bookkeeping last, the
  // type's own members in between.
  void AssignBase(const VQ_GeneratedLevel& other) { Base::operator=(other); }
  void AssignBookkeeping(const VQ_GeneratedLevel& other) {
    m_GroupBase = other.m_GroupBase;
    m_OwnEqnCount = other.m_OwnEqnCount;
    m_OwnNonZeroCount = other.m_OwnNonZeroCount;
    m_Counted = other.m_Counted;
  }

  // Registration of one member in Construct.
  template <class Member>
  void Register(Member& member, const char* name, const char* description = nullptr,
                int direction = kDirectionNone) {
    member.AddProperty(this, name, description, direction, false);
  }
  // A signal port: registered, then kept out of the exported interface.
  void RegisterControlPort(VQ_Type& port, const char* name, int direction) {
    port.AddProperty(this, name, nullptr, direction, false)->UnsetIsToBeExported();
  }
  // A connection port: registered, then given the connection host port type.
  void RegisterConnectionPort(VQ_Type& port, const char* name, int direction) {
    port.AddProperty(this, name, nullptr, direction, false)->HostPortType(kConnectionHostPortType);
  }

 private:
  explicit VQ_GeneratedLevel(std::true_type) : Base(false) {}
  explicit VQ_GeneratedLevel(std::false_type) : Base() {}

  Self& self() { return static_cast<Self&>(*this); }

  // The runtime receives the first argument lowered by one per level; the
  // lowest value stays where it is rather than overflow.
  static int Lowered(int a) { return a == INT_MIN ? INT_MIN : a - 1; }
};

// A top-level type's factory: a new instance with one reference for the
// host, or null when the runtime's heap refuses.
template <class T>
VQ_ModelType* VQ_MakeTopLevel() {
  T* instance = new (std::nothrow) T(true);
  if (instance == nullptr) return nullptr;
  instance->AddRef();
  return instance;
}

#define BRANTEL_DECLARE_FACTORY(TYPE) extern "C" __attribute__((visibility("default"))) VQ_ModelType* TYPE##Factory();
#define BRANTEL_DEFINE_FACTORY(TYPE) \
  extern "C" VQ_ModelType* TYPE##Factory() { return VQ_MakeTopLevel<VQ_##TYPE>(); }
