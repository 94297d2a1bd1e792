// Turning pointer releases and moves over the table into game actions, and
// choosing the image each place shows. The window only forwards its events.
#include "engine/game.h"
#include "table/spots.h"

namespace trisk {

int TGame::SpotImageIndex(int group, int pile) const {
    const TPile& cards = Board.Pile(GameKind, group, pile);
    for (int i = kDeckSize - 1; i >= 0; --i) {
        if (cards.Cards[i].Present) return cards.Cards[i].Suit * kRanks + cards.Cards[i].Rank;
    }
    if (GameKind == gkDiamond) return group == GroupWaste ? imgCardBase : imgCardBaseAll;
    switch (group) {
        case GroupCorner:
            return imgCardBaseK;
        case GroupOuter:
            return imgCardBaseAll;
        case GroupSingle:
            return imgCardBaseA;
        default:
            return imgCardBase;
    }
}

int TGame::StockImageIndex() const {
    if (Board.Deck.HasCards()) return imgCardBack;
    const bool passLimited = GameKind == gkTriskLite || GameKind == gkTriskClassic;
    return passLimited && PassesLeft <= 1 ? imgEndGame : imgRedeal;
}

namespace {

bool MayPickUp(TGameKind kind, int group) {
    return !(group == GroupCorner && (kind == gkTriskLite || kind == gkTriskClassic));
}

}  // namespace

void TGame::FormMouseUp(TMouseButton button, int x, int y) {
    if (button == TMouseButton::Right) {
        SelGroup = -1;
        Highlighted = false;
        host_.PaintTable();
        return;
    }
    if (PassesLeft == -1) {
        SelGroup = -1;
        return;
    }
    if (OnStock(x, y)) {
        ClickStock();
        return;
    }
    const TPileSpot* spot = SpotAt(GameKind, x, y);
    if (!spot) return;
    const int group = spot->Group;
    const int pile = spot->Pile;

    if (SelGroup == -1 && IsNonEmpty(group, pile)) {
        if (!MayPickUp(GameKind, group)) {
            host_.PaintTable();
            return;
        }
        HighlightX = spot->X;
        HighlightY = spot->Y;
        Highlighted = true;
        PlaySound("UP");
        SelGroup = group;
        SelPile = pile;
        host_.PaintTable();
        return;
    }

    const bool samePile = SelGroup == group && SelPile == pile;
    if (!CanDrop(group, pile)) {
        Highlighted = false;
        host_.PaintTable();
        if (samePile) {
            PlaySound("DOWN");
        } else if (SelGroup != -1) {
            // Pile p of the corner and single groups exists in both blocks for
            // every pile number a spot can name.
            if (IsNonEmpty(group, pile) || !IsNonEmpty(GroupCorner, pile) ||
                !IsNonEmpty(GroupSingle, pile))
                PlaySound("WRONG");
        }
    } else if (SelGroup != -1 && !samePile) {
        PlayMove(group, pile);
    }
    SelGroup = -1;
}

void TGame::FormMouseMove(int x, int y) {
    TCursor cursor = OnStock(x, y) ? TCursor::Hand : TCursor::Arrow;
    const TPileSpot* spot = SpotAt(GameKind, x, y);
    std::string cards;
    if (spot) {
        const int count = CardCount(spot->Group, spot->Pile);
        if (Highlighted) {
            cursor = CanDrop(spot->Group, spot->Pile) ? TCursor::Hand : TCursor::Arrow;
        } else if (count > 0 && MayPickUp(GameKind, spot->Group)) {
            cursor = TCursor::Hand;
        }
        if (count > 0) cards = "Cards: " + std::to_string(count);
    }
    host_.SetCursor(cursor);
    host_.SetStatusText(2, cards);
}

}  // namespace trisk
