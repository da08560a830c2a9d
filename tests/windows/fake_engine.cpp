// Stand-ins for the engine DLL, each built with one fault that the DLL check
// must report (see CMakeLists.txt beside this file).
#include <stdexcept>

#define FAKE_EXPORT extern "C" __declspec(dllexport)

FAKE_EXPORT int qrv_abi_version() {
  return 1;
}
FAKE_EXPORT int qrv_search_start() {
  return 0;
}
FAKE_EXPORT int qrv_score(int n) {
#ifdef FAKE_shared_runtime
  // Throwing needs the C++ runtime; linked the default way, that is
  // libstdc++-6.dll and libgcc_s_seh-1.dll.
  if (n < 0) throw std::invalid_argument("negative");
#endif
  return n;
}
#ifndef FAKE_missing_export
FAKE_EXPORT int qrv_search_poll() {
  return 0;
}
#endif
#ifdef FAKE_extra_export
FAKE_EXPORT int qrv_debug() {
  return 0;
}
#endif
