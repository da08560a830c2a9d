// Moving the items of a list into a sorted order in place.
#pragma once

#include <cstddef>
#include <limits>
#include <span>
#include <utility>

namespace quorvel::common {

// Puts items[order[k].index] at place k for every k, moving each item once
// along the permutation's cycles, so that a long list is never held twice.
// `order` holds a permutation of the places, each index clear of its type's
// top bit; it is left as the identity. `stop` is asked once per place, as
// the place is filled or found in place; when it answers true the moving
// ends there and returns false, the items left whole but in no particular
// order (and `order` no longer a permutation).
template <class T, class Slot, class Stop>
bool move_into_order(std::span<T> items, std::span<Slot> order, Stop stop) {
  using Index = decltype(Slot::index);
  // Marks a place that a cycle filled ahead of the walk: the walk passes it
  // over without asking again.
  constexpr Index kFilled = Index{1} << (std::numeric_limits<Index>::digits - 1);
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start].index & kFilled) {
      order[start].index = static_cast<Index>(order[start].index & ~kFilled);
      continue;
    }
    if (order[start].index == start) {
      if (stop()) return false;
      continue;
    }
    T held = std::move(items[start]);
    std::size_t to = start;
    bool stopped = false;
    while (order[to].index != start && !(stopped = stop())) {
      const std::size_t from = order[to].index;
      items[to] = std::move(items[from]);
      order[to].index = static_cast<Index>(to == start ? to : to | kFilled);
      to = from;
    }
    // Stopped midway, the held item fills the one place left empty.
    items[to] = std::move(held);
    if (stopped) return false;
    order[to].index = static_cast<Index>(to | kFilled);
    if (stop()) return false;
  }
  return true;
}

template <class T, class Slot>
void move_into_order(std::span<T> items, std::span<Slot> order) {
  move_into_order(items, order, [] { return false; });
}

}  // namespace quorvel::common
