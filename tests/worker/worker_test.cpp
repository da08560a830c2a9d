// The worker's state is process-wide and its thread, once created, lives on:
// these tests run one after another in one process, each working only with
// the ids its own starts returned.
#include "worker/worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "worker/guard.h"

namespace quorvel::worker {
namespace {

constexpr const char* kSchema2 = R"({"schema":2})";

// Holds the worker inside a job until the test opens it, and records which
// jobs the worker served.
struct Gate {
  std::mutex mutex;
  std::condition_variable changed;
  bool open = true;
  std::uint64_t openings = 0;  // a job held before an opening goes on even if the gate closes again
  std::vector<std::uint64_t> served;
};

Gate& gate() {
  static Gate g;
  return g;
}

void gate_hook(std::uint64_t id) {
  Gate& g = gate();
  std::unique_lock lock(g.mutex);
  g.served.push_back(id);
  g.changed.notify_all();
  const std::uint64_t openings = g.openings;
  g.changed.wait(lock, [&] { return g.open || g.openings != openings; });
}

void set_open(bool open) {
  std::lock_guard lock(gate().mutex);
  gate().open = open;
  if (open) ++gate().openings;
  gate().changed.notify_all();
}

void wait_served(std::uint64_t id) {
  Gate& g = gate();
  std::unique_lock lock(g.mutex);
  ASSERT_TRUE(g.changed.wait_for(
      lock, std::chrono::seconds(30),
      [&] { return std::find(g.served.begin(), g.served.end(), id) != g.served.end(); }))
      << "job " << id << " was never served";
}

// Polls until the job leaves the running state.
Polled wait_finished(std::uint64_t id) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    Polled p = poll(id);
    if (p.state != PollState::running || std::chrono::steady_clock::now() > deadline) return p;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

class Worker : public ::testing::Test {
 protected:
  void SetUp() override {
    std::lock_guard lock(gate().mutex);
    gate().served.clear();
    testing::set_process_hook(&gate_hook);
  }
  void TearDown() override {
    set_open(true);
    testing::set_process_hook(nullptr);
  }
};

TEST_F(Worker, PollAnswersEveryStateOfTheKeptResult) {
  set_open(false);
  const std::uint64_t id = start("{}");
  wait_served(id);  // the worker now holds the job: only this test stores

  struct Step {
    const char* what;
    std::optional<std::string> store;  // stored before the polls (text, done, error below)
    bool done, error;
    PollState state;
    std::optional<std::string> first, second;  // what two polls in a row hand out
  };
  const std::vector<Step> steps = {
      {"fresh", std::nullopt, false, false, PollState::running, std::nullopt, std::nullopt},
      {"report", "r1", false, false, PollState::running, "r1", std::nullopt},
      {"newer report", "r2", false, false, PollState::running, "r2", std::nullopt},
      {"final report", "final", true, false, PollState::done, "final", std::nullopt},
      {"error", "bad", false, true, PollState::failed, "bad", std::nullopt},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.store) store(id, *step.store, step.done, step.error);
    Polled first = poll(id);
    Polled second = poll(id);
    EXPECT_EQ(first.state, step.state);
    EXPECT_EQ(first.text, step.first);
    EXPECT_EQ(second.state, step.state);
    EXPECT_EQ(second.text, step.second);
  }

  // A text that did not fit is handed out again.
  mark_unread(id);
  EXPECT_EQ(poll(id).text, std::optional<std::string>("bad"));
  EXPECT_EQ(poll(id).text, std::nullopt);

  // Only the latest job has a kept result.
  EXPECT_EQ(poll(id - 1).state, PollState::no_such_job);
  EXPECT_EQ(poll(id + 1).state, PollState::no_such_job);
  EXPECT_EQ(poll(0).state, PollState::no_such_job);

  // Released, the worker parses the request and stores the reader's error.
  store(id, "running again", false, false);
  ASSERT_EQ(poll(id).state, PollState::running);
  set_open(true);
  Polled served = wait_finished(id);
  EXPECT_EQ(served.state, PollState::failed);
  EXPECT_EQ(served.text, std::optional<std::string>("missing field `schema` at line 1 column 2"));
}

TEST_F(Worker, ANewStartSupersedesAtOnce) {
  set_open(false);
  const std::uint64_t a = start(kSchema2);
  wait_served(a);
  store(a, "a1", false, false);
  const std::uint64_t b = start(kSchema2);
  EXPECT_EQ(b, a + 1);
  EXPECT_EQ(poll(a).state, PollState::no_such_job);
  // A's late stores are refused and do not touch B's result.
  store(a, "a2", true, false);
  mark_unread(a);
  Polled fresh = poll(b);
  EXPECT_EQ(fresh.state, PollState::running);
  EXPECT_EQ(fresh.text, std::nullopt);
  set_open(true);
  Polled served = wait_finished(b);
  EXPECT_EQ(served.state, PollState::failed);
  EXPECT_EQ(served.text, std::optional<std::string>("unsupported snapshot schema 2"));
  EXPECT_EQ(poll(a).state, PollState::no_such_job);
}

TEST_F(Worker, OfABurstOnlyTheNewestJobIsServed) {
  set_open(false);
  const std::uint64_t busy = start(kSchema2);
  wait_served(busy);
  const std::uint64_t b = start(kSchema2);
  const std::uint64_t c = start(kSchema2);
  const std::uint64_t d = start(R"({"schema":1,"options":{"seeded":true}})");
  set_open(true);
  Polled served = wait_finished(d);
  EXPECT_EQ(served.state, PollState::failed);
  EXPECT_EQ(served.text,
            std::optional<std::string>("suggested discards and seeded mode aren't implemented"));
  {
    std::lock_guard lock(gate().mutex);
    EXPECT_EQ(gate().served, (std::vector<std::uint64_t>{busy, d}));
  }
  for (std::uint64_t old : {busy, b, c}) EXPECT_EQ(poll(old).state, PollState::no_such_job);
}

TEST(Guard, TurnsAnyThrowIntoTheFailureValueAndAReport) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(guarded("first", -1, []() -> int { throw std::logic_error("broken invariant"); }), -1);
  EXPECT_EQ(guarded("second", 0, []() -> int { throw "a C string"; }), 0);
  EXPECT_EQ(guarded("third", -1, [] { return 5; }), 5);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("first: broken invariant"), std::string::npos) << said;
  EXPECT_NE(said.find("second: unknown exception"), std::string::npos) << said;
  EXPECT_EQ(said.find("third"), std::string::npos) << said;
}

}  // namespace
}  // namespace quorvel::worker
