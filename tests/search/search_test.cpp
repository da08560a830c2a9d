#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "search/fixture.h"

namespace quorvel::search {
namespace {

using namespace testing;

std::vector<std::int64_t> ids(std::initializer_list<std::int64_t> list) {
  return list;
}

// Every selection is voided by the boss blind; "j_matador" pays for a voided
// hand, so only the money objective may keep them.
TEST(Run, RetentionOfVoidedHands) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    snapshot::Objective objective;
    double pay;
    bool kept;
  };
  const std::vector<Case> cases = {{snapshot::Objective::score, 8.0, false},
                                   {snapshot::Objective::money, 8.0, true},
                                   {snapshot::Objective::money, 0.0, false},
                                   {snapshot::Objective::money, -1.0, false},
                                   {snapshot::Objective::money, kNaN, false}};
  for (const Case& c : cases) {
    snapshot::Snapshot snap = free_cards(3);
    snap.blind.key = "bl_psychic";
    snap.options.objective = c.objective;
    json::Object ab;
    ab.emplace("extra", c.pay);
    snap.jokers = {joker(9, "j_matador", std::move(ab))};
    Recorder rec;
    run(snap, never(), rec.sink());
    ASSERT_FALSE(rec.reports.empty());
    EXPECT_EQ(rec.reports[0].best.has_value(), c.kept) << c.pay;
    if (c.kept) {
      EXPECT_TRUE(rec.reports[0].blocked);
      EXPECT_EQ(rec.reports[0].best->money_expected, 8.0);
      EXPECT_EQ(rec.reports[0].best->expected, 0.0);
    }
  }
}

TEST(Run, OrderFreeJokersAreNotReordered) {
  snapshot::Snapshot snap = with_levels();
  snap.hand = {card(1, 13, "Clubs")};
  snap.jokers = {joker(10, "j_egg"), joker(11, "j_stone")};
  Recorder rec;
  Counts counts;
  run(snap, never(), rec.sink(), {.counts = &counts});
  EXPECT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
  // One selection, three reports in the identity order: nothing else scored.
  EXPECT_EQ(counts.score_play, 1u + 3u);
  EXPECT_EQ(counts.score_expected, 0u);
  EXPECT_TRUE(rec.reports.back().order_exact);
}

// `snap` with `jokers` jokers whose order counts: +3 and x3 by turns.
snapshot::Snapshot with_ordered_jokers(snapshot::Snapshot snap, std::size_t jokers) {
  for (std::size_t j = 0; j < jokers; ++j) {
    snap.jokers.push_back(j % 2 == 0 ? plus_mult(100 + j, 3) : times_three(100 + j));
  }
  return snap;
}

// Ten free cards give 637 selections, all legal.
snapshot::Snapshot ten_cards(std::size_t jokers) {
  return with_ordered_jokers(free_cards(10), jokers);
}

// The stage-2 budget: k = 200000 / m candidates get every kept order.
TEST(Run, OrderBudget) {
  struct Case {
    std::size_t jokers;
    std::size_t searched;
    bool exact;
  };
  for (const Case& c : std::vector<Case>{{5, 637, true}, {6, 277, false}}) {
    const snapshot::Snapshot snap = ten_cards(c.jokers);
    Recorder rec;
    Counts counts;
    run(snap, never(), rec.sink(), {.counts = &counts});
    ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
    const std::size_t m = c.jokers == 5 ? 120 : 720;
    // Stage-3 orders and report rescorings come on top of the stage-2 runs.
    EXPECT_GE(counts.score_expected, c.searched * (m - 1)) << c.jokers;
    EXPECT_LT(counts.score_expected, c.searched * (m - 1) + 32 * 119 + 4) << c.jokers;
    EXPECT_TRUE(rec.reports[0].order_exact);
    EXPECT_EQ(rec.reports[1].order_exact, c.exact);
    EXPECT_EQ(rec.reports[2].order_exact, c.exact);
    EXPECT_GT(rec.reports[1].gain, 0.0);
  }
}

// Exactly as many retained plays as the budget: every one gets every order.
TEST(Run, OrderBudgetMetExactlyStaysExact) {
  // Three forced cards and 23 free ones: 1 + 23 + 253 = 277 = 200000 / 720 selections.
  snapshot::Snapshot snap = with_ordered_jokers(cycling_cards(26), 6);
  for (std::size_t i = 0; i < 3; ++i) snap.hand[i].forced = true;
  Recorder rec;
  Counts counts;
  run(snap, never(), rec.sink(), {.counts = &counts});
  ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_EQ(counts.score_play, 277u + 277u + 3u);  // selections, floors, reports
  EXPECT_TRUE(rec.reports[1].order_exact);
  EXPECT_TRUE(rec.reports[2].order_exact);
}

std::vector<snapshot::Joker> six_times_three_then_plus() {
  std::vector<snapshot::Joker> js;
  for (std::int64_t j = 0; j < 6; ++j) js.push_back(times_three(100 + j));
  js.push_back(plus_mult(106, 4));
  return js;
}

TEST(Run, HillClimbingWithSevenJokers) {
  snapshot::Snapshot snap = with_levels();
  snap.hand = {card(1, 13, "Clubs")};
  snap.jokers = six_times_three_then_plus();
  Recorder rec;
  Counts counts;
  run(snap, never(), rec.sink(), {.counts = &counts});
  ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
  for (const SearchResult& r : rec.reports) EXPECT_FALSE(r.order_exact);
  // The +4 joker moves to the front by the swap of places 0 and 6; swaps of
  // equal jokers never count as better.
  EXPECT_EQ(rec.reports[1].joker_order, ids({106, 101, 102, 103, 104, 105, 100}));
  EXPECT_EQ(rec.reports[1].best->expected, 15.0 * (5.0 * 729.0));
  EXPECT_EQ(rec.reports[1].current_order_expected, 15.0 * (729.0 + 4.0));
  // Identity plus two passes of 21 swaps; the report rescoring of the changed
  // order in stages 2 and 3.
  EXPECT_EQ(counts.score_expected, 1u + 42u + 2u);
  EXPECT_EQ(counts.score_play, 1u + 1u + 3u);
}

// Hand: 5 glass, 5 mult, K, K with a bonus. Pairs played in the order mult
// then glass score (2+4)x2; glass first gives 2x2+4. The boss blind voids Two
// Pair, so the top play is a pair of Kings (200) that no card order improves.
snapshot::Snapshot glass_and_mult() {
  snapshot::Snapshot snap = with_levels();
  level(snap, "Two Pair", 20, 2, 1.0);
  snap.blind.key = "bl_eye";
  snap.hand = {card(1, 5, "Spades", "m_glass"), card(2, 5, "Hearts", "m_mult"),
               card(3, 13, "Clubs"), card(4, 13, "Diamonds", {}, 70.0)};
  return snap;
}

TEST(Run, CardOrderFromAnotherCandidateBecomesTheBest) {
  const snapshot::Snapshot snap = glass_and_mult();
  Recorder rec;
  run(snap, never(), rec.sink());
  ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 3}));
  const SearchResult& first = rec.reports[0];
  EXPECT_EQ(first.best->play, ids({1, 3, 4}));  // the first of the equal pairs of Kings
  EXPECT_EQ(first.best->expected, 200.0);
  EXPECT_FALSE(first.card_order_matters);
  const SearchResult& last = rec.reports[1];
  EXPECT_TRUE(last.done);
  EXPECT_TRUE(last.card_order_matters);
  EXPECT_EQ(last.best->play, ids({2, 1}));
  EXPECT_EQ(last.best->hand, "Pair");
  EXPECT_EQ(last.best->scored, ids({2, 1}));
  EXPECT_EQ(last.best->expected, 240.0);
  EXPECT_EQ(last.current_order_expected, 200.0);
}

TEST(Run, CardOrderKeepsTheFirstCandidateWhenNothingBeatsIt) {
  snapshot::Snapshot snap = glass_and_mult();
  snap.hand[3].perma.bonus = 120.0;  // pair of Kings now 300
  Recorder rec;
  run(snap, never(), rec.sink());
  ASSERT_EQ(rec.reports.size(), 2u);
  EXPECT_FALSE(rec.reports[1].card_order_matters);
  EXPECT_EQ(rec.reports[1].best->play, ids({1, 3, 4}));
  EXPECT_EQ(rec.reports[1].best->expected, 300.0);
}

TEST(Run, CardOrderUnderTheMoneyObjective) {
  // A gold seal pays when its card scores: under the money objective the
  // paying pairs of fives lead the pair of Kings that scores more, and the
  // reordered pair wins on its score once the money ties.
  snapshot::Snapshot snap = glass_and_mult();
  snap.options.objective = snapshot::Objective::money;
  snap.hand[0].seal = "Gold";
  Recorder rec;
  run(snap, never(), rec.sink());
  ASSERT_EQ(rec.reports.size(), 2u);
  EXPECT_EQ(rec.reports[0].best->money_expected, 3.0);
  EXPECT_EQ(rec.reports[1].best->money_expected, 3.0);
  EXPECT_EQ(rec.reports[1].best->play, ids({2, 1}));
  EXPECT_TRUE(rec.reports[1].card_order_matters);
}

TEST(Run, CancelBeforeASecondPassKeepsTheClimbSoFar) {
  snapshot::Snapshot snap = with_levels();
  snap.hand = {card(1, 13, "Clubs")};
  snap.jokers = six_times_three_then_plus();
  // Selection, candidate and first pass pass; the test before the second pass stops.
  CancelAfter cancel{3};
  Recorder rec;
  run(snap, cancel.fn(), rec.sink());
  ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(rec.reports[1].joker_order, ids({106, 101, 102, 103, 104, 105, 100}));
  EXPECT_FALSE(rec.reports[1].done);
}

// Four forced Hearts (2, 3, 4 and a mult card 6) after the free cards given:
// each selection is the forced cards alone or with one free card, so every
// free Heart 9 makes a flush of its own, all five cards scoring.
snapshot::Snapshot one_free_card_each(std::vector<snapshot::Card> free) {
  snapshot::Snapshot snap = with_levels();
  level(snap, "Flush", 0, 1);
  snap.hand = std::move(free);
  for (std::int32_t rank : {2, 3, 4, 6}) {
    snap.hand.push_back(card(100 + rank, rank, "Hearts", rank == 6 ? "m_mult" : ""));
    snap.hand.back().forced = true;
  }
  return snap;
}

// A free Heart 9 whose flush has `chips` chips (2 + 3 + 4 + 6 + 9 = 24 of
// them from the ranks).
snapshot::Card nine(std::int64_t id, double chips, std::optional<std::string> enh = {}) {
  return card(id, 9, "Hearts", std::move(enh), chips - 24);
}

// 31 holographic flushes (mult 1 + 10 + 4) rank first in the snapshot's
// joker order; the 32nd is a plain flush of many chips (mult 1 + 4), which
// gains the most by moving the +4 joker before the six x3 ones: it must win
// stage 2, as the climb examines 32 candidates.
TEST(Run, TheThirtySecondCandidateIsClimbed) {
  std::vector<snapshot::Card> free;
  for (std::int64_t i = 0; i < 31; ++i) {
    free.push_back(nine(i + 1, 400.0 + static_cast<double>(i)));
    free.back().ed = "e_holo";
  }
  free.push_back(nine(32, 1000.0));
  snapshot::Snapshot snap = one_free_card_each(std::move(free));
  snap.jokers = six_times_three_then_plus();
  Recorder rec;
  run(snap, never(), rec.sink());
  ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_EQ(rec.reports[0].best->play, ids({31, 102, 103, 104, 106}));
  EXPECT_EQ(rec.reports[0].best->expected, 430.0 * (15.0 * 729.0 + 4.0));
  EXPECT_EQ(rec.reports[1].best->play, ids({32, 102, 103, 104, 106}));
  EXPECT_EQ(rec.reports[1].best->expected, 1000.0 * (5.0 + 4.0) * 729.0);
  EXPECT_EQ(rec.reports[1].joker_order, ids({106, 101, 102, 103, 104, 105, 100}));
}

// 31 holographic flushes (mult 1 + 10 + 4 in any order) rank first; the
// 32nd is a glass flush of many chips whose glass card comes first (mult
// 1 x 2 + 4), and scores most with the mult card first ((1 + 4) x 2): it
// must win stage 3, as the card orders of 32 candidates are tried.
TEST(Run, TheThirtySecondCandidateIsReordered) {
  std::vector<snapshot::Card> free;
  for (std::int64_t i = 0; i < 31; ++i) {
    free.push_back(nine(i + 1, 500.0 + static_cast<double>(i)));
    free.back().ed = "e_holo";
  }
  free.push_back(nine(32, 1000.0, "m_glass"));
  const snapshot::Snapshot snap = one_free_card_each(std::move(free));
  Recorder rec;
  run(snap, never(), rec.sink());
  ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 3}));
  EXPECT_EQ(rec.reports[0].best->play, ids({31, 102, 103, 104, 106}));
  EXPECT_EQ(rec.reports[0].best->expected, 530.0 * 15.0);
  const Best& best = *rec.reports[1].best;
  EXPECT_TRUE(rec.reports[1].card_order_matters);
  EXPECT_EQ(best.expected, 1000.0 * 10.0);
  ASSERT_EQ(best.play.size(), 5u);
  const auto at = [&best](std::int64_t id) {
    return std::find(best.play.begin(), best.play.end(), id) - best.play.begin();
  };
  EXPECT_LT(at(106), at(32));
}

// The cancel test's contract, checked at every test of a search, or for a
// large one at those within `near` of a report: the search returns at the
// first true answer (a climb's test only ends that candidate's climb, so one
// more test may follow), and what it sent before is what the uncancelled
// search sends, byte for byte: tests that answer false change nothing.
void expect_stops_at_the_first_true_test(const snapshot::Snapshot& snap, const char* name,
                                         std::size_t near = 0) {
  Recorder whole;
  run(snap, never(), whole.sink());
  const std::vector<std::string> texts = whole.texts();
  // How many tests come before each report, counted.
  std::size_t tests = 0;
  std::vector<std::size_t> before;
  Recorder counted;
  run(
      snap, [&tests] { return ++tests, false; },
      [&](SearchResult r) {
        before.push_back(tests);
        counted.reports.push_back(std::move(r));
      });
  ASSERT_EQ(counted.texts(), texts) << name;
  const bool climbs = snap.jokers.size() >= kClimbFrom;
  for (std::size_t n = 0; n < tests; ++n) {
    const bool close = std::any_of(before.begin(), before.end(),
                                   [&](std::size_t b) { return n + near >= b && n <= b + near; });
    if (near != 0 && n > 3 && !close) continue;
    CancelAfter cancel{n};
    Recorder rec;
    run(snap, cancel.fn(), rec.sink());
    const std::vector<std::string> got = rec.texts();
    ASSERT_LE(got.size(), texts.size()) << name << " n=" << n;
    const bool soft = cancel.calls == n + 2;
    EXPECT_TRUE(cancel.calls == n + 1 || (climbs && soft)) << name << " n=" << n;
    // A climb cut short may still send its stage-2 report, as the last.
    const std::size_t same = soft && !got.empty() ? got.size() - 1 : got.size();
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + same, texts.begin())) << name << " n=" << n;
    const auto sent =
        std::count_if(before.begin(), before.end(), [n](std::size_t b) { return b <= n; });
    if (!soft) {
      EXPECT_EQ(got.size(), static_cast<std::size_t>(sent)) << name << " n=" << n;
    }
  }
}

TEST(Run, EveryCancelTestStopsTheSearch) {
  snapshot::Snapshot two_jokers = glass_and_mult();
  two_jokers.jokers = {times_three(10), plus_mult(11, 4)};
  snapshot::Snapshot climbing = with_levels();
  climbing.hand = {card(1, 13, "Clubs"), card(2, 13, "Hearts")};
  climbing.jokers = six_times_three_then_plus();
  expect_stops_at_the_first_true_test(glass_and_mult(), "no jokers");
  expect_stops_at_the_first_true_test(two_jokers, "two jokers");
  expect_stops_at_the_first_true_test(climbing, "hill climbing");
  // 637 plays: taking stage 1's head, visiting it for its floors and keeping
  // the leading candidates test between their steps, just before a report.
  expect_stops_at_the_first_true_test(ten_cards(2), "637 plays", 12);
}

}  // namespace
}  // namespace quorvel::search
