#pragma once
// The members of the templates that create objects. Only the library's
// instantiation file includes this: objects it makes come from the
// library's allocator, that is the runtime's heap.
#include <new>

#include "vq_arrays.h"
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
