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

using bench::card;
using bench::joker;

// Order-sensitive jokers that touch every phase: additive and multiplying
// mult, per-card effects, a chance, a retrigger and a random amount.
std::vector<snapshot::Joker> jokers(std::size_t n) {
  std::vector<snapshot::Joker> pool;
  json::Object plus;
  plus.emplace("mult", 4.0);
  pool.push_back(joker(101, "j_joker", std::move(plus)));
  pool.push_back(joker(102, "j_cavendish"));
  pool.push_back(joker(103, "j_photograph"));
  pool.push_back(joker(104, "j_smiley"));
  pool.push_back(joker(105, "j_bloodstone"));
  pool.push_back(joker(106, "j_hack"));
  pool.push_back(joker(107, "j_misprint"));
  pool.resize(n);
  return pool;
}

snapshot::Snapshot base() {
  snapshot::Snapshot snap;
  snap.schema = 1;
  const std::pair<const char*, std::pair<double, double>> levels[] = {
      {"Flush Five", {160, 16}},    {"Flush House", {140, 14}},  {"Five of a Kind", {120, 12}},
      {"Straight Flush", {100, 8}}, {"Four of a Kind", {60, 7}}, {"Full House", {40, 4}},
      {"Flush", {35, 4}},           {"Straight", {30, 4}},       {"Three of a Kind", {30, 3}},
      {"Two Pair", {20, 2}},        {"Pair", {10, 2}},           {"High Card", {5, 1}}};
  for (const auto& [name, cm] : levels) {
    snapshot::Level l;
    l.chips = cm.first;
    l.mult = cm.second;
    snap.levels[name] = l;
  }
  snap.blind.key = "bl_small";
  snap.blind.target = 3000;
  snap.round.hands_left = 3;
  snap.round.discards_left = 2;
  snap.round.dollars = 10;
  return snap;
}

std::vector<snapshot::Card> hand(std::size_t n) {
  std::vector<snapshot::Card> all = {
      card(1, 14, "Hearts"),
      card(2, 13, "Hearts", "m_glass"),
      card(3, 13, "Spades"),
      card(4, 12, "Diamonds", "m_mult"),
      card(5, 10, "Hearts"),
      card(6, 7, "Clubs", "m_lucky"),
      card(7, 5, "Hearts", {}, "Gold"),
      card(8, 2, "Diamonds", "m_bonus", {}, "e_foil"),
      card(9, 11, "Hearts"),
      card(10, 9, "Hearts", {}, {}, "e_holo"),
      card(11, 4, "Spades", "m_steel"),
      card(12, 3, "Clubs", {}, "Red"),
  };
  all.resize(n);
  return all;
}

snapshot::Snapshot scenario(std::size_t cards, std::size_t joker_count, std::size_t forced = 0) {
  snapshot::Snapshot snap = base();
  snap.hand = hand(cards);
  for (std::size_t i = 0; i < forced; ++i) snap.hand[5 + i].forced = true;
  snap.jokers = jokers(joker_count);
  return snap;
}

void search(benchmark::State& state, const snapshot::Snapshot& snap) {
  const search::Cancel cancel = [] { return false; };
  std::size_t reports = 0;
  search::Counts counts;
  search::run(
      snap, cancel, [&reports](search::SearchResult) { ++reports; }, &counts);
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
BENCHMARK(BM_Search_10cards_6jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_8cards_7jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_12cards_5jokers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_8cards_2forced_6jokers)->Unit(benchmark::kMillisecond);

}  // namespace
