#pragma once
// VQ_External<T>, a reference to an instance of T held elsewhere, and
// VQ_Virtual<T>, a replaceable member of type T. The library's instances
// are listed in vq_instances.h.
#include <type_traits>

#include "kyvexp.h"

template <class T>
class VQ_External : public VQ_ExternalBase {
 public:
  VQ_External() : VQ_ExternalBase(nullptr) {}
  VQ_External(const VQ_External& other) : VQ_ExternalBase(other) {}
  ~VQ_External() override {}
  VQ_External& operator=(const VQ_External& other) {
    VQ_ExternalBase::operator=(other);
    return *this;
  }
  // The referenced instance; an unlinked reference raises the runtime's error.
  T& operator*() { return static_cast<T&>(*ExternalLink()); }
  const char* ExternalTypeName() const override { return T::VQ_ContainerId(); }

 protected:
  // operator* casts to T: only a T (or a type derived from it) is linked.
  bool Accepts(VQ_Containable& instance) const override { return dynamic_cast<T*>(&instance) != nullptr; }
  const std::type_info* ReferencedClass() const override { return &typeid(T); }
};

template <class T>
class VQ_Virtual : public VQ_VirtualBase {
 public:
  VQ_Virtual() : VQ_VirtualBase(nullptr) { VQ_STRINGPARAMETER::InitializeSystemAttributes(); }
  ~VQ_Virtual() override {}
  VQ_Virtual& operator=(const VQ_Virtual& other) {
    VQ_VirtualBase::operator=(other);
    return *this;
  }
  // The instance in use, made by the runtime on first use.
  T& operator*() { return static_cast<T&>(*VirtualLink()); }
  // A new T for the runtime, without a reference: a generated or parameter
  // type constructed with its flag set, an array or multiport by its default
  // constructor; null when the heap refuses.
  VQ_Type* NewDefaultVirtual() override;
  const char* VirtualBaseType() override { return T::VQ_ContainerId(); }

 protected:
  bool Accepts(VQ_Type& instance) const override { return dynamic_cast<T*>(&instance) != nullptr; }
  const std::type_info* ReferencedClass() const override { return &typeid(T); }
};
