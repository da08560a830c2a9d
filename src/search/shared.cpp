// Joker orders that make the same scoring run, so that one scoring serves
// them all: orders with equal run keys. The rules that make it so, one a
// line, each with the SharedRuns test (tests/search) that checks it:
// - a run reads the joker order only through its Lineup: EveryOrderOfAClassScoresAsItsFirstOrder
// - a rule does no more than its jokers::Does says: EveryOrderOfAClassScoresAsItsFirstOrder
// - copies, "j_baseball" and "j_dna" keep orders apart: CopiesBaseballAndDnaKeepEveryOrderApart
// - the key holds each walk's jokers in order: EveryWayAJokerActsAtItsPlaceKeepsItsOrdersApart
// - and the joker at each main step that may act: EveryWayAJokerActsAtItsPlaceKeepsItsOrdersApart
// - the resolved list's sums and counts are order-free: EveryOrderOfAClassScoresAsItsFirstOrder
// - a voided play sums "j_matador" in list order, so it is never shared (Search::exhaustive)
// The copy rule is checked against jokers::Does at compile time. Letting
// copies share would need the key to hold each walk's length and rows, each
// position's acting joker and the list's counts as well.
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "search/stages.h"

namespace quorvel::search {

namespace {

using jokers::Does;

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
