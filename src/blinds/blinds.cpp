#include "blinds/blinds.h"

#include <array>

#include "common/names.h"

namespace quorvel::blinds {

namespace {

// In the order of their codes, from the first after `none`.
constexpr std::array<std::string_view, 8> kBosses = {
    "bl_psychic", "bl_eye", "bl_mouth", "bl_arm", "bl_ox", "bl_tooth", "bl_flint", "bl_hook"};

}  // namespace

Boss boss_of(const snapshot::Blind& blind) {
  if (blind.disabled) return Boss::none;
  return common::code_of(kBosses, blind.key, Boss::psychic, Boss::none);
}

bool debuffs_hand(const snapshot::Snapshot& snapshot, std::string_view hand_name,
                  std::size_t played_count) {
  // Strict comparisons throughout: 0, negative and NaN counts never void.
  switch (boss_of(snapshot.blind)) {
    case Boss::psychic:
      return played_count <= 4;
    case Boss::eye: {
      auto it = snapshot.levels.find(hand_name);
      return it != snapshot.levels.end() && it->second.played_round > 0.0;
    }
    case Boss::mouth:
      for (const auto& [name, level] : snapshot.levels) {
        if (name != hand_name && level.played_round > 0.0) return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace quorvel::blinds
