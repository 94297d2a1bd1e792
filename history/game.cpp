#include "history/game.h"

#include <cstring>

namespace trisk {

namespace {
constexpr const char* kAppTitle = "Solitaire Trisk";
}

TGame::TGame(TGameHost& host, TFileStore& files) : host_(host), files_(files) {
    position_.Board.Deck.Build();
    history_.SetUndoLevel(settings_.UndoOption);
}

void TGame::SetSettings(const TSettings& settings) {
    settings_ = settings;
    history_.SetUndoLevel(settings.UndoOption);
}

void TGame::ReportFaults(const TFaultLog& faults) {
    for (TFault fault : faults.Faults)
        host_.ShowMessage(FaultMessage(fault), TMessageKind::Information);
}

// The one place where the sound setting is looked at.
void TGame::PlaySound(const char* name) {
    if (settings_.EnableSound) host_.PlaySound(name);
}

void TGame::Repaint() {
    host_.PaintTable();
    SetStatus(TStatusPanel::Moves, MovesText());
}

void TGame::SyncActions() {
    const auto sync = [this](TGameAction action, bool& shown, bool enabled) {
        if (shown == enabled) return;
        shown = enabled;
        host_.ActionEnabledChanged(action, enabled);
    };
    sync(TGameAction::Undo, undoShown_, history_.UndoEnabled());
    sync(TGameAction::Redo, redoShown_, history_.RedoEnabled());
    sync(TGameAction::GoToBookmark, goToBookmarkShown_, history_.GoToBookmarkEnabled());
}

bool TGame::IsActionEnabled(TGameAction action) const {
    switch (action) {
        case TGameAction::Undo:
            return history_.UndoEnabled();
        case TGameAction::Redo:
            return history_.RedoEnabled();
        case TGameAction::GoToBookmark:
            return history_.GoToBookmarkEnabled();
    }
    return false;
}

// ---- starting a game ----

uint32_t TGame::ChooseGameNumber() {
    if (!newNumberWanted_) return requestedNumber_;
    if (settings_.GameNumberType == 0) {
        // NextLong never exceeds 2^31 - 1, so the modulo leaves it unchanged and
        // a random number lies in 1 .. 2^31.
        return ProgramRandom().NextLong() % 4294967295u + 1u;
    }
    return settings_.IncrementFrom++;
}

void TGame::StartGame() {
    selGroup_ = -1;
    highlighted_ = false;
    host_.InvalidateTable();
    // The shuffle reseeds the program's generator: the next random number
    // follows from the game dealt.
    TFaultLog faults;
    trisk::DealGame(position_, ChooseGameNumber(), ProgramRandom(), faults);
    ReportFaults(faults);
    TSolData dealt;
    FillEntry(dealt);
    history_.Reset(dealt);
    SyncActions();
    host_.SetTitle(TitleText());
    Repaint();
    SetStatus(TStatusPanel::GameNumber, GameNumberText());
    SetStatus(TStatusPanel::Clock, "");
    StartClock();
}

void TGame::DealGameNumber(TGameKind kind, uint32_t number) {
    position_.Kind = kind;
    requestedNumber_ = number;
    newNumberWanted_ = false;
    StartGame();
}

void TGame::SetPosition(const TPosition& position) {
    position_ = position;
    selGroup_ = -1;
    highlighted_ = false;
    TSolData entry;
    FillEntry(entry);
    history_.ReplaceCurrent(entry);
}

// ---- texts ----

std::string TGame::TitleText() const {
    return std::string(kAppTitle) + " - " + GameKindName(GameKind());
}

std::string TGame::GameNumberText() const {
    return "Game #" + std::to_string(Board().Deck.GameNumber);
}

std::string TGame::MovesText() const {
    return "Moves: " + std::to_string(MoveIndex()) + "/" + std::to_string(ActionCount());
}

// ---- the clock ----

void TGame::StartClock() {
    gameStartTicks_ = host_.TickCount();
    host_.StartGameTimer();
}

void TGame::StopClock() {
    host_.StopGameTimer();
}

void TGame::PauseClock() {
    host_.StopGameTimer();
    gameStartTicks_ = host_.TickCount() - gameStartTicks_;
}

void TGame::ResumeClock() {
    host_.StartGameTimer();
    gameStartTicks_ = host_.TickCount() - gameStartTicks_;
}

uint32_t TGame::ElapsedTicks() {
    return host_.TickCount() - gameStartTicks_;
}

void TGame::RestoreClock(uint32_t elapsed) {
    SetStatus(TStatusPanel::Clock, "");
    gameStartTicks_ = host_.TickCount() - elapsed;
    host_.StartGameTimer();
}

}  // namespace trisk
