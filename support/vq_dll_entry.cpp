// The entry of the Windows DLL. The library keeps no per-thread state, so
// the loader need not tell it of every thread that starts or ends.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
  return TRUE;
}
