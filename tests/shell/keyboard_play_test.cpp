// Keyboard play in the window: a won deal of every kind played by the arrow
// keys and Space alone, along the solver's line, saves the same bytes as
// trisk-tool play of that line; the first arrow key shows the focus on the
// stock and the mouse hides it; the hint moves a shown focus to its mark, and
// the marked piles' spoken names say what the hint means.
#include <QAccessible>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "solver/solver.h"
#include "table/keyboard_focus.h"
#include "table/status_texts.h"
#include "table/table_accessible.h"
#include "tools/tool.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

std::string ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TKeyWindow : TWindow {
    void Key(Qt::Key key) {
        QTest::keyClick(Table(), key);
        WaitForTheDeal();
    }
    // Moves the focus to pile by the arrow keys along the shortest way that
    // the focus's own moves offer.
    bool FocusOn(TPileRef target) {
        const TGameKind kind = Game().GameKind();
        const std::pair<TFocusDirection, Qt::Key> keys[] = {{TFocusDirection::Left, Qt::Key_Left},
                                                            {TFocusDirection::Right, Qt::Key_Right},
                                                            {TFocusDirection::Up, Qt::Key_Up},
                                                            {TFocusDirection::Down, Qt::Key_Down}};
        const TPileRef start = *Table()->FocusPile();
        std::map<std::pair<int, int>, std::pair<TPileRef, Qt::Key>> cameFrom;
        std::vector<TPileRef> queue{start};
        cameFrom[{start.Group, start.Pile}] = {start, Qt::Key_unknown};
        for (size_t i = 0; i < queue.size() && !cameFrom.count({target.Group, target.Pile}); ++i) {
            for (const auto& [direction, key] : keys) {
                const auto next = NextFocusPile(kind, queue[i], direction);
                if (next &&
                    cameFrom.emplace(std::pair{next->Group, next->Pile}, std::pair{queue[i], key})
                        .second) {
                    queue.push_back(*next);
                }
            }
        }
        if (!cameFrom.count({target.Group, target.Pile})) return false;
        std::vector<Qt::Key> path;
        for (TPileRef at = target; !(at == start);) {
            const auto& [previous, key] = cameFrom[{at.Group, at.Pile}];
            path.insert(path.begin(), key);
            at = previous;
        }
        for (Qt::Key key : path)
            Key(key);
        return Table()->FocusPile() == target;
    }
};

}  // namespace

class TKeyboardPlayTest : public QObject {
    Q_OBJECT
  private slots:
    void aWholeDealOfEveryKindByKeys_data();
    void aWholeDealOfEveryKindByKeys();
    void theFocusAppearsOnTheStockAndTheMouseHidesIt();
    void theHintLeadsTheFocusAndSaysWhatItMarks();
};

void TKeyboardPlayTest::aWholeDealOfEveryKindByKeys_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<uint>("number");
    QTest::newRow("Lite") << int{gkTriskLite} << 3u;
    QTest::newRow("Classic") << int{gkTriskClassic} << 10u;
    QTest::newRow("Strong") << int{gkTriskStrong} << 24u;
    QTest::newRow("Diamond") << int{gkDiamond} << 9u;
}

void TKeyboardPlayTest::aWholeDealOfEveryKindByKeys() {
    QFETCH(int, kind);
    QFETCH(uint, number);
    TKeyWindow w;
    QVERIFY(w.Start());
    w.Deal(static_cast<TGameKind>(kind), number);
    QVERIFY(w.ShowActive());

    TSolverLimits limits;
    limits.TimeLimit = std::chrono::seconds(20);
    const TSolveResult result = Solve(w.Game().Position(), limits);
    QCOMPARE(result.Verdict, TVerdict::Winnable);

    w.Key(Qt::Key_Down);  // shows the focus on the stock
    QCOMPARE(w.Table()->FocusPile(), (TPileRef{-1, -1}));
    for (const TAction& action : result.Line) {
        if (action.IsStock) {
            QVERIFY(w.FocusOn({-1, -1}));
            w.Key(Qt::Key_Space);
        } else {
            QVERIFY(w.FocusOn(action.Move.From));
            w.Key(Qt::Key_Space);
            QVERIFY(w.Game().Highlighted());
            QVERIFY(w.FocusOn(action.Move.To));
            w.Key(Qt::Key_Return);
        }
    }
    QCOMPARE(w.Game().PassesLeft(), -1);
    QCOMPARE(w.Dialogs.GameOvers, std::vector<bool>{true});

    QTemporaryDir dir;
    const QString byKeys = dir.filePath("keys.kxr");
    const QString byTool = dir.filePath("tool.kxr");
    const QString script = dir.filePath("line.txt");
    QVERIFY(w.Game().WriteGameFile(byKeys.toStdString(), w.Game().Clock().ElapsedTicks()));
    {
        std::ofstream out(script.toStdString());
        WriteScript(result.Line, out);
    }
    std::ostringstream out, err;
    QCOMPARE(RunTool({"play", "--kind", std::to_string(kind), "--number", std::to_string(number),
                      "--script", script.toStdString(), "--out", byTool.toStdString()},
                     out, err),
             0);
    const std::string keys = ReadBytes(byKeys);
    QVERIFY(!keys.empty());
    QVERIFY(keys == ReadBytes(byTool));
}

void TKeyboardPlayTest::theFocusAppearsOnTheStockAndTheMouseHidesIt() {
    TKeyWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskClassic, 10);
    QVERIFY(w.ShowActive());
    QVERIFY(!w.Table()->FocusPile());
    // Space before any arrow key does nothing.
    const int32_t actions = w.Game().ActionCount();
    w.Key(Qt::Key_Space);
    QCOMPARE(w.Game().ActionCount(), actions);

    w.Key(Qt::Key_Right);
    QCOMPARE(w.Table()->FocusPile(), (TPileRef{-1, -1}));
    w.Key(Qt::Key_Right);
    QCOMPARE(w.Table()->FocusPile(), (TPileRef{4, 0}));
    QCOMPARE(w.Panel(2),
             QString::fromStdString(CardsText(w.Game().Board().CardCount(gkTriskClassic, 4, 0))));
    w.Move(5, 5);
    QVERIFY(!w.Table()->FocusPile());
    // A move event where the pointer already is (Qt's own, when a window
    // over the table closes) leaves the focus; a real move takes it away.
    w.Key(Qt::Key_Right);
    w.Move(5, 5);
    QCOMPARE(w.Table()->FocusPile(), (TPileRef{-1, -1}));
    w.Move(6, 5);
    QVERIFY(!w.Table()->FocusPile());
}

void TKeyboardPlayTest::theHintLeadsTheFocusAndSaysWhatItMarks() {
    TKeyWindow w;
    QVERIFY(w.Start());
    w.Deal(gkDiamond, 10);
    QVERIFY(w.ShowActive());
    w.Key(Qt::Key_Down);
    QTest::keyClick(w.Form.get(), Qt::Key_H);
    QTRY_VERIFY_WITH_TIMEOUT(w.Table()->HintMark().has_value(), 10000);
    const TPileRef mark = *w.Table()->HintMark();
    QCOMPARE(w.Table()->FocusPile(), mark);
    QCOMPARE(
        w.Panel(2),
        QString::fromStdString(CardsText(
            mark.Group < 0 ? 0 : w.Game().Board().CardCount(gkDiamond, mark.Group, mark.Pile))));

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(w.Table());
    QAccessibleInterface* focused = table->focusChild();
    QVERIFY(focused);
    const QString target = focused->text(QAccessible::Name);
    QVERIFY2(target.endsWith(mark.Group < 0 ? ", hint: click here" : ", hint: move here"),
             qPrintable(target));
    const int32_t actions = w.Game().ActionCount();
    if (mark.Group >= 0) {
        const std::vector<TPileRef> piles = AccessiblePiles(gkDiamond);
        const auto from = std::find(piles.begin(), piles.end(),
                                    TPileRef{w.Game().SelGroup(), w.Game().SelPile()});
        QVERIFY(from != piles.end());
        QAccessibleInterface* source = table->child(static_cast<int>(from - piles.begin()));
        QVERIFY(source->state().selected);
        QVERIFY(source->text(QAccessible::Name).endsWith(", hint: move from here"));
    }
    w.Key(Qt::Key_Space);
    QCOMPARE(w.Game().ActionCount(), actions + 1);
    QVERIFY(!w.Table()->HintMark());
    QVERIFY(!focused->text(QAccessible::Name).contains("hint:"));
}

QTEST_MAIN(TKeyboardPlayTest)
#include "keyboard_play_test.moc"
