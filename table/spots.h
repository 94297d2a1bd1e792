// The fixed place of every pile on the table, shared by painting and by
// hit-testing the pointer. Coordinates are the window's client area; a card
// is 71 x 96 pixels.
#pragma once

#include <cstdint>
#include <span>

#include "engine/board.h"

namespace trisk {

constexpr int kCardWidth = 71;
constexpr int kCardHeight = 96;
constexpr int kTableTop = 29;

struct TPileSpot {
    int32_t X;
    int32_t Y;
    int32_t Group;
    int32_t Pile;
};

constexpr TPileSpot StockSpot{24, kTableTop + 17, -1, -1};

// The spot table of a kind, in painting order.
std::span<const TPileSpot> SpotsForKind(TGameKind kind);
// Strictly inside: points on a card's border lines belong to no place.
inline bool HitsPlace(int x, int y, int placeX, int placeY) {
    return placeX < x && x < placeX + kCardWidth && placeY < y && y < placeY + kCardHeight;
}
inline bool OnStock(int x, int y) {
    return HitsPlace(x, y, StockSpot.X, StockSpot.Y);
}
// The first spot of the kind's table that the point hits, or nullptr.
const TPileSpot* SpotAt(TGameKind kind, int x, int y);
// The place of pile (group, pile) in the kind's table, the stock for group -1,
// or nullptr.
const TPileSpot* SpotOfPile(TGameKind kind, int group, int pile);

// Image numbers of the card list beyond the 52 faces.
enum TImageIndex : int {
    imgCardBack = 52,
    imgCardBase = 53,
    imgCardBaseAll = 54,
    imgCardBaseA = 55,
    imgCardBaseK = 56,
    imgRedeal = 57,
    imgEndGame = 58,
    imgCardMask = 59,
};

}  // namespace trisk
