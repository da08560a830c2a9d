#include "json/value.h"

namespace quorvel::json {

double Value::number() const {
  switch (kind()) {
    case Kind::unsigned_int:
      return static_cast<double>(as_unsigned());
    case Kind::signed_int:
      return static_cast<double>(as_signed());
    case Kind::floating:
      return as_float();
    default:
      return 0.0;
  }
}

}  // namespace quorvel::json
