#include <gtest/gtest.h>

#include <set>
#include <string>

#include "jokers/keys.h"

namespace quorvel::jokers {
namespace {

TEST(Keys, OneHundredFiftyDistinctKeysEachToItsOwnEnumerator) {
  std::set<std::string_view> seen(KNOWN_JOKERS.begin(), KNOWN_JOKERS.end());
  EXPECT_EQ(seen.size(), 150u);
  for (std::size_t i = 0; i < KNOWN_JOKERS.size(); ++i) {
    EXPECT_EQ(key_of(std::string(KNOWN_JOKERS[i])), static_cast<Key>(i)) << KNOWN_JOKERS[i];
  }
  EXPECT_EQ(static_cast<std::size_t>(Key::none), 150u);
  // Spot checks that the enumeration stays in step with the table.
  EXPECT_EQ(key_of(std::string("j_joker")), Key::j_joker);
  EXPECT_EQ(key_of(std::string("j_space")), Key::j_space);
  EXPECT_EQ(key_of(std::string("j_blueprint")), Key::j_blueprint);
  EXPECT_EQ(key_of(std::string("j_perkeo")), Key::j_perkeo);
}

TEST(Keys, AbsentAndUnknown) {
  EXPECT_EQ(key_of(std::nullopt), Key::none);
  EXPECT_EQ(key_of(std::string("")), Key::other);
  EXPECT_EQ(key_of(std::string("j_gluttonous_joker")), Key::other);
  EXPECT_EQ(key_of(std::string("j_joker ")), Key::other);
  EXPECT_EQ(key_of(std::string("J_JOKER")), Key::other);
  EXPECT_EQ(key_of(std::string("j_gluttenous_joker")), Key::j_gluttenous_joker);
  EXPECT_EQ(key_of(std::string("j_selzer")), Key::j_selzer);
}

}  // namespace
}  // namespace quorvel::jokers
