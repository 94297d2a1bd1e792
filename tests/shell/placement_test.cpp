// Where the window and its dialogs open under a window manager that frames
// them (openbox on a display of the test's own, run_with_tray.sh): the
// window's frame centred on the desktop, and a reused dialog centred on the
// window at every opening, not lower each time.
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "shell/options_form.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

class TPlacementTest : public QObject {
    Q_OBJECT
  private slots:
    void windowAndReusedDialogCentred();
};

namespace {

bool Framed(const QWidget& window) {
    return window.isVisible() && window.frameGeometry() != window.geometry();
}

// A frame's centre within a pixel or two of another's: frames of an odd size
// and dialogs framed a little thinner than the window cannot do better.
bool NearlyCentred(const QRect& frame, const QPoint& centre) {
    return qAbs(frame.center().x() - centre.x()) <= 2 && qAbs(frame.center().y() - centre.y()) <= 3;
}

}  // namespace

void TPlacementTest::windowAndReusedDialogCentred() {
    TWindow w;
    QVERIFY(w.Start());
    QVERIFY(w.ShowActive());
    TMainForm& form = *w.Form;
    QTRY_VERIFY_WITH_TIMEOUT(Framed(form), 5000);
    const QRect desk = form.screen()->availableGeometry();
    QTRY_VERIFY_WITH_TIMEOUT(NearlyCentred(form.frameGeometry(), desk.center()), 5000);
    const QRect window = form.frameGeometry();

    // Qt learns a dialog's frame only from its second showing on; the place
    // of its client area is what the program chooses each time.
    TOptionsForm options(&form);
    QList<QRect> places;
    QRect frame;
    for (int opening = 0; opening < 3; ++opening) {
        QTimer::singleShot(0, &options, [&] {
            if (QTest::qWaitForWindowExposed(&options)) QTest::qWait(300);  // settled
            places << options.geometry();
            frame = options.frameGeometry();
            options.reject();
        });
        options.exec();
    }
    QCOMPARE(places.size(), 3);
    QCOMPARE(places.at(1), places.at(0));
    QCOMPARE(places.at(2), places.at(0));
    QVERIFY(frame != places.at(2));
    QVERIFY(NearlyCentred(frame, window.center()));
}

QTEST_MAIN(TPlacementTest)
#include "placement_test.moc"
