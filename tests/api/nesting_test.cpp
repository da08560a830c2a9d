// Deeply nested requests through the exports: a skipped member may nest
// without limit (it is skipped without recursion), a member that is read fails
// at its 128th level with the reader's text, and neither crashes the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine.h"

namespace qrv_test {
namespace {

constexpr std::size_t kMillion = 1000000;

std::string nested(std::size_t depth) {
  return std::string(depth, '[') + std::string(depth, ']');
}

// The recursion error at the bracket that opens level 128, when the member's
// value begins at `offset` on level `level` of the document.
std::string recursion_error(std::size_t offset, std::size_t level) {
  return "recursion limit exceeded at line 1 column " + std::to_string(offset + 128 - level + 1);
}

const std::string kCard = R"({"id":1,"rank":5,"suit":"Hearts"})";

TEST(NestingScore, SkippedMembersNestWithoutLimit) {
  const std::string snapshot = R"({"schema":1,"hand":[)" + kCard + "]}";
  const std::vector<std::string> requests = {
      R"({"deep":)" + nested(kMillion) + R"(,"snapshot":)" + snapshot + R"(,"play":[1]})",
      R"({"snapshot":)" + snapshot + R"(,"play":[1],"deep":{"x":)" + nested(kMillion) + "}}",
  };
  for (const std::string& request : requests) {
    const Answer a = score(request);
    EXPECT_EQ(a.status, QRV_OK) << a.text;
    EXPECT_NE(a.text.find(R"("hand":"High Card")"), std::string::npos) << a.text;
  }
  // Unclosed, it fails at the end of the input like any other list.
  const std::string open =
      R"({"snapshot":)" + snapshot + R"(,"deep":)" + std::string(kMillion, '[');
  const Answer a = score(open);
  EXPECT_EQ(a.status, QRV_ERROR);
  EXPECT_EQ(a.text, "EOF while parsing a list at line 1 column " + std::to_string(open.size()));
}

TEST(NestingScore, AReadMemberFailsAtItsHundredTwentyEighthLevel) {
  // Request, snapshot, jokers and the joker are levels 1 to 4; its "ab" is
  // read whole, from level 5 on.
  const std::string prefix = R"({"snapshot":{"schema":1,"jokers":[{"id":1,"ab":)";
  for (std::size_t depth : {std::size_t{124}, std::size_t{200}, kMillion}) {
    SCOPED_TRACE(depth);
    const Answer a = score(prefix + nested(depth) + R"(}]},"play":[]})");
    EXPECT_EQ(a.status, QRV_ERROR);
    EXPECT_EQ(a.text, recursion_error(prefix.size(), 5));
  }
  // One level less is read.
  const Answer a = score(prefix + nested(123) + R"(}]},"play":[]})");
  EXPECT_EQ(a.status, QRV_OK) << a.text;
}

Finished search(const std::string& request) {
  return wait_for(start(request), 60.0);
}

TEST(NestingSearch, SkippedMembersNestWithoutLimit) {
  const std::vector<std::string> requests = {
      R"({"deep":)" + nested(kMillion) + R"(,"schema":1,"hand":[)" + kCard + "]}",
      R"({"schema":1,"hand":[{"id":1,"rank":5,"deep":)" + nested(kMillion) + "}]}",
  };
  for (const std::string& request : requests) {
    const Finished f = search(request);
    EXPECT_EQ(f.status, QRV_OK);
    ASSERT_FALSE(f.texts.empty());
    EXPECT_NE(f.texts.back().find(R"("done":true)"), std::string::npos) << f.texts.back();
  }
}

TEST(NestingSearch, AReadMemberFailsAtItsHundredTwentyEighthLevel) {
  // Snapshot, jokers and the joker are levels 1 to 3; "ab" from level 4 on.
  const std::string prefix = R"({"schema":1,"jokers":[{"id":1,"ab":)";
  for (std::size_t depth : {std::size_t{125}, kMillion}) {
    SCOPED_TRACE(depth);
    const Finished f = search(prefix + nested(depth) + "}]}");
    EXPECT_EQ(f.status, QRV_ERROR);
    EXPECT_EQ(f.texts, std::vector<std::string>{recursion_error(prefix.size(), 4)});
  }
  const Finished f = search(prefix + nested(124) + "}]}");
  EXPECT_EQ(f.status, QRV_OK);
}

}  // namespace
}  // namespace qrv_test
