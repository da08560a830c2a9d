#include <gtest/gtest.h>

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

TEST(PushUnique, AppendsOnlyNewTexts) {
  Tags t;
  push_unique(t, "a");
  push_unique(t, "b");
  push_unique(t, "a");
  push_unique(t, "ab");
  push_unique(t, std::string("b\0", 2));
  EXPECT_EQ(t, (Tags{"a", "b", "ab", std::string("b\0", 2)}));
}

}  // namespace
}  // namespace quorvel::score
