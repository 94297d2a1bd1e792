// The rules of Napoleon's Tomb (kinds 0 to 2) and Diamond (kind 3) as pure
// functions on a position: what may go where, carrying out a move or a click
// on the stock, the legal moves, the end of a game and dealing. Nothing here
// knows of a window, a history or a selection: the game on the table, the
// pointer logic, hints and the solver all ask the same functions.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/board.h"

namespace trisk {

// A pile of the table, named by group and number as everywhere else.
struct TPileRef {
    int Group = 0;
    int Pile = 0;
    bool operator==(const TPileRef&) const = default;
};

// Everything the rules look at. PassesLeft is 5 after a deal, counts the
// passes through the stock that kinds 0 and 1 have left, and is -1 once the
// game is won. Only the kind's block of the board is in play.
struct TPosition {
    TBoard Board{};
    TGameKind Kind = gkTriskClassic;
    int32_t PassesLeft = 0;
};

// A card move: the top card of From onto To.
struct TMove {
    TPileRef From;
    TPileRef To;
    bool operator==(const TMove&) const = default;
};

// Faults of the board and deck operations, in the order they arose. Normal
// play never has any; a position loaded from a damaged file can.
struct TFaultLog {
    std::vector<TFault> Faults;
    void Add(TFault fault) {
        if (fault != TFault::None) Faults.push_back(fault);
    }
    bool Empty() const { return Faults.empty(); }
};

// Kinds 0 and 1 have a limited number of passes through the stock.
inline bool IsPassLimited(TGameKind kind) {
    return kind == gkTriskLite || kind == gkTriskClassic;
}
// The piles where a suit is built up: the corners of Napoleon's Tomb, the
// centre of Diamond.
inline bool IsFoundation(TGameKind kind, int group) {
    return IsTomb(kind) ? group == GroupCorner : group == GroupSingle;
}
// Cards on the corners of kinds 0 and 1 never leave them.
inline bool MayPickUp(TGameKind kind, int group) {
    return !(group == GroupCorner && IsPassLimited(kind));
}

// The reserve piles of Napoleon's Tomb and the waste piles never take a card.
inline bool MayReceive(TGameKind kind, int group) {
    return group != GroupWaste && !(IsTomb(kind) && group == GroupInner);
}

// Whether the top card of from may go onto to: both piles in play, from not empty.
bool CanDrop(const TPosition& position, TPileRef from, TPileRef to);
// Moves the top card of from onto to, legal or not.
void ApplyMove(TPosition& position, TPileRef from, TPileRef to, TFaultLog& faults);

// What a click on the stock does.
struct TStockClick {
    // The stock was empty: the waste piles of the finished pass went back into it.
    bool Redealt = false;
    // No pass was left (kinds 0 and 1): the game is lost and nothing is dealt.
    bool Lost = false;
    // Waste piles 0 .. Piles-1 get one card each from the stock, in order.
    int Piles = 0;
};

// The first half of a click: gathers the waste piles when the stock is empty
// and decides whether the game is lost and how many piles get a card. The
// window deals those cards one at a time with DealToWaste, pausing between them.
TStockClick BeginStockClick(TPosition& position, TFaultLog& faults);
// One card from the stock onto the waste pile; nothing when the stock is empty.
void DealToWaste(TPosition& position, int pile, TFaultLog& faults);
// A whole click at once.
TStockClick ApplyStockClick(TPosition& position, TFaultLog& faults);

// True when no card is left outside the foundations (and none in the stock).
bool IsWon(const TPosition& position);

// Every legal card move of the position, by source pile in table order, then
// by target. A click on the stock is always possible while the game is on.
std::vector<TMove> LegalMoves(const TPosition& position);

// Deals game number of the position's kind: the stock shuffled with the
// generator, five passes, the kind's block cleared and dealt. The other
// block of the board is left as it was.
void DealGame(TPosition& position, uint32_t number, TRandom& random, TFaultLog& faults);
// The same on a fresh board with a generator of its own.
TPosition DealtPosition(TGameKind kind, uint32_t number);

}  // namespace trisk
