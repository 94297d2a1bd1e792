// The position: every pile of both games and the stock, as one plain value.
#pragma once

#include <cstdint>

#include "engine/cards.h"

namespace trisk {

enum TGameKind : int32_t {
    gkTriskLite = 0,
    gkTriskClassic = 1,
    gkTriskStrong = 2,
    gkDiamond = 3,
};
constexpr int kGameKinds = 4;

inline bool IsValidGameKind(int64_t kind) {
    return kind >= 0 && kind < kGameKinds;
}
inline bool IsTomb(TGameKind kind) {
    return kind != gkDiamond;
}
// "Simplified", "Classical", "Complicated", "Diamond".
const char* GameKindCaption(TGameKind kind);
// The game name of the window title: "Napoleon's Tomb (classical)" and so on.
const char* GameKindName(TGameKind kind);

// Group numbers name the same places on the table in both games.
enum TPileGroup : int32_t {
    GroupInner = 0,
    GroupCorner = 1,
    GroupOuter = 2,
    GroupSingle = 3,
    GroupWaste = 4,
};
constexpr int kGroups = 5;
constexpr int kTombPilesPerGroup = 5;
constexpr int kDiamondPilesPerGroup = 4;

// 104 slots; the cards are always slots 0..n-1, slot n-1 on top.
struct TPile {
    TCard Cards[kDeckSize];

    // The highest present slot, -1 when none is: the top card. Exactly the
    // scan from slot 103 down, eight slots at a time.
    int TopIndex() const;
};
static_assert(sizeof(TPile) == 312);

struct TBoard {
    TPile TombPiles[kGroups][kTombPilesPerGroup];
    TPile DiamondPiles[kGroups][kDiamondPilesPerGroup];
    TDeck Deck;

    // The pile (group, pile) of the block that the kind plays on. The indices
    // must lie inside that block (see PileExists for the piles in play).
    TPile& Pile(TGameKind kind, int group, int pile);
    const TPile& Pile(TGameKind kind, int group, int pile) const;
    // Clears every present flag of the kind's block.
    void ClearBlock(TGameKind kind);

    bool IsNonEmpty(TGameKind kind, int group, int pile) const;
    int CardCount(TGameKind kind, int group, int pile) const;
    // Copy of the top card. take clears its slot (the copy's Present is then 0).
    // On an empty pile: fault, a copy of slot 0 of Tomb pile (0, 0), no change.
    TCard TopCard(TGameKind kind, int group, int pile, bool take, TFault& fault);
    // Into the lowest empty slot; fromDeck draws the card (nothing on an empty stock).
    void PutCard(TGameKind kind, int group, int pile, bool fromDeck, const TCard& card,
                 TFault& fault);
    void MoveCard(TGameKind kind, int fromGroup, int fromPile, int toGroup, int toPile,
                  TFault& fault);
};
static_assert(sizeof(TBoard) == 14356);
static_assert(offsetof(TBoard, TombPiles) == 0);
static_assert(offsetof(TBoard, DiamondPiles) == 7800);
static_assert(offsetof(TBoard, Deck) == 14040);
static_assert(offsetof(TBoard, Deck) + offsetof(TDeck, GameNumber) == 14352);

// True for the piles that a kind deals to and shows; the rest stay empty.
bool PileExists(TGameKind kind, int group, int pile);
// Number of piles of a group in the kind's table (0 for groups out of range).
int PilesInGroup(TGameKind kind, int group);

}  // namespace trisk
