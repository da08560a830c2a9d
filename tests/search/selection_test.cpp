// The selections stage 1 scores: each playable selection once, in the walk's
// order, forced cards in every one, hidden cards in none; and their count,
// worked out without the walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include "search/selection.h"

namespace quorvel::search {
namespace {

using common::Positions;

snapshot::Snapshot hand_of(const std::vector<std::pair<bool, bool>>& forced_hidden) {
  snapshot::Snapshot snap;
  std::int64_t id = 1;
  for (auto [forced, hidden] : forced_hidden) {
    snapshot::Card card;
    card.id = id++;
    card.forced = forced;
    card.hidden = hidden;
    snap.hand.push_back(card);
  }
  return snap;
}

snapshot::Snapshot free_hand(std::size_t n) {
  return hand_of(std::vector<std::pair<bool, bool>>(n, {false, false}));
}

// Every selection of the walk, collected.
std::vector<Positions> selections(const snapshot::Snapshot& snapshot) {
  std::vector<Positions> out;
  SelectionWalk walk(snapshot);
  while (walk.next()) out.push_back(walk.selection());
  return out;
}

TEST(Selections, DepthFirstPreOrder) {
  EXPECT_EQ(selections(free_hand(3)),
            (std::vector<Positions>{{0}, {0, 1}, {0, 1, 2}, {0, 2}, {1}, {1, 2}, {2}}));
  // Forced position 3 with free positions 0 and 1.
  EXPECT_EQ(selections(hand_of({{false, false}, {false, false}, {false, true}, {true, false}})),
            (std::vector<Positions>{{3}, {0, 3}, {0, 1, 3}, {1, 3}}));
}

TEST(Selections, EightFreeCardsGiveEverySubsetOfOneToFive) {
  const std::vector<Positions> all = selections(free_hand(8));
  ASSERT_EQ(all.size(), 218u);  // 8 + 28 + 56 + 70 + 56
  std::set<Positions> distinct(all.begin(), all.end());
  EXPECT_EQ(distinct.size(), all.size());
  for (const Positions& s : all) {
    EXPECT_GE(s.size(), 1u);
    EXPECT_LE(s.size(), 5u);
    EXPECT_TRUE(std::is_sorted(s.begin(), s.end()));
  }
  EXPECT_EQ(all[4], (Positions{0, 1, 2, 3, 4}));
  EXPECT_EQ(all[5], (Positions{0, 1, 2, 3, 5}));
  EXPECT_EQ(all.back(), (Positions{7}));
}

TEST(Selections, ForcedAndHiddenCards) {
  // Position 0 forced and hidden, 1 hidden only, 2 and 3 free.
  const std::vector<Positions> all =
      selections(hand_of({{true, true}, {false, true}, {false, false}, {false, false}}));
  EXPECT_EQ(all, (std::vector<Positions>{{0}, {0, 2}, {0, 2, 3}, {0, 3}}));

  // Four forced leave room for exactly one free card.
  const std::vector<Positions> four = selections(hand_of({{true, false},
                                                          {false, false},
                                                          {true, false},
                                                          {true, false},
                                                          {false, false},
                                                          {true, false}}));
  EXPECT_EQ(four, (std::vector<Positions>{{0, 2, 3, 5}, {0, 1, 2, 3, 5}, {0, 2, 3, 4, 5}}));
}

TEST(Selections, FiveOrMoreForcedFormTheOnlySelection) {
  std::vector<std::pair<bool, bool>> cards(9, {false, false});
  for (std::size_t i : {0u, 2u, 4u, 6u, 8u}) cards[i] = {true, false};
  EXPECT_EQ(selections(hand_of(cards)), (std::vector<Positions>{{0, 2, 4, 6, 8}}));
  cards[7] = {true, false};
  EXPECT_EQ(selections(hand_of(cards)), (std::vector<Positions>{{0, 2, 4, 6, 7, 8}}));
}

TEST(Selections, NothingToPlay) {
  EXPECT_TRUE(selections(free_hand(0)).empty());
  EXPECT_TRUE(selections(hand_of({{false, true}, {false, true}})).empty());
}

// Every mix of up to 12 cards, each free, forced or hidden (forced and hidden
// too), drawn at random: the count is the walk's, and `most` caps it.
TEST(Selections, CountIsTheWalksOwn) {
  constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
  std::uint64_t state = 99;
  auto roll = [&state](std::uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<std::pair<bool, bool>> cards(roll(13));
    for (auto& [forced, hidden] : cards) {
      const std::uint64_t r = roll(8);
      forced = r < 2 || r == 7;
      hidden = r == 2 || r == 7;
    }
    const snapshot::Snapshot snap = hand_of(cards);
    const std::size_t walked = selections(snap).size();
    const SelectionWalk walk(snap);
    EXPECT_EQ(walk.count(kAll), walked) << round;
    EXPECT_EQ(walk.count(walked), walked) << round;
    EXPECT_EQ(walk.count(walked + 1), walked) << round;
    if (walked > 0) {
      EXPECT_EQ(walk.count(walked - 1), walked - 1) << round;
    }
  }
  // Far more than any walk could visit: C(10000, 1) + ... + C(10000, 5), and
  // for 100000 cards more than 64 bits hold.
  EXPECT_EQ(SelectionWalk(free_hand(10000)).count(kAll), 832916875004174500u);
  EXPECT_EQ(SelectionWalk(free_hand(100000)).count(kAll), kAll);
  EXPECT_EQ(SelectionWalk(free_hand(100000)).count(100032), 100032u);
}

}  // namespace
}  // namespace quorvel::search
