// The search frame and its three stages.
#include <algorithm>
#include <limits>
#include <span>

#include "search/selection.h"
#include "search/stages.h"

namespace quorvel::search {

namespace {

// The search's shared state: the snapshot prepared once, the scoring calls
// counted, the callbacks.
class Search {
 public:
  Search(const snapshot::Snapshot& snapshot, const Cancel& cancel, const Sink& sink,
         const Options& options)
      : snapshot_(snapshot),
        prep_(snapshot),
        objective_(snapshot.options.objective),
        progress_{snapshot, prep_.approximate, 0.0, snapshot.jokers.size() < kClimbFrom, false,
                  prep_},
        cancel_(cancel),
        sink_(sink),
        options_(options) {
    const std::size_t n = snapshot.jokers.size();
    if (n >= 2 && n < kClimbFrom)
      joker_orders_ = joker_orders(permutations(n), order_free(prep_.jokers));
  }

  void run();

 private:
  bool enumerate();
  bool improve_joker_orders();
  bool climb();
  bool exhaustive();
  bool refresh_floors();
  bool improve_card_orders(Candidate& best);
  bool walk_card_orders(const Candidate& cand, Candidate& best);
  void try_card_order(const Candidate& cand, const score::Lineup& lineup,
                      std::span<const std::size_t> order, Candidate& best);

  // Counted scorings; `order` is a joker order's positions or its lineup.
  template <class Order>
  score::Scored play_score(const score::Play& play, const Order& order) {
    if (options_.counts != nullptr) ++options_.counts->score_play;
    return score::score_play(prep_, play, order);
  }
  template <class Order>
  score::Outcome expected(const score::Play& play, const Order& order) {
    if (options_.counts != nullptr) ++options_.counts->score_expected;
    return score::score_expected(prep_, play, order);
  }
  void report(std::uint32_t stage, bool done, const Candidate* best) {
    if (options_.counts != nullptr && best != nullptr) {
      ++options_.counts->score_play;
      if (best->order != prep_.identity_order) ++options_.counts->score_expected;
    }
    sink_(progress_.result(stage, done, best));
  }

  const snapshot::Snapshot& snapshot_;
  const score::Prepared prep_;
  const snapshot::Objective objective_;
  std::vector<Positions> joker_orders_;  // the orders stage 2 tries, when it tries them all
  Progress progress_;
  std::vector<Candidate> candidates_;  // the head of the ranking
  std::size_t retained_ = 0;           // candidates retained by stage 1, head or not
  Positions played_;                   // stage 3's reordered play, kept to reuse its storage
  const Cancel& cancel_;
  const Sink& sink_;
  const Options options_;  // its counts, when not null, add up the scorings
};

void Search::run() {
  if (!enumerate()) return;
  if (candidates_.empty()) {
    report(1, true, nullptr);
    return;
  }
  progress_.current_order_expected = candidates_.front().expected;
  report(1, false, &candidates_.front());

  if (snapshot_.jokers.size() >= 2 && !improve_joker_orders()) return;

  Candidate best = candidates_.front();
  if (!improve_card_orders(best)) return;
  if (cancel_()) return;
  report(3, true, &best);
}

// Stage 1: the selections one at a time, each scored and, when retained,
// offered to the head of the ranking; the rest of the ranking is never read.
// False when cancelled.
bool Search::enumerate() {
  const bool money = objective_ == snapshot::Objective::money;
  const std::size_t limit = options_.whole_ranking
                                ? std::numeric_limits<std::size_t>::max()
                                : head_limit(snapshot_.jokers.size(), joker_orders_.size());
  SelectionWalk walk(snapshot_);
  // No more plays than selections: the head's storage is never larger.
  RankingHead head(objective_, walk.count(limit));
  while (walk.next()) {
    if (cancel_()) return false;
    const score::Play play(prep_, walk.selection());
    const score::Scored s = play_score(play, *prep_.identity);
    // A voided hand still counts under the money objective when it earns.
    if (s.legal || (money && s.money_expected > 0.0)) {
      head.offer(walk.selection(), s.expected, s.floor, s.money_expected);
    }
  }
  retained_ = head.offered();
  return head.take(prep_.identity_order, cancel_, candidates_);
}

// Stage 2, ending in its report. False when cancelled.
bool Search::improve_joker_orders() {
  if (!(snapshot_.jokers.size() >= kClimbFrom ? climb() : exhaustive())) return false;
  if (!refresh_floors()) return false;
  // Only the leading candidates are read from here on.
  if (!keep_leading(objective_, cancel_, candidates_)) return false;
  report(2, false, &candidates_.front());
  return true;
}

bool Search::climb() {
  const std::size_t n = snapshot_.jokers.size();
  const std::size_t count = std::min(kLeading, candidates_.size());
  Positions order;
  for (std::size_t c = 0; c < count; ++c) {
    if (cancel_()) return false;
    Candidate& cand = candidates_[c];
    const score::Play play(prep_, cand.cards);
    order = prep_.identity_order;
    score::Outcome v = expected(play, order);
    // A cancel before a pass ends only this candidate's climb; the next
    // candidate's (or stage 3's) test ends the search.
    while (!cancel_()) {
      bool improved = false;
      for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
          std::swap(order[i], order[j]);
          const score::Outcome next = expected(play, order);
          if (better(objective_, next, v)) {
            v = next;
            improved = true;
          } else {
            std::swap(order[i], order[j]);
          }
        }
      }
      if (!improved) break;
    }
    if (better(objective_, v, {cand.expected, cand.money})) {
      cand.expected = v.score;
      cand.money = v.money;
      cand.order = order;
    }
  }
  return true;
}

bool Search::exhaustive() {
  const std::vector<Positions>& orders = joker_orders_;
  const std::size_t budget = order_budget(orders.size());
  if (retained_ > budget) progress_.order_exact = false;
  const std::size_t count = std::min(budget, candidates_.size());
  // Every order is resolved once for all candidates, and orders that make the
  // same run share one scoring per candidate.
  std::vector<score::Lineup> lineups;
  if (count > 0 && orders.size() >= 2) {
    lineups.reserve(orders.size());
    for (const Positions& order : orders) lineups.emplace_back(prep_, order);
  }
  const OrderClasses classes = order_classes(prep_, lineups);
  // Per class: the last candidate scored under it, and its outcome.
  struct Shared {
    std::size_t candidate;
    score::Outcome outcome;
  };
  std::vector<Shared> shared(classes.count, Shared{count, {}});
  const bool check = options_.check_shared_runs;
  for (std::size_t c = 0; c < count; ++c) {
    if (cancel_()) return false;
    if (orders.size() < 2) continue;
    Candidate& cand = candidates_[c];
    const score::Play play(prep_, cand.cards);
    // The identity comes first and the candidate already holds its values.
    for (std::size_t o = 1; o < orders.size(); ++o) {
      score::Outcome next;
      const std::uint32_t cls = classes.of[o];
      // A voided play scores no run: its money sums the resolved list itself.
      // (Sharing it would change nothing today, as every "j_matador" also
      // acts in the main phase and so stands in the run key.)
      if (shared[cls].candidate == c && !play.voided) {
        if (options_.counts != nullptr) ++options_.counts->score_expected;
        next = shared[cls].outcome;
        if (check) verify_shared(prep_, play, lineups[o], next);
      } else {
        next = expected(play, lineups[o]);
        shared[cls] = {c, next};
      }
      if (better(objective_, next, {cand.expected, cand.money})) {
        cand.expected = next.score;
        cand.money = next.money;
        cand.order = orders[o];
      }
    }
  }
  return true;
}

// A changed joker order changes the floor too; the floor is only known from
// a full scoring. Stage 2 may have changed the whole head. False when
// cancelled.
bool Search::refresh_floors() {
  CancelEvery steps(cancel_, kStepsPerTest);
  for (Candidate& cand : candidates_) {
    // A step per candidate visited, rescored or not: the walk itself is as
    // long as the head.
    if (steps.step()) return false;
    if (cand.order == prep_.identity_order) continue;
    const score::Play play(prep_, cand.cards);
    cand.floor = play_score(play, cand.order).floor;
  }
  return true;
}

// Stage 3: every order of the played cards of the leading candidates, judged
// against the single best play so far. False when cancelled.
bool Search::improve_card_orders(Candidate& best) {
  const std::size_t count = std::min(kLeading, candidates_.size());
  for (std::size_t c = 0; c < count; ++c) {
    if (cancel_()) return false;
    const Candidate& cand = candidates_[c];
    if (cand.cards.size() > 5) {
      if (!walk_card_orders(cand, best)) return false;
      continue;
    }
    const score::Lineup lineup(prep_, cand.order);
    const std::vector<Positions> orders = permutations(cand.cards.size());
    // The identity is the candidate's own order and is not scored again.
    for (std::size_t o = 1; o < orders.size(); ++o) try_card_order(cand, lineup, orders[o], best);
  }
  return true;
}

// More than five forced cards: their orders grow as c!, so they are made one
// at a time, up to the cap, with the cancel test between them. False when
// cancelled.
bool Search::walk_card_orders(const Candidate& cand, Candidate& best) {
  const std::size_t cap = card_order_cap(cand.cards.size());
  const score::Lineup lineup(prep_, cand.order);
  PermutationWalk walk(cand.cards.size());
  for (std::size_t o = 1; o < cap && walk.next(); ++o) {
    if (cancel_()) return false;
    try_card_order(cand, lineup, walk.order(), best);
  }
  return true;
}

void Search::try_card_order(const Candidate& cand, const score::Lineup& lineup,
                            std::span<const std::size_t> order, Candidate& best) {
  played_.clear();
  for (std::size_t p : order) played_.push_back(cand.cards[p]);
  const score::Play play(prep_, played_);
  const score::Outcome next = expected(play, lineup);
  if (better(objective_, next, {best.expected, best.money})) {
    best.cards = played_;
    best.order = cand.order;
    best.expected = next.score;
    best.money = next.money;
    progress_.card_order_matters = true;
  }
}

}  // namespace

void run(const snapshot::Snapshot& snapshot, const Cancel& cancel, const Sink& sink,
         const Options& options) {
  Search(snapshot, cancel, sink, options).run();
}

}  // namespace quorvel::search
