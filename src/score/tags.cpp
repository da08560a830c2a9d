#include <algorithm>
#include <unordered_set>

#include "blinds/blinds.h"
#include "hand/card.h"
#include "jokers/keys.h"
#include "score/score.h"

namespace quorvel::score {

namespace {

// Tags in the order first met, each once. What the list holds is also kept in
// a set, so that thousands of distinct unknown keys cost no more than reading
// them.
class Tags {
 public:
  void add(std::string text) {
    if (seen_.insert(text).second) list_.push_back(std::move(text));
  }
  std::vector<std::string> take() { return std::move(list_); }

 private:
  std::vector<std::string> list_;
  std::unordered_set<std::string> seen_;
};

}  // namespace

std::vector<std::string> approximate_tags(const snapshot::Snapshot& snapshot) {
  Tags tags;
  for (const snapshot::Card& c : snapshot.hand) {
    if (c.hidden) tags.add("hidden_card");
    // The code tables hold exactly the known keys, so `other` means unknown.
    if (hand::enh_of(c.enh) == hand::Enh::other) tags.add("unknown_enhancement:" + *c.enh);
    if (hand::edition_of(c.ed) == hand::Edition::other) tags.add("unknown_edition:" + *c.ed);
    if (hand::seal_of(c.seal) == hand::Seal::other) tags.add("unknown_seal:" + *c.seal);
  }
  for (const snapshot::Joker& j : snapshot.jokers) {
    if (j.hidden) {
      tags.add("hidden_joker");
      continue;
    }
    if (jokers::key_of(j.key) == jokers::Key::other) tags.add("unknown_joker:" + *j.key);
  }
  if (blinds::boss_of(snapshot.blind) == blinds::Boss::hook) tags.add("hook");
  if (snapshot.lobby) tags.add("lobby");
  return tags.take();
}

}  // namespace quorvel::score
