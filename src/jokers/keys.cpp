#include "jokers/keys.h"

namespace quorvel::jokers {

Key key_of(const std::optional<std::string>& key) {
  if (!key) return Key::none;
  for (std::size_t i = 0; i < KNOWN_JOKERS.size(); ++i) {
    if (KNOWN_JOKERS[i] == *key) return static_cast<Key>(i);
  }
  return Key::other;
}

}  // namespace quorvel::jokers
