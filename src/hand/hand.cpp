#include "hand/hand.h"

#include <array>
#include <optional>

namespace quorvel::hand {

namespace {

constexpr std::array<std::string_view, kHandTypes> kNames = {
    "Flush Five",      "Flush House", "Five of a Kind", "Straight Flush",
    "Four of a Kind",  "Full House",  "Flush",          "Straight",
    "Three of a Kind", "Two Pair",    "Pair",           "High Card"};

constexpr std::uint16_t bit(HandType t) {
  return static_cast<std::uint16_t>(1u << static_cast<unsigned>(t));
}

// A card's rank takes part in straights and same-rank groups only when it is
// a visible, ranked, non-stone card; debuffed cards count like any other.
bool counts(const CardView& c) {
  return c.enh != Enh::stone && !c.hidden && c.rank > 0;
}

bool counts_as(const CardView& c, int rank) {
  return counts(c) && c.rank == rank;
}

// The first suit, in the fixed suit order, that enough cards match.
std::optional<Suit> get_flush(std::span<const CardView> cards, std::size_t size, JokerRules rules) {
  for (Suit suit : {kSpades, kHearts, kClubs, kDiamonds}) {
    std::size_t matched = 0;
    for (const CardView& c : cards) matched += flush_matches(c, suit, rules) ? 1 : 0;
    if (matched >= size) return suit;
  }
  return std::nullopt;
}

// A chain of ranks; ranks are 2..14, so a bit mask says which ranks it holds.
// The Ace may close a chain that it also opened, so `len` counts ranks with
// repeats while the mask holds each once.
struct Chain {
  std::uint16_t mask = 0;
  std::uint8_t last = 0;
  std::uint8_t len = 0;
};

// The ranks of the best chain as a mask (bit r = rank r), 0 when there is no
// straight. The passes follow the chain order exactly, because the first chain
// of the greatest length wins.
std::uint16_t get_straight(std::span<const CardView> cards, std::size_t size, JokerRules rules) {
  std::uint16_t present = 0;
  for (const CardView& c : cards) {
    if (counts(c) && c.rank >= 2 && c.rank <= 14)
      present |= static_cast<std::uint16_t>(1u << c.rank);
  }
  auto has = [&](int r) { return (present >> r) & 1u; };

  // Two buffers used in turn: each pass builds the next list of chains.
  common::SmallVec<Chain, 64> lists[2];
  common::SmallVec<Chain, 64>* chains = &lists[0];
  common::SmallVec<Chain, 64>* grown = &lists[1];
  for (int r = 2; r <= 14; ++r) {
    if (has(r))
      chains->push_back({static_cast<std::uint16_t>(1u << r), static_cast<std::uint8_t>(r), 1});
  }
  Chain best;
  auto candidate = [&](const Chain& ch) {
    if (best.len == 0 || ch.len > best.len) best = ch;
  };
  const std::size_t n = cards.size();
  for (std::size_t k = 2; k <= n + 1 && !chains->empty(); ++k) {
    grown->clear();
    for (const Chain& ch : *chains) {
      if (k == n + 1) {
        candidate(ch);
        continue;
      }
      bool yielded = false;
      // A chain that ends on an Ace after two or more ranks is closed.
      if (ch.len == 1 || ch.last != 14) {
        const int next = ch.last == 14 ? 2 : ch.last + 1;
        auto extend = [&](int r) {
          if (!has(r)) return;
          grown->push_back({static_cast<std::uint16_t>(ch.mask | (1u << r)),
                            static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(ch.len + 1)});
          yielded = true;
        };
        extend(next);
        if (rules.shortcut && next != 14) extend(next + 1);
      }
      if (!yielded && ch.len >= size) candidate(ch);
    }
    std::swap(chains, grown);  // the pointers
  }
  return best.len == 0 ? 0 : best.mask;
}

// The highest rank (14 down to 2) held by at least n counting cards, or 0.
int top_group(const std::array<std::uint32_t, 15>& count, std::uint32_t n) {
  for (int r = 14; r >= 2; --r) {
    if (count[r] >= n) return r;
  }
  return 0;
}

}  // namespace

std::string_view name(HandType type) {
  return kNames[static_cast<std::size_t>(type)];
}

bool type_of(std::string_view text, HandType& out) {
  for (std::size_t i = 0; i < kHandTypes; ++i) {
    if (kNames[i] == text) {
      out = static_cast<HandType>(i);
      return true;
    }
  }
  return false;
}

double nominal(const CardView& card) {
  if (card.enh == Enh::stone || card.hidden || card.rank <= 0) return -10000.0;
  const int r = card.rank;
  double face = 0.0;
  if (r >= 11 && r <= 14) face = static_cast<double>(r - 10);
  double fraction = 0.0;
  switch (card.suit) {
    case kDiamonds:
      fraction = 0.01;
      break;
    case kClubs:
      fraction = 0.02;
      break;
    case kHearts:
      fraction = 0.03;
      break;
    case kSpades:
      fraction = 0.04;
      break;
    default:
      break;
  }
  return face + (rank_chips(card) * 10.0 + fraction);
}

Detected detect(std::span<const CardView> cards, JokerRules rules) {
  const std::size_t n = cards.size();
  const std::size_t size = rules.four_fingers ? 4 : 5;

  std::optional<Suit> flush;
  std::uint16_t straight = 0;
  if (n >= size) {
    flush = get_flush(cards, size, rules);
    straight = get_straight(cards, size, rules);
  }

  std::array<std::uint32_t, 15> count{};
  for (const CardView& c : cards) {
    if (counts(c) && c.rank >= 2 && c.rank <= 14) ++count[c.rank];
  }
  std::size_t pair_groups = 0;
  for (int r = 2; r <= 14; ++r) pair_groups += count[r] >= 2 ? 1 : 0;
  const int five = top_group(count, 5);
  const int four = top_group(count, 4);
  const int three = top_group(count, 3);

  // classify: every contained type, best first; the best is the lowest bit.
  Detected d;
  std::uint16_t& has = d.poker_hands;
  if (five && flush) has |= bit(HandType::flush_five);
  if (three && flush && pair_groups >= 2) has |= bit(HandType::flush_house);
  if (five) has |= bit(HandType::five_of_a_kind);
  if (flush && straight) has |= bit(HandType::straight_flush);
  if (four) has |= bit(HandType::four_of_a_kind);
  if (three && pair_groups >= 2) has |= bit(HandType::full_house);
  if (flush) has |= bit(HandType::flush);
  if (straight) has |= bit(HandType::straight);
  if (three) has |= bit(HandType::three_of_a_kind);
  if (pair_groups >= 2) has |= bit(HandType::two_pair);
  if (pair_groups >= 1) has |= bit(HandType::pair);
  if (n >= 1) has |= bit(HandType::high_card);
  d.name = HandType::high_card;
  for (std::size_t t = 0; t < kHandTypes; ++t) {
    if ((has >> t) & 1u) {
      d.name = static_cast<HandType>(t);
      break;
    }
  }

  // The hand's cards as a membership test; merged and flat lists are unions.
  auto in_flush = [&](const CardView& c) { return flush && flush_matches(c, *flush, rules); };
  auto in_straight = [&](const CardView& c) {
    return counts(c) && c.rank >= 2 && c.rank <= 14 && ((straight >> c.rank) & 1u);
  };
  auto in_pairs = [&](const CardView& c) {
    return counts(c) && c.rank >= 2 && c.rank <= 14 && count[c.rank] >= 2;
  };
  std::size_t high = n;  // the High Card position; none without cards
  if (d.name == HandType::high_card && n > 0) {
    high = 0;
    double best = nominal(cards[0]);
    for (std::size_t i = 1; i < n; ++i) {
      const double v = nominal(cards[i]);
      if (v > best) {
        best = v;
        high = i;
      }
    }
  }
  auto in_hand = [&](std::size_t i) {
    const CardView& c = cards[i];
    switch (d.name) {
      case HandType::flush_five:
        return counts_as(c, five) || in_flush(c);
      case HandType::flush_house:
        return in_pairs(c) || in_flush(c);
      case HandType::five_of_a_kind:
        return counts_as(c, five);
      case HandType::straight_flush:
        return in_straight(c) || in_flush(c);
      case HandType::four_of_a_kind:
        return counts_as(c, four);
      case HandType::full_house:
        return in_pairs(c);
      case HandType::flush:
        return in_flush(c);
      case HandType::straight:
        return in_straight(c);
      case HandType::three_of_a_kind:
        return counts_as(c, three);
      case HandType::two_pair:
        return in_pairs(c);
      case HandType::pair:
        return in_pairs(c);  // exactly one rank has a pair
      case HandType::high_card:
        return i == high;
    }
    return false;
  };

  for (std::size_t i = 0; i < n; ++i) {
    if (rules.splash || cards[i].enh == Enh::stone || in_hand(i)) d.scoring.push_back(i);
  }
  return d;
}

}  // namespace quorvel::hand
