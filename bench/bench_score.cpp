// Scoring throughput on fixed plays: the search's cheap scorer and both forms
// of the full scorer.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "builders.h"
#include "score/score.h"

namespace {

using namespace quorvel;

using bench::card;
using bench::joker;

snapshot::Snapshot base() {
  snapshot::Snapshot s;
  const char* names[] = {"High Card", "Pair", "Two Pair", "Three of a Kind", "Straight", "Flush"};
  for (const char* n : names) {
    snapshot::Level l;
    l.chips = 30;
    l.mult = 3;
    l.l_chips = 15;
    l.l_mult = 1;
    s.levels[n] = l;
  }
  s.round.hands_left = 3;
  s.round.dollars = 10;
  s.hand = {card(1, 5, "Spades"),  card(2, 5, "Hearts"),   card(3, 9, "Hearts"),
            card(4, 11, "Hearts"), card(5, 13, "Hearts"),  card(6, 2, "Hearts"),
            card(7, 7, "Clubs"),   card(8, 14, "Diamonds")};
  s.hand[6].enh = "m_steel";
  return s;
}

struct Fixture {
  snapshot::Snapshot snap;
  std::vector<std::size_t> played;
  std::vector<std::size_t> order;
};

Fixture plain_pair() {
  return {base(), {0, 1}, {}};
}

Fixture flush_with_jokers() {
  Fixture f{base(), {1, 2, 3, 4, 5}, {}};
  f.snap.hand[3].ed = "e_foil";
  f.snap.hand[4].seal = "Red";
  f.snap.jokers = {joker(1, "j_joker", {{"mult", json::Value(4.0)}}),
                   joker(2, "j_greedy_joker"),
                   joker(3, "j_blueprint"),
                   joker(4, "j_baseball"),
                   joker(5, "j_droll", {{"t_mult", json::Value(10.0)}}),
                   joker(6, "j_hack")};
  f.order = {0, 1, 2, 3, 4, 5};
  return f;
}

Fixture lucky_with_space() {
  Fixture f{base(), {0, 1, 2, 3, 4}, {}};
  f.snap.hand[2].enh = "m_lucky";
  f.snap.jokers = {joker(1, "j_space", {{"extra", json::Value(4.0)}}), joker(2, "j_joker"),
                   joker(3, "j_oops")};
  f.order = {0, 1, 2};
  return f;
}

template <Fixture (*Make)()>
void BM_ScoreExpected(benchmark::State& state) {
  const Fixture f = Make();
  const score::Prepared prep(f.snap);
  const score::Play play(prep, f.played);
  for (auto _ : state) benchmark::DoNotOptimize(score::score_expected(prep, play, f.order));
}

template <Fixture (*Make)()>
void BM_ScorePlayPrepared(benchmark::State& state) {
  const Fixture f = Make();
  const score::Prepared prep(f.snap);
  const score::Play play(prep, f.played);
  for (auto _ : state) benchmark::DoNotOptimize(score::score_play(prep, play, f.order));
}

template <Fixture (*Make)()>
void BM_ScorePlaySnapshot(benchmark::State& state) {
  const Fixture f = Make();
  for (auto _ : state) benchmark::DoNotOptimize(score::score_play(f.snap, f.played, f.order));
}

BENCHMARK(BM_ScoreExpected<plain_pair>)->Name("score_expected/plain_pair");
BENCHMARK(BM_ScoreExpected<flush_with_jokers>)->Name("score_expected/flush_6_jokers");
BENCHMARK(BM_ScoreExpected<lucky_with_space>)->Name("score_expected/lucky_space");
BENCHMARK(BM_ScorePlayPrepared<plain_pair>)->Name("score_play_prepared/plain_pair");
BENCHMARK(BM_ScorePlayPrepared<flush_with_jokers>)->Name("score_play_prepared/flush_6_jokers");
BENCHMARK(BM_ScorePlayPrepared<lucky_with_space>)->Name("score_play_prepared/lucky_space");
BENCHMARK(BM_ScorePlaySnapshot<plain_pair>)->Name("score_play_snapshot/plain_pair");
BENCHMARK(BM_ScorePlaySnapshot<flush_with_jokers>)->Name("score_play_snapshot/flush_6_jokers");
BENCHMARK(BM_ScorePlaySnapshot<lucky_with_space>)->Name("score_play_snapshot/lucky_space");

}  // namespace
