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

// The whole value in compact form; a non-finite float as null.
void write(std::string& out, const Value& value);
std::string to_text(const Value& value);

}  // namespace quorvel::json
