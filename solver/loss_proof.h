// Proofs that a position cannot be won, found without searching its lines.
//
// The proof is a relaxation of the rules: a game in which every card that
// can once be reached stays reachable, a card that lies on a pile once stays
// there as a place to build on, and piles once emptied stay empty enough to
// take what fits. Everything possible in the real game is possible in the
// relaxed one, so when even the relaxed game cannot bring some card to its
// foundation, no line of the real game can. What the relaxed game keeps:
//
// - a card leaves its pile only after every card above it has left (cards
//   of the stock are reached as the passes left deal them, waste cards as
//   the redeals that gather them allow);
// - a card goes only where the rules let it go: onto a card of its suit one
//   below on an outer pile or the Ace pile, onto an empty outer pile from
//   the reserve of the same number, onto its foundation in the fixed
//   building order (a corner down from a King, the Diamond centre up);
// - the two copies of a card: the second time a corner needs a rank, both
//   copies of the card above must have reached it before, so two copies both
//   buried under cards that need them block the corner for good.
//
// Copies are never told apart by what they are, only by where they lie, so
// the relaxation holds for the double deck: whichever copy the real game
// uses, the relaxed game may use it too.
#pragma once

#include <string>
#include <vector>

#include "engine/rules.h"

namespace trisk {

struct TLossProof {
    bool Proved = false;
    // The cards that can never reach their foundation (suit * 13 + rank),
    // each once, and the cards lying above them that can never leave their
    // piles.
    std::vector<int> Stranded;
    std::vector<int> Blockers;
};

// Tries the relaxation on a position whose piles have no gaps. A proof
// means that no line from the position wins; no proof means nothing.
TLossProof ProveLoss(const TPosition& position);

// A proof's cards as trisk-tool show writes them ("T2" the Ten of suit 2),
// joined with ", ".
std::string CardListText(const std::vector<int>& cards);

}  // namespace trisk
