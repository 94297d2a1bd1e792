#include "art.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <array>
#include <cmath>

namespace trisk::cardset {
namespace {

constexpr std::array<const char*, 4> kSuitIds = {"club", "diamond", "heart", "spade"};
constexpr std::array<const char*, 13> kRankIds = {"1", "2", "3",  "4",    "5",     "6",   "7",
                                                  "8", "9", "10", "jack", "queen", "king"};

// Marker colours: a darker patch of the table with a pale green outline.
const QColor kMarkerFill(0, 96, 0);
const QColor kMarkerLine(150, 215, 150);
const QColor kMarkerInk(205, 240, 205);

QImage TransparentCard(int scale) {
    QImage image(kCardWidth * scale, kCardHeight * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A drawing at a higher resolution keeps its antialiased edges as alpha; the
// PNG it goes into carries them, unlike the masked bitmaps.
QImage Finish(const QImage& argb, int scale) {
    return scale == 1 ? Flatten(argb) : argb.convertToFormat(QImage::Format_ARGB32);
}

QFont MarkerFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The empty-pile outline every marker starts from.
void DrawMarkerFrame(QPainter& painter) {
    painter.setPen(QPen(kMarkerLine, 2));
    painter.setBrush(kMarkerFill);
    painter.drawRoundedRect(QRectF(1.5, 1.5, kCardWidth - 3, kCardHeight - 3), 6, 6);
}

void DrawCaption(QPainter& painter, const QRectF& box, const QString& text, int pixelSize,
                 bool bold) {
    painter.setPen(kMarkerInk);
    painter.setFont(MarkerFont(pixelSize, bold));
    painter.drawText(box, Qt::AlignCenter, text);
}

void DrawBack(QPainter& painter) {
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(0.5, 0.5, kCardWidth - 1, kCardHeight - 1), 4, 4);

    const QRectF panel(4, 4, kCardWidth - 8, kCardHeight - 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(28, 70, 150));
    painter.drawRoundedRect(panel, 2, 2);

    // A lattice of thin diagonal lines, clipped to the panel.
    painter.save();
    painter.setClipRect(panel);
    painter.setPen(QPen(QColor(110, 150, 220), 1));
    for (int d = -kCardHeight; d < kCardWidth + kCardHeight; d += 7) {
        painter.drawLine(QPointF(d, 0), QPointF(d + kCardHeight, kCardHeight));
        painter.drawLine(QPointF(d, kCardHeight), QPointF(d + kCardHeight, 0));
    }
    painter.restore();

    // A pale diamond in the middle with a darker one inside.
    const QPointF centre(kCardWidth / 2.0, kCardHeight / 2.0);
    auto diamond = [&](double rx, double ry) {
        QPainterPath path;
        path.moveTo(centre.x(), centre.y() - ry);
        path.lineTo(centre.x() + rx, centre.y());
        path.lineTo(centre.x(), centre.y() + ry);
        path.lineTo(centre.x() - rx, centre.y());
        path.closeSubpath();
        return path;
    };
    painter.setPen(QPen(QColor(28, 70, 150), 1.5));
    painter.setBrush(QColor(235, 240, 250));
    painter.drawPath(diamond(18, 26));
    painter.setBrush(QColor(200, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.drawPath(diamond(8, 12));
}

void DrawCircularArrow(QPainter& painter) {
    const QPointF centre(kCardWidth / 2.0, kCardHeight / 2.0);
    const double radius = 20;
    painter.setPen(QPen(kMarkerInk, 5, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    // Qt angles: 1/16 degree, counter-clockwise from three o'clock. The arc
    // leaves a gap at the top right where the arrow head sits.
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.drawArc(box, 60 * 16, 280 * 16);

    // Arrow head at the arc's end (angle 340 degrees), pointing along the
    // direction of travel (counter-clockwise, i.e. upwards on the right).
    const double end = 340.0 * M_PI / 180.0;
    const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    const QPointF along(-std::sin(end), -std::cos(end));  // tangent, counter-clockwise on screen
    const QPointF across(std::cos(end), -std::sin(end));  // outward normal
    QPainterPath head;
    head.moveTo(tip + along * 11);
    head.lineTo(tip + across * 9);
    head.lineTo(tip - across * 9);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kMarkerInk);
    painter.drawPath(head);
}

void DrawNoMoreSign(QPainter& painter) {
    const QPointF centre(kCardWidth / 2.0, kCardHeight / 2.0 - 6);
    const double radius = 22;
    const QColor red(220, 40, 30);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(red, 6));
    painter.drawEllipse(centre, radius, radius);
    const double d = radius * std::sqrt(0.5);
    painter.drawLine(centre + QPointF(-d, -d), centre + QPointF(d, d));
    DrawCaption(painter, QRectF(0, kCardHeight - 26, kCardWidth, 18), QStringLiteral("empty"), 12,
                true);
}

void DrawSuitGrid(QPainter& painter) {
    // Clubs, diamonds, hearts, spades: one of each, so the place takes any card.
    static const std::array<std::pair<QChar, bool>, 4> suits = {
        std::pair{QChar(0x2663), false}, std::pair{QChar(0x2666), true},
        std::pair{QChar(0x2665), true}, std::pair{QChar(0x2660), false}};
    painter.setFont(MarkerFont(24, false));
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(8 + (i % 2) * 28, 10 + (i / 2) * 28, 28, 28);
        painter.setPen(suits[i].second ? QColor(255, 150, 140) : kMarkerInk);
        painter.drawText(cell, Qt::AlignCenter, QString(suits[i].first));
    }
    DrawCaption(painter, QRectF(0, kCardHeight - 30, kCardWidth, 20), QStringLiteral("any card"),
                11, true);
}

// A selection highlight laid over a card: a bright frame and a sparse dot
// pattern that tints the face while leaving it readable. Drawn without
// antialiasing, so every pixel is either highlight or mask colour.
QImage DrawSelectionMask1x() {
    QImage image(kCardWidth, kCardHeight, QImage::Format_RGB32);
    image.fill(kMaskColour);
    const QRgb frame = qRgb(255, 215, 0);
    const QRgb dot = qRgb(20, 40, 140);
    for (int y = 0; y < kCardHeight; ++y) {
        for (int x = 0; x < kCardWidth; ++x) {
            const int edge = std::min({x, y, kCardWidth - 1 - x, kCardHeight - 1 - y});
            if (edge < 3) {
                // Leave the rounded corners of the card free.
                const int cx = std::min(x, kCardWidth - 1 - x);
                const int cy = std::min(y, kCardHeight - 1 - y);
                if (cx + cy >= 2) image.setPixel(x, y, frame);
            } else if ((x + y) % 2 == 0 && y % 2 == 0) {
                image.setPixel(x, y, dot);
            }
        }
    }
    return image;
}

// The same highlight at a higher resolution, on transparency: the frame a
// rounded ring, the dots small discs at the same places.
QImage DrawSelectionMask(int scale) {
    if (scale == 1) return DrawSelectionMask1x();
    QImage image = TransparentCard(scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    QPainterPath ring;
    ring.addRoundedRect(QRectF(0, 0, kCardWidth, kCardHeight), 2, 2);
    ring.addRect(QRectF(3, 3, kCardWidth - 6, kCardHeight - 6));
    painter.fillPath(ring, QColor(255, 215, 0));
    painter.setBrush(QColor(20, 40, 140));
    for (int y = 4; y <= kCardHeight - 4; y += 2) {
        for (int x = 4; x <= kCardWidth - 4; x += 2) {
            painter.drawEllipse(QPointF(x + 0.5, y + 0.5), 0.6, 0.6);
        }
    }
    painter.end();
    return image;
}

}  // namespace

QImage Flatten(const QImage& argb) {
    const QImage source = argb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(source.size(), QImage::Format_RGB32);
    const int tr = qRed(kTableColour), tg = qGreen(kTableColour), tb = qBlue(kTableColour);
    for (int y = 0; y < source.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int a = qAlpha(in[x]);
            if (a < 128) {
                line[x] = kMaskColour;
                continue;
            }
            const int rest = 255 - a;
            QRgb pixel =
                qRgb(qRed(in[x]) + (tr * rest + 127) / 255, qGreen(in[x]) + (tg * rest + 127) / 255,
                     qBlue(in[x]) + (tb * rest + 127) / 255);
            if ((pixel & 0xFFFFFF) == (kMaskColour & 0xFFFFFF)) pixel = qRgb(255, 1, 255);
            line[x] = pixel;
        }
    }
    return out;
}

QImage RenderFaceSheet(const QString& svgPath, int scale, QString* error) {
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid()) {
        *error = QStringLiteral("cannot read the deck %1").arg(svgPath);
        return {};
    }
    const int width = kCardWidth * scale;
    const int height = kCardHeight * scale;
    QImage sheet(kSheetColumns * width, kSheetRows * height,
                 scale == 1 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    sheet.fill(scale == 1 ? QColor::fromRgb(kMaskColour) : QColor(Qt::transparent));
    QPainter sheetPainter(&sheet);
    for (int suit = 0; suit < kSheetRows; ++suit) {
        for (int rank = 0; rank < kSheetColumns; ++rank) {
            const QString id = QStringLiteral("%1_%2").arg(kRankIds[rank], kSuitIds[suit]);
            if (!renderer.elementExists(id)) {
                *error = QStringLiteral("%1 lacks the element %2").arg(svgPath, id);
                return {};
            }
            QImage card = TransparentCard(scale);
            QPainter painter(&card);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                                   QPainter::TextAntialiasing);
            renderer.render(&painter, id, QRectF(0, 0, width, height));
            painter.end();
            sheetPainter.drawImage(rank * width, suit * height, Finish(card, scale));
        }
    }
    sheetPainter.end();
    if (sheet.pixel(0, 0) != (scale == 1 ? kMaskColour : QRgb(0))) {
        *error = QStringLiteral("%1: the corner of the first card is not free").arg(svgPath);
        return {};
    }
    return sheet;
}

QImage DrawPicture(TPicture picture, int scale) {
    if (picture == TPicture::SelectionMask) return DrawSelectionMask(scale);

    QImage card = TransparentCard(scale);
    QPainter painter(&card);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    if (scale != 1) painter.scale(scale, scale);
    switch (picture) {
        case TPicture::Back:
            DrawBack(painter);
            break;
        case TPicture::Base:
            DrawMarkerFrame(painter);
            break;
        case TPicture::BaseAll:
            DrawMarkerFrame(painter);
            DrawSuitGrid(painter);
            break;
        case TPicture::BaseAce:
            DrawMarkerFrame(painter);
            DrawCaption(painter, QRectF(0, 8, kCardWidth, 52), QStringLiteral("A"), 44, true);
            DrawCaption(painter, QRectF(0, 60, kCardWidth, 28), QStringLiteral("Ace\nhere"), 11,
                        true);
            break;
        case TPicture::BaseKing:
            DrawMarkerFrame(painter);
            DrawCaption(painter, QRectF(0, 8, kCardWidth, 52), QStringLiteral("K"), 44, true);
            DrawCaption(painter, QRectF(0, 60, kCardWidth, 28), QStringLiteral("King\nhere"), 11,
                        true);
            break;
        case TPicture::Redeal:
            DrawMarkerFrame(painter);
            DrawCircularArrow(painter);
            break;
        case TPicture::EndGame:
            DrawMarkerFrame(painter);
            DrawNoMoreSign(painter);
            break;
        case TPicture::SelectionMask:
            break;
    }
    painter.end();
    return Finish(card, scale);
}

QImage MakePreview(const QImage& sheet, int scale) {
    QImage preview(160 * scale, 212 * scale, QImage::Format_RGB32);
    preview.fill(kTableColour);
    QPainter painter(&preview);
    const int width = kCardWidth * scale;
    const int height = kCardHeight * scale;
    // Ace of clubs, jack of diamonds, king of hearts, queen of spades.
    const std::array<std::pair<int, int>, 4> cells = {std::pair{0, 0}, std::pair{1, 10},
                                                      std::pair{2, 12}, std::pair{3, 11}};
    for (int i = 0; i < 4; ++i) {
        QImage face = sheet.copy(cells[i].second * width, cells[i].first * height, width, height)
                          .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < face.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(face.scanLine(y));
            for (int x = 0; x < face.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == (kMaskColour & 0xFFFFFF)) line[x] = 0;
            }
        }
        painter.drawImage((5 + (i % 2) * 79) * scale, (5 + (i / 2) * 106) * scale, face);
    }
    painter.end();
    return preview;
}

}  // namespace trisk::cardset
