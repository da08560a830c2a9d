#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "blinds/blinds.h"
#include "support/build.h"

namespace quorvel::blinds {
namespace {

snapshot::Snapshot with_blind(std::string key, bool disabled = false) {
  snapshot::Snapshot s;
  s.blind.key = std::move(key);
  s.blind.disabled = disabled;
  return s;
}

snapshot::Level played_round(double n) {
  snapshot::Level l;
  l.played_round = n;
  return l;
}

TEST(Psychic, FewerThanFiveCardsAreVoided) {
  const auto s = with_blind("bl_psychic");
  EXPECT_TRUE(debuffs_hand(s, "Pair", 0));
  EXPECT_TRUE(debuffs_hand(s, "Pair", 4));
  EXPECT_FALSE(debuffs_hand(s, "Pair", 5));
  EXPECT_FALSE(debuffs_hand(s, "Pair", 6));
  EXPECT_FALSE(debuffs_hand(with_blind("bl_psychic", true), "Pair", 1));
}

TEST(Eye, TheSameHandTwiceInARound) {
  auto s = with_blind("bl_eye");
  EXPECT_FALSE(debuffs_hand(s, "Pair", 2));  // no entry
  s.levels["Pair"] = played_round(1);
  EXPECT_TRUE(debuffs_hand(s, "Pair", 2));
  s.levels["Pair"] = played_round(0);
  s.levels["Flush"] = played_round(3);
  EXPECT_FALSE(debuffs_hand(s, "Pair", 2));
  EXPECT_TRUE(debuffs_hand(s, "Flush", 5));
  s.levels["Pair"] = played_round(std::numeric_limits<double>::infinity());
  EXPECT_TRUE(debuffs_hand(s, "Pair", 2));
  s.levels["Pair"] = played_round(std::nan(""));
  EXPECT_FALSE(debuffs_hand(s, "Pair", 2));
  s.levels["Pair"] = played_round(-1);
  EXPECT_FALSE(debuffs_hand(s, "Pair", 2));
  s.blind.disabled = true;
  EXPECT_FALSE(debuffs_hand(s, "Flush", 5));
}

TEST(Mouth, OnlyTheHandAlreadyPlayed) {
  auto s = with_blind("bl_mouth");
  EXPECT_FALSE(debuffs_hand(s, "Pair", 2));  // empty levels
  s.levels["Pair"] = played_round(2);
  s.levels["Flush"] = played_round(0);
  EXPECT_FALSE(debuffs_hand(s, "Pair", 2));
  EXPECT_TRUE(debuffs_hand(s, "Flush", 5));
  s.levels["Not a hand"] = played_round(1);  // any entry counts
  EXPECT_TRUE(debuffs_hand(s, "Pair", 2));
}

TEST(OtherKeys, NeverVoid) {
  for (const char* key : {"", "bl_psychi", "bl_psychicx", "BL_PSYCHIC", "bl_eyes", "bl_mout",
                          "bl_flint", "bl_arm", "bl_ox", "bl_tooth", "bl_hook"}) {
    auto s = with_blind(key);
    s.levels["Pair"] = played_round(5);
    s.levels["Flush"] = played_round(5);
    EXPECT_FALSE(debuffs_hand(s, "Pair", 1)) << key;
  }
}

}  // namespace
}  // namespace quorvel::blinds
