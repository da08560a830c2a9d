// The JSON form of a scored play and the number rule every answer shares.
#include <cmath>
#include <cstdint>

#include "score/score.h"

namespace quorvel::score {

json::Value to_json_number(double value) {
  // JSON has no spelling for NaN or infinity; the host reads this marker instead.
  if (!std::isfinite(value)) return json::Value("naneinf");
  return json::Value(value);
}

void Figures::add_to(json::Object& out) const {
  out.emplace("ceiling", to_json_number(ceiling));
  out.emplace("expected", to_json_number(expected));
  out.emplace("floor", to_json_number(floor));
  out.emplace("money_ceiling", to_json_number(money_ceiling));
  out.emplace("money_expected", to_json_number(money_expected));
  out.emplace("money_floor", to_json_number(money_floor));
}

json::Value Scored::to_json() const {
  json::Array tags;
  tags.reserve(approximate.size());
  for (const std::string& tag : approximate) tags.emplace_back(tag);
  json::Array ids;
  ids.reserve(scored.size());
  for (std::int64_t id : scored) ids.emplace_back(id);

  json::Object out;
  out.emplace("approximate", std::move(tags));
  add_to(out);
  out.emplace("hand", hand);
  out.emplace("has_chance", has_chance);
  out.emplace("legal", legal);
  out.emplace("scored", std::move(ids));
  return json::Value(std::move(out));
}

}  // namespace quorvel::score
