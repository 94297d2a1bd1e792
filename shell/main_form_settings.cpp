// The window's preferences: reading them at start-up, the Options command,
// and what the close writes and releases.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>

#include "shell/main_form.h"
#include "shell/options_form.h"
#include "table/resource_module.h"
#include "table/sound.h"

namespace trisk {

// Start-up: the fourteen values, each taking effect as it is read. The game
// kind and the card set follow in FormCreate from the settings read here.
void TMainForm::ReadSettings() {
    settingsOpen_ = true;
    const TStoredSettings stored = services_.Settings->Read();
    game_.SetSettings(stored.Settings);
    ToolbarItem->setChecked(stored.ShowToolBar);
    MainToolBar->setVisible(ToolbarItem->isChecked());
    StatusbarItem->setChecked(stored.ShowStatusBar);
    StatusBar->setVisible(StatusbarItem->isChecked());
}

void TMainForm::aOptionsExecute() {
    // The Options dialog is made when first asked for, not at start-up, and
    // kept hidden between uses.
    if (!OptionsForm) OptionsForm = new TOptionsForm(this);
    TOptionsForm& form = *OptionsForm;
    TSettings settings = game_.Settings();
    form.cbEnableSound->setChecked(settings.EnableSound);
    form.cbConfirmNewGame->setChecked(settings.ConfirmNewGame);
    form.cbConfirmReplayGame->setChecked(settings.ConfirmReplayGame);
    form.cbConfirmExit->setChecked(settings.ConfirmExit);
    form.cbMinimizeToTray->setChecked(settings.MinimizeToTray);
    form.cbMinimizeToEscape->setChecked(settings.MinimizeToEscape);
    form.cbFileAssociation->setChecked(settings.SetFileAssociation);
    QRadioButton* const undoLevels[] = {form.rbUndoDisabled, form.rbUndoOne, form.rbUndoUnlimited};
    undoLevels[settings.UndoOption == 0 || settings.UndoOption == 1 ? settings.UndoOption : 2]
        ->setChecked(true);
    const bool inOrder = settings.GameNumberType == 1;
    (inOrder ? form.rbIncrement : form.rbRandom)->setChecked(true);
    form.edIncrementFrom->setEnabled(inOrder);
    form.edIncrementFrom->setText(QString::number(settings.IncrementFrom));

    if (!dialogs_.ShowOptions(form)) return;

    settings = game_.Settings();
    settings.EnableSound = form.cbEnableSound->isChecked();
    settings.ConfirmNewGame = form.cbConfirmNewGame->isChecked();
    settings.ConfirmReplayGame = form.cbConfirmReplayGame->isChecked();
    settings.ConfirmExit = form.cbConfirmExit->isChecked();
    settings.MinimizeToTray = form.cbMinimizeToTray->isChecked();
    settings.MinimizeToEscape = form.cbMinimizeToEscape->isChecked();
    settings.SetFileAssociation = form.cbFileAssociation->isChecked();
    game_.SetSettings(settings);

    // Set up or removed on every OK, changed or not.
    if (settings.SetFileAssociation) {
        services_.Association->SetUp(QCoreApplication::applicationFilePath());
    } else {
        services_.Association->Remove();
    }

    settings.UndoOption = form.rbUndoDisabled->isChecked() ? 0
                          : form.rbUndoOne->isChecked()    ? 1
                                                           : 2;
    game_.SetSettings(settings);
    game_.UndoOptionChanged();

    settings.GameNumberType = form.rbIncrement->isChecked() ? 1 : 0;

    // The start number is taken even while its edit is disabled. A number
    // beyond 32 bits is ignored without a word; text that is no number at all
    // is reported, and the rest of the step still completes, so that nothing
    // taken above stays in effect without being stored.
    const QString text = form.edIncrementFrom->text();
    if (!text.isEmpty()) {
        bool isNumber = false;
        const qlonglong value = text.toLongLong(&isNumber);
        if (!isNumber) {
            dialogs_.ShowMessage(
                QString("'%1' is not a valid integer value").arg(text).toStdString(),
                TMessageKind::Plain);
        } else if (value >= 0 && value <= 4294967295ll) {
            settings.IncrementFrom = static_cast<uint32_t>(value);
        }
    }
    game_.SetSettings(settings);

    // IncrementFrom is stored at close.
    if (settingsOpen_) services_.Settings->WriteOptions(settings);
}

// Tear-down, once the close is allowed: the five values, the tray icon, the
// card-set library and the store.
void TMainForm::FormClose() {
    if (settingsOpen_) {
        TCloseSettings values;
        values.IncrementFrom = game_.Settings().IncrementFrom;
        values.GameId = game_.GameKind();
        values.ShowToolBar = ToolbarItem->isChecked();
        values.ShowStatusBar = StatusbarItem->isChecked();
        values.CardSet = game_.Settings().CardSet;
        services_.Settings->WriteOnClose(values);
    }
    if (services_.TrayIcon) services_.TrayIcon->Delete();
    services_.Sound->SetLibrary(nullptr);
    IList.ForgetLibrary();
    CardSetLibrary.reset();
    if (settingsOpen_) services_.Settings->Close();
    settingsOpen_ = false;
    // Qt ends the run when the last visible window closes. A window hidden in
    // the tray is not visible, so its close has to end the run itself.
    if (!isVisible()) QCoreApplication::quit();
}

}  // namespace trisk
