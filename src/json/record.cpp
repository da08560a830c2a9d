#include "json/record.h"

namespace quorvel::json::detail {

namespace {

bool same_key(std::string_view a, std::string_view b) {
  return a.size() == b.size() && same_bytes(a.data(), b.data(), a.size());
}

}  // namespace

std::size_t find_key(const RecordShape& shape, std::string_view key, std::size_t hint) {
  const std::size_t n = shape.keys.size();
  for (std::size_t i = hint; i < n; ++i) {
    if (same_key(shape.keys[i], key)) return i;
  }
  for (std::size_t i = 0; i < hint && i < n; ++i) {
    if (same_key(shape.keys[i], key)) return i;
  }
  return n;
}

std::string struct_word(const RecordShape& shape) {
  std::string out = "struct ";
  out += shape.name;
  return out;
}

std::size_t first_required(const RecordShape& shape, std::size_t from) {
  for (std::size_t i = from; i < shape.keys.size(); ++i) {
    if (shape.required & (std::uint32_t{1} << i)) return i;
  }
  return shape.keys.size();
}

// A repeated key is refused as soon as it has been read: the position is the
// end of the key. Missing fields and lengths point past the closing brace or
// bracket.
void duplicate_field(Reader& r, std::string_view key, bool colon) {
  std::string text = "duplicate field `";
  text += key;
  text += '`';
  throw ReadError(std::move(text), r.offset() - (colon ? 1 : 0));
}

void missing_field(Reader& r, const RecordShape& shape, std::uint32_t missing) {
  r.end_object();
  std::string text = "missing field `";
  for (std::size_t i = 0; i < shape.keys.size(); ++i) {  // the first in declaration order
    if (missing & (std::uint32_t{1} << i)) {
      text += shape.keys[i];
      break;
    }
  }
  text += '`';
  r.fail_message(std::move(text));
}

void invalid_length(Reader& r, const RecordShape& shape, std::size_t length) {
  r.end_array();
  std::string text = "invalid length ";
  text += std::to_string(length);
  text += ", expected ";
  text += struct_word(shape);
  text += " with ";
  text += std::to_string(shape.keys.size());
  text += " elements";
  r.fail_message(std::move(text));
}

}  // namespace quorvel::json::detail
