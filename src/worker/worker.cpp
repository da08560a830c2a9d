#include "worker/worker.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <system_error>
#include <utility>

#include "json/writer.h"
#include "search/search.h"
#include "snapshot/snapshot.h"
#include "worker/guard.h"
#include "worker/thread.h"

namespace quorvel::worker {

namespace {

struct Latest {
  std::optional<std::string> json;
  std::uint64_t id = 0;
  bool unread = false;
  bool done = false;
  bool error = false;
};

template <typename T>
struct Locked {
  std::mutex mutex;
  T value;
};

// Process-wide state that is never destroyed: the detached worker thread may
// still use it while the host process runs its exit handlers. The constexpr
// constructor keeps loading the library free of any code wherever std::mutex
// is constant-initialisable; not constinit, because with MinGW's winpthreads it
// is not (its mutex initialiser is a cast), and there it is a plain store at load.
template <typename T>
union Forever {
  constexpr Forever() : value() {}
  ~Forever() {}
  T value;
};

Forever<Locked<std::optional<Sender>>> jobs_storage;
Forever<Locked<std::optional<Latest>>> latest_storage;

std::atomic<int> failing_creations{0};
std::atomic<testing::Hook> process_hook{nullptr};
std::atomic<testing::Hook> loop_hook{nullptr};

// The sending end of the job queue; absent until the worker thread exists.
constinit Locked<std::optional<Sender>>& JOBS = jobs_storage.value;
// The one kept result.
constinit Locked<std::optional<Latest>>& LATEST = latest_storage.value;
// The newest started job; read by the running search to notice it is superseded.
constinit std::atomic<std::uint64_t> CURRENT{0};
constinit std::atomic<std::uint64_t> NEXT_ID{1};

// Marks the latest job failed unless it already ended; used when the worker
// thread is gone, so that no job is left running forever.
void fail_unfinished(std::string_view text) {
  std::lock_guard lock(LATEST.mutex);
  std::optional<Latest>& latest = LATEST.value;
  if (!latest || latest->done || latest->error) return;
  latest->json = std::string(text);
  latest->unread = true;
  latest->error = true;
}

void worker_thread(void* arg) {
  std::unique_ptr<Receiver> receiver(static_cast<Receiver*>(arg));
  try {
    worker_loop(*receiver);
    return;
  } catch (const std::exception& e) {
    report_failure("the worker thread", e.what());
  } catch (...) {
    report_failure("the worker thread", "unknown exception");
  }
  // Close first: every start from here on fails its send and records the
  // stop itself; every job queued before is older than the latest one.
  receiver->close();
  try {
    fail_unfinished(kWorkerStopped);
  } catch (...) {
    report_failure("the worker thread", "could not record its stop");
  }
}

Sender create_worker() {
  auto [sender, receiver] = make_channel();
  auto owned = std::make_unique<Receiver>(std::move(receiver));
  int failures = failing_creations.load();
  while (failures > 0 && !failing_creations.compare_exchange_weak(failures, failures - 1)) {
  }
  if (failures > 0) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                            "cannot create the worker thread");
  }
  // The thread runs this library's code for the rest of the process and is
  // never joined, so the library must outlive every unload by the host.
  pin_module();
  spawn_detached(&worker_thread, owned.get(), kWorkerStackSize);
  owned.release();  // now the thread's
  return std::move(sender);
}

}  // namespace

std::uint64_t start(std::string request) {
  // Only distinctness matters for ids, so no ordering is needed.
  const std::uint64_t id = NEXT_ID.fetch_add(1, std::memory_order_relaxed);
  {
    std::lock_guard lock(LATEST.mutex);
    LATEST.value = Latest{.json = std::nullopt, .id = id};
  }
  // After the reset, so that a superseded job's late reports are already
  // refused; before queueing, so that the new job never sees an older id.
  CURRENT.store(id, std::memory_order_relaxed);

  Job job{id, std::move(request)};
  bool sent = false;
  {
    std::lock_guard lock(JOBS.mutex);
    // Created once; a failed creation keeps nothing, so the next start retries.
    if (!JOBS.value) JOBS.value.emplace(create_worker());
    sent = JOBS.value->send(job);
  }
  if (!sent) store(id, std::string(kWorkerStopped), false, true);
  return id;
}

Polled poll(std::uint64_t id) {
  std::lock_guard lock(LATEST.mutex);
  std::optional<Latest>& latest = LATEST.value;
  if (!latest || latest->id != id) return Polled{};
  const PollState state = latest->error  ? PollState::failed
                          : latest->done ? PollState::done
                                         : PollState::running;
  if (!latest->json || !latest->unread) return Polled{state, std::nullopt};
  Polled polled{state, *latest->json};
  latest->unread = false;
  return polled;
}

void mark_unread(std::uint64_t id) {
  std::lock_guard lock(LATEST.mutex);
  if (LATEST.value && LATEST.value->id == id) LATEST.value->unread = true;
}

void store(std::uint64_t id, std::string text, bool done, bool error) {
  std::lock_guard lock(LATEST.mutex);
  std::optional<Latest>& latest = LATEST.value;
  if (!latest || latest->id != id) return;
  latest->json = std::move(text);
  latest->unread = true;
  latest->done = done;
  latest->error = error;
}

void worker_loop(Receiver& receiver) {
  while (std::optional<Job> job = receiver.recv()) {
    // Of a burst only the newest matters: every older one is superseded.
    while (std::optional<Job> newer = receiver.try_recv()) job = std::move(newer);
    const std::uint64_t id = job->id;
    if (testing::Hook hook = loop_hook.load()) hook(id);
    const bool served = guarded("a search job", false, [&] {
      process(id, job->request);
      return true;
    });
    if (!served) store(id, std::string(kEnginePanic), false, true);
  }
}

void process(std::uint64_t id, std::string_view request) {
  if (testing::Hook hook = process_hook.load()) hook(id);
  snapshot::ParseResult parsed = snapshot::parse(request);
  if (std::string* error = std::get_if<std::string>(&parsed)) {
    store(id, std::move(*error), false, true);
    return;
  }
  const snapshot::Snapshot& snap = std::get<snapshot::Snapshot>(parsed);
  search::run(
      snap, [id] { return CURRENT.load(std::memory_order_relaxed) != id; },
      [id](search::SearchResult result) {
        const bool done = result.done;
        std::string text;
        text.reserve(128);
        json::write(text, result.to_json());
        store(id, std::move(text), done, false);
      });
}

namespace testing {

void fail_thread_creation(int count) {
  failing_creations.store(count);
}

void set_process_hook(Hook hook) {
  process_hook.store(hook);
}

void set_loop_hook(Hook hook) {
  loop_hook.store(hook);
}

}  // namespace testing

}  // namespace quorvel::worker
