#include "hand/card.h"

#include <array>

#include "common/names.h"

namespace quorvel::hand {

Suit SuitTable::intern(std::string_view suit) {
  if (suit == "Spades") return kSpades;
  if (suit == "Hearts") return kHearts;
  if (suit == "Clubs") return kClubs;
  if (suit == "Diamonds") return kDiamonds;
  if (suit.empty()) return kNoSuit;
  if (auto it = others_.find(suit); it != others_.end()) return it->second;
  const Suit code = static_cast<Suit>(kNoSuit + 1 + others_.size());
  others_.emplace(suit, code);
  return code;
}

namespace {

// In the order of their codes, from the first after `none`.
constexpr std::array<std::string_view, 8> kEnhancements = {
    "m_bonus", "m_mult", "m_wild", "m_glass", "m_steel", "m_stone", "m_gold", "m_lucky"};
constexpr std::array<std::string_view, 4> kEditions = {"e_foil", "e_holo", "e_polychrome",
                                                       "e_negative"};
constexpr std::array<std::string_view, 4> kSeals = {"Gold", "Red", "Blue", "Purple"};

}  // namespace

Enh enh_of(const std::optional<std::string>& key) {
  if (!key) return Enh::none;
  return common::code_of(kEnhancements, *key, Enh::bonus, Enh::other);
}

Edition edition_of(const std::optional<std::string>& key) {
  if (!key) return Edition::none;
  return common::code_of(kEditions, *key, Edition::foil, Edition::other);
}

Seal seal_of(const std::optional<std::string>& key) {
  if (!key) return Seal::none;
  return common::code_of(kSeals, *key, Seal::gold, Seal::other);
}

CardView view(const snapshot::Card& card, SuitTable& suits) {
  CardView v;
  v.id = card.id;
  v.rank = card.rank;
  v.suit = suits.intern(card.suit);
  v.enh = enh_of(card.enh);
  v.ed = edition_of(card.ed);
  v.seal = seal_of(card.seal);
  v.debuff = card.debuff;
  v.hidden = card.hidden;
  v.bonus = card.perma.bonus;
  v.mult = card.perma.mult;
  v.x_mult = card.perma.x_mult;
  return v;
}

namespace {

// Same suit string, or under "j_smeared" the same colour.
bool suit_matches(Suit card_suit, Suit suit, JokerRules rules) {
  if (rules.smeared) return is_red(card_suit) == is_red(suit);
  return card_suit == suit;
}

}  // namespace

bool flush_matches(const CardView& card, Suit suit, JokerRules rules) {
  if (card.enh == Enh::stone) return false;
  // A debuffed wild card falls back to its printed suit.
  if (card.enh == Enh::wild && !card.debuff) return true;
  return suit_matches(card.suit, suit, rules);
}

bool is_suit_bypass(const CardView& card, Suit suit, bool allow_debuffed, JokerRules rules) {
  if (!allow_debuffed && card.debuff) return false;
  if (card.enh == Enh::stone) return false;
  if (card.enh == Enh::wild) return true;
  return suit_matches(card.suit, suit, rules);
}

}  // namespace quorvel::hand
