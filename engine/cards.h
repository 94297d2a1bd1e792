// Cards, the double deck and the program's random generator.
//
// The records here are plain bytes with a fixed layout: history snapshots and
// saved games are made by copying them, so their sizes are part of the file
// format and are checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trisk {

constexpr int kSuits = 4;
constexpr int kRanks = 13;
constexpr int kDeckSize = 104;

// Faults that normal play never shows; they mark a caller that broke a rule of
// the board or deck operations. The game object turns them into messages.
enum class TFault { None, EmptyDeck, CannotAddCard, InvalidPickUp };

const char* FaultMessage(TFault fault);

// One card slot: suit 0..3, rank 0 (Ace) .. 12 (King), present 1/0. An empty
// slot keeps its suit and rank; returning a card to the deck relies on that.
struct TCard {
    uint8_t Suit = 0;
    uint8_t Rank = 0;
    uint8_t Present = 0;

    static TCard Make(int suit, int rank) {
        return TCard{static_cast<uint8_t>(suit), static_cast<uint8_t>(rank), 1};
    }
    bool operator==(const TCard&) const = default;
};
static_assert(sizeof(TCard) == 3);
static_assert(offsetof(TCard, Suit) == 0 && offsetof(TCard, Rank) == 1 &&
              offsetof(TCard, Present) == 2);

// The generator with its exact constants: the deal of every game number
// depends on them, so the platform's random functions are never used.
class TRandom {
  public:
    void Seed(uint32_t seed);
    // 0 .. 32767; steps only the low word.
    int Next();
    // 0 .. 2147483647; steps the whole 64-bit state.
    uint32_t NextLong();

    uint32_t Low = 0;
    uint32_t High = 0;
};

// The one generator of the program: shuffles and random game numbers draw from it.
TRandom& ProgramRandom();

// The 104-slot stock and its game number. Slot order is fixed by the shuffle;
// dealing and redealing only clear and set the present flags.
struct TDeck {
    TCard Cards[kDeckSize];
    uint32_t GameNumber = 0;

    // Canonical order, all present, game number 0.
    void Build();
    // Shuffles with the program's generator, which keeps the state the
    // shuffle leaves: the next random game number follows from it.
    void Shuffle(uint32_t number);
    void Shuffle(uint32_t number, TRandom& random);
    bool HasCards() const;
    int CountCards() const;
    // Takes the lowest present slot. On an empty deck: fault, a copy of slot 0.
    TCard DrawCard(TFault& fault);
    // Marks present the highest empty slot holding the card's suit and rank.
    void ReturnCard(const TCard& card, TFault& fault);
};
static_assert(sizeof(TDeck) == 316);
static_assert(offsetof(TDeck, GameNumber) == 312);

}  // namespace trisk
