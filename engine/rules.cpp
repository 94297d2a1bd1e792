#include "engine/rules.h"

#include <algorithm>

namespace trisk {

namespace {

// The top card of a pile, or nullptr when it is empty.
const TCard* Top(const TPosition& position, TPileRef ref) {
    const TPile& pile = position.Board.Pile(position.Kind, ref.Group, ref.Pile);
    const int top = pile.TopIndex();
    return top >= 0 ? &pile.Cards[top] : nullptr;
}

// t is one rank above s (a King goes below an Ace: the ranks run round).
bool OneBelow(const TCard& s, const TCard& t) {
    return t.Rank == s.Rank + 1 || (s.Rank == 12 && t.Rank == 0);
}

bool OneAbove(const TCard& s, const TCard& t) {
    return s.Rank == t.Rank + 1 || (s.Rank == 0 && t.Rank == 12);
}

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

bool IsDiamondNeighbour(TPileRef target, TPileRef source) {
    for (const TPileRef& ref : kDiamondNeighbours[target.Group][target.Pile]) {
        if (ref == source) return true;
    }
    return false;
}

// s is the card to move (present), t the target's top card or nullptr.
bool CanDropTomb(const TPosition& position, TPileRef from, const TCard& s, TPileRef to,
                 const TCard* t) {
    const TGameKind kind = position.Kind;
    const int from_group = from.Group;
    const auto sameSuit = [&] { return t->Suit == s.Suit; };
    const auto sAbove = [&] { return OneAbove(s, *t); };

    switch (to.Group) {
        case GroupCorner:
            if (from_group == GroupCorner) return false;
            if (!t) {
                if (s.Rank != 12) return false;
                // A second King of a suit never opens a corner while the suit
                // already shows on one.
                for (int c = 0; c < 4; ++c) {
                    const TCard* corner = Top(position, {GroupCorner, c});
                    if (corner && corner->Suit == s.Suit) return false;
                }
                return true;
            }
            return sameSuit() && OneBelow(s, *t);

        case GroupOuter:
            if (from_group == GroupInner && from.Pile == to.Pile && !t) return true;
            if ((from_group == GroupInner || from_group == GroupOuter ||
                 from_group == GroupWaste) &&
                t && sameSuit() && sAbove())
                return true;
            if (kind == gkTriskLite) {
                if (from_group == GroupSingle && t && sameSuit() && sAbove()) return true;
                if ((from_group == GroupSingle || from_group == GroupWaste) && !t) return true;
            }
            return false;

        case GroupSingle:
            if (!t) return s.Rank == 0;
            if (!sameSuit() || !sAbove()) return false;
            return from_group == GroupInner || from_group == GroupOuter ||
                   from_group == GroupWaste || (kind == gkTriskStrong && from_group == GroupCorner);

        default:  // reserve and waste piles: MayReceive
            return false;
    }
}

bool CanDropDiamond(TPileRef from, const TCard& s, TPileRef to, const TCard* t) {
    switch (to.Group) {
        case GroupInner:
        case GroupCorner:
        case GroupOuter:
            if (!t) return from.Group == GroupWaste;
            if (!OneBelow(s, *t) && !OneAbove(s, *t)) return false;
            return from.Group == GroupWaste || IsDiamondNeighbour(to, from);
        case GroupSingle:
            if (from.Group == GroupOuter) return false;
            if (!t) return true;
            return OneAbove(s, *t);
        default:
            return false;
    }
}

}  // namespace

bool CanDrop(const TPosition& position, TPileRef from, TPileRef to) {
    if (!PileExists(position.Kind, from.Group, from.Pile) ||
        !PileExists(position.Kind, to.Group, to.Pile) || !MayReceive(position.Kind, to.Group))
        return false;
    const TCard* s = Top(position, from);
    if (!s) return false;
    const TCard* t = Top(position, to);
    return position.Kind == gkDiamond ? CanDropDiamond(from, *s, to, t)
                                      : CanDropTomb(position, from, *s, to, t);
}

void ApplyMove(TPosition& position, TPileRef from, TPileRef to, TFaultLog& faults) {
    TFault fault = TFault::None;
    position.Board.MoveCard(position.Kind, from.Group, from.Pile, to.Group, to.Pile, fault);
    faults.Add(fault);
}

TStockClick BeginStockClick(TPosition& position, TFaultLog& faults) {
    TStockClick click;
    const TGameKind kind = position.Kind;
    const bool passLimited = IsPassLimited(kind);
    TBoard& board = position.Board;

    if (!board.Deck.HasCards()) {
        click.Redealt = true;
        // Gather the waste piles that the finished pass dealt to. The deck keeps
        // its shuffled slot order, so the order of returning does not matter.
        int lastPile = -1;
        if (passLimited) {
            if (position.PassesLeft > 0) --position.PassesLeft;
            if (position.PassesLeft > 0)
                lastPile = std::min(position.PassesLeft, kTombPilesPerGroup - 1);
        } else if (kind == gkTriskStrong) {
            lastPile = 2;
        } else {
            lastPile = 0;
        }
        for (int p = 0; p <= lastPile; ++p) {
            while (board.IsNonEmpty(kind, GroupWaste, p)) {
                TFault fault = TFault::None;
                const TCard card = board.TopCard(kind, GroupWaste, p, true, fault);
                faults.Add(fault);
                fault = TFault::None;
                board.Deck.ReturnCard(card, fault);
                faults.Add(fault);
            }
        }
    }

    if (passLimited && position.PassesLeft == 0) {
        click.Lost = true;
        return click;
    }
    click.Piles = passLimited             ? std::clamp(position.PassesLeft, 0, kTombPilesPerGroup)
                  : kind == gkTriskStrong ? 3
                                          : 1;
    return click;
}

void DealToWaste(TPosition& position, int pile, TFaultLog& faults) {
    TFault fault = TFault::None;
    position.Board.PutCard(position.Kind, GroupWaste, pile, true, TCard{}, fault);
    faults.Add(fault);
}

TStockClick ApplyStockClick(TPosition& position, TFaultLog& faults) {
    const TStockClick click = BeginStockClick(position, faults);
    for (int i = 0; i < click.Piles; ++i)
        DealToWaste(position, i, faults);
    return click;
}

bool IsWon(const TPosition& position) {
    if (position.Board.Deck.HasCards()) return false;
    const TGameKind kind = position.Kind;
    const int foundation = IsTomb(kind) ? GroupCorner : GroupSingle;
    const int piles = IsTomb(kind) ? kTombPilesPerGroup : kDiamondPilesPerGroup;
    for (int g = 0; g < kGroups; ++g) {
        if (g == foundation) continue;
        for (int p = 0; p < piles; ++p) {
            if (position.Board.IsNonEmpty(kind, g, p)) return false;
        }
    }
    return true;
}

std::vector<TMove> LegalMoves(const TPosition& position) {
    std::vector<TMove> moves;
    const TGameKind kind = position.Kind;
    for (int fg = 0; fg < kGroups; ++fg) {
        if (!MayPickUp(kind, fg)) continue;
        for (int fp = 0; fp < PilesInGroup(kind, fg); ++fp) {
            for (int tg = 0; tg < kGroups; ++tg) {
                for (int tp = 0; tp < PilesInGroup(kind, tg); ++tp) {
                    if (fg == tg && fp == tp) continue;
                    if (CanDrop(position, {fg, fp}, {tg, tp}))
                        moves.push_back({{fg, fp}, {tg, tp}});
                }
            }
        }
    }
    return moves;
}

void DealGame(TPosition& position, uint32_t number, TRandom& random, TFaultLog& faults) {
    TBoard& board = position.Board;
    const TGameKind kind = position.Kind;
    board.Deck.Shuffle(number, random);
    position.PassesLeft = 5;
    board.ClearBlock(kind);
    TFault fault = TFault::None;
    if (IsTomb(kind)) {
        // Four reserve piles of 11 (13 in the complicated variant); the top
        // card of each goes out to the outer pile beside it.
        const int perPile = kind == gkTriskStrong ? 13 : 11;
        for (int p = 0; p < 4; ++p) {
            for (int i = 0; i < perPile; ++i)
                board.PutCard(kind, GroupInner, p, true, TCard{}, fault);
        }
        for (int i = 0; i < 4; ++i)
            board.MoveCard(kind, GroupInner, i, GroupOuter, i, fault);
    } else {
        for (int g = GroupInner; g <= GroupOuter; ++g) {
            for (int p = 0; p < 4; ++p) {
                for (int i = 0; i < 7; ++i)
                    board.PutCard(kind, g, p, true, TCard{}, fault);
            }
        }
    }
    faults.Add(fault);
}

TPosition DealtPosition(TGameKind kind, uint32_t number) {
    TPosition position;
    position.Kind = kind;
    position.Board.Deck.Build();
    TRandom random;
    TFaultLog faults;
    DealGame(position, number, random, faults);
    return position;
}

}  // namespace trisk
