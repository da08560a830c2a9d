// Joker orders that make the same scoring run, so that one scoring serves
// them all.
//
// Why orders with equal run keys make the same operations in the same order
// for every play that is not voided. A run reads its joker order only
// through the Lineup: the four walks (before, card repetitions, per card,
// held card) of (joker, row) steps, the main phase's steps, the resolved list
// and two counts. A joker rule reads only its own joker (ability and state),
// the card at hand, the play's cards, the snapshot and the running values,
// and changes only the running values, beyond what its jokers::Does declares;
// only rows of the walks grow joker state or change cards. Orders are grouped
// only while no joker keeps them apart (keeps_orders_apart), so no copy
// joker is present: every joker acts as itself or, debuffed or face down,
// not at all. So:
// - equal walks make the same row calls in the same order on the same joker
//   states and cards, drawing the same chances (which walks a joker stands
//   in, and its row there, follow from the joker, so the key holds the
//   jokers only, each walk's in its order);
// - where main_acts is false the main phase changes nothing; where it is
//   true the key holds the joker standing there, which gives both its
//   edition and the effect that acts (with its state as the walks left it);
// - the resolved list holds the same jokers in every order, so the held
//   cards' extra triggers ("j_mime"), the "j_space" level-ups and the trigger
//   bound, which read it as order-free sums and counts, are the same.
// Two rules read the resolved list's order itself. The "j_baseball" bonus
// keeps every order apart. And jokers::debuffed_hand_money sums the
// "j_matador" amounts of a voided play in list order, which may round
// differently in another order: the search never shares a voided play.
// Letting copies share would need the key to hold each walk's length and
// rows, each position's acting joker and the list's counts as well.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "search/stages.h"

namespace quorvel::search {

namespace {

using jokers::Does;

std::atomic<bool> g_check{false};

// What keeps every order apart: a rule that reads the joker order, or one
// that changes another joker's state, which main_acts cannot see as it reads
// a joker's own rows only ("j_dna" grows every hologram's x_mult). The
// "j_baseball" bonus reads the list at every uncommon joker, a place
// main_acts does not look at. A copy takes its neighbour's effect, so what
// acts at its place depends on the order.
bool keeps_orders_apart(const score::Prepared& prep) {
  return std::any_of(prep.rows.begin(), prep.rows.end(), [](const score::JokerRows& rows) {
    return jokers::any(rows.does, Does::read_order | Does::change_others);
  });
}

// Whether the main phase may change anything at this position: the step's
// edition, or the acting joker's own effect.
bool main_acts(const score::Prepared& prep, const score::MainStep& step) {
  if (score::ScoreCtx::edition_acts(step.ed)) return true;
  return step.acting != jokers::Resolved::kNothing && prep.rows[step.acting].main_acts;
}

using RunKey = std::vector<std::uint32_t>;

void add_walk(RunKey& key, std::span<const score::Step> walk) {
  for (const score::Step& s : walk) key.push_back(s.index);
}

RunKey run_key(const score::Prepared& prep, const score::Lineup& lineup) {
  RunKey key;
  add_walk(key, lineup.before());
  add_walk(key, lineup.card_reps());
  add_walk(key, lineup.per_card());
  add_walk(key, lineup.held_card());
  for (const score::MainStep& step : lineup.main()) {
    if (main_acts(prep, step)) key.push_back(step.real);
  }
  return key;
}

}  // namespace

OrderClasses order_classes(const score::Prepared& prep, std::span<const score::Lineup> lineups) {
  OrderClasses out;
  out.of.reserve(lineups.size());
  if (keeps_orders_apart(prep)) {
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
