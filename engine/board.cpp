#include "engine/board.h"

#include <cassert>

namespace trisk {

const char* GameKindCaption(TGameKind kind) {
    static const char* const captions[kGameKinds] = {"Simplified", "Classical", "Complicated",
                                                     "Diamond"};
    return IsValidGameKind(kind) ? captions[kind] : "";
}

const char* GameKindName(TGameKind kind) {
    static const char* const names[kGameKinds] = {"Napoleon's Tomb (simplified)",
                                                  "Napoleon's Tomb (classical)",
                                                  "Napoleon's Tomb (complicated)", "Diamond"};
    return IsValidGameKind(kind) ? names[kind] : "";
}

int PilesInGroup(TGameKind kind, int group) {
    switch (group) {
        case GroupInner:
        case GroupCorner:
        case GroupOuter:
            return 4;
        case GroupSingle:
            return 1;
        case GroupWaste:
            return kind == gkDiamond ? 1 : (kind == gkTriskStrong ? 3 : 5);
        default:
            return 0;
    }
}

bool PileExists(TGameKind kind, int group, int pile) {
    return pile >= 0 && pile < PilesInGroup(kind, group);
}

TPile& TBoard::Pile(TGameKind kind, int group, int pile) {
    if (kind == gkDiamond) {
        assert(group >= 0 && group < kGroups && pile >= 0 && pile < kDiamondPilesPerGroup);
        return DiamondPiles[group][pile];
    }
    assert(group >= 0 && group < kGroups && pile >= 0 && pile < kTombPilesPerGroup);
    return TombPiles[group][pile];
}

const TPile& TBoard::Pile(TGameKind kind, int group, int pile) const {
    return const_cast<TBoard*>(this)->Pile(kind, group, pile);
}

void TBoard::ClearBlock(TGameKind kind) {
    const int piles = kind == gkDiamond ? kDiamondPilesPerGroup : kTombPilesPerGroup;
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < piles; ++p) {
            for (TCard& card : Pile(kind, g, p).Cards)
                card.Present = 0;
        }
    }
}

bool TBoard::IsNonEmpty(TGameKind kind, int group, int pile) const {
    for (const TCard& card : Pile(kind, group, pile).Cards) {
        if (card.Present) return true;
    }
    return false;
}

int TBoard::CardCount(TGameKind kind, int group, int pile) const {
    int count = 0;
    for (const TCard& card : Pile(kind, group, pile).Cards)
        count += card.Present ? 1 : 0;
    return count;
}

TCard TBoard::TopCard(TGameKind kind, int group, int pile, bool take, TFault& fault) {
    TPile& cards = Pile(kind, group, pile);
    for (int i = kDeckSize - 1; i >= 0; --i) {
        TCard& slot = cards.Cards[i];
        if (slot.Present) {
            if (take) slot.Present = 0;
            return slot;
        }
    }
    fault = TFault::InvalidPickUp;
    return TombPiles[0][0].Cards[0];
}

void TBoard::PutCard(TGameKind kind, int group, int pile, bool fromDeck, const TCard& card,
                     TFault& fault) {
    if (fromDeck && !Deck.HasCards()) return;
    for (TCard& slot : Pile(kind, group, pile).Cards) {
        if (!slot.Present) {
            const TCard source = fromDeck ? Deck.DrawCard(fault) : card;
            slot.Suit = source.Suit;
            slot.Rank = source.Rank;
            slot.Present = 1;
            return;
        }
    }
}

void TBoard::MoveCard(TGameKind kind, int fromGroup, int fromPile, int toGroup, int toPile,
                      TFault& fault) {
    const TCard card = TopCard(kind, fromGroup, fromPile, true, fault);
    PutCard(kind, toGroup, toPile, false, card, fault);
}

}  // namespace trisk
