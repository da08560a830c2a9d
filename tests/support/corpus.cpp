#include "support/corpus.h"

#include "jokers/keys.h"

namespace quorvel::corpus {

namespace {

constexpr std::array<std::string_view, 4> kSuits = {"Spades", "Hearts", "Clubs", "Diamonds"};
constexpr std::array<std::string_view, 9> kEnhancements = {
    "m_bonus", "m_mult", "m_wild", "m_glass", "m_steel", "m_stone", "m_gold", "m_lucky", "m_odd"};
constexpr std::array<std::string_view, 5> kEditions = {"e_foil", "e_holo", "e_polychrome",
                                                       "e_negative", "e_odd"};
constexpr std::array<std::string_view, 5> kSeals = {"Gold", "Red", "Blue", "Purple", "Odd"};
constexpr std::array<std::string_view, 12> kHands = {
    "Flush Five",      "Flush House", "Five of a Kind", "Straight Flush",
    "Four of a Kind",  "Full House",  "Flush",          "Straight",
    "Three of a Kind", "Two Pair",    "Pair",           "High Card"};
constexpr std::array<std::string_view, 12> kPlanets = {
    "c_eris",    "c_ceres",  "c_planet_x", "c_neptune", "c_mars",    "c_earth",
    "c_jupiter", "c_saturn", "c_venus",    "c_uranus",  "c_mercury", "c_pluto"};
constexpr std::array<std::string_view, 10> kBlinds = {
    "bl_psychic", "bl_eye",   "bl_mouth", "bl_arm",   "bl_ox",
    "bl_tooth",   "bl_flint", "bl_hook",  "bl_small", ""};

// Ability numbers: mostly the game's own magnitudes.
constexpr std::array<std::string_view, 20> kNumbers = {
    "0",  "1",   "2",   "3",   "4",    "5",   "8",  "10",  "15",  "20",
    "30", "0.5", "1.5", "2.5", "0.25", "0.1", "-1", "100", "1e3", "3.75"};

// A lenient field's value: usually a plain number, now and then an odd one.
std::string lenient(Rng& rng, std::string_view usual) {
  if (!rng.percent(4)) return std::string(usual);
  constexpr std::array<std::string_view, 6> kOdd = {"null",  "\"naneinf\"", "true",
                                                    "\"7\"", "[]",          "-2.5"};
  return std::string(rng.pick(kOdd));
}

std::string quoted(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '"';
  out += s;
  out += '"';
  return out;
}

void member(std::string& out, std::string_view key, const std::string& value) {
  if (out.back() != '{') out += ',';
  out += quoted(key);
  out += ':';
  out += value;
}

std::string card(Rng& rng, std::int64_t id) {
  std::string c = "{";
  member(c, "id", std::to_string(id));
  member(c, "rank", lenient(rng, std::to_string(2 + rng.below(13))));
  member(c, "suit", quoted(rng.percent(2) ? "Stars" : rng.pick(kSuits)));
  if (rng.percent(30)) member(c, "enh", quoted(rng.pick(kEnhancements)));
  if (rng.percent(15)) member(c, "ed", quoted(rng.pick(kEditions)));
  if (rng.percent(15)) member(c, "seal", quoted(rng.pick(kSeals)));
  if (rng.percent(10)) {
    std::string p = "{";
    member(p, "bonus", lenient(rng, std::string(rng.pick(kNumbers))));
    if (rng.percent(50)) member(p, "mult", std::string(rng.pick(kNumbers)));
    if (rng.percent(30)) member(p, "x_mult", rng.percent(50) ? "1.5" : "2");
    c += ",\"perma\":" + p + "}";
  }
  if (rng.percent(6)) member(c, "debuff", "true");
  if (rng.percent(4)) member(c, "hidden", "true");
  return c + "}";
}

std::string ability(Rng& rng, std::span<const std::string_view> numbers) {
  const auto number = [&] { return std::string(numbers[rng.below(numbers.size())]); };
  std::string ab = "{";
  constexpr std::array<std::string_view, 9> kTop = {
      "mult",         "x_mult",      "t_mult",
      "t_chips",      "stone_tally", "steel_tally",
      "driver_tally", "caino_xmult", "hands_played_at_create"};
  for (std::string_view key : kTop) {
    if (rng.percent(12)) member(ab, key, number());
  }
  if (rng.percent(15)) member(ab, "type", quoted(rng.pick(kHands)));
  if (rng.percent(8)) member(ab, "to_do_poker_hand", quoted(rng.pick(kHands)));
  if (rng.percent(45)) {
    member(ab, "extra", number());
  } else if (rng.percent(60)) {
    constexpr std::array<std::string_view, 13> kInner = {
        "chip_mod", "hand_add", "dollars", "chips",       "mult", "odds", "Xmult",
        "s_mult",   "size",     "min",     "d_remaining", "max",  "every"};
    std::string extra = "{";
    for (std::string_view key : kInner) {
      if (rng.percent(20)) member(extra, key, number());
    }
    if (rng.percent(25)) member(extra, "suit", quoted(rng.pick(kSuits)));
    member(ab, "extra", extra + "}");
  }
  return ab + "}";
}

std::string joker(Rng& rng, std::int64_t id, std::span<const std::string_view> numbers) {
  std::string j = "{";
  member(j, "id", std::to_string(id));
  const std::size_t roll = rng.below(100);
  if (roll < 85) {
    // Every key the engine models, from its own table: a new key is drawn
    // without a list here to keep in step.
    member(j, "key", quoted(rng.pick(jokers::KNOWN_JOKERS)));
  } else if (roll < 97) {
    member(j, "key", quoted(rng.percent(50) ? "j_golden" : "j_made_up"));
  }  // else no key at all
  if (rng.percent(15)) member(j, "ed", quoted(rng.pick(kEditions)));
  if (rng.percent(5)) member(j, "debuff", "true");
  if (rng.percent(3)) member(j, "hidden", "true");
  member(j, "rarity", std::to_string(1 + rng.below(3)));
  if (rng.percent(90)) member(j, "ab", ability(rng, numbers));
  return j + "}";
}

std::string level(Rng& rng, std::size_t type) {
  std::string l = "{";
  member(l, "level", lenient(rng, std::to_string(1 + rng.below(3))));
  member(l, "chips", std::to_string(5 + 10 * (11 - type) + rng.below(20)));
  member(l, "mult", lenient(rng, std::to_string(1 + (11 - type) + rng.below(3))));
  member(l, "l_chips", std::to_string(10 + rng.below(30)));
  member(l, "l_mult", std::to_string(1 + rng.below(4)));
  member(l, "played", std::to_string(rng.below(6)));
  member(l, "played_round", std::to_string(rng.percent(80) ? 0 : 1));
  if (rng.percent(70)) member(l, "visible", "true");
  return l + "}";
}

// A whole state's text, its fields drawn by `rng`; `ids` gets the card ids
// in hand order.
std::string state(Rng& rng, const Shape& shape, std::vector<std::int64_t>& ids) {
  const std::size_t jokers = shape.jokers;
  const std::size_t cards = shape.cards;
  std::string s = "{";
  member(s, "schema", "1");
  std::string hand = "[";
  for (std::size_t i = 0; i < cards; ++i) {
    // Ids repeat now and then: the first card with an id is the one named.
    const auto id = static_cast<std::int64_t>(rng.percent(5) ? 100 : 100 + i);
    ids.push_back(id);
    if (i > 0) hand += ',';
    std::string c = card(rng, id);
    if (shape.forced > 0 ? i < shape.forced : rng.percent(shape.forced_percent))
      c.insert(c.size() - 1, ",\"forced\":true");
    hand += c;
  }
  member(s, "hand", hand + "]");
  std::string js = "[";
  for (std::size_t i = 0; i < jokers; ++i) {
    if (i > 0) js += ',';
    js += joker(rng, static_cast<std::int64_t>(i + 1),
                shape.ability_numbers.empty() ? std::span(kNumbers) : shape.ability_numbers);
  }
  member(s, "jokers", js + "]");

  std::string levels = "{";
  for (std::size_t t = 0; t < kHands.size(); ++t) {
    if (rng.percent(92)) member(levels, kHands[t], level(rng, t));
  }
  member(s, "levels", levels + "}");

  if (rng.percent(70)) {
    std::string b = "{";
    member(b, "key", quoted(rng.percent(60) ? "bl_small" : rng.pick(kBlinds)));
    if (rng.percent(10)) member(b, "disabled", "true");
    member(b, "target", std::to_string(300 * (1 + rng.below(20))));
    member(s, "blind", b + "}");
  }
  std::string r = "{";
  member(r, "hands_left", lenient(rng, std::to_string(rng.below(5))));
  member(r, "discards_left", lenient(rng, std::to_string(rng.below(4))));
  member(r, "dollars", lenient(rng, std::to_string(rng.below(40))));
  member(r, "chips", std::to_string(100 * rng.below(30)));
  if (rng.percent(40)) {
    r += ",\"idol\":{\"rank\":" + std::to_string(2 + rng.below(13)) +
         ",\"suit\":" + quoted(rng.pick(kSuits)) + "}";
  }
  if (rng.percent(40)) member(r, "ancient_suit", quoted(rng.pick(kSuits)));
  member(r, "hands_played", std::to_string(rng.below(20)));
  member(r, "round_hands", std::to_string(rng.percent(50) ? 0 : rng.below(3)));
  if (rng.percent(30)) member(r, "tarot_used", std::to_string(rng.below(5)));
  if (rng.percent(50)) member(r, "most_played", quoted(rng.pick(kHands)));
  member(s, "round", r + "}");

  std::string d = "{";
  member(d, "back", quoted(rng.percent(15) ? "b_plasma" : "b_red"));
  member(d, "remaining", lenient(rng, std::to_string(rng.below(52))));
  member(d, "total", lenient(rng, std::to_string(40 + rng.below(20))));
  member(d, "starting", std::to_string(rng.percent(70) ? 52 : 40 + rng.below(20)));
  member(s, "deck", d + "}");
  if (rng.percent(20)) member(s, "vouchers", "[\"v_observatory\",\"v_grabber\"]");
  if (rng.percent(30)) {
    std::string c = "[";
    const std::size_t n = 1 + rng.below(3);
    for (std::size_t i = 0; i < n; ++i) {
      if (i > 0) c += ',';
      c += "{\"key\":" + quoted(rng.pick(kPlanets)) + "}";
    }
    member(s, "consumables", c + "]");
  }
  if (rng.percent(3)) member(s, "lobby", "true");
  if (rng.percent(shape.money_percent)) member(s, "options", "{\"objective\":\"money\"}");
  return s + "}";
}

Case make_case(Rng& rng, const Shape& shape) {
  Case out;
  std::vector<std::int64_t> ids;
  out.snapshot = state(rng, shape, ids);
  const std::size_t cards = shape.cards;
  for (int p = 0; p < 3; ++p) {
    std::vector<std::int64_t> play;
    const std::size_t n = 1 + rng.below(std::min<std::size_t>(cards, 5));
    std::vector<std::int64_t> pool = ids;
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t at = rng.below(pool.size());
      play.push_back(pool[at]);
      pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(at));
    }
    if (rng.percent(5)) play.push_back(999);  // not in hand
    out.plays.push_back(std::move(play));
  }
  return out;
}

}  // namespace

Case make_case(std::uint64_t seed) {
  Rng rng(seed);
  Shape shape;
  // Large hands get few jokers, so that every search stays short.
  shape.jokers = rng.below(100) < 85 ? rng.below(7) : 7 + rng.below(2);
  shape.cards = shape.jokers >= 5 ? 1 + rng.below(9) : 1 + rng.below(12);
  return make_case(rng, shape);
}

Case make_case(std::uint64_t seed, Shape shape) {
  Rng rng(seed);
  return make_case(rng, shape);
}

std::string large_state(std::uint64_t seed) {
  Rng rng(seed);
  Shape shape;
  shape.jokers = rng.below(9);
  shape.forced_percent = 0;
  shape.money_percent = 50;
  // Each size ranks more plays than the head holds when every joker order
  // counts: 100032 plays with two jokers, 33365 with three, 8365, 1698, 309.
  switch (shape.jokers) {
    case 2:
      shape.cards = 29 + rng.below(2);
      break;
    case 3:
      shape.cards = 24 + rng.below(2);
      break;
    case 4:
      shape.cards = 19 + rng.below(2);
      break;
    case 5:
      shape.cards = 14 + rng.below(3);
      break;
    case 6:
      shape.cards = 13 + rng.below(3);
      shape.forced = shape.cards > 13 ? rng.below(2) : 0;
      break;
    default:
      // A head of 32 or 64 plays: the largest hands, forced cards keeping
      // their selections few.
      shape.cards = 13 + rng.below(28);
      shape.forced = shape.cards > 20 ? 2 + rng.below(2) : rng.below(2);
      break;
  }
  std::vector<std::int64_t> ids;
  return state(rng, shape, ids);
}

std::string score_request(const std::string& snapshot, const std::vector<std::int64_t>& play,
                          bool array_form) {
  std::string ids = "[";
  for (std::size_t i = 0; i < play.size(); ++i) {
    if (i > 0) ids += ',';
    ids += std::to_string(play[i]);
  }
  ids += ']';
  if (array_form) return "[" + snapshot + "," + ids + "]";
  return "{\"snapshot\":" + snapshot + ",\"play\":" + ids + "}";
}

std::string mutate(std::string text, Rng& rng) {
  constexpr std::string_view kBytes = "{}[],:\"0a-.e\\ 1";
  const std::size_t at = rng.below(text.size());
  switch (rng.below(3)) {
    case 0:
      text.erase(at, 1);
      break;
    case 1:
      text.insert(at, 1, kBytes[rng.below(kBytes.size())]);
      break;
    default:
      text[at] = kBytes[rng.below(kBytes.size())];
      break;
  }
  return text;
}

}  // namespace quorvel::corpus
