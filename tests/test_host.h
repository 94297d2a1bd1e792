// A host that records what the game asks of the window, for the core tests.
#pragma once

#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/position_builder.h"
#include "history/game.h"

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
    void SetStatusText(TStatusPanel panel, const std::string& text) override {
        Panels[panel] = text;
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
    std::map<TStatusPanel, std::string> Panels;
    TCursor Cursor = TCursor::Arrow;
    TGameKind ShownKind = gkTriskClassic;
    uint32_t Now = 0;
    bool TimerRunning = false;
};

// Changes the position on the table by hand; nothing is picked up afterwards.
template <class Edit>
void EditPosition(TGame& game, Edit edit) {
    TPosition position = game.Position();
    edit(position);
    game.SetPosition(position);
}
template <class Edit>
void EditSettings(TGame& game, Edit edit) {
    TSettings settings = game.Settings();
    edit(settings);
    game.SetSettings(settings);
}

// Positions built by hand: an empty table of the game's kind (the stock keeps
// its cards), then cards put on piles bottom first.
inline void ClearTable(TGame& game) {
    EditPosition(game, [](TPosition& p) { p.Board.ClearBlock(p.Kind); });
}
inline void EmptyStock(TGame& game) {
    EditPosition(game, [](TPosition& p) { EmptyStock(p); });
}
inline void Place(TGame& game, int group, int pile, std::initializer_list<TCard> cards) {
    EditPosition(game, [&](TPosition& p) { Place(p, group, pile, cards); });
}
// Picks up the top card of the pile as a click would ("UP" and a repaint).
inline void Pick(TGame& game, int group, int pile) {
    game.PickUp(group, pile, 0, 0);
}
inline int Top(const TGame& game, int group, int pile) {
    return Top(game.Position(), group, pile);
}
inline int Count(const TGame& game, int group, int pile) {
    return game.Board().CardCount(game.GameKind(), group, pile);
}

}  // namespace trisk::test
