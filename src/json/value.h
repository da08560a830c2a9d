// Generic JSON value tree: keeps unsigned, signed and floating-point numbers
// apart, and holds objects as maps ordered by key bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/flat_map.h"

namespace quorvel::json {

class Value;
using Array = std::vector<Value>;
// Members by unsigned byte values of their keys, as the writer lists them.
using Object = common::FlatMap<Value>;

enum class Kind : std::uint8_t {
  null,
  boolean,
  unsigned_int,
  signed_int,
  floating,
  string,
  array,
  object
};

class Value {
 public:
  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : data_(b) {}
  Value(std::uint64_t u) : data_(u) {}
  Value(std::int64_t i) : data_(i) {}
  Value(double d) : data_(d) {}
  Value(std::string s) : data_(std::move(s)) {}
  Value(const char* s) : data_(std::string(s)) {}
  Value(Array a) : data_(std::move(a)) {}
  Value(Object o) : data_(std::move(o)) {}

  Value(const Value&) = default;
  Value& operator=(const Value&) = default;
  Value(Value&&) noexcept = default;
  Value& operator=(Value&&) noexcept = default;
  ~Value() = default;

  Kind kind() const { return static_cast<Kind>(data_.index()); }
  bool is_null() const { return kind() == Kind::null; }
  bool is_number() const {
    Kind k = kind();
    return k == Kind::unsigned_int || k == Kind::signed_int || k == Kind::floating;
  }

  bool as_bool() const { return std::get<bool>(data_); }
  std::uint64_t as_unsigned() const { return std::get<std::uint64_t>(data_); }
  std::int64_t as_signed() const { return std::get<std::int64_t>(data_); }
  double as_float() const { return std::get<double>(data_); }
  // Any number as the nearest 64-bit float.
  double number() const;
  const std::string& as_string() const { return std::get<std::string>(data_); }
  const Array& as_array() const { return std::get<Array>(data_); }
  Array& as_array() { return std::get<Array>(data_); }
  const Object& as_object() const { return std::get<Object>(data_); }
  Object& as_object() { return std::get<Object>(data_); }

  // Member lookup of an object (exact key bytes); null when this is not an
  // object or has no such member.
  const Value* find(std::string_view key) const {
    if (kind() != Kind::object) return nullptr;
    const Object& members = as_object();
    const auto it = members.find(key);
    return it == members.end() ? nullptr : &it->second;
  }

 private:
  // Arrays and objects in place: a vector may hold a type still being defined.
  std::variant<std::monostate, bool, std::uint64_t, std::int64_t, double, std::string, Array,
               Object>
      data_;
};

}  // namespace quorvel::json
