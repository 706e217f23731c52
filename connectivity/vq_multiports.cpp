// The port arrays' instances are the library's own, declared before the
// multiports that hold them.
#include "vq_instances.h"

#include <climits>

template <class T>
VQ_MULTIPORT<T>::VQ_MULTIPORT() {
  CONNECTION.AddProperty(this, "CONNECTION", "Active Multiport connections", kDirectionNone, false);
  CONNECTION.SetDim(ConnectionNames());
}

template <class T>
VQ_MULTIPORT<T>::~VQ_MULTIPORT() = default;

template <class T>
VQ_MULTIPORT<T>& VQ_MULTIPORT<T>::operator=(const VQ_MULTIPORT& other) {
  VQ_MULTIPORT_BaseType::operator=(other);
  CONNECTION = other.CONNECTION;
  // The array took over the other's index set; the ports stay indexed by
  // this multiport's own connection names.
  CONNECTION.SetDim(ConnectionNames());
  return *this;
}

template <class T>
void VQ_MULTIPORT<T>::DumpStructure() {
  VQ_PortType::DumpStructure();
}

template <class T>
int VQ_MULTIPORT<T>::PortCount(bool) const {
  return CONNECTION.PortCount(false) + 1;
}

template <class T>
VQ_Type* VQ_MULTIPORT<T>::GetPort(int& index, bool) {
  // The lowest index is already below zero; lowering it would overflow.
  if (index == INT_MIN || --index < 0) return this;
  return CONNECTION.GetPort(index, false);
}

template <class T>
VQ_PortType* VQ_MULTIPORT<T>::CreateConnectionPort(const char* name, unsigned int flags) {
  if (name == nullptr) return nullptr;
  CONNECTION.SetDirection(Direction());
  if (IsToBeExported()) CONNECTION.HostPortType(HostPortType());
  else CONNECTION.UnsetIsToBeExported();
  VQ_StrSetValue names(ConnectionNames().v());
  const VQ_StrSetValue before(names);
  names += name;
  {
    VQ_Value value(names, flags);
    // Refused (a user's value holds the set): the name is no index of
    // CONNECTION, and a port made for it would be one nobody knows of.
    if (ConnectionNames().Assign(&value) != VQ_ASSIGN_OK) return nullptr;
  }
  try {
    return &CONNECTION(name);
  } catch (...) {
    // No port could be made: the name is no connection either.
    VQ_Value previous(before, flags);
    ConnectionNames().Assign(&previous);
    throw;
  }
}

template <class T>
VQ_PortType* VQ_MULTIPORT<T>::FindConnectionPort(const char* name) {
  // The element look-up makes what it does not find; a find must not.
  if (name == nullptr || !(ConnectionNames().v() >= name)) return nullptr;
  return &CONNECTION(name);
}

template class VQ_MULTIPORT<VQ_CONTROLPORT>;
template class VQ_MULTIPORT<VQ_GENERICPORT>;
template class VQ_MULTIPORT<VQ_CONNECTIONPORT>;

#define BRANTEL_DEFINE_MULTIPORT_CLASS(NAME, PORT)  \
  NAME::NAME() = default;                           \
  NAME::~NAME() = default;                          \
  NAME& NAME::operator=(const NAME& other) {        \
    VQ_MULTIPORT<PORT>::operator=(other);           \
    return *this;                                   \
  }
BRANTEL_MULTIPORT_CLASSES(BRANTEL_DEFINE_MULTIPORT_CLASS)
#undef BRANTEL_DEFINE_MULTIPORT_CLASS
