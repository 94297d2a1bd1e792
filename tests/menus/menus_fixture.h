// What the menu tests share: the system colours of the known colour
// cases, a menu font whose line is 13 pixels high, and the test classes.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>

namespace trisk::test {

// Button face (240, 240, 240), highlight (51, 153, 255), button shadow
// (QPalette::Dark) (160, 160, 160), as the application palette.
void SetEdgeCasePalette();

// A font whose line ("W") is height pixels high, and its family's name.
QFont FontWithLineHeight(int height);

// Colour of an image pixel, alpha ignored.
QColor Rgb(const QImage& image, int x, int y);

}  // namespace trisk::test
