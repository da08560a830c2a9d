#include <gtest/gtest.h>

#include <chrono>

#include "score/score.h"
#include "support/build.h"

namespace quorvel::score {
namespace {

using testing::card;
using testing::joker;
using Tags = std::vector<std::string>;

TEST(Tags, OrderAndUniqueness) {
  snapshot::Snapshot s;
  s.hand = {card(2, "Spades").hidden(), card(3, "Spades").enh("m_shiny").ed("e_gold"),
            card(4, "Spades").hidden().seal("Teal"), card(5, "Spades").enh("m_shiny"),
            card(6, "Spades").enh("m_lucky").ed("e_negative").seal("Purple")};
  s.jokers = {joker("j_unknown"), joker("j_joker"), joker("j_hidden_key").hidden(),
              joker("j_unknown"), joker("x").no_key()};
  s.blind.key = "bl_hook";
  s.lobby = true;
  EXPECT_EQ(
      approximate_tags(s),
      (Tags{"hidden_card", "unknown_enhancement:m_shiny", "unknown_edition:e_gold",
            "unknown_seal:Teal", "unknown_joker:j_unknown", "hidden_joker", "hook", "lobby"}));
}

TEST(Tags, NothingToApproximate) {
  snapshot::Snapshot s;
  s.hand = {card(2, "Spades").enh("m_wild").ed("e_foil").seal("Red")};
  s.jokers = {joker("j_gluttenous_joker"), joker("j_selzer")};
  s.blind.key = "bl_hook";
  s.blind.disabled = true;
  EXPECT_TRUE(approximate_tags(s).empty());
  s.blind = {};
  s.blind.key = "bl_hooks";
  EXPECT_TRUE(approximate_tags(s).empty());
}

TEST(Tags, EmptyKeysAreUnknownToo) {
  snapshot::Snapshot s;
  s.hand = {card(2, "Spades").enh("")};
  s.jokers = {joker("")};
  EXPECT_EQ(approximate_tags(s), (Tags{"unknown_enhancement:", "unknown_joker:"}));
}

// Tens of thousands of distinct unknown keys: every one named once, in the
// order met, without comparing each with all before it. The time limit is a
// guard against a hang, not a speed measurement.
TEST(Tags, ThousandsOfDistinctUnknownKeys) {
  constexpr int kCards = 20000;
  snapshot::Snapshot s;
  Tags expected;
  for (int i = 0; i < kCards; ++i) {
    const std::string n = std::to_string(i);
    s.hand.push_back(card(2, "Spades").enh("m_" + n).seal("S" + n));
    s.jokers.push_back(joker("j_" + n));
    expected.push_back("unknown_enhancement:m_" + n);
    expected.push_back("unknown_seal:S" + n);
  }
  s.hand.push_back(card(3, "Spades").enh("m_0"));
  for (int i = 0; i < kCards; ++i) expected.push_back("unknown_joker:j_" + std::to_string(i));
  const auto start = std::chrono::steady_clock::now();
  const Tags tags = approximate_tags(s);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(tags, expected);
}

// A tag is the same only when every byte is: a prefix or a NUL makes another.
TEST(Tags, RepeatsAreTheSameBytes) {
  snapshot::Snapshot s;
  s.jokers = {joker("a"), joker("b"), joker("a"), joker("ab"), joker(std::string("b\0", 2))};
  EXPECT_EQ(approximate_tags(s), (Tags{"unknown_joker:a", "unknown_joker:b", "unknown_joker:ab",
                                       "unknown_joker:" + std::string("b\0", 2)}));
}

}  // namespace
}  // namespace quorvel::score
