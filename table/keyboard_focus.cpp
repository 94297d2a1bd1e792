#include "table/keyboard_focus.h"

#include <cstdint>
#include <cstdlib>

#include "table/spots.h"

namespace trisk {

namespace {

struct TCentre {
    int64_t X;
    int64_t Y;
};

TCentre CentreOf(const TPileSpot& spot) {
    return {spot.X + kCardWidth / 2, spot.Y + kCardHeight / 2};
}

// How far b lies from a along the direction and across it; along is not
// positive when b does not lie that way.
void Offsets(TCentre a, TCentre b, TFocusDirection direction, int64_t& along, int64_t& across) {
    switch (direction) {
        case TFocusDirection::Left:
            along = a.X - b.X;
            across = std::llabs(a.Y - b.Y);
            break;
        case TFocusDirection::Right:
            along = b.X - a.X;
            across = std::llabs(a.Y - b.Y);
            break;
        case TFocusDirection::Up:
            along = a.Y - b.Y;
            across = std::llabs(a.X - b.X);
            break;
        case TFocusDirection::Down:
            along = b.Y - a.Y;
            across = std::llabs(a.X - b.X);
            break;
    }
}

}  // namespace

std::optional<TPileRef> NextFocusPile(TGameKind kind, TPileRef from, TFocusDirection direction) {
    const TPileSpot* start = SpotOfPile(kind, from.Group, from.Pile);
    if (!start) return std::nullopt;
    const TCentre origin = CentreOf(*start);
    std::optional<TPileRef> best;
    int64_t bestScore = 0;
    auto consider = [&](const TPileSpot& spot) {
        if (spot.Group == from.Group && spot.Pile == from.Pile) return;
        int64_t along = 0;
        int64_t across = 0;
        Offsets(origin, CentreOf(spot), direction, along, across);
        if (along <= 0) return;
        // A pile out of line costs twice its offset across.
        const int64_t score = along + 2 * across;
        if (!best || score < bestScore) {
            best = TPileRef{spot.Group, spot.Pile};
            bestScore = score;
        }
    };
    consider(StockSpot);
    for (const TPileSpot& spot : SpotsForKind(kind))
        consider(spot);
    return best;
}

int FocusedPileCount(const TPosition& position, TPileRef pile) {
    if (pile.Group < 0) return 0;
    return position.Board.CardCount(position.Kind, pile.Group, pile.Pile);
}

}  // namespace trisk
