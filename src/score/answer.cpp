// The JSON form of a scored play and the number rule every answer shares.
#include "score/answer.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "json/writer.h"

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

namespace {

// to_json_number's value, written.
void write_answer_number(std::string& out, double value) {
  if (std::isfinite(value)) {
    json::write_number(out, value);
  } else {
    out += "\"naneinf\"";
  }
}

}  // namespace

void write_answer(std::string& out, const Scored& scored) {
  // The members of to_json() in the order a written object has them.
  out += "{\"approximate\":[";
  for (std::size_t k = 0; k < scored.approximate.size(); ++k) {
    if (k > 0) out += ',';
    json::write_string(out, scored.approximate[k]);
  }
  out += "],\"ceiling\":";
  write_answer_number(out, scored.ceiling);
  out += ",\"expected\":";
  write_answer_number(out, scored.expected);
  out += ",\"floor\":";
  write_answer_number(out, scored.floor);
  out += ",\"hand\":";
  json::write_string(out, scored.hand);
  out += scored.has_chance ? ",\"has_chance\":true" : ",\"has_chance\":false";
  out += scored.legal ? ",\"legal\":true" : ",\"legal\":false";
  out += ",\"money_ceiling\":";
  write_answer_number(out, scored.money_ceiling);
  out += ",\"money_expected\":";
  write_answer_number(out, scored.money_expected);
  out += ",\"money_floor\":";
  write_answer_number(out, scored.money_floor);
  out += ",\"scored\":[";
  for (std::size_t k = 0; k < scored.scored.size(); ++k) {
    if (k > 0) out += ',';
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, scored.scored[k]).ptr;
    out.append(digits, end);
  }
  out += "]}";
}

}  // namespace quorvel::score
