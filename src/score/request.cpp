#include "score/request.h"

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "score/answer.h"
#include "score/request_reader.h"
#include "score/score.h"
#include "snapshot/snapshot.h"

namespace quorvel::score {

namespace {

// Hands up to this long are scanned for each id.
constexpr std::size_t kScanLimit = 32;

RequestResult failure(std::string text) {
  return {std::move(text), true};
}

// Scores the play of a snapshot that was read and checked.
RequestResult score(const snapshot::Snapshot& snap, const std::vector<std::int64_t>& play) {
  // Each id names the first hand card that has it. A long hand is indexed
  // once, so that naming thousands of cards costs no more than reading them.
  const std::vector<snapshot::Card>& hand = snap.hand;
  std::unordered_map<std::int64_t, std::size_t> first_of;
  if (hand.size() > kScanLimit && play.size() > 1) {
    first_of.reserve(hand.size());
    for (std::size_t p = 0; p < hand.size(); ++p) first_of.try_emplace(hand[p].id, p);
  }
  std::vector<std::size_t> played;
  played.reserve(play.size());
  for (std::int64_t id : play) {
    std::size_t position = hand.size();
    if (first_of.empty()) {
      position = 0;
      while (position < hand.size() && hand[position].id != id) ++position;
    } else if (auto it = first_of.find(id); it != first_of.end()) {
      position = it->second;
    }
    if (position == hand.size()) return failure("card " + std::to_string(id) + " is not in hand");
    played.push_back(position);
  }

  std::vector<std::size_t> order(snap.jokers.size());
  std::iota(order.begin(), order.end(), std::size_t{0});

  const Scored scored = score_play(snap, played, order);
  RequestResult answer;
  answer.text.reserve(128);
  write_answer(answer.text, scored);
  return answer;
}

}  // namespace

RequestResult score_request(std::string_view bytes) {
  // Nearly every request is read in place; one that this refuses is read
  // again through the rewritten snapshot, which gives the error texts.
  std::optional<ParsedRequest> request = read_parsed_request(bytes);
  if (!request) return score_request_rewritten(bytes);
  if (std::optional<std::string> error = snapshot::check(request->snapshot)) {
    return failure(std::move(*error));
  }
  return score(request->snapshot, request->play);
}

RequestResult score_request_rewritten(std::string_view bytes) {
  auto read = read_request(bytes);
  if (std::string* error = std::get_if<std::string>(&read)) return failure(std::move(*error));
  const ScoreRequest& request = std::get<ScoreRequest>(read);

  // The snapshot was read as a plain value tree; writing it back and parsing
  // that text applies every snapshot rule in one place, at the cost of error
  // positions that refer to the rewritten one-line text. Compact, the text
  // is seldom longer than the request.
  std::string snapshot_text;
  snapshot_text.reserve(bytes.size());
  request.snapshot.write(snapshot_text);
  snapshot::ParseResult parsed = snapshot::parse(snapshot_text);
  if (std::string* error = std::get_if<std::string>(&parsed)) return failure(std::move(*error));
  return score(std::get<snapshot::Snapshot>(parsed), request.play);
}

}  // namespace quorvel::score
