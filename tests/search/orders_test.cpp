#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "search/stages.h"

namespace quorvel::search {
namespace {

TEST(Permutations, RecursiveSwapOrder) {
  EXPECT_EQ(permutations(0), (std::vector<Positions>{{}}));
  EXPECT_EQ(permutations(1), (std::vector<Positions>{{0}}));
  EXPECT_EQ(
      permutations(3),
      (std::vector<Positions>{{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 1, 0}, {2, 0, 1}}));
  // The swap order is not the lexicographic one from the fourth element on.
  const std::vector<Positions> four = permutations(4);
  ASSERT_EQ(four.size(), 24u);
  EXPECT_EQ(four[18], (Positions{3, 1, 2, 0}));
  EXPECT_EQ(four[23], (Positions{3, 0, 1, 2}));
  EXPECT_EQ(std::set<Positions>(four.begin(), four.end()).size(), 24u);
}

// The recursive swap step itself, as a reference: the first `limit` orders.
std::vector<Positions> recursive_orders(std::size_t n, std::size_t limit) {
  std::vector<Positions> out;
  Positions current(n);
  for (std::size_t i = 0; i < n; ++i) current[i] = i;
  auto walk = [&](auto& self, std::size_t depth) -> void {
    if (depth == n) {
      if (out.size() < limit) out.push_back(current);
      return;
    }
    for (std::size_t i = depth; i < n && out.size() < limit; ++i) {
      std::swap(current[depth], current[i]);
      self(self, depth + 1);
      std::swap(current[depth], current[i]);
    }
  };
  walk(walk, 0);
  return out;
}

std::vector<Positions> walked(std::size_t n, std::size_t limit) {
  std::vector<Positions> out;
  PermutationWalk walk(n);
  do {
    out.push_back(walk.order());
  } while (out.size() < limit && walk.next());
  return out;
}

TEST(Permutations, TheWalkGivesTheRecursiveSequenceOneAtATime) {
  constexpr std::size_t kAll = static_cast<std::size_t>(-1);
  for (std::size_t n = 0; n <= 7; ++n) {
    SCOPED_TRACE(n);
    const std::vector<Positions> expected = recursive_orders(n, kAll);
    EXPECT_EQ(walked(n, kAll), expected);
    EXPECT_EQ(permutations(n), expected);
  }
  // Many cards: the same prefix, without building the rest.
  EXPECT_EQ(walked(12, 5000), recursive_orders(12, 5000));
  EXPECT_EQ(walked(300, 50), recursive_orders(300, 50));
  // After the last order the walk stays ended.
  PermutationWalk two(2);
  EXPECT_TRUE(two.next());
  EXPECT_EQ(two.order(), (Positions{1, 0}));
  EXPECT_FALSE(two.next());
  EXPECT_FALSE(two.next());
  PermutationWalk none(0);
  EXPECT_FALSE(none.next());
  EXPECT_FALSE(none.next());
}

TEST(Permutations, CardOrderCap) {
  EXPECT_EQ(card_order_cap(6), kMaxCardOrders);
  EXPECT_EQ(card_order_cap(13), kMaxCardOrders);
  EXPECT_EQ(card_order_cap(14), kCardOrderPlacements / 14);
  EXPECT_EQ(card_order_cap(2000), kCardOrderPlacements / 2000);
  EXPECT_EQ(card_order_cap(std::size_t{1} << 20), 1u);
}

snapshot::Joker joker(std::optional<std::string> key, std::optional<std::string> ed = {},
                      std::int32_t rarity = 1, bool debuff = false, bool hidden = false) {
  snapshot::Joker j;
  j.key = std::move(key);
  j.ed = std::move(ed);
  j.rarity = rarity;
  j.debuff = debuff;
  j.hidden = hidden;
  return j;
}

snapshot::Joker with_t_chips(json::Value value) {
  json::Object ab;
  ab.emplace("t_chips", std::move(value));
  // Built in place: a move assignment of the ability object trips GCC's
  // maybe-uninitialized analysis.
  return snapshot::Joker{.id = 0,
                         .key = "j_sly",
                         .ed = std::nullopt,
                         .debuff = false,
                         .hidden = false,
                         .sell = 0.0,
                         .rarity = 1,
                         .ab = json::Value(std::move(ab))};
}

TEST(OrderFree, Table) {
  struct Case {
    const char* name;
    std::vector<snapshot::Joker> jokers;
    std::vector<bool> expected;
  };
  const std::vector<Case> cases = {
      {"listed keys and plain jokers",
       {joker("j_egg"), joker("j_joker"), joker("j_delayed_grat")},
       {true, false, true}},
      {"no key or an unknown key", {joker(std::nullopt), joker("j_unheard_of")}, {false, false}},
      {"a copy joker anywhere, even debuffed",
       {joker("j_egg"), joker("j_blueprint", {}, 3, true), joker("j_stone")},
       {false, false, false}},
      {"brainstorm counts as a copy", {joker("j_brainstorm"), joker("j_egg")}, {false, false}},
      {"baseball makes uncommon jokers order-sensitive",
       {joker("j_baseball", {}, 3), joker("j_egg", {}, 2), joker("j_stone", {}, 1),
        joker("j_juggler", {}, 2, true)},
       {false, false, true, false}},
      {"rarity 2 without baseball", {joker("j_egg", {}, 2)}, {true}},
      {"editions",
       {joker("j_egg", "e_holo"), joker("j_egg", "e_polychrome"), joker("j_egg", "e_foil"),
        joker("j_egg", "e_negative"), joker("j_egg", "e_shiny"), joker("j_joker", "e_foil")},
       {false, false, true, true, false, false}},
      {"debuffed or hidden acts nowhere",
       {joker("j_joker", {}, 1, true), joker("j_joker", {}, 1, false, true),
        joker("j_joker", "e_holo", 1, true)},
       {true, true, false}},
      {"chips of a scaling joker",
       {with_t_chips(json::Value(std::int64_t{50})), with_t_chips(json::Value(0.5)),
        with_t_chips(json::Value(std::uint64_t{7})), with_t_chips(json::Value(0.0)),
        with_t_chips(json::Value(-3.0)), with_t_chips(json::Value("50"))},
       {true, true, true, false, false, false}},
  };
  for (const Case& c : cases) {
    hand::SuitTable suits;
    std::vector<jokers::JokerView> views;
    for (const snapshot::Joker& j : c.jokers) views.push_back(jokers::view(j, suits));
    EXPECT_EQ(order_free(views), c.expected) << c.name;
  }
}

TEST(JokerOrders, OrderFreeJokersRiseInEveryKeptOrder) {
  const std::vector<Positions> perms = permutations(3);
  EXPECT_EQ(joker_orders(perms, {true, false, true}),
            (std::vector<Positions>{{0, 1, 2}, {0, 2, 1}, {1, 0, 2}}));
  EXPECT_EQ(joker_orders(perms, {false, false, false}), perms);
  EXPECT_EQ(joker_orders(perms, {true, true, true}), (std::vector<Positions>{{0, 1, 2}}));
  EXPECT_EQ(joker_orders(permutations(2), {true, true}), (std::vector<Positions>{{0, 1}}));
}

TEST(JokerOrders, CountIsNFactorialOverFFactorial) {
  const std::vector<Positions> six = permutations(6);
  // n!/f! with the identity first, for f order-free jokers among six.
  const std::size_t expected[] = {720, 720, 360, 120, 30, 6, 1};
  for (std::size_t f = 0; f <= 6; ++f) {
    std::vector<bool> flags(6, false);
    for (std::size_t i = 0; i < f; ++i) flags[5 - i] = true;
    const std::vector<Positions> kept = joker_orders(six, flags);
    EXPECT_EQ(kept.size(), expected[f]) << f;
    EXPECT_EQ(kept.front(), (Positions{0, 1, 2, 3, 4, 5}));
  }
}

}  // namespace
}  // namespace quorvel::search
