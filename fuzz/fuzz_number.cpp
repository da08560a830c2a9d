// The number text rule. The first eight bytes are a double's bits: its text
// must have the rule's shape, be no longer than the shortest round-trip digits
// and read back to the same bits. The bytes are also read as a number, whose
// text must read back to the value read.
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_checks.h"
#include "score/score.h"

using namespace quorvel;

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The fewest significant digits with which printf's correctly rounded
// scientific form reads back as x.
int printf_digits(double x) {
  char buf[64];
  for (int precision = 0; precision < 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*e", precision, x);
    if (std::strtod(buf, nullptr) == x) return precision + 1;
  }
  return 17;
}

// Reads `text` with the project's reader: it must be exactly one float.
double read_back(const std::string& text) {
  try {
    json::Reader reader(text);
    const json::Value value = reader.read_value();
    reader.finish();
    fuzz::check(value.kind() == json::Kind::floating, "a number text reads back as no float", text);
    return value.as_float();
  } catch (const json::ReadError& e) {
    fuzz::fail("a number text does not read back", e.text(text));
  }
}

void check_shape(double x, const std::string& text) {
  std::string_view s = text;
  fuzz::check(!s.empty(), "an empty number text");
  fuzz::check(std::signbit(x) == (s[0] == '-'), "a number text with the wrong sign", text);
  if (s[0] == '-') s.remove_prefix(1);
  if (x == 0.0) {
    fuzz::check(s == "0.0", "zero is not written 0.0", text);
    return;
  }
  int exponent = 0;
  std::string digits;
  const std::size_t e = s.find('e');
  if (e != std::string_view::npos) {
    // d[.ddd]e+N or d[.ddd]e-N
    const std::string_view mantissa = s.substr(0, e);
    const std::string_view power = s.substr(e + 1);
    fuzz::check(!mantissa.empty() && mantissa[0] >= '1' && mantissa[0] <= '9',
                "an exponent form that does not start with a non-zero digit", text);
    digits += mantissa[0];
    if (mantissa.size() > 1) {
      fuzz::check(mantissa[1] == '.' && mantissa.size() > 2, "a malformed mantissa", text);
      for (char c : mantissa.substr(2)) {
        fuzz::check(is_digit(c), "a malformed mantissa", text);
        digits += c;
      }
      fuzz::check(digits.back() != '0', "a mantissa with a trailing zero", text);
    }
    fuzz::check(power.size() >= 2 && (power[0] == '+' || power[0] == '-') && power[1] != '0',
                "an exponent without its sign or with a leading zero", text);
    for (char c : power.substr(1)) {
      fuzz::check(is_digit(c), "a malformed exponent", text);
      exponent = exponent * 10 + (c - '0');
    }
    if (power[0] == '-') exponent = -exponent;
    fuzz::check(exponent < -5 || exponent > 15, "the exponent form for a positional number", text);
  } else {
    const std::size_t dot = s.find('.');
    fuzz::check(dot != std::string_view::npos && dot > 0 && dot + 1 < s.size(),
                "a positional number without digits on both sides of its point", text);
    const std::string_view whole = s.substr(0, dot);
    const std::string_view fraction = s.substr(dot + 1);
    for (char c : whole) fuzz::check(is_digit(c), "a malformed whole part", text);
    for (char c : fraction) fuzz::check(is_digit(c), "a malformed fraction", text);
    fuzz::check(whole == "0" || whole[0] != '0', "a whole part with a leading zero", text);
    fuzz::check(fraction == "0" || fraction.back() != '0', "a fraction with a trailing zero", text);
    std::string all = std::string(whole) + std::string(fraction);
    if (whole == "0") {
      const std::size_t first = fraction.find_first_not_of('0');
      exponent = -static_cast<int>(first) - 1;
      all = std::string(fraction.substr(first));
    } else {
      exponent = static_cast<int>(whole.size()) - 1;
    }
    while (all.size() > 1 && all.back() == '0') all.pop_back();
    digits = all;
    fuzz::check(exponent >= -5 && exponent <= 15, "the positional form outside its range", text);
  }
  fuzz::check(static_cast<int>(digits.size()) <= printf_digits(x),
              "a number text longer than the shortest round trip", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t bits = 0;
  if (size > 0) std::memcpy(&bits, data, size < 8 ? size : 8);
  const double x = std::bit_cast<double>(bits);
  const json::Value number = score::to_json_number(x);
  if (!std::isfinite(x)) {
    fuzz::check(number.kind() == json::Kind::string && number.as_string() == "naneinf",
                "a non-finite number is not naneinf");
  } else {
    fuzz::check(number.kind() == json::Kind::floating, "a finite number is not a float");
    const std::string text = json::number_text(x);
    check_shape(x, text);
    const double back = read_back(text);
    fuzz::check(std::bit_cast<std::uint64_t>(back) == bits, "a number text reads back otherwise",
                text);
    fuzz::check(std::strtod(text.c_str(), nullptr) == x, "strtod reads a number text otherwise",
                text);
    fuzz::check(json::to_text(number) == text, "the answer writes a number otherwise", text);
  }

  // The bytes as number text: whatever float the reader takes from them is
  // written so that it reads back the same.
  const std::string_view input = fuzz::text_of(data, size);
  try {
    json::Reader reader(input);
    const json::Value value = reader.read_value();
    reader.finish();
    if (value.kind() == json::Kind::floating) {
      const std::string text = json::number_text(value.as_float());
      check_shape(value.as_float(), text);
      fuzz::check(std::bit_cast<std::uint64_t>(read_back(text)) ==
                      std::bit_cast<std::uint64_t>(value.as_float()),
                  "a number read and written reads back otherwise", text);
    }
  } catch (const json::ReadError& e) {
    fuzz::check_error_text(e.text(input), input);
  }
  return 0;
}
