#include <gtest/gtest.h>

#include <cstring>

#include "engine/board.h"
#include "engine/game.h"
#include "test_host.h"

namespace trisk {
namespace {

using test::TRecordingHost;

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

TEST(Board, TopCardOfAnEmptyPileReportsAFaultThroughTheHost) {
    TRecordingHost host;
    TGame game(host);
    test::DealNumber(game, gkTriskClassic, 3);
    const TBoard before = game.Board;
    game.TopCard(GroupSingle, 0, true);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "Invalid attempt to pick up a card");
    EXPECT_EQ(host.MessageKinds[0], TMessageKind::Information);
    EXPECT_EQ(std::memcmp(&game.Board, &before, sizeof before), 0);
}

TEST(Board, BlocksOfTheTwoGamesAreIndependent) {
    TRecordingHost host;
    TGame game(host);
    test::DealNumber(game, gkDiamond, 11);
    TPile diamond[kGroups][kDiamondPilesPerGroup];
    std::memcpy(diamond, game.Board.DiamondPiles, sizeof diamond);

    test::DealNumber(game, gkTriskStrong, 12);
    EXPECT_EQ(std::memcmp(diamond, game.Board.DiamondPiles, sizeof diamond), 0);
    TPile tomb[kGroups][kTombPilesPerGroup];
    std::memcpy(tomb, game.Board.TombPiles, sizeof tomb);

    test::DealNumber(game, gkDiamond, 13);
    EXPECT_EQ(std::memcmp(tomb, game.Board.TombPiles, sizeof tomb), 0);
    EXPECT_NE(std::memcmp(diamond, game.Board.DiamondPiles, sizeof diamond), 0);
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
