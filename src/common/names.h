// Rule items arrive as strings; the engine turns each into a small code once,
// by looking it up in a table of the names it knows.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvel::common {

// The code of `key` in `names`, whose entries stand for consecutive codes
// from `first` on; `unknown` when the table does not hold the key.
template <typename Code, std::size_t N>
constexpr Code code_of(const std::array<std::string_view, N>& names, std::string_view key,
                       Code first, Code unknown) {
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] == key) return static_cast<Code>(static_cast<std::size_t>(first) + i);
  }
  return unknown;
}

}  // namespace quorvel::common
