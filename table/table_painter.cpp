#include "table/table_painter.h"

#include <QPainter>

#include "history/game.h"
#include "table/card_images.h"
#include "table/pointer.h"
#include "table/spots.h"

namespace trisk {

namespace {

void DrawSpot(QPainter& painter, const TGame& game, const TCardImages& images, int x, int y,
              int imageIndex) {
    // An image the list lacks (a card set that failed to load) draws nothing.
    if (images.Has(imageIndex)) painter.drawImage(x, y, images.Image(imageIndex));
    if (game.Highlighted() && x == game.HighlightX() && y == game.HighlightY() &&
        images.Has(imgCardMask)) {
        painter.drawImage(x, y, images.Image(imgCardMask));
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
