// Windows: the DLL pins itself as it loads, so that FreeLibrary never unloads
// it. Its worker thread, once started, runs the DLL's code for the rest of the
// process and is never joined; the C++ runtime linked into the DLL would leak
// memory at every unload; and DLL_PROCESS_DETACH, which then comes only at
// process exit after Windows has ended every other thread, never has to stop
// or wait for anything under the loader lock. Other platforms: see
// worker::pin_module.
#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  // A DLL that could be unloaded under its worker would crash its host
  // later; refusing the load says so now.
  HMODULE self = nullptr;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCWSTR>(instance), &self);
}
#endif
