// The JSON form of a scored play and the number rule every answer shares.
// The six figures are listed once: a search report puts them into its value
// tree (Figures::add_to), a score answer writes them as text straight away
// with the rest of its members (write_answer).
#include "score/answer.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include "json/writer.h"

namespace quorvel::score {

json::Value to_json_number(double value) {
  // JSON has no spelling for NaN or infinity; the host reads this marker instead.
  if (!std::isfinite(value)) return json::Value("naneinf");
  return json::Value(value);
}

namespace {

// The six figures under their names, in two groups that are each in key order.
template <class Out>
void put_score_figures(const Figures& f, Out& out) {
  out.number("ceiling", f.ceiling);
  out.number("expected", f.expected);
  out.number("floor", f.floor);
}

template <class Out>
void put_money_figures(const Figures& f, Out& out) {
  out.number("money_ceiling", f.money_ceiling);
  out.number("money_expected", f.money_expected);
  out.number("money_floor", f.money_floor);
}

// Members put into an object.
struct TreeOut {
  json::Object& object;

  void number(std::string_view key, double x) { object.emplace(key, to_json_number(x)); }
};

// Members written as the text of that object, in the order they come; every
// value is written by the writer's own rules.
struct TextOut {
  std::string& out;
  char before = '{';  // what comes before the next key

  void key(std::string_view name) {  // a name holds no byte that needs an escape
    out += before;
    before = ',';
    out += '"';
    out += name;
    out += "\":";
  }
  void value(std::string_view name, const json::Value& v) {
    key(name);
    json::write(out, v);
  }
  void number(std::string_view name, double x) { value(name, to_json_number(x)); }
  void string(std::string_view name, const std::string& s) {
    key(name);
    json::write_string(out, s);
  }
  void boolean(std::string_view name, bool b) { value(name, json::Value(b)); }
  template <class T>
  void list(std::string_view name, const std::vector<T>& items) {
    key(name);
    json::write_list(
        out, '[', items, [&](const T& item) { json::write(out, json::Value(item)); }, ']');
  }
  void close() { out += before == '{' ? "{}" : "}"; }
};

}  // namespace

void Figures::add_to(json::Object& out) const {
  TreeOut tree{out};
  put_score_figures(*this, tree);
  put_money_figures(*this, tree);
}

void write_answer(std::string& out, const Scored& scored) {
  // The members in key order, which is the order a written object has them in.
  TextOut text{out};
  text.list("approximate", scored.approximate);
  put_score_figures(scored, text);
  text.string("hand", scored.hand);
  text.boolean("has_chance", scored.has_chance);
  text.boolean("legal", scored.legal);
  put_money_figures(scored, text);
  text.list("scored", scored.scored);
  text.close();
}

}  // namespace quorvel::score
