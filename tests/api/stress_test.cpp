// Host threads score while another starts and polls searches: the scorers
// keep getting the same answers, superseded jobs answer -3, and the newest
// job's final report is never lost.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine.h"

namespace qrv_test {
namespace {

TEST(Stress, ScoringAndSearchingAtOnce) {
  const std::vector<std::string> requests = {
      example("score_request.json"),
      R"({"snapshot":{"schema":1,"hand":[{"id":1,"rank":5},{"id":2,"rank":5}],)"
      R"("blind":{"key":"bl_psychic"}},"play":[1,2]})",
      R"({"snapshot":{"schema":1},"play":[3]})",
  };
  std::vector<Answer> expected;
  for (const std::string& r : requests) expected.push_back(score(r));

  std::atomic<bool> searching{true};
  std::atomic<int> mismatches{0};
  std::atomic<long> scored{0};
  std::vector<std::thread> scorers;
  for (int t = 0; t < 4; ++t) {
    scorers.emplace_back([&, t] {
      for (std::size_t i = static_cast<std::size_t>(t); searching.load(); ++i) {
        const std::size_t k = i % requests.size();
        Answer a = score(requests[k]);
        if (a.status != expected[k].status || a.text != expected[k].text) ++mismatches;
        ++scored;
      }
    });
  }

  const std::string snapshot = example("snapshot.json");
  std::vector<std::uint64_t> superseded;
  std::uint64_t last = 0;
  for (int round = 0; round < 30; ++round) {
    const std::uint64_t job = start(snapshot);
    ASSERT_GT(job, last);
    if (last != 0) {
      superseded.push_back(last);
      EXPECT_EQ(poll(last).status, QRV_NO_SUCH_JOB);
    }
    last = job;
    // A few polls, then the next start cuts the search short.
    for (int i = 0; i < round % 4; ++i) {
      Answer a = poll(job);
      EXPECT_TRUE(a.status == QRV_RUNNING || a.status == QRV_OK) << a.status << " " << a.text;
      std::this_thread::sleep_for(std::chrono::microseconds(200 * round));
    }
  }
  Finished f = wait_for(last);
  searching.store(false);
  for (std::thread& t : scorers) t.join();

  EXPECT_EQ(f.status, QRV_OK);
  ASSERT_FALSE(f.texts.empty());
  EXPECT_NE(f.texts.back().find(R"("done":true)"), std::string::npos) << f.texts.back();
  for (std::uint64_t job : superseded) EXPECT_EQ(poll(job).status, QRV_NO_SUCH_JOB);
  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_GT(scored.load(), 0);
}

}  // namespace
}  // namespace qrv_test
