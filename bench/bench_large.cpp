// Searches of hands far larger than any real one: the heap the search holds at
// its peak, and how soon a new start on the background worker replaces it.
// Each runs once: these are bounds to watch, not speeds to average (the
// replacement is sampled at many moments, its spread reported).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "large_hand.h"
#include "search/search.h"
#include "snapshot/snapshot.h"
#include "worker/worker.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

using namespace quorvel;
using Clock = std::chrono::steady_clock;

#if defined(__GLIBC__)
std::size_t heap_in_use() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;  // small blocks and mapped large ones
}

// The peak heap in use above what the parsed snapshot holds, sampled at the
// search's cancel tests (before every selection and candidate), over at most
// two seconds of search; 40 cards run to the final report.
void BM_LargeHand_PeakHeap(benchmark::State& state) {
  const int cards = static_cast<int>(state.range(0));
  const snapshot::ParseResult parsed = snapshot::parse(bench::large_hand_snapshot(cards));
  const auto& snap = std::get<snapshot::Snapshot>(parsed);
  for (auto _ : state) {
    const std::size_t base = heap_in_use();
    std::size_t peak = base;
    std::size_t tests = 0;
    bool done = false;
    const auto until = Clock::now() + std::chrono::seconds(2);
    search::run(
        snap,
        [&] {
          if (++tests % 64 == 0) peak = std::max(peak, heap_in_use());
          return cards > 40 && Clock::now() > until;
        },
        [&](search::SearchResult r) {
          peak = std::max(peak, heap_in_use());
          done = r.done;
        });
    state.counters["peak_MB"] = static_cast<double>(peak - base) / (1 << 20);
    state.counters["cancel_tests"] = static_cast<double>(tests);
    state.counters["finished"] = done ? 1.0 : 0.0;
  }
}
BENCHMARK(BM_LargeHand_PeakHeap)
    ->Arg(40)
    ->Arg(140)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
#endif

// A search of the large hand runs on the worker; at a random moment 0.2 to 1 s
// after it started, a one-card search starts. Times, over many such starts,
// how long from that start to the new search's final report: the median, the
// 90th percentile and the worst, in milliseconds.
void BM_LargeHand_Supersede(benchmark::State& state) {
  const int cards = static_cast<int>(state.range(0));
  const std::string huge = bench::large_hand_snapshot(cards);
  const std::string quick =
      R"({"schema":1,"hand":[{"id":900,"rank":5,"suit":"Hearts"}],"levels":{"High Card":{"chips":5,"mult":1}}})";
  // Fewer starts for the largest hand, whose snapshot alone takes a while to read.
  const std::size_t starts = cards > 1000 ? 12 : 40;
  std::mt19937 rng(static_cast<std::uint32_t>(cards));
  std::uniform_int_distribution<int> delay_us(200000, 1000000);
  for (auto _ : state) {
    std::vector<double> ms;
    for (std::size_t i = 0; i < starts; ++i) {
      worker::start(huge);
      std::this_thread::sleep_for(std::chrono::microseconds(delay_us(rng)));
      const auto started = Clock::now();
      const std::uint64_t id = worker::start(quick);
      while (worker::poll(id).state == worker::PollState::running) {
        std::this_thread::sleep_for(std::chrono::microseconds(20));
      }
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - started).count());
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[(ms.size() * 9 + 9) / 10 - 1];
    state.counters["worst_ms"] = ms.back();
    state.counters["starts"] = static_cast<double>(ms.size());
  }
}
BENCHMARK(BM_LargeHand_Supersede)
    ->Arg(40)
    ->Arg(140)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
