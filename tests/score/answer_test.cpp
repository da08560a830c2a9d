#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json/writer.h"
#include "score/answer.h"
#include "score/score.h"
#include "snapshot/snapshot.h"

namespace quorvel::score {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ToJsonNumber, NonFiniteBecomesTheMarkerString) {
  for (double x : {kInf, -kInf, kNaN, -kNaN}) {
    const json::Value v = to_json_number(x);
    ASSERT_EQ(v.kind(), json::Kind::string) << x;
    EXPECT_EQ(v.as_string(), "naneinf");
  }
  // A whole value stays a float; negative zero keeps its sign.
  for (double x : {120.0, 0.1, 1e20, -3.5, std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::denorm_min()}) {
    const json::Value v = to_json_number(x);
    ASSERT_EQ(v.kind(), json::Kind::floating) << x;
    EXPECT_EQ(v.as_float(), x);
  }
  EXPECT_TRUE(std::signbit(to_json_number(-0.0).as_float()));
}

// A voided pair of ids 12 and 40 without "j_matador": the empty sum of the
// voided hand's money is negative zero.
TEST(ScoredText, VoidedPair) {
  snapshot::Snapshot snap;
  snap.schema = 1;
  snap.blind.key = "bl_psychic";
  for (std::int64_t id : {12, 40}) {
    snapshot::Card c;
    c.id = id;
    c.rank = 9;
    c.suit = "Clubs";
    snap.hand.push_back(c);
  }
  const std::size_t played[] = {0, 1};
  EXPECT_EQ(json::to_text(score_play(snap, played, {}).to_json()),
            "{\"approximate\":[],\"ceiling\":0.0,\"expected\":0.0,\"floor\":0.0,\"hand\":\"Pair\","
            "\"has_chance\":false,\"legal\":false,\"money_ceiling\":-0.0,\"money_expected\":-0.0,"
            "\"money_floor\":-0.0,\"scored\":[12,40]}");
}

TEST(ScoredText, Numbers) {
  struct Case {
    double value;
    const char* text;
  };
  const std::vector<Case> cases = {{1e20, "1e+20"},       {300.0, "300.0"},
                                   {0.1, "0.1"},          {-0.0, "-0.0"},
                                   {kInf, "\"naneinf\""}, {-kInf, "\"naneinf\""},
                                   {kNaN, "\"naneinf\""}, {1e15, "1000000000000000.0"},
                                   {1e-6, "1e-6"},        {0.00001, "0.00001"}};
  for (const Case& c : cases) {
    Scored s;
    s.floor = c.value;
    const std::string text = json::to_text(s.to_json());
    EXPECT_NE(text.find(std::string(",\"floor\":") + c.text + ","), std::string::npos) << text;
  }
}

// The answer written straight from a Scored is the text of its value tree,
// for every field's odd values.
TEST(ScoredText, WrittenAnswerIsTheWrittenValue) {
  std::vector<Scored> plays(4);
  plays[1].hand = "Flush \"Five\"\n";
  plays[1].approximate = {"lobby", "j_\x01odd", "bl_hook"};
  plays[1].scored = {std::numeric_limits<std::int64_t>::min(), -1, 0, 7,
                     std::numeric_limits<std::int64_t>::max()};
  plays[1].legal = false;
  plays[1].has_chance = true;
  plays[2].floor = kNaN;
  plays[2].expected = -kInf;
  plays[2].ceiling = 1e300;
  plays[2].money_floor = -0.0;
  plays[2].money_expected = 5e-324;
  plays[2].money_ceiling = 0.1;
  plays[3].hand = "High Card";
  plays[3].scored = {12};
  plays[3].floor = plays[3].expected = plays[3].ceiling = 120.0;
  for (const Scored& s : plays) {
    std::string written;
    write_answer(written, s);
    EXPECT_EQ(written, json::to_text(s.to_json()));
  }
}

}  // namespace
}  // namespace quorvel::score
