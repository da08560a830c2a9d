// Absurd repetition counts from the host's ability values: a card's triggers
// are bounded, small counts are honoured exactly, and a request of a few
// hundred cards asking for billions of triggers each still returns at once.
// The time limits are guards against a hang, not speed measurements.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fixture.h"
#include "score/request.h"

namespace quorvel::score {
namespace {

using json::Value;
using test::base_snapshot;
using test::run_once;
using testing::card;
using testing::joker;

constexpr auto kHangGuard = std::chrono::seconds(3);

template <typename F>
auto timed(F&& body, std::chrono::steady_clock::duration& took) {
  const auto start = std::chrono::steady_clock::now();
  auto result = body();
  took = std::chrono::steady_clock::now() - start;
  return result;
}

TEST(TriggerBound, PlayedCardTriggersUpToTheBoundAreExact) {
  struct Case {
    const char* what;
    double extra;  // "j_hack" repetitions of the played 3
    bool red_seal;
    std::uint32_t triggers;
  };
  const Case cases[] = {
      {"no repetition", 0.0, false, 1},
      {"a few", 4.0, false, 5},
      {"a few and a red seal", 4.0, true, 6},
      {"one below the bound", kMaxTriggers - 2.0, false, kMaxTriggers - 1},
      {"at the bound", kMaxTriggers - 1.0, false, kMaxTriggers},
      {"one beyond the bound", kMaxTriggers, false, kMaxTriggers},
      {"billions", 4e9, false, kMaxTriggers},
      // The total still wraps in 32 bits before it is bounded.
      {"a total that wraps to zero", 1e12, false, 0},
      {"a total that wraps to one", 1e12, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    snapshot::Snapshot s = base_snapshot();
    testing::CardB three = card(3, "Spades");
    if (c.red_seal) three.seal("Red");
    s.hand = {three};
    s.jokers = {joker("j_hack").ab({{"extra", Value(c.extra)}})};
    std::chrono::steady_clock::duration took{};
    const Outcome o = timed([&] { return run_once(s, {0}); }, took);
    // High Card: 5 chips, mult 1, and 3 chips per trigger.
    EXPECT_EQ(o.score, 5.0 + 3.0 * c.triggers);
    EXPECT_LT(took, kHangGuard);
  }
}

TEST(TriggerBound, HeldCardTriggersAreBoundedAlike) {
  for (double extra : {2.0, 3e9}) {
    SCOPED_TRACE(extra);
    snapshot::Snapshot s = base_snapshot();
    s.hand = {card(3, "Spades"), card(9, "Clubs").enh("m_steel")};
    s.jokers = {joker("j_mime").ab({{"extra", Value(extra)}})};
    const std::uint32_t triggers =
        extra < kMaxTriggers ? 1 + static_cast<std::uint32_t>(extra) : kMaxTriggers;
    double mult = 1.0;
    for (std::uint32_t t = 0; t < triggers; ++t) mult *= 1.5;
    std::chrono::steady_clock::duration took{};
    const Outcome o = timed([&] { return run_once(s, {0}); }, took);
    EXPECT_EQ(o.score, 8.0 * mult);  // High Card of the 3
    EXPECT_LT(took, kHangGuard);
  }
}

// A score request of `cards` cards, all played and all scoring, each asking
// for billions of triggers; every other card is held by a second copy of the
// hand that is not played, under "j_mime".
std::string huge_request(int cards) {
  std::string hand, play;
  for (int i = 0; i < cards; ++i) {
    const int rank = 2 + i % 13;
    const char* suits[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
    if (i > 0) hand += ',', play += ',';
    hand += R"({"id":)" + std::to_string(i) + R"(,"rank":)" + std::to_string(rank) +
            R"(,"suit":")" + suits[i % 4] + R"(","seal":"Red","enh":"m_glass"},)";
    hand += R"({"id":)" + std::to_string(cards + i) + R"(,"rank":)" + std::to_string(rank) +
            R"(,"suit":")" + suits[i % 4] + R"(","enh":"m_steel"})";
    play += std::to_string(i);
  }
  const std::string huge = R"({"extra":4e9})";
  return R"({"snapshot":{"schema":1,"hand":[)" + hand + R"(],"jokers":[)" +
         R"({"id":1,"key":"j_splash"},{"id":2,"key":"j_hack","ab":)" + huge +
         R"(},{"id":3,"key":"j_sock_and_buskin","ab":)" + huge +
         R"(},{"id":4,"key":"j_mime","ab":)" + huge + R"(},{"id":5,"key":"j_blueprint"},)" +
         R"({"id":6,"key":"j_photograph"},{"id":7,"key":"j_bloodstone"}]},"play":[)" + play + "]}";
}

TEST(TriggerBound, AScoreRequestOfHundredsOfCardsReturnsAtOnce) {
  const std::string request = huge_request(300);
  std::chrono::steady_clock::duration took{};
  const RequestResult r = timed([&] { return score_request(request); }, took);
  ASSERT_FALSE(r.error) << r.text;
  EXPECT_EQ(r.text.rfind(R"({"approximate":[],)", 0), 0u) << r.text.substr(0, 200);
  EXPECT_NE(r.text.find(R"("has_chance":true)"), std::string::npos);
  EXPECT_LT(took, kHangGuard);
}

// A long hand is indexed by id: still the first card with an id is played.
TEST(LongHands, EachIdNamesTheFirstCardThatHasIt) {
  // Ids 0..49 twice: first as plain 9s, then as stone cards.
  std::string hand;
  for (int i = 0; i < 100; ++i) {
    if (i > 0) hand += ',';
    hand += R"({"id":)" + std::to_string(i % 50) + R"(,"rank":9,"suit":"Clubs")" +
            (i < 50 ? "}" : R"(,"enh":"m_stone"})");
  }
  auto request = [&](const std::string& play) {
    return score_request(R"({"snapshot":{"schema":1,"hand":[)" + hand + R"(]},"play":)" + play +
                         "}");
  };
  const RequestResult pair = request("[3,4,3]");
  ASSERT_FALSE(pair.error) << pair.text;
  EXPECT_NE(pair.text.find(R"("hand":"Three of a Kind")"), std::string::npos) << pair.text;
  EXPECT_NE(pair.text.find(R"("scored":[3,4,3]})"), std::string::npos) << pair.text;
  const RequestResult missing = request("[3,77,-1]");
  EXPECT_TRUE(missing.error);
  EXPECT_EQ(missing.text, "card 77 is not in hand");
}

}  // namespace
}  // namespace quorvel::score
