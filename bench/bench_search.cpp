// Whole searches on fixed snapshots: the time to the final report, and the
// scoring calls made, a count that changes only when the search behaves
// differently.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "builders.h"
#include "search/search.h"

namespace {

using namespace quorvel;

using bench::scenario;

void search(benchmark::State& state, const snapshot::Snapshot& snap) {
  const search::Cancel cancel = [] { return false; };
  std::size_t reports = 0;
  search::Counts counts;
  search::run(snap, cancel, [&reports](search::SearchResult) { ++reports; }, {.counts = &counts});
  const search::Sink sink = [](search::SearchResult r) { benchmark::DoNotOptimize(r); };
  for (auto _ : state) search::run(snap, cancel, sink);
  state.counters["score_play"] = static_cast<double>(counts.score_play);
  state.counters["score_expected"] = static_cast<double>(counts.score_expected);
  state.counters["reports"] = static_cast<double>(reports);
}

void BM_Search_8cards_0jokers(benchmark::State& s) {
  search(s, scenario(8, 0));
}
void BM_Search_8cards_2jokers(benchmark::State& s) {
  search(s, scenario(8, 2));
}
void BM_Search_8cards_5jokers(benchmark::State& s) {
  search(s, scenario(8, 5));
}
void BM_Search_8cards_6jokers(benchmark::State& s) {
  search(s, scenario(8, 6));
}
// The worst case of the budgets: 277 candidates times 719 joker orders.
void BM_Search_9cards_6jokers(benchmark::State& s) {
  search(s, scenario(9, 6));
}
void BM_Search_10cards_6jokers(benchmark::State& s) {
  search(s, scenario(10, 6));
}
void BM_Search_8cards_7jokers(benchmark::State& s) {
  search(s, scenario(8, 7));
}
void BM_Search_12cards_5jokers(benchmark::State& s) {
  search(s, scenario(12, 5));
}
void BM_Search_8cards_2forced_6jokers(benchmark::State& s) {
  search(s, scenario(8, 6, 2));
}

BENCHMARK(BM_Search_8cards_0jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_8cards_2jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_8cards_5jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_8cards_6jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_9cards_6jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_10cards_6jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_8cards_7jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_12cards_5jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_8cards_2forced_6jokers)->Unit(benchmark::kMillisecond);

}  // namespace
