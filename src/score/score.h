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

struct Scored {
  std::string hand;
  std::vector<std::int64_t> scored;
  std::vector<std::string> approximate;
  double floor = 0.0;
  double expected = 0.0;
  double ceiling = 0.0;
  double money_floor = 0.0;
  double money_expected = 0.0;
  double money_ceiling = 0.0;
  bool legal = true;
  bool has_chance = false;

  json::Value to_json() const;
};

// The most triggers a played or held card gets in one run; counts up to it
// are honoured exactly.
inline constexpr std::uint32_t kMaxTriggers = 256;

struct Outcome {
  double score = 0.0;
  double money = 0.0;
};

// One scoring run of a play under a joker order.
Outcome run(const Prepared& prep, const Play& play, std::span<const std::size_t> order,
            Chance& chance, std::uint32_t level_ups);
// The same with the order already resolved (checked by check_order first).
Outcome run(const Prepared& prep, const Play& play, const jokers::ResolvedOrder& order,
            Chance& chance, std::uint32_t level_ups);
// Throws std::out_of_range unless every position names a joker of the snapshot.
void check_order(const Prepared& prep, std::span<const std::size_t> order);

// Played cards and joker order are positions into the snapshot's hand and
// jokers; every position must be valid.
Scored score_play(const snapshot::Snapshot& snapshot, std::span<const std::size_t> played,
                  std::span<const std::size_t> order);
Outcome score_expected(const snapshot::Snapshot& snapshot, std::span<const std::size_t> played,
                       std::span<const std::size_t> order);

// The same with the snapshot and the selection prepared once: the search's path.
Scored score_play(const Prepared& prep, const Play& play, std::span<const std::size_t> order);
Outcome score_expected(const Prepared& prep, const Play& play, std::span<const std::size_t> order);

std::vector<std::string> approximate_tags(const snapshot::Snapshot& snapshot);
void push_unique(std::vector<std::string>& list, std::string text);

// A finite value as a float number, anything else as the string "naneinf".
json::Value to_json_number(double value);

}  // namespace quorvel::score
