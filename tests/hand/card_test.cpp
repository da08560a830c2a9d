#include <gtest/gtest.h>

#include <set>
#include <string>

#include "hand/card.h"
#include "support/build.h"

namespace quorvel::hand {
namespace {

using testing::cv;

TEST(SuitTable, FixedCodesAndInterningByBytes) {
  SuitTable t;
  EXPECT_EQ(t.intern("Spades"), kSpades);
  EXPECT_EQ(t.intern("Hearts"), kHearts);
  EXPECT_EQ(t.intern("Clubs"), kClubs);
  EXPECT_EQ(t.intern("Diamonds"), kDiamonds);
  EXPECT_EQ(t.intern(""), kNoSuit);
  const Suit stars = t.intern("Stars");
  const Suit lower = t.intern("hearts");
  EXPECT_GT(stars, kNoSuit);
  EXPECT_NE(stars, lower);  // case matters
  EXPECT_EQ(t.intern("Stars"), stars);
  EXPECT_FALSE(is_red(lower));
  EXPECT_TRUE(is_red(kHearts));
  EXPECT_TRUE(is_red(kDiamonds));
}

// Past the first 65531 unlisted suits a 16-bit code wrapped round onto the
// fixed codes, so a card of some made-up suit counted as a Spade.
TEST(SuitTable, EveryDistinctStringKeepsItsOwnCode) {
  SuitTable t;
  constexpr int kCount = 70000;
  std::set<Suit> seen;
  for (int i = 0; i < kCount; ++i) {
    const Suit s = t.intern("suit" + std::to_string(i));
    ASSERT_GT(s, kNoSuit) << i;
    ASSERT_TRUE(seen.insert(s).second) << i;
    ASSERT_FALSE(is_red(s)) << i;
  }
  EXPECT_EQ(t.intern("suit0"), t.intern("suit0"));
  EXPECT_EQ(t.intern("suit69999"), *seen.rbegin());
  EXPECT_EQ(t.intern("Spades"), kSpades);
}

TEST(RuleItemCodes, KnownKeysExactlyOthersAreOther) {
  EXPECT_EQ(enh_of(std::nullopt), Enh::none);
  EXPECT_EQ(enh_of("m_lucky"), Enh::lucky);
  EXPECT_EQ(enh_of("m_stone"), Enh::stone);
  EXPECT_EQ(enh_of("M_stone"), Enh::other);
  EXPECT_EQ(enh_of("m_ston"), Enh::other);
  EXPECT_EQ(edition_of("e_negative"), Edition::negative);
  EXPECT_EQ(edition_of("e_foil "), Edition::other);
  EXPECT_EQ(seal_of("Red"), Seal::red);
  EXPECT_EQ(seal_of("red"), Seal::other);
  EXPECT_EQ(seal_of(std::nullopt), Seal::none);
}

TEST(CardView, CopiesEveryScoringValue) {
  SuitTable t;
  snapshot::Card c = testing::card(14, "Hearts")
                         .id(-7)
                         .enh("m_glass")
                         .ed("e_holo")
                         .seal("Gold")
                         .debuff()
                         .hidden()
                         .bonus(3)
                         .mult(4)
                         .x_mult(1.5);
  CardView v = view(c, t);
  EXPECT_EQ(v.id, -7);
  EXPECT_EQ(v.rank, 14);
  EXPECT_EQ(v.suit, kHearts);
  EXPECT_EQ(v.enh, Enh::glass);
  EXPECT_EQ(v.ed, Edition::holo);
  EXPECT_EQ(v.seal, Seal::gold);
  EXPECT_TRUE(v.debuff);
  EXPECT_TRUE(v.hidden);
  EXPECT_EQ(v.bonus, 3.0);
  EXPECT_EQ(v.mult, 4.0);
  EXPECT_EQ(v.x_mult, 1.5);
}

struct SuitCase {
  const char* what;
  CardView card;
  Suit suit;
  bool smeared;
  bool flush;   // flush_matches
  bool strict;  // is_suit_bypass, allow_debuffed false
  bool allow;   // is_suit_bypass, allow_debuffed true
};

CardView debuffed(CardView c) {
  c.debuff = true;
  return c;
}
CardView hidden(CardView c) {
  c.hidden = true;
  return c;
}

TEST(SuitTests, Table) {
  const SuitCase cases[] = {
      {"plain match", cv(5, kClubs), kClubs, false, true, true, true},
      {"plain mismatch", cv(5, kClubs), kSpades, false, false, false, false},
      {"debuffed keeps its suit for flushes", debuffed(cv(5, kClubs)), kClubs, false, true, false,
       true},
      {"wild matches all", cv(5, kClubs, Enh::wild), kHearts, false, true, true, true},
      {"wild under smeared", cv(5, kClubs, Enh::wild), kDiamonds, true, true, true, true},
      {"debuffed wild, own suit", debuffed(cv(5, kClubs, Enh::wild)), kClubs, false, true, false,
       true},
      {"debuffed wild, other suit", debuffed(cv(5, kClubs, Enh::wild)), kHearts, false, false,
       false, true},
      {"stone never", cv(5, kClubs, Enh::stone), kClubs, false, false, false, false},
      {"stone never, smeared", cv(5, kClubs, Enh::stone), kSpades, true, false, false, false},
      {"smeared red", cv(5, kDiamonds), kHearts, true, true, true, true},
      {"smeared red vs black", cv(5, kDiamonds), kSpades, true, false, false, false},
      {"smeared empty suit is black", cv(5, kNoSuit), kClubs, true, true, true, true},
      {"smeared empty suit not red", cv(5, kNoSuit), kHearts, true, false, false, false},
      {"empty suit without smeared", cv(5, kNoSuit), kSpades, false, false, false, false},
      {"hidden card by its suit", hidden(cv(5, kHearts)), kHearts, false, true, true, true},
  };
  for (const SuitCase& c : cases) {
    JokerRules r;
    r.smeared = c.smeared;
    EXPECT_EQ(flush_matches(c.card, c.suit, r), c.flush) << c.what;
    EXPECT_EQ(is_suit_bypass(c.card, c.suit, false, r), c.strict) << c.what;
    EXPECT_EQ(is_suit_bypass(c.card, c.suit, true, r), c.allow) << c.what;
  }
}

}  // namespace
}  // namespace quorvel::hand
