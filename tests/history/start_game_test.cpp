#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "history/game.h"
#include "test_host.h"
#include "tools/tool.h"

namespace trisk {
namespace {

using test::TRecordingHost;

// The pile's cards, bottom to top, as (suit, rank) numbers.
std::vector<int> PileCards(const TGame& game, int group, int pile) {
    std::vector<int> cards;
    for (const TCard& card : game.Board().Pile(game.GameKind(), group, pile).Cards) {
        if (card.Present) cards.push_back(card.Suit * 13 + card.Rank);
    }
    return cards;
}

// The cards of the freshly shuffled deck in the given slots.
std::vector<int> DeckSlots(const TGame& game, std::vector<int> slots) {
    TDeck shuffled;
    shuffled.Shuffle(game.Board().Deck.GameNumber);
    for (int& slot : slots)
        slot = shuffled.Cards[slot].Suit * 13 + shuffled.Cards[slot].Rank;
    return slots;
}

std::vector<int> Range(int from, int to) {
    std::vector<int> r;
    for (int i = from; i <= to; ++i)
        r.push_back(i);
    return r;
}

int FirstStockSlot(const TGame& game) {
    for (int i = 0; i < kDeckSize; ++i) {
        if (game.Board().Deck.Cards[i].Present) return i;
    }
    return -1;
}

TEST(StartGame, DealsTheTombLayouts) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkTriskClassic, 1);
    EXPECT_EQ(PileCards(game, GroupInner, 0), DeckSlots(game, Range(0, 9)));
    EXPECT_EQ(PileCards(game, GroupOuter, 0), DeckSlots(game, std::vector<int>{10}));
    EXPECT_EQ(PileCards(game, GroupInner, 1), DeckSlots(game, Range(11, 20)));
    EXPECT_EQ(PileCards(game, GroupOuter, 1), DeckSlots(game, std::vector<int>{21}));
    EXPECT_EQ(PileCards(game, GroupInner, 3), DeckSlots(game, Range(33, 42)));
    EXPECT_EQ(PileCards(game, GroupOuter, 3), DeckSlots(game, std::vector<int>{43}));
    EXPECT_EQ(FirstStockSlot(game), 44);
    EXPECT_EQ(game.Board().Deck.CountCards(), 60);

    game.DealGameNumber(gkTriskStrong, 1);
    EXPECT_EQ(PileCards(game, GroupInner, 0), DeckSlots(game, Range(0, 11)));
    EXPECT_EQ(PileCards(game, GroupOuter, 0), DeckSlots(game, std::vector<int>{12}));
    EXPECT_EQ(PileCards(game, GroupInner, 1), DeckSlots(game, Range(13, 24)));
    EXPECT_EQ(FirstStockSlot(game), 52);
    EXPECT_EQ(game.Board().Deck.CountCards(), 52);
    for (int g : {GroupCorner, GroupSingle, GroupWaste}) {
        for (int p = 0; p < 5; ++p)
            EXPECT_FALSE(game.Board().IsNonEmpty(gkTriskStrong, g, p));
    }
}

TEST(StartGame, DealsTheDiamondLayout) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkDiamond, 1);
    EXPECT_EQ(PileCards(game, 0, 0), DeckSlots(game, Range(0, 6)));
    EXPECT_EQ(PileCards(game, 0, 1), DeckSlots(game, Range(7, 13)));
    EXPECT_EQ(PileCards(game, 1, 0), DeckSlots(game, Range(28, 34)));
    EXPECT_EQ(PileCards(game, 2, 3), DeckSlots(game, Range(77, 83)));
    EXPECT_EQ(FirstStockSlot(game), 84);
    EXPECT_EQ(game.Board().Deck.CountCards(), 20);
    EXPECT_FALSE(game.Board().IsNonEmpty(gkDiamond, GroupSingle, 0));
    EXPECT_FALSE(game.Board().IsNonEmpty(gkDiamond, GroupWaste, 0));
}

TEST(StartGame, ResetsTheGameAndShowsIt) {
    TRecordingHost host;
    TGame game(host.Services());
    // A game under way: moves, a bookmark, a redo entry and a card picked up.
    game.DealGameNumber(gkTriskStrong, 6);
    for (int i = 0; i < 4; ++i)
        game.ClickStock();
    game.InsertBookmark();
    game.UndoMove();
    test::Pick(game, GroupOuter, 2);
    ASSERT_TRUE(game.IsActionEnabled(TGameAction::Redo));
    ASSERT_TRUE(game.IsActionEnabled(TGameAction::GoToBookmark));
    host.Now = 5000;
    host.Sounds.clear();
    host.Invalidations = host.Paints = 0;
    game.DealGameNumber(gkTriskClassic, 2147483648u);

    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_FALSE(game.Highlighted());
    EXPECT_EQ(game.PassesLeft(), 5);
    EXPECT_EQ(game.MoveIndex(), 0);
    EXPECT_EQ(game.ActionCount(), 0);
    EXPECT_EQ(game.BookmarkIndex(), 0);
    ASSERT_EQ(game.History().Size(), 1u);
    EXPECT_EQ(game.History()[0].PassesLeft, 5);
    EXPECT_EQ(game.History()[0].SelGroup, -1);
    EXPECT_EQ(std::memcmp(&game.History()[0].Deck, &game.Board().Deck, sizeof(TDeck)), 0);
    EXPECT_EQ(std::memcmp(game.History()[0].TombPiles, game.Board().TombPiles,
                          sizeof game.Board().TombPiles),
              0);
    EXPECT_FALSE(game.IsActionEnabled(TGameAction::Undo));
    EXPECT_FALSE(game.IsActionEnabled(TGameAction::Redo));
    EXPECT_FALSE(game.IsActionEnabled(TGameAction::GoToBookmark));
    EXPECT_EQ(host.Title, "Solitaire Trisk - Napoleon's Tomb (classical)");
    EXPECT_EQ(host.Panels[TStatusPanel::GameNumber], "Game #2147483648");
    EXPECT_EQ(host.Panels[TStatusPanel::Clock], "");
    EXPECT_EQ(host.Panels[TStatusPanel::Moves], "Moves: 0/0");
    EXPECT_EQ(game.Clock().GameStartTicks(), 5000u);
    EXPECT_TRUE(host.TimerRunning);
    EXPECT_GE(host.Invalidations, 1);
    EXPECT_GE(host.Paints, 1);
    EXPECT_TRUE(host.Sounds.empty());
    EXPECT_TRUE(host.Messages.empty());
}

TEST(NumberPolicy, RandomRequestedAndIncremental) {
    TRecordingHost host;
    TGame game(host.Services());
    game.DealGameNumber(gkTriskClassic, 1);
    game.WantNewNumber();
    game.StartGame();
    EXPECT_EQ(game.Board().Deck.GameNumber, 1661391730u);
    // StartGame never changes the policy fields themselves.
    EXPECT_TRUE(game.NewNumberWanted());

    game.DealGameNumber(gkDiamond, 1000);
    game.WantNewNumber();
    game.StartGame();
    EXPECT_EQ(game.Board().Deck.GameNumber, 129356596u);

    for (int i = 0; i < 200; ++i) {
        game.StartGame();
        ASSERT_GE(game.Board().Deck.GameNumber, 1u);
        ASSERT_LE(game.Board().Deck.GameNumber, 2147483648u);
    }

    test::EditSettings(game, [](TSettings& s) {
        s.GameNumberType = 1;
        s.IncrementFrom = 4294967295u;
    });
    game.StartGame();
    EXPECT_EQ(game.Board().Deck.GameNumber, 4294967295u);
    EXPECT_EQ(game.Settings().IncrementFrom, 0u);
    game.StartGame();
    EXPECT_EQ(game.Board().Deck.GameNumber, 0u);
    EXPECT_EQ(game.Settings().IncrementFrom, 1u);

    // A requested number wins over the policy and leaves the series alone.
    game.DealGameNumber(gkDiamond, 31);
    EXPECT_EQ(game.Board().Deck.GameNumber, 31u);
    EXPECT_EQ(game.Settings().IncrementFrom, 1u);
}

TEST(ToolDeal, PrintsTheDealAndRefusesBadArguments) {
    std::ostringstream out, err;
    ASSERT_EQ(RunTool({"deal", "--kind", "3", "--number", "1"}, out, err), 0);
    const std::string text = out.str();
    EXPECT_NE(text.find("Diamond (kind 3)"), std::string::npos);
    EXPECT_NE(text.find("Game #1\n"), std::string::npos);
    EXPECT_NE(text.find("0.0 inner [7]:"), std::string::npos);
    EXPECT_NE(text.find("3.0 centre [0]:\n"), std::string::npos);
    EXPECT_NE(text.find("stock [20]:"), std::string::npos);
    // Slot 0 of game 1 is (2, 0): the bottom card of the first pile.
    EXPECT_NE(text.find("0.0 inner [7]: A2 "), std::string::npos);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"deal", "--kind", "4", "--number", "1"},
          {"deal", "--kind", "1", "--number", "4294967296"},
          {"deal", "--kind", "1", "--number", "-1"},
          {"deal", "--kind", "1", "--number", "12a"},
          {"deal", "--kind", "1"},
          {"deal", "--kind", "1", "--number", "1", "--extra", "x"},
          {"frobnicate"}}) {
        std::ostringstream o, e;
        EXPECT_EQ(RunTool(bad, o, e), 2) << bad.back();
        EXPECT_FALSE(e.str().empty());
    }
    std::ostringstream help, none;
    EXPECT_EQ(RunTool({"--help"}, help, none), 0);
    EXPECT_NE(help.str().find("suit number"), std::string::npos);
}

}  // namespace
}  // namespace trisk
