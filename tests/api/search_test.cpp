// qrv_search_start and qrv_search_poll as a host calls them. The search state
// is process-wide, so these tests run in order in one process and use only the
// ids their own starts returned.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine.h"
#include "large_hand.h"

namespace qrv_test {
namespace {

// Sixteen cards and six jokers whose order matters, a copy joker among them
// so that no two orders share a run: a search that runs long enough to be
// superseded while it works.
std::string heavy_snapshot() {
  std::string s = R"({"schema":1,"hand":[)";
  const char* suits[] = {"Hearts", "Spades", "Clubs", "Diamonds"};
  for (int i = 0; i < 16; ++i) {
    if (i) s += ",";
    s += R"({"id":)" + std::to_string(500 + i) + R"(,"rank":)" + std::to_string(2 + i % 13) +
         R"(,"suit":")" + suits[i % 4] + R"("})";
  }
  s += R"(],"jokers":[)";
  const char* keys[] = {"j_joker",      "j_greedy_joker", "j_scary_face",
                        "j_bloodstone", "j_misprint",     "j_blueprint"};
  for (int i = 0; i < 6; ++i) {
    if (i) s += ",";
    s += R"({"id":)" + std::to_string(60 + i) + R"(,"key":")" + keys[i] +
         R"(","ab":{"mult":4,"extra":{"odds":2,"Xmult":1.5}}})";
  }
  return s + R"(],"levels":{"Pair":{"chips":10,"mult":2},"Flush":{"chips":35,"mult":4}}})";
}

// Starts a heavy search and returns once its first report is out, so that
// the search is known to be at work.
std::uint64_t start_busy() {
  const std::uint64_t job = start(heavy_snapshot());
  Answer a;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  do {
    a = poll(job);
  } while (a.len == 0 && a.status == QRV_RUNNING && std::chrono::steady_clock::now() < deadline);
  EXPECT_EQ(a.status, QRV_RUNNING) << "the heavy search ended before it could be superseded";
  EXPECT_NE(a.text.find(R"("stage":1)"), std::string::npos) << a.text;
  return job;
}

// One card with id 900: a search that finishes almost at once.
const std::string kQuick =
    R"({"schema":1,"hand":[{"id":900,"rank":5,"suit":"Hearts"}],"levels":{"High Card":{"chips":5,"mult":1}}})";

bool has_field(const std::string& text, const std::string& field) {
  return text.find(field) != std::string::npos;
}

TEST(SearchFirst, IdsStartAtOneAndNothingIsThereBeforeTheFirstStart) {
  for (std::uint64_t job : {0u, 1u, 2u}) {
    Answer a = poll(job);
    EXPECT_EQ(a.status, QRV_NO_SUCH_JOB) << "job " << job;
    EXPECT_EQ(a.len, 0u);
  }
  EXPECT_EQ(engine().search_start(nullptr, 10), 0u);
  EXPECT_EQ(start(kQuick), 1u);
  EXPECT_EQ(start(kQuick), 2u);
  EXPECT_EQ(engine().search_start(nullptr, 0), 0u);
  EXPECT_EQ(start(kQuick), 3u);
  EXPECT_EQ(poll(2).status, QRV_NO_SUCH_JOB);
  EXPECT_EQ(wait_for(3).status, QRV_OK);
}

TEST(Search, TheExampleRunsThroughItsStagesToTheFinalReport) {
  const std::uint64_t job = start(example("snapshot.json"));
  ASSERT_NE(job, 0u);
  Finished f = wait_for(job);
  ASSERT_EQ(f.status, QRV_OK);
  ASSERT_FALSE(f.texts.empty());
  int last_stage = 0;
  for (const std::string& text : f.texts) {
    EXPECT_EQ(text.rfind(R"({"approximate":[],"best":{"blind_pct":)", 0), 0u) << text;
    std::size_t at = text.find(R"("stage":)");
    ASSERT_NE(at, std::string::npos) << text;
    int stage = std::stoi(text.substr(at + 8));
    EXPECT_GT(stage, last_stage) << text;
    last_stage = stage;
  }
  EXPECT_EQ(last_stage, 3);
  EXPECT_TRUE(has_field(f.texts.back(), R"("done":true)")) << f.texts.back();
  EXPECT_TRUE(has_field(f.texts.back(), R"("joker_order":[)")) << f.texts.back();
  // The final report was handed out once; the job stays done until the next start.
  for (int i = 0; i < 3; ++i) {
    Answer again = poll(job);
    EXPECT_EQ(again.status, QRV_OK);
    EXPECT_EQ(again.len, 0u);
  }
}

TEST(Search, AHandWithoutPlayableCardsEndsWithOneReport) {
  const std::uint64_t job = start(R"({"schema":1,"jokers":[{"id":8},{"id":-3}]})");
  Finished f = wait_for(job);
  EXPECT_EQ(f.status, QRV_OK);
  EXPECT_EQ(f.texts, std::vector<std::string>{
                         R"({"approximate":[],"best":null,"blind_warning":false,"blocked":false,)"
                         R"("card_order_matters":false,"current_order_expected":0.0,"done":true,)"
                         R"("gain":0.0,"gain_money":0.0,"joker_order":[8,-3],"order_exact":true,)"
                         R"("stage":1})"});
}

TEST(Search, RequestErrorsAreHandedOutOnceThenOnlyTheStatus) {
  struct Case {
    const char* what;
    std::string request;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"schema 2", R"({"schema":2})", "unsupported snapshot schema 2"},
      {"empty request", "", "EOF while parsing a value at line 1 column 0"},
      // Accepted inside a score request, where the snapshot is rewritten first.
      {"a repeated key", R"({"schema":1,"schema":1})",
       "duplicate field `schema` at line 1 column 20"},
      {"positions in the host's text", "{\n  \"schema\": 1,\n  \"hand\": 5\n}",
       "invalid type: integer `5`, expected a sequence at line 3 column 11"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::uint64_t job = start(c.request);
    Finished f = wait_for(job);
    EXPECT_EQ(f.status, QRV_ERROR);
    EXPECT_EQ(f.texts, std::vector<std::string>{c.error});
    for (int i = 0; i < 2; ++i) {
      Answer again = poll(job);
      EXPECT_EQ(again.status, QRV_ERROR);
      EXPECT_EQ(again.len, 0u);
    }
  }
}

TEST(Search, ATextThatDoesNotFitStaysForTheNextPoll) {
  const std::uint64_t job = start(R"({"schema":2})");
  Answer small;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  do {
    small = poll(job, 4);
  } while (small.status == QRV_RUNNING && std::chrono::steady_clock::now() < deadline);
  const std::string error = "unsupported snapshot schema 2";
  EXPECT_EQ(small.status, QRV_TOO_SMALL);
  EXPECT_EQ(small.len, error.size());
  // Still unread: a null buffer, then one byte short, then room enough.
  std::size_t len = 0;
  EXPECT_EQ(engine().search_poll(job, nullptr, 100, &len), QRV_TOO_SMALL);
  EXPECT_EQ(len, error.size());
  Answer short_by_one = poll(job, error.size() - 1);
  EXPECT_EQ(short_by_one.status, QRV_TOO_SMALL);
  Answer fits = poll(job, error.size());
  EXPECT_EQ(fits.status, QRV_ERROR);
  EXPECT_EQ(fits.text, error);
  EXPECT_EQ(poll(job).len, 0u);

  // The same for a report: the next poll hands out that report or a newer one.
  const std::uint64_t searching = start(example("snapshot.json"));
  do {
    small = poll(searching, 16);
  } while (small.status == QRV_RUNNING && std::chrono::steady_clock::now() < deadline);
  ASSERT_EQ(small.status, QRV_TOO_SMALL);
  Answer next = poll(searching);
  EXPECT_TRUE(next.status == QRV_RUNNING || next.status == QRV_OK);
  EXPECT_GT(next.len, 16u);
  EXPECT_EQ(next.text.rfind(R"({"approximate":)", 0), 0u) << next.text;
  EXPECT_EQ(wait_for(searching).status, QRV_OK);
}

TEST(Search, ANewStartSupersedesTheRunningSearch) {
  const std::uint64_t old_job = start_busy();
  const std::uint64_t new_job = start(kQuick);
  EXPECT_EQ(new_job, old_job + 1);
  EXPECT_EQ(poll(old_job).status, QRV_NO_SUCH_JOB);
  Finished f = wait_for(new_job);
  EXPECT_EQ(f.status, QRV_OK);
  ASSERT_FALSE(f.texts.empty());
  for (const std::string& text : f.texts) {
    // Nothing of the old search's cards or jokers was ever stored for the new job.
    EXPECT_TRUE(has_field(text, R"("play":[900])")) << text;
    EXPECT_FALSE(has_field(text, R"("joker_order":[6)")) << text;
  }
  EXPECT_EQ(poll(old_job).status, QRV_NO_SUCH_JOB);
}

// However large the hand, the running search notices a new start before its
// next selection. The bound is generous: it guards against a search that
// cannot be stopped, not against a slow machine.
TEST(Search, ANewStartSupersedesStageOneOfAnyHand) {
  for (int cards : {140, 10000}) {
    SCOPED_TRACE(cards);
    const std::uint64_t huge = start(quorvel::bench::large_hand_snapshot(cards));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(poll(huge).status, QRV_RUNNING);
    const auto started = std::chrono::steady_clock::now();
    const std::uint64_t quick = start(kQuick);
    Finished f = wait_for(quick, 20.0);
    EXPECT_EQ(f.status, QRV_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(poll(huge).status, QRV_NO_SUCH_JOB);
  }
}

TEST(Search, OfABurstOfStartsOnlyTheNewestRuns) {
  const std::uint64_t busy = start_busy();
  std::vector<std::uint64_t> burst;
  for (int i = 0; i < 5; ++i) burst.push_back(start(heavy_snapshot()));
  const std::uint64_t newest = start(kQuick);
  for (std::uint64_t job : burst) EXPECT_EQ(poll(job).status, QRV_NO_SUCH_JOB);
  EXPECT_EQ(poll(busy).status, QRV_NO_SUCH_JOB);
  Finished f = wait_for(newest);
  EXPECT_EQ(f.status, QRV_OK);
  ASSERT_FALSE(f.texts.empty());
  EXPECT_TRUE(has_field(f.texts.back(), R"("play":[900])")) << f.texts.back();
  for (std::uint64_t job : burst) EXPECT_EQ(poll(job).status, QRV_NO_SUCH_JOB);
}

}  // namespace
}  // namespace qrv_test
