// Joker orders that share one scoring run: every order of a class must score
// exactly as the class's first order, for every play, over generated
// snapshots and over a witness of each way a joker acts at its place; the
// grouping must still share where it can; and the cross-check must catch a
// shared result that differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "fixture.h"
#include "support/corpus.h"

namespace quorvel::search {
namespace {

using testing::joker;

bool same_bits(score::Outcome a, score::Outcome b) {
  return std::bit_cast<std::uint64_t>(a.score) == std::bit_cast<std::uint64_t>(b.score) &&
         std::bit_cast<std::uint64_t>(a.money) == std::bit_cast<std::uint64_t>(b.money);
}

// Snapshots drawn as the signature corpus draws them, with two to seven
// jokers: keys from the engine's own key table, and every field a joker row
// reads varied.
constexpr std::size_t kSnapshots = 10000;
constexpr std::size_t kCards = 8;

// Ability numbers for every other snapshot: amounts that are not exact in
// binary, so that where an addition happens shows in the last bit.
constexpr std::array<std::string_view, 16> kInexact = {"0.1", "0.3", "1.1", "1.7", "2.2", "3.3",
                                                       "4.6", "7.7", "0",   "1",   "2",   "3",
                                                       "5",   "1.5", "-1",  "13.1"};

// The snapshot's own order and every order that moves one joker elsewhere:
// each pair of jokers is seen both ways while the rest keep their order,
// which is where a joker wrongly left out of the run key shows.
std::vector<Positions> one_moves(std::size_t n) {
  std::vector<Positions> orders = {PermutationWalk(n).order()};
  for (std::size_t from = 0; from < n; ++from) {
    for (std::size_t to = 0; to < n; ++to) {
      if (to == from || to + 1 == from) continue;  // the same as moving `to` one up
      Positions order = orders[0];
      const std::size_t moved = order[from];
      for (std::size_t k = from; k < to; ++k) order[k] = order[k + 1];
      for (std::size_t k = from; k > to; --k) order[k] = order[k - 1];
      order[to] = moved;
      orders.push_back(std::move(order));
    }
  }
  return orders;
}

// A few plays of distinct hand positions.
std::vector<Positions> random_plays(corpus::Rng& rng, std::size_t cards) {
  std::vector<Positions> plays;
  for (int p = 0; p < 4; ++p) {
    std::vector<std::size_t> pool(cards);
    for (std::size_t i = 0; i < cards; ++i) pool[i] = i;
    Positions play;
    for (std::size_t k = 1 + rng.below(5); k > 0 && !pool.empty(); --k) {
      const std::size_t at = rng.below(pool.size());
      play.push_back(pool[at]);
      pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(at));
    }
    plays.push_back(std::move(play));
  }
  return plays;
}

// The grouping of `orders`, checked on `play`: whether some order scores
// apart from its class's first order. `compared` counts the orders checked
// against a first one, `results` the different results of all orders.
struct Checked {
  bool differs = false;
  std::size_t compared = 0;
  std::size_t results = 0;
};
Checked check_play(const score::Prepared& prep, std::span<const score::Lineup> lineups,
                   const OrderClasses& classes, std::span<const std::size_t> cards) {
  Checked out;
  const score::Play play(prep, cards);
  // The search never shares a voided play: its money sums the list in its
  // own order.
  if (play.voided) return out;
  std::vector<std::optional<score::Outcome>> first(classes.count);
  std::vector<score::Outcome> seen;
  for (std::size_t o = 0; o < lineups.size(); ++o) {
    const score::Outcome got = score::score_expected(prep, play, lineups[o]);
    if (std::none_of(seen.begin(), seen.end(), [&](score::Outcome r) { return same_bits(r, got); }))
      seen.push_back(got);
    auto& rep = first[classes.of[o]];
    if (!rep) {
      rep = got;
      continue;
    }
    ++out.compared;
    out.differs = out.differs || !same_bits(got, *rep);
  }
  out.results = seen.size();
  return out;
}

TEST(SharedRuns, EveryOrderOfAClassScoresAsItsFirstOrder) {
  std::size_t grouped = 0, compared = 0;
  std::vector<std::uint64_t> differing;  // seeds with an order that scores apart from its class
  for (std::uint64_t seed = 1; seed <= kSnapshots; ++seed) {
    corpus::Shape shape{2 + seed % 6, kCards, {}};
    if (seed % 2 == 0) shape.ability_numbers = kInexact;
    const snapshot::ParseResult parsed = snapshot::parse(corpus::make_case(seed, shape).snapshot);
    if (std::holds_alternative<std::string>(parsed)) continue;
    const snapshot::Snapshot& snap = std::get<snapshot::Snapshot>(parsed);
    const score::Prepared prep(snap);
    std::vector<score::Lineup> lineups;
    for (const Positions& o : one_moves(snap.jokers.size())) lineups.emplace_back(prep, o);
    const OrderClasses classes = order_classes(prep, lineups);
    ASSERT_EQ(classes.of.size(), lineups.size());
    if (classes.count == lineups.size()) continue;  // nothing shared
    ++grouped;
    corpus::Rng rng(seed ^ 0x5AEDull);
    bool differs = false;
    for (const Positions& cards : random_plays(rng, snap.hand.size())) {
      const Checked c = check_play(prep, lineups, classes, cards);
      compared += c.compared;
      differs = differs || c.differs;
    }
    if (differs) differing.push_back(seed);
  }
  EXPECT_TRUE(differing.empty()) << differing.size() << " snapshots, the first of seed "
                                 << differing.front();
  // Most snapshots hold jokers that act in one phase only: their orders group.
  EXPECT_GT(grouped, kSnapshots / 2);
  EXPECT_GT(compared, 10 * kSnapshots);
}

// Each way a joker can act at its place in the main phase, or reach beyond
// its own place, beside jokers whose effects do not commute with it: the
// orders score apart, so the grouping must keep them apart.
TEST(SharedRuns, EveryWayAJokerActsAtItsPlaceKeepsItsOrdersApart) {
  const auto with = [](std::string key, json::Object ab = {}) {
    return joker(1, std::move(key), std::move(ab));
  };
  const auto ab = [](std::initializer_list<std::pair<const char*, json::Value>> members) {
    json::Object o;
    for (const auto& [k, v] : members) o.emplace(k, v);
    return o;
  };
  const snapshot::Joker plus3 = testing::plus_mult(2, 3.0);
  const snapshot::Joker times3 = testing::times_three(2);
  snapshot::Joker holo = with("j_credit_card");
  holo.ed = "e_holo";
  snapshot::Joker foil = with("j_credit_card");
  foil.ed = "e_foil";
  snapshot::Joker uncommon = with("j_credit_card");
  uncommon.rarity = 2;
  // A hidden joker acts as nothing, but its edition still acts at its place.
  snapshot::Joker hidden_holo = holo, hidden_polychrome = with("j_credit_card");
  hidden_holo.hidden = hidden_polychrome.hidden = true;
  hidden_polychrome.ed = "e_polychrome";
  const std::string high = "High Card";
  const struct {
    const char* what;
    std::vector<snapshot::Joker> jokers;
  } witnesses[] = {
      {"loyalty", {with("j_loyalty_card"), plus3}},
      {"x_mult", {with("j_credit_card", ab({{"x_mult", 2.0}})), plus3}},
      {"x_mult grown by its own row", {with("j_vampire"), plus3}},
      {"t_mult", {with("j_credit_card", ab({{"t_mult", 6.0}, {"type", high}})), times3}},
      {"t_chips",
       {with("j_credit_card", ab({{"t_chips", 0.1}, {"type", high}})),
        with("j_credit_card", ab({{"t_chips", 3.3}, {"type", high}}))}},
      {"keyed row", {with("j_gros_michel"), times3}},
      {"one row, two jokers",
       {with("j_arrowhead", ab({{"extra", 0.1}})), with("j_arrowhead", ab({{"extra", 3.3}}))}},
      {"edition", {holo, times3}},
      // Chips added in another order round otherwise: (7 + 50 + 0.02) x 5.
      {"foil edition", {foil, with("j_credit_card", ab({{"t_chips", 0.02}, {"type", high}}))}},
      {"editions of hidden jokers", {hidden_holo, hidden_polychrome, plus3}},
      {"baseball bonus", {with("j_baseball"), uncommon, plus3}},
      {"dna and a hologram", {with("j_dna"), with("j_hologram"), plus3}},
  };
  for (const auto& w : witnesses) {
    snapshot::Snapshot snap = testing::free_cards(5);
    snap.hand[0].enh = "m_mult";  // "j_vampire" takes it
    snap.round.hands_played = 5;  // "j_loyalty_card" acts
    snap.jokers = w.jokers;
    const score::Prepared prep(snap);
    std::vector<score::Lineup> lineups;
    for (const Positions& o : permutations(snap.jokers.size())) lineups.emplace_back(prep, o);
    const Checked c = check_play(prep, lineups, order_classes(prep, lineups), Positions{0});
    EXPECT_GT(c.results, 1u) << w.what << ": no order scores apart";
    EXPECT_FALSE(c.differs) << w.what;
  }
}

TEST(SharedRuns, CopiesBaseballAndDnaKeepEveryOrderApart) {
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
