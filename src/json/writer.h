// Compact JSON writing: no whitespace, object keys in ascending byte order,
// integers in plain decimal and floats by the number text rule.
#pragma once

#include <string>
#include <string_view>

#include "json/value.h"

namespace quorvel::json {

// The number text rule for a finite 64-bit float: the shortest round-trip
// digits, positional for decimal exponents -5..15 (a whole value gets ".0"),
// otherwise d.ddde+N / d.ddde-N. Zero is "0.0", negative zero "-0.0".
// A non-finite value is written "null" (no caller should pass one).
void write_number(std::string& out, double x);
std::string number_text(double x);

// A string in double quotes: \" \\ \b \f \n \r \t, other bytes below 0x20 as
// \u00xx (lowercase hex), every other byte unchanged.
void write_string(std::string& out, std::string_view s);

// An array or an object from its items: the opening bracket, each item as
// `write_item` writes it with commas between, the closing bracket. Both value
// trees write theirs through it; an object's item is a member, "key":value.
template <class Items, class WriteItem>
void write_list(std::string& out, char open, const Items& items, WriteItem&& write_item,
                char close) {
  out += open;
  bool first = true;
  for (const auto& item : items) {
    if (!first) out += ',';
    first = false;
    write_item(item);
  }
  out += close;
}

// The whole value in compact form; a non-finite float as null.
void write(std::string& out, const Value& value);

}  // namespace quorvel::json
