#include "hand/reference.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace quorvel::hand::reference {

namespace {

// The rank a card brings to straights and groups, or none: stone, hidden and
// unranked cards bring none; a debuffed card keeps its rank.
std::optional<int> counting_rank(const CardView& c) {
  if (c.enh == Enh::stone || c.hidden || c.rank <= 0) return std::nullopt;
  return c.rank;
}

bool holds(const std::vector<std::size_t>& positions, std::size_t i) {
  return std::find(positions.begin(), positions.end(), i) != positions.end();
}

// The positions of each rank that at least n cards count as, best rank first.
std::vector<std::vector<std::size_t>> get_x_same(std::size_t n, std::span<const CardView> cards) {
  std::vector<std::vector<std::size_t>> groups;
  for (int r = 14; r >= 2; --r) {
    std::vector<std::size_t> group;
    for (std::size_t i = 0; i < cards.size(); ++i) {
      if (counting_rank(cards[i]) == r) group.push_back(i);
    }
    if (group.size() >= n) groups.push_back(std::move(group));
  }
  return groups;
}

// Every group's positions together, ascending.
std::vector<std::size_t> flat(const std::vector<std::vector<std::size_t>>& groups) {
  std::vector<std::size_t> out;
  for (const auto& g : groups) out.insert(out.end(), g.begin(), g.end());
  std::sort(out.begin(), out.end());
  return out;
}

// The positions in either list, ascending, each once.
std::vector<std::size_t> merged(std::span<const std::size_t> a, std::span<const std::size_t> b) {
  std::vector<std::size_t> out(a.begin(), a.end());
  out.insert(out.end(), b.begin(), b.end());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace

std::vector<std::size_t> flush(std::span<const CardView> cards, std::size_t size,
                               JokerRules rules) {
  for (Suit suit : {kSpades, kHearts, kClubs, kDiamonds}) {
    std::vector<std::size_t> matched;
    for (std::size_t i = 0; i < cards.size(); ++i) {
      if (flush_matches(cards[i], suit, rules)) matched.push_back(i);
    }
    if (matched.size() >= size) return matched;
  }
  return {};
}

std::vector<std::size_t> straight(std::span<const CardView> cards, std::size_t size,
                                  JokerRules rules) {
  // held[r]: r is the counting rank of at least one card.
  std::array<bool, 15> held{};
  for (const CardView& c : cards) {
    const std::optional<int> r = counting_rank(c);
    if (r && *r >= 2 && *r <= 14) held[static_cast<std::size_t>(*r)] = true;
  }
  using Chain = std::vector<int>;  // ranks in chain order; the Ace may stand twice
  std::vector<Chain> chains;
  chains.reserve(13);
  for (int r = 2; r <= 14; ++r) {
    if (held[static_cast<std::size_t>(r)]) chains.push_back({r});
  }
  std::optional<Chain> best;
  auto candidate = [&](const Chain& chain) {
    if (!best || chain.size() > best->size()) best = chain;
  };
  const std::size_t n = cards.size();
  for (std::size_t k = 2; k <= n + 1; ++k) {
    std::vector<Chain> next_list;
    for (const Chain& chain : chains) {
      if (k == n + 1) {
        candidate(chain);
        continue;
      }
      bool yielded = false;
      const int last = chain.back();
      if (chain.size() == 1 || last != 14) {
        const int next = last == 14 ? 2 : last + 1;
        // The next rank, then with shortcut the skip, which never passes the
        // Ace (0: no skip tried).
        const std::array<int, 2> tried = {next, rules.shortcut && next != 14 ? next + 1 : 0};
        for (int r : tried) {
          if (r == 0 || !held[static_cast<std::size_t>(r)]) continue;
          Chain grown = chain;
          grown.push_back(r);
          next_list.push_back(std::move(grown));
          yielded = true;
        }
      }
      if (!yielded && chain.size() >= size) candidate(chain);
    }
    chains = std::move(next_list);
  }
  std::vector<std::size_t> positions;
  if (!best) return positions;
  for (std::size_t i = 0; i < n; ++i) {
    const std::optional<int> r = counting_rank(cards[i]);
    if (r && std::find(best->begin(), best->end(), *r) != best->end()) positions.push_back(i);
  }
  return positions;
}

Result detect(std::span<const CardView> cards, JokerRules rules) {
  const std::size_t n = cards.size();
  const std::size_t size = rules.four_fingers ? 4 : 5;

  std::vector<std::size_t> the_flush, the_straight;
  if (n >= size) {
    the_flush = flush(cards, size, rules);
    the_straight = straight(cards, size, rules);
  }
  const bool has_flush = !the_flush.empty();
  const bool has_straight = !the_straight.empty();
  const auto pairs = get_x_same(2, cards);
  const auto threes = get_x_same(3, cards);
  const auto fours = get_x_same(4, cards);
  const auto fives = get_x_same(5, cards);

  // In the order of HandType, best first.
  const std::array<bool, kHandTypes> holds_type = {
      !fives.empty() && has_flush,
      !threes.empty() && has_flush && pairs.size() >= 2,
      !fives.empty(),
      has_flush && has_straight,
      !fours.empty(),
      !threes.empty() && pairs.size() >= 2,
      has_flush,
      has_straight,
      !threes.empty(),
      pairs.size() >= 2,
      pairs.size() >= 1,
      n >= 1,
  };
  Result out;
  bool named = false;
  for (std::size_t t = 0; t < kHandTypes; ++t) {
    if (!holds_type[t]) continue;
    out.poker_hands = static_cast<std::uint16_t>(out.poker_hands | (1u << t));
    if (!named) out.name = static_cast<HandType>(t);
    named = true;
  }

  std::vector<std::size_t> hand_cards;
  switch (out.name) {
    case HandType::flush_five:
      hand_cards = merged(fives.front(), the_flush);
      break;
    case HandType::flush_house:
      hand_cards = merged(flat(pairs), the_flush);
      break;
    case HandType::five_of_a_kind:
      hand_cards = fives.front();
      break;
    case HandType::straight_flush:
      hand_cards = merged(the_straight, the_flush);
      break;
    case HandType::four_of_a_kind:
      hand_cards = fours.front();
      break;
    case HandType::full_house:
      hand_cards = flat(pairs);
      break;
    case HandType::flush:
      hand_cards = the_flush;
      break;
    case HandType::straight:
      hand_cards = the_straight;
      break;
    case HandType::three_of_a_kind:
      hand_cards = threes.front();
      break;
    case HandType::two_pair:
      hand_cards = flat(pairs);
      break;
    case HandType::pair:
      hand_cards = pairs.front();
      break;
    case HandType::high_card:
      if (n > 0) {
        std::size_t kept = 0;
        for (std::size_t i = 1; i < n; ++i) {
          if (nominal(cards[i]) > nominal(cards[kept])) kept = i;
        }
        hand_cards = {kept};
      }
      break;
  }

  for (std::size_t i = 0; i < n; ++i) {
    if (rules.splash || cards[i].enh == Enh::stone || holds(hand_cards, i)) {
      out.scoring.push_back(i);
    }
  }
  return out;
}

}  // namespace quorvel::hand::reference
