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

}  // namespace trisk
