#pragma once
// The global allocation functions a loaded module exports itself, found
// through the loader as another module's calls would bind them; the module
// is told by one of its own exports. A module whose frame keeps them inside
// exports none.
#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

inline std::vector<std::string> OwnAllocatorExports(void* library, const char* ownExport) {
  Dl_info moduleInfo{}, allocatorInfo{};
  void* own = dlsym(library, ownExport);
  if (own == nullptr || dladdr(own, &moduleInfo) == 0) return {std::string("(no export ") + ownExport + ")"};
  std::vector<std::string> exported;
  for (const char* name : {"_Znwm", "_Znam", "_ZdlPv", "_ZdaPv", "_ZdlPvm", "_ZdaPvm", "_ZnwmRKSt9nothrow_t",
                           "_ZnamRKSt9nothrow_t", "_ZdlPvRKSt9nothrow_t", "_ZdaPvRKSt9nothrow_t"}) {
    void* allocator = dlsym(library, name);
    if (allocator != nullptr && dladdr(allocator, &allocatorInfo) != 0 &&
        std::strcmp(allocatorInfo.dli_fname, moduleInfo.dli_fname) == 0)
      exported.push_back(name);
  }
  return exported;
}
