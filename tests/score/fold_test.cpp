// A play works its per-card and repetition rules out once per scoring card;
// runs that use them must equal, bit for bit, runs that apply every row in
// full. Every joker with such a row, on cards of every kind.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "fixture.h"

namespace quorvel::score {
namespace {

using json::Value;
using testing::card;
using testing::joker;

std::uint64_t bits(double x) {
  return std::bit_cast<std::uint64_t>(x);
}

// Every joker with a per-card or a repetition row, and a few that change the
// cards or joker state before the cards score.
const char* const kKeys[] = {
    "j_wee",          "j_idol",          "j_hiker",          "j_smiley",           "j_ticket",
    "j_scholar",      "j_ancient",       "j_business",       "j_odd_todd",         "j_lucky_cat",
    "j_fibonacci",    "j_rough_gem",     "j_arrowhead",      "j_triboulet",        "j_photograph",
    "j_scary_face",   "j_onyx_agate",    "j_bloodstone",     "j_even_steven",      "j_lusty_joker",
    "j_greedy_joker", "j_walkie_talkie", "j_wrathful_joker", "j_gluttenous_joker", "j_dusk",
    "j_hack",         "j_selzer",        "j_hanging_chad",   "j_sock_and_buskin",  "j_midas_mask",
    "j_vampire",      "j_pareidolia",    "j_smeared",        "j_blueprint",        "j_brainstorm"};

TEST(CardFolds, RunsWithWorkedOutRowsEqualRunsWithEveryRowInFull) {
  std::uint64_t seed = 0x243F6A8885A308D3ull;
  auto next = [&seed](std::size_t n) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::size_t>((seed >> 33) % n);
  };
  const char* suits[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
  const char* enh[] = {"m_gold", "m_stone", "m_lucky", "m_wild", "m_glass", "m_bonus"};
  std::size_t folded = 0;
  for (int round = 0; round < 400; ++round) {
    snapshot::Snapshot s = test::base_snapshot();
    s.round.hands_left = static_cast<double>(1 + next(2));
    s.round.idol.rank = static_cast<std::int32_t>(2 + next(13));
    s.round.idol.suit = suits[next(4)];
    s.round.ancient_suit = suits[next(4)];
    for (int c = 0; c < 7; ++c) {
      testing::CardB b = card(static_cast<std::int32_t>(2 + next(13)), suits[next(4)]);
      if (next(3) == 0) b.enh(enh[next(6)]);
      if (next(8) == 0) b.seal("Red");
      if (next(12) == 0) b.debuff();
      if (next(12) == 0) b.hidden();
      s.hand.push_back(b);
    }
    for (int j = 0; j < 5; ++j) {
      testing::JokerB b = joker(kKeys[next(std::size(kKeys))]);
      if (next(3) == 0) b.ab({{"extra", Value(static_cast<double>(next(4)))}});
      if (next(4) == 0) b.ab({{"extra", testing::object({{"suit", Value(suits[next(4)])}})}});
      s.jokers.push_back(b);
    }
    const Prepared prep(s);
    for (const std::vector<std::size_t>& cards :
         {std::vector<std::size_t>{0, 1, 2, 3, 4}, {0}, {1, 2}, {3, 4, 5, 6}}) {
      const Play play(prep, cards);
      Play full(prep, cards);
      full.folds.clear();  // the run then applies every row in full
      if (!play.folds.empty()) ++folded;
      for (std::uint8_t mode : {ModeChance::kFloor, ModeChance::kExpected, ModeChance::kCeiling}) {
        ModeChance a(mode), b(mode);
        const Outcome with = run(prep, play, *prep.identity, a, 1);
        const Outcome without = run(prep, full, *prep.identity, b, 1);
        EXPECT_EQ(bits(with.score), bits(without.score)) << "round " << round;
        EXPECT_EQ(bits(with.money), bits(without.money)) << "round " << round;
        EXPECT_EQ(a.used(), b.used()) << "round " << round;
      }
    }
  }
  EXPECT_GT(folded, 1000u);
}

}  // namespace
}  // namespace quorvel::score
