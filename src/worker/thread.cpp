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

}  // namespace

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
