// Compact writing of value trees: escapes, key order, number kinds.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "json/reader.h"
#include "json/writer.h"
#include "support/text.h"

namespace quorvel::json {
namespace {

using namespace std::literals;

TEST(Writer, Scalars) {
  EXPECT_EQ(to_text(Value()), "null");
  EXPECT_EQ(to_text(Value(true)), "true");
  EXPECT_EQ(to_text(Value(false)), "false");
  EXPECT_EQ(to_text(Value(std::uint64_t{0})), "0");
  EXPECT_EQ(to_text(Value(std::numeric_limits<std::uint64_t>::max())), "18446744073709551615");
  EXPECT_EQ(to_text(Value(std::int64_t{-12})), "-12");
  EXPECT_EQ(to_text(Value(std::numeric_limits<std::int64_t>::min())), "-9223372036854775808");
  EXPECT_EQ(to_text(Value(120.0)), "120.0");
  EXPECT_EQ(to_text(Value(-0.0)), "-0.0");
  EXPECT_EQ(to_text(Value(1e20)), "1e+20");
  EXPECT_EQ(to_text(Value(std::numeric_limits<double>::infinity())), "null");
  EXPECT_EQ(to_text(Value(std::numeric_limits<double>::quiet_NaN())), "null");
}

TEST(Writer, StringEscapes) {
  EXPECT_EQ(to_text(Value("")), R"("")");
  EXPECT_EQ(to_text(Value("a\"b\\c")), R"("a\"b\\c")");
  EXPECT_EQ(to_text(Value("\b\f\n\r\t")), R"("\b\f\n\r\t")");
  EXPECT_EQ(to_text(Value(std::string("\x00\x01\x1f\x0b\x7f", 5))),
            "\"\\u0000\\u0001\\u001f\\u000b\x7f\"");
  EXPECT_EQ(to_text(Value("/ é € 😀")), "\"/ é € 😀\"");
  // Bytes that are not UTF-8 pass unchanged; the writer does not judge them.
  EXPECT_EQ(to_text(Value(std::string("\xff\xfe"))), "\"\xff\xfe\"");
}

TEST(Writer, ArraysAndObjectsInKeyOrder) {
  Object o;
  o.emplace("b", Value(std::uint64_t{1}));
  o.emplace("a", Value(Array{Value(), Value(true), Value("x")}));
  o.emplace("", Value(Object{}));
  o.emplace("\xc3\xa9", Value(std::int64_t{-1}));  // é sorts after every ASCII key
  o.emplace("B", Value(Array{}));
  o.emplace("aa", Value(0.5));
  EXPECT_EQ(to_text(Value(std::move(o))),
            "{\"\":{},\"B\":[],\"a\":[null,true,\"x\"],\"aa\":0.5,\"b\":1,\"\xc3\xa9\":-1}");
}

TEST(Writer, KeysAreEscapedLikeStrings) {
  Object o;
  o.emplace("q\"\n", Value());
  EXPECT_EQ(to_text(Value(std::move(o))), R"({"q\"\n":null})");
}

// Reading the written text gives the same tree back (number kinds included).
TEST(Writer, ReadBackGivesTheSameText) {
  const std::string_view docs[] = {
      R"({"z":[1,-1,1.5,-0.0,1e+300,"\u0001\"\\/é"],"a":{"y":null,"x":[[],{}]},"m":18446744073709551615})",
      R"([0,-9223372036854775808,1.0,0.00001,1e-6,true,false])",
  };
  for (std::string_view doc : docs) {
    Reader r(doc);
    Value v = r.read_value();
    r.finish();
    std::string text = to_text(v);
    Reader again(text);
    Value w = again.read_value();
    EXPECT_EQ(to_text(w), text);
  }
  Reader r(R"({"b":1,"a":2,"b":3})");
  EXPECT_EQ(to_text(r.read_value()), R"({"a":2,"b":3})");
}

}  // namespace
}  // namespace quorvel::json
