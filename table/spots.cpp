#include "table/spots.h"

namespace trisk {

namespace {

constexpr int T = kTableTop;

// Groups 0, 2, 1, 4, 3 in this order: the ring, the outer ring, the corners,
// the waste row and the single pile.
constexpr TPileSpot kTombSpots[] = {
    {314, T + 232, 0, 0}, {395, T + 285, 0, 1}, {314, T + 338, 0, 2}, {233, T + 285, 0, 3},
    {314, T + 126, 2, 0}, {476, T + 285, 2, 1}, {314, T + 444, 2, 2}, {152, T + 285, 2, 3},
    {233, T + 179, 1, 0}, {395, T + 179, 1, 1}, {395, T + 391, 1, 2}, {233, T + 391, 1, 3},
    {115, T + 17, 4, 0},  {196, T + 17, 4, 1},  {277, T + 17, 4, 2},  {358, T + 17, 4, 3},
    {439, T + 17, 4, 4},  {24, T + 126, 3, 0},
};

// The complicated variant has three waste piles only.
constexpr TPileSpot kTombStrongSpots[] = {
    {314, T + 232, 0, 0}, {395, T + 285, 0, 1}, {314, T + 338, 0, 2}, {233, T + 285, 0, 3},
    {314, T + 126, 2, 0}, {476, T + 285, 2, 1}, {314, T + 444, 2, 2}, {152, T + 285, 2, 3},
    {233, T + 179, 1, 0}, {395, T + 179, 1, 1}, {395, T + 391, 1, 2}, {233, T + 391, 1, 3},
    {115, T + 17, 4, 0},  {196, T + 17, 4, 1},  {277, T + 17, 4, 2},  {24, T + 126, 3, 0},
};

constexpr TPileSpot kDiamondSpots[] = {
    {314, T + 123, 0, 0}, {395, T + 229, 0, 1}, {314, T + 335, 0, 2}, {233, T + 229, 0, 3},
    {314, T + 17, 2, 0},  {476, T + 229, 2, 1}, {314, T + 441, 2, 2}, {152, T + 229, 2, 3},
    {233, T + 123, 1, 0}, {395, T + 123, 1, 1}, {395, T + 335, 1, 2}, {233, T + 335, 1, 3},
    {24, T + 123, 4, 0},  {314, T + 229, 3, 0},
};

}  // namespace

std::span<const TPileSpot> SpotsForKind(TGameKind kind) {
    switch (kind) {
        case gkTriskStrong:
            return kTombStrongSpots;
        case gkDiamond:
            return kDiamondSpots;
        default:
            return kTombSpots;
    }
}

const TPileSpot* SpotAt(TGameKind kind, int x, int y) {
    for (const TPileSpot& spot : SpotsForKind(kind)) {
        if (HitsPlace(x, y, spot.X, spot.Y)) return &spot;
    }
    return nullptr;
}

const TPileSpot* SpotOfPile(TGameKind kind, int group, int pile) {
    if (group == -1) return &StockSpot;
    for (const TPileSpot& spot : SpotsForKind(kind)) {
        if (spot.Group == group && spot.Pile == pile) return &spot;
    }
    return nullptr;
}

}  // namespace trisk
