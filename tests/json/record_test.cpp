// The generic record reader on shapes that the snapshot does not use, so
// that its rules hold for any position of a required key.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// Keys matched in place by their words find what the plain comparison finds:
// keys up to and past the words' length, keys that another key begins,
// escaped keys, repeated keys, keys with whitespace before their colon or no
// colon, and keys in the input's last sixteen bytes.
TEST(Record, KeyWordsFindWhatTheBytesFind) {
  static constexpr std::string_view kLong[] = {"k",
                                               "key",
                                               "keyword",
                                               "keywords",
                                               "fifteen_bytes__",
                                               "sixteen_bytes___",
                                               "twenty_bytes________"};
  static constexpr auto kIndex = key_index(kLong);
  const RecordShape indexed = record_shape("Words", kLong, 0, kIndex);
  const RecordShape plain{"Words", kLong};
  const auto read = [](const RecordShape& shape, std::string_view input) {
    std::string log;
    try {
      Reader r(input);
      read_record(r, shape, [&](std::size_t key) {
        log += std::to_string(key) + "=" + std::to_string(r.read_i64()) + " ";
      });
      r.finish();
    } catch (const ReadError& e) {
      log += e.text(input);
    }
    return log;
  };
  std::vector<std::string> inputs;
  for (std::string_view key : kLong) {
    const std::string k(key);
    inputs.push_back("{\"" + k + "\":1}");
    inputs.push_back("{\"" + k + "\":1,\"" + k + "\":2}                    ");
    inputs.push_back("{\"" + k + "x\":1,\"" + k.substr(0, k.size() - 1) + "\":2}");
    // Words take the colon with the key: a repeated key with none right after
    // it, or none at all, is still refused at the key's end.
    inputs.push_back("{\"" + k + "\":1,\"" + k + "\" :2}                    ");
    inputs.push_back("{\"" + k + "\":1,\"" + k + "\"}");
    inputs.push_back("{\"" + k + "\" : 1 , \"" + k + "\"\n:\t2}");
    inputs.push_back("{\"\\u00" + std::string(k[0] == 'k' ? "6b" : "74") + k.substr(1) + "\":3,\"" +
                     k + "\" :4}                    ");
  }
  inputs.push_back(R"({"k":1,"key":2,"keyword":3,"keywords":4,"fifteen_bytes__":5,)"
                   R"("sixteen_bytes___":6,"twenty_bytes________":7})");
  inputs.push_back(R"({"twenty_bytes________":7,"sixteen_bytes___":6,"fifteen_bytes__":5,)"
                   R"("keywords":4,"keyword":3,"key":2,"k":1})");
  for (const std::string& input : inputs) {
    EXPECT_EQ(read(indexed, input), read(plain, input)) << input;
  }
  EXPECT_EQ(read(indexed, inputs[1]), "0=1 duplicate field `k` at line 1 column 10");
}

}  // namespace
}  // namespace quorvel::json
