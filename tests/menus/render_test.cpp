// Painting: items drawn by the style into images at scale 1 and 2, checked
// pixel by pixel where the painter's look is exact (gutter, backgrounds, frames,
// the check box and the check mark, the separator line), and a real QMenu and
// QMenuBar rendered the way their widgets paint them.
#include "menus/vomenus.h"

#include "menus_fixture.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QtTest>

#include <functional>
#include <memory>

namespace trisk::test {

namespace {

const QColor kButtonFace(240, 240, 240);
const QColor kMenuColour(253, 253, 253);
const QColor kSelected(184, 219, 255);
const QColor kSelLight(204, 230, 255);
const QColor kHighlightShade(1, 103, 205);  // GetShadeColor(highlight, 50)
const QColor kShadowShade(110, 110, 110);   // GetShadeColor(button shadow, 50)
const QColor kButtonShadow(160, 160, 160);
const QColor kBtnHighlight(248, 248, 248);
const QColor kBlack(0, 0, 0);

const char* const kCheckRows[12] = {
    "............", "............", "............", "........#...", ".......##...", "..#...###...",
    "..##.###....", "..#####.....", "...###......", "....#.......", "............", "............",
};

// An item painted into an image of its logical size at a device pixel ratio.
class Painted {
  public:
    Painted(QStyle* style, QStyle::ControlElement element, const QStyleOptionMenuItem& option,
            qreal dpr)
        : dpr_(dpr) {
        image_ = QImage(qCeil(option.rect.width() * dpr), qCeil(option.rect.height() * dpr),
                        QImage::Format_ARGB32_Premultiplied);
        image_.fill(QColor(255, 0, 255));  // anything left unpainted shows
        image_.setDevicePixelRatio(dpr);
        QPainter painter(&image_);
        style->drawControl(element, &option, &painter, nullptr);
    }

    // The colour of logical pixel (x, y); every device pixel in it must agree.
    QColor At(int x, int y) const {
        const int d = qRound(dpr_);
        const QColor first = Rgb(image_, x * d, y * d);
        for (int dy = 0; dy < d; ++dy)
            for (int dx = 0; dx < d; ++dx)
                if (Rgb(image_, x * d + dx, y * d + dy) != first) return QColor(255, 0, 255, 0);
        return first;
    }

    // Device pixels darker than `below` (grey level) inside the logical box.
    int CountDark(int below, const QRect& logical = QRect()) const {
        const QRect box = logical.isNull()
                              ? QRect(QPoint(0, 0), image_.deviceIndependentSize().toSize())
                              : logical;
        int count = 0;
        for (int y = qRound(box.top() * dpr_); y < qRound((box.bottom() + 1) * dpr_); ++y)
            for (int x = qRound(box.left() * dpr_); x < qRound((box.right() + 1) * dpr_); ++x)
                count += qGray(image_.pixel(x, y)) < below;
        return count;
    }
    // The darkest grey level inside the logical box.
    int Darkest(const QRect& logical) const {
        int darkest = 255;
        for (int y = qRound(logical.top() * dpr_); y < qRound((logical.bottom() + 1) * dpr_); ++y)
            for (int x = qRound(logical.left() * dpr_); x < qRound((logical.right() + 1) * dpr_);
                 ++x)
                darkest = qMin(darkest, qGray(image_.pixel(x, y)));
        return darkest;
    }
    // Logical x of the rightmost device pixel darker than `below`, or -1.
    int RightmostDark(int below) const {
        for (int x = image_.width() - 1; x >= 0; --x)
            for (int y = 0; y < image_.height(); ++y)
                if (qGray(image_.pixel(x, y)) < below) return int(x / dpr_);
        return -1;
    }
    const QImage& Image() const { return image_; }

  private:
    QImage image_;
    qreal dpr_;
};

QStyleOptionMenuItem Item(const QString& text, int width, int height,
                          QStyleOptionMenuItem::MenuItemType type = QStyleOptionMenuItem::Normal) {
    QStyleOptionMenuItem option;
    option.rect = QRect(0, 0, width, height);
    option.state = QStyle::State_Enabled;
    option.menuItemType = type;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.text = text;
    option.maxIconWidth = 0;
    return option;
}

QIcon SolidIcon(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

}  // namespace

class RenderTest : public QObject {
    Q_OBJECT
  private:
    QStyle* style() const { return VoMenu->Style(); }
    static void addScales() {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("scale 1") << 1.0;
        QTest::newRow("scale 2") << 2.0;
    }

    // Checks the row and column of a frame drawn with `pen` around (L, T, R, B).
    static void verifyFrame(const Painted& item, int L, int T, int R, int B, const QColor& pen) {
        for (int x = L; x < R; ++x) {
            QCOMPARE(item.At(x, T), pen);
            QCOMPARE(item.At(x, B - 1), pen);
        }
        for (int y = T; y < B; ++y) {
            QCOMPARE(item.At(L, y), pen);
            QCOMPARE(item.At(R - 1, y), pen);
        }
    }

  private slots:
    void initTestCase() {
        SetEdgeCasePalette();
        InitializeMenusUnits();
        QVERIFY(VoMenu);
        VoMenu->SetFont(FontWithLineHeight(13));
    }
    void cleanupTestCase() { FinalizeMenusUnits(); }

    void plainItem_data() { addScales(); }
    void plainItem() {
        QFETCH(qreal, dpr);
        const Painted item(style(), QStyle::CE_MenuItem, Item(QStringLiteral("&Undo"), 160, 20),
                           dpr);
        // Gutter 21 wide in button face, the rest in MenuColor.
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 21; ++x)
                QCOMPARE(item.At(x, y), kButtonFace);
            for (int x = 21; x < 26; ++x)
                QCOMPARE(item.At(x, y), kMenuColour);
            for (int x = 120; x < 160; ++x)
                QCOMPARE(item.At(x, y), kMenuColour);
        }
        // Black text starting after the gutter and 5 pixels.
        QVERIFY(item.Darkest(QRect(26, 0, 94, 20)) < 60);
    }

    void selectedItem_data() { addScales(); }
    void selectedItem() {
        QFETCH(qreal, dpr);
        QStyleOptionMenuItem option = Item(QStringLiteral("&Undo"), 160, 20);
        option.state |= QStyle::State_Selected;
        const Painted item(style(), QStyle::CE_MenuItem, option, dpr);
        verifyFrame(item, 0, 0, 160, 20, kHighlightShade);
        for (int y = 1; y < 19; ++y) {
            for (int x = 1; x < 26; ++x)
                QCOMPARE(item.At(x, y), kSelected);
            for (int x = 120; x < 159; ++x)
                QCOMPARE(item.At(x, y), kSelected);
        }
        QVERIFY(item.Darkest(QRect(26, 1, 94, 18)) < 60);
    }

    void checkedItem_data() {
        QTest::addColumn<qreal>("dpr");
        QTest::addColumn<int>("checkType");
        QTest::newRow("check, scale 1") << 1.0 << int(QStyleOptionMenuItem::NonExclusive);
        QTest::newRow("check, scale 2") << 2.0 << int(QStyleOptionMenuItem::NonExclusive);
        QTest::newRow("radio, scale 1") << 1.0 << int(QStyleOptionMenuItem::Exclusive);
        QTest::newRow("radio, scale 2") << 2.0 << int(QStyleOptionMenuItem::Exclusive);
    }
    void checkedItem() {
        QFETCH(qreal, dpr);
        QFETCH(int, checkType);
        QStyleOptionMenuItem option = Item(QStringLiteral("&Toolbar"), 160, 20);
        option.checkType = QStyleOptionMenuItem::CheckType(checkType);
        option.checked = true;
        const Painted item(style(), QStyle::CE_MenuItem, option, dpr);
        // The gutter around the box.
        for (int y = 0; y < 20; ++y) {
            QCOMPARE(item.At(0, y), kButtonFace);
            QCOMPARE(item.At(19, y), kButtonFace);
            QCOMPARE(item.At(20, y), kButtonFace);
        }
        for (int x = 0; x < 21; ++x) {
            QCOMPARE(item.At(x, 0), kButtonFace);
            QCOMPARE(item.At(x, 19), kButtonFace);
        }
        // The box (1, 1, 19, 19): outline in the highlight's shade.
        verifyFrame(item, 1, 1, 19, 19, kHighlightShade);
        // Inside it SelLightColor, and the 12 x 12 mark at ((21 - 1 - 12) div 2,
        // (20 - 12) div 2) = (4, 4).
        for (int y = 2; y < 18; ++y) {
            for (int x = 2; x < 18; ++x) {
                const int mx = x - 4;
                const int my = y - 4;
                const bool mark =
                    mx >= 0 && mx < 12 && my >= 0 && my < 12 && kCheckRows[my][mx] == '#';
                QCOMPARE(item.At(x, y), mark ? kBlack : kSelLight);
            }
        }
    }

    void checkedAndSelectedItem() {
        QStyleOptionMenuItem option = Item(QStringLiteral("&Toolbar"), 160, 20);
        option.checkType = QStyleOptionMenuItem::NonExclusive;
        option.checked = true;
        option.state |= QStyle::State_Selected;
        const Painted item(style(), QStyle::CE_MenuItem, option, 1.0);
        verifyFrame(item, 0, 0, 160, 20, kHighlightShade);
        QCOMPARE(item.At(19, 10), kSelected);  // the selection around the box
        verifyFrame(item, 1, 1, 19, 19, kHighlightShade);
        QCOMPARE(item.At(2, 2), kSelLight);
        QCOMPARE(item.At(12, 7), kBlack);
    }

    void uncheckedCheckableItemHasNoBox() {
        QStyleOptionMenuItem option = Item(QStringLiteral("&Toolbar"), 160, 20);
        option.checkType = QStyleOptionMenuItem::NonExclusive;
        option.checked = false;
        const Painted item(style(), QStyle::CE_MenuItem, option, 1.0);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 21; ++x)
                QCOMPARE(item.At(x, y), kButtonFace);
    }

    void disabledItem_data() { addScales(); }
    void disabledItem() {
        QFETCH(qreal, dpr);
        QStyleOptionMenuItem option = Item(QStringLiteral("&Redo"), 160, 20);
        option.state &= ~QStyle::State_Enabled;
        const Painted item(style(), QStyle::CE_MenuItem, option, dpr);
        // Grey (128, 128, 128) text: nothing darker, but some ink.
        const QRect text(26, 0, 94, 20);
        QCOMPARE(item.Darkest(text), 128);
        QVERIFY(item.CountDark(200, text) > 10);
        QCOMPARE(item.At(5, 5), kButtonFace);
    }

    void separator_data() { addScales(); }
    void separator() {
        QFETCH(qreal, dpr);
        const Painted item(style(), QStyle::CE_MenuItem,
                           Item(QString(), 160, 5, QStyleOptionMenuItem::Separator), dpr);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 21; ++x)
                QCOMPARE(item.At(x, y), kButtonFace);
            for (int x = 21; x < 160; ++x) {
                const bool line = y == 2 && x >= 26;
                QCOMPARE(item.At(x, y), line ? kButtonShadow : kMenuColour);
            }
        }
    }

    void defaultItemIsBold() {
        QStyleOptionMenuItem option = Item(QStringLiteral("&Restore"), 160, 20);
        const Painted normal(style(), QStyle::CE_MenuItem, option, 1.0);
        option.menuItemType = QStyleOptionMenuItem::DefaultItem;
        const Painted bold(style(), QStyle::CE_MenuItem, option, 1.0);
        QVERIFY(bold.CountDark(100) > normal.CountDark(100));
        QVERIFY(bold.RightmostDark(100) > normal.RightmostDark(100));
    }

    void shortcutIsRightAligned_data() { addScales(); }
    void shortcutIsRightAligned() {
        QFETCH(qreal, dpr);
        const Painted item(style(), QStyle::CE_MenuItem,
                           Item(QStringLiteral("&Undo\tCtrl+Z"), 200, 20), dpr);
        // The shortcut ends 5 pixels before the right edge (at most a pixel
        // of side bearing short of it).
        const int right = item.RightmostDark(160);
        QVERIFY2(right <= 200 - 5 - 1 && right >= 200 - 5 - 3, qPrintable(QString::number(right)));
        // The caption at the left, nothing in between.
        const QFontMetrics metrics(VoMenu->Font());
        const int captionEnd = 26 + metrics.horizontalAdvance(QStringLiteral("Undo"));
        const int shortcutStart = 195 - metrics.horizontalAdvance(QStringLiteral("Ctrl+Z"));
        QCOMPARE(item.CountDark(160, QRect(captionEnd + 2, 0, shortcutStart - captionEnd - 4, 20)),
                 0);
        QVERIFY(item.CountDark(160, QRect(26, 0, captionEnd - 26, 20)) > 0);
    }

    void submenuArrow() {
        const Painted item(
            style(), QStyle::CE_MenuItem,
            Item(QStringLiteral("Napoleon's Tomb"), 200, 20, QStyleOptionMenuItem::SubMenu), 1.0);
        const int room = 2 * QFontMetrics(VoMenu->Font()).averageCharWidth();
        const int left = 200 - room + (room - 4) / 2;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(item.At(left + i, 10 - 3 + i), kBlack);
            QCOMPARE(item.At(left + i, 10 + 3 - i), kBlack);
            QCOMPARE(item.At(left + i, 10 - 4 + i), kMenuColour);
        }
        QCOMPARE(item.At(left - 1, 10), kMenuColour);
        QCOMPARE(item.At(left + 4, 10), kMenuColour);
    }

    void topLevelItem_data() { addScales(); }
    void topLevelItem() {
        QFETCH(qreal, dpr);
        const Painted item(style(), QStyle::CE_MenuBarItem, Item(QStringLiteral("&Game"), 60, 20),
                           dpr);
        for (int x = 0; x < 60; ++x) {
            QCOMPARE(item.At(x, 0), kButtonFace);
            QCOMPARE(item.At(x, 19), kButtonFace);
        }
        for (int y = 0; y < 20; ++y) {
            QCOMPARE(item.At(0, y), kButtonFace);
            QCOMPARE(item.At(59, y), kButtonFace);
        }
        // The caption centred.
        const int width = QFontMetrics(VoMenu->Font()).horizontalAdvance(QStringLiteral("Game"));
        QVERIFY(item.Darkest(QRect((60 - width) / 2, 0, width, 20)) < 60);
        QCOMPARE(item.CountDark(200, QRect(0, 0, (60 - width) / 2 - 2, 20)), 0);
    }

    void topLevelSelectedItem_data() { addScales(); }
    void topLevelSelectedItem() {
        QFETCH(qreal, dpr);
        QStyleOptionMenuItem option = Item(QStringLiteral("&Game"), 60, 20);
        option.state |= QStyle::State_Selected | QStyle::State_Sunken;  // its menu is open
        const Painted item(style(), QStyle::CE_MenuBarItem, option, dpr);
        // BtnHighlight with the open-bottomed frame in the button shadow's shade.
        for (int y = 0; y < 20; ++y) {
            QCOMPARE(item.At(0, y), kShadowShade);
            QCOMPARE(item.At(59, y), kShadowShade);
        }
        for (int x = 0; x < 60; ++x)
            QCOMPARE(item.At(x, 0), kShadowShade);
        for (int x = 1; x < 59; ++x)
            QCOMPARE(item.At(x, 19), kBtnHighlight);
        QCOMPARE(item.At(1, 1), kBtnHighlight);
        QCOMPARE(item.At(58, 18), kBtnHighlight);
    }

    void topLevelHotItem_data() { addScales(); }
    void topLevelHotItem() {
        QFETCH(qreal, dpr);
        QStyleOptionMenuItem option = Item(QStringLiteral("&Game"), 60, 20);
        option.state |= QStyle::State_Selected;  // pointed at, its menu not open
        const Painted item(style(), QStyle::CE_MenuBarItem, option, dpr);
        verifyFrame(item, 0, 0, 60, 20, kHighlightShade);
        QCOMPARE(item.At(1, 1), kSelected);
        QCOMPARE(item.At(58, 18), kSelected);
    }

    void imageItem_data() { addScales(); }
    void imageItem() {
        QFETCH(qreal, dpr);
        QStyleOptionMenuItem option = Item(QStringLiteral("&Open"), 160, 20);
        option.maxIconWidth = 20;
        option.icon = SolidIcon(QColor(200, 0, 0));
        QCOMPARE(style()->pixelMetric(QStyle::PM_SmallIconSize), 16);
        const Painted enabled(style(), QStyle::CE_MenuItem, option, dpr);
        // Gutter Max(16 + 4, 20) + 1 = 21; the image at ((21 - 1 - 16) div 2,
        // (20 - 16) div 2) = (2, 2).
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 21; ++x) {
                const bool image = x >= 2 && x < 18 && y >= 2 && y < 18;
                QCOMPARE(enabled.At(x, y), image ? QColor(200, 0, 0) : kButtonFace);
            }
        }
        // Disabled: every non-white pixel of the image in the button shadow.
        option.state &= ~QStyle::State_Enabled;
        const Painted disabled(style(), QStyle::CE_MenuItem, option, dpr);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 21; ++x) {
                const bool image = x >= 2 && x < 18 && y >= 2 && y < 18;
                QCOMPARE(disabled.At(x, y), image ? kButtonShadow : kButtonFace);
            }
        }
        // An item without an icon in a menu with icons: checked shows the mark.
        option.icon = QIcon();
        option.state |= QStyle::State_Enabled;
        option.checkType = QStyleOptionMenuItem::NonExclusive;
        option.checked = true;
        const Painted checked(style(), QStyle::CE_MenuItem, option, dpr);
        QCOMPARE(checked.At(12, 7), kBlack);
        QCOMPARE(checked.At(2, 2), kSelLight);
    }

    void realMenu_data() { addScales(); }
    void realMenu() {
        QFETCH(qreal, dpr);
        QMenu menu;
        menu.setFont(VoMenu->Font());
        QAction* undo = menu.addAction(QStringLiteral("&Undo"));
        undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
        QAction* redo = menu.addAction(QStringLiteral("&Redo"));
        redo->setEnabled(false);
        QAction* line = menu.addSeparator();
        QAction* toolbar = menu.addAction(QStringLiteral("&Toolbar"));
        toolbar->setCheckable(true);
        toolbar->setChecked(true);
        QMenu* tomb = menu.addMenu(QStringLiteral("&Napoleon's Tomb"));
        tomb->menuAction()->setCheckable(true);
        tomb->menuAction()->setChecked(true);
        tomb->addAction(QStringLiteral("&Classical"));
        VoMenu->Add(&menu);
        menu.setActiveAction(undo);
        menu.resize(menu.sizeHint());

        QImage image(qCeil(menu.width() * dpr), qCeil(menu.height() * dpr),
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(QColor(255, 0, 255));
        menu.render(&image);
        if (const QString dir = qEnvironmentVariable("TRISK_MENUS_SCREENSHOT_DIR"); !dir.isEmpty())
            image.save(QDir(dir).filePath(QStringLiteral("menu-scale%1.png").arg(dpr)));

        const int d = qRound(dpr);
        auto at = [&](int x, int y) { return Rgb(image, x * d, y * d); };
        const QRect undoRect = menu.actionGeometry(undo);
        const QRect toolbarRect = menu.actionGeometry(toolbar);
        const QRect lineRect = menu.actionGeometry(line);
        QCOMPARE(undoRect.height(), 20);
        QCOMPARE(lineRect.height(), 5);
        // The selected item with its frame.
        QCOMPARE(at(undoRect.x(), undoRect.y() + 5), kHighlightShade);
        QCOMPARE(at(undoRect.x() + 3, undoRect.y() + 5), kSelected);
        // The plain gutter and background of the disabled item.
        const QRect redoRect = menu.actionGeometry(redo);
        QCOMPARE(at(redoRect.x() + 3, redoRect.y() + 3), kButtonFace);
        QCOMPARE(at(redoRect.right() - 3, redoRect.y() + 3), kMenuColour);
        // The separator line.
        QCOMPARE(at(lineRect.x() + 30, lineRect.y() + 2), kButtonShadow);
        // The check mark of the checked item (and of the checked submenu item),
        // its pixels sharp blocks at the scale.
        for (const QRect& rect : {toolbarRect, menu.actionGeometry(tomb->menuAction())}) {
            const int L = rect.x();
            const int T = rect.y();
            const int B = T + rect.height();
            const int markX = (L + 21 - 1 - 12) / 2;
            const int markY = (T + B - 12) / 2;
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 12; ++x) {
                    if (kCheckRows[y][x] != '#') continue;
                    for (int dy = 0; dy < d; ++dy)
                        for (int dx = 0; dx < d; ++dx)
                            QCOMPARE(Rgb(image, (markX + x) * d + dx, (markY + y) * d + dy),
                                     kBlack);
                }
            }
            QCOMPARE(at(L + 2, T + 2), kSelLight);
        }
        // The submenu was hooked too.
        QCOMPARE(tomb->style(), VoMenu->Style());
    }

    void realMenuBar() {
        QMenuBar bar;
        bar.setFont(VoMenu->Font());
        QMenu* game = bar.addMenu(QStringLiteral("&Game"));
        game->addAction(QStringLiteral("&New Game"));
        bar.addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
        VoMenu->Add(&bar);
        bar.resize(bar.sizeHint().width() + 40, bar.sizeHint().height());
        const QImage image = bar.grab().toImage();
        if (const QString dir = qEnvironmentVariable("TRISK_MENUS_SCREENSHOT_DIR"); !dir.isEmpty())
            image.save(QDir(dir).filePath(QStringLiteral("menubar.png")));
        const QRect gameRect = bar.actionGeometry(game->menuAction());
        const QFontMetrics metrics(VoMenu->Font());
        QCOMPARE(gameRect.width(), metrics.horizontalAdvance(QStringLiteral("&Game")) +
                                       2 * metrics.averageCharWidth());
        QCOMPARE(Rgb(image, gameRect.x() + 1, gameRect.y() + 1), kButtonFace);
        QVERIFY(qGray(image.pixel(gameRect.center())) < 255);
        int dark = 0;
        for (int y = gameRect.top(); y <= gameRect.bottom(); ++y)
            for (int x = gameRect.left(); x <= gameRect.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 60;
        QVERIFY(dark > 5);
    }
};

std::unique_ptr<QObject> MakeRenderTest() {
    return std::make_unique<RenderTest>();
}

}  // namespace trisk::test

#include "render_test.moc"
