#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/powi.h"
#include "search/fixture.h"
#include "search/stages.h"

namespace quorvel::search {
namespace {

using snapshot::Objective;
using testing::never;
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
  EXPECT_TRUE(keep_leading(objective, never(), cs));
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

// The ranking as the stable sort by the keys alone gives it.
std::vector<Candidate> stable_sorted(Objective objective, std::vector<Candidate> cs) {
  std::stable_sort(cs.begin(), cs.end(), [objective](const Candidate& a, const Candidate& b) {
    return top_first({rank_keys(objective, a.expected, a.floor, a.money), 0},
                     {rank_keys(objective, b.expected, b.floor, b.money), 0});
  });
  return cs;
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

// Whatever keeps the lead (stage 1's head, the leading candidates after
// stage 2) gives the stable sort's first plays, on keys that tie often, for
// lists shorter and longer than it keeps, in no order, nearly ranked and
// ranked backwards. Between two cancel tests it handles at most
// kStepsPerTest plays, and with few enough plays (a climbed head) it
// consults none, so that a cancel during the last climb still lets the
// stage-2 report go.
TEST(Ranking, WhatKeepsTheLeadIsTheStableSortCut) {
  Roll roll{777};
  for (Objective objective : {Objective::score, Objective::money}) {
    for (std::size_t n : {0u, 1u, 2u, 31u, 32u, 33u, 64u, 96u, 300u, 3001u}) {
      for (int shape = 0; shape < 3; ++shape) {
        std::vector<Candidate> cs;
        for (std::size_t i = 0; i < n; ++i) cs.push_back(tied(roll));
        if (shape > 0) cs = stable_sorted(objective, std::move(cs));
        if (shape == 1 && n > 0) {
          for (std::size_t k = 0; k < n / 50 + 1; ++k) std::swap(cs[roll(n)], cs[roll(n)]);
        }
        if (shape == 2) std::reverse(cs.begin(), cs.end());
        for (std::size_t i = 0; i < n; ++i) {
          cs[i].cards = {i, 7, 8, 9, 10, 11 + i % 3};  // a few of more than five cards
          cs[i].cards.resize(i % 4 == 0 ? 6 : 1 + i % 5);
        }
        const std::vector<Candidate> sorted = stable_sorted(objective, cs);
        const std::string what = std::to_string(n) + " plays, shape " + std::to_string(shape);

        std::vector<Candidate> leading = cs;
        std::size_t tests = 0;
        ASSERT_TRUE(keep_leading(
            objective, [&tests] { return ++tests, false; }, leading));
        ASSERT_EQ(leading.size(), std::min(n, kLeading)) << what;
        for (std::size_t k = 0; k < leading.size(); ++k) {
          EXPECT_EQ(leading[k].cards, sorted[k].cards) << what;
        }
        EXPECT_GE(tests, n / kStepsPerTest) << what;
        if (n <= kClimbedHead) {
          EXPECT_EQ(tests, 0u) << what;
        }

        for (std::size_t limit : {1u, 5u, 64u, 299u, 300u, 5000u}) {
          RankingHead head(objective, limit);
          for (const Candidate& c : cs) head.offer(c.cards, c.expected, c.floor, c.money);
          EXPECT_EQ(head.offered(), n);
          const Positions order = {1, 0};
          std::vector<Candidate> kept;
          tests = 0;
          ASSERT_TRUE(head.take(
              order, [&tests] { return ++tests, false; }, kept));
          ASSERT_EQ(kept.size(), std::min(limit, n)) << what << ", limit " << limit;
          for (std::size_t k = 0; k < kept.size(); ++k) {
            EXPECT_EQ(kept[k].cards, sorted[k].cards) << what << ", limit " << limit;
            EXPECT_EQ(kept[k].order, order);
          }
          EXPECT_GE(tests, kept.size() / kStepsPerTest) << what << ", limit " << limit;
        }
      }
    }
  }
}

// A true answer ends the work at once, at each of its tests, with the
// candidates all there, each whole.
TEST(Ranking, StopsAtTheFirstTrueCancelTest) {
  Roll roll{99};
  const std::size_t n = 3000;
  std::vector<Candidate> all;
  for (std::size_t i = 0; i < n; ++i) {
    all.push_back(tied(roll));
    all.back().cards = {i};
    all.back().order = {i % 3};
  }
  for (std::size_t answered = 1;; ++answered) {
    std::vector<Candidate> cs = all;
    std::size_t tests = 0;
    const bool whole = keep_leading(
        Objective::score, [&] { return ++tests == answered; }, cs);
    if (whole) break;
    EXPECT_EQ(tests, answered);
    ASSERT_EQ(cs.size(), n);
    for (std::size_t i = 0; i < n; ++i) {
      EXPECT_EQ(cs[i].cards, all[i].cards);
      EXPECT_EQ(cs[i].order, all[i].order);
    }
  }
  for (std::size_t answered : {1u, 2u, 5u}) {
    RankingHead head(Objective::score, n);
    for (const Candidate& c : all) head.offer(c.cards, c.expected, c.floor, c.money);
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
