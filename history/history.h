// One snapshot of the position and the sequence of them that a game keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "engine/board.h"

namespace trisk {

// A full copy of the position after one step. Only the block of the game's
// kind is meaningful; the other one is never read.
struct TSolData {
    int32_t PassesLeft = 0;
    int32_t SelGroup = 0;
    int32_t SelPile = 0;
    TDeck Deck;
    TPile TombPiles[kGroups][kTombPilesPerGroup];
    TPile DiamondPiles[kGroups][kDiamondPilesPerGroup];
};
static_assert(sizeof(TSolData) == 14368);
static_assert(offsetof(TSolData, Deck) == 12);
static_assert(offsetof(TSolData, TombPiles) == 328);
static_assert(offsetof(TSolData, DiamondPiles) == 8128);

// Entries are large and the history only grows or is cut at its end: a deque
// never moves the entries it already holds when it grows.
using THistory = std::deque<TSolData>;

}  // namespace trisk
