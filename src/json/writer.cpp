#include "json/writer.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace quorvel::json {

void write_number(std::string& out, double x) {
  if (!std::isfinite(x)) {
    out += "null";
    return;
  }
  if (x == 0.0) {
    out += std::signbit(x) ? "-0.0" : "0.0";
    return;
  }
  // Shortest round-trip digits in scientific form: "d[.ddd]e[+-]XX".
  char sci[32];
  auto res = std::to_chars(sci, sci + sizeof sci, x, std::chars_format::scientific);
  const char* p = sci;
  if (*p == '-') {
    out += '-';
    ++p;
  }
  char digits[20];
  int n = 0;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p != '.') digits[n++] = *p;
  }
  int exp = 0;
  std::from_chars(p + 1 + (p[1] == '+'), res.ptr, exp);

  if (exp >= -5 && exp <= 15) {
    if (exp >= n - 1) {  // whole number
      out.append(digits, n);
      out.append(static_cast<std::size_t>(exp - n + 1), '0');
      out += ".0";
    } else if (exp >= 0) {
      out.append(digits, exp + 1);
      out += '.';
      out.append(digits + exp + 1, n - exp - 1);
    } else {
      out += "0.";
      out.append(static_cast<std::size_t>(-exp - 1), '0');
      out.append(digits, n);
    }
    return;
  }
  out += digits[0];
  if (n > 1) {
    out += '.';
    out.append(digits + 1, n - 1);
  }
  out += 'e';
  out += exp > 0 ? '+' : '-';
  char ebuf[8];
  auto er = std::to_chars(ebuf, ebuf + sizeof ebuf, exp < 0 ? -exp : exp);
  out.append(ebuf, er.ptr);
}

std::string number_text(double x) {
  std::string out;
  write_number(out, x);
  return out;
}

void write_string(std::string& out, std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t run = 0;  // start of the bytes not yet copied
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(s.data() + run, i - run);
    run = i + 1;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
  }
  out.append(s.data() + run, s.size() - run);
  out += '"';
}

namespace {

template <class Int>
void write_int(std::string& out, Int v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

}  // namespace

void write(std::string& out, const Value& value) {
  switch (value.kind()) {
    case Kind::null:
      out += "null";
      break;
    case Kind::boolean:
      out += value.as_bool() ? "true" : "false";
      break;
    case Kind::unsigned_int:
      write_int(out, value.as_unsigned());
      break;
    case Kind::signed_int:
      write_int(out, value.as_signed());
      break;
    case Kind::floating:
      write_number(out, value.as_float());
      break;
    case Kind::string:
      write_string(out, value.as_string());
      break;
    case Kind::array:
      write_list(
          out, '[', value.as_array(), [&](const Value& element) { write(out, element); }, ']');
      break;
    case Kind::object:
      // An object holds its members in key order already.
      write_list(
          out, '{', value.as_object(),
          [&](const Object::value_type& member) {
            write_string(out, member.first);
            out += ':';
            write(out, member.second);
          },
          '}');
      break;
  }
}

}  // namespace quorvel::json
