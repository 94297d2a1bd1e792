// The main window driven as a player drives it: commands through menu items,
// toolbar buttons and shortcuts, and the table through pointer events.
#include <QAction>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "menus/vomenus.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

QAction* Action(TMainForm& form, const char* name) {
    auto* action = form.findChild<QAction*>(name);
    if (!action) qFatal("no action %s", name);
    return action;
}

QStringList ItemNames(const QMenu* menu) {
    QStringList names;
    for (const QAction* item : menu->actions()) {
        names << (item->menu() ? item->menu()->objectName() : item->objectName());
    }
    return names;
}

struct TFoundMove {
    int FromGroup, FromPile, ToGroup, ToPile;
};

// The first legal move of the position, found by picking cards up with the
// pointer and asking the game which places would take them.
std::optional<TFoundMove> FindMove(TWindow& w) {
    const TGameKind kind = w.Game().GameKind();
    for (const TPileSpot& from : SpotsForKind(kind)) {
        if (from.Group == GroupCorner || !w.Game().Board().IsNonEmpty(kind, from.Group, from.Pile))
            continue;
        w.ClickPile(from.Group, from.Pile);
        for (const TPileSpot& to : SpotsForKind(kind)) {
            if (&to != &from && w.Game().CanDrop(to.Group, to.Pile)) {
                w.ClickPile(from.Group, from.Pile, Qt::RightButton);
                return TFoundMove{from.Group, from.Pile, to.Group, to.Pile};
            }
        }
        w.ClickPile(from.Group, from.Pile, Qt::RightButton);
    }
    return std::nullopt;
}

// Deals numbers from 1 on until the deal offers a move, and plays it.
TFoundMove PlayFirstMove(TWindow& w, TGameKind kind) {
    for (uint32_t number = 1; number < 200; ++number) {
        w.Deal(kind, number);
        if (const std::optional<TFoundMove> move = FindMove(w)) {
            w.ClickPile(move->FromGroup, move->FromPile);
            w.ClickPile(move->ToGroup, move->ToPile);
            return *move;
        }
    }
    qFatal("no deal with a move");
}

// A Napoleon's Tomb position one move from the win: the stock and the table
// empty, a King on corner 2 and its Queen on waste pile 3.
void OneMoveFromWin(TWindow& w) {
    w.Deal(gkTriskClassic, 12);
    TPosition position = w.Game().Position();
    for (TCard& card : position.Board.Deck.Cards)
        card.Present = 0;
    position.Board.ClearBlock(gkTriskClassic);
    TFault fault = TFault::None;
    for (const auto& [pile, card] : {std::pair{TPileRef{GroupCorner, 2}, TCard::Make(3, 0)},
                                     std::pair{TPileRef{GroupCorner, 2}, TCard::Make(3, 12)},
                                     std::pair{TPileRef{GroupWaste, 3}, TCard::Make(3, 11)}})
        position.Board.PutCard(gkTriskClassic, pile.Group, pile.Pile, false, card, fault);
    w.Game().SetPosition(position);
    w.Game().AppendHistoryEntry();
}

}  // namespace

class TMainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void startsWithTheClassicalGameAndTheCommandsOfAFreshGame();
    void windowLayoutKeepsTheTableInPlace();
    void missingCardSetLibraryEndsTheStartUp();
    void shortcutsReachTheirCommands();
    void disabledCommandsIgnoreShortcutMenuAndButton();
    void releasesPickUpAndDropCardsInsidePlacesOnly();
    void stockDealsWithAPaintedPauseAfterEachCard();
    void hoverSetsCursorAndCardsPanel();
    void panelsShowNumberMovesAndClock();
    void gameKindSwitchFollowsTheAnswer();
    void selectShufflePassesTheTextToTheGame();
    void wonGameShowsTheDialogAndYesDealsAgain();
    void saveAndLoadGoThroughTheDialogs();
    void toolbarAndStatusBarShowAndHide();
    void paintingDrawsTheCardsAndTheHighlight();
};

void TMainFormTest::startsWithTheClassicalGameAndTheCommandsOfAFreshGame() {
    TWindow w;
    QCOMPARE(w.Form->windowTitle(), QString("Solitaire Trisk"));
    QVERIFY(w.Start());
    TMainForm& form = *w.Form;
    QCOMPARE(form.windowTitle(), QString("Solitaire Trisk - Napoleon's Tomb (classical)"));
    QVERIFY(w.Messages.isEmpty());
    QCOMPARE(w.Game().GameKind(), gkTriskClassic);
    QCOMPARE(form.Images().Count(), 60);

    // Radio items and check marks.
    QVERIFY(form.findChild<QMenu*>("TriskItem")->menuAction()->isChecked());
    QVERIFY(Action(form, "TriskClassicItem")->isChecked());
    QVERIFY(!Action(form, "DiamondItem")->isChecked());
    QVERIFY(!Action(form, "TriskLiteItem")->isChecked());
    QVERIFY(!Action(form, "TriskStrongItem")->isChecked());
    QVERIFY(Action(form, "ToolbarItem")->isChecked());
    QVERIFY(Action(form, "StatusbarItem")->isChecked());

    // Every command is enabled except the three the history controls, and the
    // menu items and toolbar buttons follow their commands.
    const QStringList off = {"aUndo", "aRedo", "aGoToBookmark"};
    int actions = 0;
    for (QAction* action : form.actions()) {
        if (!action->objectName().startsWith('a')) continue;
        ++actions;
        QCOMPARE(action->isEnabled(), !off.contains(action->objectName()));
        QCOMPARE(action->toolTip(), action->text());
    }
    QCOMPARE(actions, 22);
    for (const char* name : {"UndoItem", "RedoItem", "GoToBookmarkItem"}) {
        QVERIFY(!Action(form, name)->isEnabled());
    }
    for (const char* name : {"tbUndo", "tbRedo", "tbGoToBookmark"}) {
        QVERIFY(!form.findChild<QToolButton*>(name)->isEnabled());
    }
    QVERIFY(form.findChild<QToolButton*>("tbReplay")->isEnabled());
    QCOMPARE(Action(form, "aHomepage")->text(), QString("Visit Solitare Trisk's Web Site"));
    QCOMPARE(Action(form, "NewGameItem")->text(), QString("New Game\tF2"));

    // Menus in their order, Save before Load.
    QCOMPARE(ItemNames(form.findChild<QMenu*>("GameItem")),
             QStringList({"NewGameItem", "GameNumberItem", "N1", "ReplayItem", "UndoItem",
                          "RedoItem", "InsertBookmarkItem", "GoToBookmarkItem", "N3",
                          "SaveGameItem", "LoadGameItem", "N2", "ExitItem"}));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("PatienceItem")),
             QStringList({"DiamondItem", "TriskItem"}));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("TriskItem")),
             QStringList({"TriskLiteItem", "TriskClassicItem", "TriskStrongItem"}));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("PreferencesItem")),
             QStringList({"ParametrsItem", "SelectaCardSet1", "ToolbarItem", "StatusbarItem"}));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("HelpItem")),
             QStringList({"IndexItem", "HomepageItem", "AboutItem"}));
    QStringList menuBar;
    for (QAction* top : form.menuBar()->actions())
        menuBar << top->text();
    QCOMPARE(menuBar, QStringList({"Game", "Solitaire", "Preferences", "Help"}));

    // The game starts with nothing picked up and the clock running.
    QCOMPARE(w.Game().SelGroup(), -1);
    QVERIFY(form.findChild<QTimer*>("GameTimer")->isActive());
    QCOMPARE(form.findChild<QTimer*>("GameTimer")->interval(), 1000);
}

void TMainFormTest::windowLayoutKeepsTheTableInPlace() {
    TWindow w;
    QVERIFY(w.Start());
    TMainForm& form = *w.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // The client area below the menu bar is 684 x 597: the table with the
    // status bar at its foot, the table's origin right under the menu bar.
    const int menuHeight = form.menuBar()->height();
    QCOMPARE(Named<TTableView>(&form, "Table")->mapTo(&form, QPoint(0, 0)), QPoint(0, menuHeight));
    QCOMPARE(form.width(), 684);
    QCOMPARE(form.height() - menuHeight, 597);
    QCOMPARE(form.minimumSize(), form.size());
    QCOMPARE(Named<QStatusBar>(&form, "StatusBar")->height(), 19);
    QCOMPARE(Named<TTableView>(&form, "Table")->height() +
                 Named<QStatusBar>(&form, "StatusBar")->height(),
             597);
    QCOMPARE(Named<QStatusBar>(&form, "StatusBar")->geometry().bottom(), form.height() - 1);
    // The menu bar and the tray menu are painted by the program's own painter.
    QVERIFY(dynamic_cast<const TVoMenuStyle*>(form.menuBar()->style()));
    QVERIFY(dynamic_cast<const TVoMenuStyle*>(form.findChild<QMenu*>("pmTray")->style()));
    // The window was sized from the bar as it is drawn, not from an earlier hint.
    QCOMPARE(menuHeight, form.menuBar()->sizeHint().height());

    // The toolbar covers the table's first 34 pixels; Load comes before Save.
    QToolBar* toolBar = form.findChild<QToolBar*>("MainToolBar");
    QCOMPARE(toolBar->parentWidget(), Named<TTableView>(&form, "Table"));
    QCOMPARE(toolBar->geometry(), QRect(0, 0, Named<TTableView>(&form, "Table")->width(), 34));
    QStringList order;
    int previousRight = -1;
    for (QWidget* child : toolBar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName().startsWith("tb") || child->objectName().startsWith("ToolButton"))
            order << child->objectName();
    }
    std::sort(order.begin(), order.end(), [toolBar](const QString& a, const QString& b) {
        return toolBar->findChild<QWidget*>(a)->x() < toolBar->findChild<QWidget*>(b)->x();
    });
    QCOMPARE(order,
             QStringList({"tbNewGame", "tbGameNumber", "ToolButton1", "tbReplay", "tbUndo",
                          "tbRedo", "tbInsertBookmark", "tbGoToBookmark", "ToolButton2",
                          "tbLoadGame", "tbSaveGame", "ToolButton3", "tbParametrs", "tbExit"}));
    // Indent 2, then buttons and separators side by side.
    QCOMPARE(toolBar->findChild<QWidget*>("tbNewGame")->x(), 2);
    for (const QString& name : order) {
        QWidget* child = toolBar->findChild<QWidget*>(name);
        if (previousRight >= 0) QCOMPARE(child->x(), previousRight + 1);
        previousRight = child->x() + child->width() - 1;
        QCOMPARE(child->size(), name.startsWith("tb") ? QSize(32, 32) : QSize(8, 24));
    }
    auto* undo = toolBar->findChild<QToolButton*>("tbUndo");
    QCOMPARE(undo->iconSize(), QSize(24, 24));
    // Three pictures per button: normal, disabled (greyed) and hot.
    const QImage normal = undo->icon().pixmap(24, QIcon::Normal).toImage();
    const QImage disabled = undo->icon().pixmap(24, QIcon::Disabled).toImage();
    const QImage hot = undo->icon().pixmap(24, QIcon::Active).toImage();
    QVERIFY(!normal.isNull());
    QVERIFY(normal != disabled);
    QVERIFY(normal != hot);
    QVERIFY(disabled.allGray());
    QVERIFY(!normal.allGray());

    const int widths[5] = {120, 100, 70, 70, 50};
    auto panel = [&form](int i) {
        return form.findChild<QLabel*>(QString("StatusPanel%1").arg(i));
    };
    // Five panels edge to edge from the bar's left edge, the clock centred.
    const int lefts[5] = {0, 120, 220, 290, 360};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(panel(i)->width(), widths[i]);
        QCOMPARE(panel(i)->x(), lefts[i]);
    }
    QVERIFY(panel(3)->alignment() & Qt::AlignHCenter);
    QVERIFY(panel(1)->alignment() & Qt::AlignLeft);

    // The table is green.
    const QImage shot = Named<TTableView>(&form, "Table")->grab().toImage();
    QCOMPARE(shot.pixelColor(600, 300), QColor(0, 128, 0));
}

void TMainFormTest::missingCardSetLibraryEndsTheStartUp() {
    TWindow w;
    QTemporaryDir dir;
    QVERIFY(!w.Form->FormCreate({}, dir.filePath("cardset.dll")));
    QCOMPARE(w.Messages, QStringList{"Unable to open cardset.dll."});
    // Nothing after the library: no deal, no images, no clock.
    QCOMPARE(w.Form->windowTitle(), QString("Solitaire Trisk"));
    QCOMPARE(w.Form->Images().Count(), 0);
    QVERIFY(!Named<QTimer>(w.Form.get(), "GameTimer")->isActive());
}

void TMainFormTest::shortcutsReachTheirCommands() {
    TWindow w;
    QVERIFY(w.Start());
    TMainForm& form = *w.Form;
    QVERIFY(w.ShowActive());

    struct TKey {
        QKeySequence Keys;
        const char* Action;
    };
    const TKey keys[] = {
        {Qt::Key_F2, "aNewGame"},
        {Qt::Key_F3, "aGameNumber"},
        {Qt::Key_F4, "aReplay"},
        {Qt::Key_F5, "aOptions"},
        {Qt::Key_F6, "aInsertBookmark"},
        {Qt::Key_F7, "aGoToBookmark"},
        {Qt::Key_F1, "aContents"},
        {Qt::CTRL | Qt::Key_S, "aSaveGame"},
        {Qt::CTRL | Qt::Key_O, "aLoadGame"},
    };
    for (const TKey& key : keys) {
        QSignalSpy spy(Action(form, key.Action), &QAction::triggered);
        QTest::keySequence(&form, key.Keys);
        QVERIFY2(spy.count() == 1, key.Action);
    }
    // What those commands did, with every question answered No.
    QCOMPARE(w.Questions, QStringList({"Quite this game?", "Restart this game?"}));
    QCOMPARE(w.Dialogs.NumbersShown.size(), 1);
    QCOMPARE(w.Dialogs.ProposedNames.size(), 1);
    QCOMPARE(w.Dialogs.OpenDialogs, 1);
    QCOMPARE(w.Dialogs.HelpShown, 1);
    QVERIFY(Action(form, "aGoToBookmark")->isEnabled());

    // Undo and Redo once there is a move to take back.
    PlayFirstMove(w, gkTriskClassic);
    QCOMPARE(w.Game().MoveIndex(), 1);
    QTest::keySequence(&form, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(w.Game().MoveIndex(), 0);
    QTest::keySequence(&form, QKeySequence(Qt::CTRL | Qt::Key_R));
    QCOMPARE(w.Game().MoveIndex(), 1);
    QCOMPARE(w.Game().ActionCount(), 3);

    // F10 closes the window once the exit question is answered Yes.
    QSignalSpy exit(Action(form, "aExit"), &QAction::triggered);
    w.Answers = {true};
    QTest::keyClick(&form, Qt::Key_F10);
    QCOMPARE(exit.count(), 1);
    QCOMPARE(w.Questions.last(), QString("Are you sure you want to exit Solitaire Trisk?"));
    QVERIFY(!form.isVisible());
}

void TMainFormTest::disabledCommandsIgnoreShortcutMenuAndButton() {
    TWindow w;
    QVERIFY(w.Start());
    TMainForm& form = *w.Form;
    QVERIFY(w.ShowActive());

    for (const char* name : {"aUndo", "aRedo", "aGoToBookmark"}) {
        QAction* action = Action(form, name);
        QVERIFY(!action->isEnabled());
        QSignalSpy spy(action, &QAction::triggered);
        QTest::keySequence(&form, action->shortcut());
        const QString item = QString(name).mid(1) + "Item";
        Action(form, item.toLatin1().constData())->trigger();
        QTest::mouseClick(form.findChild<QToolButton*>("tb" + QString(name).mid(1)),
                          Qt::LeftButton);
        QCOMPARE(spy.count(), 0);
    }
    QCOMPARE(w.Game().MoveIndex(), 0);

    // Enabled again, the menu item and the button do reach the command.
    PlayFirstMove(w, gkTriskClassic);
    QVERIFY(Action(form, "UndoItem")->isEnabled());
    QSignalSpy undo(Action(form, "aUndo"), &QAction::triggered);
    Action(form, "UndoItem")->trigger();
    QCOMPARE(undo.count(), 1);
    QCOMPARE(w.Game().MoveIndex(), 0);
    QTest::mouseClick(form.findChild<QToolButton*>("tbRedo"), Qt::LeftButton);
    QCOMPARE(w.Game().MoveIndex(), 1);
}

void TMainFormTest::releasesPickUpAndDropCardsInsidePlacesOnly() {
    TWindow w;
    QVERIFY(w.Start());
    const TFoundMove move = PlayFirstMove(w, gkTriskClassic);
    QCOMPARE(w.Game().MoveIndex(), 1);
    QCOMPARE(w.Panel(1), QString("Moves: 1/1"));
    QVERIFY(!w.Game().Highlighted());
    QVERIFY(Action(*w.Form, "aUndo")->isEnabled());
    w.Form->findChild<QAction*>("aUndo")->trigger();

    // The border lines of a place belong to no place.
    const TPileSpot& from = w.Spot(move.FromGroup, move.FromPile);
    for (const QPoint border :
         {QPoint(from.X, from.Y + 40), QPoint(from.X + 30, from.Y),
          QPoint(from.X + 71, from.Y + 40), QPoint(from.X + 30, from.Y + 96)}) {
        w.Release(border.x(), border.y());
        QCOMPARE(w.Game().SelGroup(), -1);
        QVERIFY(!w.Game().Highlighted());
    }
    // One pixel inside picks the card up and marks its place.
    w.Release(from.X + 1, from.Y + 1);
    QCOMPARE(w.Game().SelGroup(), move.FromGroup);
    QCOMPARE(w.Game().SelPile(), move.FromPile);
    QVERIFY(w.Game().Highlighted());
    QCOMPARE(QPoint(w.Game().HighlightX(), w.Game().HighlightY()), QPoint(from.X, from.Y));

    // A release on the bare table keeps the card; the middle button drops it.
    w.Release(650, 300);
    QVERIFY(w.Game().Highlighted());
    const TPileSpot& to = w.Spot(move.ToGroup, move.ToPile);
    w.Release(to.X + 70, to.Y + 95, Qt::MiddleButton);
    QCOMPARE(w.Game().MoveIndex(), 1);
    QCOMPARE(w.Game().SelGroup(), -1);

    // The right button cancels a pick-up; other buttons do nothing.
    w.Game().UndoMove();
    w.ClickPile(move.FromGroup, move.FromPile);
    QVERIFY(w.Game().Highlighted());
    w.Release(650, 300, Qt::BackButton);
    QVERIFY(w.Game().Highlighted());
    w.Release(650, 300, Qt::RightButton);
    QVERIFY(!w.Game().Highlighted());
    QCOMPARE(w.Game().SelGroup(), -1);
}

void TMainFormTest::stockDealsWithAPaintedPauseAfterEachCard() {
    TWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskClassic, 7);
    const int stock = w.Game().Board().Deck.CountCards();

    int paints = 0;
    struct TPaintCounter : QObject {
        int& Count;
        explicit TPaintCounter(int& count) : Count(count) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++Count;
            return false;
        }
    } counter(paints);
    w.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.Form.get()));
    w.Table()->installEventFilter(&counter);

    // (24, 46) is the stock's corner and hits nothing; (25, 47) is the stock.
    w.Release(24, 46);
    QCOMPARE(w.Game().Board().Deck.CountCards(), stock);
    QElapsedTimer clock;
    clock.start();
    w.Release(25, 47);
    const qint64 took = clock.elapsed();
    const int dealt = stock - w.Game().Board().Deck.CountCards();
    QCOMPARE(dealt, 5);
    QVERIFY2(took >= 5 * 75 - 5, qPrintable(QString::number(took)));
    QVERIFY2(paints >= dealt, qPrintable(QString::number(paints)));
    QCOMPARE(w.Game().MoveIndex(), 1);
    QCOMPARE(w.Panel(1), QString("Moves: 1/1"));

    // Timers keep running during the pauses; a close request arriving then
    // waits until the last card of the deal is down.
    w.Answers = {true};
    bool openDuringDeal = false;
    int stockDuringDeal = -1;
    QTimer::singleShot(100, w.Form.get(), [&] {
        w.Form->close();
        openDuringDeal = w.Form->isVisible();
        stockDuringDeal = w.Game().Board().Deck.CountCards();
    });
    w.Release(60, 90);
    QVERIFY(openDuringDeal);
    QVERIFY(stockDuringDeal > stock - 2 * dealt);
    QCOMPARE(w.Game().Board().Deck.CountCards(), stock - 2 * dealt);
    QTRY_VERIFY(!w.Form->isVisible());
}

void TMainFormTest::hoverSetsCursorAndCardsPanel() {
    TWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskClassic, 3);
    TMainForm& form = *w.Form;

    // An outer pile of the deal holds cards and may be picked up.
    const TPileSpot& outer = w.Spot(GroupOuter, 0);
    const int count = w.Game().Board().CardCount(gkTriskClassic, GroupOuter, 0);
    QVERIFY(count > 0);
    w.Move(outer.X + 10, outer.Y + 10);
    QCOMPARE(Named<TTableView>(&form, "Table")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w.Panel(2), QString("Cards: %1").arg(count));

    // The bare table: arrow and an empty panel.
    w.Move(650, 300);
    QCOMPARE(Named<TTableView>(&form, "Table")->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(w.Panel(2), QString());

    // The stock: the hand, but no count.
    w.Move(50, 80);
    QCOMPARE(Named<TTableView>(&form, "Table")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w.Panel(2), QString());

    // An empty corner foundation: arrow and no count.
    const TPileSpot& corner = w.Spot(GroupCorner, 0);
    QVERIFY(!w.Game().Board().IsNonEmpty(gkTriskClassic, GroupCorner, 0));
    w.Move(corner.X + 10, corner.Y + 10);
    QCOMPARE(Named<TTableView>(&form, "Table")->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(w.Panel(2), QString());
}

void TMainFormTest::panelsShowNumberMovesAndClock() {
    TWindow w;
    w.Now = 4294967000u;  // the tick count wraps during the game
    QVERIFY(w.Start());
    w.Deal(gkTriskClassic, 4294967295u);
    QCOMPARE(w.Panel(0), QString("Game #4294967295"));
    QCOMPARE(w.Panel(1), QString("Moves: 0/0"));
    QCOMPARE(w.Panel(3), QString());
    QCOMPARE(w.Panel(4), QString());

    // The game timer's ticks write the clock.
    QTimer* timer = w.Form->findChild<QTimer*>("GameTimer");
    QVERIFY(timer->isActive());
    w.Now = 4294967000u + 3723000u;
    timer->setInterval(5);
    QTRY_COMPARE(w.Panel(3), QString("01:02:03"));
    w.Now += 1000;
    QTRY_COMPARE(w.Panel(3), QString("01:02:04"));

    PlayFirstMove(w, gkTriskClassic);
    QCOMPARE(w.Panel(1), QString("Moves: 1/1"));
    w.Game().UndoMove();
    QCOMPARE(w.Panel(1), QString("Moves: 0/2"));

    // An internal fault shows as an information message: a move from a pile
    // that a damaged position left empty.
    TPosition empty = w.Game().Position();
    empty.Board.ClearBlock(gkTriskClassic);
    w.Game().SetPosition(empty);
    w.Game().PickUp(GroupInner, 0, 0, 0);
    w.Messages.clear();
    w.Game().PlayMove(GroupOuter, 0);
    QCOMPARE(w.Messages, QStringList{"information: Invalid attempt to pick up a card"});
}

void TMainFormTest::gameKindSwitchFollowsTheAnswer() {
    TWindow w;
    QVERIFY(w.Start());
    TMainForm& form = *w.Form;
    QAction* diamond = Action(form, "DiamondItem");
    QAction* tomb = form.findChild<QMenu*>("TriskItem")->menuAction();
    QAction* lite = Action(form, "TriskLiteItem");
    QAction* classic = Action(form, "TriskClassicItem");
    QAction* strong = Action(form, "TriskStrongItem");
    const uint32_t number = w.Game().Board().Deck.GameNumber;

    // Declined: nothing changes, not even the check Qt puts on a chosen item.
    diamond->trigger();
    QCOMPARE(w.Questions, QStringList{"Quite this game?"});
    QCOMPARE(w.Game().GameKind(), gkTriskClassic);
    QCOMPARE(w.Game().Board().Deck.GameNumber, number);
    QCOMPARE(form.windowTitle(), QString("Solitaire Trisk - Napoleon's Tomb (classical)"));
    QVERIFY(!diamond->isChecked());
    QVERIFY(tomb->isChecked());
    QVERIFY(classic->isChecked());

    // Accepted: Diamond is dealt and no variant stays checked.
    w.Answers = {true};
    diamond->trigger();
    QCOMPARE(w.Game().GameKind(), gkDiamond);
    QCOMPARE(form.windowTitle(), QString("Solitaire Trisk - Diamond"));
    QVERIFY(diamond->isChecked());
    QVERIFY(!tomb->isChecked());
    QVERIFY(!lite->isChecked() && !classic->isChecked() && !strong->isChecked());
    QCOMPARE(w.Game().Board().Deck.CountCards(), 104 - 4 * 7 * 3);

    // Declined after an accepted switch: still Diamond.
    strong->trigger();
    QCOMPARE(w.Game().GameKind(), gkDiamond);
    QVERIFY(diamond->isChecked() && !strong->isChecked() && !tomb->isChecked());

    // Without the question the switch is immediate.
    TSettings settings = w.Game().Settings();
    settings.ConfirmNewGame = false;
    w.Game().SetSettings(settings);
    const int asked = w.Questions.size();
    strong->trigger();
    QCOMPARE(w.Questions.size(), asked);
    QCOMPARE(form.windowTitle(), QString("Solitaire Trisk - Napoleon's Tomb (complicated)"));
    QVERIFY(tomb->isChecked() && strong->isChecked());
    QVERIFY(!diamond->isChecked() && !classic->isChecked() && !lite->isChecked());
    lite->trigger();
    QCOMPARE(form.windowTitle(), QString("Solitaire Trisk - Napoleon's Tomb (simplified)"));
    QVERIFY(lite->isChecked() && !strong->isChecked());
}

void TMainFormTest::selectShufflePassesTheTextToTheGame() {
    TWindow w;
    QVERIFY(w.Start());
    QAction* select = Action(*w.Form, "GameNumberItem");
    TSettings settings = w.Game().Settings();
    settings.ConfirmNewGame = false;
    w.Game().SetSettings(settings);

    const QString dealt = QString::number(w.Game().Board().Deck.GameNumber);
    w.Dialogs.NumberAnswer = QString("12345");
    select->trigger();
    QCOMPARE(w.Dialogs.NumbersShown, QStringList{dealt});
    QCOMPARE(w.Game().Board().Deck.GameNumber, 12345u);
    QCOMPARE(w.Panel(0), QString("Game #12345"));
    QVERIFY(!w.Game().NewNumberWanted());

    // The current number is offered; the limits are accepted.
    for (const char* text : {"0", "4294967295"}) {
        w.Dialogs.NumberAnswer = QString(text);
        select->trigger();
        QCOMPARE(w.Panel(0), QString("Game #") + text);
    }
    QCOMPARE(w.Dialogs.NumbersShown, QStringList({dealt, "12345", "0"}));

    // Out of range or empty: the message and nothing else.
    for (const char* text : {"4294967296", ""}) {
        w.Dialogs.NumberAnswer = QString(text);
        select->trigger();
        QCOMPARE(w.Messages.last(), QString("Invalid game number."));
        QCOMPARE(w.Game().Board().Deck.GameNumber, 4294967295u);
    }
    QCOMPARE(w.Messages.size(), 2);

    // Cancel: the table stays, the next automatic deal draws a new number.
    w.Dialogs.NumberAnswer = std::nullopt;
    select->trigger();
    QCOMPARE(w.Game().Board().Deck.GameNumber, 4294967295u);
    QVERIFY(w.Game().NewNumberWanted());
    QCOMPARE(w.Messages.size(), 2);
}

void TMainFormTest::wonGameShowsTheDialogAndYesDealsAgain() {
    TWindow w;
    QVERIFY(w.Start());
    OneMoveFromWin(w);
    QTimer* timer = Named<QTimer>(w.Form.get(), "GameTimer");
    QVERIFY(timer->isActive());

    // No: the final position stays, the clock stops and clicks do nothing.
    w.ClickPile(GroupWaste, 3);
    w.ClickPile(GroupCorner, 2);
    QCOMPARE(w.Dialogs.GameOvers, std::vector<bool>{true});
    QCOMPARE(w.Game().PassesLeft(), -1);
    QVERIFY(!timer->isActive());
    w.ClickPile(GroupCorner, 2);
    QCOMPARE(w.Game().SelGroup(), -1);
    QVERIFY(!w.Game().Highlighted());

    // Redo of the winning move asks again; Yes deals the same number again.
    w.Game().UndoMove();
    w.Dialogs.PlayAgain = true;
    Action(*w.Form, "RedoItem")->trigger();
    QCOMPARE(w.Dialogs.GameOvers, std::vector<bool>({true, true}));
    QCOMPARE(w.Game().Board().Deck.GameNumber, 12u);
    QCOMPARE(w.Game().Board().Deck.CountCards(), 104 - 44);
    QCOMPARE(w.Game().MoveIndex(), 0);
    QVERIFY(timer->isActive());
}

void TMainFormTest::saveAndLoadGoThroughTheDialogs() {
    QTemporaryDir dir;
    TWindow w;
    QVERIFY(w.Start());
    PlayFirstMove(w, gkTriskStrong);
    const uint32_t number = w.Game().Board().Deck.GameNumber;

    // Cancelled save: nothing written.
    Action(*w.Form, "SaveGameItem")->trigger();
    QCOMPARE(w.Dialogs.ProposedNames.size(), 1);
    QVERIFY(w.Dialogs.ProposedNames[0].startsWith("trisk_s_"));
    QVERIFY(QDir(dir.path()).isEmpty());

    const QString path = dir.filePath("game.kxr");
    w.Dialogs.SaveAnswer = path;
    Action(*w.Form, "SaveGameItem")->trigger();
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QFileInfo(path).size(), 8152 + 8128);
    // A second save asks before overwriting; No keeps the old file.
    Action(*w.Form, "SaveGameItem")->trigger();
    QCOMPARE(w.Questions.last(), QString("Overwrite the existing file game.kxr?"));

    // Load in another window: the same game, its history and its kind.
    TWindow other;
    QVERIFY(other.Start());
    QCOMPARE(other.Form->windowTitle(), QString("Solitaire Trisk - Napoleon's Tomb (classical)"));
    Action(*other.Form, "LoadGameItem")->trigger();  // cancelled
    QCOMPARE(other.Dialogs.OpenDialogs, 1);
    QCOMPARE(other.Game().GameKind(), gkTriskClassic);
    other.Dialogs.OpenAnswer = path;
    Action(*other.Form, "LoadGameItem")->trigger();
    QCOMPARE(other.Game().GameKind(), gkTriskStrong);
    QCOMPARE(other.Form->windowTitle(), QString("Solitaire Trisk - Napoleon's Tomb (complicated)"));
    QVERIFY(Action(*other.Form, "TriskStrongItem")->isChecked());
    QCOMPARE(other.Panel(0), QString("Game #%1").arg(number));
    QCOMPARE(other.Panel(1), QString("Moves: 1/1"));
    QCOMPARE(other.Panel(3), QString());
    QVERIFY(Action(*other.Form, "aUndo")->isEnabled());
    QVERIFY(other.Messages.isEmpty());

    // A file that is not a saved game is refused with the game's message.
    QFile junk(dir.filePath("junk.kxr"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a saved game");
    junk.close();
    other.Dialogs.OpenAnswer = junk.fileName();
    Action(*other.Form, "LoadGameItem")->trigger();
    QCOMPARE(other.Messages, QStringList{"Wrong file format."});

    // A saved game named on the command line opens at start-up; the mark is
    // used up, so a refused load later keeps the game on the table.
    TWindow started;
    QVERIFY(started.Start({path}));
    QVERIFY(!started.Game().CommandLineMark());
    QCOMPARE(started.Game().GameKind(), gkTriskStrong);
    QCOMPARE(started.Panel(0), QString("Game #%1").arg(number));
    started.Dialogs.OpenAnswer = junk.fileName();
    Action(*started.Form, "LoadGameItem")->trigger();
    QCOMPARE(started.Messages, QStringList{"Wrong file format."});
    QCOMPARE(started.Panel(0), QString("Game #%1").arg(number));

    // A refused file on the command line is followed by a new game.
    TWindow refused;
    QVERIFY(refused.Start({junk.fileName()}));
    QCOMPARE(refused.Messages, QStringList{"Wrong file format."});
    QVERIFY(refused.Panel(0).startsWith("Game #"));
    QCOMPARE(refused.Panel(1), QString("Moves: 0/0"));
}

void TMainFormTest::toolbarAndStatusBarShowAndHide() {
    TWindow w;
    QVERIFY(w.Start());
    TMainForm& form = *w.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QPoint tableAt = Named<TTableView>(&form, "Table")->mapTo(&form, QPoint(0, 0));
    QAction* toolbarItem = Action(form, "ToolbarItem");
    QAction* statusbarItem = Action(form, "StatusbarItem");

    toolbarItem->trigger();
    QVERIFY(!toolbarItem->isChecked());
    QVERIFY(!Named<QToolBar>(&form, "MainToolBar")->isVisible());
    statusbarItem->trigger();
    QVERIFY(!statusbarItem->isChecked());
    QVERIFY(!Named<QStatusBar>(&form, "StatusBar")->isVisible());
    QCOMPARE(Named<TTableView>(&form, "Table")->mapTo(&form, QPoint(0, 0)), tableAt);
    // The panels are still written while hidden.
    PlayFirstMove(w, gkTriskClassic);
    QCOMPARE(w.Panel(1), QString("Moves: 1/1"));

    Action(form, "aShowToolbar")->trigger();
    Action(form, "aShowStatusbar")->trigger();
    QVERIFY(toolbarItem->isChecked() && statusbarItem->isChecked());
    QVERIFY(Named<QToolBar>(&form, "MainToolBar")->isVisible());
    QVERIFY(Named<QStatusBar>(&form, "StatusBar")->isVisible());
    QCOMPARE(Named<TTableView>(&form, "Table")->mapTo(&form, QPoint(0, 0)), tableAt);
}

void TMainFormTest::paintingDrawsTheCardsAndTheHighlight() {
    TWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskClassic, 3);
    TMainForm& form = *w.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // Each place shows exactly the image the game names for it.
    auto placeShows = [&](const QImage& table, int x, int y, int image) {
        QImage expected(kCardWidth, kCardHeight, QImage::Format_RGB32);
        expected.fill(QColor(0, 128, 0));
        QPainter painter(&expected);
        painter.drawImage(0, 0, form.Images().Image(image));
        if (w.Game().Highlighted() && x == w.Game().HighlightX() && y == w.Game().HighlightY()) {
            painter.drawImage(0, 0, form.Images().Image(imgCardMask));
        }
        painter.end();
        return table.copy(x, y, kCardWidth, kCardHeight).convertToFormat(QImage::Format_RGB32) ==
               expected;
    };
    QImage table = Named<TTableView>(&form, "Table")->grab().toImage();
    for (const TPileSpot& spot : SpotsForKind(gkTriskClassic)) {
        QVERIFY(placeShows(table, spot.X, spot.Y,
                           SpotImageIndex(w.Game().Position(), spot.Group, spot.Pile)));
    }
    QVERIFY(placeShows(table, StockSpot.X, StockSpot.Y, imgCardBack));

    // The picked card gets the mask over it, and only that place.
    w.ClickPile(GroupOuter, 1);
    QVERIFY(w.Game().Highlighted());
    const QImage highlighted = Named<TTableView>(&form, "Table")->grab().toImage();
    const TPileSpot& picked = w.Spot(GroupOuter, 1);
    QVERIFY(placeShows(highlighted, picked.X, picked.Y,
                       SpotImageIndex(w.Game().Position(), GroupOuter, 1)));
    QVERIFY(highlighted.copy(picked.X, picked.Y, kCardWidth, kCardHeight) !=
            table.copy(picked.X, picked.Y, kCardWidth, kCardHeight));
    const TPileSpot& other = w.Spot(GroupOuter, 2);
    QCOMPARE(highlighted.copy(other.X, other.Y, kCardWidth, kCardHeight),
             table.copy(other.X, other.Y, kCardWidth, kCardHeight));
}

QTEST_MAIN(TMainFormTest)
#include "main_form_test.moc"
