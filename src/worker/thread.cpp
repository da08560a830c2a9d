#include "worker/thread.h"

#include <memory>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <errno.h>
#include <process.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <pthread.h>
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#else
#include <link.h>
#endif
#endif

namespace quorvel::worker {

namespace {

struct Start {
  ThreadEntry entry;
  void* arg;
};

void run(Start* raw) {
  std::unique_ptr<Start> start(raw);
  start->entry(start->arg);
}

#if defined(_WIN32)
unsigned __stdcall trampoline(void* raw) {
  run(static_cast<Start*>(raw));
  return 0;
}
#else
extern "C" void* trampoline(void* raw) {
  run(static_cast<Start*>(raw));
  return nullptr;
}
#endif

// An address inside this module, for asking which module that is.
constexpr char kAnchor = 0;

}  // namespace

void pin_module() {
#if defined(_WIN32)
  // Pinned, FreeLibrary never unloads the DLL and its DLL_PROCESS_DETACH comes
  // only at process exit, after Windows has ended every other thread: nothing
  // ever has to stop or join the worker under the loader lock.
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                          reinterpret_cast<LPCWSTR>(&kAnchor), &self)) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "cannot keep the library loaded");
  }
#else
  // Reopening the library by the name it was loaded under finds the loaded
  // instance without reading any file; RTLD_NODELETE marks it never to be
  // unloaded. The handle is never closed.
  Dl_info info{};
#if defined(__APPLE__)
  if (dladdr(&kAnchor, &info) == 0 || info.dli_fname == nullptr) {
    throw std::system_error(std::make_error_code(std::errc::not_supported),
                            "cannot keep the library loaded: no module holds its code");
  }
  // Image 0 is the program, which is never unloaded.
  if (info.dli_fbase == static_cast<const void*>(_dyld_get_image_header(0))) return;
  const char* name = info.dli_fname;
#else
  link_map* map = nullptr;
  if (dladdr1(&kAnchor, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
      map == nullptr) {
    throw std::system_error(std::make_error_code(std::errc::not_supported),
                            "cannot keep the library loaded: no module holds its code");
  }
  // The program's own entry has an empty name; it is never unloaded.
  if (map->l_name == nullptr || map->l_name[0] == '\0') return;
  const char* name = map->l_name;
#endif
  if (dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) == nullptr) {
    const char* why = dlerror();
    throw std::system_error(
        std::make_error_code(std::errc::not_supported),
        std::string("cannot keep the library loaded: ") + (why != nullptr ? why : name));
  }
#endif
}

void spawn_detached(ThreadEntry entry, void* arg, std::size_t stack_size) {
  auto start = std::make_unique<Start>(Start{entry, arg});
#if defined(_WIN32)
  uintptr_t handle = _beginthreadex(nullptr, static_cast<unsigned>(stack_size), &trampoline,
                                    start.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (handle == 0) {
    throw std::system_error(errno, std::generic_category(), "cannot create the worker thread");
  }
  start.release();
  // Detached: the handle is not kept.
  CloseHandle(reinterpret_cast<HANDLE>(handle));
#else
  pthread_attr_t attr;
  int rc = pthread_attr_init(&attr);
  if (rc != 0) {
    throw std::system_error(rc, std::generic_category(), "cannot create the worker thread");
  }
  rc = pthread_attr_setstacksize(&attr, stack_size);
  if (rc == 0) rc = pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  if (rc == 0) rc = pthread_create(&thread, &attr, &trampoline, start.get());
  pthread_attr_destroy(&attr);
  if (rc != 0) {
    throw std::system_error(rc, std::generic_category(), "cannot create the worker thread");
  }
  start.release();
#endif
}

}  // namespace quorvel::worker
