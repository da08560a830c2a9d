// The game-state snapshot: plain records read from the host's JSON document.
// Nothing changes a record after it has been read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/flat_map.h"
#include "json/value.h"

namespace quorvel::json {
class Reader;
}

namespace quorvel::snapshot {

struct Perma {
  double bonus = 0.0;
  double mult = 0.0;
  double x_mult = 1.0;
};

struct Card {
  std::int64_t id = 0;
  std::int32_t rank = 0;
  std::string suit;
  std::optional<std::string> enh;
  std::optional<std::string> ed;
  std::optional<std::string> seal;
  Perma perma;
  bool debuff = false;
  bool forced = false;
  bool hidden = false;
};

struct Joker {
  std::int64_t id = 0;
  std::optional<std::string> key;
  std::optional<std::string> ed;
  bool debuff = false;
  bool hidden = false;
  double sell = 0.0;
  std::int32_t rarity = 0;
  json::Value ab;  // the ability object as the host sent it (null when absent)

  // The ability numbers, by one rule: a member that is a JSON number of any
  // kind, as a 64-bit float; anything else (absent, null, a string,
  // "naneinf" included) gives `fallback`.
  // ab.key:
  double num(std::string_view key, double fallback) const;
  // ab."extra":
  double extra(double fallback) const;
  // ab."extra".key, when "extra" is an object:
  double extra_num(std::string_view key, double fallback) const;
  // The same without a default, for a reader that applies its own later:
  // no value where the forms above give their fallback.
  std::optional<double> num(std::string_view key) const;
  std::optional<double> extra() const;
  std::optional<double> extra_num(std::string_view key) const;
};

struct Level {
  double level = 1.0;
  double chips = 0.0;
  double mult = 1.0;
  double l_chips = 0.0;
  double l_mult = 0.0;
  double played = 0.0;
  double played_round = 0.0;
  bool visible = false;
};

struct Blind {
  std::string key;
  bool disabled = false;
  double target = 0.0;
};

struct Idol {
  std::int32_t rank = 0;
  std::string suit;
};

struct Round {
  double hands_left = 0.0;
  double discards_left = 0.0;
  double dollars = 0.0;
  double chips = 0.0;
  Idol idol;
  std::string ancient_suit;
  double hands_played = 0.0;
  double round_hands = 0.0;
  double tarot_used = 0.0;
  std::string most_played;
};

struct DeckGroup {
  std::int32_t rank = 0;
  std::string suit;
  std::optional<std::string> enh;
  std::optional<std::string> ed;
  std::optional<std::string> seal;
  double count = 0.0;
};

struct Deck {
  std::string back;
  double remaining = 0.0;
  double total = 0.0;
  double starting = 0.0;
  std::vector<DeckGroup> contents;
};

struct Consumable {
  std::string key;
};

enum class Objective : std::uint8_t { score = 0, money = 1 };

struct Options {
  Objective objective = Objective::score;
  bool discards = false;
  bool seeded = false;
};

// By hand name, in unsigned byte order.
using Levels = common::FlatMap<Level>;

struct Snapshot {
  std::uint32_t schema = 0;
  std::vector<Card> hand;
  std::vector<Joker> jokers;
  Levels levels;
  Blind blind;
  Round round;
  Deck deck;
  std::vector<std::string> vouchers;
  std::vector<Consumable> consumables;
  bool lobby = false;
  Options options;
};

// Either the parsed snapshot or a plain-text error message.
using ParseResult = std::variant<Snapshot, std::string>;

// Reads one snapshot document (UTF-8 JSON bytes). Errors carry
// " at line L column C" unless they come from the schema or options checks.
ParseResult parse(std::string_view bytes);

// The two halves of parse(), for a snapshot that is a value inside a larger
// document. read() reads it at the cursor into a default `snapshot` by
// parse()'s rules and throws json::ReadError at the first fault; check()
// makes parse()'s schema and options checks of what was read, giving the
// error text of a refused one.
void read(json::Reader& r, Snapshot& snapshot);
std::optional<std::string> check(const Snapshot& snapshot);

// The lenient number rule: integers and floats as 64-bit floats, the string
// "naneinf" as +infinity, anything else the fallback.
double number_or(const json::Value& value, double fallback);

// The ability-number rule of Joker's accessors, on a member already looked
// up (null when absent): a JSON number of any kind as a 64-bit float, else
// no value.
std::optional<double> ability_number(const json::Value* member);

}  // namespace quorvel::snapshot
