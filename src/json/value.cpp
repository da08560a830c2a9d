#include "json/value.h"

namespace quorvel::json {

Value::Value(const Value& other) {
  *this = other;
}

Value& Value::operator=(const Value& other) {
  if (this == &other) return *this;
  switch (other.kind()) {
    case Kind::array:
      data_ = std::make_unique<Array>(other.as_array());
      break;
    case Kind::object:
      data_ = std::make_unique<Object>(other.as_object());
      break;
    case Kind::null:
      data_ = std::monostate{};
      break;
    case Kind::boolean:
      data_ = other.as_bool();
      break;
    case Kind::unsigned_int:
      data_ = other.as_unsigned();
      break;
    case Kind::signed_int:
      data_ = other.as_signed();
      break;
    case Kind::floating:
      data_ = other.as_float();
      break;
    case Kind::string:
      data_ = other.as_string();
      break;
  }
  return *this;
}

double Value::number() const {
  switch (kind()) {
    case Kind::unsigned_int:
      return static_cast<double>(as_unsigned());
    case Kind::signed_int:
      return static_cast<double>(as_signed());
    case Kind::floating:
      return as_float();
    default:
      return 0.0;
  }
}

const Value* Value::find(std::string_view key) const {
  if (kind() != Kind::object) return nullptr;
  const Object& members = as_object();
  const auto it = members.find(key);
  return it == members.end() ? nullptr : &it->second;
}

}  // namespace quorvel::json
