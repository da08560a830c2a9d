#include <gtest/gtest.h>

#include "fixture.h"

namespace quorvel::phases_test {
namespace {

using hand::CardView;
using snapshot::Snapshot;

snapshot::Joker with_ed(snapshot::Joker j, const char* ed) {
  j.ed = ed;
  return j;
}

// The main phase over `jokers` on a played pair of 7s, from chips 0 and mult 4.
struct Main {
  double chips, mult, dollars;
};
Main main_on_pair(std::vector<snapshot::Joker> jokers, Snapshot s = {}) {
  s.hand = {card(7, "Hearts"), card(7, "Spades"), card(2, "Clubs")};
  s.jokers = std::move(jokers);
  PhaseRun run(s, {0, 1});
  run.ctx().mult = 4.0;
  jokers::main_phase(run.ctx());
  return {run.ctx().chips, run.ctx().mult, run.ctx().dollars};
}

double mult_on_pair(std::vector<snapshot::Joker> jokers) {
  return main_on_pair(std::move(jokers)).mult;
}

TEST(MainPhase, EditionsAroundTheJokersEffect) {
  const json::Value x2 = testing::object({{"x_mult", 2.0}});
  EXPECT_EQ(mult_on_pair({with_ed(joker("j_joker").ab_value(x2), "e_holo")}), 28.0);
  EXPECT_EQ(mult_on_pair({with_ed(joker("j_joker").ab_value(x2), "e_polychrome")}), 12.0);
  EXPECT_EQ(main_on_pair({with_ed(joker("j_joker"), "e_foil")}).chips, 50.0);

  // The copier's edition acts at its own place; the copied joker's only at its own.
  EXPECT_EQ(mult_on_pair({with_ed(joker("j_blueprint"), "e_holo"),
                          with_ed(joker("j_joker").ab({{"x_mult", 3.0}}), "e_polychrome")}),
            (4.0 + 10.0) * 3.0 * 3.0 * 1.5);

  snapshot::Joker off = with_ed(joker("j_joker").ab({{"x_mult", 3.0}}), "e_holo");
  off.debuff = true;
  EXPECT_EQ(mult_on_pair({off}), 4.0);
  off.debuff = false;
  off.hidden = true;  // keeps its edition, resolves to nothing
  EXPECT_EQ(mult_on_pair({off}), 14.0);
}

TEST(MainPhase, BaseballRewardsEveryUncommonJokerButItself) {
  snapshot::Joker uncommon = joker("j_joker");
  uncommon.rarity = 2;
  uncommon.debuff = true;
  snapshot::Joker ball = joker("j_baseball");
  ball.rarity = 2;
  EXPECT_DOUBLE_EQ(mult_on_pair({uncommon, ball}), 4.0 * 1.5);
  EXPECT_DOUBLE_EQ(mult_on_pair({uncommon, joker("j_blueprint"), ball}), 4.0 * 1.5 * 1.5);
  EXPECT_DOUBLE_EQ(mult_on_pair({joker("j_blueprint"), ball}), 4.0);
}

TEST(MainPhase, LoyaltyModulo) {
  struct Case {
    double created, hands_played;
    bool acts;
  };
  for (const Case& c :
       {Case{0, 5, true}, Case{0, 4, false}, Case{0, 6, false}, Case{0, 11, true},
        Case{0, 17, true}, Case{0, 16, false}, Case{10, 3, true}, Case{10, 4, false}}) {
    Snapshot s;
    s.round.hands_played = c.hands_played;
    // Its x_mult must not take the generic path.
    const json::Value ab =
        testing::object({{"hands_played_at_create", c.created}, {"x_mult", 3.0}});
    EXPECT_EQ(main_on_pair({joker("j_loyalty_card").ab_value(ab)}, s).mult, c.acts ? 16.0 : 4.0)
        << c.created << " " << c.hands_played;
  }
}

TEST(MainPhase, GenericPathsBeforeTheKeyedTable) {
  const json::Value x3 = testing::object({{"x_mult", 3.0}});
  EXPECT_EQ(mult_on_pair({joker("j_gros_michel").ab_value(x3)}), 12.0);
  EXPECT_EQ(mult_on_pair({joker("j_gros_michel").ab({{"x_mult", 3.0}, {"type", "Flush"}})}), 19.0);
  EXPECT_EQ(mult_on_pair({joker("j_gros_michel").ab({{"x_mult", 3.0}, {"type", "Pair"}})}), 12.0);
  EXPECT_EQ(mult_on_pair({joker("j_unknown").ab({{"t_mult", 8.0}, {"type", "Pair"}})}), 12.0);
  EXPECT_EQ(mult_on_pair({joker("j_unknown").ab({{"t_mult", 8.0}, {"type", "Flush"}})}), 4.0);
  EXPECT_EQ(mult_on_pair({joker("j_unknown").ab({{"t_mult", 8.0}})}), 4.0);
  EXPECT_EQ(main_on_pair({joker("j_unknown").ab({{"t_chips", 9.0}, {"type", "High Card"}})}).chips,
            9.0);  // a pair contains a high card
  // "j_seeing_double" skips the generic multiplier and takes its own test.
  EXPECT_EQ(mult_on_pair({joker("j_seeing_double").ab({{"x_mult", 2.0}})}), 4.0);
}

TEST(MainPhase, MisprintInTheThreeCases) {
  Snapshot s;
  s.hand = {card(5, "Hearts")};
  s.jokers = {joker("j_misprint")};
  const score::Scored scored = score::score_play(s, std::vector<std::size_t>{0}, identity(1));
  EXPECT_EQ(scored.floor, 5.0);
  EXPECT_EQ(scored.expected, 5.0 * 12.5);
  EXPECT_EQ(scored.ceiling, 5.0 * 24.0);
  EXPECT_TRUE(scored.has_chance);
}

// Suit collections over scoring cards; every card given scores.
struct SuitCase {
  const char* name;
  std::vector<CardView> cards;
  bool smeared;
  bool seeing_double, flower_pot;
};

CardView cv(hand::Suit suit, hand::Enh enh = hand::Enh::none, bool debuff = false) {
  CardView c;
  c.rank = 9;
  c.suit = suit;
  c.enh = enh;
  c.debuff = debuff;
  return c;
}

TEST(MainPhase, SeeingDoubleAndFlowerPot) {
  using hand::Enh;
  const hand::Suit H = hand::kHearts, D = hand::kDiamonds, S = hand::kSpades, C = hand::kClubs;
  const std::vector<SuitCase> cases = {
      {"heart and wild", {cv(H), cv(S, Enh::wild)}, false, true, false},
      {"club and heart", {cv(C), cv(H)}, false, true, false},
      {"two wilds", {cv(S, Enh::wild), cv(S, Enh::wild)}, false, true, false},
      {"smeared spade", {cv(S)}, true, true, false},
      {"debuffed wild", {cv(H), cv(C, Enh::wild, true)}, false, false, false},
      {"debuffed club", {cv(H), cv(D), cv(S), cv(C, Enh::none, true)}, false, false, true},
      {"debuffed wild club", {cv(H), cv(D), cv(S), cv(C, Enh::wild, true)}, false, false, false},
      {"wilds fill last", {cv(H, Enh::wild), cv(C), cv(S), cv(D)}, false, true, true},
      {"wild fills the missing club", {cv(H), cv(D), cv(S), cv(S, Enh::wild)}, false, true, true},
      {"stone", {cv(C), cv(H, Enh::stone)}, false, false, false},
  };
  for (const SuitCase& c : cases) {
    SCOPED_TRACE(c.name);
    hand::JokerRules rules;
    rules.smeared = c.smeared;
    common::Positions scoring;
    for (std::size_t i = 0; i < c.cards.size(); ++i) scoring.push_back(i);
    EXPECT_EQ(jokers::seeing_double(c.cards, scoring.span(), rules), c.seeing_double);
    EXPECT_EQ(jokers::flower_pot(c.cards, scoring.span(), rules), c.flower_pot);
  }
}

TEST(MainPhase, BlackboardTestsEveryHeldCard) {
  auto blackboard = [](std::vector<snapshot::Card> held, bool smeared) {
    std::vector<snapshot::Card> hand = {card(7, "Hearts"), card(7, "Diamonds")};
    hand.insert(hand.end(), held.begin(), held.end());
    std::vector<snapshot::Joker> js = {joker("j_blackboard")};
    if (smeared) js.push_back(joker("j_smeared"));
    Snapshot s;
    s.hand = hand;
    s.jokers = js;
    PhaseRun run(s, {0, 1}, std::vector<std::size_t>{0});
    run.ctx().mult = 1.0;
    jokers::main_phase(run.ctx());
    return run.ctx().mult;
  };
  EXPECT_EQ(blackboard({}, false), 3.0);
  EXPECT_EQ(blackboard({card(4, "Hearts")}, false), 1.0);
  EXPECT_EQ(blackboard({card(4, "Spades").debuff(), card(5, "Clubs")}, false), 3.0);
  EXPECT_EQ(blackboard({card(4, "Spades").enh("m_stone")}, false), 1.0);
  EXPECT_EQ(blackboard({card(4, ""), card(5, "Clubs")}, true), 3.0);
  EXPECT_EQ(blackboard({card(4, ""), card(5, "Clubs")}, false), 1.0);
}

}  // namespace
}  // namespace quorvel::phases_test
