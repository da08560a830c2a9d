// Reading a score request {"snapshot": <any JSON value>, "play": [card ids]}
// (or its array form [snapshot, play]) from the whole input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "json/tree.h"
#include "snapshot/snapshot.h"

namespace quorvel::score {

// Borrows the bytes it was read from.
struct ScoreRequest {
  json::Tree snapshot;             // kept as sent; validated later by snapshot::parse
  std::vector<std::int64_t> play;  // card ids in play order
};

// The request, or the reader's message with " at line L column C" in `bytes`.
std::variant<ScoreRequest, std::string> read_request(std::string_view bytes);

// A request whose snapshot was read in place.
struct ParsedRequest {
  snapshot::Snapshot snapshot;  // read, not yet checked
  std::vector<std::int64_t> play;
};

// The request with its snapshot's records read straight from `bytes`, by the
// snapshot's own rules: what read_request() and then snapshot::parse() of the
// rewritten snapshot give, without the tree and the text in between. Where
// either of them would refuse the request this gives nullopt (and it may for
// a request they accept, one with a repeated key); their messages are the
// ones to report.
std::optional<ParsedRequest> read_parsed_request(std::string_view bytes);

}  // namespace quorvel::score
