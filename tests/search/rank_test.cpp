#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/powi.h"
#include "search/fixture.h"
#include "search/stages.h"

namespace quorvel::search {
namespace {

using snapshot::Objective;
using testing::never;
using testing::rank_tests;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Powi, RepeatedSquaringAndReciprocal) {
  EXPECT_EQ(common::powi(10.0, 0), 1.0);
  EXPECT_EQ(common::powi(10.0, 11), 1e11);
  EXPECT_EQ(common::powi(2.0, -3), 0.125);
  // Repeated squaring rounds differently from the correctly rounded power.
  EXPECT_EQ(common::powi(10.0, 33), 1.0000000000000001e+33);
  EXPECT_EQ(common::powi(10.0, -23), 1.0 / common::powi(10.0, 23));
  EXPECT_EQ(common::powi(10.0, -23), 1.0000000000000001e-23);
  EXPECT_EQ(common::powi(10.0, 400), kInf);
  EXPECT_EQ(common::powi(10.0, -400), 0.0);
}

TEST(Round12, TwelveSignificantDigits) {
  EXPECT_EQ(round12(123.4567890123456), round12(123.4567890124));
  EXPECT_EQ(round12(123.4567890123456), 123.456789012);
  EXPECT_NE(round12(123.456789012), round12(123.456789013));
  EXPECT_EQ(round12(-0.000123456789012345), -0.000123456789012);
  // Halfway cases go away from zero (123456789012.5 is exact).
  EXPECT_EQ(round12(123456789012.5), 123456789013.0);
  EXPECT_EQ(round12(-123456789012.5), -123456789013.0);
  // The scale comes from the integer power routine, not a rounded 1e33.
  EXPECT_EQ(round12(2.209278197011611e-22), 2.2092781970099997e-22);
}

TEST(Round12, SpecialValues) {
  EXPECT_EQ(round12(kNaN), -kInf);
  EXPECT_EQ(round12(kInf), kInf);
  EXPECT_EQ(round12(-kInf), -kInf);
  EXPECT_TRUE(std::signbit(round12(-0.0)));
  EXPECT_FALSE(std::signbit(round12(0.0)));
  // The scale overflows for the tiniest values, which stay unrounded.
  const double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(round12(tiny), tiny);
}

Candidate cand(double expected, double floor, double money = 0.0) {
  return Candidate{{}, {}, expected, floor, money};
}

// The enumeration index of each candidate is kept in its `cards`.
std::vector<std::size_t> indices(const std::vector<Candidate>& cs) {
  std::vector<std::size_t> order;
  for (const Candidate& c : cs) order.push_back(c.cards[0]);
  return order;
}

std::vector<std::size_t> ranked(Objective objective, std::vector<Candidate> cs) {
  for (std::size_t i = 0; i < cs.size(); ++i) cs[i].cards = {i};
  EXPECT_TRUE(rank(objective, never(), cs));
  return indices(cs);
}

// A fixed stream of pseudo-random numbers below n.
struct Roll {
  std::uint64_t state;
  std::uint64_t operator()(std::uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  }
};

// Values whose keys often tie: few of them, both zeros, the infinities, NaN
// (ranked as -inf) and two that differ only past the twelfth digit.
constexpr double kTied[] = {0.0, -0.0, 1.0, 2.0, 2.0000000000001, 3.5, kNaN, -kInf, kInf, 7.0};

Candidate tied(Roll& roll) {
  return cand(kTied[roll(10)], kTied[roll(10)], kTied[roll(10)]);
}

bool stable_first(Objective objective, const Candidate& a, const Candidate& b) {
  return top_first(rank_keys(objective, a.expected, a.floor, a.money),
                   rank_keys(objective, b.expected, b.floor, b.money));
}

TEST(Ranking, Table) {
  struct Case {
    const char* name;
    Objective objective;
    std::vector<Candidate> candidates;
    std::vector<std::size_t> expected;
  };
  const std::vector<Case> cases = {
      {"score then floor",
       Objective::score,
       {cand(10, 1), cand(20, 1), cand(20, 5), cand(5, 50)},
       {2, 1, 0, 3}},
      {"money ignored under score", Objective::score, {cand(10, 1, 0), cand(10, 1, 99)}, {0, 1}},
      {"money first",
       Objective::money,
       {cand(100, 100, 1), cand(1, 1, 2), cand(50, 0, 2), cand(50, 3, 2)},
       {3, 2, 1, 0}},
      {"13th digit is a tie, enumeration order stays",
       Objective::score,
       {cand(123.4567890123456, 7), cand(123.4567890124, 7), cand(123.456789012, 7)},
       {0, 1, 2}},
      {"12th digit decides",
       Objective::score,
       {cand(123.456789012, 7), cand(123.456789013, 7)},
       {1, 0}},
      {"NaN ranks last, tied with -inf on the key",
       Objective::score,
       {cand(kNaN, 5), cand(-1e300, 0), cand(-kInf, 9), cand(kNaN, 10), cand(-kInf, 9)},
       {1, 3, 2, 4, 0}},
      {"negative zero below positive zero",
       Objective::score,
       {cand(-0.0, 0), cand(0.0, 0), cand(-0.0, 0)},
       {1, 0, 2}},
      {"negative zero money", Objective::money, {cand(5, 5, -0.0), cand(1, 1, 0.0)}, {1, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ranked(c.objective, c.candidates), c.expected) << c.name;
  }
}

TEST(Ranking, TopFirstAgreesWithTheSort) {
  const auto first = [](const Candidate& x, const Candidate& y) {
    return top_first(rank_keys(Objective::score, x.expected, x.floor, x.money),
                     rank_keys(Objective::score, y.expected, y.floor, y.money));
  };
  const Candidate a = cand(20, 1), b = cand(20, 5), nan = cand(kNaN, 0);
  EXPECT_TRUE(first(b, a));
  EXPECT_FALSE(first(a, b));
  EXPECT_FALSE(first(a, a));
  EXPECT_TRUE(first(a, nan));
  EXPECT_FALSE(first(nan, cand(-kInf, 0)));
  EXPECT_FALSE(first(cand(-kInf, 0), nan));
}

// Ranking is std::stable_sort by top_first, on keys that tie often, at sizes
// around a run, a merge pass and a test's worth of steps (an even and an odd
// number of passes among them), with candidates in no order, nearly ranked
// and ranked backwards. It consults the cancel test at the rate stated.
TEST(Ranking, IsTheStableSortByTopFirst) {
  Roll roll{777};
  for (Objective objective : {Objective::score, Objective::money}) {
    for (std::size_t n : {2u, 3u, 31u, 32u, 33u, 64u, 65u, 127u, 129u, 256u, 1023u, 1024u, 1025u,
                          2049u, 4097u, 10007u}) {
      for (int shape = 0; shape < 3; ++shape) {
        std::vector<Candidate> cs;
        for (std::size_t i = 0; i < n; ++i) cs.push_back(tied(roll));
        const auto first = [objective](const Candidate& a, const Candidate& b) {
          return stable_first(objective, a, b);
        };
        if (shape > 0) std::stable_sort(cs.begin(), cs.end(), first);
        if (shape == 1) {
          for (std::size_t k = 0; k < n / 50 + 1; ++k) std::swap(cs[roll(n)], cs[roll(n)]);
        }
        if (shape == 2) std::reverse(cs.begin(), cs.end());
        for (std::size_t i = 0; i < n; ++i) cs[i].cards = {i};
        std::vector<Candidate> expected = cs;
        std::stable_sort(expected.begin(), expected.end(), first);
        std::size_t tests = 0;
        ASSERT_TRUE(rank(
            objective, [&tests] { return ++tests, false; }, cs));
        EXPECT_EQ(indices(cs), indices(expected)) << n << " candidates, shape " << shape;
        EXPECT_EQ(tests, rank_tests(n)) << n << " candidates, shape " << shape;
      }
    }
  }
}

// A true answer ends the ranking at once, at each of its tests: while the
// keys are worked out, the runs sorted, the runs merged or the candidates
// moved into place. The candidates are then all there, each whole.
TEST(Ranking, StopsAtTheFirstTrueCancelTest) {
  Roll roll{99};
  const std::size_t n = 3000;
  std::vector<Candidate> all;
  for (std::size_t i = 0; i < n; ++i) {
    all.push_back(tied(roll));
    all.back().cards = {i};
    all.back().order = {i % 3};
  }
  ASSERT_EQ(rank_tests(n), 29u);
  for (std::size_t answered = 1; answered <= rank_tests(n); ++answered) {
    std::vector<Candidate> cs = all;
    std::size_t tests = 0;
    EXPECT_FALSE(rank(
        Objective::score, [&] { return ++tests == answered; }, cs));
    EXPECT_EQ(tests, answered);
    std::vector<bool> seen(n);
    for (const Candidate& c : cs) {
      ASSERT_EQ(c.cards.size(), 1u);
      const Candidate& was = all[c.cards[0]];
      EXPECT_FALSE(seen[c.cards[0]]);
      seen[c.cards[0]] = true;
      EXPECT_EQ(c.order, was.order);
      EXPECT_EQ(std::bit_cast<std::uint64_t>(c.expected),
                std::bit_cast<std::uint64_t>(was.expected));
    }
  }
}

// The head kept while plays stream in is the ranking of all of them, cut:
// the same plays in the same order, ties and NaNs included, for limits
// smaller than, equal to and larger than the number of plays. Taking it
// consults the cancel test every kStepsPerTest steps, and only then.
TEST(RankingHead, IsTheFullRankingCut) {
  Roll roll{12345};
  for (Objective objective : {Objective::score, Objective::money}) {
    for (std::size_t plays : {0u, 1u, 7u, 300u, 3000u}) {
      std::vector<Candidate> all;
      for (std::size_t p = 0; p < plays; ++p) {
        Candidate c = tied(roll);
        c.cards = {p / 100, p % 100};
        all.push_back(c);
      }
      std::vector<Candidate> sorted = all;
      ASSERT_TRUE(rank(objective, never(), sorted));
      for (std::size_t limit : {1u, 5u, 64u, 299u, 300u, 1000u, 2999u, 5000u}) {
        RankingHead head(objective, limit);
        for (const Candidate& c : all) head.offer(c.cards, c.expected, c.floor, c.money);
        EXPECT_EQ(head.offered(), plays);
        const Positions order = {1, 0};
        std::vector<Candidate> kept;
        std::size_t tests = 0;
        ASSERT_TRUE(head.take(
            order, [&tests] { return ++tests, false; }, kept));
        ASSERT_EQ(kept.size(), std::min(limit, plays));
        // One step per play put in order and one per play copied out.
        EXPECT_EQ(tests, 2 * kept.size() / kStepsPerTest);
        for (std::size_t k = 0; k < kept.size(); ++k) {
          EXPECT_EQ(kept[k].cards, sorted[k].cards) << plays << " plays, limit " << limit;
          EXPECT_EQ(kept[k].order, order);
        }
      }
    }
  }
}

TEST(RankingHead, TakingStopsAtTheFirstTrueCancelTest) {
  for (std::size_t answered : {1u, 2u, 5u}) {
    RankingHead head(Objective::score, 3000);
    for (std::size_t p = 0; p < 3000; ++p) head.offer(Positions{p}, double(p % 7), 0.0, 0.0);
    std::vector<Candidate> kept;
    std::size_t tests = 0;
    EXPECT_FALSE(head.take(
        {}, [&] { return ++tests == answered; }, kept));
    EXPECT_EQ(tests, answered);
  }
}

TEST(Better, Table) {
  struct Case {
    Objective objective;
    score::Outcome next, held;
    bool expected;
  };
  const std::vector<Case> cases = {
      // Score objective: money plays no part.
      {Objective::score, {100.00000005, 0}, {100.0, 0}, false},
      {Objective::score, {100.0000002, 0}, {100.0, 0}, true},
      {Objective::score, {99.0, 0}, {100.0, 0}, false},
      {Objective::score, {100.0, 0}, {100.0, 0}, false},
      {Objective::score, {1e-300, 0}, {0.0, 0}, true},
      {Objective::score, {-99.9, 0}, {-100.0, 0}, true},
      {Objective::score, {kInf, 0}, {kInf, 0}, false},
      {Objective::score, {kInf, 0}, {-kInf, 0}, false},
      {Objective::score, {1e308, 0}, {kInf, 0}, false},
      {Objective::score, {kInf, 0}, {1e308, 0}, true},
      {Objective::score, {kNaN, 0}, {1.0, 0}, false},
      {Objective::score, {1.0, 0}, {kNaN, 0}, true},
      {Objective::score, {kNaN, 0}, {kNaN, 0}, false},
      {Objective::score, {200.0, 0}, {100.0, 9}, true},
      // Money objective: money first, the score on a tie.
      {Objective::money, {1.0, 10.0}, {100.0, 5.0}, true},
      {Objective::money, {1000.0, 5.0}, {100.0, 10.0}, false},
      {Objective::money, {200.0, 10.000000001}, {100.0, 10.0}, true},
      {Objective::money, {50.0, 10.000000001}, {100.0, 10.0}, false},
      {Objective::money, {100.0, 10.0}, {100.0, 10.0}, false},
      {Objective::money, {200.0, kNaN}, {100.0, 1.0}, false},
      {Objective::money, {1.0, 1.0}, {100.0, kNaN}, true},
      {Objective::money, {200.0, kNaN}, {100.0, kNaN}, true},
      {Objective::money, {100.0, kNaN}, {100.0, kNaN}, false},
      {Objective::money, {200.0, kInf}, {100.0, kInf}, true},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(better(c.objective, c.next, c.held), c.expected) << "case " << i;
  }
}

}  // namespace
}  // namespace quorvel::search
