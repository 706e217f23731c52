#include "vq_multiport.h"

#include "vq_error.h"

const char* VQ_MULTIPORT_BaseType::VQ_ContainerId() {
  static const char kId[] = "Port MULTIPORT\tV8.4";
  return kId;
}

VQ_MULTIPORT_BaseType::VQ_MULTIPORT_BaseType() : m_ConnectionNames(true) {
  m_ConnectionNames.AttachAsPart(this, "CONNECTIONNAMES");
}

VQ_MULTIPORT_BaseType& VQ_MULTIPORT_BaseType::operator=(const VQ_MULTIPORT_BaseType& other) {
  VQ_PortType::operator=(other);
  m_ConnectionNames = other.m_ConnectionNames;
  return *this;
}

VQ_MULTIPORT_BaseType::~VQ_MULTIPORT_BaseType() = default;

const char* VQ_MULTIPORT_BaseType::VQ_DefaultDESCRIPTION() const { return VQ_ContainerId(); }
bool VQ_MULTIPORT_BaseType::IsAMultiport() const { return true; }

VQ_STRINGSET& VQ_MULTIPORT_BaseType::ConnectionNames() { return m_ConnectionNames; }
const VQ_STRINGSET& VQ_MULTIPORT_BaseType::ConnectionNames() const { return m_ConnectionNames; }

VQ_PortType* VQ_MULTIPORT_BaseType::Connect(const char* name, unsigned int flags) {
  if (name == nullptr || *name == '\0') vq_rt::Raise("%s: a connection needs a name", DisplayName().c_str());
  if (VQ_PortType* port = FindConnectionPort(name)) return port;
  VQ_PortType* port = CreateConnectionPort(name, flags);
  if (port == nullptr) vq_rt::Raise("%s: no port could be made for the connection \"%s\"", DisplayName().c_str(), name);
  return port;
}

bool VQ_MULTIPORT_BaseType::Disconnect(const char* name) {
  const VQ_SetValue& names = m_ConnectionNames.v();
  if (name == nullptr || !(names >= name)) return false;
  VQ_StrSetValue remaining;
  for (int i = 0; i < names.SetSize(); ++i)
    if (XUValue::CompareCI(names.StringAt(i), name) != 0) remaining += names.StringAt(i);
  VQ_Value value(remaining, 0u);
  return m_ConnectionNames.Assign(&value) == VQ_ASSIGN_OK;
}

VQ_PortType* VQ_MULTIPORT_BaseType::CreateConnectionPort(const char*, unsigned int) { return nullptr; }
VQ_PortType* VQ_MULTIPORT_BaseType::FindConnectionPort(const char*) { return nullptr; }
