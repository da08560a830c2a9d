// The generic record reader on shapes that the snapshot does not use, so
// that its rules hold for any position of a required key.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "json/record.h"

namespace quorvel::json {
namespace {

constexpr std::string_view kKeys[] = {"a", "b", "c"};

std::string outcome(std::string_view input, std::uint32_t required) {
  const RecordShape shape{"Trio", kKeys, required};
  try {
    Reader r(input);
    read_record(r, shape, [&](std::size_t) { r.skip_value(); });
    r.finish();
  } catch (const ReadError& e) {
    return e.text(input);
  }
  return "OK";
}

// A short array form names the number of elements given, not the position
// of the required key that lacks one.
TEST(Record, InvalidLengthCountsTheElementsGiven) {
  EXPECT_EQ(outcome("[]", json::required(1)),
            "invalid length 0, expected struct Trio with 3 elements at line 1 column 2");
  EXPECT_EQ(outcome("[1]", json::required(2)),
            "invalid length 1, expected struct Trio with 3 elements at line 1 column 3");
  EXPECT_EQ(outcome("[1,2]", json::required(2)),
            "invalid length 2, expected struct Trio with 3 elements at line 1 column 5");
  EXPECT_EQ(outcome("[1,2,3]", json::required(2)), "OK");
  EXPECT_EQ(outcome("[1]", json::required(0)), "OK");
}

}  // namespace
}  // namespace quorvel::json
