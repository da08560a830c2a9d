#include "blinds/blinds.h"

namespace quorvel::blinds {

bool debuffs_hand(const snapshot::Snapshot& snapshot, std::string_view hand_name,
                  std::size_t played_count) {
  const snapshot::Blind& blind = snapshot.blind;
  if (blind.disabled) return false;
  // Strict comparisons throughout: 0, negative and NaN counts never void.
  if (blind.key == "bl_psychic") return played_count <= 4;
  if (blind.key == "bl_eye") {
    auto it = snapshot.levels.find(hand_name);
    return it != snapshot.levels.end() && it->second.played_round > 0.0;
  }
  if (blind.key == "bl_mouth") {
    for (const auto& [name, level] : snapshot.levels) {
      if (name != hand_name && level.played_round > 0.0) return true;
    }
    return false;
  }
  return false;
}

}  // namespace quorvel::blinds
