// Writes the fuzzers' dictionary: the hand-written tokens, then every joker
// key and hand name from the engine's own tables, so that a key the engine
// learns is in the dictionary without a list here to keep in step.
//   make_dict <tokens.dict> <out.dict>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <string_view>

#include "hand/hand.h"
#include "jokers/keys.h"

namespace {

void entry(std::ostream& out, std::string_view name, std::size_t i, std::string_view token) {
  out << name << i << "=\"\\\"" << token << "\\\"\"\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_dict <tokens.dict> <out.dict>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::ofstream out(argv[2], std::ios::binary);
  if (!in || !out) {
    std::fprintf(stderr, "make_dict: cannot read %s or write %s\n", argv[1], argv[2]);
    return 1;
  }
  out << in.rdbuf();
  out << "# From the engine's tables.\n";
  const auto& keys = quorvel::jokers::KNOWN_JOKERS;
  for (std::size_t i = 0; i < keys.size(); ++i) entry(out, "joker", i, keys[i]);
  for (std::size_t t = 0; t < quorvel::hand::kHandTypes; ++t)
    entry(out, "hand", t, quorvel::hand::name(static_cast<quorvel::hand::HandType>(t)));
  return out ? 0 : 1;
}
