#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "history/game.h"
#include "test_host.h"

namespace trisk {
namespace {

using namespace test;

// Tracks the enabled state the host was told about, to check that it always
// matches what the game reports.
class ActionHost : public TRecordingHost {
  public:
    void ActionEnabledChanged(TGameAction action, bool enabled) override {
        Shown[action] = enabled;
    }
    std::map<TGameAction, bool> Shown;
};

class History : public ::testing::Test {
  protected:
    void Deal(int undoLevel, uint32_t number = 8) {
        EditSettings(game, [&](TSettings& s) { s.UndoOption = undoLevel; });
        game.DealGameNumber(gkTriskClassic, number);
    }
    // Clicks on the stock are steps like moves.
    void Steps(int n) {
        for (int i = 0; i < n; ++i)
            game.ClickStock();
    }
    bool On(TGameAction action) {
        const bool enabled = game.IsActionEnabled(action);
        EXPECT_EQ(host.Shown[action], enabled) << "host not told";
        return enabled;
    }
    int StockCards() const { return game.Board().Deck.CountCards(); }

    ActionHost host;
    TGame game{host.Services()};
};

TEST_F(History, UnlimitedUndoWalksBackToTheDealAndRedoForward) {
    Deal(2);
    Steps(3);
    EXPECT_TRUE(On(TGameAction::Undo));
    EXPECT_FALSE(On(TGameAction::Redo));
    for (int i = 0; i < 3; ++i)
        game.UndoMove();
    EXPECT_EQ(game.MoveIndex(), 0);
    EXPECT_EQ(game.ActionCount(), 6);
    EXPECT_EQ(StockCards(), 60);
    EXPECT_FALSE(On(TGameAction::Undo));
    EXPECT_TRUE(On(TGameAction::Redo));
    game.UndoMove();  // disabled: nothing happens
    EXPECT_EQ(game.ActionCount(), 6);

    game.RedoMove();
    game.RedoMove();
    EXPECT_EQ(game.MoveIndex(), 2);
    EXPECT_EQ(game.ActionCount(), 8);
    EXPECT_EQ(StockCards(), 50);
    game.RedoMove();
    EXPECT_FALSE(On(TGameAction::Redo));
    game.RedoMove();
    EXPECT_EQ(game.ActionCount(), 9);
    EXPECT_EQ(std::count(host.Sounds.begin(), host.Sounds.end(), "UNDO"), 3);
    EXPECT_EQ(std::count(host.Sounds.begin(), host.Sounds.end(), "REDO"), 3);
    EXPECT_EQ(game.SelGroup(), -1);
}

TEST_F(History, ANewStepDropsTheRedoEntries) {
    Deal(2);
    Steps(4);
    game.UndoMove();
    game.UndoMove();
    EXPECT_EQ(game.History().Size(), 5u);
    Steps(1);
    EXPECT_EQ(game.MoveIndex(), 3);
    EXPECT_EQ(game.History().Size(), 4u);
    EXPECT_FALSE(On(TGameAction::Redo));
    EXPECT_EQ(game.ActionCount(), 7);
    // The new entry holds the live position.
    EXPECT_EQ(std::memcmp(&game.History().Entries().back().Deck, &game.Board().Deck, sizeof(TDeck)),
              0);
}

TEST_F(History, OneLevelAllowsASingleStepEachWay) {
    Deal(1);
    Steps(3);
    EXPECT_TRUE(On(TGameAction::Undo));
    game.UndoMove();
    EXPECT_FALSE(On(TGameAction::Undo));
    EXPECT_TRUE(On(TGameAction::Redo));
    game.UndoMove();
    EXPECT_EQ(game.MoveIndex(), 2);
    game.RedoMove();
    EXPECT_FALSE(On(TGameAction::Redo));
    EXPECT_TRUE(On(TGameAction::Undo));
    EXPECT_EQ(game.MoveIndex(), 3);
}

TEST_F(History, LevelZeroNeverOffersUndoOrRedo) {
    Deal(0);
    Steps(3);
    EXPECT_FALSE(On(TGameAction::Undo));
    game.UndoMove();
    EXPECT_EQ(game.MoveIndex(), 3);
    game.InsertBookmark();
    Steps(2);
    game.GoToBookmark();
    EXPECT_EQ(game.MoveIndex(), 3);
    EXPECT_FALSE(On(TGameAction::Undo));
    EXPECT_FALSE(On(TGameAction::Redo));
}

TEST_F(History, GoToBookmarkCutsTheHistoryAndStaysAvailable) {
    Deal(2);
    game.InsertBookmark();
    EXPECT_TRUE(On(TGameAction::GoToBookmark));
    Steps(5);
    game.GoToBookmark();
    EXPECT_EQ(game.MoveIndex(), 0);
    EXPECT_EQ(game.ActionCount(), 0);
    EXPECT_EQ(game.History().Size(), 1u);
    EXPECT_EQ(StockCards(), 60);
    EXPECT_FALSE(On(TGameAction::Undo));
    EXPECT_FALSE(On(TGameAction::Redo));
    EXPECT_TRUE(On(TGameAction::GoToBookmark));

    // A bookmark in the middle: Undo is offered, the later entries are gone.
    Steps(2);
    game.InsertBookmark();
    Steps(3);
    game.UndoMove();
    game.GoToBookmark();
    EXPECT_EQ(game.MoveIndex(), 2);
    EXPECT_EQ(game.ActionCount(), 2);
    EXPECT_EQ(game.History().Size(), 3u);
    EXPECT_TRUE(On(TGameAction::Undo));
    EXPECT_FALSE(On(TGameAction::Redo));
}

TEST_F(History, ABookmarkWhoseEntryWasDroppedIsCleared) {
    Deal(2);
    Steps(3);
    game.InsertBookmark();  // entry 3
    game.UndoMove();
    game.UndoMove();
    Steps(1);  // drops entries 2 and 3
    EXPECT_FALSE(On(TGameAction::GoToBookmark));
    const int actions = game.ActionCount();
    game.GoToBookmark();
    EXPECT_EQ(game.ActionCount(), actions);
    EXPECT_EQ(game.MoveIndex(), 2);

    // A bookmark before the cut survives it.
    game.InsertBookmark();  // entry 2
    Steps(2);
    game.UndoMove();
    Steps(1);  // drops entry 4 only
    EXPECT_TRUE(On(TGameAction::GoToBookmark));
}

TEST_F(History, RestartDealsTheSameNumberAfterItsQuestion) {
    Deal(2, 4711);
    Steps(4);
    game.InsertBookmark();
    host.Answers = {false};
    game.RestartGame();
    EXPECT_EQ(host.Questions, std::vector<std::string>{"Restart this game?"});
    EXPECT_EQ(game.MoveIndex(), 4);

    host.Answers = {true};
    game.WantNewNumber();
    game.RestartGame();
    EXPECT_EQ(game.Board().Deck.GameNumber, 4711u);
    EXPECT_EQ(game.MoveIndex(), 0);
    EXPECT_EQ(game.History().Size(), 1u);
    EXPECT_EQ(StockCards(), 60);
    EXPECT_FALSE(game.NewNumberWanted());
    EXPECT_EQ(game.RequestedNumber(), 4711u);
    EXPECT_FALSE(On(TGameAction::GoToBookmark));

    EditSettings(game, [](TSettings& s) { s.ConfirmReplayGame = false; });
    game.RestartGame();
    EXPECT_EQ(host.Questions.size(), 2u);
}

TEST_F(History, ChangingTheUndoLevelReevaluatesUndoAndRedo) {
    Deal(2);
    Steps(3);
    game.UndoMove();
    EditSettings(game, [](TSettings& s) { s.UndoOption = 0; });
    game.UndoOptionChanged();
    EXPECT_FALSE(On(TGameAction::Undo));
    EXPECT_FALSE(On(TGameAction::Redo));
    EditSettings(game, [](TSettings& s) { s.UndoOption = 1; });
    game.UndoOptionChanged();
    EXPECT_TRUE(On(TGameAction::Undo));
    EXPECT_TRUE(On(TGameAction::Redo));
}

TEST_F(History, NewGameAndSelectShuffleFollowTheirAnswers) {
    Deal(2, 500);
    Steps(2);
    host.Answers = {false};
    EXPECT_FALSE(game.NewGame());
    EXPECT_EQ(host.Questions.back(), "Quite this game?");
    EXPECT_EQ(game.MoveIndex(), 2);

    game.SelectShuffle(std::nullopt);  // cancelled
    EXPECT_TRUE(game.NewNumberWanted());
    EXPECT_EQ(game.MoveIndex(), 2);

    // A refused number is not a cancel: the requested number stays the policy.
    game.DealGameNumber(gkTriskClassic, 500);
    Steps(2);
    for (const char* bad : {"", "4294967296", "12a", "-1", "99999999999999999999"}) {
        game.SelectShuffle(std::string(bad));
        EXPECT_EQ(host.Messages.back(), "Invalid game number.") << bad;
        EXPECT_FALSE(game.NewNumberWanted()) << bad;
        EXPECT_EQ(game.MoveIndex(), 2) << bad;
    }
    EXPECT_EQ(host.Questions.size(), 1u) << "no question for a refused number";

    host.Answers = {true, true, false};
    game.SelectShuffle(std::string("4294967295"));
    EXPECT_EQ(game.Board().Deck.GameNumber, 4294967295u);
    game.SelectShuffle(std::string("0"));
    EXPECT_EQ(game.Board().Deck.GameNumber, 0u);
    EXPECT_EQ(game.RequestedNumber(), 0u);
    Steps(1);
    game.SelectShuffle(std::string("77"));  // declined
    EXPECT_EQ(game.Board().Deck.GameNumber, 0u);
    EXPECT_EQ(game.MoveIndex(), 1);
}

TEST_F(History, ADeclinedKindSwitchKeepsTheKindAndTheGame) {
    Deal(2, 31);
    Steps(2);
    host.Answers = {false};
    EXPECT_FALSE(game.SwitchGameKind(gkTriskStrong));
    EXPECT_EQ(game.GameKind(), gkTriskClassic);
    EXPECT_EQ(game.MoveIndex(), 2);
    EXPECT_EQ(host.ShownKind, gkTriskClassic);

    EditSettings(game, [](TSettings& s) { s.ConfirmNewGame = false; });
    EXPECT_TRUE(game.SwitchGameKind(gkDiamond));
    EXPECT_EQ(game.GameKind(), gkDiamond);
    EXPECT_EQ(host.ShownKind, gkDiamond);
    EXPECT_EQ(host.Title, "Solitaire Trisk - Diamond");
    EXPECT_EQ(StockCards(), 20);
    EXPECT_TRUE(game.NewNumberWanted());
}

}  // namespace
}  // namespace trisk
