#include "engine/cards.h"

#include <utility>

namespace trisk {

const char* FaultMessage(TFault fault) {
    switch (fault) {
        case TFault::EmptyDeck:
            return "Requested card from the empty deck";
        case TFault::CannotAddCard:
            return "Unable to add a card";
        case TFault::InvalidPickUp:
            return "Invalid attempt to pick up a card";
        case TFault::None:
            break;
    }
    return "";
}

void TRandom::Seed(uint32_t seed) {
    Low = seed;
    High = 0;
    Next();
}

int TRandom::Next() {
    Low = Low * 22695477u + 1u;
    return static_cast<int>((Low >> 16) & 0x7FFFu);
}

uint32_t TRandom::NextLong() {
    uint64_t state = (static_cast<uint64_t>(High) << 32) | Low;
    state = state * 0x0000015A00004E35ull + 1u;
    Low = static_cast<uint32_t>(state);
    High = static_cast<uint32_t>(state >> 32);
    return High & 0x7FFFFFFFu;
}

TRandom& ProgramRandom() {
    static TRandom generator;
    return generator;
}

void TDeck::Build() {
    for (int i = 0; i < kDeckSize; ++i) {
        Cards[i] = TCard::Make((i % 52) / kRanks, i % kRanks);
    }
    GameNumber = 0;
}

void TDeck::Shuffle(uint32_t number) {
    Shuffle(number, ProgramRandom());
}

void TDeck::Shuffle(uint32_t number, TRandom& random) {
    Build();
    random.Seed(number);
    GameNumber = number;
    for (int k = kDeckSize; k >= 1; --k) {
        const int j = random.Next() % k;
        if (j != k - 1) std::swap(Cards[j], Cards[k - 1]);
    }
}

bool TDeck::HasCards() const {
    for (const TCard& card : Cards) {
        if (card.Present) return true;
    }
    return false;
}

int TDeck::CountCards() const {
    int count = 0;
    for (const TCard& card : Cards)
        count += card.Present ? 1 : 0;
    return count;
}

TCard TDeck::DrawCard(TFault& fault) {
    for (TCard& card : Cards) {
        if (card.Present) {
            card.Present = 0;
            return card;
        }
    }
    fault = TFault::EmptyDeck;
    return Cards[0];
}

void TDeck::ReturnCard(const TCard& card, TFault& fault) {
    for (int i = kDeckSize - 1; i >= 0; --i) {
        TCard& slot = Cards[i];
        if (!slot.Present && slot.Rank == card.Rank && slot.Suit == card.Suit) {
            slot.Present = 1;
            return;
        }
    }
    fault = TFault::CannotAddCard;
}

}  // namespace trisk
