// Turning pointer releases and moves over the table into game steps, and
// choosing the image each place shows. The window only forwards its events.
#pragma once

#include "history/game.h"

namespace trisk {

enum class TMouseButton { Left, Middle, Right };

// A button released at (x, y) of the table.
void FormMouseUp(TGame& game, TMouseButton button, int x, int y);
// The pointer moved to (x, y): the cursor and the "Cards:" panel follow it.
void FormMouseMove(TGame& game, int x, int y);

// The image index of the list that a place shows: its top card, or its
// marker when empty; the stock shows the back, the redeal or the end picture.
int SpotImageIndex(const TPosition& position, int group, int pile);
int StockImageIndex(const TPosition& position);

}  // namespace trisk
