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

  // Whether every key is below the next, as they are in most maps given.
  bool in_order() const {
    for (std::size_t k = 1; k < entries_.size(); ++k) {
      if (compare_keys(entries_[k - 1].first, entries_[k].first) >= 0) return false;
    }
    return true;
  }
  void sort_entries();

  std::vector<value_type> entries_;
};

template <typename T>
void FlatMap<T>::sort_entries() {
  const std::size_t n = entries_.size();
  // The order by key, and between equal keys by place, worked out on each
  // key's first eight bytes as one number, the whole key compared only where
  // those are equal; the entries are then moved into it, each once.
  struct Place {
    std::uint64_t head;
    std::uint32_t index;
  };
  std::array<Place, 64> small;
  std::vector<Place> large;
  Place* order = small.data();
  if (n > small.size()) {
    large.resize(n);
    order = large.data();
  }
  for (std::uint32_t i = 0; i < n; ++i) order[i] = {key_head(entries_[i].first), i};
  std::sort(order, order + n, [&](const Place& a, const Place& b) {
    if (a.head != b.head) return a.head < b.head;
    const int c = compare_keys(entries_[a.index].first, entries_[b.index].first);
    return c < 0 || (c == 0 && a.index < b.index);
  });
  move_into_order(std::span<value_type>(entries_), std::span<Place>(order, n));

  // Of each run of equal keys, the last (the latest given) stays.
  auto out = entries_.begin();
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it + 1 != entries_.end() && (it + 1)->first == it->first) continue;
    if (out != it) *out = std::move(*it);
    ++out;
  }
  entries_.erase(out, entries_.end());
}

}  // namespace quorvel::common
