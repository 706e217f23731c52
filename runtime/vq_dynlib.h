#pragma once
// Shared libraries: the platform's loader (dlopen on Linux, LoadLibrary on
// Windows) behind one small interface, the only place that knows either.
#include <string>

#include "vq_api.h"

namespace vq_rt {

// Loads the library at `path` as it stands; null, with `error` set, when it
// cannot be loaded.
KYV_API void* OpenLibrary(const std::string& path, std::string& error);
// A library of that file name that is loaded already, without loading it;
// null when it is not. Close it like an opened one.
KYV_API void* LoadedLibrary(const std::string& fileName);
// The address of the exported `name`, or null.
KYV_API void* FindSymbol(void* library, const char* name);
KYV_API void CloseLibrary(void* library);

// The directory of the module (program or library) that holds `address`;
// empty when the loader cannot tell.
KYV_API std::string ModuleDirectory(const void* address);
// The directory the runtime itself was loaded from: the libraries of one
// installation lie beside each other, in the build tree as when installed.
KYV_API std::string RuntimeDirectory();
// The file a library called `name` is built as: libNAME.so, NAME.dll.
KYV_API std::string LibraryFileName(const std::string& name);
// Whether `text` names a file by a path (it holds a directory separator)
// rather than a bare name the loader would search the system for.
KYV_API bool HasDirectory(const std::string& text);

}  // namespace vq_rt
