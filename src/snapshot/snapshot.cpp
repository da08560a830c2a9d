#include "snapshot/snapshot.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "json/reader.h"
#include "json/record.h"

namespace quorvel::snapshot {

namespace {

using json::Reader;
using json::RecordShape;
using json::Syntax;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::string_view kNaneinf = "naneinf";

// ---- lenient values -----------------------------------------------------------

// The lenient number rule without building a value tree for the common
// cases; arrays and objects are read in full (and dropped) so that their
// syntax, strings, numbers and nesting are checked like any read value.
// Kept out of line so that read_lenient's fast path stays small enough to
// inline into every record reader.
[[gnu::noinline]] double read_lenient_rest(Reader& r, double fallback) {
  switch (r.peek_token()) {
    case '-':
      r.bump();
      return r.parse_number(false).as_double();
    case '0':
      return r.parse_number(true).as_double();
    case '"':
      r.bump();
      return r.parse_string() == kNaneinf ? kInfinity : fallback;
    default:
      return number_or(r.read_value(), fallback);
  }
}

// Most lenient values are plain numbers: read here, the rest by read_lenient_rest.
double read_lenient(Reader& r, double fallback) {
  if (const std::optional<double> n = r.parse_short_integer()) return *n;
  return read_lenient_rest(r, fallback);
}

std::int32_t saturate_i32(double x) {
  if (std::isnan(x)) return 0;
  if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(x);  // truncates toward zero
}

std::int32_t read_lenient_i32(Reader& r) {
  return saturate_i32(read_lenient(r, 0.0));
}

// The element a list reads next. Room for eight is made at the first: a
// hand, the jokers and a deck's groups seldom hold more, and a list grown
// from one would move the records read so far three times.
template <class T>
T& next_of(std::vector<T>& list) {
  if (list.capacity() == 0) list.reserve(8);
  return list.emplace_back();
}

// ---- objective ------------------------------------------------------------------

Objective objective_named(Reader& r, std::string_view name) {
  if (name == "score") return Objective::score;
  if (name == "money") return Objective::money;
  std::string text = "unknown variant `";
  text += name;
  text += "`, expected `score` or `money`";
  r.fail_message(std::move(text));
}

// "score" / "money", or an object {"score": null} / {"money": null}.
Objective read_objective(Reader& r) {
  int c = r.peek();
  if (c == '"') {
    r.bump();
    return objective_named(r, r.parse_string());
  }
  if (c != '{') r.fail_at_peek(c == Reader::kEnd ? Syntax::eof_value : Syntax::expected_value);
  r.enter();
  r.bump();
  c = r.peek();
  if (c != '"') {
    r.fail_at_peek(c == Reader::kEnd ? Syntax::eof_object
                   : c == '}'        ? Syntax::expected_value
                                     : Syntax::key_must_be_string);
  }
  r.bump();
  Objective objective = objective_named(r, r.parse_string());
  r.parse_colon();
  c = r.peek();
  if (c == Reader::kEnd) r.fail_at_peek(Syntax::eof_value);
  if (c != 'n') r.invalid_type("unit");
  r.bump();
  r.parse_ident("ull");
  r.leave();
  c = r.peek();
  if (c != '}') r.fail_at_peek(c == Reader::kEnd ? Syntax::eof_object : Syntax::expected_value);
  r.bump();
  return objective;
}

// ---- records -----------------------------------------------------------------------
// Key tables in declaration order, which is also the array-form order.

constexpr std::string_view kPermaKeys[] = {"bonus", "mult", "x_mult"};
constexpr auto kPermaIndex = json::key_index(kPermaKeys);
constexpr RecordShape kPerma = json::record_shape("Perma", kPermaKeys, 0, kPermaIndex);

Perma read_perma(Reader& r) {
  Perma p;
  json::read_record(r, kPerma, [&](std::size_t key) {
    switch (key) {
      case 0:
        p.bonus = read_lenient(r, 0.0);
        break;
      case 1:
        p.mult = read_lenient(r, 0.0);
        break;
      case 2:
        p.x_mult = read_lenient(r, 1.0);
        break;
    }
  });
  return p;
}

constexpr std::string_view kCardKeys[] = {"id",   "rank",  "suit",   "enh",    "ed",
                                          "seal", "perma", "debuff", "forced", "hidden"};
constexpr auto kCardIndex = json::key_index(kCardKeys);
constexpr RecordShape kCard = json::record_shape("Card", kCardKeys, json::required(0), kCardIndex);

void read_card(Reader& r, Card& card) {
  json::read_record(r, kCard, [&](std::size_t key) {
    switch (key) {
      case 0:
        card.id = r.read_i64();
        break;
      case 1:
        card.rank = read_lenient_i32(r);
        break;
      case 2:
        card.suit = r.read_string_view();
        break;
      case 3:
        card.enh = r.read_optional_string();
        break;
      case 4:
        card.ed = r.read_optional_string();
        break;
      case 5:
        card.seal = r.read_optional_string();
        break;
      case 6:
        card.perma = read_perma(r);
        break;
      case 7:
        card.debuff = r.read_bool();
        break;
      case 8:
        card.forced = r.read_bool();
        break;
      case 9:
        card.hidden = r.read_bool();
        break;
    }
  });
}

constexpr std::string_view kJokerKeys[] = {"id",     "key",  "ed",     "debuff",
                                           "hidden", "sell", "rarity", "ab"};
constexpr auto kJokerIndex = json::key_index(kJokerKeys);
constexpr RecordShape kJoker =
    json::record_shape("Joker", kJokerKeys, json::required(0), kJokerIndex);

void read_joker(Reader& r, Joker& joker) {
  json::read_record(r, kJoker, [&](std::size_t key) {
    switch (key) {
      case 0:
        joker.id = r.read_i64();
        break;
      case 1:
        joker.key = r.read_optional_string();
        break;
      case 2:
        joker.ed = r.read_optional_string();
        break;
      case 3:
        joker.debuff = r.read_bool();
        break;
      case 4:
        joker.hidden = r.read_bool();
        break;
      case 5:
        joker.sell = read_lenient(r, 0.0);
        break;
      case 6:
        joker.rarity = read_lenient_i32(r);
        break;
      case 7:
        joker.ab = r.read_value();
        break;
    }
  });
}

constexpr std::string_view kLevelKeys[] = {"level",  "chips",  "mult",         "l_chips",
                                           "l_mult", "played", "played_round", "visible"};
constexpr auto kLevelIndex = json::key_index(kLevelKeys);
constexpr RecordShape kLevel = json::record_shape("Level", kLevelKeys, 0, kLevelIndex);

Level read_level(Reader& r) {
  Level level;
  json::read_record(r, kLevel, [&](std::size_t key) {
    switch (key) {
      case 0:
        level.level = read_lenient(r, 1.0);
        break;
      case 1:
        level.chips = read_lenient(r, 0.0);
        break;
      case 2:
        level.mult = read_lenient(r, 1.0);
        break;
      case 3:
        level.l_chips = read_lenient(r, 0.0);
        break;
      case 4:
        level.l_mult = read_lenient(r, 0.0);
        break;
      case 5:
        level.played = read_lenient(r, 0.0);
        break;
      case 6:
        level.played_round = read_lenient(r, 0.0);
        break;
      case 7:
        level.visible = r.read_bool();
        break;
    }
  });
  return level;
}

// The levels map, the later of two equal names kept: read in the host's
// order, sorted once at the end.
void read_levels(Reader& r, Levels& levels) {
  std::vector<Levels::value_type> entries;
  json::read_map(r, [&](std::string_view name) {
    if (entries.empty()) entries.reserve(16);  // a host sends twelve
    Levels::value_type& entry = entries.emplace_back(name, Level{});
    entry.second = read_level(r);
  });
  levels = Levels(std::move(entries));
}

constexpr std::string_view kBlindKeys[] = {"key", "disabled", "target"};
constexpr auto kBlindIndex = json::key_index(kBlindKeys);
constexpr RecordShape kBlind = json::record_shape("Blind", kBlindKeys, 0, kBlindIndex);

Blind read_blind(Reader& r) {
  Blind blind;
  json::read_record(r, kBlind, [&](std::size_t key) {
    switch (key) {
      case 0:
        blind.key = r.read_string_view();
        break;
      case 1:
        blind.disabled = r.read_bool();
        break;
      case 2:
        blind.target = read_lenient(r, 0.0);
        break;
    }
  });
  return blind;
}

constexpr std::string_view kIdolKeys[] = {"rank", "suit"};
constexpr auto kIdolIndex = json::key_index(kIdolKeys);
constexpr RecordShape kIdol = json::record_shape("Idol", kIdolKeys, 0, kIdolIndex);

Idol read_idol(Reader& r) {
  Idol idol;
  json::read_record(r, kIdol, [&](std::size_t key) {
    switch (key) {
      case 0:
        idol.rank = read_lenient_i32(r);
        break;
      case 1:
        idol.suit = r.read_string_view();
        break;
    }
  });
  return idol;
}

constexpr std::string_view kRoundKeys[] = {
    "hands_left",   "discards_left", "dollars",     "chips",      "idol",
    "ancient_suit", "hands_played",  "round_hands", "tarot_used", "most_played"};
constexpr auto kRoundIndex = json::key_index(kRoundKeys);
constexpr RecordShape kRound = json::record_shape("Round", kRoundKeys, 0, kRoundIndex);

Round read_round(Reader& r) {
  Round round;
  json::read_record(r, kRound, [&](std::size_t key) {
    switch (key) {
      case 0:
        round.hands_left = read_lenient(r, 0.0);
        break;
      case 1:
        round.discards_left = read_lenient(r, 0.0);
        break;
      case 2:
        round.dollars = read_lenient(r, 0.0);
        break;
      case 3:
        round.chips = read_lenient(r, 0.0);
        break;
      case 4:
        round.idol = read_idol(r);
        break;
      case 5:
        round.ancient_suit = r.read_string_view();
        break;
      case 6:
        round.hands_played = read_lenient(r, 0.0);
        break;
      case 7:
        round.round_hands = read_lenient(r, 0.0);
        break;
      case 8:
        round.tarot_used = read_lenient(r, 0.0);
        break;
      case 9:
        round.most_played = r.read_string_view();
        break;
    }
  });
  return round;
}

constexpr std::string_view kDeckGroupKeys[] = {"rank", "suit", "enh", "ed", "seal", "count"};
constexpr auto kDeckGroupIndex = json::key_index(kDeckGroupKeys);
constexpr RecordShape kDeckGroup =
    json::record_shape("DeckGroup", kDeckGroupKeys, 0, kDeckGroupIndex);

void read_deck_group(Reader& r, DeckGroup& group) {
  json::read_record(r, kDeckGroup, [&](std::size_t key) {
    switch (key) {
      case 0:
        group.rank = read_lenient_i32(r);
        break;
      case 1:
        group.suit = r.read_string_view();
        break;
      case 2:
        group.enh = r.read_optional_string();
        break;
      case 3:
        group.ed = r.read_optional_string();
        break;
      case 4:
        group.seal = r.read_optional_string();
        break;
      case 5:
        group.count = read_lenient(r, 0.0);
        break;
    }
  });
}

constexpr std::string_view kDeckKeys[] = {"back", "remaining", "total", "starting", "contents"};
constexpr auto kDeckIndex = json::key_index(kDeckKeys);
constexpr RecordShape kDeck = json::record_shape("Deck", kDeckKeys, 0, kDeckIndex);

Deck read_deck(Reader& r) {
  Deck deck;
  json::read_record(r, kDeck, [&](std::size_t key) {
    switch (key) {
      case 0:
        deck.back = r.read_string_view();
        break;
      case 1:
        deck.remaining = read_lenient(r, 0.0);
        break;
      case 2:
        deck.total = read_lenient(r, 0.0);
        break;
      case 3:
        deck.starting = read_lenient(r, 0.0);
        break;
      case 4:
        json::read_list(r, [&] { read_deck_group(r, next_of(deck.contents)); });
        break;
    }
  });
  return deck;
}

constexpr std::string_view kConsumableKeys[] = {"key"};
constexpr auto kConsumableIndex = json::key_index(kConsumableKeys);
constexpr RecordShape kConsumable =
    json::record_shape("Consumable", kConsumableKeys, 0, kConsumableIndex);

void read_consumable(Reader& r, Consumable& consumable) {
  json::read_record(r, kConsumable, [&](std::size_t) { consumable.key = r.read_string_view(); });
}

constexpr std::string_view kOptionsKeys[] = {"objective", "discards", "seeded"};
constexpr auto kOptionsIndex = json::key_index(kOptionsKeys);
constexpr RecordShape kOptions = json::record_shape("Options", kOptionsKeys, 0, kOptionsIndex);

Options read_options(Reader& r) {
  Options options;
  json::read_record(r, kOptions, [&](std::size_t key) {
    switch (key) {
      case 0:
        options.objective = read_objective(r);
        break;
      case 1:
        options.discards = r.read_bool();
        break;
      case 2:
        options.seeded = r.read_bool();
        break;
    }
  });
  return options;
}

constexpr std::string_view kSnapshotKeys[] = {"schema",      "hand",  "jokers", "levels",
                                              "blind",       "round", "deck",   "vouchers",
                                              "consumables", "lobby", "options"};
constexpr auto kSnapshotIndex = json::key_index(kSnapshotKeys);
constexpr RecordShape kSnapshot =
    json::record_shape("Snapshot", kSnapshotKeys, json::required(0), kSnapshotIndex);

void read_snapshot(Reader& r, Snapshot& s) {
  json::read_record(r, kSnapshot, [&](std::size_t key) {
    switch (key) {
      case 0:
        s.schema = r.read_u32();
        break;
      case 1:
        json::read_list(r, [&] { read_card(r, next_of(s.hand)); });
        break;
      case 2:
        json::read_list(r, [&] { read_joker(r, next_of(s.jokers)); });
        break;
      case 3:
        read_levels(r, s.levels);
        break;
      case 4:
        s.blind = read_blind(r);
        break;
      case 5:
        s.round = read_round(r);
        break;
      case 6:
        s.deck = read_deck(r);
        break;
      case 7:
        json::read_list(r, [&] { next_of(s.vouchers) = r.read_string_view(); });
        break;
      case 8:
        json::read_list(r, [&] { read_consumable(r, next_of(s.consumables)); });
        break;
      case 9:
        s.lobby = r.read_bool();
        break;
      case 10:
        s.options = read_options(r);
        break;
    }
  });
}

}  // namespace

void read(Reader& r, Snapshot& snapshot) {
  read_snapshot(r, snapshot);
}

std::optional<std::string> check(const Snapshot& snapshot) {
  if (snapshot.schema != 1) return "unsupported snapshot schema " + std::to_string(snapshot.schema);
  if (snapshot.options.discards || snapshot.options.seeded) {
    return std::string("suggested discards and seeded mode aren't implemented");
  }
  return std::nullopt;
}

ParseResult parse(std::string_view bytes) {
  ParseResult result(std::in_place_type<Snapshot>);
  Snapshot& snapshot = std::get<Snapshot>(result);
  try {
    Reader r(bytes);
    read_snapshot(r, snapshot);
    r.finish();
  } catch (const json::ReadError& e) {
    return e.text(bytes);
  }
  if (std::optional<std::string> error = check(snapshot)) return std::move(*error);
  return result;
}

double number_or(const json::Value& value, double fallback) {
  switch (value.kind()) {
    case json::Kind::unsigned_int:
    case json::Kind::signed_int:
    case json::Kind::floating:
      return value.number();
    case json::Kind::string:
      return value.as_string() == kNaneinf ? kInfinity : fallback;
    default:
      return fallback;
  }
}

std::optional<double> ability_number(const json::Value* member) {
  if (member == nullptr || !member->is_number()) return std::nullopt;
  return member->number();
}

std::optional<double> Joker::num(std::string_view key) const {
  return ability_number(ab.find(key));
}

std::optional<double> Joker::extra() const {
  return num("extra");
}

std::optional<double> Joker::extra_num(std::string_view key) const {
  const json::Value* extra = ab.find("extra");
  return ability_number(extra != nullptr ? extra->find(key) : nullptr);
}

double Joker::num(std::string_view key, double fallback) const {
  return num(key).value_or(fallback);
}

double Joker::extra(double fallback) const {
  return extra().value_or(fallback);
}

double Joker::extra_num(std::string_view key, double fallback) const {
  return extra_num(key).value_or(fallback);
}

}  // namespace quorvel::snapshot
