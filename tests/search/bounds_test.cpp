// Selections of many forced cards: their card orders are tried one at a time
// up to the cap, with the cancel test between them, so the search ends soon
// and holds little memory however many cards are forced. The time limit is a
// guard against a hang, not a speed measurement. Counts the live heap bytes of
// this test executable to see the peak.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "search/fixture.h"

// The replacements pair malloc with free; GCC cannot see that through inlining.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

// Each block carries its size in front, so that unsized deletes can count too.
constexpr std::size_t kHeader = alignof(std::max_align_t);
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void* counted_alloc(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr) throw std::bad_alloc();
  std::memcpy(block, &size, sizeof size);
  const std::size_t live = g_live.fetch_add(size, std::memory_order_relaxed) + size;
  std::size_t peak = g_peak.load(std::memory_order_relaxed);
  while (live > peak && !g_peak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
  }
  return block + kHeader;
}

void counted_free(void* p) noexcept {
  if (p == nullptr) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  std::size_t size;
  std::memcpy(&size, block, sizeof size);
  g_live.fetch_sub(size, std::memory_order_relaxed);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  return counted_alloc(size);
}
void* operator new[](std::size_t size) {
  return counted_alloc(size);
}
// The standard library also allocates without exceptions (stable_sort's
// buffer) and frees that with the plain delete.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return counted_alloc(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return operator new(size, std::nothrow);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  counted_free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  counted_free(p);
}
void operator delete(void* p) noexcept {
  counted_free(p);
}
void operator delete[](void* p) noexcept {
  counted_free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  counted_free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  counted_free(p);
}

namespace quorvel::search {
namespace {

using namespace testing;

constexpr auto kHangGuard = std::chrono::seconds(5);
constexpr std::size_t kMemoryGuard = std::size_t{64} << 20;

// `forced` forced cards of cycling ranks and suits, and one free card.
snapshot::Snapshot forced_cards(std::size_t forced) {
  snapshot::Snapshot snap = cycling_cards(forced);
  for (snapshot::Card& c : snap.hand) c.forced = true;
  snap.hand.push_back(card(0, 14, "Spades"));
  return snap;
}

std::size_t factorial(std::size_t n) {
  std::size_t f = 1;
  for (std::size_t k = 2; k <= n; ++k) f *= k;
  return f;
}

TEST(ManyForcedCards, CardOrdersStopAtTheCap) {
  for (std::size_t forced : {6, 8, 12, 2000}) {
    SCOPED_TRACE(forced);
    const snapshot::Snapshot snap = forced_cards(forced);
    const std::size_t orders =
        forced <= 8 ? factorial(forced) : std::min(kMaxCardOrders, card_order_cap(forced));
    Recorder rec;
    Counts counts;
    const std::size_t live = g_live.load();
    g_peak.store(live);
    const auto start = std::chrono::steady_clock::now();
    run(snap, never(), rec.sink(), {.counts = &counts});
    const auto took = std::chrono::steady_clock::now() - start;
    // No jokers: stage 1, then every order but the identity, then the final report.
    EXPECT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 3}));
    ASSERT_FALSE(rec.reports.empty());
    EXPECT_TRUE(rec.reports.back().done);
    ASSERT_TRUE(rec.reports.back().best.has_value());
    EXPECT_EQ(rec.reports.back().best->play.size(), forced);
    EXPECT_EQ(counts.score_expected, orders - 1);
    EXPECT_LT(took, kHangGuard);
    EXPECT_LT(g_peak.load() - live, kMemoryGuard);
  }
}

// Found by fuzzing: held cards asking for billions of triggers through
// "j_mime" and a copy of it held the search for many seconds per scoring.
TEST(ManyTriggers, ASearchWhoseHeldCardsAskForBillionsOfTriggersEndsSoon) {
  const snapshot::ParseResult parsed = snapshot::parse(
      R"({"schema":1,"hand":[{"id":1,"rank":5,"suit":"Hearts","forced":true},)"
      R"({"id":2,"rank":5,"suit":"Spades","seal":"Red"},{"id":3,"rank":3,"enh":"m_lucky"},)"
      R"({"id":4,"rank":11,"suit":"Hearts"},{"id":5,"rank":9,"enh":"m_steel"}],)"
      R"("jokers":[{"id":1,"key":"j_hack","ab":{"extra":1}},{"id":2,"key":"j_sock_and_buskin"},)"
      R"({"id":3,"key":"j_mime","ab":{"extra":1e121}},{"id":4,"key":"j_brainstorm"}]})");
  ASSERT_TRUE(std::holds_alternative<snapshot::Snapshot>(parsed));
  Recorder rec;
  const auto start = std::chrono::steady_clock::now();
  run(std::get<snapshot::Snapshot>(parsed), never(), rec.sink());
  EXPECT_LT(std::chrono::steady_clock::now() - start, kHangGuard);
  EXPECT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
}

// Between two cancel tests a selection of more than five cards scores one
// card order, and one of five cards all 119 of its own.
TEST(ManyForcedCards, TheCancelTestIsConsultedBetweenOrders) {
  for (std::size_t forced : {5u, 12u}) {
    Counts counts;
    std::uint64_t last = 0, most = 0;
    std::size_t tests = 0;
    const Cancel cancel = [&] {
      most = std::max(most, counts.score_expected - last);
      last = counts.score_expected;
      return ++tests > 1000;
    };
    run(forced_cards(forced), cancel, Recorder().sink(), {.counts = &counts});
    EXPECT_EQ(most, forced > 5 ? 1u : 119u) << forced;
  }
}

// A hand far larger than any real one: stage 1 streams its selections and
// keeps only the head of the ranking that later stages can reach, so the
// search's memory stays bounded however many plays it has scored. Two jokers
// keep the largest head (100032 plays); 200000 selections fill it and then
// replace its last plays.
TEST(LargeHands, StageOneHoldsOnlyTheHeadOfTheRanking) {
  snapshot::Snapshot snap = cycling_cards(140);
  snap.jokers = {plus_mult(1, 4), times_three(2)};
  CancelAfter cancel{200000};
  Counts counts;
  const std::size_t live = g_live.load();
  g_peak.store(live);
  run(snap, cancel.fn(), Recorder().sink(), {.counts = &counts});
  EXPECT_EQ(counts.score_play, 200000u);
  // The heap of 100032 plays at 80 bytes each, and little besides.
  EXPECT_LT(g_peak.load() - live, std::size_t{9} << 20);
}

}  // namespace
}  // namespace quorvel::search
