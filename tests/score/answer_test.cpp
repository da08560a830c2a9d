#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json/reader.h"
#include "json/writer.h"
#include "score/answer.h"
#include "score/score.h"
#include "snapshot/snapshot.h"
#include "support/text.h"

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
  std::string written;
  write_answer(written, score_play(snap, played, {}));
  EXPECT_EQ(written,
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
    std::string text;
    write_answer(text, s);
    EXPECT_NE(text.find(std::string(",\"floor\":") + c.text + ","), std::string::npos) << text;
  }
}

// The answer written straight from a Scored reads back to its own text (its
// members in key order, every value by the writer's rules) and to its values,
// for every field's odd values.
TEST(ScoredText, WrittenAnswerReadsBackToItself) {
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
    json::Reader r(written);
    const json::Value v = r.read_value();
    r.finish();
    EXPECT_EQ(json::to_text(v), written);
    ASSERT_EQ(v.as_object().size(), 11u);
    EXPECT_EQ(v.find("hand")->as_string(), s.hand);
    EXPECT_EQ(v.find("legal")->as_bool(), s.legal);
    EXPECT_EQ(v.find("has_chance")->as_bool(), s.has_chance);
    const json::Array& scored = v.find("scored")->as_array();
    ASSERT_EQ(scored.size(), s.scored.size());
    for (std::size_t k = 0; k < scored.size(); ++k)
      EXPECT_EQ(scored[k].number(), static_cast<double>(s.scored[k]));
    const json::Array& approximate = v.find("approximate")->as_array();
    ASSERT_EQ(approximate.size(), s.approximate.size());
    for (std::size_t k = 0; k < approximate.size(); ++k)
      EXPECT_EQ(approximate[k].as_string(), s.approximate[k]);
    EXPECT_EQ(v.find("money_expected")->kind(), json::Kind::floating);
  }
}

}  // namespace
}  // namespace quorvel::score
