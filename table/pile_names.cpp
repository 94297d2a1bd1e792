#include "table/pile_names.h"

namespace trisk {

namespace {

constexpr const char* kSuitNames[kSuits] = {"clubs", "diamonds", "hearts", "spades"};
constexpr const char* kRankNames[kRanks] = {"Ace",  "Two",   "Three", "Four", "Five",
                                            "Six",  "Seven", "Eight", "Nine", "Ten",
                                            "Jack", "Queen", "King"};

std::string Numbered(const char* name, int pile) {
    return std::string(name) + " " + std::to_string(pile + 1);
}

std::string CountText(int count) {
    return count == 1 ? std::string("1 card") : std::to_string(count) + " cards";
}

}  // namespace

std::string CardName(int suit, int rank) {
    if (suit < 0 || suit >= kSuits || rank < 0 || rank >= kRanks) return "Unknown card";
    return std::string(kRankNames[rank]) + " of " + kSuitNames[suit];
}

std::string PileName(TGameKind kind, int group, int pile) {
    const bool diamond = kind == gkDiamond;
    switch (group) {
        case -1:
            return "Stock";
        case GroupInner:
            return Numbered(diamond ? "Inner pile" : "Reserve pile", pile);
        case GroupCorner:
            return Numbered("Corner pile", pile);
        case GroupOuter:
            return Numbered("Outer pile", pile);
        case GroupSingle:
            return diamond ? "Centre pile" : "Ace pile";
        case GroupWaste:
            return diamond ? std::string("Waste pile") : Numbered("Waste pile", pile);
        default:
            return "Pile";
    }
}

std::string PileDescription(const TPosition& position, int group, int pile) {
    const std::string name = PileName(position.Kind, group, pile);
    if (group == -1) {
        const int count = position.Board.Deck.CountCards();
        return name + ": " + (count > 0 ? CountText(count) : std::string("empty"));
    }
    const TPile& cards = position.Board.Pile(position.Kind, group, pile);
    int count = 0;
    const TCard* top = nullptr;
    for (const TCard& card : cards.Cards) {
        if (!card.Present) continue;
        ++count;
        top = &card;
    }
    if (!top) return name + ": empty";
    return name + ": " + CardName(top->Suit, top->Rank) + ", " + CountText(count);
}

std::string SpokenPileName(const TPosition& position, TPileRef pile, THintRole role) {
    std::string name = PileDescription(position, pile.Group, pile.Pile);
    switch (role) {
        case THintRole::None:
            break;
        case THintRole::From:
            name += ", hint: move from here";
            break;
        case THintRole::To:
            name += pile.Group == -1 ? ", hint: click here" : ", hint: move here";
            break;
    }
    return name;
}

}  // namespace trisk
