#include "json/reader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "json/writer.h"

namespace quorvel::json {

namespace {

constexpr std::string_view kMessages[] = {
    "EOF while parsing a list",
    "EOF while parsing an object",
    "EOF while parsing a string",
    "EOF while parsing a value",
    "expected `:`",
    "expected `,` or `]`",
    "expected `,` or `}`",
    "expected ident",
    "expected value",
    "invalid escape",
    "invalid number",
    "number out of range",
    "invalid unicode code point",
    "control character (\\u0000-\\u001F) found while parsing a string",
    "key must be a string",
    "lone leading surrogate in hex escape",
    "trailing comma",
    "trailing characters",
    "unexpected end of hex escape",
    "recursion limit exceeded",
};
static_assert(std::size(kMessages) == static_cast<std::size_t>(Syntax::recursion_limit) + 1,
              "one message per syntax error");

// Whether a string's byte needs attention: a control character, '"' or '\\',
// and, where the string is checked for UTF-8, any byte from 0x80 up.
template <bool kNonAscii>
constexpr bool stops_string(unsigned char c) {
  return c < 0x20 || c == '"' || c == '\\' || (kNonAscii && c >= 0x80);
}

// The offset of the first byte at or after `pos` that stops_string(), or
// `in.size()`: sixteen bytes at a time where SSE2 is there (every x86-64).
template <bool kNonAscii>
std::size_t scan_string(std::string_view in, std::size_t pos) {
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i space = _mm_set1_epi8(0x20);
  const __m128i last_control = _mm_set1_epi8(0x1F);
  while (in.size() - pos >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.data() + pos));
    __m128i stop = _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash));
    if constexpr (kNonAscii) {
      // A signed comparison: the bytes from 0x80 up count as negative.
      stop = _mm_or_si128(stop, _mm_cmplt_epi8(v, space));
    } else {
      stop = _mm_or_si128(stop, _mm_cmpeq_epi8(_mm_max_epu8(v, last_control), last_control));
    }
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(stop));
    if (mask != 0) return pos + static_cast<std::size_t>(std::countr_zero(mask));
    pos += 16;
  }
#endif
  while (pos < in.size() && !stops_string<kNonAscii>(static_cast<unsigned char>(in[pos]))) ++pos;
  return pos;
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void append_utf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence of a valid string.
std::uint32_t decode_utf8(const unsigned char*& p) {
  unsigned char c = *p++;
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
  std::uint32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) cp = (cp << 6) | (*p++ & 0x3F);
  return cp;
}

// Characters written as \u{h} in a found-description besides the control
// characters: the no-break space, format characters, separators, combining
// marks that would attach to the quote, private use and non-characters.
bool escape_in_description(std::uint32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  if (c < 0xA0) return false;
  return c == 0xA0 || c == 0xAD || (c >= 0x300 && c <= 0x36F) || c == 0x61C || c == 0x180E ||
         (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xE000 && c <= 0xF8FF) || (c >= 0xFE00 && c <= 0xFE0F) ||
         (c >= 0xFDD0 && c <= 0xFDEF) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0xFEFF ||
         (c >= 0xFFF0 && c <= 0xFFFB) || (c & 0xFFFE) == 0xFFFE || (c >= 0xE0000 && c <= 0xE0FFF) ||
         c >= 0xF0000;
}

// A scalar as read_scalar() gives it: as a value, and as the found-description.
Value value_of(std::nullptr_t) {
  return Value();
}
Value value_of(bool b) {
  return Value(b);
}
Value value_of(const Number& n) {
  return n.to_value();
}
Value value_of(std::string_view s) {
  return Value(std::string(s));
}
std::string describe(std::nullptr_t) {
  return "null";
}
std::string describe(bool b) {
  return b ? "boolean `true`" : "boolean `false`";
}
std::string describe(const Number& n) {
  return describe_number(n);
}
std::string describe(std::string_view s) {
  return describe_string(s);
}

}  // namespace

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool valid_utf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* end = p + s.size();
  while (p < end) {
    // ASCII fast path, eight bytes at a time.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if (word & 0x8080808080808080ull) break;
      p += 8;
    }
    if (p == end) break;
    unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (end - p < len) return false;
    if (p[1] < lo || p[1] > hi) return false;
    for (int k = 2; k < len; ++k) {
      if ((p[k] & 0xC0) != 0x80) return false;
    }
    p += len;
  }
  return true;
}

std::string_view message(Syntax code) {
  return kMessages[static_cast<std::size_t>(code)];
}

Position position_of(std::string_view input, std::size_t offset) {
  std::string_view before = input.substr(0, offset);
  std::size_t nl = before.rfind('\n');
  std::size_t line_start = nl == std::string_view::npos ? 0 : nl + 1;
  std::size_t line = 1;
  for (std::size_t i = 0; i < line_start; ++i) line += before[i] == '\n';
  return {line, offset - line_start};
}

std::string ReadError::text(std::string_view input) const {
  Position p = position_of(input, offset_);
  std::string out = message_;
  out += " at line ";
  out += std::to_string(p.line);
  out += " column ";
  out += std::to_string(p.column);
  return out;
}

Value Number::to_value() const {
  switch (kind) {
    case Kind::unsigned_int:
      return Value(u);
    case Kind::signed_int:
      return Value(i);
    case Kind::floating:
      break;
  }
  return Value(f);
}

std::string describe_string(std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "string \"";
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* end = p + s.size();
  while (p < end) {
    const unsigned char* start = p;
    std::uint32_t c = decode_utf8(p);
    switch (c) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case '\t':
        out += "\\t";
        continue;
      case 0:
        out += "\\0";
        continue;
      default:
        break;
    }
    if (escape_in_description(c)) {
      out += "\\u{";
      int shift = 20;
      while (shift > 0 && ((c >> shift) & 0xF) == 0) shift -= 4;
      for (; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
      out += '}';
    } else {
      out.append(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
    }
  }
  out += '"';
  return out;
}

std::string describe_number(const Number& n) {
  switch (n.kind) {
    case Number::Kind::unsigned_int:
      return "integer `" + std::to_string(n.u) + "`";
    case Number::Kind::signed_int:
      return "integer `" + std::to_string(n.i) + "`";
    case Number::Kind::floating:
      break;
  }
  return "floating point `" + number_text(n.f) + "`";
}

// ---- errors ---------------------------------------------------------------

void Reader::fail(Syntax code) const {
  throw ReadError(std::string(message(code)), pos_);
}

void Reader::fail_at_peek(Syntax code) const {
  throw ReadError(std::string(message(code)), pos_ < in_.size() ? pos_ + 1 : in_.size());
}

void Reader::fail_message(std::string text) const {
  throw ReadError(std::move(text), pos_);
}

void Reader::invalid_value(std::string_view found, std::string_view expected) const {
  std::string text = "invalid value: ";
  text += found;
  text += ", expected ";
  text += expected;
  fail_message(std::move(text));
}

void Reader::invalid_type(std::string_view expected) {
  std::string text = "invalid type: ";
  if (!read_scalar([&](const auto& scalar) { text += describe(scalar); })) {
    text += peek() == '[' ? "sequence" : "map";
  }
  text += ", expected ";
  text += expected;
  fail_message(std::move(text));
}

// ---- arrays and objects ------------------------------------------------------

bool Reader::match_key_text(std::string_view text) {
  if (in_.size() - pos_ < text.size() + 2 || in_[pos_ + text.size() + 1] != ':') return false;
  if (!match_string(text)) return false;
  ++pos_;  // the colon
  return true;
}

void Reader::end_array() {
  if (consume(']')) return;
  const int c = peek();
  if (c == ',') {
    // A record's array form with every key filled: another element is one
    // too many, while a comma before the bracket or the input's end is
    // reported as in any array.
    bump();
    const int next = peek();
    fail_at_peek(next == ']'    ? Syntax::trailing_comma
                 : next == kEnd ? Syntax::eof_value
                                : Syntax::trailing_characters);
  }
  fail_at_peek(c == kEnd ? Syntax::eof_list : Syntax::trailing_characters);
}

void Reader::end_object() {
  if (consume('}')) return;
  const int c = peek();
  fail_at_peek(c == ','    ? Syntax::trailing_comma
               : c == kEnd ? Syntax::eof_object
                           : Syntax::trailing_characters);
}

void Reader::finish() {
  if (peek() != kEnd) fail_at_peek(Syntax::trailing_characters);
}

// ---- scalars -----------------------------------------------------------------

void Reader::parse_ident(std::string_view rest) {
  if (in_.size() - pos_ >= rest.size() && same_bytes(in_.data() + pos_, rest.data(), rest.size())) {
    pos_ += rest.size();
    return;
  }
  for (char expected : rest) {
    if (pos_ >= in_.size()) fail(Syntax::eof_value);
    if (in_[pos_++] != expected) fail(Syntax::expected_ident);
  }
}

Number Reader::parse_any_number(bool positive) {
  const std::size_t start = positive ? pos_ : pos_ - 1;  // the text includes the sign
  const std::size_t size = in_.size();
  if (pos_ >= size) fail(Syntax::eof_value);
  char first = in_[pos_++];
  std::uint64_t significand = 0;
  bool overflow = false;  // the integer part does not fit 64 bits
  if (first == '0') {
    if (pos_ < size && is_digit(in_[pos_])) fail_at_peek(Syntax::invalid_number);
  } else if (first >= '1' && first <= '9') {
    significand = static_cast<std::uint64_t>(first - '0');
    while (pos_ < size && is_digit(in_[pos_])) {
      auto digit = static_cast<std::uint64_t>(in_[pos_] - '0');
      if (!overflow) {
        if (significand > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
          overflow = true;
        } else {
          significand = significand * 10 + digit;
        }
      }
      ++pos_;
    }
  } else {
    fail(Syntax::invalid_number);
  }

  bool is_float = overflow;
  bool nonzero = overflow || significand != 0;
  if (pos_ < size && in_[pos_] == '.') {
    is_float = true;
    ++pos_;
    std::size_t digits_start = pos_;
    while (pos_ < size && is_digit(in_[pos_])) nonzero |= in_[pos_++] != '0';
    if (pos_ == digits_start) {
      fail_at_peek(pos_ < size ? Syntax::invalid_number : Syntax::eof_value);
    }
  }
  if (pos_ < size && (in_[pos_] == 'e' || in_[pos_] == 'E')) {
    is_float = true;
    ++pos_;
    bool positive_exp = true;
    if (pos_ < size && (in_[pos_] == '+' || in_[pos_] == '-')) positive_exp = in_[pos_++] == '+';
    if (pos_ >= size) fail(Syntax::eof_value);
    char c = in_[pos_++];
    if (!is_digit(c)) fail(Syntax::invalid_number);
    std::int32_t exp = c - '0';
    while (pos_ < size && is_digit(in_[pos_])) {
      std::int32_t digit = in_[pos_++] - '0';
      if (exp > (std::numeric_limits<std::int32_t>::max() - digit) / 10) {
        // An exponent beyond 32 bits: infinity is an error, anything else
        // rounds to zero.
        if (nonzero && positive_exp) fail(Syntax::number_out_of_range);
        while (pos_ < size && is_digit(in_[pos_])) ++pos_;
        Number n{Number::Kind::floating};
        n.f = positive ? 0.0 : -0.0;
        return n;
      }
      exp = exp * 10 + digit;
    }
  }

  if (!is_float) return Number::integer(significand, positive);
  Number n{Number::Kind::floating};
  n.f = parse_float(start, positive, nonzero);
  return n;
}

double Reader::parse_float(std::size_t start, bool positive, bool nonzero) {
  const char* first = in_.data() + start;
  const char* last = in_.data() + pos_;
  double value = 0.0;
  auto res = std::from_chars(first, last, value);
  if (res.ec == std::errc() && std::isfinite(value)) return value;
  if (!nonzero) return positive ? 0.0 : -0.0;
  // Out of range: overflow when the decimal magnitude is positive, else an
  // underflow to zero. Magnitude = position of the first non-zero digit
  // relative to the decimal point, plus the exponent.
  const char* p = first + (positive ? 0 : 1);
  long long magnitude = 0;
  long long int_digits = 0;
  while (p < last && is_digit(*p)) ++int_digits, ++p;
  if (int_digits > 1 || first[positive ? 0 : 1] != '0') {
    magnitude = int_digits - 1;
  } else if (p < last && *p == '.') {
    const char* q = p + 1;
    long long zeros = 0;
    while (q < last && *q == '0') ++zeros, ++q;
    magnitude = -(zeros + 1);
  }
  while (p < last && *p != 'e' && *p != 'E') ++p;
  if (p < last) {
    ++p;
    bool neg = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    long long e = 0;
    while (p < last) e = e * 10 + (*p++ - '0');  // fits: the exponent fits 32 bits
    magnitude += neg ? -e : e;
  }
  if (magnitude > 0) fail(Syntax::number_out_of_range);
  return positive ? 0.0 : -0.0;
}

std::uint16_t Reader::decode_hex_escape() {
  if (in_.size() - pos_ < 4) {
    pos_ = in_.size();
    fail(Syntax::eof_string);
  }
  int n = 0;
  bool ok = true;
  for (int k = 0; k < 4; ++k) {
    int v = hex_value(in_[pos_ + k]);
    ok &= v >= 0;
    n = (n << 4) | (v & 0xF);
  }
  pos_ += 4;
  if (!ok) fail(Syntax::invalid_escape);
  return static_cast<std::uint16_t>(n);
}

void Reader::parse_escape() {
  if (pos_ >= in_.size()) fail(Syntax::eof_string);
  switch (in_[pos_++]) {
    case '"':
      scratch_ += '"';
      return;
    case '\\':
      scratch_ += '\\';
      return;
    case '/':
      scratch_ += '/';
      return;
    case 'b':
      scratch_ += '\b';
      return;
    case 'f':
      scratch_ += '\f';
      return;
    case 'n':
      scratch_ += '\n';
      return;
    case 'r':
      scratch_ += '\r';
      return;
    case 't':
      scratch_ += '\t';
      return;
    case 'u':
      break;
    default:
      fail(Syntax::invalid_escape);
  }
  std::uint32_t cp = decode_hex_escape();
  if (cp >= 0xDC00 && cp <= 0xDFFF) fail(Syntax::lone_leading_surrogate);
  if (cp >= 0xD800 && cp <= 0xDBFF) {
    for (char expected : {'\\', 'u'}) {
      if (pos_ >= in_.size()) fail(Syntax::eof_string);
      if (in_[pos_++] != expected) fail(Syntax::unexpected_end_of_hex_escape);
    }
    std::uint32_t low = decode_hex_escape();
    if (low < 0xDC00 || low > 0xDFFF) fail(Syntax::lone_leading_surrogate);
    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
  }
  append_utf8(scratch_, cp);
}

std::string_view Reader::parse_string() {
  const std::size_t start = pos_;
  pos_ = scan_string<true>(in_, pos_);
  // Most strings are ASCII without an escape: a view into the input.
  if (pos_ < in_.size() && in_[pos_] == '"') {
    const std::string_view out = in_.substr(start, pos_ - start);
    ++pos_;
    return out;
  }
  return parse_string_rest(start);
}

// The rest of a string from the first byte that needs attention at the
// cursor: escapes are decoded into the scratch buffer, and a string with a
// byte from 0x80 up is checked for UTF-8 once it is complete.
std::string_view Reader::parse_string_rest(std::size_t start) {
  const std::size_t size = in_.size();
  bool copied = false;
  bool non_ascii = false;
  for (;;) {
    if (pos_ == size) fail(Syntax::eof_string);
    const auto c = static_cast<unsigned char>(in_[pos_]);
    if (c == '"') {
      std::string_view out;
      if (copied) {
        scratch_.append(in_.data() + start, pos_ - start);
        out = scratch_;
      } else {
        out = in_.substr(start, pos_ - start);
      }
      ++pos_;
      if (non_ascii && !valid_utf8(out)) fail(Syntax::invalid_unicode);
      return out;
    }
    if (c == '\\') {
      if (!copied) scratch_.clear();
      copied = true;
      scratch_.append(in_.data() + start, pos_ - start);
      ++pos_;
      parse_escape();
      start = pos_;
    } else if (c >= 0x80) {
      non_ascii = true;  // checked as a whole at the end
      ++pos_;
    } else {
      ++pos_;
      fail(Syntax::control_character);
    }
    pos_ = non_ascii ? scan_string<false>(in_, pos_) : scan_string<true>(in_, pos_);
  }
}

bool Reader::read_bool_rest() {
  const int c = peek();
  if (c == 't') {
    bump();
    parse_ident("rue");
    return true;
  }
  if (c == 'f') {
    bump();
    parse_ident("alse");
    return false;
  }
  invalid_type("a boolean");
}

// The strict integer kinds: a JSON integer from `lowest` to `highest`. An
// integer outside that range is an invalid value; anything else, a float
// included, an invalid type.
std::int64_t Reader::read_integer(std::int64_t lowest, std::uint64_t highest,
                                  std::string_view expected) {
  const int c = peek();
  if (c != '-' && !(c >= '0' && c <= '9')) invalid_type(expected);
  if (c == '-') bump();
  const Number n = parse_number(c != '-');
  switch (n.kind) {
    case Number::Kind::unsigned_int:
      if (n.u <= highest) return static_cast<std::int64_t>(n.u);
      break;
    case Number::Kind::signed_int:
      if (n.i >= lowest) return n.i;
      break;
    case Number::Kind::floating:
      fail_message("invalid type: " + describe_number(n) + ", expected " + std::string(expected));
  }
  invalid_value(describe_number(n), expected);
}

std::int64_t Reader::read_i64() {
  return read_integer(std::numeric_limits<std::int64_t>::min(),
                      std::numeric_limits<std::int64_t>::max(), "i64");
}

std::uint32_t Reader::read_u32() {
  return static_cast<std::uint32_t>(
      read_integer(0, std::numeric_limits<std::uint32_t>::max(), "u32"));
}

std::string_view Reader::read_string_view() {
  if (peek() != '"') invalid_type("a string");
  bump();
  return parse_string();
}

std::optional<std::string_view> Reader::read_optional_string() {
  if (peek() == 'n') {
    bump();
    parse_ident("ull");
    return std::nullopt;
  }
  return read_string_view();
}

Value Reader::read_value() {
  Value value;
  if (read_scalar([&](const auto& scalar) { value = value_of(scalar); })) return value;
  enter();
  if (peek() == '[') {
    bump();
    Array elements;
    Seq seq;
    while (next_element(seq)) elements.push_back(read_value());
    leave();
    end_array();
    value = Value(std::move(elements));
  } else {
    bump();
    // The members as they come, sorted once when the object closes.
    std::vector<Object::value_type> members;
    Seq seq;
    while (auto key = next_key(seq)) {
      std::string name(*key);
      parse_colon();
      if (members.empty()) members.reserve(4);  // most objects are small
      members.emplace_back(std::move(name), read_value());
    }
    leave();
    end_object();
    value = Value(Object(std::move(members)));
  }
  return value;
}

// ---- skipping ------------------------------------------------------------------

// A set of open arrays (0) and objects (1), one bit per level, so that a
// skipped value of any depth costs no recursion.
class Reader::FrameStack {
 public:
  void push(bool object) {
    if ((depth_ >> 6) >= words_.size()) words_.push_back(0);
    std::uint64_t bit = std::uint64_t{1} << (depth_ & 63);
    if (object) {
      words_[depth_ >> 6] |= bit;
    } else {
      words_[depth_ >> 6] &= ~bit;
    }
    ++depth_;
  }
  void pop() { --depth_; }
  bool empty() const { return depth_ == 0; }
  bool top_is_object() const {
    std::size_t i = depth_ - 1;
    return (words_[i >> 6] >> (i & 63)) & 1;
  }

 private:
  std::vector<std::uint64_t> words_;
  std::size_t depth_ = 0;
};

void Reader::skip_escape() {
  if (pos_ >= in_.size()) fail(Syntax::eof_string);
  switch (in_[pos_++]) {
    case '"':
    case '\\':
    case '/':
    case 'b':
    case 'f':
    case 'n':
    case 'r':
    case 't':
      return;
    case 'u':
      decode_hex_escape();
      return;
    default:
      fail(Syntax::invalid_escape);
  }
}

void Reader::skip_string() {
  const std::size_t size = in_.size();
  for (;;) {
    pos_ = scan_string<false>(in_, pos_);  // skipped strings may hold any bytes
    if (pos_ == size) fail(Syntax::eof_string);
    char c = in_[pos_];
    if (c == '"') {
      ++pos_;
      return;
    }
    ++pos_;
    if (c != '\\') fail(Syntax::control_character);
    skip_escape();
  }
}

void Reader::skip_number() {
  // The same syntax and messages as a number that is read, without its value.
  const std::size_t size = in_.size();
  auto at_digit = [&] { return pos_ < size && is_digit(in_[pos_]); };
  if (pos_ >= size) fail(Syntax::eof_value);
  char first = in_[pos_++];
  if (first == '0') {
    if (at_digit()) fail_at_peek(Syntax::invalid_number);
  } else if (first >= '1' && first <= '9') {
    while (at_digit()) ++pos_;
  } else {
    fail(Syntax::invalid_number);
  }
  if (pos_ < size && in_[pos_] == '.') {
    ++pos_;
    if (!at_digit()) fail_at_peek(pos_ < size ? Syntax::invalid_number : Syntax::eof_value);
    while (at_digit()) ++pos_;
  }
  if (pos_ < size && (in_[pos_] == 'e' || in_[pos_] == 'E')) {
    ++pos_;
    if (pos_ < size && (in_[pos_] == '+' || in_[pos_] == '-')) ++pos_;
    if (pos_ >= size) fail(Syntax::eof_value);
    if (!is_digit(in_[pos_++])) fail(Syntax::invalid_number);
    while (at_digit()) ++pos_;
  }
}

// The pieces of skip_value. Each runs once per skipped value, so they are
// inlined into its loop.

// A scalar skipped by its syntax alone; false at an array or object (the
// bracket not consumed).
[[gnu::always_inline]] inline bool Reader::skip_scalar() {
  struct Skip {
    Reader& r;
    void null() {}
    void boolean(bool) {}
    void number(bool) { r.skip_number(); }
    void string() { r.skip_string(); }
  };
  return scalar(Skip{*this});
}

// After a value or an opening bracket (`opened`): past the comma before the
// next item of the innermost open array or object, true; or past the closing
// brackets that follow, false once the outermost one is closed.
[[gnu::always_inline]] inline bool Reader::skip_to_item(FrameStack& frames, bool opened) {
  // After an opening bracket a closing one may follow at once; after a
  // value, a comma or the closing bracket.
  bool accept_comma = !opened;
  for (;;) {
    const int c = peek();
    const bool object = frames.top_is_object();
    if (c == ',' && accept_comma) {
      bump();
      // As in a value that is read: nothing may close right after a comma.
      const int next = peek();
      if (next == (object ? '}' : ']')) fail_at_peek(Syntax::trailing_comma);
      if (next == kEnd) fail_at_peek(Syntax::eof_value);
      return true;
    }
    if (c == kEnd) fail_at_peek(object ? Syntax::eof_object : Syntax::eof_list);
    if (c != (object ? '}' : ']')) {
      if (accept_comma) {
        fail_at_peek(object ? Syntax::expected_object_comma_or_end
                            : Syntax::expected_list_comma_or_end);
      }
      return true;  // the first item of what just opened
    }
    bump();
    frames.pop();
    if (frames.empty()) return false;
    accept_comma = true;
  }
}

// A member's key and its colon.
[[gnu::always_inline]] inline void Reader::skip_key() {
  const int c = peek();
  if (c != '"') fail_at_peek(c == kEnd ? Syntax::eof_object : Syntax::key_must_be_string);
  bump();
  skip_string();
  parse_colon();
}

void Reader::skip_value() {
  if (skips_as_read_) {
    read_value();
    return;
  }
  // The open arrays and objects as bits, so that no depth recurses.
  FrameStack frames;
  for (;;) {
    const bool opened = !skip_scalar();
    if (opened) {
      frames.push(in_[pos_] == '{');  // skip_scalar() left the cursor at the bracket
      bump();
    } else if (frames.empty()) {
      return;
    }
    if (!skip_to_item(frames, opened)) return;
    if (frames.top_is_object()) skip_key();
  }
}

}  // namespace quorvel::json
