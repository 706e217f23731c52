// The module's global allocation and release: every object the module
// creates lives on the runtime's heap. Plain forwards, non-throwing: a
// refused allocation gives null. Its new-expressions take the nothrow form,
// which every compiler checks for null before it runs a constructor;
// -fcheck-new gives the plain form the same check under g++. The library and
// every model library built against it compile this file in (the module
// frame).
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

// The functions must stay inside the module that links them: exported,
// the loader would bind the module's own calls to the first operator new
// loaded (the C++ runtime's), and the runtime's heap would see frees of
// blocks it never gave. <new> declares them with default visibility, which
// an attribute cannot narrow, so the symbols are marked hidden directly.
// (A Windows DLL binds its own at link time.)
#if defined(__ELF__)
#if __SIZEOF_SIZE_T__ == 8
#define BRANTEL_SIZE_CODE "m"
#else
#define BRANTEL_SIZE_CODE "j"
#endif
__asm__(".hidden _Znw" BRANTEL_SIZE_CODE "\n"
        ".hidden _Zna" BRANTEL_SIZE_CODE "\n"
        ".hidden _ZdlPv\n"
        ".hidden _ZdaPv\n"
        ".hidden _ZdlPv" BRANTEL_SIZE_CODE "\n"
        ".hidden _ZdaPv" BRANTEL_SIZE_CODE "\n"
        ".hidden _Znw" BRANTEL_SIZE_CODE "RKSt9nothrow_t\n"
        ".hidden _Zna" BRANTEL_SIZE_CODE "RKSt9nothrow_t\n"
        ".hidden _ZdlPvRKSt9nothrow_t\n"
        ".hidden _ZdaPvRKSt9nothrow_t\n");
#undef BRANTEL_SIZE_CODE
#endif
