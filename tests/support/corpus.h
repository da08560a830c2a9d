// A deterministic corpus of game states as JSON text: realistic hands and
// jokers with random ability values, every blind rule, both objectives, and
// now and then an odd value. The same seed gives the same text on every
// platform: the generator uses its own integer arithmetic only.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::corpus {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {  // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
  bool percent(unsigned p) { return below(100) < p; }
  template <typename T, std::size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[below(N)];
  }

 private:
  std::uint64_t state_;
};

// What one case holds: the snapshot text and three plays (card ids, in play
// order) to score against it.
struct Case {
  std::string snapshot;
  std::vector<std::vector<std::int64_t>> plays;
};

// How many jokers and hand cards a case holds, and the numbers its jokers'
// ability members take (empty: the corpus's own, mostly the game's
// magnitudes).
struct Shape {
  std::size_t jokers = 0;
  std::size_t cards = 1;
  std::span<const std::string_view> ability_numbers;
  std::size_t forced = 0;       // the first `forced` cards are forced; none drawn then
  unsigned forced_percent = 3;  // else each card is forced by this chance
  unsigned money_percent = 25;  // the chance of the "money" objective
};

// A case of the seed's own shape: mostly few jokers, large hands with few.
Case make_case(std::uint64_t seed);
// A case of the given shape, its other draws made as for any case.
Case make_case(std::uint64_t seed, Shape shape);

// A state of 13 to 40 cards, some forced or hidden, with 0 to 8 jokers, whose
// search ranks more plays than the head of the ranking that stage 1 keeps
// (unless jokers whose order cannot matter make that head larger).
std::string large_state(std::uint64_t seed);

// A score request in object form, or in array form when `array_form`.
std::string score_request(const std::string& snapshot, const std::vector<std::int64_t>& play,
                          bool array_form);

// `text` with one byte deleted, inserted or replaced, chosen by `rng`.
std::string mutate(std::string text, Rng& rng);

}  // namespace quorvel::corpus
