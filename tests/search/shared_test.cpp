// Joker orders that share one scoring run: every order of a class must score
// exactly as the class's first order, for every play; the grouping must
// still share where it can; and the cross-check must catch a shared result
// that differs.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fixture.h"

namespace quorvel::search {
namespace {

using testing::card;
using testing::joker;

bool same_bits(score::Outcome a, score::Outcome b) {
  return std::bit_cast<std::uint64_t>(a.score) == std::bit_cast<std::uint64_t>(b.score) &&
         std::bit_cast<std::uint64_t>(a.money) == std::bit_cast<std::uint64_t>(b.money);
}

struct Rng {
  std::uint64_t s;
  std::uint64_t next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
};

// Jokers of every phase, with the traits that make a joker act in the main
// phase without a row of its own there.
snapshot::Joker random_joker(Rng& rng, std::int64_t id) {
  static const char* kKeys[] = {"j_joker",
                                "j_cavendish",
                                "j_photograph",
                                "j_smiley",
                                "j_bloodstone",
                                "j_hack",
                                "j_obelisk",
                                "j_lucky_cat",
                                "j_loyalty_card",
                                "j_wee",
                                "j_hiker",
                                "j_midas_mask",
                                "j_vampire",
                                "j_mime",
                                "j_baron",
                                "j_raised_fist",
                                "j_misprint",
                                "j_droll",
                                "j_abstract",
                                "j_ride_the_bus",
                                "j_sock_and_buskin",
                                "j_space",
                                "j_matador",
                                "j_greedy_joker",
                                "j_steel_joker",
                                "j_green_joker",
                                "j_egg",
                                "j_reserved_parking",
                                "j_dusk",
                                "j_ticket"};
  json::Object ab;
  switch (rng.below(5)) {
    case 0:
      ab.emplace("x_mult", 2.0);
      break;
    case 1:
      ab.emplace("mult", 3.0);
      break;
    case 2:
      ab.emplace("t_mult", 6.0);
      ab.emplace("type", std::string("Pair"));
      break;
    default:
      break;
  }
  snapshot::Joker j = joker(id, kKeys[rng.below(std::size(kKeys))], std::move(ab));
  static const char* kEditions[] = {"e_foil", "e_holo", "e_polychrome", "e_negative"};
  if (rng.below(4) == 0) j.ed = kEditions[rng.below(4)];
  j.debuff = rng.below(10) == 0;
  j.hidden = rng.below(12) == 0;
  j.rarity = static_cast<std::int32_t>(1 + rng.below(3));
  return j;
}

snapshot::Snapshot random_snapshot(Rng& rng, std::size_t jokers) {
  snapshot::Snapshot snap = testing::with_levels();
  testing::level(snap, "Flush", 35, 4);
  testing::level(snap, "Straight", 30, 4);
  snap.round.hands_left = static_cast<double>(1 + rng.below(2));
  snap.round.dollars = 8;
  static const char* kSuits[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
  static const char* kEnh[] = {"m_lucky", "m_steel", "m_glass", "m_mult", "m_stone", "m_gold"};
  for (std::int64_t i = 0; i < 8; ++i) {
    snapshot::Card c =
        card(i + 1, static_cast<std::int32_t>(2 + rng.below(13)), kSuits[rng.below(4)]);
    if (rng.below(3) == 0) c.enh = kEnh[rng.below(std::size(kEnh))];
    if (rng.below(6) == 0) c.seal = "Red";
    snap.hand.push_back(std::move(c));
  }
  for (std::size_t j = 0; j < jokers; ++j) snap.jokers.push_back(random_joker(rng, 100 + j));
  return snap;
}

TEST(SharedRuns, EveryOrderOfAClassScoresAsItsFirstOrder) {
  Rng rng{0x9E3779B97F4A7C15ull};
  std::size_t grouped = 0;
  for (int round = 0; round < 300; ++round) {
    const snapshot::Snapshot snap = random_snapshot(rng, 4);
    const score::Prepared prep(snap);
    const std::vector<Positions> orders = permutations(snap.jokers.size());
    std::vector<score::Lineup> lineups;
    for (const Positions& o : orders) lineups.emplace_back(prep, o);
    const OrderClasses classes = order_classes(prep, lineups);
    ASSERT_EQ(classes.of.size(), orders.size());
    if (classes.count < orders.size()) ++grouped;
    const std::vector<std::vector<std::size_t>> plays = {
        {0, 1, 2, 3, 4}, {0, 1}, {2}, {3, 4, 5}, {1, 3, 5, 7}};
    for (const auto& cards : plays) {
      const score::Play play(prep, cards);
      std::vector<std::optional<score::Outcome>> first(classes.count);
      for (std::size_t o = 0; o < orders.size(); ++o) {
        const score::Outcome got = score::score_expected(prep, play, lineups[o]);
        auto& rep = first[classes.of[o]];
        if (!rep) {
          rep = got;
          continue;
        }
        EXPECT_TRUE(same_bits(got, *rep)) << "round " << round << " order " << o;
      }
    }
  }
  // Most snapshots hold jokers that act in one phase only: their orders group.
  EXPECT_GT(grouped, 100u);
}

TEST(SharedRuns, JokersThatReachBeyondTheirPhaseKeepEveryOrderApart) {
  for (const char* key : {"j_blueprint", "j_brainstorm", "j_baseball", "j_dna"}) {
    snapshot::Snapshot snap = testing::free_cards(5);
    snap.jokers = {joker(1, "j_egg"), joker(2, "j_smiley"), joker(3, key)};
    snap.jokers[2].debuff = true;  // present is enough, acting or not
    const score::Prepared prep(snap);
    const std::vector<Positions> orders = permutations(3);
    std::vector<score::Lineup> lineups;
    for (const Positions& o : orders) lineups.emplace_back(prep, o);
    const OrderClasses classes = order_classes(prep, lineups);
    EXPECT_EQ(classes.count, orders.size()) << key;
    EXPECT_EQ(std::set<std::uint32_t>(classes.of.begin(), classes.of.end()).size(), orders.size())
        << key;
  }
  // Without them, jokers that act in no phase put every order in one class.
  snapshot::Snapshot snap = testing::free_cards(5);
  snap.jokers = {joker(1, "j_egg"), joker(2, "j_smiley"), joker(3, "j_credit_card")};
  const score::Prepared prep(snap);
  std::vector<score::Lineup> lineups;
  const std::vector<Positions> orders = permutations(3);
  for (const Positions& o : orders) lineups.emplace_back(prep, o);
  EXPECT_EQ(order_classes(prep, lineups).count, 1u);
}

TEST(SharedRunsDeathTest, TheCrossCheckEndsTheProcessOnAnyDifferentBit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  snapshot::Snapshot snap = testing::free_cards(5);
  snap.jokers = {testing::plus_mult(1, 4.0), testing::times_three(2)};
  const score::Prepared prep(snap);
  const std::vector<std::size_t> cards = {0, 1};
  const score::Play play(prep, cards);
  const Positions order = {1, 0};
  const score::Lineup lineup(prep, order);
  const score::Outcome right = score::score_expected(prep, play, lineup);
  verify_shared(prep, play, lineup, right);  // equal: returns

  score::Outcome off = right;
  off.score = std::nextafter(right.score, 0.0);
  EXPECT_DEATH(verify_shared(prep, play, lineup, off), "shared run differs");
  score::Outcome negative_zero = right;
  negative_zero.money = right.money == 0.0 ? -right.money : 0.0;
  EXPECT_DEATH(verify_shared(prep, play, lineup, negative_zero), "shared run differs");
}

}  // namespace
}  // namespace quorvel::search
