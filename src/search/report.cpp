// A stage's report: the best play rescored in full, what its joker order
// gains over the current one, and the report's JSON form.

#include "search/stages.h"

namespace quorvel::search {

namespace {

// Only a gain counts; a loss or an undefined difference (NaN) is no gain.
double gain_of(double recommended, double current) {
  const double diff = recommended - current;
  return diff > 0.0 ? diff : 0.0;
}

json::Array id_array(const std::vector<std::int64_t>& ids) {
  json::Array out;
  out.reserve(ids.size());
  for (std::int64_t id : ids) out.emplace_back(id);
  return out;
}

json::Value best_json(const Best& best) {
  using score::to_json_number;
  json::Object b;
  b.emplace("blind_pct", to_json_number(best.blind_pct));
  best.add_to(b);
  b.emplace("hand", best.hand);
  b.emplace("play", id_array(best.play));
  b.emplace("scored", id_array(best.scored));
  return json::Value(std::move(b));
}

}  // namespace

SearchResult Progress::result(std::uint32_t stage, bool done, const Candidate* best) const {
  SearchResult out;
  out.stage = stage;
  out.done = done;
  out.order_exact = order_exact;
  out.approximate = approximate;

  if (best == nullptr) {
    out.joker_order.reserve(snapshot.jokers.size());
    for (const snapshot::Joker& joker : snapshot.jokers) out.joker_order.push_back(joker.id);
    return out;
  }

  const score::Play play(prepared, best->cards);
  const score::Scored s = score::score_play(prepared, play, best->order);

  if (best->order != prepared.identity_order) {
    const score::Outcome current = score::score_expected(prepared, play, *prepared.identity);
    out.gain = gain_of(s.expected, current.score);
    out.gain_money = gain_of(s.money_expected, current.money);
  }

  const snapshot::Blind& blind = snapshot.blind;
  const snapshot::Round& round = snapshot.round;
  Best b;
  b.blind_pct = blind.target > 0.0 ? (s.expected / blind.target) * 100.0 : 0.0;
  // Under the money objective, warn when the last hand leaves the blind unbeaten.
  out.blind_warning = snapshot.options.objective == snapshot::Objective::money &&
                      round.hands_left <= 1.0 && blind.target > round.chips + s.expected;
  out.blocked = !s.legal;

  b.play.reserve(best->cards.size());
  for (std::size_t p : best->cards) b.play.push_back(snapshot.hand[p].id);
  out.joker_order.reserve(best->order.size());
  for (std::size_t p : best->order) out.joker_order.push_back(snapshot.jokers[p].id);

  static_cast<score::Figures&>(b) = s;
  b.hand = s.hand;
  b.scored = s.scored;
  out.best = std::move(b);

  out.current_order_expected = current_order_expected;
  out.card_order_matters = card_order_matters;
  return out;
}

json::Value SearchResult::to_json() const {
  using score::to_json_number;
  json::Array tags;
  tags.reserve(approximate.size());
  for (const std::string& tag : approximate) tags.emplace_back(tag);

  json::Object out;
  out.emplace("approximate", std::move(tags));
  // Built in place: assigning a built value to a null one trips GCC's
  // maybe-uninitialized analysis in sanitizer builds.
  out.emplace("best", best.has_value() ? best_json(*best) : json::Value());
  out.emplace("blind_warning", blind_warning);
  out.emplace("blocked", blocked);
  out.emplace("card_order_matters", card_order_matters);
  out.emplace("current_order_expected", to_json_number(current_order_expected));
  out.emplace("done", done);
  out.emplace("gain", to_json_number(gain));
  out.emplace("gain_money", to_json_number(gain_money));
  out.emplace("joker_order", id_array(joker_order));
  out.emplace("order_exact", order_exact);
  out.emplace("stage", static_cast<std::uint64_t>(stage));
  return json::Value(std::move(out));
}

}  // namespace quorvel::search
