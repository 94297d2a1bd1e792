// Start-up with a saved game named on the command line: the game is loaded
// without a deal before it, further arguments are ignored, and a file that
// cannot be loaded gets its message and then a new game.
#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

// Order mode from 500: every deal takes the next number, so a deal that
// should not happen shows in the number and in IncrementFrom.
constexpr uint32_t kNextNumber = 500;

// Counting mode from kNextNumber, in a store of the test's own.
void OrderMode(TWindow&) {
    StoreSettings({{"GameNumberType", 1}, {"IncrementFrom", kNextNumber}});
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TCommandLineTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void savedGameOpensWithoutADealBeforeIt();
    void refusedFileIsFollowedByOneNewGame_data();
    void refusedFileIsFollowedByOneNewGame();
    void onlyTheFirstArgumentCounts();

  private:
    QTemporaryDir dir_;
    QString diamond_;  // Diamond game 77 after one click on the stock
};

void TCommandLineTest::initTestCase() {
    TWindow maker;
    QVERIFY(maker.Start());
    maker.Deal(gkDiamond, 77);
    maker.Game().ClickStock();
    maker.WaitForTheDeal();
    diamond_ = dir_.filePath("diamond.kxr");
    QVERIFY(maker.Game().WriteGameFile(QFile::encodeName(diamond_).toStdString(), 0));
}

void TCommandLineTest::savedGameOpensWithoutADealBeforeIt() {
    TWindow w;
    OrderMode(w);
    QVERIFY(w.Start({diamond_}));
    QVERIFY(w.Messages.isEmpty());
    QCOMPARE(w.Game().GameKind(), gkDiamond);
    QCOMPARE(w.Form->windowTitle(), QString("Solitaire Trisk - Diamond"));
    QVERIFY(w.Form->findChild<QAction*>("DiamondItem")->isChecked());
    QCOMPARE(w.Panel(0), QString("Game #77"));
    QCOMPARE(w.Game().MoveIndex(), 1);
    QVERIFY(Named<QAction>(w.Form.get(), "aUndo")->isEnabled());
    QCOMPARE(w.Game().Settings().IncrementFrom, kNextNumber);
}

void TCommandLineTest::refusedFileIsFollowedByOneNewGame_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // empty: no such file
    QTest::addColumn<QString>("message");

    QByteArray tooNew = Read(diamond_);
    tooNew[3] = 4;
    const QString missing = dir_.filePath("missing.kxr");
    QTest::newRow("missing") << "missing.kxr" << QByteArray()
                             << QString("Unable to open file %1!").arg(missing);
    QTest::newRow("version 1.4") << "new.kxr" << tooNew
                                 << "This file was created in the version 1.4 and can not be "
                                    "loaded.";
    QTest::newRow("not a saved game")
        << "notes.kxr" << QByteArray("Shopping list\n") << "Wrong file format.";
}

void TCommandLineTest::refusedFileIsFollowedByOneNewGame() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = dir_.filePath(name);
    if (!bytes.isEmpty()) Write(path, bytes);

    TWindow w;
    OrderMode(w);
    QVERIFY(w.Start({path}));
    QCOMPARE(w.Messages, QStringList{message});
    // Exactly one deal, of the kind the settings give, nothing picked up.
    QCOMPARE(w.Panel(0), QString("Game #%1").arg(kNextNumber));
    QCOMPARE(w.Game().Settings().IncrementFrom, kNextNumber + 1);
    QCOMPARE(w.Game().GameKind(), gkTriskClassic);
    QCOMPARE(w.Form->windowTitle(), QString("Solitaire Trisk - Napoleon's Tomb (classical)"));
    QCOMPARE(w.Game().Board().Deck.CountCards(), 60);
    QCOMPARE(w.Game().SelGroup(), -1);
    QCOMPARE(w.Panel(1), QString("Moves: 0/0"));
    QVERIFY(!Named<QAction>(w.Form.get(), "aUndo")->isEnabled());
}

void TCommandLineTest::onlyTheFirstArgumentCounts() {
    const QString missing = dir_.filePath("none.kxr");
    TWindow first;
    QVERIFY(first.Start({diamond_, missing}));
    QVERIFY(first.Messages.isEmpty());
    QCOMPARE(first.Panel(0), QString("Game #77"));

    TWindow second;
    OrderMode(second);
    QVERIFY(second.Start({missing, diamond_}));
    QCOMPARE(second.Messages, QStringList{QString("Unable to open file %1!").arg(missing)});
    QCOMPARE(second.Panel(0), QString("Game #%1").arg(kNextNumber));
    QCOMPARE(second.Game().GameKind(), gkTriskClassic);
}

QTEST_MAIN(TCommandLineTest)
#include "command_line_test.moc"
