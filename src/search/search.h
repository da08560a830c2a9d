// The search for the best play: every selection of forced and free cards is
// scored and ranked, then the joker order and the card order of the leading
// plays are improved, with a report at the end of each stage.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "json/value.h"
#include "score/score.h"
#include "snapshot/snapshot.h"

namespace quorvel::search {

// The recommended play: its card ids and its figures as the rescoring gives them.
struct Best : score::Figures {
  std::vector<std::int64_t> play;
  std::string hand;
  std::vector<std::int64_t> scored;
  double blind_pct = 0.0;
};

struct SearchResult {
  std::uint32_t stage = 1;
  bool done = false;
  std::optional<Best> best;
  std::vector<std::int64_t> joker_order;
  double current_order_expected = 0.0;
  double gain = 0.0;
  double gain_money = 0.0;
  bool blocked = false;
  bool blind_warning = false;
  bool order_exact = true;
  bool card_order_matters = false;
  std::vector<std::string> approximate;

  json::Value to_json() const;
};

using Cancel = std::function<bool()>;
using Sink = std::function<void(SearchResult)>;

// The scorings one search asks for: its score_play and score_expected calls,
// those of its reports included (a report rescores its play in full, and in
// the snapshot's own joker order when it recommends another), and each joker
// order whose expected score is taken from an equivalent order's run, counted
// as if it were scored. Deterministic for a given snapshot, so a change in it
// means the search behaved otherwise.
struct Counts {
  std::uint64_t score_play = 0;
  std::uint64_t score_expected = 0;
};

// What tests, benchmarks and fuzzing may ask of a search beyond the host's
// call; the defaults are the host's search.
struct Options {
  // Adds the scoring calls made, when not null.
  Counts* counts = nullptr;
  // Keeps every retained play in stage 1 instead of only the head of the
  // ranking that the later stages can reach, so that a search can be
  // compared with one that keeps no bound.
  bool whole_ranking = false;
  // Scores by itself every joker order whose expected score is taken from an
  // equivalent order's run, and ends the process on a result that differs in
  // any bit.
  bool check_shared_runs = false;
};

// The whole search of one snapshot. `cancel` is consulted before each
// selection, before each candidate of stages 2 and 3, before each
// hill-climbing pass and before the final report, and every few hundred
// steps of the bookkeeping in between (stage 1's head put in rank order,
// the head visited for its floors, the leading candidates picked after
// stage 2); once it answers true no further report is sent.
void run(const snapshot::Snapshot& snapshot, const Cancel& cancel, const Sink& sink,
         const Options& options = {});

}  // namespace quorvel::search
