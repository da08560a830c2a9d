// Snapshots built in code for the search tests, and a sink that keeps reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "search/stages.h"
#include "support/text.h"

namespace quorvel::search::testing {

inline snapshot::Card card(std::int64_t id, std::int32_t rank, std::string suit,
                           std::optional<std::string> enh = {}, double bonus = 0.0) {
  snapshot::Card c;
  c.id = id;
  c.rank = rank;
  c.suit = std::move(suit);
  c.enh = std::move(enh);
  c.perma.bonus = bonus;
  return c;
}

inline snapshot::Joker joker(std::int64_t id, std::string key, json::Object ab = {}) {
  snapshot::Joker j;
  j.id = id;
  j.key = std::move(key);
  j.ab = json::Value(std::move(ab));
  return j;
}

// "j_joker": +mult, acting where it stands.
inline snapshot::Joker plus_mult(std::int64_t id, double mult) {
  json::Object ab;
  ab.emplace("mult", mult);
  return joker(id, "j_joker", std::move(ab));
}

// "j_cavendish": x3 mult.
inline snapshot::Joker times_three(std::int64_t id) {
  return joker(id, "j_cavendish");
}

inline void level(snapshot::Snapshot& snap, const std::string& hand, double chips, double mult,
                  double played_round = 0.0) {
  snapshot::Level l;
  l.chips = chips;
  l.mult = mult;
  l.played_round = played_round;
  snap.levels[hand] = l;
}

// Plain levels for the hands the tests play.
inline snapshot::Snapshot with_levels() {
  snapshot::Snapshot snap;
  snap.schema = 1;
  level(snap, "High Card", 5, 1);
  level(snap, "Pair", 10, 2);
  level(snap, "Two Pair", 20, 2);
  level(snap, "Three of a Kind", 30, 3);
  return snap;
}

// n cards of distinct ranks 2, 3, ... in alternating suits, ids 1..n.
inline snapshot::Snapshot free_cards(std::size_t n) {
  snapshot::Snapshot snap = with_levels();
  const char* suits[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
  for (std::size_t i = 0; i < n; ++i) {
    snap.hand.push_back(
        card(static_cast<std::int64_t>(i + 1), static_cast<std::int32_t>(2 + i), suits[i % 4]));
  }
  return snap;
}

// n cards of ranks 2 to 14 over and over in rotating suits, ids 1..n: a
// hand of any size.
inline snapshot::Snapshot cycling_cards(std::size_t n) {
  snapshot::Snapshot snap = with_levels();
  const char* suits[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
  for (std::size_t i = 0; i < n; ++i) {
    snap.hand.push_back(card(static_cast<std::int64_t>(i + 1),
                             static_cast<std::int32_t>(2 + i % 13), suits[i % 4]));
  }
  return snap;
}

struct Recorder {
  std::vector<SearchResult> reports;
  Sink sink() {
    return [this](SearchResult r) { reports.push_back(std::move(r)); };
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const SearchResult& r : reports) out.push_back(json::to_text(r.to_json()));
    return out;
  }
  std::vector<std::uint32_t> stages() const {
    std::vector<std::uint32_t> out;
    for (const SearchResult& r : reports) out.push_back(r.stage);
    return out;
  }
};

inline Cancel never() {
  return [] { return false; };
}

// True from the (n+1)-th call on; counts every call.
struct CancelAfter {
  std::size_t n;
  std::size_t calls = 0;
  Cancel fn() {
    return [this] { return calls++ >= n; };
  }
};

}  // namespace quorvel::search::testing
