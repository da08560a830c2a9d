// The platform-specific pieces of the worker: a detached thread with a stack
// size of our choosing, which std::thread cannot give, and keeping the code
// that thread runs mapped for the rest of the process.
#pragma once

#include <cstddef>

namespace quorvel::worker {

using ThreadEntry = void (*)(void* arg);

// Makes sure that the shared library holding this code stays loaded until
// the process ends, whatever the host unloads: called before a thread that
// runs its code is created. Pinned, an unload unmaps nothing and runs none of
// the library's exit-time destructors, and a later load finds this same
// instance. The Linux and Windows builds are pinned from their load on, so
// only macOS has work to do here (none when the code is part of the program
// itself). Throws std::system_error when the platform refuses.
void pin_module();

// Runs entry(arg) on a new detached thread with a stack of `stack_size` bytes.
// Throws std::system_error when the platform cannot create the thread; `arg`
// is then still the caller's.
void spawn_detached(ThreadEntry entry, void* arg, std::size_t stack_size);

}  // namespace quorvel::worker
