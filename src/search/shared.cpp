// Joker orders that make the same scoring run. A run reads a joker order only
// through its lineup: each phase's walk, the main phase's positions and three
// counts. Two orders whose walks are equal, whose main phases agree at every
// position that can change anything, and whose counts are equal, make the
// same operations in the same order for every play, so one scoring serves
// both.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "search/stages.h"

namespace quorvel::search {

namespace {

using jokers::JokerView;
using jokers::Key;

std::atomic<bool> g_check{false};

// Jokers whose effect reaches beyond the walk they stand in: copies act as
// their neighbour, "j_baseball" reads the whole resolved list at every
// uncommon joker, "j_dna" changes every hologram's state and the held cards.
bool shares_nothing(const JokerView& j) {
  return jokers::is_copy(j.key) || j.key == Key::j_baseball || j.key == Key::j_dna;
}

// Whether the generic multiplier of the main phase may act for `j`: its
// x_mult starts above 1, or one of its own rows can change its state (the
// rows a copy leaves out).
bool x_mult_may_act(const JokerView& j, const score::JokerRows& rows) {
  if (!(j.initial.x_mult <= 1.0)) return true;  // NaN counts as acting
  return rows.before != rows.before_copy || rows.per_card != rows.per_card_copy ||
         rows.held_card != rows.held_card_copy;
}

// Whether the main phase may change anything at this position: it reads the
// step's edition and, for the acting joker, the loyalty rule, the generic
// paths and the keyed row. An uncommon joker's baseball bonus needs a
// "j_baseball", which keeps every order apart anyway.
bool main_acts(const score::Prepared& prep, const score::MainStep& step) {
  if (step.ed == hand::Edition::foil || step.ed == hand::Edition::holo ||
      step.ed == hand::Edition::polychrome)
    return true;
  if (step.acting == jokers::Resolved::kNothing) return false;
  const score::JokerRows& rows = prep.rows[step.acting];
  return rows.loyalty || rows.main != score::JokerRows::kNoRow || rows.t_mult > 0.0 ||
         rows.t_chips > 0.0 || x_mult_may_act(prep.jokers[step.acting], rows);
}

using RunKey = std::vector<std::uint32_t>;

void add_walk(RunKey& key, std::span<const score::Step> walk) {
  key.push_back(static_cast<std::uint32_t>(walk.size()));
  for (const score::Step& s : walk) {
    key.push_back(s.index);
    key.push_back(static_cast<std::uint32_t>(s.row));
  }
}

RunKey run_key(const score::Prepared& prep, const score::Lineup& lineup) {
  RunKey key;
  add_walk(key, lineup.before());
  add_walk(key, lineup.card_reps());
  add_walk(key, lineup.per_card());
  add_walk(key, lineup.held_card());
  for (const score::MainStep& step : lineup.main()) {
    if (!main_acts(prep, step)) continue;
    key.push_back(step.real);
    key.push_back(step.acting);
  }
  key.push_back(0xFFFFFFFFu);  // the main positions end here
  key.push_back(lineup.held_reps());
  key.push_back(lineup.space());
  key.push_back(static_cast<std::uint32_t>(lineup.list().size()));
  return key;
}

}  // namespace

OrderClasses order_classes(const score::Prepared& prep, std::span<const score::Lineup> lineups) {
  OrderClasses out;
  out.of.reserve(lineups.size());
  if (std::any_of(prep.jokers.begin(), prep.jokers.end(), shares_nothing)) {
    for (std::size_t o = 0; o < lineups.size(); ++o)
      out.of.push_back(static_cast<std::uint32_t>(o));
    out.count = lineups.size();
    return out;
  }
  std::map<RunKey, std::uint32_t> seen;
  for (const score::Lineup& lineup : lineups) {
    const auto [it, added] =
        seen.emplace(run_key(prep, lineup), static_cast<std::uint32_t>(seen.size()));
    out.of.push_back(it->second);
  }
  out.count = seen.size();
  return out;
}

void check_shared_runs(bool on) {
  g_check.store(on, std::memory_order_relaxed);
}

bool shared_runs_checked() {
  return g_check.load(std::memory_order_relaxed);
}

void verify_shared(const score::Prepared& prep, const score::Play& play,
                   const score::Lineup& lineup, score::Outcome shared) {
  const score::Outcome own = score::score_expected(prep, play, lineup);
  if (std::bit_cast<std::uint64_t>(own.score) == std::bit_cast<std::uint64_t>(shared.score) &&
      std::bit_cast<std::uint64_t>(own.money) == std::bit_cast<std::uint64_t>(shared.money))
    return;
  std::fprintf(stderr, "shared run differs: %a %a scored alone, %a %a shared\n", own.score,
               own.money, shared.score, shared.money);
  std::abort();
}

}  // namespace quorvel::search
