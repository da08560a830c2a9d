// Boss blinds: which ones the engine knows, and those that void a play
// outright (the hand then scores nothing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "snapshot/snapshot.h"

namespace quorvel::blinds {

// The blinds with a rule. `none` stands for every other key, and for every
// blind while it is disabled.
enum class Boss : std::uint8_t { none, psychic, eye, mouth, arm, ox, tooth, flint, hook };

Boss boss_of(const snapshot::Blind& blind);

// Whether the current blind voids a play whose best hand type is `hand_name`
// and which holds `played_count` cards (every played position counted).
bool debuffs_hand(const snapshot::Snapshot& snapshot, std::string_view hand_name,
                  std::size_t played_count);

}  // namespace quorvel::blinds
