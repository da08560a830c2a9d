// The one platform-specific piece of the worker: a detached thread with a
// stack size of our choosing, which std::thread cannot give.
#pragma once

#include <cstddef>

namespace quorvel::worker {

using ThreadEntry = void (*)(void* arg);

// Runs entry(arg) on a new detached thread with a stack of `stack_size` bytes.
// Throws std::system_error when the platform cannot create the thread; `arg`
// is then still the caller's.
void spawn_detached(ThreadEntry entry, void* arg, std::size_t stack_size);

}  // namespace quorvel::worker
