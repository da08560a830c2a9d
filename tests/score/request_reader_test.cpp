// Reading score requests: object and array forms, the request's own
// messages, and the reading rules for the whole input.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "json/writer.h"
#include "score/request.h"
#include "score/request_reader.h"
#include "support/text.h"

namespace quorvel::score {
namespace {

using namespace std::literals;

struct Case {
  std::string_view input;
  std::string_view expected;  // "OK" or the error text
};

constexpr Case kCases[] = {
    {"{\"play\":[1]}"sv, "missing field `snapshot` at line 1 column 12"sv},
    {"{}"sv, "missing field `snapshot` at line 1 column 2"sv},
    {"{\"snapshot\":{}}"sv, "missing field `play` at line 1 column 15"sv},
    {"{\"play\":[],\"snapshot\":{}}"sv, "OK"sv},
    {"[]"sv, "invalid length 0, expected struct ScoreRequest with 2 elements at line 1 column 2"sv},
    {"[{}]"sv,
     "invalid length 1, expected struct ScoreRequest with 2 elements at line 1 column 4"sv},
    {"[{\"schema\":1},[]]"sv, "OK"sv},
    {"[{},[],1]"sv, "trailing characters at line 1 column 8"sv},
    {"[{},[]  ,  ]"sv, "trailing comma at line 1 column 12"sv},
    {"[{},[] x]"sv, "trailing characters at line 1 column 8"sv},
    {"[{},[],"sv, "EOF while parsing a value at line 1 column 7"sv},
    {"null"sv, "invalid type: null, expected struct ScoreRequest at line 1 column 4"sv},
    {"\"req\""sv,
     "invalid type: string \"req\", expected struct ScoreRequest at line 1 column 5"sv},
    {"5"sv, "invalid type: integer `5`, expected struct ScoreRequest at line 1 column 1"sv},
    {"-2.5"sv,
     "invalid type: floating point `-2.5`, expected struct ScoreRequest at line 1 column 4"sv},
    {"true"sv, "invalid type: boolean `true`, expected struct ScoreRequest at line 1 column 4"sv},
    {""sv, "EOF while parsing a value at line 1 column 0"sv},
    {"{\"snapshot\":1,\"snapshot\":2,\"play\":[]}"sv,
     "duplicate field `snapshot` at line 1 column 24"sv},
    {"{\"play\":[],\"play\":[]}"sv, "duplicate field `play` at line 1 column 17"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[1.0]}"sv,
     "invalid type: floating point `1.0`, expected i64 at line 1 column 36"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[9223372036854775808]}"sv,
     "invalid value: integer `9223372036854775808`, expected i64 at line 1 column 52"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[-9223372036854775808]}"sv, "OK"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":null}"sv,
     "invalid type: null, expected a sequence at line 1 column 36"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":{}}"sv,
     "invalid type: map, expected a sequence at line 1 column 32"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[\"1\"]}"sv,
     "invalid type: string \"1\", expected i64 at line 1 column 36"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[],\"version\":3}"sv, "OK"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[]} \n\t\r"sv, "OK"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[]} {}"sv, "trailing characters at line 1 column 37"sv},
    {"{\"snapshot\":{\"x\":\"\xff\"},\"play\":[]}"sv,
     "invalid unicode code point at line 1 column 20"sv},
    {"{\"snapshot\":{\"x\":1e400},\"play\":[]}"sv, "number out of range at line 1 column 22"sv},
    {"{\"snapshot\":{\"\\ud800\":1},\"play\":[]}"sv,
     "unexpected end of hex escape at line 1 column 21"sv},
    {"{\"snapshot\":null,\"play\":[]}"sv, "OK"sv},
    {"{\"snapshot\":,\"play\":[]}"sv, "expected value at line 1 column 13"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[1,]}"sv, "trailing comma at line 1 column 36"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[1 2]}"sv, "expected `,` or `]` at line 1 column 36"sv},
    {"{\"x\":\"\xff\",\"snapshot\":1,\"play\":[]}"sv, "OK"sv},
    {"{\"snapshot\":{\"schema\":1},\"play\":[1],}"sv, "trailing comma at line 1 column 37"sv},
    {"{\"snapshot\":{\"schema\":1}"sv, "EOF while parsing an object at line 1 column 24"sv},
    {"\xef\xbb\xbf{\"snapshot\":{},\"play\":[]}"sv, "expected value at line 1 column 1"sv},
};

std::string outcome(std::string_view input) {
  auto r = read_request(input);
  if (const auto* error = std::get_if<std::string>(&r)) return *error;
  return "OK";
}

TEST(RequestReader, Table) {
  for (const Case& c : kCases) EXPECT_EQ(outcome(c.input), c.expected) << "input: " << c.input;
}

TEST(RequestReader, KeepsTheSnapshotTreeAndThePlay) {
  auto r = read_request(
      R"({"version":1,"play":[12,-40,12],"snapshot":{"schema":1,"schema":2.0,"hand":[{"id":12}],"x":[1e2,-0]}})");
  ASSERT_TRUE(std::holds_alternative<ScoreRequest>(r)) << std::get<std::string>(r);
  const ScoreRequest& request = std::get<ScoreRequest>(r);
  EXPECT_EQ(request.play, (std::vector<std::int64_t>{12, -40, 12}));
  // A repeated key keeps its later value; numbers keep their kind.
  EXPECT_EQ(json::to_text(request.snapshot),
            R"({"hand":[{"id":12}],"schema":2.0,"x":[100.0,-0.0]})");

  r = read_request(R"([[1],[]])");
  ASSERT_TRUE(std::holds_alternative<ScoreRequest>(r));
  EXPECT_EQ(json::to_text(std::get<ScoreRequest>(r).snapshot), "[1]");
  EXPECT_TRUE(std::get<ScoreRequest>(r).play.empty());
}

// The nesting limit holds for the request as a whole: the request object is
// level 1, so the snapshot value may hold 126 levels.
TEST(RequestReader, NestingLimitCountsTheRequest) {
  auto request = [](int depth) {
    return R"({"play":[],"snapshot":)" + std::string(depth, '[') + std::string(depth, ']') + "}";
  };
  EXPECT_EQ(outcome(request(126)), "OK");
  EXPECT_EQ(outcome(request(127)), "recursion limit exceeded at line 1 column 149");
}

// A request whose snapshot is read in place answers as the rewritten snapshot
// does; where the tree or the snapshot's rules refuse it, the reading in
// place refuses it too and the answer is the rewritten snapshot's.
TEST(RequestReader, InPlaceReadingAnswersAsTheRewrittenSnapshot) {
  const std::string card = R"({"id":7,"rank":9,"suit":"Clubs")";
  auto request = [](std::string_view snapshot) {
    return R"({"play":[7],"snapshot":{"schema":1,)" + std::string(snapshot) + "}}";
  };
  struct InPlace {
    std::string input;
    bool read;  // whether the reading in place gives the request
  };
  const InPlace cases[] = {
      {request(R"("hand":[)" + card + "}]"), true},
      {request(R"("hand":[[7,9,"Clubs"]],"lobby":true,"x":[{"y":null}])"), true},
      {request(R"("h\u0061nd":[)" + card + R"(,"enh":"m_gl\u0061ss"}])"), true},
      // Skipped members are checked as the tree reads them.
      {request(R"("hand":[)" + card + ",\"note\":\"\xff\"}]"), false},
      {request(R"("hand":[)" + card + ",\"note\":{\"\xc0\xaf\":0}}]"), false},
      {request(R"("hand":[)" + card + R"(,"note":[1e400]}])"), false},
      {request(R"("hand":[)" + card + R"(}],"x":)" + std::string(125, '[') + std::string(125, ']')),
       true},
      {request(R"("hand":[)" + card + R"(}],"x":)" + std::string(126, '[') + std::string(126, ']')),
       false},
      // The tree keeps the later of two equal keys; the records refuse them.
      {request(R"("schema":2,"hand":[)" + card + "}]"), false},
      {request(R"("hand":[)" + card + R"(}],"options":{"objective":{"money":null,"money":null}})"),
       false},
      // Refused by the snapshot's rules or checks, or by the play.
      {request(R"("hand":[{"rank":9}])"), false},
      {request(R"("hand":[{"id":7,"rank":[1,{"a":")"
               "\x80"
               R"("}]}])"),
       false},
      {request(R"("hand":[)" + card + R"(}],"options":{"seeded":true})"), true},
      {request(R"("hand":[])"), true},
      {R"({"snapshot":{"schema":1},"play":[1,]})", false},
  };
  for (const InPlace& c : cases) {
    EXPECT_EQ(read_parsed_request(c.input).has_value(), c.read) << c.input;
    const RequestResult direct = score_request(c.input);
    const RequestResult rewritten = score_request_rewritten(c.input);
    EXPECT_EQ(direct.error, rewritten.error) << c.input;
    EXPECT_EQ(direct.text, rewritten.text) << c.input;
  }
}

}  // namespace
}  // namespace quorvel::score
