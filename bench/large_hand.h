// The snapshot text of a hand far larger than any real one, shared by the
// benchmarks and the host-level tests of large hands.
#pragma once

#include <string>

namespace quorvel::bench {

// `cards` plain cards and two order-sensitive jokers, which make the largest
// head of the ranking: stage 1 alone has more selections than any search
// could score once the hand holds a hundred cards or so.
inline std::string large_hand_snapshot(int cards) {
  std::string s = R"({"schema":1,"hand":[)";
  const char* suits[] = {"Hearts", "Spades", "Clubs", "Diamonds"};
  for (int i = 0; i < cards; ++i) {
    if (i) s += ",";
    s += R"({"id":)" + std::to_string(i) + R"(,"rank":)" + std::to_string(2 + i % 13) +
         R"(,"suit":")" + suits[i % 4] + R"("})";
  }
  return s +
         R"(],"jokers":[{"id":1,"key":"j_joker","ab":{"mult":4}},{"id":2,"key":"j_cavendish"}],)"
         R"("levels":{"Pair":{"chips":10,"mult":2},"High Card":{"chips":5,"mult":1}}})";
}

}  // namespace quorvel::bench
