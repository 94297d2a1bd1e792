#include "history/game.h"

#include <cstring>

namespace trisk {

TGame::TGame(const TGameServices& services)
    : host_(services.Host),
      dialogs_(services.Dialogs),
      files_(services.Files),
      clock_(services.Host, services.Ticks) {
    position_.Board.Deck.Build();
    history_.SetUndoLevel(settings_.UndoOption);
}

void TGame::SetSettings(const TSettings& settings) {
    settings_ = settings;
    history_.SetUndoLevel(settings.UndoOption);
}

void TGame::ReportFaults(const TFaultLog& faults) {
    for (TFault fault : faults.Faults)
        dialogs_.ShowMessage(FaultMessage(fault), TMessageKind::Information);
}

// The one place where the sound setting is looked at.
void TGame::PlaySound(const char* name) {
    if (settings_.EnableSound) host_.PlaySound(name);
}

void TGame::Repaint() {
    host_.PaintTable();
    ShowMoves();
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
    dealPiles_ = dealNext_ = 0;
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
    host_.ShowTitle(GameKind());
    Repaint();
    host_.ShowGameNumber(Board().Deck.GameNumber);
    host_.ClearClock();
    clock_.StartClock();
}

void TGame::DealGameNumber(TGameKind kind, uint32_t number) {
    position_.Kind = kind;
    requestedNumber_ = number;
    newNumberWanted_ = false;
    StartGame();
}

void TGame::SetPosition(const TPosition& position) {
    dealPiles_ = dealNext_ = 0;
    position_ = position;
    selGroup_ = -1;
    highlighted_ = false;
    TSolData entry;
    FillEntry(entry);
    history_.ReplaceCurrent(entry);
}

}  // namespace trisk
