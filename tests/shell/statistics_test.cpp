// The statistics on F8: the dialog shows what the game counted, Reset asks
// first, and the figures outlive the window.
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

// The cell of a kind's row and a column (0 played, 1 won, 2 lost, 3
// abandoned), with the dialog opened by the F8 shortcut unless it is open already.
QString Cell(TWindow& w, TGameKind kind, int column) {
    auto* form = w.Form->findChild<QDialog*>("StatisticsForm");
    if (!form || !form->isVisible()) QTest::keyClick(w.Form.get(), Qt::Key_F8);
    auto* table = Named<QTableWidget>(w.Form.get(), "StatisticsTable");
    return table->item(kind, column)->text();
}

}  // namespace

class TStatisticsTest : public QObject {
    Q_OBJECT
  private slots:
    void countsShowsResetsAndKeeps();
};

void TStatisticsTest::countsShowsResetsAndKeeps() {
    {
        TWindow w;
        QVERIFY(w.Start());
        QVERIFY(w.ShowActive());
        w.Deal(gkTriskClassic, 7);
        w.Game().ClickStock();
        w.WaitForTheDeal();
        w.Game().GameLost();
        QCOMPARE(Cell(w, gkTriskClassic, 2), QString("1"));
        QCOMPARE(Cell(w, gkTriskClassic, 0), QString("1"));
        // Every column is in view, down to the fewest moves.
        auto* table = Named<QTableWidget>(w.Form.get(), "StatisticsTable");
        QVERIFY(table->viewport()->width() >= table->horizontalHeader()->length());

        auto* reset = Named<QPushButton>(w.Form.get(), "ResetStatistics");
        reset->click();  // answered No
        QCOMPARE(w.Questions.size(), 1);
        QCOMPARE(Cell(w, gkTriskClassic, 2), QString("1"));
        w.Answers = {true};
        reset->click();
        QCOMPARE(Cell(w, gkTriskClassic, 2), QString("0"));
        Named<QDialog>(w.Form.get(), "StatisticsForm")->reject();

        // A loss after the reset is written at once and read by the next window.
        w.Deal(gkTriskLite, 3);
        w.Game().ClickStock();
        w.WaitForTheDeal();
        w.Game().GameLost();

        // A Diamond game played and left on the table when the window closes
        // is abandoned.
        w.Deal(gkDiamond, 4);
        w.Game().ClickStock();
        w.WaitForTheDeal();
        w.WaitForTheDeal();
        w.Answers = {true};  // "quit?"
        QVERIFY(w.Form->close());
    }
    TWindow again;
    QVERIFY(again.Start());
    QVERIFY(again.ShowActive());
    QCOMPARE(Cell(again, gkTriskLite, 2), QString("1"));
    QCOMPARE(Cell(again, gkTriskClassic, 0), QString("0"));
    QCOMPARE(Cell(again, gkDiamond, 3), QString("1"));
    QVERIFY(again.Messages.isEmpty());
}

QTEST_MAIN(TStatisticsTest)
#include "statistics_test.moc"
