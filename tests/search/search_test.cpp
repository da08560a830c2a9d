#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

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
  run(snap, never(), rec.sink(), &counts);
  EXPECT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
  // One selection, three reports in the identity order: nothing else scored.
  EXPECT_EQ(counts.score_play, 1u + 3u);
  EXPECT_EQ(counts.score_expected, 0u);
  EXPECT_TRUE(rec.reports.back().order_exact);
}

// Ten free cards give 637 selections, all legal; jokers whose order counts.
snapshot::Snapshot ten_cards(std::size_t jokers) {
  snapshot::Snapshot snap = free_cards(10);
  for (std::size_t j = 0; j < jokers; ++j) {
    snap.jokers.push_back(j % 2 == 0 ? plus_mult(100 + j, 3) : times_three(100 + j));
  }
  return snap;
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
    CancelAfter cancel{std::numeric_limits<std::size_t>::max()};
    Counts counts;
    run(snap, cancel.fn(), rec.sink(), &counts);
    ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
    const std::size_t m = c.jokers == 5 ? 120 : 720;
    // One test per selection, per stage-2 candidate, per stage-3 candidate,
    // and the last; between them one per kStepsPerTest steps of taking stage
    // 1's head (two a play) and of visiting the head for its floors, and
    // those of ranking the head again.
    const std::size_t head = std::min<std::size_t>(637, 200000 / m + 32);
    EXPECT_EQ(cancel.calls, 637u + 2 * head / kStepsPerTest + c.searched + head / kStepsPerTest +
                                rank_tests(head) + 32u + 1u)
        << c.jokers;
    // Stage-3 orders and report rescorings come on top of the stage-2 runs.
    EXPECT_GE(counts.score_expected, c.searched * (m - 1)) << c.jokers;
    EXPECT_LT(counts.score_expected, c.searched * (m - 1) + 32 * 119 + 4) << c.jokers;
    EXPECT_TRUE(rec.reports[0].order_exact);
    EXPECT_EQ(rec.reports[1].order_exact, c.exact);
    EXPECT_EQ(rec.reports[2].order_exact, c.exact);
    EXPECT_GT(rec.reports[1].gain, 0.0);
  }
}

// Five jokers: all 637 plays get every order and change it. Between the
// last selection's test and the first candidate's, 4 tests while the head
// is taken; between the last candidate's and stage 3's, 2 while the head is
// visited for its floors and 4 while the candidates are ranked again. A true answer at any
// of them ends the search, the stage-2 report unsent.
TEST(Run, TakingTheHeadRescoringFloorsAndRankingStopWhenCancelled) {
  const snapshot::Snapshot snap = ten_cards(5);
  ASSERT_EQ(rank_tests(637), 4u);
  struct Case {
    std::size_t passed;
    std::vector<std::uint32_t> stages;
  };
  const std::size_t candidates = 637 + 4 + 637;
  for (const Case& c : std::vector<Case>{{637, {}},
                                         {637 + 3, {}},
                                         {637 + 4, {1}},
                                         {candidates, {1}},
                                         {candidates + 1, {1}},
                                         {candidates + 2, {1}},
                                         {candidates + 2 + 3, {1}},
                                         {candidates + 2 + 4, {1, 2}}}) {
    CancelAfter cancel{c.passed};
    Recorder rec;
    run(snap, cancel.fn(), rec.sink());
    EXPECT_EQ(rec.stages(), c.stages) << c.passed;
    EXPECT_EQ(cancel.calls, c.passed + 1) << c.passed;
  }
}

// Exactly as many retained plays as the budget: every one gets every order.
TEST(Run, OrderBudgetMetExactlyStaysExact) {
  // Three forced cards and 23 free ones: 1 + 23 + 253 = 277 = 200000 / 720 selections.
  snapshot::Snapshot snap = cycling_cards(26);
  for (std::size_t i = 0; i < 3; ++i) snap.hand[i].forced = true;
  for (std::size_t j = 0; j < 6; ++j) {
    snap.jokers.push_back(j % 2 == 0 ? plus_mult(100 + j, 3) : times_three(100 + j));
  }
  Recorder rec;
  Counts counts;
  run(snap, never(), rec.sink(), &counts);
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
  CancelAfter cancel{std::numeric_limits<std::size_t>::max()};
  Counts counts;
  run(snap, cancel.fn(), rec.sink(), &counts);
  ASSERT_EQ(rec.stages(), (std::vector<std::uint32_t>{1, 2, 3}));
  for (const SearchResult& r : rec.reports) EXPECT_FALSE(r.order_exact);
  // The +4 joker moves to the front by the swap of places 0 and 6; swaps of
  // equal jokers never count as better.
  EXPECT_EQ(rec.reports[1].joker_order, ids({106, 101, 102, 103, 104, 105, 100}));
  EXPECT_EQ(rec.reports[1].best->expected, 15.0 * (5.0 * 729.0));
  EXPECT_EQ(rec.reports[1].current_order_expected, 15.0 * (729.0 + 4.0));
  // Selection, candidate, two passes, stage-3 candidate, final.
  EXPECT_EQ(cancel.calls, 6u);
  // Identity plus two passes of 21 swaps; the report rescoring of the changed
  // order in stages 2 and 3.
  EXPECT_EQ(counts.score_expected, 1u + 42u + 2u);
  EXPECT_EQ(counts.score_play, 1u + 1u + 3u);
}

TEST(Run, HillClimbingLimitedToLeadingCandidates) {
  snapshot::Snapshot snap = free_cards(6);  // 62 selections
  snap.jokers = six_times_three_then_plus();
  CancelAfter cancel{std::numeric_limits<std::size_t>::max()};
  Recorder rec;
  run(snap, cancel.fn(), rec.sink());
  // 62 selections, 32 candidates each climbing two passes, 32 stage-3 candidates, final.
  EXPECT_EQ(cancel.calls, 62u + 32u * 3u + 32u + 1u);
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

// Reports sent before a cancellation stand; none follows it.
TEST(Run, CancellationAtEveryCheckpoint) {
  struct Scenario {
    const char* name;
    snapshot::Snapshot snap;
    std::size_t total_calls;
    std::vector<std::uint32_t> stages;
    // Cancel tests passed before each report is sent.
    std::vector<std::size_t> report_after;
    // Tests whose true answer only ends a candidate's climb (0-based call index).
    std::vector<std::size_t> soft;
  };
  snapshot::Snapshot two_jokers = glass_and_mult();
  two_jokers.jokers = {times_three(10), plus_mult(11, 4)};
  snapshot::Snapshot climbing = with_levels();
  climbing.hand = {card(1, 13, "Clubs")};
  climbing.jokers = six_times_three_then_plus();
  const std::vector<Scenario> scenarios = {
      // 15 selections, 14 of them retained; the final test.
      {"no jokers", glass_and_mult(), 15 + 14 + 1, {1, 3}, {15, 30}, {}},
      {"two jokers", two_jokers, 15 + 14 + 14 + 1, {1, 2, 3}, {15, 29, 44}, {}},
      // Selection, candidate, two passes, stage-3 candidate, final. The
      // stage-2 report needs only the candidate's test.
      {"hill climbing", climbing, 6, {1, 2, 3}, {1, 2, 6}, {2, 3}},
  };
  for (const Scenario& s : scenarios) {
    for (std::size_t n = 0; n <= s.total_calls; ++n) {
      CancelAfter cancel{n};
      Recorder rec;
      run(s.snap, cancel.fn(), rec.sink());
      std::vector<std::uint32_t> expected_stages;
      for (std::size_t i = 0; i < s.stages.size(); ++i) {
        if (n >= s.report_after[i]) expected_stages.push_back(s.stages[i]);
      }
      EXPECT_EQ(rec.stages(), expected_stages) << s.name << " n=" << n;
      // After a true answer the search returns at once; after a soft one it
      // stops at the next test.
      const bool soft = std::find(s.soft.begin(), s.soft.end(), n) != s.soft.end();
      EXPECT_EQ(cancel.calls, soft ? n + 2 : std::min(n + 1, s.total_calls))
          << s.name << " n=" << n;
      for (const SearchResult& r : rec.reports) {
        EXPECT_EQ(r.done, r.stage == 3) << s.name << " n=" << n;
      }
    }
  }
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

}  // namespace
}  // namespace quorvel::search
