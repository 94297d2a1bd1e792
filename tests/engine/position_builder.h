// Positions built by hand for the rule tests: an empty table of one kind, then
// cards put on piles bottom first. Needs nothing but the engine.
#pragma once

#include <initializer_list>

#include <gtest/gtest.h>

#include "engine/rules.h"

namespace trisk::test {

inline TCard C(int suit, int rank) {
    return TCard::Make(suit, rank);
}

// Every pile of the kind empty, the stock full, five passes left.
inline TPosition EmptyTable(TGameKind kind) {
    TPosition position;
    position.Kind = kind;
    position.PassesLeft = 5;
    position.Board.Deck.Build();
    return position;
}

inline void EmptyStock(TPosition& position) {
    for (TCard& card : position.Board.Deck.Cards)
        card.Present = 0;
}

inline void Place(TPosition& position, int group, int pile, std::initializer_list<TCard> cards) {
    for (const TCard& card : cards) {
        TFault fault = TFault::None;
        position.Board.PutCard(position.Kind, group, pile, false, card, fault);
    }
}

// The top card as suit * 13 + rank, or -1 for an empty pile.
inline int Top(const TPosition& position, int group, int pile) {
    const TPile& cards = position.Board.Pile(position.Kind, group, pile);
    for (int i = kDeckSize - 1; i >= 0; --i) {
        if (cards.Cards[i].Present) return cards.Cards[i].Suit * kRanks + cards.Cards[i].Rank;
    }
    return -1;
}

// An empty table of one kind, on which drops are asked.
class TRulesFixture : public ::testing::Test {
  protected:
    void SetKind(TGameKind kind) { position = EmptyTable(kind); }
    void ClearTable() { position.Board.ClearBlock(position.Kind); }
    void Place(int group, int pile, std::initializer_list<TCard> cards) {
        test::Place(position, group, pile, cards);
    }
    // May the top card of (fromGroup, fromPile) go onto (toGroup, toPile)?
    bool Drop(int fromGroup, int fromPile, int toGroup, int toPile) const {
        return CanDrop(position, {fromGroup, fromPile}, {toGroup, toPile});
    }
    TPosition position = EmptyTable(gkTriskClassic);
};

}  // namespace trisk::test
