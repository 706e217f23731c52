#pragma once
// An export of the model library this program has loaded, found by its
// name through the platform's loader; null when it is not there.
#include <string>

#include "vq_dynlib.h"

// The name the program loaded the library by: its soname on Linux.
#ifndef BRANTEL_LIBRARY_LOADED_NAME
#define BRANTEL_LIBRARY_LOADED_NAME vq_rt::LibraryFileName("Brantel300_1")
#endif

inline void* LibraryExport(const std::string& name) {
  void* library = vq_rt::LoadedLibrary(BRANTEL_LIBRARY_LOADED_NAME);
  if (library == nullptr) return nullptr;
  void* symbol = vq_rt::FindSymbol(library, name.c_str());
  vq_rt::CloseLibrary(library);  // the program's own reference keeps it loaded
  return symbol;
}
