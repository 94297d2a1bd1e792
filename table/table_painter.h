// Painting the table: every place of the game's kind with its top card or
// marker, the stock, and the selection mask over the picked-up card.
#pragma once

#include "engine/board.h"

class QPainter;

namespace trisk {

class TCardImages;
class TGame;

void DrawTable(QPainter& painter, const TGame& game, const TCardImages& images);
// A coloured frame around the place of pile (group, pile) of the kind, or
// around the stock when group is -1: the pile a hint points at.
void DrawPileMark(QPainter& painter, TGameKind kind, int group, int pile);
// The keyboard focus: a dotted frame a little further out than the hint's,
// so that neither hides the card nor the other.
void DrawFocusFrame(QPainter& painter, TGameKind kind, int group, int pile);

}  // namespace trisk
