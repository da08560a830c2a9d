// Moving the items of a list into a sorted order in place.
#pragma once

#include <cstddef>
#include <span>
#include <utility>

namespace quorvel::common {

// Puts items[order[k].index] at place k for every k, moving each item once
// along the permutation's cycles, so that a long list is never held twice.
// `order` holds a permutation of the places; it is left as the identity.
template <class T, class Slot>
void move_into_order(std::span<T> items, std::span<Slot> order) {
  using Index = decltype(Slot::index);
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start].index == start) continue;
    T held = std::move(items[start]);
    std::size_t to = start;
    while (order[to].index != start) {
      const std::size_t from = order[to].index;
      items[to] = std::move(items[from]);
      order[to].index = static_cast<Index>(to);
      to = from;
    }
    items[to] = std::move(held);
    order[to].index = static_cast<Index>(to);
  }
}

}  // namespace quorvel::common
