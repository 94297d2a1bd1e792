// The tray for real: a notification area (trayer) and a window manager
// (openbox) on a display of the test's own (run_with_tray.sh); the window
// minimised, the icon clicked and its menu used through the X server.
#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolTip>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

// xdotool acts as the player: pointer moves and clicks, the window manager's
// minimise. (Pointer moves are not --sync: that waits for a move that never
// comes when the pointer is already there.)
bool Xdo(const QStringList& arguments) {
    return QProcess::execute("xdotool", arguments) == 0;
}

bool ClickAt(const QPoint& at, int button = 1) {
    return Xdo({"mousemove", QString::number(at.x()), QString::number(at.y()), "click",
                QString::number(button)});
}

struct TTrayedWindow : TWindow {
    const QSystemTrayIcon* Icon = nullptr;

    bool Open() {
        if (!Start()) return false;
        TSettings s = Game().Settings();
        s.MinimizeToTray = true;
        s.MinimizeToEscape = true;
        Game().SetSettings(s);
        auto* tray = dynamic_cast<TSystemTrayIcon*>(Form->TrayIcon());
        if (!tray) return false;
        Icon = &tray->Icon();
        return ShowActive();
    }
    // Qt's own window of the icon, docked into the tray (Qt does not know
    // where on the screen the tray put it; the X server does).
    static QWidget* IconWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("QSystemTrayIconSys") && widget->isVisible()) return widget;
        }
        return nullptr;
    }
    // Where the X server has the icon's window, empty while there is none.
    static QString IconPlace() {
        QWidget* icon = IconWindow();
        if (!icon) return {};
        QProcess xdo;
        xdo.start("xdotool", {"getwindowgeometry", QString::number(icon->winId())});
        xdo.waitForFinished();
        return QString::fromUtf8(xdo.readAllStandardOutput());
    }
    // The icon is in the tray and the tray has stopped moving it around.
    bool Docked() const {
        if (!Icon->isVisible()) return false;
        const QString before = IconPlace();
        QTest::qWait(150);
        return !before.isEmpty() && IconPlace() == before;
    }
    bool PointAtIcon(const QStringList& then = {}) {
        QWidget* icon = IconWindow();
        if (!icon) return false;
        const QString middle = QString::number(icon->width() / 2);
        return Xdo(
            QStringList{"mousemove", "--window", QString::number(icon->winId()), middle, middle} +
            then);
    }
    bool ClickIcon(int button) { return PointAtIcon({"click", QString::number(button)}); }
    bool ChooseInMenu(QAction* item) {
        QMenu* menu = Named<QMenu>(Form.get(), "pmTray");
        return ClickAt(menu->mapToGlobal(menu->actionGeometry(item).center()));
    }
};

}  // namespace

class TTrayTest : public QObject {
    Q_OBJECT
  private slots:
    void minimisingHidesTheWindowBehindTheIcon();
    void menuRestoresAndExits();
};

void TTrayTest::minimisingHidesTheWindowBehindTheIcon() {
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    TTrayedWindow w;
    QVERIFY(w.Open());
    w.Now = 3000;
    // The window manager's minimise.
    QVERIFY(Xdo({"windowminimize", "--sync", QString::number(w.Form->winId())}));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Form->isVisible(), 10000);
    QTRY_VERIFY(w.Docked());
    QCOMPARE(w.Icon->toolTip(), QString("Solitaire Trisk"));
    // Hovering shows the tip (Qt waits for a move inside the icon).
    QVERIFY(w.PointAtIcon({"mousemove_relative", "1", "1"}));
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
    QCOMPARE(QToolTip::text(), QString("Solitaire Trisk"));
    QToolTip::hideText();

    w.Now += 60000;
    QVERIFY(w.ClickIcon(1));
    QTRY_VERIFY(w.Form->isVisible());
    QTRY_VERIFY(w.Form->isActiveWindow());
    QVERIFY(!w.Form->isMinimized());
    QTRY_VERIFY(!w.Icon->isVisible());
    QCOMPARE(w.Game().Clock().ElapsedTicks(), 3000u);
}

void TTrayTest::menuRestoresAndExits() {
    TSettingsFolder folder;
    TTrayedWindow w;
    QVERIFY(w.Open());
    QTest::keyClick(w.Form.get(), Qt::Key_Escape);
    QTRY_VERIFY(w.Docked());
    QVERIFY(!w.Form->isVisible());

    QVERIFY(w.ClickIcon(3));
    QTRY_VERIFY(Named<QMenu>(w.Form.get(), "pmTray")->isVisible());
    QVERIFY(w.ChooseInMenu(Named<QAction>(w.Form.get(), "pmRestore")));
    QTRY_VERIFY(w.Form->isVisible());
    QTRY_VERIFY(!w.Icon->isVisible());

    // Exit answered No: hidden as before, the icon stays.
    QTest::keyClick(w.Form.get(), Qt::Key_Escape);
    QTRY_VERIFY(w.Docked());
    QVERIFY(w.ClickIcon(3));
    QTRY_VERIFY(Named<QMenu>(w.Form.get(), "pmTray")->isVisible());
    QVERIFY(w.ChooseInMenu(Named<QAction>(w.Form.get(), "pmExitItem")));
    QTRY_COMPARE(w.Questions.size(), 1);
    QCOMPARE(w.Questions[0], QString("Are you sure you want to exit Solitaire Trisk?"));
    QTest::qWait(200);
    QVERIFY(!w.Form->isVisible());
    QVERIFY(w.Icon->isVisible());

    // Yes: the icon goes and the settings are written.
    w.Answers = {true};
    QTRY_VERIFY(!Named<QMenu>(w.Form.get(), "pmTray")->isVisible());
    QVERIFY(w.ClickIcon(3));
    QTRY_VERIFY(Named<QMenu>(w.Form.get(), "pmTray")->isVisible());
    QVERIFY(w.ChooseInMenu(Named<QAction>(w.Form.get(), "pmExitItem")));
    QTRY_VERIFY(!w.Icon->isVisible());
    QCOMPARE(w.Questions.size(), 2);
    QVERIFY(QFile::exists(folder.File()));
}

QTEST_MAIN(TTrayTest)
#include "tray_test.moc"
