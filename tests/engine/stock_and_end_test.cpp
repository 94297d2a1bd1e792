#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine/game.h"
#include "table/spots.h"
#include "test_host.h"

namespace trisk {
namespace {

using namespace test;

int WasteCards(const TGame& game) {
    int total = 0;
    for (int p = 0; p < PilesInGroup(game.GameKind, GroupWaste); ++p)
        total += game.CardCount(GroupWaste, p);
    return total;
}

TEST(Stock, FivePassesThenTheLossInSimplifiedAndClassical) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic}) {
        TRecordingHost host;
        TGame game(host);
        DealNumber(game, kind, 4242);
        // Pass 1 deals five cards a click, then four, three, two and one.
        const int clicksPerPass[] = {12, 15, 20, 30, 60};
        int clicks = 0;
        for (int pass = 0; pass < 5; ++pass) {
            for (int i = 0; i < clicksPerPass[pass]; ++i) {
                game.ClickStock();
                ++clicks;
                ASSERT_EQ(game.PassesLeft, 5 - pass) << "kind " << kind << " click " << clicks;
                ASSERT_EQ(game.Board.Deck.CountCards() + WasteCards(game), 60);
            }
            EXPECT_FALSE(game.Board.Deck.HasCards());
            EXPECT_EQ(WasteCards(game), 60);
            // Only the piles this pass dealt to hold cards.
            for (int p = 5 - pass; p < 5; ++p)
                EXPECT_FALSE(game.IsNonEmpty(GroupWaste, p));
            EXPECT_EQ(game.StockImageIndex(), pass == 4 ? imgEndGame : imgRedeal);
        }
        EXPECT_EQ(game.MoveIndex, 137);
        EXPECT_EQ(game.ActionCount, 137);
        EXPECT_TRUE(host.GameOvers.empty());
        EXPECT_EQ(host.Sounds.size(), static_cast<size_t>(12 * 5 + 15 * 4 + 20 * 3 + 30 * 2 + 60));

        // The click after the fifth pass loses: not counted, not recorded.
        const size_t entries = game.History.size();
        game.ClickStock();
        EXPECT_EQ(game.PassesLeft, 0);
        EXPECT_EQ(host.GameOvers, std::vector<bool>{false});
        EXPECT_FALSE(host.TimerRunning);
        EXPECT_EQ(game.ActionCount, 137);
        EXPECT_EQ(game.History.size(), entries);
        EXPECT_EQ(WasteCards(game), 60) << "answered No: the position stays";
        // Every further click on the stock announces the loss again.
        game.ClickStock();
        EXPECT_EQ(host.GameOvers.size(), 2u);
    }
}

TEST(Stock, RedealGathersOnlyThePilesThePassDealtTo) {
    TRecordingHost host;
    TGame game(host);
    DealNumber(game, gkTriskClassic, 99);
    for (int i = 0; i < 12; ++i)
        game.ClickStock();
    // Take the top card of waste pile 4 away so it can be told apart.
    const int beforeRedeal = game.CardCount(GroupWaste, 4);
    game.ClickStock();  // gathers 0..4, deals 4
    EXPECT_EQ(game.PassesLeft, 4);
    EXPECT_EQ(game.CardCount(GroupWaste, 4), 0);
    EXPECT_EQ(beforeRedeal, 12);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(game.CardCount(GroupWaste, p), 1);
    EXPECT_EQ(game.Board.Deck.CountCards(), 56);

    // The re-formed stock deals in the shuffle's slot order.
    TDeck shuffled;
    shuffled.Shuffle(99);
    int firstSlot = -1;
    for (int i = 0; i < kDeckSize && firstSlot < 0; ++i) {
        if (game.Board.Deck.Cards[i].Present) firstSlot = i;
    }
    EXPECT_GT(firstSlot, 44);

    // Undoing the redeal brings the passes back with the position.
    game.Settings.UndoOption = 2;
    game.UndoMove();
    EXPECT_EQ(game.PassesLeft, 5);
    EXPECT_FALSE(game.Board.Deck.HasCards());
    EXPECT_EQ(game.CardCount(GroupWaste, 4), 12);
}

TEST(Stock, ComplicatedDealsThreeForeverAndDiamondOne) {
    TRecordingHost host;
    TGame game(host);
    DealNumber(game, gkTriskStrong, 7);
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 18; ++i)
            game.ClickStock();  // 17 full clicks and one card
        EXPECT_FALSE(game.Board.Deck.HasCards());
        EXPECT_EQ(WasteCards(game), 52);
        EXPECT_EQ(game.CardCount(GroupWaste, 0), 18);
        EXPECT_EQ(game.CardCount(GroupWaste, 2), 17);
        EXPECT_EQ(game.StockImageIndex(), imgRedeal);
    }
    EXPECT_EQ(game.PassesLeft, 5);
    EXPECT_EQ(game.ActionCount, 54);
    EXPECT_EQ(host.Pauses.size(), 54u * 3);
    EXPECT_TRUE(
        std::all_of(host.Pauses.begin(), host.Pauses.end(), [](unsigned ms) { return ms == 75; }));
    EXPECT_TRUE(host.GameOvers.empty());

    DealNumber(game, gkDiamond, 7);
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 20; ++i)
            game.ClickStock();
        EXPECT_EQ(game.CardCount(GroupWaste, 0), 20);
    }
    game.ClickStock();  // redeal, then one card
    EXPECT_EQ(game.CardCount(GroupWaste, 0), 1);
    EXPECT_EQ(game.Board.Deck.CountCards(), 19);
    EXPECT_TRUE(host.GameOvers.empty());
}

TEST(Stock, ClickWithNothingToDealStillCountsAndPicksNothingUp) {
    TRecordingHost host;
    TGame game(host);
    DealNumber(game, gkDiamond, 3);
    EmptyStock(game);
    game.Board.ClearBlock(gkDiamond);
    Pick(game, GroupInner, 0);
    const TBoard before = game.Board;
    host.Sounds.clear();
    game.ClickStock();
    EXPECT_EQ(std::memcmp(&game.Board, &before, sizeof before), 0);
    EXPECT_EQ(host.Sounds, std::vector<std::string>{"DEAL"});
    EXPECT_EQ(game.ActionCount, 1);
    EXPECT_EQ(game.History.size(), 2u);
    EXPECT_EQ(game.History[1].SelGroup, -1);
    EXPECT_EQ(game.SelGroup, -1);
    EXPECT_FALSE(game.Highlighted);

    // The same in the classical game uses up a pass and plays five deal sounds.
    DealNumber(game, gkTriskClassic, 3);
    EmptyStock(game);
    game.Board.ClearBlock(gkTriskClassic);
    host.Sounds.clear();
    game.ClickStock();
    EXPECT_EQ(game.PassesLeft, 4);
    EXPECT_EQ(host.Sounds.size(), 4u);
}

class EndOfGame : public ::testing::Test {
  protected:
    // Stock empty, table empty, clock running at 1000 ms.
    void Empty(TGameKind kind) {
        DealNumber(game, kind, 12);
        EmptyStock(game);
        ClearTable(game);
    }
    TRecordingHost host;
    TGame game{host};
};

TEST_F(EndOfGame, TheLastCardOnATombCornerWins) {
    Empty(gkTriskClassic);
    Place(game, GroupCorner, 2, {C(3, 0), C(3, 12)});
    Place(game, GroupWaste, 3, {C(3, 11)});
    game.MoveIndex = 1;  // record the position built by hand as a step
    game.AppendHistoryEntry();
    game.CheckGameWon();
    EXPECT_TRUE(host.GameOvers.empty()) << "a card on a waste pile";
    EXPECT_TRUE(host.TimerRunning);

    Pick(game, GroupWaste, 3);
    ASSERT_TRUE(game.CanDrop(GroupCorner, 2));
    game.PlayMove(GroupCorner, 2);
    EXPECT_EQ(host.GameOvers, std::vector<bool>{true});
    EXPECT_EQ(game.PassesLeft, -1);
    EXPECT_FALSE(host.TimerRunning);
    ASSERT_GE(host.Sounds.size(), 2u);
    EXPECT_EQ(host.Sounds[host.Sounds.size() - 2], "DROP");
    EXPECT_EQ(host.Sounds.back(), "GAMEWON");
    EXPECT_EQ(game.StockImageIndex(), imgEndGame);
    // The entry of the winning move was filled before the win test ran.
    EXPECT_EQ(game.History.back().PassesLeft, 5);

    // Undo makes the position playable again; Redo announces the win again.
    game.UndoMove();
    EXPECT_EQ(game.PassesLeft, 5);
    EXPECT_EQ(Top(game, GroupWaste, 3), 3 * 13 + 11);
    game.RedoMove();
    EXPECT_EQ(host.GameOvers.size(), 2u);
    EXPECT_EQ(game.PassesLeft, -1);
}

TEST_F(EndOfGame, DiamondNeedsTheWasteEmptyToo) {
    Empty(gkDiamond);
    Place(game, GroupSingle, 0, {C(0, 3)});
    Place(game, GroupWaste, 0, {C(1, 4)});
    game.CheckGameWon();
    EXPECT_TRUE(host.GameOvers.empty());
    Pick(game, GroupWaste, 0);
    game.PlayMove(GroupSingle, 0);
    EXPECT_EQ(host.GameOvers, std::vector<bool>{true});
}

TEST_F(EndOfGame, PlayAgainDealsByThePolicyInForce) {
    host.PlayAgain = true;
    game.Settings.ConfirmNewGame = false;
    // After Select Shuffle the same number comes again.
    game.SelectShuffle(std::string("12345"));
    EmptyStock(game);
    ClearTable(game);
    game.CheckGameWon();
    EXPECT_EQ(game.Board.Deck.GameNumber, 12345u);
    EXPECT_EQ(game.PassesLeft, 5);
    EXPECT_EQ(game.Board.Deck.CountCards(), 60);

    // After New Game a new number is drawn.
    game.NewGame();
    const uint32_t dealt = game.Board.Deck.GameNumber;
    TDeck probe;
    probe.Shuffle(dealt);
    const uint32_t expected = ProgramRandom().NextLong() + 1u;
    probe.Shuffle(dealt);  // the generator is back where the game left it
    EmptyStock(game);
    ClearTable(game);
    game.CheckGameWon();
    EXPECT_EQ(game.Board.Deck.GameNumber, expected);
}

TEST_F(EndOfGame, PlayingAgainAfterALossRestartsTheRestartedNumber) {
    DealNumber(game, gkTriskLite, 900);
    game.Settings.ConfirmReplayGame = false;
    game.RestartGame();
    EmptyStock(game);
    game.PassesLeft = 1;
    host.PlayAgain = true;
    game.ClickStock();  // the click after the last pass
    EXPECT_EQ(host.GameOvers, std::vector<bool>{false});
    EXPECT_TRUE(host.TimerRunning) << "the new deal starts the clock";
    EXPECT_EQ(game.Board.Deck.GameNumber, 900u);
    EXPECT_EQ(game.PassesLeft, 5);
    EXPECT_EQ(game.Board.Deck.CountCards(), 60);
    EXPECT_EQ(game.ActionCount, 0);
}

TEST_F(EndOfGame, ComplicatedAndDiamondNeverLose) {
    for (TGameKind kind : {gkTriskStrong, gkDiamond}) {
        Empty(kind);
        for (int i = 0; i < 20; ++i) game.ClickStock();
        EXPECT_TRUE(host.GameOvers.empty());
        EXPECT_EQ(game.PassesLeft, 5);
    }
}

}  // namespace
}  // namespace trisk
