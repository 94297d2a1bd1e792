// The window's side of TGameHost: what the game shows of itself, carried out
// with Qt.
#include <QAction>
#include <QTimer>

#include "shell/hint.h"
#include "shell/main_form.h"
#include "table/status_panels.h"
#include "table/status_texts.h"
#include "table/table_view.h"

namespace trisk {

namespace {

QString FromCore(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void TMainForm::PlaySound(const char* name) {
    // The game has looked at EnableSound already.
    services_.Sound->PlayCardSetSound(QString::fromLatin1(name), true);
}

// Every change of the game is shown through these two: the hint hears of it here.
void TMainForm::InvalidateTable() {
    if (hint_) hint_->GameChanged();
    Table->update();
}

void TMainForm::PaintTable() {
    if (hint_) hint_->GameChanged();
    Table->PaintTable();
}

void TMainForm::ShowTitle(TGameKind kind) {
    setWindowTitle(FromCore(TitleText(kind)));
}

void TMainForm::ShowGameNumber(uint32_t number) {
    SetStatusText(TStatusPanel::GameNumber, GameNumberText(number));
}

void TMainForm::ShowMoves(int32_t moveIndex, int32_t actionCount) {
    SetStatusText(TStatusPanel::Moves, MovesText(moveIndex, actionCount));
}

void TMainForm::ClearClock() {
    SetStatusText(TStatusPanel::Clock, "");
}

void TMainForm::SetStatusText(TStatusPanel panel, const std::string& text) {
    panels_->SetText(panel, FromCore(text));
}

QString TMainForm::StatusText(TStatusPanel panel) const {
    return panels_->Text(panel);
}

void TMainForm::SetCursor(TCursor cursor) {
    // The busy cursor stays while a hint is being searched.
    if (hint_ && hint_->Searching()) return;
    Table->setCursor(cursor == TCursor::Hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TMainForm::ShowGameKind(TGameKind kind) {
    shownKind_ = kind;
    ApplyKindChecks(kind);
}

void TMainForm::ActionEnabledChanged(TGameAction action, bool enabled) {
    switch (action) {
        case TGameAction::Undo:
            aUndo->setEnabled(enabled);
            break;
        case TGameAction::Redo:
            aRedo->setEnabled(enabled);
            break;
        case TGameAction::GoToBookmark:
            aGoToBookmark->setEnabled(enabled);
            break;
    }
}

bool TMainForm::DealPause(unsigned milliseconds) {
    // The card just dealt is on screen already (PaintTable repaints at once).
    // Pointer and key input wait until the deal is over and then act in the
    // order they came; timers and paint requests go on meanwhile.
    inputHold_.Hold();
    DealTimer->start(static_cast<int>(milliseconds));
    return false;
}

void TMainForm::DealTimerTimer() {
    game_.ContinueDeal();
    if (!game_.Dealing()) inputHold_.Release();
}

void TMainForm::StartGameTimer() {
    if (!GameTimer->isActive()) GameTimer->start();
}

void TMainForm::StopGameTimer() {
    GameTimer->stop();
}

}  // namespace trisk
