// The start and the end of a run: opening the card-set library, the first
// deal or the saved game given on the command line, and closing the window.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <ctime>

#include "menus/vomenus.h"
#include "shell/hint.h"
#include "shell/main_form.h"
#include "table/card_set_prefetch.h"
#include "table/resource_module.h"
#include "table/sound.h"

namespace trisk {

namespace {

std::string PathForCore(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

bool TMainForm::FormCreate(const QStringList& arguments, const QString& libraryPath) {
    return FormCreate(
        arguments, TCardSetPrefetch::Now(libraryPath, CardSetSheetName(game_.Settings().CardSet)));
}

bool TMainForm::FormCreate(const QStringList& arguments, TCardSetPrefetch cardSet) {
    TPreparedCardSet prepared = cardSet.Take();
    CardSetLibrary = std::move(prepared.Library);
    if (!CardSetLibrary) {
        dialogs_.ShowMessage("Unable to open cardset.dll.", TMessageKind::Plain);
        return false;
    }
    ProgramRandom().Seed(static_cast<uint32_t>(std::time(nullptr)));
    game_.WantNewNumber();
    GameTimer->start();

    ReadSettings();
    ReadZoom();
    const int32_t gameId = game_.Settings().GameId;
    game_.SetGameKind(IsValidGameKind(gameId) ? static_cast<TGameKind>(gameId) : gkTriskClassic);
    const QString sheetName = CardSetSheetName(game_.Settings().CardSet);
    if (prepared.SheetName == sheetName) {
        IList = std::move(prepared.Images);
        for (const QString& text : prepared.Messages)
            dialogs_.ShowMessage(text.toStdString(), TMessageKind::Plain);
    } else {
        LoadCardSet(IList, *CardSetLibrary, sheetName, [this](const QString& text) {
            dialogs_.ShowMessage(text.toStdString(), TMessageKind::Plain);
        });
    }
    services_.Sound->SetLibrary(CardSetLibrary.get());
    CreateTrayIcon();

    // The menu bar and the tray menu are painted by our own menu painter, in
    // the window's face. (A desktop that draws tray menus itself, over D-Bus,
    // shows the tray menu in its own style.)
    if (VoMenu) {
        VoMenu->SetFont(menuBar()->font());
        VoMenu->Add(menuBar());
        VoMenu->Add(pmTray);
        SizeToClientArea();
    }

    statistics_.Load();
    if (!arguments.isEmpty()) {
        game_.SetCommandLineMark(true);
        game_.LoadGameFromFile(PathForCore(arguments.first()));
    } else {
        game_.StartGame();
    }
    CreateCardSetChooser();
    return true;
}

void TMainForm::SetUpAssociationAtStart() {
    // Written again at every start, so that a program that was moved points
    // ".kxr" files at its new place.
    if (game_.Settings().SetFileAssociation)
        services_.Association->SetUp(QCoreApplication::applicationFilePath());
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    GameTimer->stop();
    services_.Sound->Stop();
    hint_->Cancel();
    statistics_.Finish(game_.ActionCount() > 0);
    FormClose();
    event->accept();
}

}  // namespace trisk
