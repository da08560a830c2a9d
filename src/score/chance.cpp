#include "score/chance.h"

#include <cmath>

namespace quorvel::score {

double ModeChance::weight(double p) {
  used_ = true;
  if (mode_ == kFloor) return 0.0;
  if (mode_ == kExpected) return p;
  return 1.0;
}

double ModeChance::pick(double lo, double hi) {
  used_ = true;
  if (mode_ == kFloor) return lo;
  if (mode_ == kExpected) return (lo + hi) * 0.5;
  return hi;
}

double factor(Chance& chance, double q) {
  // Certain and impossible outcomes do not depend on chance.
  if (q >= 1.0) return 1.0;
  if (q <= 0.0) return 0.0;
  return chance.weight(q);
}

double odds_factor(Chance& chance, double odds_mult, double odds) {
  double q = 1.0;
  if (odds > 0.0 || std::isnan(odds)) {
    q = odds_mult / odds;
    if (!(q < 1.0)) q = 1.0;  // also a NaN quotient
  }
  return factor(chance, q);
}

}  // namespace quorvel::score
