#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "score/chance.h"

namespace quorvel::score {
namespace {

TEST(ModeChance, AnswersByMode) {
  struct Case {
    std::uint8_t mode;
    double weight, pick;
  };
  // A mode outside 0..2 answers like the ceiling.
  const Case cases[] = {{0, 0.0, 0.0}, {1, 0.3, 11.5}, {2, 1.0, 23.0}, {7, 1.0, 23.0}};
  for (const Case& c : cases) {
    ModeChance a(c.mode);
    EXPECT_FALSE(a.used());
    EXPECT_EQ(a.weight(0.3), c.weight) << int(c.mode);
    EXPECT_TRUE(a.used());
    ModeChance b(c.mode);
    EXPECT_EQ(b.pick(0.0, 23.0), c.pick) << int(c.mode);
    EXPECT_TRUE(b.used());
  }
  // No checks on the arguments.
  ModeChance e(ModeChance::kExpected);
  EXPECT_EQ(e.weight(7.0), 7.0);
  EXPECT_EQ(e.pick(10.0, 2.0), 6.0);
}

TEST(Factor, CertainAndImpossibleDoNotAsk) {
  for (double q : {1.0, 1.5, std::numeric_limits<double>::infinity()}) {
    ModeChance c(ModeChance::kFloor);
    EXPECT_EQ(factor(c, q), 1.0);
    EXPECT_FALSE(c.used());
  }
  for (double q : {0.0, -0.0, -2.0}) {
    ModeChance c(ModeChance::kCeiling);
    EXPECT_EQ(factor(c, q), 0.0);
    EXPECT_FALSE(c.used());
  }
  ModeChance c(ModeChance::kExpected);
  EXPECT_EQ(factor(c, 0.2), 0.2);
  EXPECT_TRUE(c.used());
}

TEST(OddsFactor, TheOddsRule) {
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    double odds_mult, odds, expected;
    bool asks;
  };
  const Case cases[] = {
      {"one in four", 1.0, 4.0, 0.25, true},
      {"doubled by oops", 2.0, 4.0, 0.5, true},
      {"certain with enough oops", 8.0, 4.0, 1.0, false},
      {"odds one", 1.0, 1.0, 1.0, false},
      {"odds zero is certain", 1.0, 0.0, 1.0, false},
      {"negative odds are certain", 1.0, -3.0, 1.0, false},
      {"negative zero odds are certain", 1.0, -0.0, 1.0, false},
      {"NaN odds give a NaN quotient, which is certain", 1.0, nan, 1.0, false},
      {"infinite odds never happen", 1.0, inf, 0.0, false},
  };
  for (const Case& c : cases) {
    ModeChance m(ModeChance::kExpected);
    EXPECT_EQ(odds_factor(m, c.odds_mult, c.odds), c.expected) << c.what;
    EXPECT_EQ(m.used(), c.asks) << c.what;
  }
  ModeChance floor(ModeChance::kFloor);
  EXPECT_EQ(odds_factor(floor, 1.0, 2.0), 0.0);
  EXPECT_TRUE(floor.used());
}

}  // namespace
}  // namespace quorvel::score
