// The spoken pile names: each kind's pile names, the top card by its face
// (suit 0 is clubs), the count, an empty pile and the stock.
#include <gtest/gtest.h>

#include "engine/rules.h"
#include "table/pile_names.h"

namespace trisk {
namespace {

TEST(PileNames, NameTheCardTheCountAndTheEmptyPile) {
    EXPECT_EQ(CardName(0, 0), "Ace of clubs");
    EXPECT_EQ(CardName(2, 11), "Queen of hearts");
    EXPECT_EQ(CardName(3, 12), "King of spades");

    TPosition position{};
    position.Kind = gkTriskClassic;
    position.Board.Deck.Build();
    TPile& outer = position.Board.Pile(gkTriskClassic, GroupOuter, 1);
    outer.Cards[0] = TCard::Make(0, 4);
    outer.Cards[1] = TCard::Make(1, 11);
    outer.Cards[2] = TCard::Make(2, 11);
    EXPECT_EQ(PileDescription(position, GroupOuter, 1), "Outer pile 2: Queen of hearts, 3 cards");
    EXPECT_EQ(PileDescription(position, GroupSingle, 0), "Ace pile: empty");
    EXPECT_EQ(PileDescription(position, -1, -1),
              "Stock: " + std::to_string(position.Board.Deck.CountCards()) + " cards");
    EXPECT_EQ(PileName(gkTriskClassic, GroupInner, 3), "Reserve pile 4");
    EXPECT_EQ(PileName(gkTriskStrong, GroupWaste, 0), "Waste pile 1");
    EXPECT_EQ(PileName(gkDiamond, GroupInner, 0), "Inner pile 1");
    EXPECT_EQ(PileName(gkDiamond, GroupSingle, 0), "Centre pile");
    EXPECT_EQ(PileName(gkDiamond, GroupWaste, 0), "Waste pile");

    EXPECT_EQ(SpokenPileName(position, {GroupOuter, 1}, THintRole::From),
              "Outer pile 2: Queen of hearts, 3 cards, hint: move from here");
    EXPECT_EQ(SpokenPileName(position, {GroupSingle, 0}, THintRole::To),
              "Ace pile: empty, hint: move here");
    EXPECT_EQ(SpokenPileName(position, {-1, -1}, THintRole::To).substr(0, 6), "Stock:");
    EXPECT_TRUE(SpokenPileName(position, {-1, -1}, THintRole::To).ends_with(", hint: click here"));
}

}  // namespace
}  // namespace trisk
