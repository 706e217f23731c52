#pragma once
// An export of the model library this program has loaded, found by its
// name through the platform's loader; null when it is not there.
#include <string>

#include "vq_dynlib.h"

inline void* LibraryExport(const std::string& name) {
  void* library = vq_rt::LoadedLibrary(vq_rt::LibraryFileName("Brantel300_1"));
  if (library == nullptr) return nullptr;
  void* symbol = vq_rt::FindSymbol(library, name.c_str());
  vq_rt::CloseLibrary(library);  // the program's own reference keeps it loaded
  return symbol;
}
