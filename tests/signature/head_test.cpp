// The head of the ranking that stage 1 keeps, checked against no bound: on
// states whose searches rank more plays than the head holds, the bounded
// search sends the same reports, byte for byte, and makes the same scoring
// calls as one that keeps every play.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "json/writer.h"
#include "score/score.h"
#include "search/search.h"
#include "search/selection.h"
#include "search/stages.h"
#include "snapshot/snapshot.h"
#include "support/corpus.h"
#include "support/text.h"

namespace {

using namespace quorvel;

struct Searched {
  std::vector<search::SearchResult> results;
  std::vector<std::string> texts;
  search::Counts counts;
};

Searched search_with(const snapshot::Snapshot& snap, bool whole) {
  Searched out;
  search::run(
      snap, [] { return false; },
      [&out](search::SearchResult result) {
        out.texts.push_back(json::to_text(result.to_json()));
        out.results.push_back(std::move(result));
      },
      {.counts = &out.counts, .whole_ranking = whole});
  return out;
}

// Whether stage 1 has more selections than the head holds: all are retained
// unless a boss blind voids some.
bool beyond_head(const snapshot::Snapshot& snap) {
  const std::size_t n = snap.jokers.size();
  std::size_t orders = 0;
  if (n >= 2 && n < search::kClimbFrom) {
    const score::Prepared prep(snap);
    orders = search::joker_orders(search::permutations(n), search::order_free(prep.jokers)).size();
  }
  const std::size_t limit = search::head_limit(n, orders);
  return search::SelectionWalk(snap).count(limit + 1) > limit;
}

// The bounded search against the unbounded one; returns the unbounded.
Searched expect_unchanged_by_the_bound(const snapshot::Snapshot& snap, const std::string& name) {
  const Searched bounded = search_with(snap, false);
  Searched whole = search_with(snap, true);
  EXPECT_EQ(bounded.texts, whole.texts) << name;
  EXPECT_EQ(bounded.counts.score_play, whole.counts.score_play) << name;
  EXPECT_EQ(bounded.counts.score_expected, whole.counts.score_expected) << name;
  return whole;
}

snapshot::Snapshot parsed(const std::string& text) {
  snapshot::ParseResult p = snapshot::parse(text);
  if (const std::string* error = std::get_if<std::string>(&p)) ADD_FAILURE() << *error;
  return std::get<snapshot::Snapshot>(std::move(p));
}

// The sanitized builds, whose searches run many times slower, leave the
// largest hands (two and three jokers, up to 174436 plays) to the plain build.
#if defined(QRV_SANITIZED)
constexpr bool kLargestHands = false;
#else
constexpr bool kLargestHands = true;
#endif

TEST(RankingHead, GeneratedStatesSearchAsWithoutABound) {
  std::size_t searched = 0, beyond = 0;
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    const snapshot::ParseResult p = snapshot::parse(corpus::large_state(seed));
    if (!std::holds_alternative<snapshot::Snapshot>(p)) continue;
    const auto& snap = std::get<snapshot::Snapshot>(p);
    if (!kLargestHands && (snap.jokers.size() == 2 || snap.jokers.size() == 3)) continue;
    ++searched;
    if (beyond_head(snap)) ++beyond;
    expect_unchanged_by_the_bound(snap, "seed " + std::to_string(seed));
  }
  // Most states rank more plays than their head holds.
  EXPECT_GE(beyond * 4, searched * 3) << beyond << " of " << searched;
}

// Thirteen Diamonds, so every five-card play is a flush that scores all five
// and earns the same money. Two "j_rough_gem" pay per Diamond: a polychrome
// one, then a holographic one; the holographic one first scores more. With
// four dollars to start, those amounts add up to 6.0000000000050004 in the
// snapshot's order and to 6.000000000004999 in the other: equal within the
// tolerance of the comparison, but one twelfth digit lower in the ranking.
// So every play whose joker order stage 2 changes falls below the plays it
// left alone, and the best after stage 2 comes from beyond the changed ones.
std::string falling_state(std::size_t jokers) {
  std::string s = R"({"schema":1,"hand":[)";
  for (int i = 0; i < 13; ++i) {
    if (i > 0) s += ',';
    s += R"({"id":)" + std::to_string(i + 1) + R"(,"rank":)" + std::to_string(2 + i) +
         R"(,"suit":"Diamonds"})";
  }
  s += R"(],"jokers":[)"
       R"({"id":1,"key":"j_rough_gem","ed":"e_polychrome","ab":{"extra":0.7}},)"
       R"({"id":2,"key":"j_rough_gem","ed":"e_holo","ab":{"extra":0.500000000001}})";
  // Jokers that find nothing to act on here, but whose order is searched.
  const char* idle[] = {"j_lusty_joker", "j_wrathful_joker", "j_gluttenous_joker",
                        "j_arrowhead",   "j_onyx_agate",     "j_scholar"};
  for (std::size_t j = 2; j < jokers; ++j) {
    s += R"(,{"id":)" + std::to_string(j + 1) + R"(,"key":")" + idle[j - 2] + "\"}";
  }
  return s + R"(],"levels":{"Flush":{"chips":35,"mult":4},"Straight Flush":{"chips":100,"mult":8},)"
             R"("High Card":{"chips":5,"mult":1}},"round":{"dollars":4},)"
             R"("options":{"objective":"money"}})";
}

// Six jokers try every order (the first 277 plays of 2379); seven and eight
// climb (the first 32).
TEST(RankingHead, PlaysThatStageTwoLowersSearchAsWithoutABound) {
  for (std::size_t jokers : {6u, 7u, 8u}) {
    const snapshot::Snapshot snap = parsed(falling_state(jokers));
    ASSERT_TRUE(beyond_head(snap));
    const Searched whole = expect_unchanged_by_the_bound(snap, std::to_string(jokers) + " jokers");
    ASSERT_GE(whole.results.size(), 2u);
    const search::SearchResult& first = whole.results[0];
    const search::SearchResult& second = whole.results[1];
    ASSERT_TRUE(first.best && second.best);
    // The leading play of stage 1 fell: the best is another, unchanged.
    EXPECT_NE(second.best->play, first.best->play) << jokers;
    EXPECT_EQ(second.joker_order, first.joker_order) << jokers;
    EXPECT_LT(second.best->expected, first.best->expected) << jokers;
  }
}

}  // namespace
