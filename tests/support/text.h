// The compact text of a value tree in one call, for tests and fuzz targets
// that compare what the writers give as strings.
#pragma once

#include <string>

#include "json/tree.h"
#include "json/writer.h"

namespace quorvel::json {

inline std::string to_text(const Value& value) {
  std::string out;
  write(out, value);
  return out;
}

inline std::string to_text(const Tree& tree) {
  std::string out;
  tree.write(out);
  return out;
}

}  // namespace quorvel::json
