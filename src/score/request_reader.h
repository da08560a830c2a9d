// Reading a score request {"snapshot": <any JSON value>, "play": [card ids]}
// (or its array form [snapshot, play]) from the whole input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "json/tree.h"

namespace quorvel::score {

// Borrows the bytes it was read from.
struct ScoreRequest {
  json::Tree snapshot;             // kept as sent; validated later by snapshot::parse
  std::vector<std::int64_t> play;  // card ids in play order
};

// The request, or the reader's message with " at line L column C" in `bytes`.
std::variant<ScoreRequest, std::string> read_request(std::string_view bytes);

}  // namespace quorvel::score
