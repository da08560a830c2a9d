// The playable selections of a hand, one at a time. Private to src/search
// (and its tests).
#pragma once

#include <cstddef>

#include "common/positions.h"
#include "snapshot/snapshot.h"

namespace quorvel::search {

// Every playable selection (ascending hand positions), one at a time, depth
// first, each selection before its extensions. Holds only the current one,
// so a hand of any size costs no more memory than its length.
class SelectionWalk {
 public:
  explicit SelectionWalk(const snapshot::Snapshot& snapshot);
  // Moves to the next selection; false when there is none left.
  bool next();
  // The current selection, valid after next() returned true.
  const common::Positions& selection() const { return selection_; }
  // How many selections the whole walk makes, or `most` when that is fewer.
  std::size_t count(std::size_t most) const;

 private:
  common::Positions forced_;
  common::Positions free_;
  common::Positions added_;  // indices into free_, rising
  common::Positions selection_;
  std::size_t room_ = 0;
  bool started_ = false;
};

}  // namespace quorvel::search
