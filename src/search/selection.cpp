#include "search/selection.h"

#include <limits>

namespace quorvel::search {

SelectionWalk::SelectionWalk(const snapshot::Snapshot& snapshot) {
  for (std::size_t i = 0; i < snapshot.hand.size(); ++i) {
    const snapshot::Card& card = snapshot.hand[i];
    if (card.forced) {
      forced_.push_back(i);
    } else if (!card.hidden) {
      free_.push_back(i);
    }
  }
  room_ = forced_.size() > 5 ? 0 : 5 - forced_.size();
}

// The recursive pre-order walk, unrolled: from the current selection, first
// its extension by the next free card, else the next sibling at the deepest
// place that has one.
bool SelectionWalk::next() {
  if (!started_) {
    started_ = true;
    if (!forced_.empty()) {
      selection_ = forced_;
      return true;
    }
  }
  const std::size_t first = added_.empty() ? 0 : added_.back() + 1;
  if (added_.size() < room_ && first < free_.size()) {
    added_.push_back(first);
  } else {
    for (;;) {
      if (added_.empty()) return false;
      const std::size_t sibling = added_.back() + 1;
      added_.pop_back();
      if (sibling < free_.size()) {
        added_.push_back(sibling);
        break;
      }
    }
  }
  selection_.resize(forced_.size() + added_.size());
  std::size_t f = 0, a = 0;
  for (std::size_t& out : selection_) {
    if (a == added_.size() || (f < forced_.size() && forced_[f] < free_[added_[a]])) {
      out = forced_[f++];
    } else {
      out = free_[added_[a++]];
    }
  }
  return true;
}

std::size_t SelectionWalk::count(std::size_t most) const {
  // The forced cards with k free ones, k from 0 (unless nothing is forced) to
  // the room left: C(free, k) selections each.
  const std::size_t n = free_.size();
  std::size_t total = forced_.empty() ? 0 : 1;
  std::size_t ways = 1;
  for (std::size_t k = 1; k <= room_ && k <= n; ++k) {
    if (ways > std::numeric_limits<std::size_t>::max() / (n - k + 1)) return most;
    ways = ways * (n - k + 1) / k;  // C(n, k) from C(n, k - 1), exactly
    if (ways >= most || total >= most - ways) return most;
    total += ways;
  }
  return total < most ? total : most;
}

}  // namespace quorvel::search
