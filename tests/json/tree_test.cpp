// The one-document tree against the value tree it stands in for: the same
// messages at the same positions, and the same compact text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "json/reader.h"
#include "json/tree.h"
#include "json/writer.h"
#include "support/text.h"

namespace quorvel::json {
namespace {

// The text written back, or the error text.
std::string via_tree(std::string_view input) {
  try {
    Reader r(input);
    const Tree tree = Tree::read(r);
    r.finish();
    return to_text(tree);
  } catch (const ReadError& e) {
    return e.text(input);
  }
}

std::string via_value(std::string_view input) {
  try {
    Reader r(input);
    const Value value = r.read_value();
    r.finish();
    return to_text(value);
  } catch (const ReadError& e) {
    return e.text(input);
  }
}

TEST(Tree, KeysSortedByDecodedBytesTheLaterOfEqualKeysKept) {
  EXPECT_EQ(via_tree(R"({"b":1,"a":{"y":1,"x":2},"b":[2],"a":null})"), R"({"a":null,"b":[2]})");
  // "\u0062" is "b", and '"' (0x22) sorts before '#' although its escape starts with '\'.
  EXPECT_EQ(via_tree(R"({"b":1,"\u0062":2,"#":3,"\"":4})"), R"({"\"":4,"#":3,"b":2})");
  EXPECT_EQ(via_tree("{\"\xc3\xa9\":1,\"z\":2,\"\":3}"), "{\"\":3,\"z\":2,\"\xc3\xa9\":1}");
  EXPECT_EQ(via_tree(R"({"a":1,"a":2,"a":3})"), R"({"a":3})");
  EXPECT_EQ(via_tree(R"({"ab":1,"a":2})"), R"({"a":2,"ab":1})");
}

TEST(Tree, LargeObjectsOutOfOrderWithRepeats) {
  // More members than a short sort handles, descending, every third repeated.
  std::string doc = "{";
  for (int k = 60; k >= 0; --k) {
    const std::string key = "\"k" + std::to_string(k % 40) + "\"";
    doc += key + ":" + std::to_string(k) + ",";
    if (k % 3 == 0) doc += key + ":[" + std::to_string(k) + "],";
  }
  doc.back() = '}';
  EXPECT_EQ(via_tree(doc), via_value(doc));
  EXPECT_EQ(via_tree(doc).substr(0, 14), R"({"k0":[0],"k1")");
}

// Keys that share their first eight bytes or end inside them, repeated, in
// any order: both trees give the members of an ordered map filled in document
// order, the later value replacing the earlier.
TEST(Tree, ShuffledKeysAsAnOrderedMap) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    const int members = std::uniform_int_distribution<int>(0, 90)(rng);
    std::map<std::string, int> expected;
    std::string doc = "{";
    for (int m = 0; m < members; ++m) {
      std::string key(std::uniform_int_distribution<std::size_t>(0, 10)(rng), 'k');
      for (int extra = std::uniform_int_distribution<int>(0, 2)(rng); extra > 0; --extra)
        key += "a~\x7f"[std::uniform_int_distribution<int>(0, 2)(rng)];
      expected[key] = m;
      doc += "\"" + key + "\":" + std::to_string(m) + ",";
    }
    if (members > 0) doc.pop_back();
    doc += "}";
    std::string text = "{";
    for (const auto& [key, value] : expected)
      text += "\"" + key + "\":" + std::to_string(value) + ",";
    if (!expected.empty()) text.pop_back();
    text += "}";
    ASSERT_EQ(via_tree(doc), text) << doc;
    ASSERT_EQ(via_value(doc), text) << doc;
  }
}

TEST(Tree, ScalarsAsTheWriterWritesThem) {
  EXPECT_EQ(via_tree(R"([null,true,false,0,-1,1.0,-0,1e2,0.1,18446744073709551615])"),
            R"([null,true,false,0,-1,1.0,-0.0,100.0,0.1,18446744073709551615])");
  EXPECT_EQ(via_tree("[18446744073709551616,-9223372036854775808,-9223372036854775809]"),
            "[1.8446744073709552e+19,-9223372036854775808,-9.223372036854776e+18]");
  EXPECT_EQ(via_tree(R"(["a\/b","\u0001\t","\"q\"","\u00e9\ud834\udd1e",""])"),
            "[\"a/b\",\"\\u0001\\t\",\"\\\"q\\\"\",\"\xc3\xa9\xf0\x9d\x84\x9e\",\"\"]");
  EXPECT_EQ(to_text(Tree()), "null");
}

// Decoded strings share one buffer the size of the input: a document made of
// little but escapes fills it.
TEST(Tree, DocumentsOfEscapes) {
  std::string doc = "[";
  for (int k = 0; k < 200; ++k) doc += R"("\u00e9\n\\\"",)";
  doc += R"({"\u00e9":"\ud83d\ude00"}])";
  EXPECT_EQ(via_tree(doc), via_value(doc));
  EXPECT_EQ(via_tree(R"("\"")"), R"("\"")");
}

TEST(Tree, ErrorsAndNestingAsReadValue) {
  for (std::string_view doc : {"", "[1,]", "{\"a\" 1}", "{\"a\":1,}", "[\"\xff\"]", "[1e400]",
                               "{\"\\ud800\":1}", "[01]", "{1:2}", "[true false]", "nul"}) {
    EXPECT_EQ(via_tree(doc), via_value(doc)) << doc;
  }
  const std::string ok = std::string(127, '[') + std::string(127, ']');
  EXPECT_EQ(via_tree(ok), ok);
  const std::string deep = std::string(128, '[') + std::string(128, ']');
  EXPECT_EQ(via_tree(deep), "recursion limit exceeded at line 1 column 128");
}

TEST(Tree, ConformanceSuiteAsReadValue) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(QRV_SHARED_DIR) / "testdata/json-test-suite/test_parsing";
  std::size_t texts = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(via_tree(bytes.str()), via_value(bytes.str())) << entry.path().filename();
    ++texts;
  }
  EXPECT_GT(texts, 300u);
}

}  // namespace
}  // namespace quorvel::json
