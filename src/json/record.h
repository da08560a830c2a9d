// Reading records (fixed sets of keys) and their lists and maps with the
// reader's rules: object form with any member order, unknown members skipped,
// repeated keys refused as soon as they are read, absent keys left at their
// defaults; array form with the values in declaration order.
//
//   static constexpr std::string_view kKeys[] = {"id", "rank"};
//   static constexpr json::RecordShape kCard{"Card", kKeys, json::required(0)};
//   json::read_record(r, kCard, [&](std::size_t key) {
//     switch (key) { case 0: card.id = r.read_i64(); break; ... }
//   });
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "json/reader.h"

namespace quorvel::json {

struct RecordShape {
  std::string_view name;                   // "Card" as in "struct Card"
  std::span<const std::string_view> keys;  // declaration order = array-form order
  std::uint32_t required = 0;              // bit i set: keys[i] is required
  // Optional, from key_index(keys): the key that follows each key in byte
  // order, and at the end the first one; and each key's words.
  std::span<const std::uint8_t> byte_order = {};
  std::span<const KeyWords> words = {};
};

constexpr std::uint32_t required(std::size_t key) {
  return std::uint32_t{1} << key;
}

// What read_record() works out from a record's keys once, at compile time.
// A snapshot that a score request has rewritten sends every record's keys in
// byte order; a host, most often in declaration order.
template <std::size_t N>
struct KeyIndex {
  std::array<std::uint8_t, N + 1> byte_order{};
  std::array<KeyWords, N> words{};
};

template <std::size_t N>
consteval KeyIndex<N> key_index(const std::string_view (&keys)[N]) {
  static_assert(N < 255, "indices fit a byte");
  KeyIndex<N> index;
  for (std::size_t i = 0; i <= N; ++i) {
    std::size_t next = N;
    for (std::size_t j = 0; j < N; ++j) {
      if (i < N && keys[j] <= keys[i]) continue;
      if (next == N || keys[j] < keys[next]) next = j;
    }
    index.byte_order[i] = static_cast<std::uint8_t>(next);
  }
  for (std::size_t i = 0; i < N; ++i) {
    if (keys[i].size() > KeyWords::kMaxKey) continue;
    for (std::size_t k = 0; k <= keys[i].size() + 1; ++k) {
      const auto byte = static_cast<unsigned char>(k < keys[i].size()    ? keys[i][k]
                                                   : k == keys[i].size() ? '"'
                                                                         : ':');
      const std::size_t at = std::endian::native == std::endian::little ? k % 8 : 7 - k % 8;
      index.words[i].bytes[k / 8] |= std::uint64_t{byte} << (8 * at);
      index.words[i].mask[k / 8] |= std::uint64_t{0xFF} << (8 * at);
    }
  }
  return index;
}

// A record's shape with the tables that key_index() worked out.
template <std::size_t N>
constexpr RecordShape record_shape(std::string_view name, const std::string_view (&keys)[N],
                                   std::uint32_t required, const KeyIndex<N>& index) {
  return {name, keys, required, index.byte_order, index.words};
}

namespace detail {

// Index of `key` in shape.keys, or keys.size(). The search starts at `hint`
// (the key after the last one found): hosts tend to send keys in order.
std::size_t find_key(const RecordShape& shape, std::string_view key, std::size_t hint);
// `colon`: the key's colon has been consumed (the error points before it).
[[noreturn]] void duplicate_field(Reader& r, std::string_view key, bool colon);
[[noreturn]] void missing_field(Reader& r, const RecordShape& shape, std::uint32_t missing);
[[noreturn]] void invalid_length(Reader& r, const RecordShape& shape, std::size_t length);
// The first required key at or after `from`, or keys.size().
std::size_t first_required(const RecordShape& shape, std::size_t from);
std::string struct_word(const RecordShape& shape);  // "struct Card"

}  // namespace detail

// Reads one record at the cursor. `read_key(i)` reads the value of keys[i]
// (the cursor is at that value) into the caller's record.
template <class ReadKey>
void read_record(Reader& r, const RecordShape& shape, ReadKey&& read_key) {
  const int c = r.peek();
  if (c == '{') {
    r.enter();
    r.bump();
    Reader::Seq seq;
    std::uint32_t seen = 0;
    std::size_t hint = 0;
    std::size_t last = shape.keys.size();  // the key found last
    // Whether keys[k] stands at the cursor, then consumed: with its colon
    // when the shape has words, as most keys are matched.
    const auto expected = [&](std::size_t k) {
      if (k >= shape.keys.size()) return false;
      return shape.words.empty() ? r.match_string(shape.keys[k])
                                 : r.match_key(shape.keys[k], shape.words[k]);
    };
    while (r.next_member(seq)) {
      // Keys tend to come in declaration order, or sorted when rewritten: the
      // key after the last one found in either order is tried in place before
      // the key is read as a string.
      std::size_t i = hint;
      bool colon = !shape.words.empty();  // whether the colon has been consumed
      if (!expected(i)) {
        i = shape.byte_order.empty() ? shape.keys.size() : shape.byte_order[last];
        if (!expected(i)) {
          i = detail::find_key(shape, r.parse_string(), hint);
          colon = false;
        }
      }
      if (i == shape.keys.size()) {
        r.parse_colon();
        r.skip_value();
        continue;
      }
      if (seen & (std::uint32_t{1} << i)) detail::duplicate_field(r, shape.keys[i], colon);
      seen |= std::uint32_t{1} << i;
      hint = i + 1;
      last = i;
      if (!colon) r.parse_colon();
      read_key(i);
    }
    r.leave();
    if (const std::uint32_t missing = shape.required & ~seen) {
      detail::missing_field(r, shape, missing);
    }
    r.end_object();
    return;
  }
  if (c == '[') {
    r.enter();
    r.bump();
    Reader::Seq seq;
    for (std::size_t i = 0; i < shape.keys.size(); ++i) {
      if (!r.next_element(seq)) {
        // i elements were given; a required key among the rest has none.
        if (detail::first_required(shape, i) < shape.keys.size()) {
          detail::invalid_length(r, shape, i);
        }
        break;
      }
      read_key(i);
    }
    r.leave();
    r.end_array();
    return;
  }
  r.invalid_type(detail::struct_word(shape));
}

// A list: `read_element()` reads one element at the cursor.
template <class ReadElement>
void read_list(Reader& r, ReadElement&& read_element) {
  if (r.peek() != '[') r.invalid_type("a sequence");
  r.enter();
  r.bump();
  Reader::Seq seq;
  while (r.next_element(seq)) read_element();
  r.leave();
  r.end_array();
}

// A map from string: `read_entry(std::string_view name)` reads the value at
// the cursor and files it under `name` (a repeated name should replace). The
// view lives until the value's first string is read.
template <class ReadEntry>
void read_map(Reader& r, ReadEntry&& read_entry) {
  if (r.peek() != '{') r.invalid_type("a map");
  r.enter();
  r.bump();
  Reader::Seq seq;
  while (auto key = r.next_key(seq)) {
    r.parse_colon();
    read_entry(*key);
  }
  r.leave();
  r.end_object();
}

}  // namespace quorvel::json
