// Scoring a play: the floor, expected and ceiling score and money.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "json/value.h"
#include "score/chance.h"
#include "score/context.h"
#include "snapshot/snapshot.h"

namespace quorvel::score {

// The six figures of a scored play: its score and the money it earns when
// every chance fails (floor), as expected, and when every chance succeeds.
struct Figures {
  double floor = 0.0;
  double expected = 0.0;
  double ceiling = 0.0;
  double money_floor = 0.0;
  double money_expected = 0.0;
  double money_ceiling = 0.0;

  // Adds the six to an answer object under their own names.
  void add_to(json::Object& out) const;
};

struct Scored : Figures {
  std::string hand;
  std::vector<std::int64_t> scored;
  std::vector<std::string> approximate;
  bool legal = true;
  bool has_chance = false;
};

// The most triggers a played or held card gets in one run; counts up to the
// bound are honoured exactly. A trigger costs its card and every joker that
// acts a visit, so a play's visits per trigger are cards x (jokers + 1), with
// `cards` the scoring and the held cards and `jokers` the jokers that act.
// The bound is kMaxTriggers while those visits are at most
// kTriggerSteps / kMaxTriggers, else kTriggerSteps / visits (rounded down),
// but never below kMinTriggers: even an absurd play's run stays near
// kTriggerSteps visits.
inline constexpr std::uint32_t kMaxTriggers = 256;
inline constexpr std::uint32_t kMinTriggers = 8;
inline constexpr std::uint64_t kTriggerSteps = std::uint64_t{1} << 24;
std::uint32_t trigger_bound(std::size_t cards, std::size_t jokers);

struct Outcome {
  double score = 0.0;
  double money = 0.0;
};

// One scoring run of a play under a resolved joker order.
Outcome run(const Prepared& prep, const Play& play, const Lineup& lineup, Chance& chance,
            std::uint32_t level_ups);

// Played cards and joker order are positions into the snapshot's hand and
// jokers; a position that names none throws std::out_of_range.
Scored score_play(const snapshot::Snapshot& snapshot, std::span<const std::size_t> played,
                  std::span<const std::size_t> order);

// The same with the snapshot and the selection prepared once: the search's path.
Scored score_play(const Prepared& prep, const Play& play, std::span<const std::size_t> order);
Outcome score_expected(const Prepared& prep, const Play& play, std::span<const std::size_t> order);
// The same with the joker order resolved once for many plays.
Scored score_play(const Prepared& prep, const Play& play, const Lineup& lineup);
Outcome score_expected(const Prepared& prep, const Play& play, const Lineup& lineup);

std::vector<std::string> approximate_tags(const snapshot::Snapshot& snapshot);

// A finite value as a float number, anything else as the string "naneinf".
json::Value to_json_number(double value);

}  // namespace quorvel::score
