// The window on a Wayland compositor through Qt's Wayland platform: it shows,
// the stock deals on a click, a card moves and the tray falls back
// (run_with_weston.sh starts a headless compositor first).
#include <QGuiApplication>
#include <QTest>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

// The compositor has no notification area here: Escape with "minimise to the
// tray" on leaves the window on the taskbar instead of hiding it for good.
void EscapeFindsNoTray(TWindow& w) {
    TSettings settings = w.Game().Settings();
    settings.MinimizeToTray = true;
    settings.MinimizeToEscape = true;
    w.Game().SetSettings(settings);
    QTest::keyClick(w.Form.get(), Qt::Key_Escape);
    QVERIFY(w.Form->isVisible());
    QVERIFY(!w.Form->TrayIcon()->IsAvailable());
}

}  // namespace

class TWaylandTest : public QObject {
    Q_OBJECT
  private slots:
    void playsOnTheCompositor();
};

void TWaylandTest::playsOnTheCompositor() {
    QCOMPARE(QGuiApplication::platformName(), QString("wayland"));
    TWindow w;
    QVERIFY(w.Start());
    w.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.Form.get()));
    QCOMPARE(w.Form->width(), 684);

    // A click on the stock deals.
    w.Deal(gkTriskClassic, 7);
    const int stock = w.Game().Board().Deck.CountCards();
    w.Release(60, 95);
    QVERIFY(w.Game().Board().Deck.CountCards() < stock);

    // The first card that some pile takes moves there.
    const TGameKind kind = w.Game().GameKind();
    for (const TPileSpot& from : SpotsForKind(kind)) {
        if (from.Group == GroupCorner || !w.Game().Board().IsNonEmpty(kind, from.Group, from.Pile))
            continue;
        w.ClickPile(from.Group, from.Pile);
        for (const TPileSpot& to : SpotsForKind(kind)) {
            if (&to == &from || !w.Game().CanDrop(to.Group, to.Pile)) continue;
            const int32_t moves = w.Game().MoveIndex();
            w.ClickPile(to.Group, to.Pile);
            QCOMPARE(w.Game().MoveIndex(), moves + 1);
            EscapeFindsNoTray(w);
            return;
        }
        w.ClickPile(from.Group, from.Pile, Qt::RightButton);
    }
    QFAIL("no move in the deal");
}

QTEST_MAIN(TWaylandTest)
#include "wayland_test.moc"
