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
#include "table/status_texts.h"

namespace trisk::test {

class TRecordingHost : public TGameHost, public TGameDialogs, public TTickSource {
  public:
    // The game's services: this host as its dialogs and clock too, and the
    // given files (the machine's by default).
    TGameServices Services(TFileStore& files = PlatformFileStore()) {
        return {*this, *this, *this, files};
    }

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
    void ShowTitle(TGameKind kind) override { Title = TitleText(kind); }
    void ShowGameNumber(uint32_t number) override {
        Panels[TStatusPanel::GameNumber] = GameNumberText(number);
    }
    void ShowMoves(int32_t moveIndex, int32_t actionCount) override {
        Panels[TStatusPanel::Moves] = MovesText(moveIndex, actionCount);
    }
    void ClearClock() override { Panels[TStatusPanel::Clock] = ""; }
    void SetStatusText(TStatusPanel panel, const std::string& text) override {
        Panels[panel] = text;
    }
    void SetCursor(TCursor cursor) override { Cursor = cursor; }
    void ShowGameKind(TGameKind kind) override { ShownKind = kind; }
    void ActionEnabledChanged(TGameAction, bool) override { ++ActionChanges; }
    bool DealPause(unsigned ms) override {
        Pauses.push_back(ms);
        return true;
    }
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

// The machine's files, except that every write fails once it has taken
// FailAfter bytes: a full disk or a lost connection in the middle of a save.
class TFailingFileStore : public TFileStore {
  public:
    explicit TFailingFileStore(size_t failAfter) : FailAfter(failAfter) {}

    bool Exists(const std::string& path) override { return files_.Exists(path); }
    std::unique_ptr<TByteSource> OpenForReading(const std::string& path) override {
        return files_.OpenForReading(path);
    }
    bool WriteFileAtomically(const std::string& path, const TByteWriter& write) override {
        return files_.WriteFileAtomically(path, [&](TByteSink& sink) {
            TCutSink cut(sink, FailAfter);
            return write(cut);
        });
    }

    size_t FailAfter;

  private:
    struct TCutSink : TByteSink {
        TCutSink(TByteSink& to, size_t room) : To(to), Room(room) {}
        bool Put(const void* bytes, size_t count) override {
            if (count > Room) {
                To.Put(bytes, Room);
                Room = 0;
                return false;
            }
            Room -= count;
            return To.Put(bytes, count);
        }
        TByteSink& To;
        size_t Room;
    };
    TFileStore& files_ = PlatformFileStore();
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
