// Boss blinds that void a play outright: the hand then scores nothing.
#pragma once

#include <cstddef>
#include <string_view>

#include "snapshot/snapshot.h"

namespace quorvel::blinds {

// Whether the current blind voids a play whose best hand type is `hand_name`
// and which holds `played_count` cards (every played position counted).
bool debuffs_hand(const snapshot::Snapshot& snapshot, std::string_view hand_name,
                  std::size_t played_count);

}  // namespace quorvel::blinds
