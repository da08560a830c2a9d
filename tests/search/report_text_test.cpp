#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <variant>

#include "json/writer.h"
#include "search/fixture.h"
#include "support/text.h"

namespace quorvel::search {
namespace {

using namespace testing;

std::vector<std::string> texts(const snapshot::Snapshot& snap) {
  Recorder rec;
  run(snap, never(), rec.sink());
  return rec.texts();
}

// A hidden card that is not forced is never played: one report, no best.
TEST(ReportText, NothingToPlay) {
  snapshot::Snapshot snap = with_levels();
  snap.jokers = {plus_mult(7, 1), times_three(8)};
  snap.hand = {card(1, 5, "Spades")};
  snap.hand[0].hidden = true;
  EXPECT_EQ(texts(snap),
            std::vector<std::string>{
                "{\"approximate\":[\"hidden_card\"],\"best\":null,\"blind_warning\":false,"
                "\"blocked\":false,\"card_order_matters\":false,"
                "\"current_order_expected\":0.0,\"done\":true,\"gain\":0.0,"
                "\"gain_money\":0.0,\"joker_order\":[7,8],\"order_exact\":true,"
                "\"stage\":1}"});
}

TEST(ReportText, JokerOrderStages) {
  snapshot::Snapshot snap = with_levels();
  snap.hand = {card(1, 13, "Clubs")};
  snap.jokers = {times_three(10), plus_mult(11, 4)};
  snap.blind.target = 300;
  const std::vector<std::string> got = texts(snap);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0],
            "{\"approximate\":[],\"best\":{\"blind_pct\":35.0,\"ceiling\":105.0,\"expected\":105.0,"
            "\"floor\":105.0,\"hand\":\"High Card\",\"money_ceiling\":0.0,\"money_expected\":0.0,"
            "\"money_floor\":0.0,\"play\":[1],\"scored\":[1]},\"blind_warning\":false,"
            "\"blocked\":false,\"card_order_matters\":false,\"current_order_expected\":105.0,"
            "\"done\":false,\"gain\":0.0,\"gain_money\":0.0,\"joker_order\":[10,11],"
            "\"order_exact\":true,\"stage\":1}");
  EXPECT_EQ(got[2],
            "{\"approximate\":[],\"best\":{\"blind_pct\":75.0,\"ceiling\":225.0,\"expected\":225.0,"
            "\"floor\":225.0,\"hand\":\"High Card\",\"money_ceiling\":0.0,\"money_expected\":0.0,"
            "\"money_floor\":0.0,\"play\":[1],\"scored\":[1]},\"blind_warning\":false,"
            "\"blocked\":false,\"card_order_matters\":false,\"current_order_expected\":105.0,"
            "\"done\":true,\"gain\":120.0,\"gain_money\":0.0,\"joker_order\":[11,10],"
            "\"order_exact\":true,\"stage\":3}");
  // Stage 2 differs from the final report only in its stage and done flag.
  EXPECT_EQ(got[1].substr(0, got[1].find("\"done\"")), got[2].substr(0, got[2].find("\"done\"")));
  EXPECT_NE(got[1].find("\"done\":false"), std::string::npos);
  EXPECT_NE(got[1].find("\"stage\":2}"), std::string::npos);
}

TEST(ReportText, NonFiniteAndSpecialNumbers) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  SearchResult r;
  r.stage = 2;
  Best b;
  b.play = {4, -2};
  b.hand = "Flush";
  b.scored = {-2};
  b.floor = 300.0;
  b.expected = kInf;
  b.ceiling = std::numeric_limits<double>::quiet_NaN();
  b.blind_pct = 0.1;
  b.money_floor = -0.0;
  b.money_expected = -kInf;
  b.money_ceiling = 1e20;
  r.best = b;
  r.current_order_expected = 1e16;
  r.gain = 1e-6;
  r.approximate = {"hidden_card", "unknown_joker:j_new"};
  EXPECT_EQ(
      json::to_text(r.to_json()),
      "{\"approximate\":[\"hidden_card\",\"unknown_joker:j_new\"],\"best\":{\"blind_pct\":0.1,"
      "\"ceiling\":\"naneinf\",\"expected\":\"naneinf\",\"floor\":300.0,\"hand\":\"Flush\","
      "\"money_ceiling\":1e+20,\"money_expected\":\"naneinf\",\"money_floor\":-0.0,"
      "\"play\":[4,-2],\"scored\":[-2]},\"blind_warning\":false,\"blocked\":false,"
      "\"card_order_matters\":false,\"current_order_expected\":1e+16,\"done\":false,"
      "\"gain\":1e-6,\"gain_money\":0.0,\"joker_order\":[],\"order_exact\":true,"
      "\"stage\":2}");
}

// A whole search from a snapshot document, as the worker runs it: the same
// document gives byte-identical reports.
TEST(ReportText, SearchOfAParsedSnapshot) {
  const std::string doc =
      R"({"schema":1,)"
      R"("hand":[{"id":21,"rank":5,"suit":"Spades","enh":"m_glass"},)"
      R"({"id":22,"rank":5,"suit":"Hearts","enh":"m_mult"},)"
      R"({"id":23,"rank":13,"suit":"Clubs","hidden":true},)"
      R"({"id":24,"rank":9,"suit":"Clubs","forced":true}],)"
      R"("jokers":[{"id":1,"key":"j_cavendish"},{"id":2,"key":"j_joker","ab":{"mult":4}}],)"
      R"("levels":{"Pair":{"chips":10,"mult":2},"High Card":{"chips":5,"mult":1}},)"
      R"("blind":{"key":"bl_small","target":1000}})";
  const snapshot::ParseResult parsed = snapshot::parse(doc);
  ASSERT_TRUE(std::holds_alternative<snapshot::Snapshot>(parsed)) << std::get<std::string>(parsed);
  const snapshot::Snapshot& snap = std::get<snapshot::Snapshot>(parsed);
  const std::vector<std::string> got = texts(snap);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got, texts(snap));
  // Pair of fives, the forced nine a kicker: 20 chips. Mult: glass then mult
  // card 2x2+4 = 8, then x3 +4 = 28; +4 before x3 gives 36; the mult card
  // first (2+4)x2 = 12, then +4 x3 = 48. The blind percentage divides first.
  EXPECT_EQ(got[0].substr(0, got[0].find(",\"blind_warning\"")),
            "{\"approximate\":[\"hidden_card\"],\"best\":{\"blind_pct\":56.00000000000001,"
            "\"ceiling\":560.0,\"expected\":560.0,\"floor\":560.0,\"hand\":\"Pair\",\"money_"
            "ceiling\":0.0,"
            "\"money_expected\":0.0,\"money_floor\":0.0,\"play\":[21,22,24],\"scored\":[21,22]}");
  EXPECT_NE(got[2].find("\"play\":[22,21,24]"), std::string::npos) << got[2];
  EXPECT_NE(got[2].find("\"expected\":960.0"), std::string::npos) << got[2];
  EXPECT_NE(got[2].find("\"card_order_matters\":true"), std::string::npos) << got[2];
  EXPECT_NE(got[2].find("\"joker_order\":[2,1]"), std::string::npos) << got[2];
  EXPECT_NE(got[2].find("\"current_order_expected\":560.0"), std::string::npos) << got[2];
}

}  // namespace
}  // namespace quorvel::search
