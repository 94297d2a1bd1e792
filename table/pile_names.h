// The spoken names of the table's piles, for screen readers: the pile's name,
// its top card and its count, as "Outer pile 2: Queen of hearts, 5 cards".
// Piles are counted from 1; suits in the order of the card faces: clubs,
// diamonds, hearts, spades.
#pragma once

#include <string>

#include "engine/rules.h"

namespace trisk {

// "Queen of hearts"; rank 0 is the Ace.
std::string CardName(int suit, int rank);
// The pile's own name, "Stock" for group -1.
std::string PileName(TGameKind kind, int group, int pile);
// The name with what the pile shows: "Stock: 40 cards", "Ace pile: empty".
std::string PileDescription(const TPosition& position, int group, int pile);

// What a hint's mark on a pile means: the pile to take the card from, or the
// pile to put it on (on the stock: the stock to click).
enum class THintRole { None, From, To };
// The description with the hint's word on it, as "Outer pile 2: Queen of
// hearts, 5 cards, hint: move from here".
std::string SpokenPileName(const TPosition& position, TPileRef pile, THintRole role);

}  // namespace trisk
