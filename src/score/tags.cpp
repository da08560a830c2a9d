#include <algorithm>

#include "hand/card.h"
#include "jokers/keys.h"
#include "score/score.h"

namespace quorvel::score {

void push_unique(std::vector<std::string>& list, std::string text) {
  if (std::find(list.begin(), list.end(), text) == list.end()) list.push_back(std::move(text));
}

std::vector<std::string> approximate_tags(const snapshot::Snapshot& snapshot) {
  std::vector<std::string> tags;
  for (const snapshot::Card& c : snapshot.hand) {
    if (c.hidden) push_unique(tags, "hidden_card");
    // The code tables hold exactly the known keys, so `other` means unknown.
    if (hand::enh_of(c.enh) == hand::Enh::other) push_unique(tags, "unknown_enhancement:" + *c.enh);
    if (hand::edition_of(c.ed) == hand::Edition::other)
      push_unique(tags, "unknown_edition:" + *c.ed);
    if (hand::seal_of(c.seal) == hand::Seal::other) push_unique(tags, "unknown_seal:" + *c.seal);
  }
  for (const snapshot::Joker& j : snapshot.jokers) {
    if (j.hidden) {
      push_unique(tags, "hidden_joker");
      continue;
    }
    if (jokers::key_of(j.key) == jokers::Key::other) push_unique(tags, "unknown_joker:" + *j.key);
  }
  if (snapshot.blind.key == "bl_hook" && !snapshot.blind.disabled) push_unique(tags, "hook");
  if (snapshot.lobby) push_unique(tags, "lobby");
  return tags;
}

}  // namespace quorvel::score
