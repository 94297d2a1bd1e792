// The table on a screen of two device pixels per point (the test runs with
// QT_SCALE_FACTOR=2): the cards are drawn from the library's larger drawings,
// not enlarged pixel by pixel, and the table's points stay where they were.
#include <QTest>

#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

// The share of aligned 2 x 2 blocks, among those not all table green, whose
// four pixels are not all one colour. Every block of a picture enlarged
// pixel by pixel is one colour.
double SharpShare(const QImage& shot) {
    const QRgb green = qRgb(0, 128, 0);
    int drawn = 0;
    int sharp = 0;
    for (int y = 0; y + 1 < shot.height(); y += 2) {
        for (int x = 0; x + 1 < shot.width(); x += 2) {
            const QRgb a = shot.pixel(x, y), b = shot.pixel(x + 1, y), c = shot.pixel(x, y + 1),
                       d = shot.pixel(x + 1, y + 1);
            if (a == green && b == green && c == green && d == green) continue;
            ++drawn;
            if (a != b || a != c || a != d) ++sharp;
        }
    }
    return drawn == 0 ? 0 : double(sharp) / drawn;
}

}  // namespace

class TSharpTest : public QObject {
    Q_OBJECT
  private slots:
    void cardsAreDrawnAtTheDeviceResolution();
};

void TSharpTest::cardsAreDrawnAtTheDeviceResolution() {
    TSettingsFolder folder;
    TWindow w;
    QVERIFY(w.Start());
    w.Deal(gkTriskClassic, 7);
    QVERIFY(w.ShowActive());
    QCOMPARE(w.Form->width(), 684);
    const QImage shot = w.Table()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.width(), 2 * w.Table()->width());
    const double share = SharpShare(shot);
    qInfo("%.1f %% of the drawn blocks are not one colour", 100 * share);
    QVERIFY2(share >= 0.08, qPrintable(QString::number(share)));

    // The stock is hit at the same table point as at scale 1.
    const int stock = w.Game().Board().Deck.CountCards();
    w.Release(90, 130);
    QVERIFY(w.Game().Board().Deck.CountCards() < stock);
}

QTEST_MAIN(TSharpTest)
#include "sharp_test.moc"
