// A host unloads the library and loads it again at any moment: before any
// search, while a search waits or runs, after it finished. No unload may
// crash the host or leave a thread or memory behind, and after a reload
// scoring and searching work as before. The tests run in order in one process of their
// own, which holds no other load of the library.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "engine.h"

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#include <tlhelp32.h>
#elif defined(__linux__)
#include <malloc.h>

#include <filesystem>
#endif

namespace qrv_test {
namespace {

// The threads of this process, where the platform can count them.
std::optional<std::size_t> thread_count() {
#if defined(_WIN32)
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
  std::size_t count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
#elif defined(__linux__)
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    ++count;
  }
  return count;
#else
  return std::nullopt;
#endif
}

// The bytes of heap the process holds, where the platform tells: glibc's
// allocator, or the process's private memory on Windows.
std::optional<std::size_t> heap_in_use() {
#if defined(_WIN32)
  PROCESS_MEMORY_COUNTERS counters{};
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    return std::nullopt;
  return counters.PagefileUsage;
#elif defined(__GLIBC__)
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#else
  return std::nullopt;
#endif
}

// Forty plain cards: about 760,000 selections, a search that runs for a while.
std::string large_hand() {
  const char* suits[] = {"Hearts", "Spades", "Clubs", "Diamonds"};
  std::string s = R"({"schema":1,"hand":[)";
  for (int i = 0; i < 40; ++i) {
    if (i) s += ",";
    s += R"({"id":)" + std::to_string(i) + R"(,"rank":)" + std::to_string(2 + i % 13) +
         R"(,"suit":")" + suits[i % 4] + R"("})";
  }
  return s + "]}";
}

void sleep_ms(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Carried from test to test: the process before the first load, and the
// answers of the first loads.
std::optional<std::size_t> threads_before;
std::string score_answer;
std::string final_report;

TEST(Unload, LoadScoreUnloadCyclesLeaveNoThreadAndNoMemoryBehind) {
  ASSERT_FALSE(library_resident()) << "this process must hold no other load of the library";
  // ThreadSanitizer starts a helper thread with the process's first thread:
  // have it running before the count.
  std::thread([] {}).join();
  threads_before = thread_count();
  const std::string request = example("score_request.json");
  std::optional<std::size_t> heap_after_first;
  for (int cycle = 0; cycle <= 200; ++cycle) {
    Library library = open_library();
    Answer a = score(library.exports, request);
    ASSERT_EQ(a.status, QRV_OK) << a.text;
    if (cycle == 0) score_answer = a.text;
    ASSERT_EQ(a.text, score_answer) << "cycle " << cycle;
    close_library(library);
    if (cycle == 0) heap_after_first = heap_in_use();
  }
  EXPECT_EQ(thread_count(), threads_before);
  // An unload of the C++ runtime linked into the library would leave its
  // memory behind: 4 to 72 KiB a cycle.
  if (heap_after_first) {
    const double grown =
        static_cast<double>(*heap_in_use()) - static_cast<double>(*heap_after_first);
    EXPECT_LT(grown, 256.0 * 1024) << "bytes left behind by 200 cycles";
  }
}

TEST(Unload, AtAnyMomentOfASearchNothingCrashesAndOneWorkerServesEveryLoad) {
  const std::string large = large_hand();
  const std::string snapshot = example("snapshot.json");
  // A reload finds the same engine: its job ids go on counting.
  std::uint64_t last_job = 0;
  auto check_started = [&](std::uint64_t job) {
    EXPECT_GT(job, last_job);
    last_job = job;
  };

  // Unloaded right after the start: the job may still wait in the queue.
  Library library = open_library();
  const std::uint64_t queued = start(library.exports, large);
  check_started(queued);
  close_library(library);
  EXPECT_TRUE(library_resident()) << "a library with a worker must stay loaded";

  // Unloaded while the search runs (it takes far longer than a start and a
  // poll), and loaded again: the job started before the unload is still the
  // engine's and ends with its final report.
  library = open_library();
  const std::int32_t queued_status = poll(library.exports, queued).status;
  EXPECT_TRUE(queued_status == QRV_RUNNING || queued_status == QRV_OK) << queued_status;
  const std::uint64_t running = start(library.exports, large);
  check_started(running);
  ASSERT_EQ(poll(library.exports, running).status, QRV_RUNNING);
  close_library(library);
  sleep_ms(100);  // the worker goes on while the host holds no load
  library = open_library();
  EXPECT_EQ(poll(library.exports, queued).status, QRV_NO_SUCH_JOB);
  Finished large_search = wait_for(library.exports, running, 600.0);
  EXPECT_EQ(large_search.status, QRV_OK);
  ASSERT_FALSE(large_search.texts.empty());
  EXPECT_NE(large_search.texts.back().find(R"("done":true)"), std::string::npos)
      << large_search.texts.back();
  close_library(library);

  // Eighteen more cycles: a search that finishes before the unload, then one
  // that the unload leaves at work.
  for (int cycle = 0; cycle < 18; ++cycle) {
    // No SCOPED_TRACE: on Windows, GoogleTest's thread-local trace starts a
    // thread of its own, which the count would take for a leak.
    library = open_library();
    const std::uint64_t job = start(library.exports, snapshot);
    check_started(job);
    if (cycle % 2 == 0) {
      Finished f = wait_for(library.exports, job);
      ASSERT_EQ(f.status, QRV_OK) << "cycle " << cycle;
      ASSERT_FALSE(f.texts.empty()) << "cycle " << cycle;
      if (final_report.empty()) final_report = f.texts.back();
      EXPECT_EQ(f.texts.back(), final_report) << "cycle " << cycle;
    }
    close_library(library);
  }
  if (!threads_before) GTEST_SKIP() << "no thread count on this platform";
  EXPECT_EQ(thread_count(), *threads_before + 1) << "20 cycles must leave the one worker thread";
}

TEST(Unload, AfterAReloadScoringAndSearchingAnswerAsBefore) {
  ASSERT_FALSE(final_report.empty());
  Library library = open_library();
  EXPECT_EQ(score(library.exports, example("score_request.json")).text, score_answer);
  Finished f = wait_for(library.exports, start(library.exports, example("snapshot.json")));
  EXPECT_EQ(f.status, QRV_OK);
  ASSERT_FALSE(f.texts.empty());
  EXPECT_EQ(f.texts.back(), final_report);
  close_library(library);
  if (threads_before) {
    EXPECT_EQ(thread_count(), *threads_before + 1);
  }
}

}  // namespace
}  // namespace qrv_test
