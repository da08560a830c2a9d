// How a scoring run gets the outcome of every chance it meets: the run never
// draws random numbers, it asks its Chance.
#pragma once

#include <cstdint>

namespace quorvel::score {

class Chance {
 public:
  // The factor by which an effect of probability p counts.
  virtual double weight(double p) = 0;
  // The amount to use for a random amount between lo and hi.
  virtual double pick(double lo, double hi) = 0;
  // Whether weight or pick was called since this value was made.
  virtual bool used() const = 0;

 protected:
  ~Chance() = default;
};

// Floor (mode 0), expected (1) or ceiling (any other mode).
class ModeChance final : public Chance {
 public:
  static constexpr std::uint8_t kFloor = 0;
  static constexpr std::uint8_t kExpected = 1;
  static constexpr std::uint8_t kCeiling = 2;

  explicit ModeChance(std::uint8_t mode) : mode_(mode) {}
  double weight(double p) override;
  double pick(double lo, double hi) override;
  bool used() const override { return used_; }

 private:
  bool used_ = false;
  std::uint8_t mode_;
};

// The factor of an effect with probability q: 1 when q >= 1, 0 when q <= 0
// (the chance is then not consulted), otherwise chance.weight(q).
double factor(Chance& chance, double q);
// The odds rule: the factor of a joker acting with a chance of one in `odds`,
// given the run's odds multiplier.
double odds_factor(Chance& chance, double odds_mult, double odds);

}  // namespace quorvel::score
