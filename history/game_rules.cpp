// The game's side of the rules: a move or a stock click asked of the engine,
// recorded in the history and shown by the host; the end of a game.
#include "history/game.h"

namespace trisk {

bool TGame::CanDrop(int tg, int tp) const {
    if (selGroup_ < 0) return false;
    return trisk::CanDrop(position_, {selGroup_, selPile_}, {tg, tp});
}

void TGame::PlayMove(int tg, int tp) {
    TFaultLog faults;
    ApplyMove(position_, {selGroup_, selPile_}, {tg, tp}, faults);
    ReportFaults(faults);
    history_.CountStep();
    AppendHistoryEntry();
    PlaySound(IsFoundation(GameKind(), tg) ? "DROP" : "DOWN");
    highlighted_ = false;
    Repaint();
    CheckGameWon();
}

void TGame::ClickStock() {
    highlighted_ = false;
    selGroup_ = -1;
    TFaultLog faults;
    const TStockClick click = BeginStockClick(position_, faults);
    ReportFaults(faults);
    if (click.Lost) {
        GameLost();
        return;
    }
    history_.CountStep();
    dealPiles_ = click.Piles;
    dealNext_ = 0;
    DealCards();
}

void TGame::DealCards() {
    // One card at a time, each shown before the next.
    while (dealNext_ < dealPiles_) {
        PlaySound("DEAL");
        TFaultLog dealFaults;
        DealToWaste(position_, dealNext_++, dealFaults);
        ReportFaults(dealFaults);
        Repaint();
        // The host that waits on its own comes back through ContinueDeal.
        if (!host_.DealPause(75)) return;
    }
    dealPiles_ = dealNext_ = 0;
    AppendHistoryEntry();
}

void TGame::ContinueDeal() {
    if (Dealing()) DealCards();
}

void TGame::CheckGameWon() {
    if (!IsWon()) return;
    position_.PassesLeft = -1;
    clock_.StopClock();
    PlaySound("GAMEWON");
    if (dialogs_.ShowGameOver(true)) StartGame();
}

void TGame::GameLost() {
    clock_.StopClock();
    if (dialogs_.ShowGameOver(false)) StartGame();
}

// ---- the pointer's steps ----

void TGame::PickUp(int group, int pile, int x, int y) {
    highlightX_ = x;
    highlightY_ = y;
    highlighted_ = true;
    PlaySound("UP");
    selGroup_ = group;
    selPile_ = pile;
    Repaint();
}

void TGame::DropOn(int group, int pile) {
    const bool samePile = selGroup_ == group && selPile_ == pile;
    if (!CanDrop(group, pile)) {
        highlighted_ = false;
        Repaint();
        if (samePile) {
            PlaySound("DOWN");
        } else if (selGroup_ != -1) {
            // Pile p of the corner and single groups exists in both blocks for
            // every pile number a spot can name.
            const TBoard& board = Board();
            if (board.IsNonEmpty(GameKind(), group, pile) ||
                !board.IsNonEmpty(GameKind(), GroupCorner, pile) ||
                !board.IsNonEmpty(GameKind(), GroupSingle, pile))
                PlaySound("WRONG");
        }
    } else if (selGroup_ != -1 && !samePile) {
        PlayMove(group, pile);
    }
    selGroup_ = -1;
}

void TGame::CancelPickUp() {
    selGroup_ = -1;
    highlighted_ = false;
    Repaint();
}

}  // namespace trisk
