// The search calls the cheap scorer some hundred thousand times per search: it
// must not touch the heap for ordinary plays. Counts every allocation of this
// test executable.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "fixture.h"

// The replacements pair malloc with free; GCC cannot see that through inlining.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<std::size_t> g_allocations{0};
}

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace quorvel::score {
namespace {

using json::Value;
using testing::card;
using testing::joker;

TEST(Allocation, ScoreExpectedUsesNoHeapForOrdinaryPlays) {
  snapshot::Snapshot s = test::base_snapshot();
  s.hand = {card(5, "Hearts").enh("m_lucky"),
            card(6, "Hearts").seal("Red"),
            card(9, "Hearts").ed("e_foil"),
            card(11, "Hearts"),
            card(13, "Hearts"),
            card(2, "Clubs").enh("m_steel"),
            card(3, "Spades"),
            card(4, "Diamonds"),
            card(7, "Clubs"),
            card(8, "Clubs"),
            card(10, "Spades"),
            card(12, "Diamonds").enh("m_steel")};
  s.jokers = {joker("j_space").ab({{"extra", Value(4.0)}}),
              joker("j_blueprint"),
              joker("j_joker").ab({{"mult", Value(4.0)}}),
              joker("j_brainstorm"),
              joker("j_oops"),
              joker("j_matador"),
              joker("j_space"),
              joker("j_hack")};
  const Prepared prep(s);
  const Play play(prep, std::vector<std::size_t>{0, 1, 2, 3, 4});
  const std::vector<std::size_t> order = {7, 6, 5, 4, 3, 2, 1, 0};

  const std::size_t before = g_allocations.load();
  Outcome o = score_expected(prep, play, order);
  ModeChance chance(ModeChance::kCeiling);
  o.score += run(prep, play, Lineup(prep, order), chance, 3).score;
  const std::size_t after = g_allocations.load();
  EXPECT_EQ(after - before, 0u);
  EXPECT_GT(o.score, 0.0);

  // The counter does see allocations: the full answer owns strings and lists.
  const Scored full = score_play(prep, play, order);
  EXPECT_GT(g_allocations.load(), after);
  EXPECT_EQ(full.hand, "Flush");
}

}  // namespace
}  // namespace quorvel::score
