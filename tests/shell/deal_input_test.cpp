// Pointer and key input that arrives from the window system while the stock
// deals waits until the last card is down, then acts in the order it came.
#include <qpa/qwindowsysteminterface.h>
#include <QTest>
#include <QTimer>

#include "window_fixture.h"

using namespace trisk;
using trisk::test::TWindow;

class TDealInputTest : public QObject {
    Q_OBJECT
  private slots:
    void clicksDuringADealActAfterIt();
    void aShortcutDuringADealActsAfterIt();
};

namespace {

// A press and release as the window system delivers them: queued, not sent.
void QueueClick(QWidget& table, QPoint at) {
    QWindow* window = table.window()->windowHandle();
    const QPointF local = table.mapTo(table.window(), at);
    const QPointF global = table.mapToGlobal(at);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}

}  // namespace

void TDealInputTest::clicksDuringADealActAfterIt() {
    TWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskStrong, 11);  // three cards a click: two pauses to land in
    w.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.Form.get()));
    const TPileSpot& outer = w.Spot(GroupOuter, 1);
    const int stock = w.Game().Board().Deck.CountCards();

    int stockWhenQueued = -1;
    int selectedDuringDeal = -2;
    QTimer::singleShot(20, w.Form.get(), [&] {
        stockWhenQueued = w.Game().Board().Deck.CountCards();
        QueueClick(*w.Table(), QPoint(outer.X + 20, outer.Y + 20));
        // Another pause of the same deal goes by with the click still queued.
        QTimer::singleShot(90, w.Form.get(), [&] { selectedDuringDeal = w.Game().SelGroup(); });
    });
    w.Release(60, 90);  // the stock: deals three cards with a pause after each
    QCOMPARE(w.Game().Board().Deck.CountCards(), stock - 3);
    QVERIFY2(stockWhenQueued > stock - 3, "the click was queued before the deal ended");
    QCOMPARE(selectedDuringDeal, -1);

    // Once the deal is over the queued click picks the outer pile's card up.
    QTRY_COMPARE(w.Game().SelGroup(), int(GroupOuter));
    QCOMPARE(w.Game().SelPile(), 1);
    QCOMPARE(w.Game().MoveIndex(), 1);
}

void TDealInputTest::aShortcutDuringADealActsAfterIt() {
    TWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskStrong, 11);
    QVERIFY(w.ShowActive());
    bool undoneWhileDealing = false;
    QObject::connect(w.Action("aUndo"), &QAction::triggered, w.Form.get(),
                     [&] { undoneWhileDealing |= w.Game().Dealing(); });
    QTimer::singleShot(20, w.Form.get(), [&] {
        // Ctrl+Z: Undo Move, a shortcut of the window.
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            w.Form->windowHandle(), QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            w.Form->windowHandle(), QEvent::KeyRelease, Qt::Key_Z, Qt::ControlModifier);
    });
    w.Release(60, 90);
    // The undo takes back the whole stock click, once it is recorded.
    QTRY_COMPARE(w.Game().MoveIndex(), 0);
    QVERIFY(!undoneWhileDealing);
}

QTEST_MAIN(TDealInputTest)
#include "deal_input_test.moc"
