// The window's commands: each turns into a call on the game; the window only
// mirrors what the game tells it. Also the clock's tick.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "shell/main_form.h"
#include "table/status_panels.h"
#include "table/status_texts.h"

namespace trisk {

namespace {

std::string PathForCore(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

void TMainForm::ConnectActions() {
    connect(aNewGame, &QAction::triggered, this, &TMainForm::aNewGameExecute);
    connect(aGameNumber, &QAction::triggered, this, &TMainForm::aGameNumberExecute);
    connect(aReplay, &QAction::triggered, this, [this] { game_.RestartGame(); });
    connect(aUndo, &QAction::triggered, this, [this] { game_.UndoMove(); });
    connect(aRedo, &QAction::triggered, this, [this] { game_.RedoMove(); });
    connect(aInsertBookmark, &QAction::triggered, this, [this] { game_.InsertBookmark(); });
    connect(aGoToBookmark, &QAction::triggered, this, [this] { game_.GoToBookmark(); });
    connect(aSaveGame, &QAction::triggered, this, &TMainForm::aSaveGameExecute);
    connect(aLoadGame, &QAction::triggered, this, &TMainForm::aLoadGameExecute);
    connect(aExit, &QAction::triggered, this, &TMainForm::aExitExecute);
    connect(aDiamond, &QAction::triggered, this, [this] { SwitchKind(gkDiamond); });
    connect(aTriskLite, &QAction::triggered, this, [this] { SwitchKind(gkTriskLite); });
    connect(aTriskClassic, &QAction::triggered, this, [this] { SwitchKind(gkTriskClassic); });
    connect(aTriskStrong, &QAction::triggered, this, [this] { SwitchKind(gkTriskStrong); });
    connect(aShowToolbar, &QAction::triggered, this, &TMainForm::aShowToolbarExecute);
    connect(aShowStatusbar, &QAction::triggered, this, &TMainForm::aShowStatusbarExecute);
    connect(aSelectCardSet, &QAction::triggered, this, &TMainForm::aSelectCardSetExecute);
    connect(aContents, &QAction::triggered, this, &TMainForm::aContentsExecute);
    connect(aHomepage, &QAction::triggered, this, &TMainForm::aHomepageExecute);
    connect(aAbout, &QAction::triggered, this, &TMainForm::aAboutExecute);
    connect(aOptions, &QAction::triggered, this, &TMainForm::aOptionsExecute);
    connect(aRestore, &QAction::triggered, this, &TMainForm::aRestoreExecute);
}

void TMainForm::aNewGameExecute() {
    game_.NewGame();
}

void TMainForm::aGameNumberExecute() {
    const std::optional<QString> text =
        dialogs_.AskGameNumber(QString::number(game_.Board().Deck.GameNumber));
    if (text) {
        game_.SelectShuffle(text->toStdString());
    } else {
        game_.SelectShuffle(std::nullopt);
    }
}

void TMainForm::aSaveGameExecute() {
    const QString path = dialogs_.GetSaveFileName(
        ProposedSaveName(game_.GameKind(), QDateTime::currentDateTime(), QLocale()));
    if (path.isEmpty()) return;
    game_.SaveGameToFile(PathForCore(path));
}

void TMainForm::aLoadGameExecute() {
    const QString path = dialogs_.GetOpenFileName();
    if (path.isEmpty()) return;
    game_.LoadGameFromFile(PathForCore(path));
}

void TMainForm::aExitExecute() {
    close();
}

void TMainForm::SwitchKind(TGameKind kind) {
    game_.SwitchGameKind(kind);
    // A declined switch leaves the checks of the game still on the table.
    ApplyKindChecks(shownKind_);
}

void TMainForm::aShowToolbarExecute() {
    ToolbarItem->setChecked(!ToolbarItem->isChecked());
    MainToolBar->setVisible(ToolbarItem->isChecked());
}

void TMainForm::aShowStatusbarExecute() {
    StatusbarItem->setChecked(!StatusbarItem->isChecked());
    StatusBar->setVisible(StatusbarItem->isChecked());
}

// ---- the table and the clock ----

void TMainForm::TablePainted() {
    if (firstPaintDone_) return;
    firstPaintDone_ = true;
    // Writing the ".kxr" association waits until the first table is on screen.
    QTimer::singleShot(0, this, &TMainForm::SetUpAssociationAtStart);
    // Ends the event loop without closing the window: no exit question, and
    // the settings are not written.
    if (exitAfterFirstPaint_) QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

void TMainForm::GameTimerTimer() {
    SetStatusText(TStatusPanel::Clock, FormatClock(game_.Clock().ElapsedTicks()));
}

}  // namespace trisk
