// The reader on its own: one value read in full (read_value) or skipped
// (skip_value), then only whitespace. The two differ where skipping checks
// syntax only: UTF-8, surrogate escapes and number range are not checked;
// every syntax error gives the same message and position either way.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "json/reader.h"
#include "json/writer.h"
#include "support/text.h"

namespace quorvel::json {
namespace {

using namespace std::literals;

struct Case {
  std::string_view input;
  std::string_view read;  // outcome of read_value + finish
  std::string_view skip;  // outcome of skip_value + finish
};

constexpr Case kCases[] = {
    {""sv, "EOF while parsing a value at line 1 column 0"sv,
     "EOF while parsing a value at line 1 column 0"sv},
    {" "sv, "EOF while parsing a value at line 1 column 1"sv,
     "EOF while parsing a value at line 1 column 1"sv},
    {"x"sv, "expected value at line 1 column 1"sv, "expected value at line 1 column 1"sv},
    {"null"sv, "OK"sv, "OK"sv},
    {"nul"sv, "EOF while parsing a value at line 1 column 3"sv,
     "EOF while parsing a value at line 1 column 3"sv},
    {"nulx"sv, "expected ident at line 1 column 4"sv, "expected ident at line 1 column 4"sv},
    {"true"sv, "OK"sv, "OK"sv},
    {"tru"sv, "EOF while parsing a value at line 1 column 3"sv,
     "EOF while parsing a value at line 1 column 3"sv},
    {"trux"sv, "expected ident at line 1 column 4"sv, "expected ident at line 1 column 4"sv},
    {"false"sv, "OK"sv, "OK"sv},
    {"fals"sv, "EOF while parsing a value at line 1 column 4"sv,
     "EOF while parsing a value at line 1 column 4"sv},
    {"0"sv, "OK"sv, "OK"sv},
    {"-0"sv, "OK"sv, "OK"sv},
    {"01"sv, "invalid number at line 1 column 2"sv, "invalid number at line 1 column 2"sv},
    {"-01"sv, "invalid number at line 1 column 3"sv, "invalid number at line 1 column 3"sv},
    {"-"sv, "EOF while parsing a value at line 1 column 1"sv,
     "EOF while parsing a value at line 1 column 1"sv},
    {"-x"sv, "invalid number at line 1 column 2"sv, "invalid number at line 1 column 2"sv},
    {"1."sv, "EOF while parsing a value at line 1 column 2"sv,
     "EOF while parsing a value at line 1 column 2"sv},
    {"1.x"sv, "invalid number at line 1 column 3"sv, "invalid number at line 1 column 3"sv},
    {"1e"sv, "EOF while parsing a value at line 1 column 2"sv,
     "EOF while parsing a value at line 1 column 2"sv},
    {"1e+"sv, "EOF while parsing a value at line 1 column 3"sv,
     "EOF while parsing a value at line 1 column 3"sv},
    {"1ex"sv, "invalid number at line 1 column 3"sv, "invalid number at line 1 column 3"sv},
    {"1e+x"sv, "invalid number at line 1 column 4"sv, "invalid number at line 1 column 4"sv},
    {"1.5e3"sv, "OK"sv, "OK"sv},
    {"1e400"sv, "number out of range at line 1 column 5"sv, "OK"sv},
    {"-1e400"sv, "number out of range at line 1 column 6"sv, "OK"sv},
    {"1e-400"sv, "OK"sv, "OK"sv},
    {"1e99999999999"sv, "number out of range at line 1 column 12"sv, "OK"sv},
    {"1e-99999999999"sv, "OK"sv, "OK"sv},
    {"0e99999999999"sv, "OK"sv, "OK"sv},
    {"18446744073709551616"sv, "OK"sv, "OK"sv},
    {"-9223372036854775809"sv, "OK"sv, "OK"sv},
    {"\"abc"sv, "EOF while parsing a string at line 1 column 4"sv,
     "EOF while parsing a string at line 1 column 4"sv},
    {"\"\\"sv, "EOF while parsing a string at line 1 column 2"sv,
     "EOF while parsing a string at line 1 column 2"sv},
    {"\"\\x\""sv, "invalid escape at line 1 column 3"sv, "invalid escape at line 1 column 3"sv},
    {"\"\\u12\""sv, "EOF while parsing a string at line 1 column 6"sv,
     "EOF while parsing a string at line 1 column 6"sv},
    {"\"\\u12x4\""sv, "invalid escape at line 1 column 7"sv, "invalid escape at line 1 column 7"sv},
    {"\"\\u00e9\""sv, "OK"sv, "OK"sv},
    {"\"\\ud800\""sv, "unexpected end of hex escape at line 1 column 8"sv, "OK"sv},
    {"\"\\ud800\\ud800\""sv, "lone leading surrogate in hex escape at line 1 column 13"sv, "OK"sv},
    {"\"\\udfff\""sv, "lone leading surrogate in hex escape at line 1 column 7"sv, "OK"sv},
    {"\"\\ud800\\\""sv, "unexpected end of hex escape at line 1 column 9"sv,
     "EOF while parsing a string at line 1 column 9"sv},
    {"\"\\ud800"sv, "EOF while parsing a string at line 1 column 7"sv,
     "EOF while parsing a string at line 1 column 7"sv},
    {"\"\\ud800\\u"sv, "EOF while parsing a string at line 1 column 9"sv,
     "EOF while parsing a string at line 1 column 9"sv},
    {"\"\x00\""sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 2"sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 2"sv},
    {"\"\x1f\""sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 2"sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 2"sv},
    {"\"\x7f\""sv, "OK"sv, "OK"sv},
    {"\"\xff\""sv, "invalid unicode code point at line 1 column 3"sv, "OK"sv},
    {"\"\xe2\x82\""sv, "invalid unicode code point at line 1 column 4"sv, "OK"sv},
    {"\"\xf4\x90\x80\x80\""sv, "invalid unicode code point at line 1 column 6"sv, "OK"sv},
    {"\"\xf0\x9f\x98\x80\""sv, "OK"sv, "OK"sv},
    {"["sv, "EOF while parsing a list at line 1 column 1"sv,
     "EOF while parsing a list at line 1 column 1"sv},
    {"[1"sv, "EOF while parsing a list at line 1 column 2"sv,
     "EOF while parsing a list at line 1 column 2"sv},
    {"[1,"sv, "EOF while parsing a value at line 1 column 3"sv,
     "EOF while parsing a value at line 1 column 3"sv},
    {"[1,]"sv, "trailing comma at line 1 column 4"sv, "trailing comma at line 1 column 4"sv},
    {"[,1]"sv, "expected value at line 1 column 2"sv, "expected value at line 1 column 2"sv},
    {"[1 2]"sv, "expected `,` or `]` at line 1 column 4"sv,
     "expected `,` or `]` at line 1 column 4"sv},
    {"[1:2]"sv, "expected `,` or `]` at line 1 column 3"sv,
     "expected `,` or `]` at line 1 column 3"sv},
    {"]"sv, "expected value at line 1 column 1"sv, "expected value at line 1 column 1"sv},
    {"[]]"sv, "trailing characters at line 1 column 3"sv,
     "trailing characters at line 1 column 3"sv},
    {"[] x"sv, "trailing characters at line 1 column 4"sv,
     "trailing characters at line 1 column 4"sv},
    {"[]\n\n  x"sv, "trailing characters at line 3 column 3"sv,
     "trailing characters at line 3 column 3"sv},
    {"{"sv, "EOF while parsing an object at line 1 column 1"sv,
     "EOF while parsing an object at line 1 column 1"sv},
    {"{\"a\""sv, "EOF while parsing an object at line 1 column 4"sv,
     "EOF while parsing an object at line 1 column 4"sv},
    {"{\"a\":"sv, "EOF while parsing a value at line 1 column 5"sv,
     "EOF while parsing a value at line 1 column 5"sv},
    {"{\"a\":1"sv, "EOF while parsing an object at line 1 column 6"sv,
     "EOF while parsing an object at line 1 column 6"sv},
    {"{\"a\":1,"sv, "EOF while parsing a value at line 1 column 7"sv,
     "EOF while parsing a value at line 1 column 7"sv},
    {"{\"a\":1,}"sv, "trailing comma at line 1 column 8"sv, "trailing comma at line 1 column 8"sv},
    {"{,}"sv, "key must be a string at line 1 column 2"sv,
     "key must be a string at line 1 column 2"sv},
    {"{1:2}"sv, "key must be a string at line 1 column 2"sv,
     "key must be a string at line 1 column 2"sv},
    {"{\"a\" 1}"sv, "expected `:` at line 1 column 6"sv, "expected `:` at line 1 column 6"sv},
    {"{\"a\":1 \"b\":2}"sv, "expected `,` or `}` at line 1 column 8"sv,
     "expected `,` or `}` at line 1 column 8"sv},
    {"{\"a\":1}}"sv, "trailing characters at line 1 column 8"sv,
     "trailing characters at line 1 column 8"sv},
    {"{\"\xff\":1}"sv, "invalid unicode code point at line 1 column 4"sv, "OK"sv},
    {"{\"a\":1,\"a\":2}"sv, "OK"sv, "OK"sv},
    {"}"sv, "expected value at line 1 column 1"sv, "expected value at line 1 column 1"sv},
    {"[{\"a\":[{\"b\":[1,2,{\"c\":\"\\u0041\"}]}]}]"sv, "OK"sv, "OK"sv},
    {"\xef\xbb\xbf[]"sv, "expected value at line 1 column 1"sv,
     "expected value at line 1 column 1"sv},
    {"\x0c[]"sv, "expected value at line 1 column 1"sv, "expected value at line 1 column 1"sv},
    {"[\x0c]"sv, "expected value at line 1 column 2"sv, "expected value at line 1 column 2"sv},
    {"[1]\x00"sv, "trailing characters at line 1 column 4"sv,
     "trailing characters at line 1 column 4"sv},
};

std::string outcome(std::string_view input, bool skip) {
  try {
    Reader r(input);
    if (skip) {
      r.skip_value();
    } else {
      r.read_value();
    }
    r.finish();
  } catch (const ReadError& e) {
    return e.text(input);
  }
  return "OK";
}

TEST(Reader, ReadAndSkipTable) {
  for (const Case& c : kCases) {
    EXPECT_EQ(outcome(c.input, false), c.read) << "read: " << c.input;
    EXPECT_EQ(outcome(c.input, true), c.skip) << "skip: " << c.input;
  }
}

TEST(Reader, EveryMessageIsDistinct) {
  std::set<std::string_view> texts;
  for (int i = 0; i <= static_cast<int>(Syntax::recursion_limit); ++i) {
    std::string_view text = message(static_cast<Syntax>(i));
    EXPECT_FALSE(text.empty());
    EXPECT_TRUE(texts.insert(text).second) << text;
  }
  EXPECT_EQ(message(Syntax::control_character),
            "control character (\\u0000-\\u001F) found while parsing a string");
}

TEST(Reader, Positions) {
  EXPECT_EQ(position_of("", 0).line, 1u);
  EXPECT_EQ(position_of("", 0).column, 0u);
  EXPECT_EQ(position_of("ab\ncd", 2).column, 2u);
  EXPECT_EQ(position_of("ab\ncd", 3).line, 2u);  // just past the line feed
  EXPECT_EQ(position_of("ab\ncd", 3).column, 0u);
  EXPECT_EQ(position_of("ab\n\ncd", 6).line, 3u);
  EXPECT_EQ(position_of("ab\n\ncd", 6).column, 2u);
  EXPECT_EQ(ReadError("m", 4).text("a\r\nbc"), "m at line 2 column 1");
}

Value read(std::string_view text) {
  Reader r(text);
  Value v = r.read_value();
  r.finish();
  return v;
}

TEST(Reader, NumberKinds) {
  EXPECT_EQ(read("0").kind(), Kind::unsigned_int);
  EXPECT_EQ(read("18446744073709551615").as_unsigned(), std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(read("-1").as_signed(), -1);
  EXPECT_EQ(read("-9223372036854775808").as_signed(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(read("-9223372036854775809").kind(), Kind::floating);
  EXPECT_EQ(read("-9223372036854775809").as_float(), -9223372036854775808.0);
  EXPECT_EQ(read("18446744073709551616").kind(), Kind::floating);
  EXPECT_EQ(read("18446744073709551616").as_float(), 18446744073709551616.0);
  EXPECT_EQ(read("1.0").kind(), Kind::floating);
  EXPECT_EQ(read("1e2").as_float(), 100.0);
  EXPECT_EQ(read("1E+2").as_float(), 100.0);
  EXPECT_EQ(read("25e-1").as_float(), 2.5);
  EXPECT_EQ(read("0.1").as_float(), 0.1);
  EXPECT_EQ(read("-0").kind(), Kind::floating);
  EXPECT_TRUE(std::signbit(read("-0").as_float()));
  EXPECT_TRUE(std::signbit(read("-1e-400").as_float()));
  EXPECT_EQ(read("1e-400").as_float(), 0.0);
  EXPECT_EQ(read("0e99999999999").as_float(), 0.0);
  EXPECT_EQ(read("5e-324").as_float(), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(read("1.7976931348623157e308").as_float(), std::numeric_limits<double>::max());
  EXPECT_EQ(read("123456789012345678901234567890").as_float(), 1.2345678901234568e29);
  EXPECT_EQ(read("0.1000000000000000055511151231257827021181583404541015625").as_float(), 0.1);
}

// The integer fast paths stop at their safe digit counts; one digit more is
// read by the whole grammar, to the same kinds and values.
TEST(Reader, IntegerFastPathsAtTheirDigitLimits) {
  // `lead` then `digits` times `fill`.
  auto number = [](std::string lead, std::size_t digits, char fill) {
    lead.append(digits, fill);
    return lead;
  };
  EXPECT_EQ(read(number("", Reader::kSafeDigits64, '9')).as_unsigned(), 9999999999999999999u);
  EXPECT_EQ(read(number("1", Reader::kSafeDigits64, '0')).as_unsigned(), 10000000000000000000u);
  EXPECT_EQ(read(number("", Reader::kSafeDigits64 + 1, '9')).kind(), Kind::floating);
  EXPECT_EQ(read(number("-", Reader::kSafeDigits64, '9')).as_float(), -1e19);

  auto short_integer = [](const std::string& text) {
    Reader r(text);
    const std::optional<double> n = r.parse_short_integer();
    return std::pair(n, r.offset());
  };
  const std::optional<double> none;
  const std::size_t nothing = 0;
  EXPECT_EQ(short_integer(number("", Reader::kSafeDigits32, '9')),
            std::pair(std::optional(999999999.0), Reader::kSafeDigits32));
  EXPECT_EQ(short_integer(number("", Reader::kSafeDigits32, '9') + ","),
            std::pair(std::optional(999999999.0), Reader::kSafeDigits32));
  EXPECT_EQ(short_integer(number("1", Reader::kSafeDigits32, '0')), std::pair(none, nothing));
  EXPECT_EQ(short_integer("4294967296"), std::pair(none, nothing));
  EXPECT_EQ(short_integer("0"), std::pair(std::optional(0.0), std::size_t{1}));
  EXPECT_EQ(short_integer("01"), std::pair(none, nothing));
  EXPECT_EQ(short_integer("7.5"), std::pair(none, nothing));
}

TEST(Reader, ObjectsKeepTheLaterValueInKeyOrder) {
  Value v = read(R"({"b":1,"a":{"x":1},"b":[2],"a":null})");
  ASSERT_EQ(v.kind(), Kind::object);
  EXPECT_EQ(to_text(v), R"({"a":null,"b":[2]})");
  EXPECT_NE(v.find("b"), nullptr);
  EXPECT_EQ(v.find("c"), nullptr);
  EXPECT_EQ(read("[1]").find("a"), nullptr);
}

TEST(Reader, StringsDecodeToUtf8) {
  EXPECT_EQ(read(R"("\u0041\u00e9\u20ac\ud834\udd1e")").as_string(), "Aé€\U0001D11E");
  EXPECT_EQ(read(R"("\u0000")").as_string(), std::string(1, '\0'));
  EXPECT_EQ(read(R"("a\/b")").as_string(), "a/b");
  EXPECT_EQ(read("\"\xf4\x8f\xbf\xbf\"").as_string(), "\xf4\x8f\xbf\xbf");
}

TEST(Reader, NestingLimitOfReadValues) {
  std::string ok = std::string(127, '[') + std::string(127, ']');
  EXPECT_EQ(outcome(ok, false), "OK");
  std::string deep = std::string(128, '[') + std::string(128, ']');
  EXPECT_EQ(outcome(deep, false), "recursion limit exceeded at line 1 column 128");
  EXPECT_EQ(outcome(deep, true), "OK");
  std::string objects;
  for (int i = 0; i < 128; ++i) objects += R"({"a":)";
  objects += "1" + std::string(128, '}');
  EXPECT_EQ(outcome(objects, false), "recursion limit exceeded at line 1 column 636");
  EXPECT_EQ(outcome(objects, true), "OK");
}

TEST(Reader, FoundDescriptions) {
  EXPECT_EQ(describe_string("a\"b\\c\n\r\t"), R"(string "a\"b\\c\n\r\t")");
  EXPECT_EQ(describe_string(std::string("\0\x1b\x7f'", 4)), R"(string "\0\u{1b}\u{7f}'")");
  EXPECT_EQ(describe_string("é€😀"), "string \"é€😀\"");
  EXPECT_EQ(describe_string("e\u0301\u200b"), R"(string "e\u{301}\u{200b}")");
  Number n{Number::Kind::unsigned_int};
  n.u = 5;
  EXPECT_EQ(describe_number(n), "integer `5`");
  n = Number{Number::Kind::signed_int};
  n.i = -5;
  EXPECT_EQ(describe_number(n), "integer `-5`");
  n = Number{Number::Kind::floating};
  n.f = 1.0;
  EXPECT_EQ(describe_number(n), "floating point `1.0`");
  n.f = 1e16;
  EXPECT_EQ(describe_number(n), "floating point `1e+16`");
}

}  // namespace
}  // namespace quorvel::json
