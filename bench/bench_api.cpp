// Cost of one score request (what a qrv_score call does, without the copy
// into the host's buffer) and of one whole search on the background worker,
// from the start to the final report, for the example game state.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "score/request.h"
#include "worker/worker.h"

namespace {

std::string example(const char* name) {
  const auto path = std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / name;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The example request without its indentation: the size a host typically
// sends (8 cards, 5 jokers, 12 levels, about 2.8 kB).
std::string without_whitespace(std::string_view text) {
  std::string out;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      out += c;
      if (c == '\\' && i + 1 < text.size()) {
        out += text[++i];
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c != ' ' && c != '\n' && c != '\t' && c != '\r') {
      out += c;
      in_string = c == '"';
    }
  }
  return out;
}

void score_requests(benchmark::State& state, const std::string& request) {
  for (auto _ : state) {
    quorvel::score::RequestResult answer = quorvel::score::score_request(request);
    if (answer.error) {
      state.SkipWithError(answer.text.c_str());
      break;
    }
    benchmark::DoNotOptimize(answer.text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * request.size()));
  state.counters["doc_bytes"] = static_cast<double>(request.size());
}

void BM_ScoreRequest(benchmark::State& state) {
  score_requests(state, example("score_request.json"));
}
BENCHMARK(BM_ScoreRequest);

void BM_ScoreRequestCompact(benchmark::State& state) {
  score_requests(state, without_whitespace(example("score_request.json")));
}
BENCHMARK(BM_ScoreRequestCompact);

void BM_SearchToFinalReport(benchmark::State& state) {
  using quorvel::worker::PollState;
  const std::string snapshot = example("snapshot.json");
  for (auto _ : state) {
    const std::uint64_t job = quorvel::worker::start(snapshot);
    quorvel::worker::Polled polled;
    do {
      std::this_thread::sleep_for(std::chrono::microseconds(50));
      polled = quorvel::worker::poll(job);
    } while (polled.state == PollState::running);
    if (polled.state != PollState::done) {
      state.SkipWithError("the search did not end with a final report");
      break;
    }
  }
}
BENCHMARK(BM_SearchToFinalReport)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
