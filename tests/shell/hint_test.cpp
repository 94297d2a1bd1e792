// The hint on the H key: its answer on a game the solver decides quickly, the
// message for a position that cannot be won, and a search that a change of the
// game makes worthless.
#include <QElapsedTimer>
#include <QTest>

#include "shell/hint.h"
#include "solver/solver.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

struct THintWindow : TWindow {
    bool StartOn(TGameKind kind, uint32_t number) {
        if (!Start()) return false;
        Deal(kind, number);
        return ShowActive();
    }
    void PressH() { QTest::keyClick(Form.get(), Qt::Key_H); }
    bool Searching() { return Form->Hint().Searching(); }
};

}  // namespace

class THintTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheFirstStepOfAWinningLine();
    void saysSoWhenNoLineWins();
    void aChangeOfTheGameCancelsTheSearch();
};

void THintTest::showsTheFirstStepOfAWinningLine() {
    THintWindow w;
    QVERIFY(w.StartOn(gkDiamond, 10));
    const TPosition before = w.Game().Position();
    const int32_t moves = w.Game().MoveIndex();
    const int32_t actions = w.Game().ActionCount();
    const size_t entries = w.Game().History().Size();

    w.PressH();
    QVERIFY(w.Searching());
    w.PressH();  // a second press while searching starts nothing
    QTRY_VERIFY_WITH_TIMEOUT(!w.Searching(), 10000);
    QVERIFY(w.Messages.isEmpty());

    // The suggested step is legal: a card picked up and a target that takes
    // it, or the stock.
    const std::optional<TPileRef> mark = w.Form->Hint().Mark();
    QVERIFY(mark.has_value());
    const bool stock = mark->Group == -1;
    if (stock) {
        QCOMPARE(w.Game().SelGroup(), -1);
    } else {
        QVERIFY(w.Game().Highlighted());
        const TPileRef from{w.Game().SelGroup(), w.Game().SelPile()};
        QVERIFY(CanDrop(before, from, *mark));
    }
    // Only the selection changed.
    QCOMPARE(w.Game().MoveIndex(), moves);
    QCOMPARE(w.Game().ActionCount(), actions);
    QCOMPARE(w.Game().History().Size(), entries);

    // The mark goes with the step it suggested, taken as a click on its target.
    if (stock) {
        w.Release(StockSpot.X + kCardWidth / 2, StockSpot.Y + kCardHeight / 2);
    } else {
        w.ClickPile(mark->Group, mark->Pile);
    }
    QCOMPARE(w.Game().ActionCount(), actions + 1);
    QVERIFY(!w.Form->Hint().Mark().has_value());
    // It is the first step of a winning line: the game can still be won. (The
    // hint's own line depends on how much of its time the search got, so the
    // line is not compared with another search's.)
    QCOMPARE(Solve(w.Game().Position(), {}).Verdict, TVerdict::Winnable);
}

void THintTest::saysSoWhenNoLineWins() {
    THintWindow w;
    QVERIFY(w.StartOn(gkTriskClassic, 1));
    // A lone Ten that no foundation takes, an empty stock and the last pass.
    TPosition stuck = w.Game().Position();
    stuck.Board.ClearBlock(stuck.Kind);
    for (TCard& slot : stuck.Board.Deck.Cards)
        slot.Present = 0;
    stuck.Board.Pile(stuck.Kind, GroupInner, 0).Cards[0] = TCard::Make(0, 9);
    stuck.PassesLeft = 1;
    w.Game().SetPosition(stuck);

    w.PressH();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Searching(), 10000);
    QCOMPARE(w.Messages, QStringList{"No winning line from this position."});
    QCOMPARE(w.Game().SelGroup(), -1);
    QVERIFY(!w.Form->Hint().Mark().has_value());
}

void THintTest::aChangeOfTheGameCancelsTheSearch() {
    THintWindow w;
    // A deal the solver cannot decide within its time.
    QVERIFY(w.StartOn(gkDiamond, 6));
    w.PressH();
    QVERIFY(w.Searching());
    w.Release(StockSpot.X + kCardWidth / 2, StockSpot.Y + kCardHeight / 2);
    QCOMPARE(w.Game().ActionCount(), 1);
    // Stopped long before its own time runs out, and nothing shown.
    QTRY_VERIFY_WITH_TIMEOUT(!w.Searching(), 2000);
    QTest::qWait(50);
    QVERIFY(w.Messages.isEmpty());
    QCOMPARE(w.Game().SelGroup(), -1);
    QVERIFY(!w.Form->Hint().Mark().has_value());

    // Closing the window in the middle of a search does not wait for it.
    w.PressH();
    QVERIFY(w.Searching());
    QElapsedTimer closing;
    closing.start();
    w.Form.reset();
    QVERIFY(closing.elapsed() < 2000);
}

QTEST_MAIN(THintTest)
#include "hint_test.moc"
