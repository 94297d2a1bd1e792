#include "table/pointer.h"

#include "table/spots.h"
#include "table/status_texts.h"

namespace trisk {

int SpotImageIndex(const TPosition& position, int group, int pile) {
    const TPile& cards = position.Board.Pile(position.Kind, group, pile);
    for (int i = kDeckSize - 1; i >= 0; --i) {
        if (cards.Cards[i].Present) return cards.Cards[i].Suit * kRanks + cards.Cards[i].Rank;
    }
    if (position.Kind == gkDiamond) return group == GroupWaste ? imgCardBase : imgCardBaseAll;
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

int StockImageIndex(const TPosition& position) {
    if (position.Board.Deck.HasCards()) return imgCardBack;
    return IsPassLimited(position.Kind) && position.PassesLeft <= 1 ? imgEndGame : imgRedeal;
}

void FormMouseUp(TGame& game, TMouseButton button, int x, int y) {
    if (button == TMouseButton::Right) {
        game.CancelPickUp();
        return;
    }
    if (game.PassesLeft() == -1) {
        game.ForgetSelection();
        return;
    }
    if (OnStock(x, y)) {
        game.ClickStock();
        return;
    }
    const TPileSpot* spot = SpotAt(game.GameKind(), x, y);
    if (!spot) return;
    if (game.SelGroup() == -1 &&
        game.Board().IsNonEmpty(game.GameKind(), spot->Group, spot->Pile)) {
        if (!MayPickUp(game.GameKind(), spot->Group)) {
            game.Repaint();
            return;
        }
        game.PickUp(spot->Group, spot->Pile, spot->X, spot->Y);
        return;
    }
    game.DropOn(spot->Group, spot->Pile);
}

void FormMouseMove(TGame& game, int x, int y) {
    TCursor cursor = OnStock(x, y) ? TCursor::Hand : TCursor::Arrow;
    const TPileSpot* spot = SpotAt(game.GameKind(), x, y);
    int count = 0;
    if (spot) {
        count = game.Board().CardCount(game.GameKind(), spot->Group, spot->Pile);
        if (game.Highlighted()) {
            cursor = game.CanDrop(spot->Group, spot->Pile) ? TCursor::Hand : TCursor::Arrow;
        } else if (count > 0 && MayPickUp(game.GameKind(), spot->Group)) {
            cursor = TCursor::Hand;
        }
    }
    game.Host().SetCursor(cursor);
    game.Host().SetStatusText(TStatusPanel::Cards, CardsText(count));
}

}  // namespace trisk
