// Orders to try: permutations in recursive swap order, and the joker orders
// that can change a score.
#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

#include "search/stages.h"

namespace quorvel::search {

std::vector<Positions> permutations(std::size_t n) {
  std::vector<Positions> out;
  PermutationWalk walk(n);
  do {
    out.push_back(walk.order());
  } while (walk.next());
  return out;
}

// The recursive step, unrolled: place d takes in turn the entries of places
// d..n-1 (swapped in, and back out before the next), and for each of them
// every order of the places behind it. choice_[d] is the place swapped into d.
PermutationWalk::PermutationWalk(std::size_t n) : current_(n), choice_(n) {
  std::iota(current_.begin(), current_.end(), std::size_t{0});
  std::iota(choice_.begin(), choice_.end(), std::size_t{0});
}

bool PermutationWalk::next() {
  if (ended_) return false;
  const std::size_t n = current_.size();
  // Back up to the deepest place that has another entry to take.
  for (std::size_t d = n; d-- > 0;) {
    std::swap(current_[d], current_[choice_[d]]);
    if (++choice_[d] < n) {
      std::swap(current_[d], current_[choice_[d]]);
      // The places behind it start over with their own entries.
      for (std::size_t k = d + 1; k < n; ++k) choice_[k] = k;
      return true;
    }
  }
  ended_ = true;
  return false;
}

std::size_t card_order_cap(std::size_t cards) {
  const std::size_t placements = kCardOrderPlacements / std::max<std::size_t>(cards, 1);
  return std::min(kMaxCardOrders, std::max<std::size_t>(placements, 1));
}

namespace {

using jokers::Key;

// Jokers whose effect does not depend on where they stand in the row.
constexpr std::array<Key, 22> kOrderFreeKeys = {
    Key::j_egg,         Key::j_stone,       Key::j_chaos,      Key::j_banner,     Key::j_castle,
    Key::j_marble,      Key::j_golden,      Key::j_chicot,     Key::j_perkeo,     Key::j_burglar,
    Key::j_juggler,     Key::j_stuntman,    Key::j_faceless,   Key::j_drunkard,   Key::j_mr_bones,
    Key::j_ice_cream,   Key::j_invisible,   Key::j_blue_joker, Key::j_troubadour, Key::j_merry_andy,
    Key::j_credit_card, Key::j_delayed_grat};

bool listed_order_free(Key key) {
  return std::find(kOrderFreeKeys.begin(), kOrderFreeKeys.end(), key) != kOrderFreeKeys.end();
}

}  // namespace

std::vector<bool> order_free(std::span<const jokers::JokerView> jokers) {
  // A copy joker takes the effect of its neighbour, so every place matters.
  const bool copy_present = std::any_of(jokers.begin(), jokers.end(),
                                        [](const auto& j) { return jokers::is_copy(j.key); });
  const bool baseball_present = std::any_of(jokers.begin(), jokers.end(),
                                            [](const auto& j) { return j.key == Key::j_baseball; });

  std::vector<bool> flags;
  flags.reserve(jokers.size());
  for (const jokers::JokerView& joker : jokers) {
    bool flag = false;
    if (copy_present) {
      flag = false;
    } else if (baseball_present && joker.rarity == 2) {
      flag = false;
    } else if (joker.ed != hand::Edition::none && joker.ed != hand::Edition::negative &&
               joker.ed != hand::Edition::foil) {
      // Holographic and polychrome change the mult where the joker stands, and
      // an unknown edition might.
      flag = false;
    } else if (joker.debuff || joker.hidden) {
      flag = true;
    } else if (joker.ab.t_chips.value_or(0.0) > 0.0) {
      flag = true;
    } else {
      flag = listed_order_free(joker.key);
    }
    flags.push_back(flag);
  }
  return flags;
}

std::vector<Positions> joker_orders(const std::vector<Positions>& perms,
                                    const std::vector<bool>& flags) {
  std::vector<Positions> out;
  for (const Positions& perm : perms) {
    // Order-free jokers arranged among themselves score alike: keep only the
    // arrangement in which they rise.
    bool rising = true;
    bool seen = false;
    std::size_t last = 0;
    for (std::size_t pos : perm) {
      if (!flags[pos]) continue;
      if (seen && pos <= last) {
        rising = false;
        break;
      }
      seen = true;
      last = pos;
    }
    if (rising) out.push_back(perm);
  }
  return out;
}

}  // namespace quorvel::search
