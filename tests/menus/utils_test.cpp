// Utils: colours from the palette, the light and shade arithmetic with its
// rounding, and the one-bit bitmap helpers.
#include "menus/utils.h"

#include "menus_fixture.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

#include <memory>

namespace trisk::test {

class UtilsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { SetEdgeCasePalette(); }
    void cleanupTestCase() { FinalizeUtils(); }

    void systemColoursComeFromThePalette() {
        QCOMPARE(ToQColor(clBtnFace), QColor(240, 240, 240));
        QCOMPARE(ToQColor(clHighlight), QColor(51, 153, 255));
        QCOMPARE(ToQColor(clBtnShadow), QColor(160, 160, 160));
        QVERIFY(clBtnFace.IsSystem());
        QVERIFY(!ColorToRGB(clBtnFace).IsSystem());
        QCOMPARE(ColorToRGB(clBtnFace), TColor::FromRgb(240, 240, 240));
        // A plain colour stays as it is.
        QCOMPARE(ColorToRGB(TColor::FromRgb(1, 2, 3)), TColor::FromRgb(1, 2, 3));

        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, QColor(200, 100, 50));
        QApplication::setPalette(palette);
        QCOMPARE(ToQColor(clBtnFace), QColor(200, 100, 50));
    }

    void minAndMax() {
        QCOMPARE(Min(3, -4), -4);
        QCOMPARE(Max(3, -4), 3);
        QCOMPARE(Min(INT_MIN, INT_MAX), INT_MIN);
        QCOMPARE(Max(INT_MIN, INT_MAX), INT_MAX);
    }

    void buttonFaceEdgeCases() {
        // Button face 240: MenuColor 253 (252.75), BtnHighlight 248 (247.5 to even).
        QCOMPARE(GetLightColor(clBtnFace, 85), TColor::FromRgb(253, 253, 253));
        QCOMPARE(BtnHighlight(), TColor::FromRgb(248, 248, 248));
    }

    void highlightEdgeCases() {
        QCOMPARE(GetLightColor(clHighlight, 65), TColor::FromRgb(184, 219, 255));
        // 153 + 102 * 0.75 = 229.5 rounds to the even 230.
        QCOMPARE(GetLightColor(clHighlight, 75), TColor::FromRgb(204, 230, 255));
        QCOMPARE(GetShadeColor(clHighlight, 50), TColor::FromRgb(1, 103, 205));
    }

    void lightColourRoundsHalfToEven_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("expected");
        QTest::newRow("0 by 50: 127.5 up to 128") << 0 << 50 << 128;
        QTest::newRow("2 by 50: 128.5 down to 128") << 2 << 50 << 128;
        QTest::newRow("4 by 50: 129.5 up to 130") << 4 << 50 << 130;
        QTest::newRow("6 by 50: 130.5 down to 130") << 6 << 50 << 130;
        QTest::newRow("240 by 50: 247.5 up to 248") << 240 << 50 << 248;
        QTest::newRow("242 by 50: 248.5 down to 248") << 242 << 50 << 248;
        QTest::newRow("1 by 50: 128 exactly") << 1 << 50 << 128;
        QTest::newRow("0 by 0") << 0 << 0 << 0;
        QTest::newRow("77 by 0") << 77 << 0 << 77;
        QTest::newRow("0 by 100") << 0 << 100 << 255;
        QTest::newRow("255 by 33") << 255 << 33 << 255;
        // 0.1 is not exact, but 245 times its extended value rounds back to
        // 24.5, so 34.5 goes to the even 34.
        QTest::newRow("10 by 10: 34.5 down to 34") << 10 << 10 << 34;
    }
    void lightColourRoundsHalfToEven() {
        QFETCH(int, channel);
        QFETCH(int, percent);
        QFETCH(int, expected);
        const TColor light = GetLightColor(TColor::FromRgb(channel, channel, channel),
                                           static_cast<std::uint8_t>(percent));
        QCOMPARE(light, TColor::FromRgb(expected, expected, expected));
    }

    void lightColourWorksOnEachChannel() {
        QCOMPARE(GetLightColor(TColor::FromRgb(2, 4, 6), 50), TColor::FromRgb(128, 130, 130));
    }

    void shadeColourStopsAtZero() {
        QCOMPARE(GetShadeColor(TColor::FromRgb(10, 60, 255), 50), TColor::FromRgb(0, 10, 205));
        QCOMPARE(GetShadeColor(clBtnShadow, 50), TColor::FromRgb(110, 110, 110));
        QCOMPARE(GetShadeColor(TColor::FromRgb(1, 2, 3), 0), TColor::FromRgb(1, 2, 3));
        QCOMPARE(GetShadeColor(TColor::FromRgb(1, 2, 3), 255), TColor::FromRgb(0, 0, 0));
    }

    void monoBitmapStartsWhite() {
        const QImage bitmap = MakeMonoBitmap(5, 3);
        QCOMPARE(bitmap.size(), QSize(5, 3));
        QCOMPARE(bitmap.depth(), 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                QVERIFY(!IsBlackPixel(bitmap, x, y));
        QVERIFY(!IsBlackPixel(bitmap, 5, 0));  // outside
    }

    void drawMonoBmpPaintsTheBlackPixelsOnly_data() {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("scale 1") << 1.0;
        QTest::newRow("scale 2") << 2.0;
        QTest::newRow("scale 1.5") << 1.5;
    }
    void drawMonoBmpPaintsTheBlackPixelsOnly() {
        QFETCH(qreal, dpr);
        QImage bitmap = MakeMonoBitmap(3, 2);
        bitmap.setPixel(0, 0, 0);
        bitmap.setPixel(2, 1, 0);

        const int side = qCeil(10 * dpr);
        QImage canvas(side, side, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(QColor(10, 20, 30));
        canvas.setDevicePixelRatio(dpr);
        {
            QPainter painter(&canvas);
            painter.setPen(QColor(1, 2, 3));
            DrawMonoBmp(&painter, bitmap, TColor::FromRgb(200, 0, 100), 4, 2);
            // The painter's state is as it was.
            QCOMPARE(painter.pen().color(), QColor(1, 2, 3));
        }
        const QColor paint(200, 0, 100);
        const QColor ground(10, 20, 30);
        // Every device pixel shows the bitmap pixel it falls in.
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const qreal lx = x / dpr - 4;
                const qreal ly = y / dpr - 2;
                const bool black = (lx >= 0 && lx < 1 && ly >= 0 && ly < 1) ||
                                   (lx >= 2 && lx < 3 && ly >= 1 && ly < 2);
                QCOMPARE(Rgb(canvas, x, y), black ? paint : ground);
            }
        }
    }

    void getBmpFromImgListMarksEveryNonWhitePixel() {
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixelColor(1, 1, QColor(255, 0, 0));
        picture.setPixelColor(2, 3, QColor(250, 255, 255));  // nearly white counts
        picture.setPixelColor(3, 0, QColor(255, 255, 255));  // white stays white
        TImageList images(4, 4);
        QCOMPARE(images.Add(QIcon(QPixmap::fromImage(picture))), 0);

        QImage bitmap = MakeMonoBitmap(9, 9);
        bitmap.setPixel(0, 0, 0);
        GetBmpFromImgList(bitmap, &images, 0);
        QCOMPARE(bitmap.size(), QSize(4, 4));
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const bool black = (x == 1 && y == 1) || (x == 2 && y == 3);
                QCOMPARE(IsBlackPixel(bitmap, x, y), black);
            }
        }
        // Without an image list nothing changes.
        GetBmpFromImgList(bitmap, nullptr, 0);
        QCOMPARE(bitmap.size(), QSize(4, 4));
    }

    void doDrawMonoBmpUsesTheUnitBitmap() {
        FinalizeUtils();
        QVERIFY(FMonoBitmap == nullptr);
        QImage canvas(6, 6, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        {
            QPainter painter(&canvas);
            DoDrawMonoBmp(&painter, clBlack, 0, 0);  // no state yet: nothing
        }
        QCOMPARE(Rgb(canvas, 0, 0), QColor(Qt::white));

        InitializeUtils();
        QVERIFY(FMonoBitmap != nullptr);
        QImage* made = FMonoBitmap;
        InitializeUtils();  // a second call keeps the state
        QCOMPARE(FMonoBitmap, made);
        *FMonoBitmap = MakeMonoBitmap(2, 2);
        FMonoBitmap->setPixel(1, 1, 0);
        {
            QPainter painter(&canvas);
            DoDrawMonoBmp(&painter, clBtnShadow, 2, 3);
        }
        QCOMPARE(Rgb(canvas, 3, 4), QColor(160, 160, 160));
        QCOMPARE(Rgb(canvas, 2, 3), QColor(Qt::white));
        FinalizeUtils();
        QVERIFY(FMonoBitmap == nullptr);
    }
};

std::unique_ptr<QObject> MakeUtilsTest() {
    return std::make_unique<UtilsTest>();
}

}  // namespace trisk::test

#include "utils_test.moc"
