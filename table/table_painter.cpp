#include "table/table_painter.h"

#include <QPainter>

#include <cmath>

#include "history/game.h"
#include "table/card_images.h"
#include "table/pointer.h"
#include "table/spots.h"

namespace trisk {

namespace {

// One card image with its top-left corner at table point (x, y), from the
// drawing that fits the painter's scale of device pixels per table pixel.
void DrawCardImage(QPainter& painter, const TCardImages& images, int index, int x, int y) {
    const QTransform& device = painter.deviceTransform();
    const double scale = device.m11();
    const QImage& image = images.Image(index, scale);
    const double ratio = image.devicePixelRatio();
    if (ratio == 1.0) {
        // The 71 x 96 image, enlarged by the painter when the scale is above 1.
        painter.drawImage(x, y, image);
    } else if (std::abs(ratio - scale) < 1e-6) {
        // Drawn for this scale: its corner on a whole device pixel, so that
        // every image pixel is one screen pixel.
        const QPointF at = device.map(QPointF(x, y));
        const QPointF corner =
            device.inverted().map(QPointF(std::round(at.x()), std::round(at.y())));
        painter.drawImage(QRectF(corner, QSizeF(image.width() / scale, image.height() / scale)),
                          image, QRectF(image.rect()));
    } else {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(x, y, kCardWidth, kCardHeight), image, QRectF(image.rect()));
        painter.restore();
    }
}

void DrawSpot(QPainter& painter, const TGame& game, const TCardImages& images, int x, int y,
              int imageIndex) {
    // An image the list lacks (a card set that failed to load) draws nothing.
    if (images.Has(imageIndex)) DrawCardImage(painter, images, imageIndex, x, y);
    if (game.Highlighted() && x == game.HighlightX() && y == game.HighlightY() &&
        images.Has(imgCardMask)) {
        DrawCardImage(painter, images, imgCardMask, x, y);
    }
}

}  // namespace

void DrawTable(QPainter& painter, const TGame& game, const TCardImages& images) {
    const TPosition& position = game.Position();
    for (const TPileSpot& spot : SpotsForKind(position.Kind)) {
        DrawSpot(painter, game, images, spot.X, spot.Y,
                 SpotImageIndex(position, spot.Group, spot.Pile));
    }
    DrawSpot(painter, game, images, StockSpot.X, StockSpot.Y, StockImageIndex(position));
}

void DrawPileMark(QPainter& painter, TGameKind kind, int group, int pile) {
    const TPileSpot* place = SpotOfPile(kind, group, pile);
    if (!place) return;
    // Three pixels wide just outside the card's edges, so the card stays readable.
    painter.save();
    painter.setPen(QPen(QColor(255, 215, 0), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(place->X - 2, place->Y - 2, kCardWidth + 3, kCardHeight + 3);
    painter.restore();
}

void DrawFocusFrame(QPainter& painter, TGameKind kind, int group, int pile) {
    const TPileSpot* place = SpotOfPile(kind, group, pile);
    if (!place) return;
    painter.save();
    QPen pen(Qt::white, 2, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(place->X - 5, place->Y - 5, kCardWidth + 9, kCardHeight + 9);
    painter.restore();
}

}  // namespace trisk
