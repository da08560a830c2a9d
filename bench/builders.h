// Builders for the benchmarks' fixed snapshots.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// Order-sensitive jokers that touch every phase: additive and multiplying
// mult, per-card effects, a chance, a retrigger and a random amount.
inline std::vector<snapshot::Joker> jokers(std::size_t n) {
  std::vector<snapshot::Joker> pool;
  json::Object plus;
  plus.emplace("mult", 4.0);
  pool.push_back(joker(101, "j_joker", std::move(plus)));
  pool.push_back(joker(102, "j_cavendish"));
  pool.push_back(joker(103, "j_photograph"));
  pool.push_back(joker(104, "j_smiley"));
  pool.push_back(joker(105, "j_bloodstone"));
  pool.push_back(joker(106, "j_hack"));
  pool.push_back(joker(107, "j_misprint"));
  pool.resize(n);
  return pool;
}

inline snapshot::Snapshot base() {
  snapshot::Snapshot snap;
  snap.schema = 1;
  const std::pair<const char*, std::pair<double, double>> levels[] = {
      {"Flush Five", {160, 16}},    {"Flush House", {140, 14}},  {"Five of a Kind", {120, 12}},
      {"Straight Flush", {100, 8}}, {"Four of a Kind", {60, 7}}, {"Full House", {40, 4}},
      {"Flush", {35, 4}},           {"Straight", {30, 4}},       {"Three of a Kind", {30, 3}},
      {"Two Pair", {20, 2}},        {"Pair", {10, 2}},           {"High Card", {5, 1}}};
  for (const auto& [name, cm] : levels) {
    snapshot::Level l;
    l.chips = cm.first;
    l.mult = cm.second;
    snap.levels[name] = l;
  }
  snap.blind.key = "bl_small";
  snap.blind.target = 3000;
  snap.round.hands_left = 3;
  snap.round.discards_left = 2;
  snap.round.dollars = 10;
  return snap;
}

inline std::vector<snapshot::Card> hand(std::size_t n) {
  std::vector<snapshot::Card> all = {
      card(1, 14, "Hearts"),
      card(2, 13, "Hearts", "m_glass"),
      card(3, 13, "Spades"),
      card(4, 12, "Diamonds", "m_mult"),
      card(5, 10, "Hearts"),
      card(6, 7, "Clubs", "m_lucky"),
      card(7, 5, "Hearts", {}, "Gold"),
      card(8, 2, "Diamonds", "m_bonus", {}, "e_foil"),
      card(9, 11, "Hearts"),
      card(10, 9, "Hearts", {}, {}, "e_holo"),
      card(11, 4, "Spades", "m_steel"),
      card(12, 3, "Clubs", {}, "Red"),
  };
  all.resize(n);
  return all;
}

// The searches' fixed inputs: the first `cards` cards of a mixed hand, the
// first `joker_count` order-sensitive jokers, and `forced` cards forced from
// the sixth on.
inline snapshot::Snapshot scenario(std::size_t cards, std::size_t joker_count,
                                   std::size_t forced = 0) {
  snapshot::Snapshot snap = base();
  snap.hand = hand(cards);
  for (std::size_t i = 0; i < forced; ++i) snap.hand[5 + i].forced = true;
  snap.jokers = jokers(joker_count);
  return snap;
}

}  // namespace quorvel::bench
