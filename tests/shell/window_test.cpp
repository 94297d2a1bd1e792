// Minimising and restoring the window, Escape, the tray (an icon of the
// test's own) and the exit question. However the window leaves and comes
// back, the clock pauses and resumes once: ten minutes away leave the time
// shown as it was.
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

struct TFakeTray : TTrayIcon {
    void Attach(const QIcon&, const QString&, QMenu*) override {}
    bool Available = true;
    bool Shown = false;
    bool IsAvailable() const override { return Available; }
    void Add() override { Shown = true; }
    void Delete() override { Shown = false; }
    bool IsShown() const override { return Shown; }
};

struct TTrayWindow : TWindow {
    TFakeTray& Tray;
    TTrayWindow()
        : TWindow([](TServices& s) { s.TrayIcon = std::make_unique<TFakeTray>(); }),
          Tray(static_cast<TFakeTray&>(*Form->TrayIcon())) {}

    bool StartShown(bool toTray, bool onEscape) {
        if (!Start()) return false;
        TSettings s = Game().Settings();
        s.MinimizeToTray = toTray;
        s.MinimizeToEscape = onEscape;
        Game().SetSettings(s);
        Now = 5000;  // five seconds into the game
        return ShowActive();
    }
    void Escape() { QTest::keyClick(Form.get(), Qt::Key_Escape); }
    // Paused with the five seconds kept, ten minutes pass.
    bool PausedAway() {
        const bool paused = !Named<QTimer>(Form.get(), "GameTimer")->isActive() &&
                            Game().Clock().GameStartTicks() == 5000;
        Now += 600000;
        return paused;
    }
    bool ResumedAsBefore() {
        return Named<QTimer>(Form.get(), "GameTimer")->isActive() &&
               Game().Clock().ElapsedTicks() == 5000;
    }
};

}  // namespace

class TWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void everyTripAwayPausesTheClockOnce();
    void exitQuestionGuardsEveryClose();
};

void TWindowTest::everyTripAwayPausesTheClockOnce() {
    TTrayWindow w;
    QVERIFY(w.StartShown(false, false));
    w.Escape();  // Escape not allowed: nothing
    QVERIFY(!w.Form->isMinimized() && Named<QTimer>(w.Form.get(), "GameTimer")->isActive());
    w.Form->showMinimized();  // the system's minimise, to the taskbar
    QVERIFY(w.PausedAway());
    QVERIFY(!w.Tray.Shown);
    w.Form->showNormal();
    QVERIFY(w.ResumedAsBefore());

    TTrayWindow e;
    QVERIFY(e.StartShown(false, true));
    e.Escape();
    QVERIFY(e.Form->isMinimized() && e.PausedAway());
    e.Form->showNormal();
    QVERIFY(e.ResumedAsBefore());

    TTrayWindow t;
    QVERIFY(t.StartShown(true, true));
    t.Form->showMinimized();
    QTRY_VERIFY(!t.Form->isVisible());
    QVERIFY(t.Tray.Shown && t.PausedAway());
    t.Tray.OnLeftClick();
    QVERIFY(t.Form->isVisible() && !t.Form->isMinimized() && !t.Tray.Shown);
    QVERIFY(t.ResumedAsBefore());
    t.Escape();
    QVERIFY(!t.Form->isVisible() && t.Tray.Shown && t.PausedAway());
    QCOMPARE(Named<QMenu>(t.Form.get(), "pmTray")->actions(),
             (QList<QAction*>{Named<QAction>(t.Form.get(), "pmRestore"),
                              Named<QAction>(t.Form.get(), "pmExitItem")}));
    Named<QAction>(t.Form.get(), "pmRestore")->trigger();
    Named<QAction>(t.Form.get(), "pmRestore")->trigger();  // back already: nothing more
    QVERIFY(t.Form->isVisible() && !t.Tray.Shown && t.ResumedAsBefore());

    // No notification area: the taskbar instead, or the window could never
    // come back.
    TTrayWindow n;
    n.Tray.Available = false;
    QVERIFY(n.StartShown(true, true));
    n.Escape();
    QVERIFY(n.Form->isVisible() && n.Form->isMinimized() && !n.Tray.Shown);
}

void TWindowTest::exitQuestionGuardsEveryClose() {
    TSettingsFolder folder;
    TTrayWindow w;
    QVERIFY(w.StartShown(true, true));
    const QString question = "Are you sure you want to exit Solitaire Trisk?";
    QTest::keyClick(w.Form.get(), Qt::Key_F10);
    w.Form->close();  // the close box takes the same path
    QCOMPARE(w.Questions, QStringList({question, question}));
    QVERIFY(w.Form->isVisible());
    QVERIFY(!QFile::exists(folder.File()));

    // Yes: closed, the icon gone, the five values written.
    w.Escape();
    w.Answers = {true};
    Named<QAction>(w.Form.get(), "pmExitItem")->trigger();
    QVERIFY(!w.Tray.Shown);
    QVERIFY(QFile::exists(folder.File()));

    // Without the question the close goes ahead at once.
    TTrayWindow quiet;
    QVERIFY(quiet.StartShown(false, false));
    TSettings s = quiet.Game().Settings();
    s.ConfirmExit = false;
    quiet.Game().SetSettings(s);
    QTest::keyClick(quiet.Form.get(), Qt::Key_F10);
    QVERIFY(quiet.Questions.isEmpty());
    QVERIFY(!quiet.Form->isVisible());
}

QTEST_MAIN(TWindowTest)
#include "window_test.moc"
