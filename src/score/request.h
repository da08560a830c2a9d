// The synchronous way into the scoring engine: a score request
// {"snapshot": <game state>, "play": [card ids]} in, the scored play as
// compact JSON (or a plain error text) out.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::score {

struct RequestResult {
  std::string text;  // the answer, or the error text when `error` is set
  bool error = false;
};

// Scores the play with the jokers in the snapshot's own order. Keeps no state
// and touches nothing shared, so any number of threads may call it at once.
RequestResult score_request(std::string_view bytes);

// The same answer, with the snapshot always read as a value tree, written
// back as text and parsed: the form whose error positions the answers give
// (they refer to that text), and what score_request() turns to when its
// reading in place refuses a request.
RequestResult score_request_rewritten(std::string_view bytes);

}  // namespace quorvel::score
