// The JSON form of a scored play and the number rule every answer shares.
// The answer's members are listed once, by put_answer(); they become a value
// tree (to_json) or the answer's text straight away (write_answer).
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

// The answer's members in key order, which is the order a written object
// has them in.
template <class Out>
void put_answer(const Scored& s, Out& out) {
  out.list("approximate", s.approximate);
  put_score_figures(s, out);
  out.string("hand", s.hand);
  out.boolean("has_chance", s.has_chance);
  out.boolean("legal", s.legal);
  put_money_figures(s, out);
  out.list("scored", s.scored);
}

// Members put into an object.
struct TreeOut {
  json::Object& object;

  void value(std::string_view key, json::Value v) { object.emplace(key, std::move(v)); }
  void number(std::string_view key, double x) { value(key, to_json_number(x)); }
  void string(std::string_view key, const std::string& s) { value(key, s); }
  void boolean(std::string_view key, bool b) { value(key, b); }
  template <class T>
  void list(std::string_view key, const std::vector<T>& items) {
    json::Array elements;
    elements.reserve(items.size());
    for (const T& item : items) elements.emplace_back(item);
    value(key, std::move(elements));
  }
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
    out += '[';
    for (std::size_t k = 0; k < items.size(); ++k) {
      if (k > 0) out += ',';
      json::write(out, json::Value(items[k]));
    }
    out += ']';
  }
  void close() { out += before == '{' ? "{}" : "}"; }
};

}  // namespace

void Figures::add_to(json::Object& out) const {
  TreeOut tree{out};
  put_score_figures(*this, tree);
  put_money_figures(*this, tree);
}

json::Value Scored::to_json() const {
  json::Object out;
  TreeOut tree{out};
  put_answer(*this, tree);
  return json::Value(std::move(out));
}

void write_answer(std::string& out, const Scored& scored) {
  TextOut text{out};
  put_answer(scored, text);
  text.close();
}

}  // namespace quorvel::score
