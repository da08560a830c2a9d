// A scoring context set up the way a run sets it up before its first joker
// phase, so each phase can be called alone.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jokers/jokers.h"
#include "score/chance.h"
#include "score/context.h"
#include "score/phases/phases.h"
#include "score/score.h"
#include "snapshot/snapshot.h"
#include "support/build.h"

namespace quorvel::phases_test {

using testing::card;
using testing::identity;
using testing::joker;

// One scoring run's context over `snap`, with `played` hand positions and a
// joker order (the snapshot's own when empty), before any phase has run.
class PhaseRun {
 public:
  PhaseRun(snapshot::Snapshot snap, std::vector<std::size_t> played,
           std::optional<std::vector<std::size_t>> order = std::nullopt,
           std::uint8_t mode = score::ModeChance::kExpected)
      : snap_(std::move(snap)),
        played_(std::move(played)),
        order_(order ? std::move(*order) : identity(snap_.jokers.size())),
        chance_(mode) {
    prep_ = std::make_unique<score::Prepared>(snap_);
    play_ = std::make_unique<score::Play>(*prep_, played_);
    lineup_ = std::make_unique<score::Lineup>(*prep_, order_);
    jstates_ = jokers::initial_state(prep_->jokers);
    per_card_extra_.assign(played_.size(), 0.0);
    ctx_ = std::unique_ptr<score::ScoreCtx>(new score::ScoreCtx{
        .prep = *prep_,
        .snapshot = snap_,
        .lineup = *lineup_,
        .played = play_->played.span(),
        .held = play_->held.span(),
        .own = own_,
        .jstates = jstates_.span(),
        .per_card_extra = per_card_extra_.span(),
        .chance = chance_,
        .detected = play_->detected,
        .dollars = snap_.round.dollars,
        .rules = prep_->rules,
    });
  }

  PhaseRun(PhaseRun&&) = delete;  // the context borrows the members

  score::ScoreCtx& ctx() { return *ctx_; }
  const snapshot::Snapshot& snap() const { return snap_; }
  jokers::JState& state(std::size_t joker) { return ctx_->jstates[joker]; }
  bool chance_used() const { return chance_.used(); }

 private:
  snapshot::Snapshot snap_;
  std::vector<std::size_t> played_;
  std::vector<std::size_t> order_;
  score::ModeChance chance_;
  std::unique_ptr<score::Prepared> prep_;
  std::unique_ptr<score::Play> play_;
  std::unique_ptr<score::Lineup> lineup_;
  score::OwnCards own_;
  common::SmallVec<jokers::JState, 8> jstates_;
  common::SmallVec<double, 8> per_card_extra_;
  std::unique_ptr<score::ScoreCtx> ctx_;
};

}  // namespace quorvel::phases_test
