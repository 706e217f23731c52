#pragma once
// Export marker of the modelling runtime.
//
// Rule for this runtime's headers: nothing that allocates or frees may be
// inline. The model library replaces operator new/delete inside its own
// module, so memory taken by inline code compiled into the library would be
// released by the runtime's allocator (or the other way round). Constructors,
// destructors, copies and anything touching a std container are therefore
// defined in the runtime's .cpp files, and no std container crosses the API
// by value.
#if defined(_WIN32)
// kyvexp_EXPORTS is defined by CMake while the runtime DLL itself is built.
#if defined(kyvexp_EXPORTS)
#define KYV_API __declspec(dllexport)
#else
#define KYV_API __declspec(dllimport)
#endif
#else
#define KYV_API __attribute__((visibility("default")))
#endif

// printf-style format checking. MinGW's "printf" means the Microsoft
// runtime's dialect; C++ code there uses MinGW's C99 stdio (libstdc++ turns
// it on), whose dialect is GNU's.
#if defined(__MINGW32__)
#define KYV_PRINTF(fmt, first) __attribute__((format(gnu_printf, fmt, first)))
#else
#define KYV_PRINTF(fmt, first) __attribute__((format(printf, fmt, first)))
#endif
