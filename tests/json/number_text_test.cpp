// The number text rule: shortest round-trip digits, positional for decimal
// exponents -5..15, exponent form with a signed exponent otherwise.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "json/writer.h"

namespace quorvel::json {
namespace {

struct Case {
  double value;
  const char* text;
};

TEST(NumberText, Examples) {
  const Case cases[] = {
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {1.0, "1.0"},
      {-1.0, "-1.0"},
      {120.0, "120.0"},
      {300.0, "300.0"},
      {12.5, "12.5"},
      {0.5, "0.5"},
      {0.1, "0.1"},
      {0.000123, "0.000123"},
      {1e15, "1000000000000000.0"},
      {1e16, "1e+16"},
      {1.5e16, "1.5e+16"},
      {1.2345678901234568e17, "1.2345678901234568e+17"},
      {1e20, "1e+20"},
      {1e-5, "0.00001"},
      {1e-6, "1e-6"},
      {2.5e-7, "2.5e-7"},
      {5e-324, "5e-324"},
      {std::numeric_limits<double>::denorm_min(), "5e-324"},
      {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
      {-std::numeric_limits<double>::max(), "-1.7976931348623157e+308"},
      {std::numeric_limits<double>::min(), "2.2250738585072014e-308"},
      {123456789.125, "123456789.125"},
      {0.30000000000000004, "0.30000000000000004"},
      {9007199254740993.0, "9007199254740992.0"},
      {18446744073709551616.0, "1.8446744073709552e+19"},
      {-9.223372036854776e18, "-9.223372036854776e+18"},
      {1.25, "1.25"},
      {100.0, "100.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(number_text(c.value), c.text) << c.text;
}

// Both sides of each switch between positional and exponent form.
TEST(NumberText, SwitchPoints) {
  EXPECT_EQ(number_text(0.00001), "0.00001");
  EXPECT_EQ(number_text(0.000015), "0.000015");
  EXPECT_EQ(number_text(0.0000099), "9.9e-6");
  EXPECT_EQ(number_text(0.000001), "1e-6");
  EXPECT_EQ(number_text(-0.00001), "-0.00001");
  EXPECT_EQ(number_text(-0.000001), "-1e-6");
  EXPECT_EQ(number_text(999999999999999.9), "999999999999999.9");
  EXPECT_EQ(number_text(1e15), "1000000000000000.0");
  EXPECT_EQ(number_text(1.5e15), "1500000000000000.0");
  EXPECT_EQ(number_text(9999999999999998.0), "9999999999999998.0");
  EXPECT_EQ(number_text(1e16), "1e+16");
  EXPECT_EQ(number_text(-1e16), "-1e+16");
}

TEST(NumberText, NonFiniteIsNull) {
  EXPECT_EQ(number_text(std::numeric_limits<double>::infinity()), "null");
  EXPECT_EQ(number_text(-std::numeric_limits<double>::infinity()), "null");
  EXPECT_EQ(number_text(std::numeric_limits<double>::quiet_NaN()), "null");
}

double read_back(const std::string& text) {
  double value = 0.0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_EQ(r.ec, std::errc()) << text;
  EXPECT_EQ(r.ptr, text.data() + text.size()) << text;
  return value;
}

// Every finite bit pattern comes back bit for bit, and the text keeps the
// layout: a '.' or an exponent always, "e+"/"e-" only outside -5..15.
TEST(NumberText, RoundTripOfRandomBitPatterns) {
  std::mt19937_64 rng(20240601);
  int checked = 0;
  while (checked < 200000) {
    double x = std::bit_cast<double>(rng());
    if (!std::isfinite(x)) continue;
    ++checked;
    std::string text = number_text(x);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(read_back(text)), std::bit_cast<std::uint64_t>(x))
        << text;
    std::size_t e = text.find('e');
    if (e == std::string::npos) {
      ASSERT_NE(text.find('.'), std::string::npos) << text;
    } else {
      ASSERT_TRUE(text[e + 1] == '+' || text[e + 1] == '-') << text;
      int exp = std::stoi(text.substr(e + 1));
      ASSERT_TRUE(exp < -5 || exp > 15) << text;
    }
  }
}

// Round numbers and short decimals across the whole exponent range.
TEST(NumberText, RoundTripOfDecimalsAcrossExponents) {
  for (int e = -325; e <= 308; ++e) {
    for (double m : {1.0, 1.5, 9.99, 2.2250738585072014, 4.9406564584124654}) {
      double x = m * std::pow(10.0, e);
      if (!std::isfinite(x) || x == 0.0) continue;
      std::string text = number_text(x);
      ASSERT_EQ(read_back(text), x) << text;
      ASSERT_EQ(read_back(number_text(-x)), -x) << text;
    }
  }
}

}  // namespace
}  // namespace quorvel::json
