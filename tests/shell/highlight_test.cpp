// The window's menus and highlights: every drop-down and submenu is as wide
// as its widest item by the item measure (caption and shortcut, the item's
// height and 15) with what the platform adds to an owner-drawn item, in its
// frame; disabled items take the selection; the bar's pointer highlight goes
// with the pointer; a toolbar button is not left lit by a dialog.
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

class THighlightTest : public QObject {
    Q_OBJECT
  private slots:
    void everyMenuIsAsWideAsItsWidestMeasure();
    void disabledItemsTakeTheSelection();
    void barHighlightLeavesWithThePointer();
    void toolbarButtonsStartUnlitAfterADialog();
};

void THighlightTest::everyMenuIsAsWideAsItsWidestMeasure() {
    TWindow w;
    QVERIFY(w.Start());
    for (const char* name :
         {"GameItem", "PatienceItem", "TriskItem", "PreferencesItem", "HelpItem", "pmTray"}) {
        auto* menu = w.Form->findChild<QMenu*>(name);
        QVERIFY2(menu, name);
        // Measured in the face the menu shows.
        const QFontMetrics metrics(menu->font());
        const int height = std::max(metrics.height() + 4, VoMenu->MinHeight());
        const int platform = 2 * metrics.averageCharWidth();
        int widest = 0;
        for (const QAction* item : menu->actions()) {
            const QString text = item->isSeparator() ? QString("-") : item->text();
            const QString captionAndShortcut = QString(text).remove('\t');
            widest = std::max(widest, metrics.horizontalAdvance(captionAndShortcut) + height + 15);
        }
        const QSize shown = menu->sizeHint();
        for (QAction* item : menu->actions()) {
            QVERIFY2(menu->actionGeometry(item).width() == widest + platform,
                     qPrintable(QString("%1 %2: %3, measured %4")
                                    .arg(name, item->text())
                                    .arg(menu->actionGeometry(item).width())
                                    .arg(widest + platform)));
        }
        const int frame = menu->style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, menu);
        QCOMPARE(shown.width(), widest + platform + 2 * frame);
    }
}

void THighlightTest::disabledItemsTakeTheSelection() {
    TWindow w;
    QVERIFY(w.Start());
    QVERIFY(w.ShowActive());
    auto* game = w.Form->findChild<QMenu*>("GameItem");
    QAction* undo = w.Form->findChild<QAction*>("UndoItem");
    QAction* redo = w.Form->findChild<QAction*>("RedoItem");
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    game->popup(w.Form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(game));
    // The pointer on a disabled item selects it; Down goes on to the next,
    // disabled too.
    QTest::mouseMove(game, game->actionGeometry(undo).center());
    QTRY_COMPARE(game->activeAction(), undo);
    QTest::keyClick(game, Qt::Key_Down);
    QCOMPARE(game->activeAction(), redo);
    game->close();
}

void THighlightTest::barHighlightLeavesWithThePointer() {
    TWindow w;
    QVERIFY(w.Start());
    QVERIFY(w.ShowActive());
    QMenuBar* bar = w.Form->menuBar();
    QAction* game = w.Form->findChild<QMenu*>("GameItem")->menuAction();
    // Opened and closed with Escape, the item stays current for the keys.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(game).center());
    QTRY_VERIFY(game->menu()->isVisible());
    QTest::keyClick(game->menu(), Qt::Key_Escape);
    QTRY_VERIFY(!game->menu()->isVisible());
    QCOMPARE(bar->activeAction(), game);
    // The pointer leaving the bar takes the highlight along, and the keys go
    // back to the window.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);
    QCOMPARE(bar->activeAction(), nullptr);
    QVERIFY(!bar->hasFocus());
}

// A menu item over a toolbar button leaves the button counted as under the
// pointer while the command's dialog runs; once the dialog has ended, the
// button is no longer lit.
void THighlightTest::toolbarButtonsStartUnlitAfterADialog() {
    TWindow w;
    QVERIFY(w.Start());
    QVERIFY(w.ShowActive());
    auto* button = w.Form->findChild<QToolButton*>("tbGameNumber");
    QVERIFY(button);
    button->setAttribute(Qt::WA_UnderMouse, true);
    QDialog dialog(w.Form.get());
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    dialog.exec();
    QTRY_VERIFY(!button->underMouse());
}

QTEST_MAIN(THighlightTest)
#include "highlight_test.moc"
