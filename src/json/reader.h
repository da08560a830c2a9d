// Cursor-style JSON reader over a byte span with exact error texts and
// positions. Record readers drive it: they peek at the next byte, read
// scalars, walk arrays and objects, read whole values into a json::Value or
// skip them. The first error throws a ReadError carrying the message and the
// byte offset it points at; the entry point turns that into
// "<message> at line L column C" with `ReadError::text`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "json/value.h"

namespace quorvel::json {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool valid_utf8(std::string_view s);

// Arrays and objects that are read (not skipped) nest at most this deep; the
// outermost one read counts as level 1.
inline constexpr int kMaxDepth = 127;

// The messages of the JSON syntax.
enum class Syntax : std::uint8_t {
  eof_list,
  eof_object,
  eof_string,
  eof_value,
  expected_colon,
  expected_list_comma_or_end,
  expected_object_comma_or_end,
  expected_ident,
  expected_value,
  invalid_escape,
  invalid_number,
  number_out_of_range,
  invalid_unicode,
  control_character,
  key_must_be_string,
  lone_leading_surrogate,
  trailing_comma,
  trailing_characters,
  unexpected_end_of_hex_escape,
  recursion_limit,
};

std::string_view message(Syntax code);

// Line and column of a byte offset: the line is 1 plus the line feeds before
// the offset's line, the column the bytes from that line's start to `offset`.
struct Position {
  std::size_t line;
  std::size_t column;
};
Position position_of(std::string_view input, std::size_t offset);

class ReadError {
 public:
  ReadError(std::string message, std::size_t offset)
      : message_(std::move(message)), offset_(offset) {}
  const std::string& message() const { return message_; }
  std::size_t offset() const { return offset_; }
  // "<message> at line L column C", positions counted in `input`.
  std::string text(std::string_view input) const;

 private:
  std::string message_;
  std::size_t offset_;
};

// Whether `n` bytes at `a` and `b` are equal, compared a word at a time:
// keys are short, and a library call would cost more than the comparison.
inline bool same_bytes(const char* a, const char* b, std::size_t n) {
  const auto differ = [&](auto word, std::size_t size) {
    decltype(word) x, y;
    std::memcpy(&x, a, size);
    std::memcpy(&y, b, size);
    a += size;
    b += size;
    return x != y;
  };
  for (; n >= 8; n -= 8) {
    if (differ(std::uint64_t{}, 8)) return false;
  }
  if (n >= 4 && differ(std::uint32_t{}, 4)) return false;
  if (n & 2 && differ(std::uint16_t{}, 2)) return false;
  return (n & 1) == 0 || *a == *b;
}

// A number as the reader met it: non-negative integers as unsigned, negative
// integers as signed, everything else (fractions, exponents, -0, integers
// beyond 64 bits) as a 64-bit float.
struct Number {
  enum class Kind : std::uint8_t { unsigned_int, signed_int, floating } kind;
  std::uint64_t u = 0;
  std::int64_t i = 0;
  double f = 0.0;
  double as_double() const {
    switch (kind) {
      case Kind::unsigned_int:
        return static_cast<double>(u);
      case Kind::signed_int:
        return static_cast<double>(i);
      case Kind::floating:
        break;
    }
    return f;
  }
  Value to_value() const;

  // A JSON integer as the reader returns it: unsigned when positive, signed
  // when negative, and -0 and integers below the signed range as floats.
  static Number integer(std::uint64_t magnitude, bool positive) {
    Number n{Kind::floating};
    if (positive) {
      n.kind = Kind::unsigned_int;
      n.u = magnitude;
    } else if (magnitude == 0) {
      n.f = -0.0;
    } else if (magnitude <= std::uint64_t{1} << 63) {
      n.kind = Kind::signed_int;
      n.i = static_cast<std::int64_t>(0 - magnitude);
    } else {
      n.f = -static_cast<double>(magnitude);
    }
    return n;
  }
};

// A record's key as it stands in a document, its closing quote and the colon
// right after it included, as two words to compare with the next sixteen
// bytes at once: `bytes` as a load of those bytes gives them, `mask` covering
// the key's own. A key longer than kMaxKey has none (json::key_index in
// record.h works them out).
struct KeyWords {
  static constexpr std::size_t kMaxKey = 14;
  std::uint64_t bytes[2] = {0, 0};
  std::uint64_t mask[2] = {0, 0};
};

class Reader {
 public:
  static constexpr int kEnd = -1;

  explicit Reader(std::string_view input) : in_(input) {}

  std::string_view input() const { return in_; }
  std::size_t offset() const { return pos_; }

  // Skips whitespace (space, tab, line feed, carriage return) and returns the
  // next byte without consuming it, or kEnd.
  int peek() {
    while (pos_ < in_.size()) {
      const auto c = static_cast<unsigned char>(in_[pos_]);
      if (c > ' ' || (c != ' ' && c != '\n' && c != '\t' && c != '\r')) return c;
      ++pos_;
    }
    return kEnd;
  }
  // peek() with every digit reported as '0', so one label covers numbers.
  int peek_token() {
    int c = peek();
    return c >= '1' && c <= '9' ? '0' : c;
  }
  // Consumes the byte that peek() returned.
  void bump() { ++pos_; }

  // Errors. `fail` points at the bytes consumed so far; `fail_at_peek` also
  // counts the next byte (the one peek() returned), capped at the input's end.
  [[noreturn]] void fail(Syntax code) const;
  [[noreturn]] void fail_at_peek(Syntax code) const;
  [[noreturn]] void fail_message(std::string message) const;
  // Reads the value at the cursor far enough to describe it and fails with
  // "invalid type: <found>, expected <expected>" at its end (before the
  // bracket for an array or object). A byte that begins no value gives
  // "expected value".
  [[noreturn]] void invalid_type(std::string_view expected);
  // "invalid value: <found>, expected <expected>" at the cursor.
  [[noreturn]] void invalid_value(std::string_view found, std::string_view expected) const;

  // Nesting of read arrays and objects: call enter() with the opening bracket
  // peeked (not yet consumed), leave() once the contents are read.
  void enter() {
    if (--remaining_depth_ == 0) fail_at_peek(Syntax::recursion_limit);
  }
  void leave() { ++remaining_depth_; }

  // Array and object walking. A Seq remembers whether the first element or
  // member is still due.
  struct Seq {
    bool first = true;
  };
  // True when another element follows (the cursor is then at its value);
  // false at the closing bracket (not consumed).
  bool next_element(Seq& seq) {
    // Most elements follow a comma at once, as in `},{`.
    if (!seq.first && in_.size() - pos_ > 1 && in_[pos_] == ',' &&
        starts_item(in_[pos_ + 1], ']')) {
      ++pos_;
      return true;
    }
    return next_item(seq, ']', Syntax::eof_list, Syntax::expected_list_comma_or_end) != ']';
  }
  // True when another member follows: the cursor is then past the opening
  // quote of its key; false at the closing brace (not consumed).
  bool next_member(Seq& seq) {
    // Most members follow a comma at once: `,"`.
    if (!seq.first && in_.size() - pos_ > 1 && in_[pos_] == ',' && in_[pos_ + 1] == '"') {
      pos_ += 2;
      return true;
    }
    const int c = next_item(seq, '}', Syntax::eof_object, Syntax::expected_object_comma_or_end);
    if (c == '}') return false;
    if (c != '"') fail_at_peek(Syntax::key_must_be_string);
    bump();
    return true;
  }
  // The next member's key (escapes decoded, valid UTF-8), or nullopt at the
  // closing brace (not consumed). The view lives until the next string read.
  std::optional<std::string_view> next_key(Seq& seq) {
    if (!next_member(seq)) return std::nullopt;
    return parse_string();
  }
  // Takes the next non-whitespace byte when it is `expected`.
  bool consume(char expected) {
    if (peek() != expected) return false;
    bump();
    return true;
  }
  void parse_colon() {
    if (pos_ < in_.size() && in_[pos_] == ':') {  // most keys end at their colon
      ++pos_;
      return;
    }
    if (!consume(':')) fail_at_peek(peek() == kEnd ? Syntax::eof_object : Syntax::expected_colon);
  }
  // Consume the closing bracket or brace; anything else is an error
  // ("trailing characters" for an element too many in a record's array form).
  void end_array();
  void end_object();

  // Typed reads. Each skips leading whitespace and fails with the kind's
  // expected-word when the value is of another kind.
  bool read_bool() {  // "a boolean"
    // Spelled out whole at the cursor, as nearly every boolean is.
    if (matches_word("true")) return true;
    if (matches_word("false")) return false;
    return read_bool_rest();
  }
  std::int64_t read_i64();   // "i64", strict integer
  std::uint32_t read_u32();  // "u32", strict integer
  // Strings: the views live until the next string read, so that a record's
  // field takes the bytes straight into its own string.
  std::string_view read_string_view();                     // "a string"
  std::optional<std::string_view> read_optional_string();  // null gives nullopt
  Value read_value();                                      // any JSON value, depth-checked
  // Reads the value at the cursor whole when it holds no other and gives it
  // to `take` as nullptr (null), a bool, a Number or a string's view (as
  // parse_string() gives it). At an array or object it returns false and
  // leaves the bracket; a byte that begins no value gives "expected value".
  template <class Take>
  [[gnu::always_inline]] bool read_scalar(Take&& take) {
    struct Read {
      Reader& r;
      Take& take;
      void null() { take(nullptr); }
      void boolean(bool b) { take(b); }
      void number(bool positive) { take(r.parse_number(positive)); }
      void string() { take(r.parse_string()); }
    };
    return scalar(Read{*this, take});
  }
  // Syntax-only skip of one value: strings checked for escapes and control
  // characters (not UTF-8), numbers not for range; no nesting limit and no
  // recursion. While skips_as_read() is on, the value is read whole by
  // read_value()'s rules instead and dropped.
  void skip_value();
  // Whether skip_value() applies read_value()'s rules: for a part of a
  // document that must refuse whatever a value tree of it would refuse.
  void skips_as_read(bool on) { skips_as_read_ = on; }

  // Low-level pieces for callers that dispatch on peek() themselves.
  void parse_ident(std::string_view rest);  // after 'n', 't' or 'f'
  // The most decimal digits that always fit an unsigned integer of 64 and of
  // 32 bits (10^19 < 2^64, 10^9 < 2^32): the integer fast paths below take
  // no more, so they never check for overflow.
  static constexpr std::size_t kSafeDigits64 = 19;
  static constexpr std::size_t kSafeDigits32 = 9;

  // After '-', or at the first digit. Nearly every number a host sends is an
  // integer of a few digits: up to kSafeDigits64 digits that end the number
  // are read here, and anything else by the whole grammar.
  Number parse_number(bool positive) {
    const std::size_t last = in_.size() - pos_ > kSafeDigits64 ? pos_ + kSafeDigits64 : in_.size();
    std::size_t p = pos_;
    std::uint64_t magnitude = 0;
    while (p < last && in_[p] >= '0' && in_[p] <= '9') {
      magnitude = magnitude * 10 + static_cast<std::uint64_t>(in_[p++] - '0');
    }
    const std::size_t digits = p - pos_;
    if (digits > 0 && (digits == 1 || in_[pos_] != '0') && !continues_number(p)) {
      pos_ = p;
      return Number::integer(magnitude, positive);
    }
    return parse_any_number(positive);
  }
  // The shortest case of parse_number(true), for readers that want a double:
  // an integer of one to kSafeDigits32 digits standing right at the cursor (no
  // whitespace before it, no leading zero, nothing after it that carries the
  // number on) is consumed and returned. Anything else returns nullopt and
  // consumes nothing: the caller reads it by the whole grammar, which gives
  // the same value for these and the errors for the rest.
  std::optional<double> parse_short_integer() {
    const char* const begin = in_.data() + pos_;
    const char* const end = in_.data() + in_.size();
    const char* p = begin;
    if (p == end || *p < '1' || *p > '9') {
      // A lone "0" is the only integer that starts with one.
      if (p == end || *p != '0' || continues_number(pos_ + 1)) return std::nullopt;
      ++pos_;
      return 0.0;
    }
    const char* const last =
        static_cast<std::size_t>(end - p) > kSafeDigits32 ? p + kSafeDigits32 : end;
    std::uint32_t magnitude = static_cast<std::uint32_t>(*p++ - '0');
    while (p < last && *p >= '0' && *p <= '9') {
      magnitude = magnitude * 10 + static_cast<std::uint32_t>(*p++ - '0');
    }
    const std::size_t at = pos_ + static_cast<std::size_t>(p - begin);
    if (continues_number(at)) return std::nullopt;  // more digits, or a fraction
    pos_ = at;
    return static_cast<double>(magnitude);
  }
  std::string_view parse_string();  // after the opening quote, validated
  // After a string's opening quote: when the string is `text` as it stands,
  // without an escape, consumes it with its closing quote and returns true.
  // `text` holds no quote, backslash or control character.
  bool match_string(std::string_view text) {
    if (in_.size() - pos_ <= text.size() || in_[pos_ + text.size()] != '"') return false;
    if (!same_bytes(in_.data() + pos_, text.data(), text.size())) return false;
    pos_ += text.size() + 1;
    return true;
  }
  // For a record's key with its words: when the key stands at the cursor as
  // it is, without an escape, and its colon right after its closing quote,
  // consumes them and returns true. Where sixteen bytes are left, two word
  // comparisons, without the branches on the key's length that a comparison
  // byte by byte takes. A key with whitespace before its colon is left to
  // the caller, to be read as a string.
  bool match_key(std::string_view text, const KeyWords& key) {
    if (in_.size() - pos_ < 16 || text.size() > KeyWords::kMaxKey) return match_key_text(text);
    std::uint64_t first, second;
    std::memcpy(&first, in_.data() + pos_, 8);
    std::memcpy(&second, in_.data() + pos_ + 8, 8);
    if (((first ^ key.bytes[0]) & key.mask[0]) | ((second ^ key.bytes[1]) & key.mask[1])) {
      return false;
    }
    pos_ += text.size() + 2;
    return true;
  }
  // Whether a view that parse_string() returned holds decoded escapes: it then
  // lives in the reader's scratch buffer, else it lies in the input.
  bool decoded(std::string_view s) const { return s.data() == scratch_.data(); }

  // After the whole value: only whitespace may follow.
  void finish();

 private:
  class FrameStack;

  // The one dispatch on the first byte of a value, for the scalars, that
  // reading and skipping share: the literals are consumed, then `on` is
  // called with the cursor past them (null(), boolean(b)), at the first digit
  // of a number (number(positive), past a minus sign) or past the opening
  // quote of a string (string()). At an array or object it returns false
  // and leaves the bracket; a byte that begins no value gives "expected value".
  // Inlined, with read_scalar, into each reader: they run once per value.
  template <class On>
  [[gnu::always_inline]] bool scalar(On&& on) {
    switch (peek_token()) {
      case kEnd:
        fail_at_peek(Syntax::eof_value);
      case 'n':
        bump();
        parse_ident("ull");
        on.null();
        return true;
      case 't':
        bump();
        parse_ident("rue");
        on.boolean(true);
        return true;
      case 'f':
        bump();
        parse_ident("alse");
        on.boolean(false);
        return true;
      case '-':
        bump();
        on.number(false);
        return true;
      case '0':
        on.number(true);
        return true;
      case '"':
        bump();
        on.string();
        return true;
      case '[':
      case '{':
        return false;
      default:
        fail_at_peek(Syntax::expected_value);
    }
  }
  // The first byte of the next element or member, past the comma that
  // separates it from the one before; `close` when the array or object ends
  // there (not consumed).
  int next_item(Seq& seq, char close, Syntax eof, Syntax comma_or_end) {
    int c = peek();
    if (c == close) return c;
    if (seq.first) {
      if (c == kEnd) fail_at_peek(eof);
      seq.first = false;
      return c;
    }
    if (c != ',') fail_at_peek(c == kEnd ? eof : comma_or_end);
    bump();
    c = peek();
    if (c == close) fail_at_peek(Syntax::trailing_comma);
    if (c == kEnd) fail_at_peek(Syntax::eof_value);
    return c;
  }
  bool match_key_text(std::string_view text);  // match_key() byte by byte, out of line
  // Whether `c`, the byte after a comma, begins the next item at once: no
  // whitespace, and not the bracket `close` (a trailing comma).
  static bool starts_item(char c, char close) {
    return static_cast<unsigned char>(c) > ' ' && c != close;
  }
  // Consumes `word` when it stands at the cursor as it is.
  bool matches_word(std::string_view word) {
    if (in_.size() - pos_ < word.size() ||
        !same_bytes(in_.data() + pos_, word.data(), word.size())) {
      return false;
    }
    pos_ += word.size();
    return true;
  }
  bool read_bool_rest();
  std::int64_t read_integer(std::int64_t lowest, std::uint64_t highest, std::string_view expected);
  std::string_view parse_string_rest(std::size_t start);
  void parse_escape();
  std::uint16_t decode_hex_escape();
  // Whether the byte at `p` carries a number on after its integer digits.
  bool continues_number(std::size_t p) const {
    if (p == in_.size()) return false;
    const char c = in_[p];
    return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E';
  }
  Number parse_any_number(bool positive);
  double parse_float(std::size_t start, bool positive, bool nonzero_significand);
  void skip_string();
  void skip_escape();
  void skip_number();
  bool skip_scalar();
  bool skip_to_item(FrameStack& frames, bool opened);
  void skip_key();

  std::string_view in_;
  std::size_t pos_ = 0;
  int remaining_depth_ = kMaxDepth + 1;
  bool skips_as_read_ = false;
  std::string scratch_;
};

// The found-description of a value, as in "invalid type: <found>".
std::string describe_string(std::string_view s);  // string "..." with escapes
std::string describe_number(const Number& n);     // integer `N` / floating point `X`

}  // namespace quorvel::json
