// Painting the table: every place of the game's kind with its top card or
// marker, the stock, and the selection mask over the picked-up card.
#pragma once

class QPainter;

namespace trisk {

class TCardImages;
class TGame;

void DrawTable(QPainter& painter, const TGame& game, const TCardImages& images);

}  // namespace trisk
