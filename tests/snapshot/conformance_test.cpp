// The JSON conformance texts (y_ must be accepted, n_ rejected, i_ either)
// placed where the snapshot reader meets arbitrary JSON: as an unknown member
// (skipped: syntax only) and as a joker's "ab" (read in full into a value).
// Every n_ text of the suite is rejected in both places; none of them is
// invalid only through bad UTF-8 inside a string, which a skipped member
// would let pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "snapshot/snapshot.h"

namespace quorvel::snapshot {
namespace {

namespace fs = std::filesystem;

struct Text {
  std::string name;
  std::string bytes;
};

std::vector<Text> texts() {
  std::vector<Text> out;
  const fs::path dir = fs::path(QRV_SHARED_DIR) / "testdata/json-test-suite/test_parsing";
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    out.push_back({entry.path().filename().string(), bytes.str()});
  }
  std::sort(out.begin(), out.end(), [](const Text& a, const Text& b) { return a.name < b.name; });
  return out;
}

std::string as_unknown_member(const std::string& text) {
  return R"({"schema":1,"unknown":)" + text + "}";
}

std::string as_ability(const std::string& text) {
  return R"({"schema":1,"jokers":[{"id":1,"ab":)" + text + "}]}";
}

// "" when the document parses, else the error text.
std::string error_of(const std::string& doc) {
  ParseResult r = parse(doc);
  const auto* error = std::get_if<std::string>(&r);
  return error != nullptr ? *error : "";
}

TEST(Conformance, SuiteIsThere) {
  std::size_t y = 0, n = 0, i = 0;
  for (const Text& t : texts()) {
    y += t.name.starts_with("y_");
    n += t.name.starts_with("n_");
    i += t.name.starts_with("i_");
  }
  EXPECT_GE(y, 90u);
  EXPECT_GE(n, 180u);
  EXPECT_GE(i, 30u);
}

TEST(Conformance, AcceptedTextsParseInBothPlaces) {
  for (const Text& t : texts()) {
    if (!t.name.starts_with("y_")) continue;
    EXPECT_EQ(error_of(as_unknown_member(t.bytes)), "") << t.name << " as an unknown member";
    EXPECT_EQ(error_of(as_ability(t.bytes)), "") << t.name << " as a joker's ab";
  }
}

TEST(Conformance, RejectedTextsFailInBothPlaces) {
  for (const Text& t : texts()) {
    if (!t.name.starts_with("n_")) continue;
    for (const std::string& doc : {as_unknown_member(t.bytes), as_ability(t.bytes)}) {
      std::string error = error_of(doc);
      EXPECT_NE(error.find(" at line "), std::string::npos) << t.name << ": " << error;
    }
  }
}

TEST(Conformance, ImplementationDefinedTextsNeverCrash) {
  for (const Text& t : texts()) {
    if (!t.name.starts_with("i_")) continue;
    for (const std::string& doc : {as_unknown_member(t.bytes), as_ability(t.bytes), t.bytes}) {
      std::string error = error_of(doc);
      if (!error.empty()) {
        EXPECT_NE(error.find(" at line "), std::string::npos) << t.name;
      }
    }
  }
}

// Texts that only a full read refuses: strings that are not UTF-8 and
// numbers beyond the float range pass when skipped.
TEST(Conformance, SkippingChecksSyntaxOnly) {
  for (const char* name : {"i_string_invalid_utf-8.json", "i_string_UTF-8_invalid_sequence.json",
                           "i_number_huge_exp.json", "i_number_real_pos_overflow.json"}) {
    std::ifstream in(fs::path(QRV_SHARED_DIR) / "testdata/json-test-suite/test_parsing" / name,
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(error_of(as_unknown_member(bytes.str())), "") << name;
    EXPECT_NE(error_of(as_ability(bytes.str())), "") << name;
  }
}

}  // namespace
}  // namespace quorvel::snapshot
