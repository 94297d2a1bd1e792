// The window's side of TGameHost: what the game asks of the world, carried
// out with Qt.
#include <QAction>
#include <QEventLoop>
#include <QTimer>

#include "shell/hint.h"
#include "shell/main_form.h"
#include "shell/table_view.h"
#include "table/sound.h"
#include "table/status_panels.h"

namespace trisk {

namespace {

QString FromCore(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void TMainForm::ShowMessage(const std::string& text, TMessageKind kind) {
    if (kind == TMessageKind::Information) {
        dialogs_->ShowInformation(FromCore(text));
        return;
    }
    dialogs_->ShowMessage(FromCore(text));
}

bool TMainForm::AskQuestion(const std::string& text) {
    return dialogs_->AskQuestion(FromCore(text));
}

void TMainForm::PlaySound(const char* name) {
    // The game has looked at EnableSound already.
    if (Sound) Sound->PlayCardSetSound(QString::fromLatin1(name), true);
}

// Every change of the game is shown through these two: the hint hears of it here.
void TMainForm::InvalidateTable() {
    if (hint_) hint_->GameChanged();
    Table->update();
}

void TMainForm::PaintTable() {
    if (hint_) hint_->GameChanged();
    Table->repaint();
}

void TMainForm::SetTitle(const std::string& title) {
    setWindowTitle(FromCore(title));
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

void TMainForm::DealPause(unsigned milliseconds) {
    // The card just dealt is on screen already (PaintTable repaints at once).
    // Wait without taking pointer or key input: it stays queued and acts once
    // the deal is over, while timers and paint requests go on.
    dealing_ = true;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(milliseconds), &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    dealing_ = false;
}

uint32_t TMainForm::TickCount() {
    return ticks_->TickCount();
}

void TMainForm::StartGameTimer() {
    if (!GameTimer->isActive()) GameTimer->start();
}

void TMainForm::StopGameTimer() {
    GameTimer->stop();
}

bool TMainForm::ShowGameOver(bool won) {
    return dialogs_->ShowGameOver(won);
}

}  // namespace trisk
