#include "engine/board.h"

#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>

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

namespace {

// Eight slots are 24 bytes, three 64-bit words; these masks pick the Present
// bytes (every third byte, from byte 2) out of each word.
constexpr uint64_t PresentMask(int first) {
    std::array<uint8_t, 8> bytes{};
    for (int k = first; k < 8; k += 3)
        bytes[static_cast<size_t>(k)] = 0xFF;
    return std::bit_cast<uint64_t>(bytes);
}
constexpr uint64_t kPresent[3] = {PresentMask(2), PresentMask(0), PresentMask(1)};
static_assert(kDeckSize % 8 == 0);

}  // namespace

int TPile::TopIndex() const {
    const auto* bytes = reinterpret_cast<const uint8_t*>(Cards);
    for (int chunk = kDeckSize / 8 - 1; chunk >= 0; --chunk) {
        uint64_t words[3];
        std::memcpy(words, bytes + chunk * 24, sizeof words);
        if (((words[0] & kPresent[0]) | (words[1] & kPresent[1]) | (words[2] & kPresent[2])) == 0)
            continue;
        for (int i = chunk * 8 + 7; i >= chunk * 8; --i) {
            if (Cards[i].Present) return i;
        }
    }
    return -1;
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
    if (const int top = cards.TopIndex(); top >= 0) {
        TCard& slot = cards.Cards[top];
        if (take) slot.Present = 0;
        return slot;
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
