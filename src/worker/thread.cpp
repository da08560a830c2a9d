#include "worker/thread.h"

#include <memory>
#include <system_error>

#if defined(_WIN32)
#include <errno.h>
#include <process.h>
#include <windows.h>
#else
#include <pthread.h>
#endif
#if defined(__APPLE__)
#include <dlfcn.h>
#include <mach-o/dyld.h>

#include <string>
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

#if defined(__APPLE__)
// An address inside this image, for asking which image that is.
constexpr char kAnchor = 0;
#endif

}  // namespace

void pin_module() {
#if defined(__APPLE__)
  // Reopening the library by the name it was loaded under finds the loaded
  // image; RTLD_NODELETE marks it never to be unloaded. The handle is never
  // closed.
  Dl_info info{};
  if (dladdr(&kAnchor, &info) == 0 || info.dli_fname == nullptr) {
    throw std::system_error(std::make_error_code(std::errc::not_supported),
                            "cannot keep the library loaded: no image holds its code");
  }
  // Image 0 is the program, which is never unloaded.
  if (info.dli_fbase == static_cast<const void*>(_dyld_get_image_header(0))) return;
  if (dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) == nullptr) {
    const char* why = dlerror();
    throw std::system_error(
        std::make_error_code(std::errc::not_supported),
        std::string("cannot keep the library loaded: ") + (why != nullptr ? why : info.dli_fname));
  }
#endif
  // Linux and Windows: the library is pinned from its load on (the link option
  // -z nodelete; DllMain in src/api), which also spares the host the C++
  // runtime linked into it leaking memory at every unload.
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
