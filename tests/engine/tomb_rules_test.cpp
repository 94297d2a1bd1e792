#include <gtest/gtest.h>

#include "engine/position_builder.h"
#include "engine/rules.h"

namespace trisk {
namespace {

using namespace test;

constexpr int Ace = 0, Six = 5, Seven = 6, Queen = 11, King = 12;

// An empty table of the kind.
using TombRules = TRulesFixture;

TEST_F(TombRules, EmptyCornerTakesAKingUnlessItsSuitShowsOnAnotherCorner) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(GroupInner, 0, {C(2, King)});
        Place(GroupWaste, 1, {C(2, Queen)});
        EXPECT_TRUE(Drop(GroupInner, 0, GroupCorner, 3)) << kind;
        EXPECT_FALSE(Drop(GroupWaste, 1, GroupCorner, 3)) << "not a King, kind " << kind;

        Place(GroupCorner, 1, {C(2, Ace), C(1, King)});  // suit 2 buried: no matter
        EXPECT_TRUE(Drop(GroupInner, 0, GroupCorner, 3));
        Place(GroupCorner, 0, {C(2, Seven)});  // suit 2 shows on corner 0
        EXPECT_FALSE(Drop(GroupInner, 0, GroupCorner, 3));
    }
    // In the complicated variant a corner's King never opens another corner.
    SetKind(gkTriskStrong);
    Place(GroupCorner, 0, {C(3, King)});
    EXPECT_FALSE(Drop(GroupCorner, 0, GroupCorner, 1));
}

TEST_F(TombRules, CornersBuildDownInSuitWithKingOnAceAndNeverFromACorner) {
    SetKind(gkTriskStrong);
    Place(GroupCorner, 0, {C(1, Seven), C(1, Ace)});
    Place(GroupOuter, 2, {C(1, King)});
    Place(GroupWaste, 0, {C(0, King)});
    Place(GroupSingle, 0, {C(1, Queen)});
    Place(GroupCorner, 1, {C(1, King)});
    EXPECT_TRUE(Drop(GroupOuter, 2, GroupCorner, 0));
    EXPECT_FALSE(Drop(GroupWaste, 0, GroupCorner, 0)) << "other suit";
    EXPECT_FALSE(Drop(GroupCorner, 1, GroupCorner, 0)) << "corner to corner";

    TFaultLog faults;
    ApplyMove(position, {GroupOuter, 2}, {GroupCorner, 0}, faults);
    EXPECT_TRUE(faults.Empty());
    EXPECT_EQ(Top(position, GroupCorner, 0), 1 * 13 + King);
    EXPECT_EQ(Top(position, GroupOuter, 2), -1);
    // The Ace pile gives to the corners too; the Queen now goes onto the King.
    EXPECT_TRUE(Drop(GroupSingle, 0, GroupCorner, 0));
    Place(GroupInner, 3, {C(1, Six)});
    EXPECT_FALSE(Drop(GroupInner, 3, GroupCorner, 0)) << "not one below";
}

TEST_F(TombRules, OuterPilesRefillFromTheirReserveAndBuildUpInSuit) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(GroupInner, 2, {C(0, Seven)});
        EXPECT_TRUE(Drop(GroupInner, 2, GroupOuter, 2)) << kind;
        EXPECT_FALSE(Drop(GroupInner, 2, GroupOuter, 1)) << kind;

        Place(GroupOuter, 1, {C(0, Six)});
        Place(GroupOuter, 3, {C(3, King)});
        Place(GroupWaste, 4 % PilesInGroup(kind, GroupWaste), {C(3, Ace)});
        const int waste = 4 % PilesInGroup(kind, GroupWaste);
        EXPECT_TRUE(Drop(GroupInner, 2, GroupOuter, 1)) << "Seven onto Six";
        EXPECT_TRUE(Drop(GroupWaste, waste, GroupOuter, 3)) << "Ace onto King";
        Place(GroupOuter, 0, {C(0, 4)});
        EXPECT_FALSE(Drop(GroupOuter, 0, GroupOuter, 1)) << "Five is below the Six";
        Place(GroupOuter, 0, {C(0, Seven)});
        EXPECT_TRUE(Drop(GroupOuter, 0, GroupOuter, 1)) << "outer to outer";
        Place(GroupOuter, 0, {C(2, Seven)});
        EXPECT_FALSE(Drop(GroupOuter, 0, GroupOuter, 1)) << "other suit";
    }
}

TEST_F(TombRules, OnlySimplifiedLetsTheAcePileAndWasteFillOuterPiles) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        const bool lite = kind == gkTriskLite;
        Place(GroupSingle, 0, {C(2, Ace), C(2, 1)});
        Place(GroupWaste, 0, {C(1, Queen)});
        Place(GroupOuter, 0, {C(2, Ace)});
        EXPECT_EQ(Drop(GroupSingle, 0, GroupOuter, 0), lite) << "Two onto Ace, kind " << kind;
        EXPECT_EQ(Drop(GroupSingle, 0, GroupOuter, 1), lite) << "empty outer, kind " << kind;
        EXPECT_EQ(Drop(GroupWaste, 0, GroupOuter, 1), lite) << "empty outer, kind " << kind;
        EXPECT_FALSE(Drop(GroupInner, 0, GroupOuter, 1)) << "nothing to give";
    }
    SetKind(gkTriskStrong);
    Place(GroupCorner, 0, {C(2, 1)});
    Place(GroupOuter, 0, {C(2, Ace)});
    EXPECT_FALSE(Drop(GroupCorner, 0, GroupOuter, 0)) << "corners never feed outer piles";
}

TEST_F(TombRules, AcePileStartsWithAnyAceAndBuildsUpInSuit) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(GroupInner, 1, {C(3, Ace)});
        Place(GroupWaste, 2, {C(3, 1)});
        EXPECT_TRUE(Drop(GroupInner, 1, GroupSingle, 0));
        EXPECT_FALSE(Drop(GroupWaste, 2, GroupSingle, 0)) << "an empty Ace pile takes only Aces";

        Place(GroupSingle, 0, {C(3, Ace)});
        EXPECT_TRUE(Drop(GroupWaste, 2, GroupSingle, 0));
        Place(GroupOuter, 3, {C(0, 1)});
        EXPECT_FALSE(Drop(GroupOuter, 3, GroupSingle, 0)) << "other suit";
    }
    // Round the corner: an Ace goes onto a King of its suit.
    SetKind(gkTriskClassic);
    Place(GroupSingle, 0, {C(1, King)});
    Place(GroupOuter, 0, {C(1, Ace)});
    EXPECT_TRUE(Drop(GroupOuter, 0, GroupSingle, 0));

    // A corner's top card goes back onto the Ace pile only in the complicated variant.
    for (TGameKind kind : {gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(GroupSingle, 0, {C(0, Six)});
        Place(GroupCorner, 2, {C(0, Seven)});
        EXPECT_EQ(Drop(GroupCorner, 2, GroupSingle, 0), kind == gkTriskStrong);
        ClearTable();
        Place(GroupCorner, 3, {C(2, Ace)});
        EXPECT_TRUE(Drop(GroupCorner, 3, GroupSingle, 0)) << "any Ace, from any pile";
    }
}

TEST_F(TombRules, ReservesAndWastesNeverTakeAndAnEmptyPileGivesNothing) {
    SetKind(gkTriskLite);
    Place(GroupInner, 0, {C(0, Six)});
    Place(GroupWaste, 0, {C(0, Seven)});
    Place(GroupOuter, 0, {C(0, 4)});
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupInner, 0));
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupWaste, 0));
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupWaste, 3));
    // A card on reserve 1 could go to its empty outer pile; an empty one cannot.
    EXPECT_FALSE(Drop(GroupInner, 1, GroupOuter, 1));
    Place(GroupInner, 1, {C(3, Six)});
    EXPECT_TRUE(Drop(GroupInner, 1, GroupOuter, 1));
    // Piles the kind does not play on take nothing and give nothing.
    SetKind(gkTriskStrong);
    Place(GroupWaste, 3, {C(0, King)});
    EXPECT_FALSE(Drop(GroupWaste, 3, GroupCorner, 0));
    Place(GroupOuter, 0, {C(0, Ace)});
    EXPECT_TRUE(Drop(GroupOuter, 0, GroupSingle, 0));
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupSingle, 1));
}

}  // namespace
}  // namespace trisk
