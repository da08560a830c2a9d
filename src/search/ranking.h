// The ranking of the retained plays: its keys and comparator, the head of it
// that stage 1 keeps, the leading plays after stage 2, and the better-than
// test of stages 2 and 3. Private to src/search (and its tests).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/positions.h"
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

// Candidates examined by hill climbing and by the card-order stage: the only
// ones read after stage 2.
inline constexpr std::size_t kLeading = 32;

// A key brought to twelve significant digits (NaN becomes -inf).
double round12(double x);
// A play's ranking keys under the objective: expected score then floor, or
// money, expected score and floor, each brought to twelve significant digits
// and mapped so that the IEEE total order compares as integers.
using RankKeys = std::array<std::int64_t, 3>;
RankKeys rank_keys(snapshot::Objective objective, double expected, double floor, double money);
// A play's place in the ranking: its keys, then the order it came in, which
// breaks ties as a stable sort does.
struct RankPlace {
  RankKeys keys;
  std::uint64_t seq;
};
// The ranking comparator: whether `a` ranks before `b` (every key
// descending, then the one that came first).
bool top_first(const RankPlace& a, const RankPlace& b);

// Counts steps of bookkeeping that grows with the plays kept and consults
// the cancel test at every `period`-th, so that the work between two tests
// stays bounded.
class CancelEvery {
 public:
  CancelEvery(const Cancel& cancel, std::size_t period)
      : cancel_(cancel), period_(period), room_(period) {}
  // One step; true when it reaches a test that answers true.
  bool step() {
    if (--room_ != 0) return false;
    room_ = period_;
    return cancel_();
  }

 private:
  const Cancel& cancel_;
  std::size_t period_;
  std::size_t room_;
};
// Where the search has no scoring of its own to test before, it consults the
// cancel test once every this many steps.
inline constexpr std::size_t kStepsPerTest = 256;

// The first `limit` items of a stream in rank order: a heap with the last
// kept item on top, its storage taken at once, so that an offer costs at
// most a walk down the heap.
template <class Item>
class Leading {
 public:
  struct Slot {
    RankPlace place;
    Item item;
  };
  explicit Leading(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {
    // A growing vector would copy and free the whole heap between two offers.
    slots_.reserve(limit_);
  }
  // Whether an item at `place`, arriving after every kept one, is kept.
  bool keeps(const RankPlace& place) const {
    return slots_.size() < limit_ || search::top_first(place, slots_.front().place);
  }
  // Keeps an item that keeps() admits, dropping the last one kept when full.
  void keep(const RankPlace& place, const Item& item) {
    if (slots_.size() == limit_) {
      std::pop_heap(slots_.begin(), slots_.end(), top_first);
      slots_.pop_back();
    }
    slots_.push_back({place, item});
    std::push_heap(slots_.begin(), slots_.end(), top_first);
  }
  // Puts the kept items in rank order, a step each; false when a test
  // answered true. Each pop moves the last item left to the end of its range.
  bool order(CancelEvery& steps) {
    for (auto end = slots_.end(); end != slots_.begin(); --end) {
      if (steps.step()) return false;
      std::pop_heap(slots_.begin(), end, top_first);
    }
    return true;
  }
  // The kept items: in rank order after order().
  const std::vector<Slot>& slots() const { return slots_; }
  // Gives the storage back at once, keeping nothing.
  void release() { std::vector<Slot>().swap(slots_); }

 private:
  // The ranking comparator on kept items (a closure, which the heap
  // functions inline); under it, the heap has the last on top.
  static constexpr auto top_first = [](const Slot& a, const Slot& b) {
    return search::top_first(a.place, b.place);
  };

  std::size_t limit_;
  std::vector<Slot> slots_;
};

// The head of stage 1's ranking: the first `limit` plays of the ranking of
// all plays offered, ties included, each held in 80 bytes.
class RankingHead {
 public:
  RankingHead(snapshot::Objective objective, std::size_t limit);
  // A retained play: its cards (ascending hand positions) and its values.
  void offer(std::span<const std::size_t> cards, double expected, double floor, double money);
  // How many plays were offered in all.
  std::size_t offered() const { return offered_; }
  // Hands over the head, ranked, each play with `order` as its joker order,
  // into `out`. `cancel` is consulted at every kStepsPerTest-th step (a play
  // put in rank order, or one copied out); false when it answered true.
  bool take(const Positions& order, const Cancel& cancel, std::vector<Candidate>& out);

 private:
  struct Play {
    double expected, floor, money;
    std::array<std::uint32_t, 5> cards;
    std::uint8_t count;  // more than five: cards[0] indexes long_cards_
  };

  snapshot::Objective objective_;
  std::size_t offered_ = 0;
  Leading<Play> plays_;
  // Selections of more than five cards (only forced cards make one, and
  // then it is the only selection).
  std::vector<Positions> long_cards_;
};

// After stage 2: leaves in `candidates` only its first kLeading in rank
// order, as a stable sort would put them, consulting `cancel` at every
// kStepsPerTest-th step (a candidate offered, or one put in order); false
// when it answered true (the candidates are then as they were).
bool keep_leading(snapshot::Objective objective, const Cancel& cancel,
                  std::vector<Candidate>& candidates);

// Whether `next` (expected score, expected money) beats `held`, ties within a
// relative 1e-9 keeping the held value.
bool better(snapshot::Objective objective, score::Outcome next, score::Outcome held);

}  // namespace quorvel::search
