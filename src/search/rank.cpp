// Stage 1's ranking of the retained plays and the better-than test that
// later stages share.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <stdexcept>

#include "common/permute.h"
#include "common/powi.h"
#include "search/stages.h"

namespace quorvel::search {

double round12(double x) {
  if (std::isnan(x)) return -std::numeric_limits<double>::infinity();
  if (x == 0.0 || std::isinf(x)) return x;
  const auto e = static_cast<std::int32_t>(std::floor(std::log10(std::fabs(x))));
  const double s = common::powi(10.0, 11 - e);
  const double t = std::round(x * s);  // halfway cases away from zero
  const double y = t / s;
  // For a tiny x the scale overflows; such a key stays unrounded.
  return std::isfinite(y) ? y : x;
}

namespace {

// Maps a double to an integer whose signed order is the IEEE total order,
// so -0.0 sorts below +0.0.
std::int64_t total_order(double x) {
  const auto bits = std::bit_cast<std::int64_t>(x);
  return bits < 0 ? bits ^ std::numeric_limits<std::int64_t>::max() : bits;
}

RankKeys keys_of(snapshot::Objective objective, const Candidate& c) {
  return rank_keys(objective, c.expected, c.floor, c.money);
}

// Descending on every key: negative when `a` ranks before `b`, positive
// when after, zero when the keys are equal.
int key_order(const RankKeys& a, const RankKeys& b) {
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (a[k] != b[k]) return a[k] > b[k] ? -1 : 1;
  }
  return 0;
}

// Two values count as equal when they compare equal (equal infinities too) or
// lie within the tolerance relative to the held one.
bool same(double next, double held) {
  return next == held || std::fabs(next - held) <= std::fabs(held) * kTolerance;
}

}  // namespace

RankKeys rank_keys(snapshot::Objective objective, double expected, double floor, double money) {
  if (objective == snapshot::Objective::money) {
    return {total_order(round12(money)), total_order(round12(expected)),
            total_order(round12(floor))};
  }
  // The unused third key is equal for every candidate.
  return {total_order(round12(expected)), total_order(round12(floor)), 0};
}

bool top_first(const RankKeys& a, const RankKeys& b) {
  return key_order(a, b) < 0;
}

namespace {

struct RankEntry {
  RankKeys keys;  // worked out once per candidate instead of once per comparison
  std::size_t index;
};

bool ranks_before(const RankEntry& a, const RankEntry& b) {
  return top_first(a.keys, b.keys);
}

// Sorts each run of kRankRun entries by insertion, a step per entry.
bool sort_runs(std::span<RankEntry> entries, CancelEvery& steps) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::size_t first = i - i % kRankRun;
    const RankEntry e = entries[i];
    std::size_t to = i;
    for (; to > first && ranks_before(e, entries[to - 1]); --to) entries[to] = entries[to - 1];
    entries[to] = e;
    if (steps.take(1)) return false;
  }
  return true;
}

// Merges each two neighbouring sorted runs of `width` entries of `from` into
// `to`, a step per entry. On a tie the left run's entry goes first, so the
// merge is stable.
bool merge_pass(std::span<const RankEntry> from, std::span<RankEntry> to, std::size_t width,
                CancelEvery& steps) {
  const std::size_t n = from.size();
  for (std::size_t lo = 0; lo < n; lo += 2 * width) {
    const std::size_t mid = std::min(lo + width, n);
    const std::size_t hi = std::min(mid + width, n);
    // Runs already in order (most, where stage 2 changed few values) are copied.
    const bool in_order = mid == hi || !ranks_before(from[mid], from[mid - 1]);
    std::size_t i = lo, j = mid, out = lo;
    while (out < hi) {
      const std::size_t end = out + std::min(hi - out, steps.room());
      const std::size_t count = end - out;
      if (in_order) {
        std::copy(from.data() + out, from.data() + end, to.data() + out);
        out = end;
      } else {
        while (out < end && i < mid && j < hi) {
          to[out++] = ranks_before(from[j], from[i]) ? from[j++] : from[i++];
        }
        if (out < end) {  // one run used up: the other's rest follows as it is
          std::size_t& rest = i < mid ? i : j;
          std::copy(from.data() + rest, from.data() + rest + (end - out), to.data() + out);
          rest += end - out;
          out = end;
        }
      }
      if (steps.take(count)) return false;
    }
  }
  return true;
}

}  // namespace

bool rank(snapshot::Objective objective, const Cancel& cancel, std::vector<Candidate>& candidates) {
  const std::size_t n = candidates.size();
  if (n < 2) return true;
  CancelEvery steps(cancel, kRankStepsPerTest);
  std::vector<RankEntry> entries;
  entries.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    entries.push_back({keys_of(objective, candidates[i]), i});
    if (steps.take(1)) return false;
  }
  // A bottom-up merge sort: the same order as std::stable_sort, with the
  // cancel test between bounded pieces of work.
  if (!sort_runs(entries, steps)) return false;
  // Left unset: filling it would be one more pass without a test.
  const auto spare = std::make_unique_for_overwrite<RankEntry[]>(n);
  std::span<RankEntry> sorted(entries), other(spare.get(), n);
  for (std::size_t width = kRankRun; width < n; width *= 2) {
    if (!merge_pass(sorted, other, width, steps)) return false;
    std::swap(sorted, other);
  }
  return common::move_into_order(std::span<Candidate>(candidates), sorted,
                                 [&steps] { return steps.take(1); });
}

RankingHead::RankingHead(snapshot::Objective objective, std::size_t limit)
    : objective_(objective), limit_(std::max<std::size_t>(limit, 1)) {
  // All at once: a growing vector would copy and free the whole head
  // between two offers.
  entries_.reserve(limit_);
}

bool RankingHead::before(const Entry& a, const Entry& b) const {
  const int order = key_order(a.keys, b.keys);
  return order != 0 ? order < 0 : a.seq < b.seq;
}

void RankingHead::offer(std::span<const std::size_t> cards, double expected, double floor,
                        double money) {
  Entry e{};
  e.seq = offered_++;
  e.expected = expected;
  e.floor = floor;
  e.money = money;
  e.keys = rank_keys(objective_, expected, floor, money);
  if (cards.size() > e.cards.size()) {
    // Only forced cards make such a selection, and then it is the only one.
    long_cards_.assign(cards);
    e.count = static_cast<std::uint8_t>(e.cards.size() + 1);
  } else {
    for (std::size_t i = 0; i < cards.size(); ++i) {
      if (cards[i] > UINT32_MAX) throw std::length_error("hand position beyond 32 bits");
      e.cards[i] = static_cast<std::uint32_t>(cards[i]);
    }
    e.count = static_cast<std::uint8_t>(cards.size());
  }
  const auto earlier = [this](const Entry& a, const Entry& b) { return before(a, b); };
  if (entries_.size() < limit_) {
    entries_.push_back(e);
    std::push_heap(entries_.begin(), entries_.end(), earlier);
    return;
  }
  // Full: the play replaces the last one kept if it ranks before it. Offered
  // last, it ranks after every kept play with equal keys, as in a stable sort.
  if (!before(e, entries_.front())) return;
  std::pop_heap(entries_.begin(), entries_.end(), earlier);
  entries_.back() = e;
  std::push_heap(entries_.begin(), entries_.end(), earlier);
}

bool RankingHead::take(const Positions& order, const Cancel& cancel, std::vector<Candidate>& out) {
  CancelEvery steps(cancel, kStepsPerTest);
  // Each pop moves the last play left in the heap to the end of its range:
  // the heap sorts into rank order.
  const auto earlier = [this](const Entry& a, const Entry& b) { return before(a, b); };
  for (auto end = entries_.end(); end != entries_.begin(); --end) {
    if (steps.take()) return false;
    std::pop_heap(entries_.begin(), end, earlier);
  }
  out.clear();
  out.reserve(entries_.size());
  for (const Entry& e : entries_) {
    if (steps.take()) return false;
    Candidate c{{}, order, e.expected, e.floor, e.money};
    if (e.count > e.cards.size()) {
      c.cards = long_cards_;
    } else {
      for (std::size_t i = 0; i < e.count; ++i) c.cards.push_back(e.cards[i]);
    }
    out.push_back(std::move(c));
  }
  entries_.clear();
  entries_.shrink_to_fit();
  return true;
}

bool better(snapshot::Objective objective, score::Outcome next, score::Outcome held) {
  if (objective == snapshot::Objective::money) {
    const bool next_nan = std::isnan(next.money);
    const bool held_nan = std::isnan(held.money);
    if (next_nan && !held_nan) return false;
    if (!next_nan && held_nan) return true;
    if (!next_nan && !same(next.money, held.money)) return next.money > held.money;
    // Both NaN or equal within the tolerance: the score decides.
  }
  if (std::isnan(next.score)) return false;
  if (std::isnan(held.score)) return true;
  if (same(next.score, held.score)) return false;
  return next.score > held.score;
}

}  // namespace quorvel::search
