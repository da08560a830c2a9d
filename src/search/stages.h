// The pieces of the search's stages: what the search carries from stage to
// stage, how far down the ranking the later stages reach, and the orders to
// try (the ranking is in ranking.h, the selections in selection.h). Private
// to src/search (and its tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "jokers/jokers.h"
#include "score/score.h"
#include "search/ranking.h"
#include "search/search.h"
#include "snapshot/snapshot.h"

namespace quorvel::search {

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

// From this many jokers on, the joker orders are improved by hill climbing
// (and reported as not exact); below it every order is tried.
inline constexpr std::size_t kClimbFrom = 7;
// Scorings of stage 2 when every order is tried: the candidates that get
// them number kOrderBudget / orders.
inline constexpr std::size_t kOrderBudget = 200000;
constexpr std::size_t order_budget(std::size_t orders) {
  return kOrderBudget / orders;
}

// Stage 2 changes at most its first k candidates, which may then fall
// (better() may take money that ranks lower); however they move, the kLeading
// read next lie among the first k + kLeading, all stage 1 needs to keep.
inline constexpr std::size_t kClimbedHead = kLeading + kLeading;
// The head stage 1 keeps, with `jokers` jokers whose `orders` orders are
// tried in full (none when they are climbed).
constexpr std::size_t head_limit(std::size_t jokers, std::size_t orders) {
  if (jokers < 2) return kLeading;
  if (jokers >= kClimbFrom) return kClimbedHead;
  // With one order nothing changes: only the count of candidates matters.
  if (orders < 2) return kLeading;
  return order_budget(orders) + kLeading;
}
// After a climb, the head is visited for its floors and its leading
// candidates kept without reaching a test, so that a cancel during the last
// climb still lets the stage-2 report go, as the climb's own test does.
static_assert(kStepsPerTest > kClimbedHead + kLeading);

// All n! orders of 0..n-1, the identity first, in recursive swap order.
std::vector<Positions> permutations(std::size_t n);

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

// Scores `play` under `lineup` by itself and ends the process unless the
// result equals `shared` bit for bit.
void verify_shared(const score::Prepared& prep, const score::Play& play,
                   const score::Lineup& lineup, score::Outcome shared);

}  // namespace quorvel::search
