// A vector that keeps its first N elements inline, so the scoring run's lists
// need no heap allocation for ordinary plays and falls back to the heap only
// for unusually large ones (a score request may name hundreds of cards).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>
#include <type_traits>

namespace quorvel::common {

template <typename T, std::size_t N>
class SmallVec {
  static_assert(std::is_trivially_copyable_v<T>, "SmallVec holds plain values only");

 public:
  SmallVec() {}  // user-provided: value-initialisation must not zero the inline storage
  SmallVec(std::initializer_list<T> items) {
    for (const T& item : items) push_back(item);
  }
  explicit SmallVec(std::span<const T> items) { assign(items); }
  explicit SmallVec(std::size_t count, const T& value = T{}) { assign(count, value); }
  SmallVec(const SmallVec& other) { assign(other.span()); }
  SmallVec& operator=(const SmallVec& other) {
    if (this != &other) assign(other.span());
    return *this;
  }
  // A moved-from vector is empty; a heap block changes owner instead of being copied.
  SmallVec(SmallVec&& other) noexcept { take(other); }
  SmallVec& operator=(SmallVec&& other) noexcept {
    if (this != &other) take(other);
    return *this;
  }
  ~SmallVec() = default;

  friend bool operator==(const SmallVec& a, const SmallVec& b) {
    return a.size_ == b.size_ && std::equal(a.begin(), a.end(), b.begin());
  }
  friend bool operator<(const SmallVec& a, const SmallVec& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
  }

  void assign(std::span<const T> items) {
    size_ = 0;
    reserve(items.size());
    if (!items.empty()) std::memcpy(data(), items.data(), items.size() * sizeof(T));
    size_ = items.size();
  }
  void assign(std::size_t count, const T& value) {
    size_ = 0;
    reserve(count);
    for (std::size_t i = 0; i < count; ++i) data()[i] = value;
    size_ = count;
  }
  void push_back(const T& value) {
    if (size_ == capacity_) reserve(capacity_ * 2);
    data()[size_++] = value;
  }
  void pop_back() { --size_; }
  void clear() { size_ = 0; }
  void resize(std::size_t count, const T& value = T{}) {
    reserve(count);
    for (std::size_t i = size_; i < count; ++i) data()[i] = value;
    size_ = count;
  }
  // Sets the size without writing the new elements: the caller writes each
  // one before it is read.
  void resize_for_overwrite(std::size_t count) {
    reserve(count);
    size_ = count;
  }
  void reserve(std::size_t wanted) {
    if (wanted <= capacity_) return;
    auto grown = std::make_unique_for_overwrite<T[]>(wanted);
    if (size_ != 0) std::memcpy(grown.get(), data(), size_ * sizeof(T));
    heap_ = std::move(grown);
    capacity_ = wanted;
  }

  T* data() { return heap_ ? heap_.get() : inline_.items; }
  const T* data() const { return heap_ ? heap_.get() : inline_.items; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t i) { return data()[i]; }
  const T& operator[](std::size_t i) const { return data()[i]; }
  T& back() { return data()[size_ - 1]; }
  const T& back() const { return data()[size_ - 1]; }
  T* begin() { return data(); }
  T* end() { return data() + size_; }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size_; }
  std::span<const T> span() const { return {data(), size_}; }
  std::span<T> span() { return {data(), size_}; }

 private:
  void take(SmallVec& other) noexcept {
    if (other.heap_) {
      heap_ = std::move(other.heap_);
      capacity_ = other.capacity_;
    } else {
      heap_.reset();
      capacity_ = N;
      if (other.size_ != 0)
        std::memcpy(inline_.items, other.inline_.items, other.size_ * sizeof(T));
    }
    size_ = other.size_;
    other.size_ = 0;
    other.capacity_ = N;
  }

  // Left uninitialised: only the first size_ elements are ever read.
  union Inline {
    Inline() {}
    T items[N];
  } inline_;
  std::unique_ptr<T[]> heap_;
  std::size_t size_ = 0;
  std::size_t capacity_ = N;
};

}  // namespace quorvel::common
