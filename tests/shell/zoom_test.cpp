// The table's zoom: the keys resize the window and the hit-testing follows
// the scale; the zoom comes back at the next start, and a damaged file means
// 100 %.
#include <QFile>
#include <QTest>

#include "history/file_store.h"
#include "shell/zoom_store.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

void Press(TWindow& w, Qt::Key key) {
    QTest::keyClick(w.Form.get(), key, Qt::ControlModifier);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

}  // namespace

class TZoomTest : public QObject {
    Q_OBJECT
  private slots:
    void keysScaleTheWindowAndTheHitTesting();
    void damagedOrUnknownFilesMeanOneHundredPercent();
};

void TZoomTest::keysScaleTheWindowAndTheHitTesting() {
    TSettingsFolder folder;
    TWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskClassic, 7);
    QVERIFY(w.ShowActive());
    const int width = w.Form->width();
    const int height = w.Form->height();
    QCOMPARE(width, 684);

    Press(w, Qt::Key_Plus);
    QTRY_VERIFY(w.Form->width() > width);
    Press(w, Qt::Key_Equal);
    Press(w, Qt::Key_Plus);
    Press(w, Qt::Key_Plus);
    QCOMPARE(w.Table()->Zoom(), 2.0);
    // The table doubles; the status bar keeps its height.
    QTRY_COMPARE(w.Form->width(), 2 * 684);
    QTRY_COMPARE(w.Table()->width(), 2 * 684);
    QTRY_COMPARE(w.Form->height() - height, 578);

    // (90, 130) of the table is on the stock; unscaled, (180, 260) is not.
    const int stock = w.Game().Board().Deck.CountCards();
    w.Release(180, 260);
    QVERIFY(w.Game().Board().Deck.CountCards() < stock);

    // The largest step is the last; the zoom comes back at the next start.
    for (int i = 0; i < 5; ++i)
        Press(w, Qt::Key_Plus);
    QCOMPARE(w.Table()->Zoom(), 3.0);
    Press(w, Qt::Key_Minus);
    QCOMPARE(w.Table()->Zoom(), 2.5);
    {
        TWindow next;
        QVERIFY(next.Start());
        QCOMPARE(next.Table()->Zoom(), 2.5);
    }

    QVERIFY(w.ShowActive());
    Press(w, Qt::Key_0);
    QCOMPARE(w.Table()->Zoom(), 1.0);
    QTRY_COMPARE(w.Form->width(), 684);
    QTRY_COMPARE(w.Form->height(), height);
    Press(w, Qt::Key_Minus);
    QCOMPARE(w.Table()->Zoom(), 1.0);
}

void TZoomTest::damagedOrUnknownFilesMeanOneHundredPercent() {
    TSettingsFolder folder;
    const QString path = ZoomFilePath();
    QVERIFY(path.startsWith(folder.Dir.path()));
    TFileStore& files = PlatformFileStore();
    const std::string file = QFile::encodeName(path).toStdString();
    QCOMPARE(ReadZoomFile(files, file), 100);  // missing
    QVERIFY(WriteZoomFile(files, file, 175));
    QCOMPARE(ReadZoomFile(files, file), 175);
    for (const QByteArray& bytes :
         {QByteArray("175"), QByteArray("120\n"), QByteArray("-150\n"), QByteArray("1 50\n"),
          QByteArray("00000000175\n"), QByteArray("\n"), QByteArray(1 << 20, '1')}) {
        WriteFile(path, bytes);
        QCOMPARE(ReadZoomFile(files, file), 100);
    }

    // A window on a damaged file starts at today's size.
    WriteFile(path, QByteArray("2\0000\n", 4));
    TWindow w;
    QVERIFY(w.Start());
    QCOMPARE(w.Table()->Zoom(), 1.0);
    QCOMPARE(w.Form->width(), 684);
}

QTEST_MAIN(TZoomTest)
#include "zoom_test.moc"
