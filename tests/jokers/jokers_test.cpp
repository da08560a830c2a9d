#include <gtest/gtest.h>

#include <vector>

#include "jokers/jokers.h"
#include "support/build.h"

namespace quorvel::jokers {
namespace {

using testing::joker;

std::vector<JokerView> views(std::vector<snapshot::Joker> js) {
  hand::SuitTable suits;
  std::vector<JokerView> out;
  for (const auto& j : js) out.push_back(view(j, suits));
  return out;
}

TEST(Rules, NonDebuffedKeysAnywhereCopiesNotFollowed) {
  auto r = rules(views({joker("j_splash").debuff()}));
  EXPECT_FALSE(r.splash);
  r = rules(views({joker("j_splash").debuff(), joker("j_joker"), joker("j_splash")}));
  EXPECT_TRUE(r.splash);
  r = rules(views({joker("j_blueprint"), joker("j_four_fingers").debuff()}));
  EXPECT_FALSE(r.four_fingers);
  r = rules(views({joker("j_shortcut").hidden(), joker("j_smeared"), joker("j_pareidolia")}));
  EXPECT_TRUE(r.shortcut);
  EXPECT_TRUE(r.smeared);
  EXPECT_TRUE(r.pareidolia);
  EXPECT_FALSE(r.four_fingers);
  EXPECT_FALSE(r.splash);
  r = rules(views({}));
  EXPECT_FALSE(r.four_fingers || r.shortcut || r.smeared || r.pareidolia || r.splash);
}

TEST(FaceCards, Table) {
  hand::JokerRules none;
  hand::JokerRules pareidolia;
  pareidolia.pareidolia = true;
  auto card = [](int rank, hand::Enh enh = hand::Enh::none, bool debuff = false,
                 bool hidden = false) {
    hand::CardView c = testing::cv(rank, hand::kSpades, enh);
    c.debuff = debuff;
    c.hidden = hidden;
    return c;
  };
  struct Case {
    const char* what;
    hand::CardView card;
    bool plain, with_pareidolia;
  };
  const Case cases[] = {
      {"jack", card(11), true, true},
      {"king", card(13), true, true},
      {"ace", card(14), false, true},
      {"two", card(2), false, true},
      {"stone jack", card(11, hand::Enh::stone), false, true},
      {"hidden queen", card(12, hand::Enh::none, false, true), false, true},
      {"debuffed king", card(13, hand::Enh::none, true), false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_face(c.card, none), c.plain) << c.what;
    EXPECT_EQ(is_face(c.card, pareidolia), c.with_pareidolia) << c.what;
  }
}

TEST(Views, AbilityValuesAndInitialState) {
  using json::Value;
  hand::SuitTable suits;
  snapshot::Joker j = joker("j_lusty_joker")
                          .ab({{"mult", Value(std::int64_t{3})},
                               {"x_mult", Value(2.0)},
                               {"t_chips", Value("naneinf")},
                               {"type", Value("Flush")},
                               {"to_do_poker_hand", Value("Pair")},
                               {"extra", testing::object({{"chips", Value(std::uint64_t{40})},
                                                          {"suit", Value("Hearts")},
                                                          {"Xmult", Value(1.5)},
                                                          {"odds", Value(nullptr)}})}});
  const JokerView v = view(j, suits);
  EXPECT_EQ(v.key, Key::j_lusty_joker);
  EXPECT_FALSE(v.ab.t_chips.has_value());  // a string is not a number
  EXPECT_FALSE(v.ab.extra.has_value());    // "extra" is an object
  EXPECT_EQ(v.ab.chips, 40.0);
  EXPECT_EQ(v.ab.xmult, 1.5);
  EXPECT_FALSE(v.ab.odds.has_value());
  EXPECT_EQ(v.ab.suit, hand::kHearts);
  EXPECT_TRUE(v.ab.has_type);
  EXPECT_EQ(v.ab.type_mask, 1u << static_cast<unsigned>(hand::HandType::flush));
  EXPECT_EQ(v.ab.to_do_poker_hand, hand::HandType::pair);
  EXPECT_EQ(v.initial.mult, 3.0);
  EXPECT_EQ(v.initial.x_mult, 2.0);
  EXPECT_EQ(v.initial.chips, 40.0);

  const JokerView bare = view(joker("j_joker"), suits);
  EXPECT_EQ(bare.initial.mult, 0.0);
  EXPECT_EQ(bare.initial.x_mult, 1.0);
  EXPECT_EQ(bare.initial.chips, 0.0);
  EXPECT_FALSE(bare.ab.has_type);
  EXPECT_EQ(bare.ab.suit, hand::kNoSuit);

  // "extra" as a number hides every extra."k"; an unknown type names no hand.
  const JokerView num = view(
      joker("j_joker").ab({{"extra", Value(std::int64_t{-2})}, {"type", Value("Pairs")}}), suits);
  EXPECT_EQ(num.ab.extra, -2.0);
  EXPECT_FALSE(num.ab.chips.has_value());
  EXPECT_TRUE(num.ab.has_type);
  EXPECT_EQ(num.ab.type_mask, 0u);
  const JokerView empty_type = view(joker("j_joker").ab({{"type", Value("")}}), suits);
  EXPECT_FALSE(empty_type.ab.has_type);
  const JokerView not_object = view(joker("j_joker").ab_value(Value(5.0)), suits);
  EXPECT_FALSE(not_object.ab.extra.has_value());
  EXPECT_EQ(not_object.initial.mult, 0.0);

  const auto states = initial_state(std::vector<JokerView>{v, bare});
  ASSERT_EQ(states.size(), 2u);
  EXPECT_EQ(states[0].x_mult, 2.0);
  EXPECT_EQ(states[1].x_mult, 1.0);
}

}  // namespace
}  // namespace quorvel::jokers
