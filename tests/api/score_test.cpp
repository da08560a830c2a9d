// qrv_score and qrv_abi_version as a host calls them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine.h"

namespace qrv_test {
namespace {

// A hand of three cards: two 5s (ids 12 and 40) and a 9 (id 7).
std::string snapshot(const std::string& levels, const std::string& extra = "") {
  return R"({"schema":1,"hand":[{"id":12,"rank":5,"suit":"Hearts"},)"
         R"({"id":40,"rank":5,"suit":"Spades"},{"id":7,"rank":9,"suit":"Clubs"}],)"
         R"("levels":)" +
         levels + extra + "}";
}

std::string pair_request(const std::string& levels, const std::string& extra = "",
                         const std::string& play = "[12,40]") {
  return R"({"snapshot":)" + snapshot(levels, extra) + R"(,"play":)" + play + "}";
}

// The answer for the pair of 5s with the given score texts and no chance.
std::string pair_answer(const std::string& score, bool legal = true,
                        const std::string& money = "0.0") {
  return R"({"approximate":[],"ceiling":)" + score + R"(,"expected":)" + score + R"(,"floor":)" +
         score + R"(,"hand":"Pair","has_chance":false,"legal":)" + (legal ? "true" : "false") +
         R"(,"money_ceiling":)" + money + R"(,"money_expected":)" + money + R"(,"money_floor":)" +
         money + R"(,"scored":[12,40]})";
}

const std::string kPairLevel = R"({"Pair":{"chips":10,"mult":2}})";

TEST(Abi, VersionIsAlwaysOne) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(engine().abi_version(), 1);
}

TEST(Score, AnswersExactly) {
  struct Case {
    const char* what;
    std::string request;
    std::string answer;
  };
  const std::vector<Case> cases = {
      {"a pair of 5s at level 1", pair_request(kPairLevel), pair_answer("40.0")},
      {"whitespace around the request", " \n\t" + pair_request(kPairLevel) + "\r\n ",
       pair_answer("40.0")},
      {"an extra key in the request",
       R"({"version":[1,{"x":null}],)" + pair_request(kPairLevel).substr(1), pair_answer("40.0")},
      {"the array form", "[" + snapshot(kPairLevel) + ",[12,40]]", pair_answer("40.0")},
      {"a hand the boss blind voids, without a matador",
       pair_request(kPairLevel, R"(,"blind":{"key":"bl_psychic"})"),
       R"({"approximate":[],"ceiling":0.0,"expected":0.0,"floor":0.0,"hand":"Pair",)"
       R"("has_chance":false,"legal":false,"money_ceiling":-0.0,"money_expected":-0.0,)"
       R"("money_floor":-0.0,"scored":[12,40]})"},
      {"a score of 1e20", pair_request(R"({"Pair":{"chips":1e20,"mult":1}})"),
       pair_answer("1e+20")},
      {"a whole score", pair_request(R"({"Pair":{"chips":140,"mult":2}})"), pair_answer("300.0")},
      {"a fraction", pair_request(R"({"Pair":{"chips":-9,"mult":0.1}})"), pair_answer("0.1")},
      {"an infinite score", pair_request(R"({"Pair":{"chips":"naneinf","mult":2}})"),
       pair_answer("\"naneinf\"")},
      {"a repeated snapshot key: the later one counts",
       R"({"snapshot":{"schema":2,"levels":{"Pair":{"chips":99,"mult":9}},)" +
           snapshot(kPairLevel).substr(1) + R"(,"play":[12,40]})",
       pair_answer("40.0")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Answer a = score(c.request);
    EXPECT_EQ(a.status, QRV_OK) << a.text;
    EXPECT_EQ(a.text, c.answer);
    EXPECT_EQ(a.len, c.answer.size());
  }
}

TEST(Score, PlaysTheFirstHandCardWithAGivenId) {
  // Two cards share id 5: the first, a 5, is played (High Card 5 + 5), not the 9.
  const std::string request =
      R"({"snapshot":{"schema":1,"hand":[{"id":5,"rank":5,"suit":"Hearts"},)"
      R"({"id":5,"rank":9,"suit":"Clubs"}],"levels":{"High Card":{"chips":5,"mult":1}}},)"
      R"("play":[5]})";
  Answer a = score(request);
  ASSERT_EQ(a.status, QRV_OK) << a.text;
  EXPECT_NE(a.text.find(R"("expected":10.0,)"), std::string::npos) << a.text;
  EXPECT_NE(a.text.find(R"("hand":"High Card")"), std::string::npos) << a.text;
  EXPECT_NE(a.text.find(R"("scored":[5]})"), std::string::npos) << a.text;
}

TEST(Score, NamesWhatItApproximates) {
  const std::string request =
      R"({"snapshot":{"schema":1,"hand":[{"id":1,"rank":5,"suit":"Hearts","hidden":true},)"
      R"({"id":2,"rank":5,"suit":"Hearts","enh":"m_shiny"}],)"
      R"("jokers":[{"id":1,"key":"j_unheard_of"},{"id":2,"key":"j_unheard_of"}],)"
      R"("blind":{"key":"bl_hook"},"lobby":true},"play":[2]})";
  Answer a = score(request);
  ASSERT_EQ(a.status, QRV_OK) << a.text;
  EXPECT_EQ(a.text.rfind(R"({"approximate":["hidden_card","unknown_enhancement:m_shiny",)"
                         R"("unknown_joker:j_unheard_of","hook","lobby"],)",
                         0),
            0u)
      << a.text;
}

TEST(Score, ReportsRequestErrorsWithTheirPositions) {
  struct Case {
    const char* what;
    std::string request;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"empty input", "", "EOF while parsing a value at line 1 column 0"},
      {"no snapshot", R"({"play":[1]})", "missing field `snapshot` at line 1 column 12"},
      {"no play", R"({"snapshot":{"schema":1}})", "missing field `play` at line 1 column 25"},
      {"play twice", R"({"play":[],"play":[]})", "duplicate field `play` at line 1 column 17"},
      {"an empty snapshot", R"({"play":[],"snapshot":{}})",
       "missing field `schema` at line 1 column 2"},
      {"a null snapshot", R"({"snapshot":null,"play":[]})",
       "invalid type: null, expected struct Snapshot at line 1 column 4"},
      {"a float id in play", R"({"snapshot":{"schema":1},"play":[1.0]})",
       "invalid type: floating point `1.0`, expected i64 at line 1 column 36"},
      {"an id beyond i64", R"({"snapshot":{"schema":1},"play":[9223372036854775808]})",
       "invalid value: integer `9223372036854775808`, expected i64 at line 1 column 52"},
      {"play not a list", R"({"snapshot":{"schema":1},"play":3})",
       "invalid type: integer `3`, expected a sequence at line 1 column 33"},
      {"an empty array", "[]",
       "invalid length 0, expected struct ScoreRequest with 2 elements at line 1 column 2"},
      {"an array of one", R"([{"schema":1}])",
       "invalid length 1, expected struct ScoreRequest with 2 elements at line 1 column 14"},
      {"an array of three", R"([{"schema":1},[],0])", "trailing characters at line 1 column 18"},
      {"not an object", "true",
       "invalid type: boolean `true`, expected struct ScoreRequest at line 1 column 4"},
      {"a second value", R"({"snapshot":{"schema":1},"play":[]} {})",
       "trailing characters at line 1 column 37"},
      {"malformed JSON inside the snapshot: a request position",
       "{\"play\":[],\n\"snapshot\":{\"schema\":1,}}", "trailing comma at line 2 column 24"},
      // The snapshot is checked in its rewritten, one-line, key-sorted form.
      {"a snapshot error on line 1 of the rewritten text",
       "{\"play\":[],\n  \"snapshot\": {\n    \"schema\": 1,\n    \"hand\": 5\n  }\n}",
       "invalid type: integer `5`, expected a sequence at line 1 column 9"},
      {"the first fault in key order", R"({"play":[],"snapshot":{"schema":true,"hand":5}})",
       "invalid type: integer `5`, expected a sequence at line 1 column 9"},
      {"a float schema stays a float", R"({"play":[],"snapshot":{"schema":1.0}})",
       "invalid type: floating point `1.0`, expected u32 at line 1 column 13"},
      {"a number out of range in an unknown snapshot key",
       R"({"play":[],"snapshot":{"schema":1,"note":1e400}})",
       "number out of range at line 1 column 46"},
      {"schema 2", R"({"play":[],"snapshot":{"schema":2}})", "unsupported snapshot schema 2"},
      {"seeded mode", R"({"play":[],"snapshot":{"schema":1,"options":{"seeded":true}}})",
       "suggested discards and seeded mode aren't implemented"},
      {"a card not in hand", R"({"snapshot":{"schema":1},"play":[5]})", "card 5 is not in hand"},
      {"the first id not in hand", pair_request(kPairLevel, "", "[12,-17,99]"),
       "card -17 is not in hand"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Answer a = score(c.request);
    EXPECT_EQ(a.status, QRV_ERROR);
    EXPECT_EQ(a.text, c.error);
  }
}

class Buffers : public ::testing::Test {
 protected:
  static constexpr std::uint8_t kUntouched = 0xA5;

  void SetUp() override {
    request = pair_request(kPairLevel);
    answer = pair_answer("40.0");
    out.assign(answer.size() + 16, kUntouched);
  }
  bool untouched_from(std::size_t from) const {
    for (std::size_t i = from; i < out.size(); ++i) {
      if (out[i] != kUntouched) return false;
    }
    return true;
  }
  std::string copied(std::size_t n) const {
    return std::string(reinterpret_cast<const char*>(out.data()), n);
  }
  std::int32_t call(std::size_t cap, std::size_t* out_len, bool null_out = false) {
    return engine().score(bytes(request), request.size(), null_out ? nullptr : out.data(), cap,
                          out_len);
  }

  std::string request, answer;
  std::vector<std::uint8_t> out;
};

TEST_F(Buffers, NullOutTellsTheLengthAndAnExactFitIsCopiedWithoutANul) {
  std::size_t len = 0;
  EXPECT_EQ(call(answer.size(), &len, /*null_out=*/true), QRV_TOO_SMALL);
  EXPECT_EQ(len, answer.size());
  len = 0;
  EXPECT_EQ(call(len + answer.size(), &len), QRV_OK);
  EXPECT_EQ(len, answer.size());
  EXPECT_EQ(copied(len), answer);
  EXPECT_TRUE(untouched_from(len));
}

TEST_F(Buffers, OneByteShortCopiesNothing) {
  std::size_t len = 0;
  EXPECT_EQ(call(answer.size() - 1, &len), QRV_TOO_SMALL);
  EXPECT_EQ(len, answer.size());
  EXPECT_TRUE(untouched_from(0));
  EXPECT_EQ(call(answer.size() - 1, nullptr), QRV_TOO_SMALL);
  EXPECT_TRUE(untouched_from(0));
}

TEST_F(Buffers, TheLengthPointerIsOptional) {
  EXPECT_EQ(call(out.size(), nullptr), QRV_OK);
  EXPECT_EQ(copied(answer.size()), answer);
  EXPECT_TRUE(untouched_from(answer.size()));
}

TEST_F(Buffers, AnErrorTextThatDoesNotFitIsTooSmallNotAnError) {
  request = R"({"snapshot":{"schema":1},"play":[5]})";
  std::size_t len = 0;
  EXPECT_EQ(call(5, &len), QRV_TOO_SMALL);
  EXPECT_EQ(len, std::strlen("card 5 is not in hand"));
  EXPECT_TRUE(untouched_from(0));
}

TEST_F(Buffers, NullRequest) {
  struct Case {
    std::size_t cap;
    bool null_out;
    bool with_len;
    std::int32_t status;
  };
  const std::vector<Case> cases = {
      {12, false, true, QRV_ERROR},     {13, false, false, QRV_ERROR},
      {11, false, true, QRV_TOO_SMALL}, {11, false, false, QRV_TOO_SMALL},
      {64, true, true, QRV_TOO_SMALL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("cap " + std::to_string(c.cap) + (c.null_out ? ", null out" : "") +
                 (c.with_len ? "" : ", no length pointer"));
    out.assign(32, kUntouched);
    std::size_t len = 99;
    std::int32_t status = engine().score(nullptr, 1000, c.null_out ? nullptr : out.data(), c.cap,
                                         c.with_len ? &len : nullptr);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(len, c.with_len ? 12u : 99u);
    if (c.status == QRV_ERROR) {
      EXPECT_EQ(copied(12), "null request");
      EXPECT_TRUE(untouched_from(12));
    } else {
      EXPECT_TRUE(untouched_from(0));
    }
  }
}

TEST(Score, ManyThreadsGetTheSameAnswersAsOne) {
  const std::vector<std::string> requests = {
      example("score_request.json"),
      pair_request(kPairLevel, R"(,"blind":{"key":"bl_psychic"})"),
      pair_request(R"({"Pair":{"chips":1e20,"mult":1}})"),
      R"({"snapshot":{"schema":1},"play":[5]})",
      R"({"play":[],"snapshot":{"schema":true,"hand":5}})",
  };
  std::vector<Answer> expected;
  for (const std::string& r : requests) expected.push_back(score(r));
  ASSERT_EQ(expected[0].status, QRV_OK) << expected[0].text;

  constexpr int kThreads = 8;
  constexpr int kRounds = 40;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        std::size_t i = static_cast<std::size_t>(t + round) % requests.size();
        Answer a = score(requests[i]);
        if (a.status != expected[i].status || a.text != expected[i].text) ++mismatches[t];
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace qrv_test
