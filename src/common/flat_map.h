// A map from strings to values held as one vector sorted by key: one block
// for every entry where a tree of nodes takes one allocation per entry, and
// lookups by string_view without building a key. Keys are ordered by their
// unsigned byte values, a prefix first, as the JSON writer lists members.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/permute.h"

namespace quorvel::common {

// Three-way comparison of keys by unsigned bytes, a prefix first. Keys are
// short: a loop costs less than a library call.
inline int compare_keys(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t k = 0; k < n; ++k) {
    const auto x = static_cast<unsigned char>(a[k]);
    const auto y = static_cast<unsigned char>(b[k]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// A key's first eight bytes (zeros past its end) as a number in the same
// order: keys whose heads differ compare as their heads do.
inline std::uint64_t key_head(std::string_view key) {
  unsigned char bytes[8] = {};
  if (key.size() >= 8) {
    std::memcpy(bytes, key.data(), 8);
  } else {
    for (std::size_t k = 0; k < key.size(); ++k) bytes[k] = static_cast<unsigned char>(key[k]);
  }
  std::uint64_t head = 0;
  for (const unsigned char byte : bytes) head = head << 8 | byte;
  return head;
}

// Whether the keys of n items (`key_at(i)` the key of item i) are each below
// the next, as they are in most objects and maps given.
template <class KeyAt>
bool in_key_order(std::size_t n, KeyAt key_at) {
  for (std::size_t k = 1; k < n; ++k) {
    if (compare_keys(key_at(k - 1), key_at(k)) >= 0) return false;
  }
  return true;
}

// Where one item stands while a key order is worked out: its key's head
// (key_head) and its place.
struct KeyPlace {
  std::uint64_t head;
  std::uint32_t index;
};

// Works out in `order`, one place per item, the key order of the items
// (`key_at(i)` the key of item i as a std::string_view): by key, and of
// equal keys only the later given. Those places come first and their count is
// returned; the places of the items left out follow, so that `order` stays a
// permutation. Sorted on each key's head, whole keys compared only where the
// heads are equal.
template <class KeyAt>
std::size_t key_order(std::span<KeyPlace> order, KeyAt key_at) {
  const std::size_t n = order.size();
  for (std::uint32_t i = 0; i < n; ++i) order[i] = {key_head(key_at(i)), i};
  std::sort(order.begin(), order.end(), [&](const KeyPlace& a, const KeyPlace& b) {
    if (a.head != b.head) return a.head < b.head;
    const int c = compare_keys(key_at(a.index), key_at(b.index));
    return c < 0 || (c == 0 && a.index < b.index);
  });
  std::size_t kept = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const bool replaced = k + 1 < n && order[k + 1].head == order[k].head &&
                          key_at(order[k + 1].index) == key_at(order[k].index);
    if (!replaced) std::swap(order[kept++], order[k]);
  }
  return kept;
}

template <typename T>
class FlatMap {
 public:
  using value_type = std::pair<std::string, T>;
  using const_iterator = typename std::vector<value_type>::const_iterator;

  FlatMap() = default;
  // Entries in any order, sorted once here; of two equal keys the later is kept.
  explicit FlatMap(std::vector<value_type> entries) : entries_(std::move(entries)) {
    if (!in_order()) sort_entries();
  }
  FlatMap(std::initializer_list<value_type> entries) : FlatMap(std::vector<value_type>(entries)) {}

  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear() { entries_.clear(); }

  const_iterator find(std::string_view key) const {
    const auto it = lower_bound(key);
    return it != entries_.end() && it->first == key ? it : entries_.end();
  }
  const T& at(std::string_view key) const {
    const auto it = find(key);
    if (it == entries_.end()) throw std::out_of_range("FlatMap::at");
    return it->second;
  }
  T& at(std::string_view key) { return const_cast<T&>(static_cast<const FlatMap&>(*this).at(key)); }
  // The value of `key`, added as T{} when absent.
  T& operator[](std::string_view key) {
    const auto it = lower_bound(key);
    if (it != entries_.end() && it->first == key) return mutable_at(it);
    return entries_.emplace(it, std::string(key), T{})->second;
  }
  // Adds `key` with `value` unless the key is there already (then nothing changes).
  void emplace(std::string_view key, T value) {
    const auto it = lower_bound(key);
    if (it != entries_.end() && it->first == key) return;
    entries_.emplace(it, std::string(key), std::move(value));
  }

 private:
  const_iterator lower_bound(std::string_view key) const {
    // Most maps are built in key order: try past the last entry first.
    if (entries_.empty() || compare_keys(entries_.back().first, key) < 0) return entries_.end();
    return std::lower_bound(
        entries_.begin(), entries_.end(), key,
        [](const value_type& e, std::string_view k) { return compare_keys(e.first, k) < 0; });
  }
  T& mutable_at(const_iterator it) { return entries_[it - entries_.begin()].second; }

  std::string_view key_at(std::size_t i) const { return entries_[i].first; }
  bool in_order() const {
    return in_key_order(entries_.size(), [this](std::size_t i) { return key_at(i); });
  }
  void sort_entries() {
    std::array<KeyPlace, 64> small;
    std::vector<KeyPlace> large;
    std::span<KeyPlace> order = std::span(small).first(std::min(entries_.size(), small.size()));
    if (entries_.size() > small.size()) {
      large.resize(entries_.size());
      order = large;
    }
    const std::size_t kept = key_order(order, [this](std::size_t i) { return key_at(i); });
    move_into_order(std::span<value_type>(entries_), order);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(kept), entries_.end());
  }

  std::vector<value_type> entries_;
};

}  // namespace quorvel::common
