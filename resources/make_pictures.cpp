// Build-time generator of the program's own pictures: renders our SVG
// drawings ("GAMEWON", "GAMELOST", "LOGO", the application icon) to PNG with
// alpha, and makes the three 24 x 24 variants of every toolbar picture
// (normal, disabled, hot) from the Tango icon theme's pictures. The toolbar pictures
// go into one sheet, "toolbar.png": one column per picture, the rows normal,
// disabled and hot; the program decodes one file instead of 33.
//
// Usage: trisk_make_pictures OUT_DIR SVG_DIR TANGO_24_DIR
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

namespace {

struct TToolbarPicture {
    const char* Tango;   // path below the theme's 24x24 folder
    const char* Letter;  // drawn instead when the theme is not installed
};

// In toolbar-picture order: new game, select shuffle, restart, undo, redo,
// insert bookmark, go to bookmark, load, save, options, exit.
constexpr TToolbarPicture kToolbar[] = {
    {"actions/document-new.png", "N"},   {"actions/edit-find.png", "#"},
    {"actions/view-refresh.png", "R"},   {"actions/edit-undo.png", "<"},
    {"actions/edit-redo.png", ">"},      {"actions/bookmark-new.png", "B"},
    {"actions/go-jump.png", "J"},        {"actions/document-open.png", "L"},
    {"actions/document-save.png", "S"},  {"categories/preferences-system.png", "O"},
    {"actions/system-log-out.png", "X"},
};

bool RenderSvg(const QString& source, const QString& target, int size) {
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) return false;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32).save(target, "PNG");
}

QImage FallbackPicture(const char* letter) {
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(40, 70, 120));
    painter.setBrush(QColor(120, 160, 220));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 4, 4);
    QFont font;
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QString::fromLatin1(letter));
    return image;
}

// Grey, and faded to 40 % opacity.
QImage DisabledVariant(const QImage& normal) {
    QImage image = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
        }
    }
    return image;
}

// A fifth brighter, so the picture under the pointer lights up.
QImage HotVariant(const QImage& normal) {
    QImage image = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            auto lift = [](int c) { return c + (255 - c) / 5; };
            line[x] = qRgba(lift(qRed(p)), lift(qGreen(p)), lift(qBlue(p)), qAlpha(p));
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: trisk_make_pictures OUT_DIR SVG_DIR TANGO_24_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir svg(QString::fromLocal8Bit(argv[2]));
    const QDir tango(QString::fromLocal8Bit(argv[3]));
    QDir().mkpath(out.path());

    bool ok = RenderSvg(svg.filePath("gamewon.svg"), out.filePath("GAMEWON.png"), 48) &&
              RenderSvg(svg.filePath("gamelost.svg"), out.filePath("GAMELOST.png"), 48) &&
              RenderSvg(svg.filePath("icon.svg"), out.filePath("icon.png"), 64) &&
              RenderSvg(svg.filePath("logo.svg"), out.filePath("LOGO.png"), 115) &&
              // The 48 x 48 icon of the installation's hicolor theme.
              RenderSvg(svg.filePath("icon.svg"), out.filePath("icon48.png"), 48);

    QImage sheet(24 * 11, 24 * 3, QImage::Format_ARGB32);
    sheet.fill(Qt::transparent);
    QPainter sheetPainter(&sheet);
    sheetPainter.setCompositionMode(QPainter::CompositionMode_Source);
    int index = 0;
    for (const TToolbarPicture& picture : kToolbar) {
        QImage normal(tango.filePath(QString::fromLatin1(picture.Tango)));
        if (normal.isNull()) {
            std::fprintf(stderr, "trisk_make_pictures: %s missing, drawing a plain picture\n",
                         picture.Tango);
            normal = FallbackPicture(picture.Letter);
        }
        normal = normal.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
        sheetPainter.drawImage(index * 24, 0, normal);
        sheetPainter.drawImage(index * 24, 24, DisabledVariant(normal));
        sheetPainter.drawImage(index * 24, 48, HotVariant(normal));
        ++index;
    }
    sheetPainter.end();
    ok = ok && sheet.save(out.filePath("toolbar.png"), "PNG");
    if (!ok) {
        std::fprintf(stderr, "trisk_make_pictures: could not write the pictures\n");
        return 1;
    }
    return 0;
}
