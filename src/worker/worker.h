// The background worker: the process-wide job counter, the id of the newest
// job, the job queue with the one thread that serves it, and the one kept
// result. Every start supersedes all earlier jobs; only the newest job's
// latest report is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "worker/queue.h"

namespace quorvel::worker {

inline constexpr std::string_view kEnginePanic = "engine panic";
inline constexpr std::string_view kWorkerStopped = "engine worker stopped";
inline constexpr std::size_t kWorkerStackSize = 2 * 1024 * 1024;

enum class PollState : std::uint8_t { running = 0, done = 1, failed = 2, no_such_job = 3 };

struct Polled {
  PollState state = PollState::no_such_job;
  std::optional<std::string> text;  // a copy of the kept text when it was unread
};

// Takes the next job id, makes it the latest and the current job, creates the
// queue and the worker thread on first use (pinning the library first, see
// thread.h) and queues the job. Throws when the worker thread cannot be
// created; the id is then used up and the next start tries the creation again.
std::uint64_t start(std::string request);

// The job's state and, once per stored text, that text.
Polled poll(std::uint64_t id);

// Makes the kept text of job `id` unread again (it did not fit the host's buffer).
void mark_unread(std::uint64_t id);

// Replaces the kept text if job `id` is still the latest; otherwise drops it.
void store(std::uint64_t id, std::string text, bool done, bool error);

// The worker thread's body: serves the newest of each burst of queued jobs;
// returns once every sending end is gone.
void worker_loop(Receiver& receiver);

// Serves one job on the worker thread: parses the snapshot, runs the search
// and stores its reports (or the parse error).
void process(std::uint64_t id, std::string_view request);

// Fault injection for the tests; nothing in the library sets these.
namespace testing {
using Hook = void (*)(std::uint64_t id);
// The next `count` attempts to create the worker thread fail.
void fail_thread_creation(int count);
// Runs at the start of each job served, inside the step whose failures are
// contained as "engine panic".
void set_process_hook(Hook hook);
// Runs in the worker loop before each job is served, outside that step: a
// throw there ends the worker thread.
void set_loop_hook(Hook hook);
}  // namespace testing

}  // namespace quorvel::worker
