#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "hand/hand.h"
#include "hand/reference.h"
#include "support/build.h"

namespace quorvel::hand {
namespace {

using testing::cv;
using H = HandType;
constexpr Suit S = kSpades, He = kHearts, C = kClubs, D = kDiamonds;

std::vector<std::size_t> scoring_of(const Detected& d) {
  return std::vector<std::size_t>(d.scoring.begin(), d.scoring.end());
}

std::vector<H> contained(const Detected& d) {
  std::vector<H> out;
  for (std::size_t t = 0; t < kHandTypes; ++t) {
    if (d.contains(static_cast<H>(t))) out.push_back(static_cast<H>(t));
  }
  return out;
}

JokerRules with(bool four_fingers, bool shortcut, bool smeared, bool splash) {
  JokerRules r;
  r.four_fingers = four_fingers;
  r.shortcut = shortcut;
  r.smeared = smeared;
  r.splash = splash;
  return r;
}
const JokerRules kPlain{};
const JokerRules kFour = with(true, false, false, false);
const JokerRules kShort = with(false, true, false, false);
const JokerRules kSmeared = with(false, false, true, false);
const JokerRules kSplash = with(false, false, false, true);

CardView mod(CardView c, bool debuff, bool hidden) {
  c.debuff = debuff;
  c.hidden = hidden;
  return c;
}

struct Case {
  const char* what;
  std::vector<CardView> cards;
  JokerRules rules;
  H best;
  std::vector<H> hands;  // every contained type, best first
  std::vector<std::size_t> scoring;
};

TEST(Detect, Table) {
  const std::vector<Case> cases = {
      {"low straight of mixed suits",
       {cv(2, S), cv(3, He), cv(4, C), cv(5, D), cv(6, S)},
       kPlain,
       H::straight,
       {H::straight, H::high_card},
       {0, 1, 2, 3, 4}},
      {"ace low straight",
       {cv(14, S), cv(2, He), cv(3, C), cv(4, D), cv(5, S)},
       kPlain,
       H::straight,
       {H::straight, H::high_card},
       {0, 1, 2, 3, 4}},
      {"ace high straight",
       {cv(10, S), cv(11, He), cv(12, C), cv(13, D), cv(14, S)},
       kPlain,
       H::straight,
       {H::straight, H::high_card},
       {0, 1, 2, 3, 4}},
      {"no wrap through the ace",
       {cv(12, S), cv(13, He), cv(14, C), cv(2, D), cv(3, S)},
       kPlain,
       H::high_card,
       {H::high_card},
       {2}},
      {"ten to ace wins over ace low in one play",
       {cv(14, S), cv(2, He), cv(3, C), cv(4, D), cv(5, S), cv(10, He), cv(11, C), cv(12, D),
        cv(13, S)},
       kPlain,
       H::straight,
       {H::straight, H::high_card},
       {0, 5, 6, 7, 8}},
      {"four fingers: first chain of the longest length wins",
       {cv(2, S), cv(3, He), cv(4, C), cv(5, D), cv(9, S), cv(10, He), cv(11, C), cv(12, D)},
       kFour,
       H::straight,
       {H::straight, H::high_card},
       {0, 1, 2, 3}},
      {"four fingers straight holds both fives",
       {cv(2, S), cv(3, He), cv(4, C), cv(5, D), cv(5, S)},
       kFour,
       H::straight,
       {H::straight, H::pair, H::high_card},
       {0, 1, 2, 3, 4}},
      {"shortcut skips one rank each step",
       {cv(2, S), cv(4, He), cv(6, C), cv(8, D), cv(10, S)},
       kShort,
       H::straight,
       {H::straight, H::high_card},
       {0, 1, 2, 3, 4}},
      {"shortcut reaches the ace through a skip",
       {cv(11, S), cv(13, He), cv(14, C), cv(9, D), cv(7, S)},
       kShort,
       H::straight,
       {H::straight, H::high_card},
       {0, 1, 2, 3, 4}},
      {"without shortcut a gap breaks the straight",
       {cv(2, S), cv(4, He), cv(6, C), cv(8, D), cv(10, S)},
       kPlain,
       H::high_card,
       {H::high_card},
       {4}},
      {"king continues to the ace only, never to a skip",
       {cv(10, S), cv(11, He), cv(12, C), cv(13, D), cv(2, S)},
       kShort,
       H::high_card,
       {H::high_card},
       {3}},
      {"debuffed heart still makes a flush",
       {cv(2, He), mod(cv(5, He), true, false), cv(7, He), cv(9, He), cv(13, He)},
       kPlain,
       H::flush,
       {H::flush, H::high_card},
       {0, 1, 2, 3, 4}},
      {"wild card joins the flush",
       {cv(2, He), cv(5, He), cv(7, He), cv(9, He), cv(13, S, Enh::wild)},
       kPlain,
       H::flush,
       {H::flush, H::high_card},
       {0, 1, 2, 3, 4}},
      {"debuffed wild card does not",
       {cv(2, He), cv(5, He), cv(7, He), cv(9, He), mod(cv(13, S, Enh::wild), true, false)},
       kPlain,
       H::high_card,
       {H::high_card},
       {4}},
      {"smeared joins hearts and diamonds",
       {cv(2, He), cv(5, He), cv(7, He), cv(9, D), cv(13, D)},
       kSmeared,
       H::flush,
       {H::flush, H::high_card},
       {0, 1, 2, 3, 4}},
      {"full house",
       {cv(13, S), cv(13, He), cv(13, C), cv(12, D), cv(12, S)},
       kPlain,
       H::full_house,
       {H::full_house, H::three_of_a_kind, H::two_pair, H::pair, H::high_card},
       {0, 1, 2, 3, 4}},
      {"four of a kind: kicker does not score",
       {cv(13, S), cv(13, He), cv(13, C), cv(13, D), cv(12, S)},
       kPlain,
       H::four_of_a_kind,
       {H::four_of_a_kind, H::three_of_a_kind, H::pair, H::high_card},
       {0, 1, 2, 3}},
      {"flush five",
       {cv(13, He), cv(13, He), cv(13, He), cv(13, He), cv(13, He)},
       kPlain,
       H::flush_five,
       {H::flush_five, H::five_of_a_kind, H::four_of_a_kind, H::flush, H::three_of_a_kind, H::pair,
        H::high_card},
       {0, 1, 2, 3, 4}},
      {"flush house",
       {cv(9, C), cv(9, C), cv(9, C), cv(4, C), cv(4, C)},
       kPlain,
       H::flush_house,
       {H::flush_house, H::full_house, H::flush, H::three_of_a_kind, H::two_pair, H::pair,
        H::high_card},
       {0, 1, 2, 3, 4}},
      {"straight flush need not share cards",
       {cv(2, He), cv(3, He), cv(4, He), cv(5, He), cv(6, He)},
       kPlain,
       H::straight_flush,
       {H::straight_flush, H::flush, H::straight, H::high_card},
       {0, 1, 2, 3, 4}},
      {"stone card always scores",
       {cv(7, S), cv(7, He), cv(14, C, Enh::stone), cv(9, D), cv(13, S)},
       kPlain,
       H::pair,
       {H::pair, H::high_card},
       {0, 1, 2}},
      {"stone and hidden cards take no rank",
       {cv(7, S), cv(7, He, Enh::stone), mod(cv(7, C), false, true)},
       kPlain,
       H::high_card,
       {H::high_card},
       {0, 1}},
      {"debuffed cards keep their rank",
       {mod(cv(7, S), true, false), cv(7, He)},
       kPlain,
       H::pair,
       {H::pair, H::high_card},
       {0, 1}},
      {"splash scores every card",
       {cv(2, S), cv(9, He), cv(11, C), cv(4, D)},
       kSplash,
       H::high_card,
       {H::high_card},
       {0, 1, 2, 3}},
      {"high card: jack over ten of one suit",
       {cv(10, He), cv(11, He), cv(4, He)},
       kPlain,
       H::high_card,
       {H::high_card},
       {1}},
      {"high card: leftmost of equal values",
       {mod(cv(9, S), false, true), mod(cv(3, He), false, true)},
       kPlain,
       H::high_card,
       {H::high_card},
       {0}},
      {"high card: suit breaks a rank tie",
       {cv(12, D), cv(12, S), cv(12, He)},
       kPlain,
       H::three_of_a_kind,
       {H::three_of_a_kind, H::pair, H::high_card},
       {0, 1, 2}},
      {"high card: spade above heart",
       {cv(12, He), cv(12, S, Enh::stone), cv(5, C), cv(12, D, Enh::stone)},
       kPlain,
       H::high_card,
       {H::high_card},
       {0, 1, 3}},
      {"three suited cards seek no flush",
       {cv(2, He), cv(7, He), cv(9, He)},
       kPlain,
       H::high_card,
       {H::high_card},
       {2}},
      {"three suited cards seek no flush even with four fingers",
       {cv(2, He), cv(7, He), cv(9, He)},
       kFour,
       H::high_card,
       {H::high_card},
       {2}},
      {"no cards", {}, kPlain, H::high_card, {}, {}},
      {"two pair picks both pairs",
       {cv(3, S), cv(8, He), cv(3, C), cv(8, D), cv(14, S)},
       kPlain,
       H::two_pair,
       {H::two_pair, H::pair, H::high_card},
       {0, 1, 2, 3}},
      {"a flush may hold more than five cards",
       {cv(2, C), cv(4, C), cv(6, C), cv(8, C), cv(10, C), cv(12, C)},
       kPlain,
       H::flush,
       {H::flush, H::high_card},
       {0, 1, 2, 3, 4, 5}},
      {"spades are tried before hearts",
       {cv(2, He), cv(4, He), cv(6, He), cv(8, He), cv(10, S), cv(12, S), cv(13, S), cv(14, S)},
       kFour,
       H::flush,
       {H::flush, H::high_card},
       {4, 5, 6, 7}},
  };
  for (const Case& c : cases) {
    const Detected d = detect(c.cards, c.rules);
    EXPECT_EQ(d.name, c.best) << c.what;
    EXPECT_EQ(contained(d), c.hands) << c.what;
    EXPECT_EQ(scoring_of(d), c.scoring) << c.what;
  }
}

TEST(Detect, ShortcutAceLowChainSkipsTwo) {
  // A, 3, 5, 7 with shortcut and four fingers: the chain opens on the Ace.
  const std::vector<CardView> cards = {cv(14, S), cv(3, He), cv(5, C), cv(7, D)};
  const Detected d = detect(cards, with(true, true, false, false));
  EXPECT_EQ(d.name, H::straight);
  EXPECT_EQ(scoring_of(d), (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST(Detect, AllThirteenRanksAndMore) {
  // Fourteen cards of every rank: the straight holds every counting card.
  std::vector<CardView> cards;
  for (int r = 2; r <= 14; ++r) cards.push_back(cv(r, static_cast<Suit>(r % 4)));  // no flush
  cards.push_back(cv(9, kNoSuit));
  const Detected d = detect(cards, with(false, true, false, false));
  EXPECT_TRUE(d.contains(H::straight));
  EXPECT_EQ(d.name, H::straight);
  EXPECT_EQ(d.scoring.size(), cards.size());
}

// The High Card order: rank chips, face order and suit fraction, as a number.
TEST(Pieces, Nominal) {
  EXPECT_DOUBLE_EQ(nominal(cv(14, S)), 114.04);
  EXPECT_DOUBLE_EQ(nominal(cv(13, D)), 103.01);
  EXPECT_DOUBLE_EQ(nominal(cv(10, He)), 100.03);
  EXPECT_DOUBLE_EQ(nominal(cv(2, C)), 20.02);
  EXPECT_DOUBLE_EQ(nominal(cv(15, kNoSuit)), 150.0);
  EXPECT_EQ(nominal(cv(0, S)), -10000.0);
  EXPECT_EQ(nominal(cv(9, S, Enh::stone)), -10000.0);
  EXPECT_EQ(nominal(mod(cv(9, S), false, true)), -10000.0);
  EXPECT_DOUBLE_EQ(nominal(mod(cv(9, S), true, false)), 90.04);  // debuff not consulted
  // The exact float: face order added last.
  EXPECT_EQ(nominal(cv(11, S)), 1.0 + (10.0 * 10.0 + 0.04));
}

TEST(Names, RoundTrip) {
  for (std::size_t t = 0; t < kHandTypes; ++t) {
    H out;
    ASSERT_TRUE(type_of(name(static_cast<H>(t)), out));
    EXPECT_EQ(out, static_cast<H>(t));
  }
  H out;
  EXPECT_FALSE(type_of("pair", out));
  EXPECT_FALSE(type_of("Pair ", out));
  EXPECT_EQ(name(H::flush_five), "Flush Five");
  EXPECT_EQ(name(H::high_card), "High Card");
}

// Calls visit(hand) on every step-th five-card hand of the deck, the first
// one included, taking the hands in the lexicographic order of positions.
// Returns the number of hands visited.
template <typename Visit>
std::uint64_t for_each_five(std::span<const CardView> deck, std::uint64_t step, Visit visit) {
  std::array<CardView, 5> hand;
  std::uint64_t seen = 0, visited = 0;
  const std::size_t m = deck.size();
  for (std::size_t a = 0; a < m; ++a) {
    hand[0] = deck[a];
    for (std::size_t b = a + 1; b < m; ++b) {
      hand[1] = deck[b];
      for (std::size_t c = b + 1; c < m; ++c) {
        hand[2] = deck[c];
        for (std::size_t d = c + 1; d < m; ++d) {
          hand[3] = deck[d];
          for (std::size_t e = d + 1; e < m; ++e) {
            hand[4] = deck[e];
            if (seen++ % step != 0) continue;
            visit(std::span<const CardView>(hand));
            ++visited;
          }
        }
      }
    }
  }
  return visited;
}

std::vector<CardView> standard_deck() {
  std::vector<CardView> deck;
  for (Suit s : {S, He, C, D}) {
    for (int r = 2; r <= 14; ++r) deck.push_back(cv(r, s));
  }
  return deck;
}

std::string show(std::span<const CardView> cards, JokerRules rules) {
  std::ostringstream out;
  out << "cards [";
  for (const CardView& c : cards) {
    out << " " << c.rank << "/";
    switch (c.suit) {
      case S:
        out << "S";
        break;
      case He:
        out << "H";
        break;
      case C:
        out << "C";
        break;
      case D:
        out << "D";
        break;
      case kNoSuit:
        out << "-";
        break;
      default:
        out << "suit" << c.suit;
    }
    if (c.enh == Enh::wild) out << " wild";
    if (c.enh == Enh::stone) out << " stone";
    if (c.enh != Enh::none && c.enh != Enh::wild && c.enh != Enh::stone) out << " enh";
    if (c.debuff) out << " debuffed";
    if (c.hidden) out << " hidden";
    out << ",";
  }
  out << " ] rules";
  if (rules.four_fingers) out << " four_fingers";
  if (rules.shortcut) out << " shortcut";
  if (rules.smeared) out << " smeared";
  if (rules.pareidolia) out << " pareidolia";
  if (rules.splash) out << " splash";
  return out.str();
}

std::string show(HandType best, std::uint16_t poker_hands, std::span<const std::size_t> scoring) {
  std::ostringstream out;
  out << name(best) << ", contains";
  for (std::size_t t = 0; t < kHandTypes; ++t) {
    if ((poker_hands >> t) & 1u) out << " [" << name(static_cast<H>(t)) << "]";
  }
  out << ", scoring";
  for (std::size_t i : scoring) out << " " << i;
  return out.str();
}

// Compares detect with the literal reference detector play by play; keeps the
// first few disagreements for the failure message.
struct Agreement {
  std::uint64_t plays = 0;
  std::uint64_t differ = 0;
  std::string first;

  void check(std::span<const CardView> cards, JokerRules rules, const Detected& d) {
    ++plays;
    const reference::Result want = reference::detect(cards, rules);
    if (d.name == want.name && d.poker_hands == want.poker_hands &&
        std::ranges::equal(d.scoring, want.scoring)) {
      return;
    }
    if (differ++ < 5) {
      const std::vector<std::size_t> got = scoring_of(d);
      std::ostringstream out;
      out << "\n"
          << show(cards, rules) << "\n  detect:    " << show(d.name, d.poker_hands, got)
          << "\n  reference: " << show(want.name, want.poker_hands, want.scoring);
      first += out.str();
    }
  }
  void check(std::span<const CardView> cards, JokerRules rules) {
    check(cards, rules, detect(cards, rules));
  }
};

// Outside facts: the textbook counts of the best hand over every five-card
// hand of a standard deck; and on every one of them detect agrees with the
// reference detector.
TEST(Detect, EveryFiveCardHandOfADeck) {
  const std::vector<CardView> deck = standard_deck();
  std::array<std::uint64_t, kHandTypes> counts{};
  Agreement agree;
  const std::uint64_t total = for_each_five(deck, 1, [&](std::span<const CardView> hand) {
    const Detected d = detect(hand, kPlain);
    ++counts[static_cast<std::size_t>(d.name)];
    agree.check(hand, kPlain, d);
  });
  EXPECT_EQ(total, 2598960u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::flush_five)], 0u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::flush_house)], 0u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::five_of_a_kind)], 0u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::straight_flush)], 40u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::four_of_a_kind)], 624u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::full_house)], 3744u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::flush)], 5108u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::straight)], 10200u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::three_of_a_kind)], 54912u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::two_pair)], 123552u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::pair)], 1098240u);
  EXPECT_EQ(counts[static_cast<std::size_t>(H::high_card)], 1302540u);
  EXPECT_EQ(agree.plays, total);
  EXPECT_EQ(agree.differ, 0u) << agree.first;
}

TEST(Detect, AgreesWithReferenceUnderRuleFlags) {
  const std::vector<CardView> deck = standard_deck();
  const JokerRules sets[] = {kFour, kShort, with(true, true, false, false),
                             with(true, true, true, true)};
  // A different step per flag set, so the sets see different hands.
  const std::uint64_t steps[] = {29, 31, 37, 41};
  Agreement agree;
  std::uint64_t visited = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    visited += for_each_five(deck, steps[i],
                             [&](std::span<const CardView> hand) { agree.check(hand, sets[i]); });
  }
  EXPECT_GT(visited, 250000u);
  EXPECT_EQ(agree.differ, 0u) << agree.first;
}

// A deck with every kind of card that detection treats apart: stone, wild and
// debuffed wild, hidden, debuffed, unranked and out-of-range ranks, the empty
// suit and made-up suits.
std::vector<CardView> mixed_deck() {
  std::vector<CardView> deck;
  for (int r : {14, 2, 3, 4, 5, 10, 11, 12, 13}) deck.push_back(cv(r, S));
  for (int r : {14, 2, 3, 5, 10, 13}) deck.push_back(cv(r, He));
  deck.push_back(mod(cv(4, He), false, true));
  deck.push_back(mod(cv(12, He), true, false));
  deck.push_back(cv(13, C, Enh::wild));
  deck.push_back(mod(cv(5, C, Enh::wild), true, false));
  deck.push_back(cv(14, C, Enh::stone));
  deck.push_back(cv(11, C));
  deck.push_back(mod(cv(10, C), true, false));
  deck.push_back(cv(3, C));
  deck.push_back(cv(13, D));
  deck.push_back(cv(3, D, Enh::stone));
  deck.push_back(cv(12, D, Enh::bonus));
  deck.push_back(mod(cv(14, D), false, true));
  deck.push_back(cv(10, D));
  deck.push_back(cv(2, D));
  deck.push_back(cv(0, S));
  deck.push_back(cv(15, He));
  deck.push_back(cv(1, C));
  deck.push_back(cv(9, kNoSuit));
  deck.push_back(cv(11, 5));
  deck.push_back(cv(13, 5));
  deck.push_back(cv(2, 6, Enh::wild));
  return deck;
}

TEST(Detect, AgreesWithReferenceOnAMixedDeck) {
  const std::vector<CardView> deck = mixed_deck();
  const JokerRules sets[] = {kPlain, with(true, true, false, false), with(false, false, true, true),
                             with(true, true, true, true)};
  const std::uint64_t steps[] = {7, 11, 13, 17};
  Agreement agree;
  for (std::size_t i = 0; i < 4; ++i) {
    for_each_five(deck, steps[i],
                  [&](std::span<const CardView> hand) { agree.check(hand, sets[i]); });
  }
  EXPECT_GT(agree.plays, 100000u);
  EXPECT_EQ(agree.differ, 0u) << agree.first;
}

// splitmix64: a fixed sequence on every platform.
struct Rng {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }
  std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
  bool one_in(std::uint32_t n) { return below(n) == 0; }
};

// Plays of 0 to 8 cards. Each play draws its ranks from a window of the rank
// line and often favours one suit, so straights, flushes and groups are common
// (a window of two ranks gives two big groups in one play). Some plays give
// every card its own rank of the whole line instead, which makes separate runs
// of equal length, and so ties between chains, common. Odd cards of every kind
// are mixed in.
std::vector<CardView> random_play(Rng& g) {
  const int width = std::array{2, 5, 6, 8, 13}[g.below(5)];
  const int lo = 2 + static_cast<int>(g.below(static_cast<std::uint32_t>(14 - width)));
  const bool distinct = g.one_in(4);
  std::array<int, 13> line = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  const bool favour = g.one_in(2);
  const Suit main_suit = static_cast<Suit>(g.below(4));
  std::vector<CardView> cards(g.below(9));
  for (std::size_t i = 0; i < cards.size(); ++i) {
    CardView& c = cards[i];
    std::swap(line[i], line[i + g.below(static_cast<std::uint32_t>(13 - i))]);
    const std::uint32_t pick = g.below(20);
    c.rank = pick == 0   ? std::array{0, 1, 15, -2}[g.below(4)]
             : distinct  ? line[i]
             : pick == 1 ? 14
                         : lo + static_cast<int>(g.below(static_cast<std::uint32_t>(width)));
    const std::uint32_t suit = g.below(12);
    c.suit = favour && suit < 6 ? main_suit : suit < 10 ? suit % 4 : suit == 10 ? kNoSuit : 7;
    const std::uint32_t enh = g.below(12);
    c.enh = enh == 0 ? Enh::wild : enh == 1 ? Enh::stone : enh == 2 ? Enh::bonus : Enh::none;
    c.debuff = g.one_in(8);
    c.hidden = g.one_in(10);
  }
  return cards;
}

TEST(Detect, AgreesWithReferenceOnRandomPlays) {
  Rng g{20240611};
  Agreement agree;
  std::array<std::uint64_t, kHandTypes> best{};
  for (int i = 0; i < 200000; ++i) {
    const std::vector<CardView> cards = random_play(g);
    JokerRules rules;
    rules.four_fingers = g.one_in(2);
    rules.shortcut = g.one_in(2);
    rules.smeared = g.one_in(2);
    rules.pareidolia = g.one_in(2);
    rules.splash = g.one_in(2);
    const Detected d = detect(cards, rules);
    ++best[static_cast<std::size_t>(d.name)];
    agree.check(cards, rules, d);
  }
  EXPECT_EQ(agree.differ, 0u) << agree.first;
  // The generator keeps reaching every hand type as the best hand.
  for (std::size_t t = 0; t < kHandTypes; ++t) {
    EXPECT_GT(best[t], 0u) << name(static_cast<H>(t));
  }
}

}  // namespace
}  // namespace quorvel::hand
