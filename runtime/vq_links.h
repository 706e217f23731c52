#pragma once
// References to instances held elsewhere, and replaceable members.
#include <typeinfo>

#include "vq_container.h"

// A reference to an instance held elsewhere (an external property). The
// runtime links it; dereferencing an unlinked reference raises VQ_Error.
// A linked instance is kept alive by the reference (one AddRef).
class KYV_API VQ_ExternalBase : public VQ_Containable {
 public:
  explicit VQ_ExternalBase(VQ_Containable* ignored = nullptr);
  // A copy refers to the same instance.
  VQ_ExternalBase(const VQ_ExternalBase& other);
  VQ_ExternalBase& operator=(const VQ_ExternalBase& other);
  ~VQ_ExternalBase() override;

  VQ_ExternalBase* AddProperty(VQ_Container* owner, const char* name, const char* description, int direction,
                               bool flag);
  // The linked instance; VQ_Error naming the reference when there is none.
  VQ_Containable* ExternalLink() const;
  // The type signature the reference stands for.
  virtual const char* ExternalTypeName() const;

  // Runtime side: links an instance of the referenced type (or of a type
  // derived from it), or unlinks with null; VQ_Error naming both otherwise.
  void Link(VQ_Containable* instance);
  VQ_Containable* LinkedIfAny() const { return m_Linked; }

 protected:
  // Whether an instance is of the referenced type. Without a class to test
  // against, a container is asked whether it derives from ExternalTypeName().
  virtual bool Accepts(VQ_Containable& instance) const;
  // The referenced class, where the reference knows it.
  virtual const std::type_info* ReferencedClass() const { return nullptr; }

 private:
  VQ_Containable* m_Linked = nullptr;
};

// A replaceable member: a string parameter naming the type in use, linked to
// an instance of it. The runtime makes the default instance (through
// NewDefaultVirtual) when the member is first dereferenced, and owns it.
class KYV_API VQ_VirtualBase : public VQ_STRINGPARAMETER {
 public:
  explicit VQ_VirtualBase(VQ_Type* ignored = nullptr);
  VQ_VirtualBase(const VQ_VirtualBase& other) = delete;
  // Assignment copies the member's value, not its instance.
  VQ_VirtualBase& operator=(const VQ_VirtualBase& other);
  ~VQ_VirtualBase() override;

  VQ_Type* AddProperty(VQ_Container* owner, const char* name, const char* description, int direction, bool flag);
  // The linked instance, made on first use; VQ_Error when none can be made.
  // Read per term of a walk, so the linked case stays inline.
  VQ_Type* VirtualLink() { return m_Linked != nullptr ? m_Linked : LinkDefault(); }
  virtual VQ_Type* NewDefaultVirtual();
  virtual const char* VirtualBaseType();

  // Runtime side: links an instance of the member's type (or of a type
  // derived from it); VQ_Error naming both otherwise.
  void Link(VQ_Type* instance);
  VQ_Type* LinkedIfAny() const { return m_Linked; }
  VQ_Type& Linked() { return *VirtualLink(); }

 protected:
  virtual bool Accepts(VQ_Type& instance) const;
  virtual const std::type_info* ReferencedClass() const { return nullptr; }
  void StoreLayer(Layer layer, const XUValue& value) override;
  bool HasLayer(Layer layer) const override;
  void ReadLayer(Layer layer, XUValue& out) const override;

 private:
  VQ_Type* LinkDefault();  // makes and links the default instance

  VQ_Type* m_Linked = nullptr;
};

// The runtime's own instances of the reference and member templates.
template <class T>
class VQ_External;
template <class T>
class VQ_Virtual;

template <>
class KYV_API VQ_External<VQ_INTEGERPARAMETER> : public VQ_ExternalBase {
 public:
  VQ_External();
  VQ_External(const VQ_External& other);
  VQ_External& operator=(const VQ_External& other);
  ~VQ_External() override;
  VQ_INTEGERPARAMETER& operator*();
  const char* ExternalTypeName() const override;

 protected:
  bool Accepts(VQ_Containable& instance) const override;
  const std::type_info* ReferencedClass() const override;
};

template <>
class KYV_API VQ_Virtual<VQ_REALPARAMETER> : public VQ_VirtualBase {
 public:
  VQ_Virtual();
  VQ_Virtual& operator=(const VQ_Virtual& other);
  ~VQ_Virtual() override;
  VQ_REALPARAMETER& operator*();
  VQ_Type* NewDefaultVirtual() override;
  const char* VirtualBaseType() override;

 protected:
  bool Accepts(VQ_Type& instance) const override;
  const std::type_info* ReferencedClass() const override;
};
