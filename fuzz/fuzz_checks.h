// Checks shared by the fuzz targets. A broken invariant aborts, which both
// libFuzzer and the replay runner report as a failure with the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/reader.h"
#include "json/writer.h"
#include "support/text.h"

namespace quorvel::fuzz {

[[noreturn]] inline void fail(std::string_view what, std::string_view detail = {}) {
  std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
  if (!detail.empty()) {
    std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
  }
  std::abort();
}

inline void check(bool ok, std::string_view what, std::string_view detail = {}) {
  if (!ok) fail(what, detail);
}

inline std::string_view text_of(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// An answer: one JSON value, compact, that the project's reader reads back
// and whose rewriting gives the same bytes.
inline json::Value check_compact_json(std::string_view text) {
  check(!text.empty(), "an answer is empty");
  check(json::valid_utf8(text), "an answer is not UTF-8", text);
  json::Value value;
  try {
    json::Reader reader(text);
    value = reader.read_value();
    reader.finish();
  } catch (const json::ReadError& e) {
    fail("an answer does not read back", e.text(text) + "\n  " + std::string(text));
  }
  const std::string again = json::to_text(value);
  check(again == text, "an answer is not compact, or its rewriting differs",
        std::string(text) + "\n  " + again);
  return value;
}

// An error text: non-empty UTF-8.
inline void check_error_text(std::string_view error) {
  check(!error.empty(), "an error text is empty");
  check(json::valid_utf8(error), "an error text is not UTF-8", error);
}

// The same, and a reading error's position names a byte of `input`: its line
// exists and its column stays within that line.
inline void check_error_text(std::string_view error, std::string_view input) {
  check_error_text(error);
  const std::size_t at = error.rfind(" at line ");
  if (at == std::string_view::npos) return;
  const std::size_t col = error.find(" column ", at);
  check(col != std::string_view::npos, "a position without a column", error);
  const std::string line_text(error.substr(at + 9, col - at - 9));
  const std::string column_text(error.substr(col + 8));
  char* end = nullptr;
  const unsigned long long line = std::strtoull(line_text.c_str(), &end, 10);
  check(!line_text.empty() && *end == '\0' && line >= 1, "a malformed line number", error);
  const unsigned long long column = std::strtoull(column_text.c_str(), &end, 10);
  check(!column_text.empty() && *end == '\0', "a malformed column number", error);
  std::size_t start = 0;
  for (unsigned long long l = 1; l < line; ++l) {
    const std::size_t nl = input.find('\n', start);
    check(nl != std::string_view::npos, "an error on a line the input does not have", error);
    start = nl + 1;
  }
  check(column <= input.size() - start, "an error column beyond the input", error);
  check(input.substr(start, column).find('\n') == std::string_view::npos,
        "an error column beyond its line", error);
}

}  // namespace quorvel::fuzz
