// Parse throughput of snapshot::parse on a realistic search request: eight
// hand cards, five jokers, levels for all twelve hands, blind, round, deck
// and options (about 3.8 KB, one record per line as a host might send it).
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <variant>

#include "json/reader.h"
#include "json/tree.h"
#include "json/writer.h"
#include "score/request_reader.h"
#include "snapshot/snapshot.h"

namespace {

using namespace quorvel;

constexpr std::string_view kSnapshot = R"json({"schema":1,"hand":[
{"id":100,"rank":14,"suit":"Spades","enh":"m_bonus","ed":null,"seal":null,"perma":{"bonus":0,"mult":0,"x_mult":1},"debuff":false,"forced":true,"hidden":false},
{"id":101,"rank":13,"suit":"Hearts","enh":null,"ed":"e_foil","seal":null,"perma":{"bonus":5,"mult":0,"x_mult":1},"debuff":false,"forced":false,"hidden":false},
{"id":102,"rank":12,"suit":"Clubs","enh":"m_glass","ed":null,"seal":"Gold","perma":{"bonus":0,"mult":0,"x_mult":1},"debuff":false,"forced":false,"hidden":false},
{"id":103,"rank":11,"suit":"Diamonds","enh":null,"ed":null,"seal":null,"perma":{"bonus":0,"mult":0,"x_mult":1},"debuff":false,"forced":false,"hidden":false},
{"id":104,"rank":10,"suit":"Spades","enh":"m_lucky","ed":null,"seal":null,"perma":{"bonus":10,"mult":0,"x_mult":1},"debuff":false,"forced":false,"hidden":false},
{"id":105,"rank":9,"suit":"Hearts","enh":null,"ed":"e_holo","seal":null,"perma":{"bonus":0,"mult":0,"x_mult":1},"debuff":false,"forced":false,"hidden":false},
{"id":106,"rank":5,"suit":"Clubs","enh":null,"ed":null,"seal":"Red","perma":{"bonus":0,"mult":0,"x_mult":1},"debuff":true,"forced":false,"hidden":false},
{"id":107,"rank":2,"suit":"Diamonds","enh":"m_steel","ed":null,"seal":null,"perma":{"bonus":0,"mult":0,"x_mult":1},"debuff":false,"forced":false,"hidden":false}],
"jokers":[
{"id":1,"key":"j_blueprint","ed":null,"debuff":false,"hidden":false,"sell":3,"rarity":3,"ab":{"extra":null}},
{"id":2,"key":"j_space","sell":2,"rarity":2,"ab":{"extra":4,"mult":0}},
{"id":3,"key":"j_wee","ed":"e_polychrome","sell":4,"rarity":3,"ab":{"extra":{"chips":8,"chip_mod":8}}},
{"id":4,"key":"j_lucky_cat","sell":3,"rarity":2,"ab":{"Xmult":1.25,"extra":0.25}},
{"id":5,"key":"j_obelisk","sell":4,"rarity":3,"ab":{"extra":0.2,"x_mult":1.6}}],
"levels":{
"Flush Five":{"level":1,"chips":160,"mult":16,"l_chips":50,"l_mult":3,"played":0,"played_round":0,"visible":false},
"Flush House":{"level":2,"chips":140,"mult":14,"l_chips":40,"l_mult":4,"played":1,"played_round":0,"visible":false},
"Five of a Kind":{"level":3,"chips":120,"mult":12,"l_chips":35,"l_mult":3,"played":2,"played_round":0,"visible":false},
"Straight Flush":{"level":1,"chips":100,"mult":8,"l_chips":40,"l_mult":4,"played":3,"played_round":0,"visible":true},
"Four of a Kind":{"level":2,"chips":60,"mult":7,"l_chips":30,"l_mult":3,"played":4,"played_round":0,"visible":true},
"Full House":{"level":3,"chips":40,"mult":4,"l_chips":25,"l_mult":2,"played":5,"played_round":0,"visible":true},
"Flush":{"level":1,"chips":35,"mult":4,"l_chips":15,"l_mult":2,"played":6,"played_round":0,"visible":true},
"Straight":{"level":2,"chips":30,"mult":4,"l_chips":30,"l_mult":3,"played":7,"played_round":0,"visible":true},
"Three of a Kind":{"level":3,"chips":30,"mult":3,"l_chips":20,"l_mult":2,"played":8,"played_round":0,"visible":true},
"Two Pair":{"level":1,"chips":20,"mult":2,"l_chips":20,"l_mult":1,"played":9,"played_round":0,"visible":true},
"Pair":{"level":2,"chips":10,"mult":2,"l_chips":15,"l_mult":1,"played":10,"played_round":0,"visible":true},
"High Card":{"level":3,"chips":5,"mult":1,"l_chips":10,"l_mult":1,"played":11,"played_round":0,"visible":true}},
"blind":{"key":"bl_psychic","disabled":false,"target":"naneinf"},
"round":{"hands_left":3,"discards_left":2,"dollars":12,"chips":150.5,"idol":{"rank":12,"suit":"Hearts"},"ancient_suit":"Clubs","hands_played":7,"round_hands":1,"tarot_used":2,"most_played":"Pair"},
"deck":{"back":"b_plasma","remaining":40,"total":52,"starting":52,"contents":[{"rank":14,"suit":"Spades","count":2},{"rank":5,"suit":"Hearts","enh":"m_stone","ed":null,"seal":"Blue","count":1}]},
"vouchers":["v_observatory","v_grabber"],
"consumables":[{"key":"c_pluto"},{}],
"lobby":false,
"options":{"objective":"money","discards":false,"seeded":false}})json";

void BM_SnapshotParse(benchmark::State& state) {
  for (auto _ : state) {
    snapshot::ParseResult r = snapshot::parse(kSnapshot);
    if (!std::holds_alternative<snapshot::Snapshot>(r)) {
      state.SkipWithError(std::get<std::string>(r).c_str());
      break;
    }
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSnapshot.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
  state.counters["doc_bytes"] = static_cast<double>(kSnapshot.size());
}
BENCHMARK(BM_SnapshotParse)->Unit(benchmark::kMicrosecond);

// The same document read as a generic value tree and written back compactly,
// as a score request does before parsing its snapshot.
void BM_ValueReadAndWrite(benchmark::State& state) {
  std::string out;
  for (auto _ : state) {
    json::Reader r(kSnapshot);
    json::Value v = r.read_value();
    out.clear();
    json::write(out, v);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSnapshot.size()));
}
BENCHMARK(BM_ValueReadAndWrite)->Unit(benchmark::kMicrosecond);

// The same as a score request's snapshot: read into a one-document tree and
// written back into one buffer.
void BM_TreeReadAndWrite(benchmark::State& state) {
  std::string out;
  for (auto _ : state) {
    json::Reader r(kSnapshot);
    const json::Tree tree = json::Tree::read(r);
    out.clear();
    tree.write(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSnapshot.size()));
}
BENCHMARK(BM_TreeReadAndWrite)->Unit(benchmark::kMicrosecond);

void BM_ScoreRequestRead(benchmark::State& state) {
  const std::string request =
      "{\"play\":[100,101,102],\"snapshot\":" + std::string(kSnapshot) + "}";
  for (auto _ : state) {
    auto r = score::read_request(request);
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * request.size()));
}
BENCHMARK(BM_ScoreRequestRead)->Unit(benchmark::kMicrosecond);

// Skipping: the same bytes as an unknown member of a minimal snapshot.
void BM_SkipUnknownMember(benchmark::State& state) {
  const std::string doc = "{\"schema\":1,\"unknown\":" + std::string(kSnapshot) + "}";
  for (auto _ : state) {
    snapshot::ParseResult r = snapshot::parse(doc);
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_SkipUnknownMember)->Unit(benchmark::kMicrosecond);

}  // namespace
