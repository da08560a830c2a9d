// Orders to try: permutations in recursive swap order, and the joker orders
// that can change a score.
#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <string_view>
#include <utility>

#include "search/search.h"

namespace quorvel::search {

std::vector<Positions> permutations(std::size_t n) {
  return permutations(n, std::numeric_limits<std::size_t>::max());
}

std::vector<Positions> permutations(std::size_t n, std::size_t limit) {
  std::vector<Positions> out;
  if (limit == 0) return out;
  PermutationWalk walk(n);
  do {
    out.push_back(walk.order());
  } while (out.size() < limit && walk.next());
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
  return false;
}

std::size_t card_order_cap(std::size_t cards) {
  return std::min(kMaxCardOrders, std::max<std::size_t>(1, kCardOrderPlacements / cards));
}

namespace {

// Jokers whose effect does not depend on where they stand in the row.
constexpr std::array<std::string_view, 22> kOrderFreeKeys = {
    "j_egg",        "j_stone",      "j_chaos",       "j_banner",      "j_castle",    "j_marble",
    "j_golden",     "j_chicot",     "j_perkeo",      "j_burglar",     "j_juggler",   "j_stuntman",
    "j_faceless",   "j_drunkard",   "j_mr_bones",    "j_ice_cream",   "j_invisible", "j_blue_joker",
    "j_troubadour", "j_merry_andy", "j_credit_card", "j_delayed_grat"};

bool has_key(const snapshot::Joker& joker, std::string_view key) {
  return joker.key.has_value() && *joker.key == key;
}

}  // namespace

std::vector<bool> order_free(std::span<const snapshot::Joker> jokers) {
  // A copy joker takes the effect of its neighbour, so every place matters.
  const bool copy_present = std::any_of(jokers.begin(), jokers.end(), [](const auto& j) {
    return has_key(j, "j_blueprint") || has_key(j, "j_brainstorm");
  });
  const bool baseball_present = std::any_of(jokers.begin(), jokers.end(),
                                            [](const auto& j) { return has_key(j, "j_baseball"); });

  std::vector<bool> flags;
  flags.reserve(jokers.size());
  for (const snapshot::Joker& joker : jokers) {
    bool flag = false;
    if (copy_present) {
      flag = false;
    } else if (baseball_present && joker.rarity == 2) {
      flag = false;
    } else if (joker.ed.has_value() && *joker.ed != "e_negative" && *joker.ed != "e_foil") {
      // Holographic and polychrome change the mult where the joker stands, and
      // an unknown edition might.
      flag = false;
    } else if (joker.debuff || joker.hidden) {
      flag = true;
    } else if (const json::Value* t_chips = joker.ab.find("t_chips");
               t_chips != nullptr && t_chips->is_number() && t_chips->number() > 0.0) {
      flag = true;
    } else if (joker.key.has_value()) {
      flag = std::find(kOrderFreeKeys.begin(), kOrderFreeKeys.end(), *joker.key) !=
             kOrderFreeKeys.end();
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
