// The joker reference, docs/jokers.md, against the engine: one row per
// modelled key; its phases, copy and order cells against the engine's own
// tables; and every ability member it lists, with its default, by perturbing
// that member through whole scorings of a corpus that makes the key's rows act.
// And the rules reference, docs/rules.md: one row per rule item the engine knows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "blinds/blinds.h"
#include "hand/hand.h"
#include "jokers/jokers.h"
#include "score/score.h"
#include "search/stages.h"
#include "support/build.h"

namespace quorvel::score::test {
namespace {

using testing::card;
using Ab = std::map<std::string, json::Value>;  // member name as the reference writes it

// Every member of "ab" a joker can read, as the reference names them.
const std::vector<std::string> kMembers = [] {
  std::stringstream in(
      "ab.mult ab.x_mult ab.t_mult ab.t_chips ab.stone_tally ab.steel_tally ab.driver_tally "
      "ab.caino_xmult ab.hands_played_at_create ab.type ab.to_do_poker_hand extra "
      "extra.chip_mod extra.hand_add extra.dollars extra.chips extra.mult extra.odds extra.Xmult "
      "extra.s_mult extra.size extra.min extra.max extra.d_remaining extra.every extra.suit");
  std::vector<std::string> out;
  for (std::string m; in >> m;) out.push_back(m);
  return out;
}();

bool is_member(std::string_view m) {
  return std::find(kMembers.begin(), kMembers.end(), m) != kMembers.end();
}
bool is_text(std::string_view m) {
  return m == "ab.type" || m == "ab.to_do_poker_hand" || m == "extra.suit";
}
// "extra" as a number and a member of "extra" as an object exclude each other.
bool conflict(std::string_view a, std::string_view b) {
  return a.starts_with("extra") && b.starts_with("extra") && (a == "extra") != (b == "extra");
}
// Two values tried against a member's default; the first makes it act.
std::vector<json::Value> others(std::string_view m) {
  if (m == "extra.suit") return {json::Value("Hearts"), json::Value("High Card")};
  if (is_text(m)) return {json::Value("High Card"), json::Value("Hearts")};
  return {json::Value(17.0), json::Value(0.5)};
}

// Counts the fields of an aggregate: the most initialisers it accepts.
struct AnyField {
  template <typename T>
  operator T() const;
};
template <typename T, typename... F>
constexpr std::size_t field_count() {
  if constexpr (requires { T{F{}..., AnyField{}}; })
    return field_count<T, F..., AnyField>();
  else
    return sizeof...(F);
}

TEST(JokerReference, MemberListCoversEveryAbilityField) {
  // "ab.type" is held in two fields, "ab.mult" and "ab.x_mult" go straight
  // into the initial joker state; a new field needs its member listed here.
  EXPECT_EQ(field_count<jokers::Ability>(), kMembers.size() + 1 - 2);
}

json::Value ability(const Ab& members) {
  json::Object ab, extra;
  for (const auto& [name, v] : members) {
    if (name.starts_with("ab."))
      ab[name.substr(3)] = v;
    else if (name == "extra")
      ab["extra"] = v;
    else
      extra[name.substr(6)] = v;
  }
  if (!extra.empty()) ab["extra"] = json::Value(std::move(extra));
  return json::Value(std::move(ab));
}

// ---- the reference

struct Row {
  std::set<std::string> phases;
  Ab reads;                         // its own members, with their defaults
  std::set<std::string> not_taken;  // generic members it does not take
  bool no_generic = false;          // it takes none of them
  std::string copy, order;
};

struct Doc {
  Ab generic;
  std::map<std::string, Row> rows;
  std::vector<std::string> faults;
};

std::string trim(std::string s) {
  const auto b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::vector<std::string> cells(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line.substr(1));
  for (std::string c; std::getline(in, c, '|');) out.push_back(trim(c));
  return out;
}

json::Value default_of(const std::string& text, Doc& doc) {
  if (text == "\"\"") return json::Value(std::string());
  char* end = nullptr;
  const double d = std::strtod(text.c_str(), &end);
  if (!text.empty() && *end == '\0') return json::Value(d);
  doc.faults.push_back("not a default: " + text);
  return json::Value();
}

Doc read_doc() {
  std::ifstream in(QRV_DOCS_DIR "/jokers.md");
  EXPECT_TRUE(in.is_open()) << "cannot read " << QRV_DOCS_DIR "/jokers.md";
  Doc doc;
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("| `")) continue;
    const std::vector<std::string> c = cells(line);
    const std::string name = c[0].substr(1, c[0].size() - 2);
    if (is_member(name) && c.size() >= 2) {
      doc.generic[name] = default_of(c[1], doc);
    } else if (name.starts_with("j_") && c.size() >= 6) {
      if (doc.rows.count(name) != 0) doc.faults.push_back("two rows: " + name);
      Row& row = doc.rows[name];
      std::stringstream phases(c[1]);
      for (std::string p; std::getline(phases, p, ',');)
        if (trim(p) != "—") row.phases.insert(trim(p));
      // Items: `member` (default), not `member`, no generic members, or —.
      std::stringstream items(c[2]);
      for (std::string item; std::getline(items, item, ',');) {
        item = trim(item);
        const std::size_t open = item.find('`'), close = item.find('`', open + 1);
        const bool quoted = close != std::string::npos;
        const std::string m = quoted ? item.substr(open + 1, close - open - 1) : "";
        const std::string rest = quoted ? trim(item.substr(close + 1)) : "";
        if (item == "—" || item == "no generic members") {
          row.no_generic = row.no_generic || item != "—";
        } else if (item.starts_with("not `") && rest.empty() && doc.generic.count(m)) {
          row.not_taken.insert(m);
        } else if (open == 0 && rest.starts_with('(') && rest.ends_with(')')) {
          row.reads[m] = default_of(rest.substr(1, rest.size() - 2), doc);
        } else {
          doc.faults.push_back(name + ": unreadable " + item);
        }
      }
      for (const auto& [m, d] : row.reads)
        if (!is_member(m) || is_text(m) != (d.kind() == json::Kind::string))
          doc.faults.push_back(name + " reads " + m + " with a default of the wrong kind");
      row.copy = c[3];
      row.order = c[4];
    }
  }
  return doc;
}

const Doc& doc() {
  static const Doc d = read_doc();
  return d;
}

// What a key reads: its own members and the generic ones it takes.
Ab reads_of(const Row& row) {
  Ab all = row.reads;
  for (const auto& [m, d] : doc().generic)
    if (!row.no_generic && row.not_taken.count(m) == 0) all.emplace(m, d);
  return all;
}

TEST(JokerReference, OneRowPerModelledKey) {
  const Doc& d = doc();
  for (const std::string& f : d.faults) ADD_FAILURE() << f;
  EXPECT_EQ(d.generic.size(), 4u);
  std::set<std::string> known(jokers::KNOWN_JOKERS.begin(), jokers::KNOWN_JOKERS.end());
  for (const std::string& k : known) EXPECT_EQ(d.rows.count(k), 1u) << "no row for " << k;
  for (const auto& [k, row] : d.rows) EXPECT_EQ(known.count(k), 1u) << "not a modelled key " << k;
}

// ---- the corpus

snapshot::Joker joker_of(const std::string& key, std::int32_t rarity = 0) {
  snapshot::Joker j = testing::joker(key);
  if (key.empty()) j.key.reset();
  j.rarity = rarity;
  return j;
}

snapshot::Levels levels() {
  snapshot::Levels out;
  for (std::size_t t = 0; t < hand::kHandTypes; ++t) {
    snapshot::Level l =
        testing::level(5.0 + 10.0 * static_cast<double>(12 - t), 1.0 + (12 - t) / 3, 10, 1, 2);
    l.played = static_cast<double>(t % 3);
    l.visible = t != 0;
    out[hand::name(static_cast<hand::HandType>(t))] = l;
  }
  out["Flush"].played = 6;  // "j_obelisk" grows on most plays, falls back on a flush
  out["Pair"].played_round = 1;
  return out;
}

// Cards written short: rank 2 to 9, T, J, Q, K or A, then the suit's letter.
std::vector<snapshot::Card> cards(const std::string& text) {
  std::vector<snapshot::Card> out;
  std::stringstream in(text);
  for (std::string c; in >> c;) {
    const auto rank = static_cast<std::int32_t>(std::string_view("..23456789TJQKA").find(c[0]));
    const std::string_view suits = "shcd";
    const char* names[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
    out.push_back(card(rank, names[suits.find(c[1])]));
  }
  return out;
}

// One snapshot and the plays scored on it.
struct Setting {
  snapshot::Snapshot snap;
  std::vector<std::vector<std::size_t>> plays;
};

// Three rounds, each with the key's joker at place 1 behind `first`, alone and
// with an uncommon keyless joker and a "j_dna" beside it.
std::vector<Setting> corpus(const std::string& key, const std::string& first) {
  std::vector<snapshot::Card> varied = cards("As Kh Kc Qd Js Th 2h 5c 4d 8d 3s 7s Qh Kd 2c 9h 9c");
  varied[0].ed = "e_foil", varied[4].ed = "e_polychrome", varied[6].enh = "m_gold";
  varied[7].enh = "m_lucky", varied[7].seal = "Red", varied[8].enh = "m_bonus";
  varied[11].enh = "m_steel", varied[13].seal = "Gold", varied[14].enh = "m_glass";
  varied[16].debuff = true;
  std::vector<snapshot::Card> black = cards("As Kc Ks Qs Jc Ts 7s 2c");
  black[6].enh = "m_steel";
  std::vector<Setting> out;
  for (int layout = 0; layout < 2; ++layout) {
    std::vector<snapshot::Joker> jokers = {joker_of(first), joker_of(key)};
    if (layout == 1) jokers.insert(jokers.end(), {joker_of("", 2), joker_of("j_dna")});
    Setting usual;  // hand, pair, straight, four cards, gold pair, full house, flush, debuffed pair
    usual.snap.hand = varied;
    snapshot::Round& r = usual.snap.round;
    r.hands_left = 3, r.discards_left = 2, r.dollars = 12, r.hands_played = 5, r.round_hands = 1;
    r.tarot_used = 2, r.idol = {14, "Spades"}, r.ancient_suit = "Hearts";
    usual.snap.deck.remaining = 20, usual.snap.deck.total = 48, usual.snap.deck.starting = 52;
    usual.snap.vouchers = {"v_observatory"};
    usual.snap.consumables = {{"c_mercury"}};
    usual.plays = {{0},
                   {1, 2},
                   {0, 2, 3, 4, 5},
                   {6, 7, 8, 10},
                   {6, 14},
                   {1, 2, 13, 6, 14},
                   {1, 5, 6, 12, 15},
                   {15, 16}};
    Setting last;  // the round's first and last hand, all black, "bl_flint"
    last.snap.hand = black;
    snapshot::Round& l = last.snap.round;
    l.hands_left = 1, l.dollars = 3, l.hands_played = 4, l.idol = {13, "Clubs"};
    l.ancient_suit = "Spades";
    last.snap.blind.key = "bl_flint";
    last.snap.deck.total = 52, last.snap.deck.starting = 52;
    last.plays = {{0}, {1, 2}, {0, 1, 3, 4, 5}, {7}};
    Setting voided;  // "bl_psychic" voids the smaller plays
    voided.snap.hand = varied;
    snapshot::Round& v = voided.snap.round;
    v.hands_left = 2, v.discards_left = 1, v.dollars = 30, v.hands_played = 11, v.round_hands = 2;
    voided.snap.blind.key = "bl_psychic";
    voided.snap.deck.back = "b_plasma";
    voided.plays = {{0}, {0, 2, 3, 4, 5}, {6, 14}};
    for (Setting* s : {&usual, &last, &voided}) {
      s->snap.schema = 1;
      s->snap.levels = levels();
      s->snap.jokers = jokers;
      out.push_back(std::move(*s));
    }
  }
  return out;
}

// The six figures of every play, bit for bit, with the joker at `slot` given `ab`.
std::vector<std::uint64_t> answers(std::vector<Setting>& corpus, const json::Value& ab,
                                   std::size_t slot = 1) {
  std::vector<std::uint64_t> out;
  for (Setting& s : corpus) {
    s.snap.jokers[slot].ab = ab;
    const Prepared prep(s.snap);
    const std::vector<std::size_t> order = testing::identity(s.snap.jokers.size());
    for (const std::vector<std::size_t>& played : s.plays) {
      const Scored r = score_play(prep, Play(prep, played), order);
      for (double f :
           {r.floor, r.expected, r.ceiling, r.money_floor, r.money_expected, r.money_ceiling})
        out.push_back(std::bit_cast<std::uint64_t>(f));
    }
  }
  return out;
}

std::vector<std::uint64_t> answers_with(std::vector<snapshot::Joker> jokers, Setting s) {
  s.snap.jokers = std::move(jokers);
  std::vector<Setting> one{std::move(s)};
  return answers(one, json::Value(json::Object{}), 0);
}

// ---- phases, copy and order

TEST(JokerReference, PhasesCopyAndOrderAreTheEnginesOwn) {
  const std::vector<Setting> base = corpus("", "");
  Setting dna_first;  // a face-down card that "j_dna" copies, which nothing else reads
  dna_first.snap.hand = cards("7s 3h");
  dna_first.snap.hand[0].hidden = true;
  dna_first.snap.levels = levels();
  dna_first.plays = {{0}};
  for (std::string_view k : jokers::KNOWN_JOKERS) {
    const std::string key(k);
    const auto found = doc().rows.find(key);
    if (found == doc().rows.end()) continue;  // reported above
    const Row& row = found->second;

    snapshot::Snapshot alone;
    alone.jokers = {joker_of(key)};
    const Prepared prep(alone);
    const JokerRows& r = prep.rows[0];
    const hand::JokerRules rules = prep.rules;
    constexpr auto none = JokerRows::kNoRow;
    Setting dna_later = dna_first;
    dna_later.snap.round.round_hands = 1;
    const std::map<std::string, bool> engine = {
        {"before", r.before != none},
        {"repetitions", r.card_reps != none},
        {"scored card", r.per_card != none},
        {"held card", r.held_card != none},
        {"main", r.main != none || r.loyalty},
        {"held repetitions", r.held_reps > 0},
        {"level-up", r.space},
        {"voided money", std::bit_cast<double>(answers_with({joker_of(key)}, base[2])[4]) != 0.0},
        {"baseball bonus", answers_with({joker_of("", 2), joker_of(key)}, base[0]) !=
                               answers_with({joker_of("", 1), joker_of(key)}, base[0])},
        {"counts jokers", answers_with({joker_of(key)}, base[0]) !=
                              answers_with({joker_of(key), joker_of("")}, base[0])},
        {"grows with j_dna", answers_with({joker_of("j_dna"), joker_of(key)}, dna_first) !=
                                 answers_with({joker_of("j_dna"), joker_of(key)}, dna_later)},
        {"rule: four fingers", rules.four_fingers},
        {"rule: shortcut", rules.shortcut},
        {"rule: smeared", rules.smeared},
        {"rule: pareidolia", rules.pareidolia},
        {"rule: splash", rules.splash},
        {"doubles chances", prep.odds_mult != 1.0},
        {"copies", jokers::is_copy(prep.jokers[0].key)},
    };
    std::set<std::string> expected;
    for (const auto& [phase, acts] : engine)
      if (acts) expected.insert(phase);
    EXPECT_EQ(row.phases, expected) << key;

    // A copy takes the rows kept for copies, and whatever it changes in a run.
    std::vector<Setting> copied = corpus(key, "j_blueprint"), plain = corpus(key, "");
    const json::Value empty{json::Object{}};
    const bool takes = r.before_copy != none || r.card_reps != none || r.per_card_copy != none ||
                       r.held_card_copy != none || r.main != none || r.loyalty || r.held_reps > 0 ||
                       r.space || answers(copied, empty) != answers(plain, empty);
    const bool left_out = (r.before != r.before_copy) || (r.per_card != r.per_card_copy) ||
                          (r.held_card != r.held_card_copy) || rules.four_fingers ||
                          rules.shortcut || rules.smeared || rules.pareidolia || rules.splash ||
                          prep.odds_mult != 1.0;
    const char* copy = expected.count("copies") ? "follows"
                       : takes                  ? (left_out ? "partly" : "yes")
                                                : (left_out ? "no" : "—");
    EXPECT_EQ(row.copy, copy) << key;
    EXPECT_EQ(row.order, search::order_free(prep.jokers)[0] ? "free" : "matters") << key;
  }
}

// ---- the members

TEST(JokerReference, EveryListedMemberAndDefaultIsRead) {
  for (std::string_view k : jokers::KNOWN_JOKERS) {
    const std::string key(k);
    const auto found = doc().rows.find(key);
    if (found == doc().rows.end()) continue;
    const Ab reads = reads_of(found->second);
    std::vector<Setting> c = corpus(key, "");

    // Bases: nothing, and each listed member alone at a value that makes it act,
    // so that members read only together (a tally and its factor) show.
    std::vector<Ab> bases = {{}};
    for (const auto& [m, d] : reads) bases.push_back({{m, others(m)[0]}});
    std::vector<std::vector<std::uint64_t>> base_answers;
    for (const Ab& b : bases) base_answers.push_back(answers(c, ability(b)));

    for (const auto& [m, d] : reads) {
      bool changes = false;
      for (std::size_t b = 0; b < bases.size(); ++b) {
        if (bases[b].count(m) || (!bases[b].empty() && conflict(bases[b].begin()->first, m)))
          continue;
        Ab with = bases[b];
        with[m] = d;
        EXPECT_TRUE(answers(c, ability(with)) == base_answers[b]) << key << " " << m << " default";
        for (const json::Value& v : others(m)) {
          with[m] = v;
          changes = changes || answers(c, ability(with)) != base_answers[b];
        }
      }
      EXPECT_TRUE(changes) << key << " reads " << m << " but no value of it changes an answer";
    }

    // The members it does not list change nothing, alone or beside a listed one.
    for (std::size_t b = 0; b < bases.size(); ++b) {
      for (bool inner : {false, true}) {
        for (std::size_t v = 0; v < 2; ++v) {
          Ab with = bases[b];
          for (const std::string& m : kMembers) {
            if (reads.count(m) || (m.starts_with("extra.") != inner && m.starts_with("extra")))
              continue;
            if (!bases[b].empty() && conflict(bases[b].begin()->first, m)) continue;
            with[m] = others(m)[v];
          }
          EXPECT_TRUE(answers(c, ability(with)) == base_answers[b])
              << key << " reads a member it does not list (base " << b << ")";
        }
      }
    }
  }
}

// ---- the rules reference

// Under "## Rule items", a row's key names exactly one rule item of the
// engine's tables (enhancements, editions, seals, boss blinds; the deck back
// and the voucher with a rule), and every item has one row.
TEST(RuleReference, OneRowPerRuleItem) {
  std::ifstream in(QRV_DOCS_DIR "/rules.md");
  ASSERT_TRUE(in.is_open()) << "cannot read " << QRV_DOCS_DIR "/rules.md";
  const auto item = [](const char* table, auto code) {
    return std::string(table) + " " + std::to_string(static_cast<int>(code));
  };
  std::multiset<std::string> engine = {"deck back", "voucher"}, rows;
  for (int c = 1; c < static_cast<int>(hand::Enh::other); ++c) engine.insert(item("enh", c));
  for (int c = 1; c < static_cast<int>(hand::Edition::other); ++c) engine.insert(item("ed", c));
  for (int c = 1; c < static_cast<int>(hand::Seal::other); ++c) engine.insert(item("seal", c));
  for (int c = 1; c <= static_cast<int>(blinds::Boss::hook); ++c) engine.insert(item("blind", c));
  bool items = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("## ")) items = line == "## Rule items";
    if (!items || !line.starts_with("| `")) continue;
    const std::string cell = cells(line)[0], key = cell.substr(1, cell.size() - 2);
    snapshot::Snapshot snap;
    snap.blind.key = snap.deck.back = key;
    snap.vouchers = {key};
    const Prepared prep(snap);
    std::vector<std::string> named;
    if (const auto c = hand::enh_of(key); c != hand::Enh::other) named.push_back(item("enh", c));
    if (const auto c = hand::edition_of(key); c != hand::Edition::other)
      named.push_back(item("ed", c));
    if (const auto c = hand::seal_of(key); c != hand::Seal::other) named.push_back(item("seal", c));
    if (prep.blind != blinds::Boss::none) named.push_back(item("blind", prep.blind));
    if (prep.plasma) named.push_back("deck back");
    if (prep.observatory) named.push_back("voucher");
    EXPECT_EQ(named.size(), 1u) << key << " names " << named.size() << " rule items";
    rows.insert(named.begin(), named.end());
  }
  EXPECT_EQ(rows, engine);
}

}  // namespace
}  // namespace quorvel::score::test
