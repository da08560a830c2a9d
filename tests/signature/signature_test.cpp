// The engine's behaviour signature. Two recorded tables:
// - the scoring calls (search::Counts) of whole searches on the benchmarks'
//   fixed inputs;
// - for a corpus of generated game states, a hash of every text the engine
//   gives back (score answers, error texts of damaged requests, search
//   reports) with the search's call counts.
// Any change of behaviour changes a line. A commit that changes behaviour on
// purpose records the new tables: run this test with QRV_SIGNATURE_RECORD=1
// and commit the files it rewrites.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "builders.h"
#include "json/writer.h"
#include "score/request.h"
#include "search/search.h"
#include "snapshot/snapshot.h"
#include "support/corpus.h"
#include "support/text.h"

namespace {

using namespace quorvel;

constexpr std::uint64_t kCases = 1500;

struct Hash {
  std::uint64_t value = 0xCBF29CE484222325ull;  // FNV-1a
  void add(std::string_view text) {
    for (unsigned char c : text) {
      value ^= c;
      value *= 0x100000001B3ull;
    }
    value ^= 0xFF;  // a separator no text holds
    value *= 0x100000001B3ull;
  }
};

struct Searched {
  search::Counts counts;
  std::uint64_t hash = 0;
};

// Every search here also cross-checks the joker orders whose runs it shares:
// each is scored by itself as well, and any bit of difference ends the test.
Searched search_all(const snapshot::Snapshot& snap) {
  Searched out;
  Hash hash;
  search::run(
      snap, [] { return false; },
      [&hash](search::SearchResult result) { hash.add(json::to_text(result.to_json())); },
      {.counts = &out.counts, .check_shared_runs = true});
  out.hash = hash.value;
  return out;
}

std::string line(const std::string& name, std::uint64_t hash, const search::Counts& counts) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%s %016llx %llu %llu", name.c_str(),
                static_cast<unsigned long long>(hash),
                static_cast<unsigned long long>(counts.score_play),
                static_cast<unsigned long long>(counts.score_expected));
  return buf;
}

std::string table_path(const char* name) {
  return std::string(QRV_SIGNATURE_DIR) + "/" + name;
}

// Compares the lines with the recorded table, or records them.
void check_table(const char* name, const std::vector<std::string>& lines) {
  const std::string path = table_path(name);
  if (std::getenv("QRV_SIGNATURE_RECORD") != nullptr) {
    std::ofstream out(path);
    for (const std::string& l : lines) out << l << '\n';
    GTEST_SKIP() << "recorded " << path;
  }
  std::ifstream in(path);
  ASSERT_TRUE(in) << "no recorded table " << path;
  std::vector<std::string> recorded;
  for (std::string l; std::getline(in, l);) recorded.push_back(l);
  ASSERT_EQ(recorded.size(), lines.size()) << path;
  int shown = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (recorded[i] != lines[i] && shown++ < 10) {
      ADD_FAILURE() << "recorded: " << recorded[i] << "\n     now: " << lines[i];
    }
  }
}

TEST(Signature, FixedSearchesMakeTheRecordedScoringCalls) {
  struct Input {
    const char* name;
    std::size_t cards, jokers, forced;
  };
  const Input inputs[] = {{"8cards_0jokers", 8, 0, 0},        {"8cards_2jokers", 8, 2, 0},
                          {"8cards_5jokers", 8, 5, 0},        {"8cards_6jokers", 8, 6, 0},
                          {"9cards_6jokers", 9, 6, 0},        {"10cards_6jokers", 10, 6, 0},
                          {"8cards_7jokers", 8, 7, 0},        {"12cards_5jokers", 12, 5, 0},
                          {"8cards_2forced_6jokers", 8, 6, 2}};
  std::vector<std::string> lines;
  for (const Input& in : inputs) {
    const Searched s = search_all(bench::scenario(in.cards, in.jokers, in.forced));
    lines.push_back(line(in.name, s.hash, s.counts));
  }
  check_table("fixed.txt", lines);
}

// Per case: its three plays scored (one of them in the array form), the
// first request damaged by one byte, the snapshot damaged by one byte, and
// the whole search.
TEST(Signature, GeneratedStatesGiveTheRecordedTexts) {
  std::vector<std::string> lines;
  for (std::uint64_t seed = 1; seed <= kCases; ++seed) {
    const corpus::Case c = corpus::make_case(seed);
    corpus::Rng rng(seed ^ 0x5EEDull);
    Hash hash;
    for (std::size_t p = 0; p < c.plays.size(); ++p) {
      const score::RequestResult r =
          score::score_request(corpus::score_request(c.snapshot, c.plays[p], p == 2));
      hash.add(r.error ? "error" : "ok");
      hash.add(r.text);
    }
    const score::RequestResult damaged = score::score_request(
        corpus::mutate(corpus::score_request(c.snapshot, c.plays[0], false), rng));
    hash.add(damaged.text);
    const snapshot::ParseResult broken = snapshot::parse(corpus::mutate(c.snapshot, rng));
    if (const std::string* error = std::get_if<std::string>(&broken)) hash.add(*error);

    const snapshot::ParseResult parsed = snapshot::parse(c.snapshot);
    search::Counts counts;
    if (const std::string* error = std::get_if<std::string>(&parsed)) {
      hash.add(*error);
    } else {
      const Searched s = search_all(std::get<snapshot::Snapshot>(parsed));
      hash.add(std::to_string(s.hash));
      counts = s.counts;
    }
    lines.push_back(line("case" + std::to_string(seed), hash.value, counts));
  }
  check_table("corpus.txt", lines);
}

}  // namespace
