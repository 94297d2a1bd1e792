#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "engine/cards.h"

namespace trisk {
namespace {

using SuitRank = std::pair<int, int>;

std::vector<SuitRank> Slots(const TDeck& deck, int from, int to) {
    std::vector<SuitRank> slots;
    for (int i = from; i <= to; ++i)
        slots.emplace_back(deck.Cards[i].Suit, deck.Cards[i].Rank);
    return slots;
}

TDeck Shuffled(uint32_t number) {
    TDeck deck;
    deck.Shuffle(number);
    return deck;
}

TEST(Shuffle, ReproducesTheWorkedExamples) {
    const TDeck one = Shuffled(1);
    EXPECT_EQ(
        Slots(one, 0, 7),
        (std::vector<SuitRank>{{2, 0}, {3, 11}, {2, 12}, {2, 9}, {3, 2}, {0, 7}, {2, 4}, {1, 6}}));
    EXPECT_EQ(Slots(one, 102, 103), (std::vector<SuitRank>{{0, 12}, {2, 0}}));
    EXPECT_EQ(Slots(Shuffled(2), 0, 3), (std::vector<SuitRank>{{2, 1}, {3, 11}, {1, 11}, {2, 11}}));
    EXPECT_EQ(Slots(Shuffled(1000), 0, 3),
              (std::vector<SuitRank>{{0, 10}, {3, 1}, {0, 12}, {2, 9}}));
}

TEST(Shuffle, KeepsEveryCardTwiceAllPresentAndStoresTheNumber) {
    for (uint32_t number : {0u, 1u, 77u, 4294967295u}) {
        const TDeck deck = Shuffled(number);
        EXPECT_EQ(deck.GameNumber, number);
        int seen[4][13] = {};
        for (const TCard& card : deck.Cards) {
            ASSERT_EQ(card.Present, 1);
            ASSERT_LT(card.Suit, 4);
            ASSERT_LT(card.Rank, 13);
            ++seen[card.Suit][card.Rank];
        }
        for (auto& suit : seen) {
            for (int count : suit)
                EXPECT_EQ(count, 2);
        }
    }
}

TEST(Shuffle, IsRepeatableAndIgnoresBit31) {
    const TDeck a = Shuffled(123456);
    const TDeck b = Shuffled(123456);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);

    for (uint32_t low : {0u, 1u, 99999u}) {
        const TDeck plain = Shuffled(low);
        const TDeck high = Shuffled(low | 0x80000000u);
        EXPECT_EQ(std::memcmp(plain.Cards, high.Cards, sizeof plain.Cards), 0) << low;
        EXPECT_EQ(high.GameNumber, low | 0x80000000u);
    }
    // Neighbouring numbers deal differently.
    EXPECT_NE(std::memcmp(Shuffled(1).Cards, Shuffled(2).Cards, sizeof(TDeck::Cards)), 0);
}

TEST(Random, NextRandomGameNumberDependsOnlyOnTheLastShuffle) {
    // A random game number is NextLong() + 1 after the shuffle of the last game.
    ProgramRandom().Seed(42);
    Shuffled(1);
    EXPECT_EQ(ProgramRandom().NextLong() % 4294967295u + 1u, 1661391730u);
    ProgramRandom().Seed(7);
    Shuffled(1000);
    EXPECT_EQ(ProgramRandom().NextLong() % 4294967295u + 1u, 129356596u);
}

TEST(Random, UsesTheExactConstants) {
    TRandom random;
    random.Seed(0);
    // Seed draws once: Low = 1, then Next gives Low = 22695478.
    EXPECT_EQ(random.Low, 1u);
    EXPECT_EQ(random.Next(), static_cast<int>((22695478u >> 16) & 0x7FFF));
    EXPECT_EQ(random.High, 0u);

    TRandom wide;
    wide.Low = 0xFFFFFFFFu;
    wide.High = 0;
    // (2^32 - 1) * 0x15A00004E35 + 1, modulo 2^64: the high word shows the
    // 64-bit multiplier, not the 32-bit one widened.
    const uint64_t expected = 0xFFFFFFFFull * 0x0000015A00004E35ull + 1u;
    EXPECT_EQ(wide.NextLong(), static_cast<uint32_t>(expected >> 32) & 0x7FFFFFFFu);
    EXPECT_EQ(wide.Low, static_cast<uint32_t>(expected));
}

TEST(Deck, DrawsInSlotOrderUntilEmptyThenFaults) {
    TDeck deck = Shuffled(5);
    const TDeck original = deck;
    for (int i = 0; i < kDeckSize; ++i) {
        TFault fault = TFault::None;
        const TCard card = deck.DrawCard(fault);
        ASSERT_EQ(fault, TFault::None);
        EXPECT_EQ(card.Present, 0);
        EXPECT_EQ(card.Suit, original.Cards[i].Suit);
        EXPECT_EQ(card.Rank, original.Cards[i].Rank);
    }
    EXPECT_FALSE(deck.HasCards());
    const TDeck empty = deck;
    TFault fault = TFault::None;
    const TCard card = deck.DrawCard(fault);
    EXPECT_EQ(fault, TFault::EmptyDeck);
    EXPECT_STREQ(FaultMessage(fault), "Requested card from the empty deck");
    EXPECT_EQ(card, empty.Cards[0]);
    EXPECT_EQ(std::memcmp(&deck, &empty, sizeof deck), 0);
}

TEST(Deck, ReturnTakesTheHigherEmptySlotAndDrawsFollowSlotOrder) {
    TDeck deck;
    deck.Build();  // canonical: (0, 5) lives in slots 5 and 57
    TFault fault = TFault::None;
    for (int i = 0; i < kDeckSize; ++i)
        deck.DrawCard(fault);
    ASSERT_EQ(fault, TFault::None);

    deck.ReturnCard(TCard::Make(0, 5), fault);
    EXPECT_TRUE(deck.Cards[57].Present);
    EXPECT_FALSE(deck.Cards[5].Present);
    deck.ReturnCard(TCard::Make(0, 5), fault);
    EXPECT_TRUE(deck.Cards[5].Present);

    // Returned later but lying in a lower slot: dealt first.
    deck.ReturnCard(TCard::Make(3, 12), fault);  // slot 103
    deck.ReturnCard(TCard::Make(1, 0), fault);   // slot 65
    ASSERT_EQ(fault, TFault::None);
    std::vector<int> order;
    while (deck.HasCards()) {
        const TCard card = deck.DrawCard(fault);
        order.push_back(card.Suit * 13 + card.Rank);
    }
    EXPECT_EQ(order, (std::vector<int>{5, 5, 13, 51}));

    // Both copies are back in the stock: a third return finds no slot.
    deck.Build();
    const TDeck full = deck;
    deck.ReturnCard(TCard::Make(2, 2), fault);
    EXPECT_EQ(fault, TFault::CannotAddCard);
    EXPECT_STREQ(FaultMessage(fault), "Unable to add a card");
    EXPECT_EQ(std::memcmp(&deck, &full, sizeof deck), 0);
}

}  // namespace
}  // namespace trisk
