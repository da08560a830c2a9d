#include "jokers/keys.h"

#include "common/names.h"

namespace quorvel::jokers {

Key key_of(const std::optional<std::string>& key) {
  if (!key) return Key::none;
  return common::code_of(KNOWN_JOKERS, *key, Key::j_joker, Key::other);
}

}  // namespace quorvel::jokers
