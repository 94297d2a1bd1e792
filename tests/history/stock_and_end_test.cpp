#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "history/game.h"
#include "table/pointer.h"
#include "table/spots.h"
#include "test_host.h"

namespace trisk {
namespace {

using namespace test;

int WasteCards(const TGame& game) {
    int total = 0;
    for (int p = 0; p < PilesInGroup(game.GameKind(), GroupWaste); ++p)
        total += Count(game, GroupWaste, p);
    return total;
}

TEST(Stock, FivePassesThenTheLossInSimplifiedAndClassical) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic}) {
        TRecordingHost host;
        TGame game(host.Services());
        game.DealGameNumber(kind, 4242);
        // Pass 1 deals five cards a click, then four, three, two and one.
        const int clicksPerPass[] = {12, 15, 20, 30, 60};
        int clicks = 0;
        for (int pass = 0; pass < 5; ++pass) {
            for (int i = 0; i < clicksPerPass[pass]; ++i) {
                game.ClickStock();
                ++clicks;
                ASSERT_EQ(game.PassesLeft(), 5 - pass) << "kind " << kind << " click " << clicks;
                ASSERT_EQ(game.Board().Deck.CountCards() + WasteCards(game), 60);
            }
            EXPECT_FALSE(game.Board().Deck.HasCards());
            EXPECT_EQ(WasteCards(game), 60);
            // Only the piles this pass dealt to hold cards.
            for (int p = 5 - pass; p < 5; ++p)
                EXPECT_FALSE(game.Board().IsNonEmpty(game.GameKind(), GroupWaste, p));
            EXPECT_EQ(StockImageIndex(game.Position()), pass == 4 ? imgEndGame : imgRedeal);
        }
        EXPECT_EQ(game.MoveIndex(), 137);
        EXPECT_EQ(game.ActionCount(), 137);
        EXPECT_TRUE(host.GameOvers.empty());
        EXPECT_EQ(host.Sounds.size(), static_cast<size_t>(12 * 5 + 15 * 4 + 20 * 3 + 30 * 2 + 60));

        // The click after the fifth pass loses: not counted, not recorded.
        const size_t entries = game.History().Size();
        game.ClickStock();
        EXPECT_EQ(game.PassesLeft(), 0);
        EXPECT_EQ(host.GameOvers, std::vector<bool>{false});
        EXPECT_FALSE(host.TimerRunning);
        EXPECT_EQ(game.ActionCount(), 137);
        EXPECT_EQ(game.History().Size(), entries);
        EXPECT_EQ(WasteCards(game), 60) << "answered No: the position stays";
        // Every further click on the stock announces the loss again.
        game.ClickStock();
        EXPECT_EQ(host.GameOvers.size(), 2u);
    }
}

// A host that waits on its own: the click deals one card, and each return
// from the pause deals the next; the step is recorded once, after the pause
// that follows the last card, as a host that waits at once records it.
TEST(Stock, AHostThatWaitsOnItsOwnGetsTheSameDeal) {
    struct TLaterHost : TRecordingHost {
        bool DealPause(unsigned ms) override {
            TRecordingHost::DealPause(ms);
            return false;
        }
    } later;
    TRecordingHost atOnce;
    TGame stepped(later.Services());
    TGame whole(atOnce.Services());
    stepped.DealGameNumber(gkTriskLite, 77);
    whole.DealGameNumber(gkTriskLite, 77);
    whole.ClickStock();

    stepped.ClickStock();
    for (int card = 1; card <= 5; ++card) {
        ASSERT_TRUE(stepped.Dealing());
        EXPECT_EQ(WasteCards(stepped), card);
        EXPECT_EQ(stepped.History().Size(), 1u);
        stepped.ContinueDeal();
    }
    EXPECT_FALSE(stepped.Dealing());
    EXPECT_EQ(stepped.History().Size(), 2u);
    EXPECT_EQ(std::memcmp(&stepped.History()[1], &whole.History()[1], sizeof(TSolData)), 0);
    EXPECT_EQ(later.Pauses, atOnce.Pauses);
    stepped.ContinueDeal();  // no deal going on: nothing
    EXPECT_EQ(stepped.History().Size(), 2u);

    // A new deal in the middle of a stock click ends it unrecorded.
    stepped.ClickStock();
    stepped.DealGameNumber(gkTriskLite, 78);
    EXPECT_FALSE(stepped.Dealing());
    stepped.ContinueDeal();
    EXPECT_EQ(stepped.History().Size(), 1u);
}

TEST(Stock, RedealGathersOnlyThePilesThePassDealtTo) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkTriskClassic, 99);
    for (int i = 0; i < 12; ++i)
        game.ClickStock();
    // Take the top card of waste pile 4 away so it can be told apart.
    const int beforeRedeal = Count(game, GroupWaste, 4);
    game.ClickStock();  // gathers 0..4, deals 4
    EXPECT_EQ(game.PassesLeft(), 4);
    EXPECT_EQ(Count(game, GroupWaste, 4), 0);
    EXPECT_EQ(beforeRedeal, 12);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(Count(game, GroupWaste, p), 1);
    EXPECT_EQ(game.Board().Deck.CountCards(), 56);

    // The re-formed stock deals in the shuffle's slot order.
    TDeck shuffled;
    shuffled.Shuffle(99);
    int firstSlot = -1;
    for (int i = 0; i < kDeckSize && firstSlot < 0; ++i) {
        if (game.Board().Deck.Cards[i].Present) firstSlot = i;
    }
    EXPECT_GT(firstSlot, 44);

    // Undoing the redeal brings the passes back with the position.
    EditSettings(game, [](TSettings& s) { s.UndoOption = 2; });
    game.UndoMove();
    EXPECT_EQ(game.PassesLeft(), 5);
    EXPECT_FALSE(game.Board().Deck.HasCards());
    EXPECT_EQ(Count(game, GroupWaste, 4), 12);
}

TEST(Stock, ComplicatedDealsThreeForeverAndDiamondOne) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkTriskStrong, 7);
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 18; ++i)
            game.ClickStock();  // 17 full clicks and one card
        EXPECT_FALSE(game.Board().Deck.HasCards());
        EXPECT_EQ(WasteCards(game), 52);
        EXPECT_EQ(Count(game, GroupWaste, 0), 18);
        EXPECT_EQ(Count(game, GroupWaste, 2), 17);
        EXPECT_EQ(StockImageIndex(game.Position()), imgRedeal);
    }
    EXPECT_EQ(game.PassesLeft(), 5);
    EXPECT_EQ(game.ActionCount(), 54);
    EXPECT_EQ(host.Pauses.size(), 54u * 3);
    EXPECT_TRUE(
        std::all_of(host.Pauses.begin(), host.Pauses.end(), [](unsigned ms) { return ms == 75; }));
    EXPECT_TRUE(host.GameOvers.empty());

    game.DealGameNumber(gkDiamond, 7);
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 20; ++i)
            game.ClickStock();
        EXPECT_EQ(Count(game, GroupWaste, 0), 20);
    }
    game.ClickStock();  // redeal, then one card
    EXPECT_EQ(Count(game, GroupWaste, 0), 1);
    EXPECT_EQ(game.Board().Deck.CountCards(), 19);
    EXPECT_TRUE(host.GameOvers.empty());
}

TEST(Stock, ClickWithNothingToDealStillCountsAndPicksNothingUp) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkDiamond, 3);
    EmptyStock(game);
    ClearTable(game);
    Pick(game, GroupInner, 0);
    const TBoard before = game.Board();
    host.Sounds.clear();
    game.ClickStock();
    EXPECT_EQ(std::memcmp(&game.Board(), &before, sizeof before), 0);
    EXPECT_EQ(host.Sounds, std::vector<std::string>{"DEAL"});
    EXPECT_EQ(game.ActionCount(), 1);
    EXPECT_EQ(game.History().Size(), 2u);
    EXPECT_EQ(game.History()[1].SelGroup, -1);
    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_FALSE(game.Highlighted());

    // The same in the classical game uses up a pass and plays five deal sounds.
    game.DealGameNumber(gkTriskClassic, 3);
    EmptyStock(game);
    ClearTable(game);
    host.Sounds.clear();
    game.ClickStock();
    EXPECT_EQ(game.PassesLeft(), 4);
    EXPECT_EQ(host.Sounds.size(), 4u);
}

class EndOfGame : public ::testing::Test {
  protected:
    // Stock empty, table empty, clock running at 1000 ms.
    void Empty(TGameKind kind) {
        game.DealGameNumber(kind, 12);
        EmptyStock(game);
        ClearTable(game);
    }
    TRecordingHost host;
    TGame game{host.Services()};
};

TEST_F(EndOfGame, TheLastCardOnATombCornerWins) {
    Empty(gkTriskClassic);
    Place(game, GroupCorner, 2, {C(3, 0), C(3, 12)});
    Place(game, GroupWaste, 3, {C(3, 11)});
    game.CheckGameWon();
    EXPECT_TRUE(host.GameOvers.empty()) << "a card on a waste pile";
    EXPECT_TRUE(host.TimerRunning);

    Pick(game, GroupWaste, 3);
    ASSERT_TRUE(game.CanDrop(GroupCorner, 2));
    game.PlayMove(GroupCorner, 2);
    EXPECT_EQ(host.GameOvers, std::vector<bool>{true});
    EXPECT_EQ(game.PassesLeft(), -1);
    EXPECT_FALSE(host.TimerRunning);
    ASSERT_GE(host.Sounds.size(), 2u);
    EXPECT_EQ(host.Sounds[host.Sounds.size() - 2], "DROP");
    EXPECT_EQ(host.Sounds.back(), "GAMEWON");
    EXPECT_EQ(StockImageIndex(game.Position()), imgEndGame);
    // The entry of the winning move was filled before the win test ran.
    EXPECT_EQ(game.History().Entries().back().PassesLeft, 5);

    // Undo makes the position playable again; Redo announces the win again.
    game.UndoMove();
    EXPECT_EQ(game.PassesLeft(), 5);
    EXPECT_EQ(Top(game, GroupWaste, 3), 3 * 13 + 11);
    game.RedoMove();
    EXPECT_EQ(host.GameOvers.size(), 2u);
    EXPECT_EQ(game.PassesLeft(), -1);
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
    EditSettings(game, [](TSettings& s) { s.ConfirmNewGame = false; });
    // After Select Shuffle the same number comes again.
    game.SelectShuffle(std::string("12345"));
    EmptyStock(game);
    ClearTable(game);
    game.CheckGameWon();
    EXPECT_EQ(game.Board().Deck.GameNumber, 12345u);
    EXPECT_EQ(game.PassesLeft(), 5);
    EXPECT_EQ(game.Board().Deck.CountCards(), 60);

    // After New Game a new number is drawn.
    game.NewGame();
    const uint32_t dealt = game.Board().Deck.GameNumber;
    TDeck probe;
    probe.Shuffle(dealt);
    const uint32_t expected = ProgramRandom().NextLong() + 1u;
    probe.Shuffle(dealt);  // the generator is back where the game left it
    EmptyStock(game);
    ClearTable(game);
    game.CheckGameWon();
    EXPECT_EQ(game.Board().Deck.GameNumber, expected);
}

TEST_F(EndOfGame, PlayingAgainAfterALossRestartsTheRestartedNumber) {
    game.DealGameNumber(gkTriskLite, 900);
    EditSettings(game, [](TSettings& s) { s.ConfirmReplayGame = false; });
    game.RestartGame();
    EditPosition(game, [](TPosition& p) {
        EmptyStock(p);
        p.PassesLeft = 1;
    });
    host.PlayAgain = true;
    game.ClickStock();  // the click after the last pass
    EXPECT_EQ(host.GameOvers, std::vector<bool>{false});
    EXPECT_TRUE(host.TimerRunning) << "the new deal starts the clock";
    EXPECT_EQ(game.Board().Deck.GameNumber, 900u);
    EXPECT_EQ(game.PassesLeft(), 5);
    EXPECT_EQ(game.Board().Deck.CountCards(), 60);
    EXPECT_EQ(game.ActionCount(), 0);
}

TEST_F(EndOfGame, ComplicatedAndDiamondNeverLose) {
    for (TGameKind kind : {gkTriskStrong, gkDiamond}) {
        Empty(kind);
        for (int i = 0; i < 20; ++i)
            game.ClickStock();
        EXPECT_TRUE(host.GameOvers.empty());
        EXPECT_EQ(game.PassesLeft(), 5);
    }
}

TEST(Moves, PlayMoveRecordsTheStepSoundsAndRepaints) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkTriskClassic, 77);
    ClearTable(game);
    Place(game, GroupInner, 0, {C(1, 12)});
    Place(game, GroupWaste, 0, {C(1, 11)});
    Place(game, GroupOuter, 0, {C(1, 4)});
    Place(game, GroupOuter, 1, {C(1, 5)});
    EXPECT_FALSE(game.CanDrop(GroupCorner, 0)) << "nothing picked up drops nothing";
    Pick(game, GroupInner, 0);
    host.Paints = 0;
    game.PlayMove(GroupCorner, 0);
    EXPECT_EQ(game.MoveIndex(), 1);
    EXPECT_EQ(game.ActionCount(), 1);
    ASSERT_EQ(game.History().Size(), 2u);
    EXPECT_EQ(game.History()[1].SelGroup, GroupInner) << "the entry names the pile left";
    EXPECT_EQ(host.Sounds.back(), "DROP");
    EXPECT_FALSE(game.Highlighted());
    EXPECT_TRUE(game.IsActionEnabled(TGameAction::Undo));
    EXPECT_GE(host.Paints, 1);
    EXPECT_EQ(host.Panels[TStatusPanel::Moves], "Moves: 1/1");

    Pick(game, GroupOuter, 1);
    ASSERT_TRUE(game.CanDrop(GroupOuter, 0));
    game.PlayMove(GroupOuter, 0);
    EXPECT_EQ(host.Sounds.back(), "DOWN");
    EditSettings(game, [](TSettings& s) { s.EnableSound = false; });
    const size_t sounds = host.Sounds.size();
    Pick(game, GroupWaste, 0);
    game.PlayMove(GroupCorner, 0);
    EXPECT_EQ(host.Sounds.size(), sounds) << "sound off";
    EXPECT_EQ(Top(game, GroupCorner, 0), 1 * 13 + 11);
}

TEST(Moves, DiamondMovesOntoTheCentreDropOthersGoDown) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkDiamond, 5);
    ClearTable(game);
    Place(game, GroupInner, 0, {C(1, 9)});
    Place(game, GroupWaste, 0, {C(1, 8)});
    Pick(game, GroupWaste, 0);
    game.PlayMove(GroupInner, 0);
    EXPECT_EQ(host.Sounds.back(), "DOWN");
    Pick(game, GroupInner, 0);
    game.PlayMove(GroupSingle, 0);
    EXPECT_EQ(host.Sounds.back(), "DROP");
}

TEST(Moves, AFaultOfTheBoardIsShownThroughTheHost) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkTriskClassic, 3);
    // Only a damaged position can ask for the top card of an empty pile.
    Pick(game, GroupSingle, 0);
    game.PlayMove(GroupOuter, 0);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "Invalid attempt to pick up a card");
    EXPECT_EQ(host.MessageKinds[0], TMessageKind::Information);
}

}  // namespace
}  // namespace trisk
