// TVoMenu: defaults and properties, the check bitmap, the measure, attaching
// to menus and the unit state.
#include "menus/vomenus.h"

#include "menus_fixture.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QtTest>

#include <memory>

namespace trisk::test {

namespace {

// The measure the style gives for an option (what QMenu asks).
QSize StyleMeasure(QStyle* style, QStyle::ContentsType type, const QStyleOptionMenuItem& option,
                   QSize proposed = QSize(10, 10)) {
    return style->sizeFromContents(type, &option, proposed, nullptr);
}

QStyleOptionMenuItem MenuOption(
    const QString& text, QStyleOptionMenuItem::MenuItemType type = QStyleOptionMenuItem::Normal) {
    QStyleOptionMenuItem option;
    option.state = QStyle::State_Enabled;
    option.menuItemType = type;
    option.text = text;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.maxIconWidth = 0;
    option.fontMetrics = QFontMetrics(QApplication::font("QMenu"));
    return option;
}

}  // namespace

class VoMenuTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        SetEdgeCasePalette();
        InitializeMenusUnits();
        QVERIFY(VoMenu);
    }
    void cleanupTestCase() { FinalizeMenusUnits(); }

    void defaultsComeFromTheSystemColours() {
        TVoMenu menu;
        QCOMPARE(menu.GutterColor(), clBtnFace);  // the system colour itself
        QCOMPARE(menu.MenuColor(), TColor::FromRgb(253, 253, 253));
        QCOMPARE(menu.SelectedColor(), TColor::FromRgb(184, 219, 255));
        QCOMPARE(menu.SelLightColor(), TColor::FromRgb(204, 230, 255));
        QCOMPARE(menu.MinWidth(), 0);
        QCOMPARE(menu.MinHeight(), 20);
        QCOMPARE(menu.Font(), QApplication::font("QMenu"));
        QVERIFY(menu.Style() != nullptr);
    }

    void gutterFollowsTheSystemColourTheOthersDoNot() {
        TVoMenu menu;
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, QColor(200, 200, 200));
        QApplication::setPalette(palette);
        QCOMPARE(ToQColor(menu.GutterColor()), QColor(200, 200, 200));
        QCOMPARE(menu.MenuColor(), TColor::FromRgb(253, 253, 253));
        SetEdgeCasePalette();
    }

    void setMinHeightKeepsAtLeastTwenty_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("12") << 12 << 20;
        QTest::newRow("20") << 20 << 20;
        QTest::newRow("21") << 21 << 21;
        QTest::newRow("-5") << -5 << 20;
        QTest::newRow("40") << 40 << 40;
    }
    void setMinHeightKeepsAtLeastTwenty() {
        QFETCH(int, value);
        QFETCH(int, stored);
        TVoMenu menu;
        menu.SetMinHeight(value);
        QCOMPARE(menu.MinHeight(), stored);
    }

    void otherSettersStoreTheValue() {
        TVoMenu menu;
        menu.SetMenuColor(TColor::FromRgb(1, 2, 3));
        menu.SetGutterColor(TColor::FromRgb(4, 5, 6));
        menu.SetSelLightColor(TColor::FromRgb(7, 8, 9));
        menu.SetMinWidth(-7);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(17);
        menu.SetFont(font);
        QCOMPARE(menu.MenuColor(), TColor::FromRgb(1, 2, 3));
        QCOMPARE(menu.GutterColor(), TColor::FromRgb(4, 5, 6));
        QCOMPARE(menu.SelLightColor(), TColor::FromRgb(7, 8, 9));
        QCOMPARE(menu.MinWidth(), -7);
        QCOMPARE(menu.Font(), font);
        font.setPixelSize(30);  // a copy: the menu keeps its own
        QCOMPARE(menu.Font().pixelSize(), 17);
    }

    void setSelectedColorAlsoSetsSelLightColor() {
        TVoMenu menu;
        menu.SetSelectedColor(TColor::FromRgb(0, 100, 200));
        QCOMPARE(menu.SelectedColor(), TColor::FromRgb(0, 100, 200));
        // 0 + 255 * 0.75 = 191.25, 100 + 155 * 0.75 = 216.25, 200 + 55 * 0.75 = 241.25
        QCOMPARE(menu.SelLightColor(), TColor::FromRgb(191, 216, 241));
        menu.SetSelectedColor(clHighlight);
        QCOMPARE(menu.SelectedColor(), clHighlight);
        QCOMPARE(menu.SelLightColor(), TColor::FromRgb(204, 230, 255));
    }

    void checkBitmapComesFromCheckPattern() {
        const char* rows[12] = {
            "............", "............", "............", "........#...",
            ".......##...", "..#...###...", "..##.###....", "..#####.....",
            "...###......", "....#.......", "............", "............",
        };
        QVERIFY(CheckBitmap != nullptr);
        const QImage& check = *CheckBitmap;
        QCOMPARE(check.size(), QSize(12, 12));
        QCOMPARE(check.depth(), 1);
        int black = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                QCOMPARE(IsBlackPixel(check, x, y), rows[y][x] == '#');
                black += rows[y][x] == '#';
            }
        }
        QCOMPARE(black, 21);
        QCOMPARE(MakeCheckBitmap(), check);
    }

    void checkPatternIsReadByItsRules() {
        // "-" starts a row, "1" paints and moves on, "0" moves on.
        const QImage bitmap = MakeCheckBitmap("01-001-1");
        QCOMPARE(bitmap.size(), QSize(12, 12));
        QVERIFY(!IsBlackPixel(bitmap, 0, 0));
        QVERIFY(IsBlackPixel(bitmap, 1, 0));
        QVERIFY(IsBlackPixel(bitmap, 2, 1));
        QVERIFY(IsBlackPixel(bitmap, 0, 2));
        QVERIFY(!IsBlackPixel(bitmap, 1, 2));
    }

    void measureWithAThirteenPixelW() {
        const QFont font = FontWithLineHeight(13);
        const QFontMetrics metrics(font);
        int width = 0;
        int height = 0;
        MeasureItem(font, nullptr, false, QStringLiteral("&New Game"), QStringLiteral("F2"), 20, 0,
                    width, height);
        QCOMPARE(height, 20);
        QCOMPARE(width, metrics.horizontalAdvance(QStringLiteral("&New GameF2")) + 20 + 15);

        MeasureItem(font, nullptr, true, QStringLiteral("-"), QString(), 20, 0, width, height);
        QCOMPARE(height, 5);
        QCOMPARE(width, metrics.horizontalAdvance(QStringLiteral("-")) + 20 + 15);

        // The least width wins when larger.
        MeasureItem(font, nullptr, false, QStringLiteral("x"), QString(), 20, 500, width, height);
        QCOMPARE(width, 500);
        // A least height above 20 makes separators 11 high.
        MeasureItem(font, nullptr, true, QStringLiteral("-"), QString(), 21, 0, width, height);
        QCOMPARE(height, 11);
        MeasureItem(font, nullptr, false, QStringLiteral("x"), QString(), 21, 0, width, height);
        QCOMPARE(height, 21);
    }

    void measureWithImages() {
        const QFont font = FontWithLineHeight(13);
        const QFontMetrics metrics(font);
        const QString text = QStringLiteral("Open") + QStringLiteral("Ctrl+O");
        TImageList small(16, 16);
        int width = 7;
        int height = 8;
        // Separator: the height from the larger of MinHeight and the image
        // height, the width as proposed.
        MeasureItem(font, &small, true, QStringLiteral("-"), QString(), 20, 0, width, height);
        QCOMPARE(height, 5);
        QCOMPARE(width, 7);
        TImageList tall(16, 24);
        MeasureItem(font, &tall, true, QStringLiteral("-"), QString(), 20, 0, width, height);
        QCOMPARE(height, 11);
        // Items: Max(MinHeight, Max(13, image height) + 4); the gutter g is the
        // height when the image is narrower, else the image width + 5.
        MeasureItem(font, &small, false, QStringLiteral("Open"), QStringLiteral("Ctrl+O"), 20, 0,
                    width, height);
        QCOMPARE(height, 20);
        QCOMPARE(width, metrics.horizontalAdvance(text) + 20 + 15);
        TImageList wide(22, 18);
        MeasureItem(font, &wide, false, QStringLiteral("Open"), QStringLiteral("Ctrl+O"), 20, 0,
                    width, height);
        QCOMPARE(height, 22);
        QCOMPARE(width, metrics.horizontalAdvance(text) + 22 + 5 + 15);
    }

    void gutterWidth() {
        TVoMenu menu;
        menu.SetFont(FontWithLineHeight(13));
        TMenuItemInfo item;
        item.Caption = QStringLiteral("Undo");
        QCOMPARE(menu.GutterWidth(item, nullptr, QRect(0, 0, 120, 20)), 21);
        QCOMPARE(menu.GutterWidth(item, nullptr, QRect(0, 0, 120, 26)), 27);
        TMenuItemInfo line;
        line.IsLine = true;
        QCOMPARE(menu.GutterWidth(line, nullptr, QRect(0, 0, 120, 5)), 21);
        menu.SetMinHeight(24);
        QCOMPARE(menu.GutterWidth(line, nullptr, QRect(0, 0, 120, 11)), 25);
        // With images: Max(image width + 4, B - T), for a separator also the text.
        TImageList images(16, 16);
        item.Images = &images;
        line.Images = &images;
        menu.SetMinHeight(20);
        QCOMPARE(menu.GutterWidth(item, nullptr, QRect(0, 0, 120, 20)), 21);
        QCOMPARE(menu.GutterWidth(line, nullptr, QRect(0, 0, 120, 5)), 21);
        TImageList wide(30, 16);
        item.Images = &wide;
        QCOMPARE(menu.GutterWidth(item, nullptr, QRect(0, 0, 120, 20)), 35);
    }

    void topLevelMeasureIsTheCaptionWidth() {
        TVoMenu menu;
        const QFont font = FontWithLineHeight(13);
        menu.SetFont(font);
        TMenuItemInfo item;
        item.TopLevel = true;
        item.Caption = QStringLiteral("&Game");
        int width = 3;
        int height = 19;
        menu.MeasureItem(item, width, height);
        QCOMPARE(width, QFontMetrics(font).horizontalAdvance(QStringLiteral("&Game")));
        QCOMPARE(height, 19);  // as the platform proposed
    }

    void styleMeasureOfMenuItems() {
        TVoMenu menu;
        const QFont font = FontWithLineHeight(13);
        menu.SetFont(font);
        const QFontMetrics metrics(font);
        const int extra = 2 * metrics.averageCharWidth();
        QStyleOptionMenuItem option = MenuOption(QStringLiteral("&Undo"));
        option.fontMetrics = metrics;
        QCOMPARE(StyleMeasure(menu.Style(), QStyle::CT_MenuItem, option),
                 QSize(metrics.horizontalAdvance(QStringLiteral("&Undo")) + 35 + extra, 20));
        // QMenu adds the shortcut column itself: the measure leaves it out.
        option.text = QStringLiteral("&Undo\tCtrl+Z");
        QCOMPARE(StyleMeasure(menu.Style(), QStyle::CT_MenuItem, option),
                 QSize(metrics.horizontalAdvance(QStringLiteral("&UndoCtrl+Z")) + 35 -
                           metrics.horizontalAdvance(QStringLiteral("Ctrl+Z")) + extra,
                       20));
        QStyleOptionMenuItem line = MenuOption(QString(), QStyleOptionMenuItem::Separator);
        line.fontMetrics = metrics;
        QCOMPARE(StyleMeasure(menu.Style(), QStyle::CT_MenuItem, line).height(), 5);
    }

    void styleMeasureOfMenuBarItems() {
        TVoMenu menu;
        const QFont font = FontWithLineHeight(13);
        menu.SetFont(font);
        const QFontMetrics metrics(font);
        QStyleOptionMenuItem option = MenuOption(QStringLiteral("&Game"));
        const QSize proposed(metrics.horizontalAdvance(QStringLiteral("Game")), metrics.height());
        const QSize fusion =
            static_cast<QProxyStyle*>(menu.Style())
                ->baseStyle()
                ->sizeFromContents(QStyle::CT_MenuBarItem, &option, proposed, nullptr);
        QCOMPARE(StyleMeasure(menu.Style(), QStyle::CT_MenuBarItem, option, proposed),
                 QSize(metrics.horizontalAdvance(QStringLiteral("&Game")) +
                           2 * metrics.averageCharWidth(),
                       fusion.height()));
    }

    void addHooksTheMenuAndItsSubmenus() {
        TVoMenu painter;
        QMenu menu;
        menu.addAction(QStringLiteral("One"));
        QMenu* sub = menu.addMenu(QStringLiteral("Sub"));
        QMenu* subSub = sub->addMenu(QStringLiteral("SubSub"));
        painter.Add(static_cast<QMenu*>(nullptr));  // nothing for none
        painter.Add(&menu);
        QCOMPARE(menu.style(), painter.Style());
        QCOMPARE(sub->style(), painter.Style());
        QCOMPARE(subSub->style(), painter.Style());
        // A submenu added later is not hooked.
        QMenu* later = menu.addMenu(QStringLiteral("Later"));
        QVERIFY(later->style() != painter.Style());
    }

    void addHooksTheMenuBarWithoutNativeBar() {
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_DontUseNativeMenuBar));
        TVoMenu painter;
        QMenuBar bar;
        QMenu* game = bar.addMenu(QStringLiteral("&Game"));
        QMenu* kind = game->addMenu(QStringLiteral("Napoleon's Tomb"));
        painter.Add(static_cast<QMenuBar*>(nullptr));
        painter.Add(&bar);
        QVERIFY(!bar.isNativeMenuBar());
        QCOMPARE(bar.style(), painter.Style());
        QCOMPARE(game->style(), painter.Style());
        QCOMPARE(kind->style(), painter.Style());
    }

    void freeingThePainterGivesTheMenusBackTheirStyle() {
        QMenu menu;
        {
            TVoMenu painter;
            painter.Add(&menu);
            QCOMPARE(menu.style(), painter.Style());
        }
        QCOMPARE(menu.style(), QApplication::style());
        menu.addAction(QStringLiteral("still works"));
        QVERIFY(menu.sizeHint().isValid());
    }

    void realMenuLayout() {
        TVoMenu painter;
        const QFont font = FontWithLineHeight(13);
        painter.SetFont(font);
        QMenu menu;
        menu.setFont(font);
        QAction* undo = menu.addAction(QStringLiteral("&Undo"));
        undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
        QAction* line = menu.addSeparator();
        QAction* exit = menu.addAction(QStringLiteral("E&xit"));
        painter.Add(&menu);
        menu.ensurePolished();
        (void)menu.sizeHint();
        QCOMPARE(menu.actionGeometry(undo).height(), 20);
        QCOMPARE(menu.actionGeometry(line).height(), 5);
        QCOMPARE(menu.actionGeometry(exit).height(), 20);
        // The widest item is "&UndoCtrl+Z" + 20 + 15 and the platform's two
        // average characters: the shortcut is counted once.
        const QFontMetrics metrics(font);
        const QString shortcut = undo->shortcut().toString(QKeySequence::NativeText);
        const int widest = metrics.horizontalAdvance(QStringLiteral("&Undo") + shortcut) + 35 +
                           2 * metrics.averageCharWidth();
        QCOMPARE(menu.actionGeometry(undo).width(), widest);
        QCOMPARE(menu.actionGeometry(exit).width(), widest);
    }

    void unitStateIsMadeAndFreed() {
        QVERIFY(VoMenu);
        QCOMPARE(VoMenu->parent(), QCoreApplication::instance());
        QVERIFY(CheckBitmap != nullptr);
        QVERIFY(FMonoBitmap != nullptr);
        TVoMenu* made = VoMenu.data();
        InitializeMenusUnits();  // a second call keeps the state
        QCOMPARE(VoMenu.data(), made);

        QPointer<TVoMenu> watch = VoMenu.data();
        FinalizeMenusUnits();
        QVERIFY(!VoMenu);
        QVERIFY(!watch);
        QVERIFY(CheckBitmap == nullptr);
        QVERIFY(FMonoBitmap == nullptr);
        FinalizeMenusUnits();  // twice is harmless

        MenusUnitsScope scope;
        QVERIFY(VoMenu);
        QVERIFY(CheckBitmap != nullptr);
    }
};

std::unique_ptr<QObject> MakeVoMenuTest() {
    return std::make_unique<VoMenuTest>();
}

}  // namespace trisk::test

#include "vomenus_test.moc"
