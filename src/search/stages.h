// The pieces of the search's stages: the retained plays, what the search
// carries from stage to stage, the ranking and the orders to try (the
// selections are in selection.h). Private to src/search (and its tests).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/positions.h"
#include "jokers/jokers.h"
#include "score/score.h"
#include "search/search.h"
#include "snapshot/snapshot.h"

namespace quorvel::search {

using common::Positions;

// One retained play. The three numbers only rank and compare candidates; a
// report's figures come from rescoring `cards` under `order`.
struct Candidate {
  Positions cards;  // hand positions, in play order
  Positions order;  // joker positions, in the order to score with
  double expected = 0.0;
  double floor = 0.0;
  double money = 0.0;
};

// What the search carries from stage to stage.
struct Progress {
  const snapshot::Snapshot& snapshot;
  std::vector<std::string> approximate;
  double current_order_expected = 0.0;
  bool order_exact = true;
  bool card_order_matters = false;
  // The same snapshot as prepared once for the search.
  const score::Prepared& prepared;

  // Rescores `best` in full (cards in its order, jokers in its order). A
  // position outside the hand or the jokers throws std::out_of_range, as
  // scoring does.
  SearchResult result(std::uint32_t stage, bool done, const Candidate* best) const;
};

// Ranking: a key brought to twelve significant digits (NaN becomes -inf).
double round12(double x);
// A play's ranking keys under the objective: expected score then floor, or
// money, expected score and floor, each brought to twelve significant digits
// and mapped so that the IEEE total order compares as integers.
using RankKeys = std::array<std::int64_t, 3>;
RankKeys rank_keys(snapshot::Objective objective, double expected, double floor, double money);
// The ranking comparator: whether a play with keys `a` ranks before one with
// keys `b` (every key descending).
bool top_first(const RankKeys& a, const RankKeys& b);
// Stable sort by top_first, consulting `cancel` at every kRankStepsPerTest-th
// step; false when it answered true (the candidates are then all there, in
// no particular order).
bool rank(snapshot::Objective objective, const Cancel& cancel, std::vector<Candidate>& candidates);

// How far down stage 1's ranking the later stages can reach, with `jokers`
// jokers whose `orders` orders are tried in full (none when they are climbed).
std::size_t head_limit(std::size_t jokers, std::size_t orders);

// The first `limit` plays of the ranking of all plays offered: the same
// plays in the same order as ranking every one of them and keeping the
// first `limit`, ties included. A heap with the last play kept on top: its
// storage is the limit's, taken at once, and an offer costs at most a walk
// down the heap.
class RankingHead {
 public:
  RankingHead(snapshot::Objective objective, std::size_t limit);
  // A retained play: its cards (ascending hand positions) and its values.
  void offer(std::span<const std::size_t> cards, double expected, double floor, double money);
  // How many plays were offered in all.
  std::size_t offered() const { return offered_; }
  // The head, ranked, each play with `order` as its joker order, into `out`.
  // `cancel` is consulted at every kStepsPerTest-th step (a play moved into
  // rank order, or one copied out); false when it answered true.
  bool take(const Positions& order, const Cancel& cancel, std::vector<Candidate>& out);

 private:
  struct Entry {
    RankKeys keys;      // worked out once
    std::uint64_t seq;  // offer order: ties keep it, as a stable sort does
    double expected, floor, money;
    std::array<std::uint32_t, 5> cards;
    std::uint8_t count;  // more than five: the cards are in long_cards_
  };
  bool before(const Entry& a, const Entry& b) const;

  snapshot::Objective objective_;
  std::size_t limit_;
  std::size_t offered_ = 0;
  std::vector<Entry> entries_;  // a heap under before(): the last play on top
  Positions long_cards_;        // the one selection of more than five cards, if any
};
// Whether `next` (expected score, expected money) beats `held`, ties within a
// relative 1e-9 keeping the held value.
bool better(snapshot::Objective objective, score::Outcome next, score::Outcome held);

// All n! orders of 0..n-1, the identity first, in recursive swap order.
std::vector<Positions> permutations(std::size_t n);
// The first `limit` of them, in the same sequence.
std::vector<Positions> permutations(std::size_t n, std::size_t limit);

// The same orders one at a time, in the same sequence, holding only the
// current one: for more orders than could be built up front.
class PermutationWalk {
 public:
  explicit PermutationWalk(std::size_t n);
  // The current order; the identity first.
  const Positions& order() const { return current_; }
  // Moves to the next order; false from the last order on (the order is then
  // undefined).
  bool next();

 private:
  Positions current_;
  Positions choice_;  // per place: the place whose entry was swapped into it
  bool ended_ = false;
};
// Per joker: its place in the order cannot change the score.
std::vector<bool> order_free(std::span<const jokers::JokerView> jokers);
// The permutations in which the order-free jokers keep ascending positions.
std::vector<Positions> joker_orders(const std::vector<Positions>& perms,
                                    const std::vector<bool>& flags);

// From this many jokers on, the joker orders are improved by hill climbing
// (and reported as not exact); below it every order is tried.
inline constexpr std::size_t kClimbFrom = 7;
// Candidates that get the exhaustive joker-order search.
inline constexpr std::size_t kOrderBudget = 200000;
// Candidates examined by hill climbing and by the card-order stage.
inline constexpr std::size_t kLeading = 32;
// Where the search has no scoring of its own to test before, it consults the
// cancel test once every this many steps: plays of stage 1's head put in rank
// order or copied out, candidates visited for their floors after stage 2.
// More than the climbed candidates, so that a cancel during the last climb
// still lets the stage-2 report go, as the climb's own test does.
inline constexpr std::size_t kStepsPerTest = 256;
static_assert(kStepsPerTest > kLeading);

// Counts the steps of bookkeeping that grows with the plays kept and
// consults the cancel test at every `period`-th, so that the work between two
// tests stays bounded.
class CancelEvery {
 public:
  CancelEvery(const Cancel& cancel, std::size_t period)
      : cancel_(cancel), period_(period), room_(period) {}
  // Steps left before the next test.
  std::size_t room() const { return room_; }
  // Takes `n` steps, no more than room(); true when they reach a test that
  // answers true.
  bool take(std::size_t n = 1) {
    room_ -= n;
    if (room_ != 0) return false;
    room_ = period_;
    return cancel_();
  }

 private:
  const Cancel& cancel_;
  std::size_t period_;
  std::size_t room_;
};
// Ranking consults it once every this many steps: a candidate's keys worked
// out, an entry placed by the sort of the runs of kRankRun entries or by one
// of the passes that merge them two by two, a candidate moved into place. A
// step costs at most a run's worth of moves. Ranking the climbed candidates
// (four steps each) never reaches a test, so that a cancel during the last
// climb still lets the stage-2 report go.
inline constexpr std::size_t kRankStepsPerTest = 1024;
inline constexpr std::size_t kRankRun = 32;
static_assert(2 * kLeading <= 2 * kRankRun && 2 * kLeading * 4 < kRankStepsPerTest);
// A selection of more than five cards (only forced cards make one) has its
// card orders tried one at a time, with the cancel test between them: the
// first 8! orders, and no more than kCardOrderPlacements cards placed in all.
inline constexpr std::size_t kMaxCardOrders = 40320;
inline constexpr std::size_t kCardOrderPlacements = std::size_t{1} << 19;
// The number of orders tried for a selection of `cards` cards, over five.
std::size_t card_order_cap(std::size_t cards);
// Joker orders grouped by the scoring run they make: orders of one class give
// the same run, bit for bit, for every play. Orders are grouped only where
// that is proved; with a copy joker, "j_baseball" or "j_dna" in the snapshot
// every order is its own class.
struct OrderClasses {
  std::vector<std::uint32_t> of;  // per lineup, its class
  std::size_t count = 0;
};
OrderClasses order_classes(const score::Prepared& prep, std::span<const score::Lineup> lineups);

// Whether check_shared_runs is on.
bool shared_runs_checked();
// Scores `play` under `lineup` by itself and ends the process unless the
// result equals `shared` bit for bit.
void verify_shared(const score::Prepared& prep, const score::Play& play,
                   const score::Lineup& lineup, score::Outcome shared);

// Relative tolerance of `better`.
inline constexpr double kTolerance = 1e-9;

}  // namespace quorvel::search
