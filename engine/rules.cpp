// The rules of Napoleon's Tomb (kinds 0 to 2) and Diamond (kind 3): which
// drops are legal, carrying out a move, and clicks on the stock.
#include <algorithm>

#include "engine/game.h"

namespace trisk {

namespace {

bool OneBelow(const TCard& s, const TCard& t) {
    return t.Rank == s.Rank + 1 || (s.Rank == 12 && t.Rank == 0);
}

bool OneAbove(const TCard& s, const TCard& t) {
    return s.Rank == t.Rank + 1 || (s.Rank == 0 && t.Rank == 12);
}

struct TPileRef {
    int Group;
    int Pile;
};

// The Diamond piles from which each of the twelve table piles may take a card:
// the cells that touch it on the diamond grid (the centre has a rule of its own).
constexpr TPileRef kDiamondNeighbours[3][4][6] = {
    {// inner 0..3
     {{0, 1}, {0, 3}, {1, 0}, {1, 1}, {2, 0}, {3, 0}},
     {{0, 0}, {0, 2}, {1, 1}, {1, 2}, {2, 1}, {3, 0}},
     {{0, 1}, {0, 3}, {1, 2}, {1, 3}, {2, 2}, {3, 0}},
     {{0, 0}, {0, 2}, {1, 0}, {1, 3}, {2, 3}, {3, 0}}},
    {// corner 0..3
     {{0, 0}, {0, 3}, {2, 0}, {2, 3}, {3, 0}, {-1, -1}},
     {{0, 0}, {0, 1}, {2, 0}, {2, 1}, {3, 0}, {-1, -1}},
     {{0, 1}, {0, 2}, {2, 1}, {2, 2}, {3, 0}, {-1, -1}},
     {{0, 2}, {0, 3}, {2, 2}, {2, 3}, {3, 0}, {-1, -1}}},
    {// outer 0..3
     {{0, 0}, {1, 0}, {1, 1}, {-1, -1}, {-1, -1}, {-1, -1}},
     {{0, 1}, {1, 1}, {1, 2}, {-1, -1}, {-1, -1}, {-1, -1}},
     {{0, 2}, {1, 2}, {1, 3}, {-1, -1}, {-1, -1}, {-1, -1}},
     {{0, 3}, {1, 0}, {1, 3}, {-1, -1}, {-1, -1}, {-1, -1}}},
};

bool IsDiamondNeighbour(int targetGroup, int targetPile, int group, int pile) {
    for (const TPileRef& ref : kDiamondNeighbours[targetGroup][targetPile]) {
        if (ref.Group == group && ref.Pile == pile) return true;
    }
    return false;
}

}  // namespace

bool TGame::RanksAdjacent(int fromGroup, int fromPile, int toGroup, int toPile, bool down) {
    const TCard s = TopCard(fromGroup, fromPile, false);
    const TCard t = TopCard(toGroup, toPile, false);
    return down ? OneBelow(s, t) : OneAbove(s, t);
}

bool TGame::CanDrop(int tg, int tp) {
    if (SelGroup < 0 || !PileExists(GameKind, SelGroup, SelPile) || !IsNonEmpty(SelGroup, SelPile))
        return false;
    if (!PileExists(GameKind, tg, tp)) return false;
    return GameKind == gkDiamond ? CanDropDiamond(tg, tp) : CanDropTomb(tg, tp);
}

bool TGame::CanDropTomb(int tg, int tp) {
    const TCard s = TopCard(SelGroup, SelPile, false);
    const bool targetFilled = IsNonEmpty(tg, tp);
    const auto sameSuit = [&] { return TopCard(tg, tp, false).Suit == s.Suit; };
    const auto sAbove = [&] { return RanksAdjacent(SelGroup, SelPile, tg, tp, false); };

    switch (tg) {
        case GroupCorner:
            if (SelGroup == GroupCorner) return false;
            if (!targetFilled) {
                if (s.Rank != 12) return false;
                // A second King of a suit never opens a corner while the suit
                // already shows on one.
                for (int c = 0; c < 4; ++c) {
                    if (IsNonEmpty(GroupCorner, c) && TopCard(GroupCorner, c, false).Suit == s.Suit)
                        return false;
                }
                return true;
            }
            return sameSuit() && RanksAdjacent(SelGroup, SelPile, tg, tp, true);

        case GroupOuter:
            if (SelGroup == GroupInner && SelPile == tp && !targetFilled) return true;
            if ((SelGroup == GroupInner || SelGroup == GroupOuter || SelGroup == GroupWaste) &&
                targetFilled && sameSuit() && sAbove())
                return true;
            if (GameKind == gkTriskLite) {
                if (SelGroup == GroupSingle && targetFilled && sameSuit() && sAbove()) return true;
                if ((SelGroup == GroupSingle || SelGroup == GroupWaste) && !targetFilled)
                    return true;
            }
            return false;

        case GroupSingle:
            if (!targetFilled) return s.Rank == 0;
            if (!sameSuit() || !sAbove()) return false;
            return SelGroup == GroupInner || SelGroup == GroupOuter || SelGroup == GroupWaste ||
                   (GameKind == gkTriskStrong && SelGroup == GroupCorner);

        default:  // reserve piles and waste piles never take a card
            return false;
    }
}

bool TGame::CanDropDiamond(int tg, int tp) {
    const bool targetFilled = IsNonEmpty(tg, tp);
    switch (tg) {
        case GroupInner:
        case GroupCorner:
        case GroupOuter: {
            if (!targetFilled) return SelGroup == GroupWaste;
            const bool adjacent = RanksAdjacent(SelGroup, SelPile, tg, tp, true) ||
                                  RanksAdjacent(SelGroup, SelPile, tg, tp, false);
            if (!adjacent) return false;
            return SelGroup == GroupWaste || IsDiamondNeighbour(tg, tp, SelGroup, SelPile);
        }
        case GroupSingle:
            if (SelGroup == GroupOuter) return false;
            if (!targetFilled) return true;
            return RanksAdjacent(SelGroup, SelPile, tg, tp, false);
        default:
            return false;
    }
}

void TGame::PlayMove(int tg, int tp) {
    MoveCard(SelGroup, SelPile, tg, tp);
    ++MoveIndex;
    ++ActionCount;
    AppendHistoryEntry();
    const bool foundation = IsTomb(GameKind) ? tg == GroupCorner : tg == GroupSingle;
    PlaySound(foundation ? "DROP" : "DOWN");
    Highlighted = false;
    host_.PaintTable();
    CheckGameWon();
}

void TGame::ClickStock() {
    Highlighted = false;
    SelGroup = -1;
    const bool passLimited = GameKind == gkTriskLite || GameKind == gkTriskClassic;

    if (!Board.Deck.HasCards()) {
        // Gather the waste piles that the finished pass dealt to. The deck keeps
        // its shuffled slot order, so the order of returning does not matter.
        int lastPile = -1;
        if (passLimited) {
            if (PassesLeft > 0) --PassesLeft;
            if (PassesLeft > 0) lastPile = std::min(PassesLeft, kTombPilesPerGroup - 1);
        } else if (GameKind == gkTriskStrong) {
            lastPile = 2;
        } else {
            lastPile = 0;
        }
        for (int p = 0; p <= lastPile; ++p) {
            while (IsNonEmpty(GroupWaste, p)) {
                TFault fault = TFault::None;
                Board.Deck.ReturnCard(TopCard(GroupWaste, p, true), fault);
                ReportFault(fault);
            }
        }
    }

    if (passLimited && PassesLeft == 0) {
        GameLost();
        return;
    }

    ++MoveIndex;
    ++ActionCount;
    const int piles = passLimited                 ? std::clamp(PassesLeft, 0, kTombPilesPerGroup)
                      : GameKind == gkTriskStrong ? 3
                                                  : 1;
    for (int i = 0; i < piles; ++i) {
        PlaySound("DEAL");
        PutCard(GroupWaste, i, true, TCard{});
        host_.PaintTable();
        host_.DealPause(75);
    }
    AppendHistoryEntry();
}

// ---- end of game ----

bool TGame::IsWon() const {
    if (Board.Deck.HasCards()) return false;
    if (IsTomb(GameKind)) {
        for (int g : {GroupInner, GroupOuter, GroupSingle, GroupWaste}) {
            for (int p = 0; p < kTombPilesPerGroup; ++p) {
                if (IsNonEmpty(g, p)) return false;
            }
        }
    } else {
        for (int g : {GroupInner, GroupCorner, GroupOuter, GroupWaste}) {
            for (int p = 0; p < kDiamondPilesPerGroup; ++p) {
                if (IsNonEmpty(g, p)) return false;
            }
        }
    }
    return true;
}

void TGame::CheckGameWon() {
    if (!IsWon()) return;
    PassesLeft = -1;
    StopClock();
    PlaySound("GAMEWON");
    if (host_.ShowGameOver(true)) StartGame();
}

void TGame::GameLost() {
    StopClock();
    if (host_.ShowGameOver(false)) StartGame();
}

}  // namespace trisk
