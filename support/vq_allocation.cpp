// The module's global allocation and release: every object the library
// creates lives on the runtime's heap. Plain forwards, non-throwing: a
// refused allocation gives null. The library's new-expressions take the
// nothrow form, which every compiler checks for null before it runs a
// constructor; -fcheck-new gives the plain form the same check under g++.
// The version script keeps these functions local to the module.
#include <cstddef>
#include <new>

#include "vq_memory.h"

void* operator new(std::size_t bytes) { return MyAllocate(bytes); }
void* operator new[](std::size_t bytes) { return MyAllocate(bytes); }
void operator delete(void* block) noexcept { MyFree(block); }
void operator delete[](void* block) noexcept { MyFree(block); }
void operator delete(void* block, std::size_t) noexcept { MyFree(block); }
void operator delete[](void* block, std::size_t) noexcept { MyFree(block); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return MyAllocate(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return MyAllocate(bytes); }
void operator delete(void* block, const std::nothrow_t&) noexcept { MyFree(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { MyFree(block); }
