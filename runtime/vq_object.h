#pragma once
// The runtime's object root and the property layers every model, port,
// parameter, variable, set and array is built on.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vq_api.h"
#include "vq_value.h"

class VQ_Container;
class VQ_VarParamProp;

namespace vq_rt {
struct ParamAttributes;
// The type name of a type signature: "Model DOMAIN\tV8.4" names DOMAIN,
// "Matrix\tV8.4" Matrix.
KYV_API std::string SignatureName(const char* signature);

// A name in 8 bytes: up to 6 characters in place, an element's integer
// indices packed in place and read back as their text ("(3)", "(1,2,3)"),
// any other text on the heap. The top byte tells which.
class KYV_API CompactName {
 public:
  CompactName() = default;
  CompactName(const CompactName&) = delete;
  CompactName& operator=(const CompactName&) = delete;
  ~CompactName() { Release(); }

  void Assign(const char* text);
  // False, leaving the name as it was, where the indices do not fit in
  // place; the caller then gives their text.
  bool AssignIndices(const int* indices, int count);
  // Packed indices are written out on each call into one of a few buffers
  // of the calling thread: use the text at once, as messages and paths do.
  const char* c_str() const;
  bool empty() const { return m_Bits == 0; }

 private:
  enum Kind : unsigned { kEmpty = 0, kHeap = 1, kIndex1 = 2, kIndex2 = 3, kIndex3 = 4, kInPlace = 5 };
  static constexpr int kKindShift = 56;
  Kind KindOf() const { return static_cast<Kind>(m_Bits >> kKindShift); }
  char* HeapText() const;
  void Release();
  std::uint64_t m_Bits = 0;
};
}  // namespace vq_rt

// Root of every runtime object: a reference count and the runtime heap.
// Objects are released through their virtual destructor, which returns the
// memory to MyFree whichever module created them.
class KYV_API VQ_PtrVectorObject {
 public:
  VQ_PtrVectorObject();
  VQ_PtrVectorObject(const VQ_PtrVectorObject& other);
  VQ_PtrVectorObject& operator=(const VQ_PtrVectorObject& other);
  virtual ~VQ_PtrVectorObject();

  unsigned long AddRef();
  // Drops one reference; at none left the object is destroyed.
  unsigned long Release();
  unsigned long RefCount() const { return m_RefCount; }

  // On the runtime heap, in blocks of a multiple of 8 bytes: no runtime
  // object needs more alignment, and an element of 40 bytes then takes 40.
  static void* operator new(std::size_t bytes);
  static void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t, void* place) noexcept { return place; }
  static void operator delete(void* block) noexcept;
  static void operator delete(void* block, const std::nothrow_t&) noexcept;
  static void operator delete(void*, void*) noexcept {}

 private:
  // 32 bits, so that the first member of a derived class packs beside it.
  std::uint32_t m_RefCount = 0;
};

class KYV_API VQ_Update : public VQ_PtrVectorObject {
 public:
  VQ_Update();
  VQ_Update(const VQ_Update& other);
  VQ_Update& operator=(const VQ_Update& other);
  ~VQ_Update() override;
};

// How a property was registered with its owner.
enum class VQ_RegistrationForm : unsigned char { None, Plain, Virtual, External };

// Something a container can hold: a property (registered with its owner), an
// array element (named by its index), the instance linked to a virtual
// member, or a part the runtime keeps inside an object without registering
// it. Carries the registration and the port settings.
class KYV_API VQ_Containable : public VQ_Update {
 public:
  enum class Role : unsigned char { Free, Property, Element, Linked, Part };

  VQ_Containable();
  // A copy is a new, unregistered object: identity is never copied.
  VQ_Containable(const VQ_Containable& other);
  VQ_Containable& operator=(const VQ_Containable& other);
  ~VQ_Containable() override;

  Role GetRole() const { return m_Role; }
  // The registered name, or an element's index text such as "(3)".
  // An element's name is written out afresh on each call: see CompactName.
  const char* Name() const { return m_Name.c_str(); }
  // Null when the property was registered without one.
  const char* Description() const {
    const Rare* rare = RareIfAny();
    return rare != nullptr && rare->description != nullptr ? rare->description->c_str() : nullptr;
  }
  int Direction() const {
    const Rare* rare = RareIfAny();
    return rare != nullptr ? rare->direction : 0;
  }
  bool RegistrationFlag() const { return m_Flag; }
  VQ_RegistrationForm Form() const { return m_Form; }
  // The owner of a property, the array of an element, the member of a linked
  // instance; null for a free object.
  VQ_Containable* Parent() const { return m_Parent; }

  void SetDirection(int direction);
  void UnsetIsToBeExported();
  bool IsToBeExported() const { return m_ToBeExported; }
  void HostPortType(int type);
  int HostPortType() const {
    const Rare* rare = RareIfAny();
    return rare != nullptr ? rare->hostPortType : 0;
  }

  // A readable name for messages: the path from the top-level instance, the
  // instance named by its type ("DOMAIN.SECTION(2).NODECOUNT"). An instance
  // linked through a reference is named by the reference's path from the
  // instance that holds it ("XDOMAIN.LENGTH").
  std::string DisplayName() const;
  // The reference that names this free instance (the first that linked it);
  // null to name it by its type.
  void NameAfter(const VQ_Containable* reference);
  const VQ_Containable* NamedAfter() const {
    const Rare* rare = RareIfAny();
    return rare != nullptr ? rare->namedAfter : nullptr;
  }

  // Runtime bookkeeping of elements and linked instances.
  void AttachAsElement(VQ_Containable* array, const char* indexText);
  // By its integer indices kept in place; false, attaching nothing, where
  // they do not fit (the caller then gives their text).
  bool AttachAsElement(VQ_Containable* array, const int* indices, int count);
  void AttachAsLinked(VQ_Containable* member);
  void AttachAsPart(VQ_Containable* owner, const char* name);
  void Detach();

 protected:
  // Registers this object as a property of owner; returns this.
  void RegisterIn(VQ_Container* owner, const char* name, const char* description, int direction, bool flag,
                  VQ_RegistrationForm form);

  // Apart from the object, in a table keyed by its address: few objects
  // have these, and elements never do.
  struct Rare {
    std::unique_ptr<std::string> description;
    const VQ_Containable* namedAfter = nullptr;
    int hostPortType = 0;
    int direction = 0;  // only ports have one
    std::vector<VQ_VarParamProp*> dependents;  // of a property that holds a value
    vq_rt::ParamAttributes* attributes = nullptr;  // a parameter's bounds and units, owned by it
  };
  Rare& RareFields();
  Rare* RareIfAny() const { return m_HasRare ? LookUpRare() : nullptr; }
  // Set while the open assignment transaction holds what to put back for
  // this object; its end clears it. Not copied.
  bool TransactionMark() const { return m_TransactionMark; }
  void SetTransactionMark(bool on) { m_TransactionMark = on; }
  // Bits a derived kind keeps in the base rather than in a member of its
  // own; they go with a copy, as the kind's value does.
  bool KindBit(unsigned bit) const { return (m_KindBits & (1u << bit)) != 0; }
  void SetKindBit(unsigned bit, bool on) {
    m_KindBits = static_cast<unsigned char>(on ? m_KindBits | (1u << bit) : m_KindBits & ~(1u << bit));
  }

 private:
  // The path, with an unnamed top-level instance giving its type name or,
  // below a reference, nothing.
  std::string PathName(bool nameTopLevel) const;
  Rare* LookUpRare() const;
  struct RareTable;

  // The small fields first, beside the reference count, so that the base
  // takes 32 bytes and a variable element 48.
  Role m_Role = Role::Free;
  VQ_RegistrationForm m_Form = VQ_RegistrationForm::None;
  bool m_Flag : 1 = false;
  bool m_ToBeExported : 1 = true;
  bool m_HasRare : 1 = false;  // an entry of RareTable is this object's
  bool m_TransactionMark : 1 = false;  // see TransactionMark
  unsigned char m_KindBits = 0;  // see KindBit
  vq_rt::CompactName m_Name;
  VQ_Containable* m_Parent = nullptr;
};

enum VQ_AssignStatus { VQ_ASSIGN_OK = 0, VQ_ASSIGN_OVERRIDDEN = 1 };

// A property that holds or stands for a value.
class KYV_API VQ_VarParamProp : public VQ_Containable {
 public:
  VQ_VarParamProp();
  VQ_VarParamProp(const VQ_VarParamProp& other);
  VQ_VarParamProp& operator=(const VQ_VarParamProp& other);
  ~VQ_VarParamProp() override;

  // A default assignment. A user's own value wins over it; a value outside
  // the property's bounds or valid set is refused with VQ_Error.
  virtual VQ_AssignStatus Assign(VQ_Value* value);

  // Current value, by kind; VQ_Error when the property has no such value.
  virtual int Integer() const;
  virtual double Real() const;
  virtual const char* String() const;

  // Dependents are told when this property goes away (arrays bound to a set).
  void AddDependent(VQ_VarParamProp* dependent);
  void RemoveDependent(VQ_VarParamProp* dependent);

 protected:
  // Called on each dependent when `source` is destroyed.
  virtual void DependencyGone(VQ_VarParamProp* source);
};

class KYV_API VQ_Type : public VQ_VarParamProp {
 public:
  VQ_Type();
  VQ_Type(const VQ_Type& other);
  VQ_Type& operator=(const VQ_Type& other);
  ~VQ_Type() override;

  // Registers this member as a property of owner and returns it.
  VQ_Type* AddProperty(VQ_Container* owner, const char* name, const char* description, int direction, bool flag);
};
