#pragma once
// The members of the templates that create objects. A module includes this
// only with the module frame linked in (vq_allocation.cpp), so that the
// objects come from the runtime's heap: the library in its instantiation
// file, a model library through vq_module_frame.h.
#include <new>

#include "vq_arrays.h"
#include "vq_generic.h"
#include "vq_references.h"

namespace brantel {
// A new T with its construct flag set, null when the heap refuses; an
// exception from T's constructor returns the storage and passes on.
template <class T>
VQ_Type* NewConstructed() {
  if constexpr (std::is_constructible_v<T, bool>) return new (std::nothrow) T(true);
  else return new (std::nothrow) T();
}
}  // namespace brantel

template <class T>
VQ_Type* VQ_Virtual<T>::NewDefaultVirtual() {
  return brantel::NewConstructed<T>();
}

template <class T, class U>
VQ_Type* VQ_ARRAY_I<T, U>::NewElement() {
  return brantel::NewConstructed<T>();
}
template <class T, class U>
VQ_Type* VQ_ARRAY_S<T, U>::NewElement() {
  return brantel::NewConstructed<T>();
}
template <class T, class U>
VQ_Type* VQ_ARRAY_II<T, U>::NewElement() {
  return brantel::NewConstructed<T>();
}
template <class T, class U>
VQ_Type* VQ_ARRAY_III<T, U>::NewElement() {
  return brantel::NewConstructed<T>();
}

template <class T>
VQ_GLOBALSTRUCTUREREFNAME<T>::VQ_GLOBALSTRUCTUREREFNAME() : VQ_GlobalStructureRefBase(nullptr) {}

template <class T>
VQ_GLOBALSTRUCTUREREFNAME<T>::~VQ_GLOBALSTRUCTUREREFNAME() = default;

template <class T>
VQ_GLOBALSTRUCTUREREFNAME<T>& VQ_GLOBALSTRUCTUREREFNAME<T>::operator=(const VQ_GLOBALSTRUCTUREREFNAME& other) {
  VQ_GlobalStructureRefBase::operator=(other);
  return *this;
}

template <class T>
VQ_ModelType* VQ_GLOBALSTRUCTUREREFNAME<T>::CreateDummyInstance() {
  return new (std::nothrow) T(true);
}

template <class T>
bool VQ_GLOBALSTRUCTUREREFNAME<T>::CheckCompatibleStructureType(VQ_ModelType* model) {
  // No model is of no type; the runtime may ask before it has one.
  return model != nullptr && model->ContainerDerivesFrom(T::VQ_ContainerId());
}
