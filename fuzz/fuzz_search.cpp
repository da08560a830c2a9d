// A whole search of the snapshot, cut short by a cancel test that turns true
// after a bounded number of checks. Its reports are compact JSON with rising
// stages, only the last may be final, an uncancelled search ends with a final
// report, and the same snapshot searched again reports the same texts. Every
// joker order whose run the search shares with another is also scored by
// itself, and a result that differs in any bit is a crash.
#include <string>
#include <variant>
#include <vector>

#include "fuzz_checks.h"
#include "search/search.h"
#include "snapshot/snapshot.h"

using namespace quorvel;

namespace {

// Enough checks for a small hand to reach the final report.
constexpr std::size_t kChecks = 160;

struct Run {
  std::vector<std::string> texts;
  bool cancelled = false;
};

Run search_once(const snapshot::Snapshot& snap) {
  Run run;
  std::size_t checks = 0;
  std::uint32_t last_stage = 0;
  bool last_done = false;
  search::run(
      snap,
      [&] {
        if (checks >= kChecks) run.cancelled = true;
        return checks++ >= kChecks;
      },
      [&](search::SearchResult result) {
        fuzz::check(!last_done, "a report after the final one");
        fuzz::check(result.stage > last_stage, "report stages do not rise");
        last_stage = result.stage;
        last_done = result.done;
        std::string text = json::to_text(result.to_json());
        fuzz::check_compact_json(text);
        run.texts.push_back(std::move(text));
      },
      {.check_shared_runs = true});
  fuzz::check(run.cancelled || last_done, "an uncancelled search ended without a final report");
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::text_of(data, size);
  const snapshot::ParseResult parsed = snapshot::parse(input);
  if (const std::string* error = std::get_if<std::string>(&parsed)) {
    fuzz::check_error_text(*error, input);
    return 0;
  }
  const snapshot::Snapshot& snap = std::get<snapshot::Snapshot>(parsed);
  const Run first = search_once(snap);
  const Run second = search_once(snap);
  fuzz::check(first.texts == second.texts, "the same search reported otherwise");
  return 0;
}
