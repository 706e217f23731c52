#include "vq_links.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "vq_error.h"
#include "vq_memory.h"

namespace {

// A class as the source names it: "VQ_ANGLEPARAMETER".
std::string ClassName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  return status == 0 && name ? name.get() : type.name();
}

// The type a reference or member stands for: its class where known,
// otherwise the type name of its signature.
std::string ReferencedName(const std::type_info* type, const char* signature) {
  return type != nullptr ? ClassName(*type) : vq_rt::SignatureName(signature);
}

[[noreturn]] void RefuseLink(const VQ_Containable& reference, const std::string& wanted, VQ_Containable& instance) {
  vq_rt::Raise("%s refers to a %s and cannot be linked to %s, a %s", reference.DisplayName().c_str(), wanted.c_str(),
               instance.DisplayName().c_str(), ClassName(typeid(instance)).c_str());
}

}  // namespace

VQ_ExternalBase::VQ_ExternalBase(VQ_Containable*) {}
VQ_ExternalBase::VQ_ExternalBase(const VQ_ExternalBase& other) : VQ_Containable(other) { Link(other.m_Linked); }
VQ_ExternalBase& VQ_ExternalBase::operator=(const VQ_ExternalBase& other) {
  VQ_Containable::operator=(other);
  if (this != &other) Link(other.m_Linked);
  return *this;
}
VQ_ExternalBase::~VQ_ExternalBase() { Link(nullptr); }

VQ_ExternalBase* VQ_ExternalBase::AddProperty(VQ_Container* owner, const char* name, const char* description,
                                              int direction, bool flag) {
  RegisterIn(owner, name, description, direction, flag, VQ_RegistrationForm::External);
  return this;
}

VQ_Containable* VQ_ExternalBase::ExternalLink() const {
  if (m_Linked == nullptr) vq_rt::Raise("%s is not linked to an instance", DisplayName().c_str());
  return m_Linked;
}

const char* VQ_ExternalBase::ExternalTypeName() const { return nullptr; }

bool VQ_ExternalBase::Accepts(VQ_Containable& instance) const {
  const char* wanted = ExternalTypeName();
  auto* container = dynamic_cast<VQ_Container*>(&instance);
  return wanted == nullptr || container == nullptr || container->ContainerDerivesFrom(wanted);
}

void VQ_ExternalBase::Link(VQ_Containable* instance) {
  if (instance == m_Linked) return;
  if (instance != nullptr) {
    if (!Accepts(*instance)) RefuseLink(*this, ReferencedName(ReferencedClass(), ExternalTypeName()), *instance);
    instance->AddRef();
  }
  if (instance != nullptr && instance->NamedAfter() == nullptr) instance->NameAfter(this);
  VQ_Containable* old = m_Linked;
  m_Linked = instance;
  if (old != nullptr) {
    if (old->NamedAfter() == this) old->NameAfter(nullptr);
    old->Release();
  }
}

// ---------------------------------------------------------------------------

VQ_VirtualBase::VQ_VirtualBase(VQ_Type*) : VQ_STRINGPARAMETER(false) {}
VQ_VirtualBase& VQ_VirtualBase::operator=(const VQ_VirtualBase& other) {
  VQ_STRINGPARAMETER::operator=(other);
  return *this;
}
VQ_VirtualBase::~VQ_VirtualBase() {
  VQ_AssignmentTransaction::Forget(*this);
  Link(nullptr);
}

VQ_Type* VQ_VirtualBase::AddProperty(VQ_Container* owner, const char* name, const char* description, int direction,
                                     bool flag) {
  RegisterIn(owner, name, description, direction, flag, VQ_RegistrationForm::Virtual);
  return this;
}

VQ_Type* VQ_VirtualBase::LinkDefault() {
  VQ_Type* instance = NewDefaultVirtual();
  if (instance == nullptr)
    vq_rt::Raise("%s: no instance of \"%s\" could be made", DisplayName().c_str(),
                 VirtualBaseType() ? vq_rt::SignatureName(VirtualBaseType()).c_str() : "(unknown type)");
  Link(instance);
  VQ_AssignmentTransaction::MadeDefault(*this);
  return m_Linked;
}

VQ_Type* VQ_VirtualBase::NewDefaultVirtual() { return nullptr; }
const char* VQ_VirtualBase::VirtualBaseType() { return nullptr; }

bool VQ_VirtualBase::Accepts(VQ_Type&) const { return true; }

void VQ_VirtualBase::Link(VQ_Type* instance) {
  if (instance == m_Linked) return;
  if (instance != nullptr) {
    if (!Accepts(*instance))
      RefuseLink(*this, ReferencedName(ReferencedClass(), const_cast<VQ_VirtualBase*>(this)->VirtualBaseType()),
                 *instance);
    instance->AddRef();
    instance->AttachAsLinked(this);
  }
  VQ_Type* old = m_Linked;
  m_Linked = instance;
  if (old != nullptr) {
    old->Detach();
    old->Release();
  }
}

// The member's value names the type in use; only the base type is offered.
void VQ_VirtualBase::StoreLayer(Layer layer, const XUValue& value) {
  const char* base = VirtualBaseType();
  if (layer == kUser && base != nullptr && XUValue::CompareCI(value.AsString(), base) != 0)
    vq_rt::Raise("%s: \"%s\" cannot replace \"%s\"", DisplayName().c_str(), vq_rt::UserText(value.AsString()).c_str(),
                 vq_rt::SignatureName(base).c_str());
}
bool VQ_VirtualBase::HasLayer(Layer layer) const { return layer == kTypeDefault; }
void VQ_VirtualBase::ReadLayer(Layer, XUValue& out) const {
  const char* base = const_cast<VQ_VirtualBase*>(this)->VirtualBaseType();
  out.SetString(base ? base : "");
}

// ---------------------------------------------------------------------------

VQ_External<VQ_INTEGERPARAMETER>::VQ_External() : VQ_ExternalBase(nullptr) {}
VQ_External<VQ_INTEGERPARAMETER>::VQ_External(const VQ_External& other) = default;
VQ_External<VQ_INTEGERPARAMETER>& VQ_External<VQ_INTEGERPARAMETER>::operator=(const VQ_External& other) = default;
VQ_External<VQ_INTEGERPARAMETER>::~VQ_External() = default;
VQ_INTEGERPARAMETER& VQ_External<VQ_INTEGERPARAMETER>::operator*() {
  return static_cast<VQ_INTEGERPARAMETER&>(*ExternalLink());
}
const char* VQ_External<VQ_INTEGERPARAMETER>::ExternalTypeName() const { return VQ_INTEGERPARAMETER::VQ_ContainerId(); }
bool VQ_External<VQ_INTEGERPARAMETER>::Accepts(VQ_Containable& instance) const {
  return dynamic_cast<VQ_INTEGERPARAMETER*>(&instance) != nullptr;
}
const std::type_info* VQ_External<VQ_INTEGERPARAMETER>::ReferencedClass() const { return &typeid(VQ_INTEGERPARAMETER); }

VQ_Virtual<VQ_REALPARAMETER>::VQ_Virtual() : VQ_VirtualBase(nullptr) { VQ_STRINGPARAMETER::InitializeSystemAttributes(); }
VQ_Virtual<VQ_REALPARAMETER>& VQ_Virtual<VQ_REALPARAMETER>::operator=(const VQ_Virtual& other) {
  VQ_VirtualBase::operator=(other);
  return *this;
}
VQ_Virtual<VQ_REALPARAMETER>::~VQ_Virtual() = default;
VQ_REALPARAMETER& VQ_Virtual<VQ_REALPARAMETER>::operator*() { return static_cast<VQ_REALPARAMETER&>(*VirtualLink()); }
VQ_Type* VQ_Virtual<VQ_REALPARAMETER>::NewDefaultVirtual() { return vq_rt::New<VQ_REALPARAMETER>(true); }
const char* VQ_Virtual<VQ_REALPARAMETER>::VirtualBaseType() { return VQ_REALPARAMETER::VQ_ContainerId(); }
bool VQ_Virtual<VQ_REALPARAMETER>::Accepts(VQ_Type& instance) const {
  return dynamic_cast<VQ_REALPARAMETER*>(&instance) != nullptr;
}
const std::type_info* VQ_Virtual<VQ_REALPARAMETER>::ReferencedClass() const { return &typeid(VQ_REALPARAMETER); }
