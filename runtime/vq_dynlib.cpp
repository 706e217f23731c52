#include "vq_dynlib.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vq_rt {

namespace {

#if defined(_WIN32)
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

std::string DirectoryOf(const std::string& path) {
  size_t separator = path.find_last_of(kSeparators);
  return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

}  // namespace

// An object of internal linkage: its address is the runtime's own, never a
// copy the program holds.
std::string RuntimeDirectory() {
  static const char marker = 0;
  return ModuleDirectory(&marker);
}

bool HasDirectory(const std::string& text) { return text.find_first_of(kSeparators) != std::string::npos; }

#if defined(_WIN32)

namespace {

std::string LastErrorText() {
  DWORD code = GetLastError();
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : "error " + std::to_string(code);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return message;
}

}  // namespace

void* OpenLibrary(const std::string& path, std::string& error) {
  // The altered search order finds the library's own dependencies beside
  // it; it wants backslashes.
  std::string native = path;
  for (char& c : native)
    if (c == '/') c = '\\';
  DWORD previous = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
  HMODULE module = LoadLibraryExA(native.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) error = LastErrorText();
  SetThreadErrorMode(previous, nullptr);
  return reinterpret_cast<void*>(module);
}

void* LoadedLibrary(const std::string& fileName) {
  HMODULE module = nullptr;
  return GetModuleHandleExA(0, fileName.c_str(), &module) ? reinterpret_cast<void*>(module) : nullptr;
}

void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string ModuleDirectory(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<const char*>(address), &module))
    return "";
  char file[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameA(module, file, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  return DirectoryOf(std::string(file, length));
}

std::string LibraryFileName(const std::string& name) { return name + ".dll"; }

#else

void* OpenLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : "unknown reason";
  }
  return library;
}

void* LoadedLibrary(const std::string& fileName) { return dlopen(fileName.c_str(), RTLD_NOW | RTLD_NOLOAD); }

void* FindSymbol(void* library, const char* name) {
  dlerror();
  return dlsym(library, name);
}

void CloseLibrary(void* library) { dlclose(library); }

std::string ModuleDirectory(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return "";
  return DirectoryOf(info.dli_fname);
}

std::string LibraryFileName(const std::string& name) { return "lib" + name + ".so"; }

#endif

}  // namespace vq_rt
