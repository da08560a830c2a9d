// Builders for the benchmarks' fixed snapshots.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "json/value.h"
#include "snapshot/snapshot.h"

namespace quorvel::bench {

inline snapshot::Card card(std::int64_t id, std::int32_t rank, std::string suit,
                           std::optional<std::string> enh = {},
                           std::optional<std::string> seal = {},
                           std::optional<std::string> ed = {}) {
  snapshot::Card c;
  c.id = id;
  c.rank = rank;
  c.suit = std::move(suit);
  c.enh = std::move(enh);
  c.seal = std::move(seal);
  c.ed = std::move(ed);
  return c;
}

inline snapshot::Joker joker(std::int64_t id, std::string key, json::Object ab = {}) {
  snapshot::Joker j;
  j.id = id;
  j.key = std::move(key);
  j.rarity = 1;
  j.ab = json::Value(std::move(ab));
  return j;
}

}  // namespace quorvel::bench
