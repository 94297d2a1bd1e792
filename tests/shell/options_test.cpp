// The Options dialog: how it is filled, and what OK and Cancel do to the
// settings, the association, the store and the Undo and Redo commands.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

struct TRecordedAssociation : TFileAssociation {
    QStringList& Calls;
    explicit TRecordedAssociation(QStringList& calls) : Calls(calls) {}
    void SetUp(const QString& programPath) override { Calls << "SetUp " + programPath; }
    void Remove() override { Calls << "Remove"; }
};

struct TOptionsWindow : TWindow {
    QStringList AssociationCalls;
    TOptionsWindow()
        : TWindow([this](TServices& s) {
              s.Association = std::make_unique<TRecordedAssociation>(AssociationCalls);
          }) {}
    // Runs the Options command: change edits the controls, its result closes
    // the dialog with OK (true) or Cancel.
    void Options(std::function<bool(TOptionsForm&)> change) {
        Dialogs.OptionsAnswer = std::move(change);
        Named<QAction>(Form.get(), "aOptions")->trigger();
    }
    // The start number typed and OK: IncrementFrom afterwards.
    uint32_t TypeStartNumber(const QString& text) {
        Options([text](TOptionsForm& f) {
            f.edIncrementFrom->setText(text);
            return true;
        });
        return Game().Settings().IncrementFrom;
    }
};

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Vemodo", "Solitaire Trisk");
}

}  // namespace

class TOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void cancelKeepsNothingAndTheFormShowsTheSettings();
    void okTakesEverythingAtOnceAndStoresNine();
    void undoLevelSetsUndoAndRedo();
};

void TOptionsTest::cancelKeepsNothingAndTheFormShowsTheSettings() {
    TSettingsFolder folder;
    TOptionsWindow w;
    QVERIFY(w.Start());
    QVERIFY(!w.Form->findChild<TOptionsForm*>("OptionsForm"));  // made when first asked for
    TOptionsForm* form = nullptr;
    QList<bool> editEnabled;
    w.Options([&](TOptionsForm& f) {
        form = &f;
        editEnabled << f.edIncrementFrom->isEnabled();
        f.rbIncrement->click();
        editEnabled << f.edIncrementFrom->isEnabled();
        f.rbRandom->click();
        editEnabled << f.edIncrementFrom->isEnabled();
        f.rbIncrement->click();
        f.cbEnableSound->setChecked(false);
        f.rbUndoDisabled->setChecked(true);
        f.edIncrementFrom->clear();
        QTest::keyClicks(f.edIncrementFrom, "7a7-");  // digits only
        return false;
    });
    QCOMPARE(editEnabled, QList<bool>({false, true, false}));
    QCOMPARE(form->edIncrementFrom->text(), QString("77"));
    const TSettings& s = w.Game().Settings();
    QVERIFY(s.EnableSound);
    QCOMPARE(std::tuple(s.UndoOption, s.GameNumberType, s.IncrementFrom), std::tuple(2, 0, 0u));
    QVERIFY(w.AssociationCalls.isEmpty());
    QVERIFY(Store().allKeys().isEmpty());

    // The same form again, showing the settings, not the abandoned edits;
    // in order mode the start number can be edited.
    TSettings inOrder = s;
    inOrder.GameNumberType = 1;
    w.Game().SetSettings(inOrder);
    bool shown = false;
    w.Options([&](TOptionsForm& f) {
        shown = &f == form && f.cbEnableSound->isChecked() && f.rbUndoUnlimited->isChecked() &&
                f.rbIncrement->isChecked() && f.edIncrementFrom->isEnabled() &&
                f.edIncrementFrom->text() == "0";
        return false;
    });
    QVERIFY(shown);
    QCOMPARE(w.Dialogs.OptionsShown, 2);
}

void TOptionsTest::okTakesEverythingAtOnceAndStoresNine() {
    TSettingsFolder folder;
    TOptionsWindow w;
    QVERIFY(w.Start());
    w.Options([](TOptionsForm& f) {
        for (QCheckBox* box :
             {f.cbEnableSound, f.cbConfirmNewGame, f.cbConfirmReplayGame, f.cbConfirmExit,
              f.cbMinimizeToTray, f.cbMinimizeToEscape, f.cbFileAssociation}) {
            box->toggle();
        }
        f.rbUndoOne->setChecked(true);
        f.rbIncrement->click();
        f.edIncrementFrom->setText("4294967295");
        return true;
    });
    const TSettings& s = w.Game().Settings();
    QVERIFY(!s.EnableSound && !s.ConfirmNewGame && !s.ConfirmReplayGame && !s.ConfirmExit);
    QVERIFY(s.MinimizeToTray && s.MinimizeToEscape && !s.SetFileAssociation);
    QCOMPARE(std::tuple(s.UndoOption, s.GameNumberType), std::tuple(1, 1));
    QCOMPARE(w.AssociationCalls, QStringList{"Remove"});
    QCOMPARE(Store().allKeys(),
             QStringList({"ConfirmExit", "ConfirmNewGame", "ConfirmReplayGame", "EnableSound",
                          "GameNumberType", "MinimizeToEscape", "MinimizeToTray",
                          "SetFileAssociation", "UndoOption"}));
    // In effect at once: New Game asks nothing and counts from the number
    // typed, wrapping after the largest.
    Named<QAction>(w.Form.get(), "aNewGame")->trigger();
    QCOMPARE(w.Game().Board().Deck.GameNumber, 4294967295u);
    Named<QAction>(w.Form.get(), "aNewGame")->trigger();
    QCOMPARE(w.Game().Board().Deck.GameNumber, 0u);
    QVERIFY(w.Questions.isEmpty());

    // Start numbers beyond 32 bits and empty ones are ignored; every OK sets
    // the association up or removes it again.
    QCOMPARE(w.TypeStartNumber("4294967295"), 4294967295u);
    QCOMPARE(w.TypeStartNumber("4294967296"), 4294967295u);
    QCOMPARE(w.TypeStartNumber(""), 4294967295u);
    QCOMPARE(w.AssociationCalls, QStringList(4, "Remove"));
    QVERIFY(w.Messages.isEmpty());
    // Typing takes digits only, but pasted text goes in whole: text that is
    // no number is reported and kept out; the rest of the OK is taken and
    // stored all the same.
    w.Options([](TOptionsForm& f) {
        f.edIncrementFrom->clear();
        QTest::keyClicks(f.edIncrementFrom, "1a2 ");
        QGuiApplication::clipboard()->setText("ab");
        f.edIncrementFrom->paste();
        f.cbFileAssociation->setChecked(true);
        f.cbEnableSound->setChecked(true);
        return true;
    });
    QCOMPARE(w.Messages, QStringList{"'12ab' is not a valid integer value"});
    QCOMPARE(s.IncrementFrom, 4294967295u);
    QVERIFY(s.EnableSound);
    QVERIFY(w.AssociationCalls.last().startsWith("SetUp /"));
    QCOMPARE(Store().value("EnableSound").toString(), QString("1"));

    w.Form->close();  // no question now: Confirm on exit is off
    QCOMPARE(Store().allKeys().size(), 14);
}

void TOptionsTest::undoLevelSetsUndoAndRedo() {
    TSettingsFolder folder;
    TOptionsWindow w;
    QVERIFY(w.Start());
    // Two deals from the stock, one taken back: Undo and Redo both have work.
    w.Deal(gkTriskClassic, 1);
    w.Release(25, 47);
    w.Release(25, 47);
    QCOMPARE(w.Game().MoveIndex(), 2);
    Named<QAction>(w.Form.get(), "aUndo")->trigger();
    auto undoRedo = [&] {
        return std::pair(Named<QAction>(w.Form.get(), "aUndo")->isEnabled(),
                         Named<QAction>(w.Form.get(), "aRedo")->isEnabled());
    };
    QCOMPARE(undoRedo(), std::pair(true, true));
    auto level = [&](QRadioButton* TOptionsForm::*button) {
        w.Options([button](TOptionsForm& f) {
            (f.*button)->setChecked(true);
            return true;
        });
    };
    level(&TOptionsForm::rbUndoDisabled);
    QCOMPARE(undoRedo(), std::pair(false, false));
    level(&TOptionsForm::rbUndoUnlimited);
    QCOMPARE(undoRedo(), std::pair(true, true));
    Named<QAction>(w.Form.get(), "aUndo")->trigger();
    QCOMPARE(w.Game().MoveIndex(), 0);
}

QTEST_MAIN(TOptionsTest)
#include "options_test.moc"
