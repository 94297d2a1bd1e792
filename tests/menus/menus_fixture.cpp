#include "menus_fixture.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPalette>

namespace trisk::test {

void SetEdgeCasePalette() {
    QPalette palette = QApplication::palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, QColor(240, 240, 240));
        palette.setColor(group, QPalette::Highlight, QColor(51, 153, 255));
        palette.setColor(group, QPalette::Dark, QColor(160, 160, 160));
    }
    QApplication::setPalette(palette);
}

QFont FontWithLineHeight(int height) {
    QFont font(QStringLiteral("DejaVu Sans"));
    for (int pixels = 4; pixels < 4 * height; ++pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() == height) return font;
    }
    qFatal("no pixel size gives a %d-pixel line", height);
    return font;
}

QColor Rgb(const QImage& image, int x, int y) {
    return QColor::fromRgb(image.pixel(x, y) | 0xff000000u);
}

}  // namespace trisk::test
