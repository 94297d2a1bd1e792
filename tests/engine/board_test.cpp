#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/board.h"
#include "engine/rules.h"

namespace trisk {
namespace {

TEST(Board, MoveCardShiftsTheTopBetweenPiles) {
    TBoard board{};
    board.Deck.Shuffle(9);
    TFault fault = TFault::None;
    for (int i = 0; i < 3; ++i)
        board.PutCard(gkTriskClassic, 0, 0, true, TCard{}, fault);
    board.PutCard(gkTriskClassic, 2, 0, true, TCard{}, fault);
    const TCard second = board.Pile(gkTriskClassic, 0, 0).Cards[1];
    const TCard third = board.Pile(gkTriskClassic, 0, 0).Cards[2];

    // Peeking twice changes nothing.
    EXPECT_EQ(board.TopCard(gkTriskClassic, 0, 0, false, fault), third);
    EXPECT_EQ(board.TopCard(gkTriskClassic, 0, 0, false, fault), third);
    EXPECT_EQ(board.CardCount(gkTriskClassic, 0, 0), 3);

    board.MoveCard(gkTriskClassic, 0, 0, 2, 0, fault);
    EXPECT_EQ(fault, TFault::None);
    EXPECT_EQ(board.CardCount(gkTriskClassic, 0, 0), 2);
    EXPECT_EQ(board.CardCount(gkTriskClassic, 2, 0), 2);
    EXPECT_EQ(board.TopCard(gkTriskClassic, 0, 0, false, fault), second);
    const TCard moved = board.TopCard(gkTriskClassic, 2, 0, false, fault);
    EXPECT_EQ(moved.Suit, third.Suit);
    EXPECT_EQ(moved.Rank, third.Rank);
    // Taking clears the slot and hands back a copy whose flag is clear.
    const TCard taken = board.TopCard(gkTriskClassic, 2, 0, true, fault);
    EXPECT_EQ(taken.Present, 0);
    EXPECT_EQ(board.CardCount(gkTriskClassic, 2, 0), 1);
}

TEST(Board, PutFromAnEmptyStockChangesNothing) {
    TBoard board{};
    board.Deck.Build();
    for (TCard& card : board.Deck.Cards)
        card.Present = 0;
    const TBoard before = board;
    TFault fault = TFault::None;
    board.PutCard(gkDiamond, 4, 0, true, TCard{}, fault);
    EXPECT_EQ(fault, TFault::None);
    EXPECT_EQ(std::memcmp(&board, &before, sizeof board), 0);
}

TEST(Board, TopCardOfAnEmptyPileFaultsAndChangesNothing) {
    TPosition position = DealtPosition(gkTriskClassic, 3);
    TBoard& board = position.Board;
    const TBoard before = board;
    TFault fault = TFault::None;
    const TCard card = board.TopCard(gkTriskClassic, GroupSingle, 0, true, fault);
    EXPECT_EQ(fault, TFault::InvalidPickUp);
    EXPECT_STREQ(FaultMessage(fault), "Invalid attempt to pick up a card");
    EXPECT_EQ(card, before.TombPiles[0][0].Cards[0]);
    EXPECT_EQ(std::memcmp(&board, &before, sizeof before), 0);
}

TEST(Board, BlocksOfTheTwoGamesAreIndependent) {
    TPosition position;
    position.Board.Deck.Build();
    TRandom random;
    TFaultLog faults;
    const auto deal = [&](TGameKind kind, uint32_t number) {
        position.Kind = kind;
        DealGame(position, number, random, faults);
    };
    deal(gkDiamond, 11);
    TPile diamond[kGroups][kDiamondPilesPerGroup];
    std::memcpy(diamond, position.Board.DiamondPiles, sizeof diamond);

    deal(gkTriskStrong, 12);
    EXPECT_EQ(std::memcmp(diamond, position.Board.DiamondPiles, sizeof diamond), 0);
    TPile tomb[kGroups][kTombPilesPerGroup];
    std::memcpy(tomb, position.Board.TombPiles, sizeof tomb);

    deal(gkDiamond, 13);
    EXPECT_EQ(std::memcmp(tomb, position.Board.TombPiles, sizeof tomb), 0);
    EXPECT_NE(std::memcmp(diamond, position.Board.DiamondPiles, sizeof diamond), 0);
    EXPECT_TRUE(faults.Empty());
}

TEST(Board, PilesInPlayFollowTheKind) {
    EXPECT_TRUE(PileExists(gkTriskClassic, GroupWaste, 4));
    EXPECT_FALSE(PileExists(gkTriskStrong, GroupWaste, 3));
    EXPECT_FALSE(PileExists(gkTriskLite, GroupInner, 4));
    EXPECT_FALSE(PileExists(gkTriskLite, GroupSingle, 1));
    EXPECT_TRUE(PileExists(gkDiamond, GroupSingle, 0));
    EXPECT_FALSE(PileExists(gkDiamond, GroupWaste, 1));
    EXPECT_FALSE(PileExists(gkDiamond, 5, 0));
    EXPECT_STREQ(GameKindName(gkTriskClassic), "Napoleon's Tomb (classical)");
    EXPECT_STREQ(GameKindCaption(gkTriskStrong), "Complicated");
}

}  // namespace
}  // namespace trisk

namespace trisk {
namespace {

// The fast scan against the plain one, on piles with any slots present (gaps
// included, as a damaged file may have them) and stray bytes in empty slots.
TEST(Board, TopIndexIsTheHighestPresentSlot) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        TPile pile{};
        const int density = static_cast<int>(random() % 20);
        for (TCard& card : pile.Cards) {
            card.Suit = static_cast<uint8_t>(random() % 4);
            card.Rank = static_cast<uint8_t>(random() % 13);
            card.Present = random() % 100 < static_cast<unsigned>(density) ? 1 : 0;
        }
        int expected = -1;
        for (int i = 0; i < kDeckSize; ++i) {
            if (pile.Cards[i].Present) expected = i;
        }
        ASSERT_EQ(pile.TopIndex(), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace trisk
