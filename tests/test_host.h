// A host that records what the game asks of the window, for the core tests.
#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/game.h"

namespace trisk::test {

class TRecordingHost : public TGameHost {
  public:
    void ShowMessage(const std::string& text, TMessageKind kind) override {
        Messages.push_back(text);
        MessageKinds.push_back(kind);
    }
    bool AskQuestion(const std::string& text) override {
        Questions.push_back(text);
        if (Answers.empty()) return false;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void PlaySound(const char* name) override { Sounds.emplace_back(name); }
    void InvalidateTable() override { ++Invalidations; }
    void PaintTable() override { ++Paints; }
    void SetTitle(const std::string& title) override { Title = title; }
    void SetStatusText(int panel, const std::string& text) override {
        if (panel >= 0 && panel < 5) Panels[panel] = text;
    }
    void SetCursor(TCursor cursor) override { Cursor = cursor; }
    void ShowGameKind(TGameKind kind) override { ShownKind = kind; }
    void ActionEnabledChanged(TGameAction, bool) override { ++ActionChanges; }
    void DealPause(unsigned ms) override { Pauses.push_back(ms); }
    uint32_t TickCount() override { return Now; }
    void StartGameTimer() override { TimerRunning = true; }
    void StopGameTimer() override { TimerRunning = false; }
    bool ShowGameOver(bool won) override {
        GameOvers.push_back(won);
        return PlayAgain;
    }

    std::vector<std::string> Messages;
    std::vector<TMessageKind> MessageKinds;
    std::vector<std::string> Questions;
    std::deque<bool> Answers;
    std::vector<std::string> Sounds;
    std::vector<unsigned> Pauses;
    std::vector<bool> GameOvers;
    bool PlayAgain = false;
    int Invalidations = 0;
    int Paints = 0;
    int ActionChanges = 0;
    std::string Title;
    std::string Panels[5];
    TCursor Cursor = TCursor::Arrow;
    TGameKind ShownKind = gkTriskClassic;
    uint32_t Now = 0;
    bool TimerRunning = false;
};

// Deals game `number` of `kind` as Select Shuffle would.
inline void DealNumber(TGame& game, TGameKind kind, uint32_t number) {
    game.GameKind = kind;
    game.RequestedNumber = number;
    game.NewNumberWanted = false;
    game.StartGame();
}

// Positions built by hand: an empty table of the game's kind, then cards
// put on piles bottom first.
inline void ClearTable(TGame& game) {
    game.Board.ClearBlock(game.GameKind);
}
inline void EmptyStock(TGame& game) {
    for (TCard& card : game.Board.Deck.Cards)
        card.Present = 0;
}
inline TCard C(int suit, int rank) {
    return TCard::Make(suit, rank);
}
inline void Place(TGame& game, int group, int pile, std::initializer_list<TCard> cards) {
    for (const TCard& card : cards) {
        TFault fault = TFault::None;
        game.Board.PutCard(game.GameKind, group, pile, false, card, fault);
    }
}
inline void Pick(TGame& game, int group, int pile) {
    game.SelGroup = group;
    game.SelPile = pile;
    game.Highlighted = true;
}
// The top card as suit * 13 + rank, or -1 for an empty pile.
inline int Top(const TGame& game, int group, int pile) {
    const TPile& cards = game.Board.Pile(game.GameKind, group, pile);
    for (int i = kDeckSize - 1; i >= 0; --i) {
        if (cards.Cards[i].Present) return cards.Cards[i].Suit * 13 + cards.Cards[i].Rank;
    }
    return -1;
}

// A cleared table of one kind, on which drops are asked by hand.
class TRulesFixture : public ::testing::Test {
  protected:
    void SetKind(TGameKind kind, uint32_t number = 77) {
        DealNumber(game, kind, number);
        ClearTable(game);
    }
    // May the top card of (fromGroup, fromPile) go onto (toGroup, toPile)?
    bool Drop(int fromGroup, int fromPile, int toGroup, int toPile) {
        Pick(game, fromGroup, fromPile);
        return game.CanDrop(toGroup, toPile);
    }
    TRecordingHost host;
    TGame game{host};
};

}  // namespace trisk::test
