#include <gtest/gtest.h>

#include "engine/game.h"
#include "test_host.h"

namespace trisk {
namespace {

using namespace test;

constexpr int Ace = 0, Six = 5, Seven = 6, Queen = 11, King = 12;

// A cleared table of the kind; the stock keeps its cards.
using TombRules = TRulesFixture;

TEST_F(TombRules, EmptyCornerTakesAKingUnlessItsSuitShowsOnAnotherCorner) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(game, GroupInner, 0, {C(2, King)});
        Place(game, GroupWaste, 1, {C(2, Queen)});
        EXPECT_TRUE(Drop(GroupInner, 0, GroupCorner, 3)) << kind;
        EXPECT_FALSE(Drop(GroupWaste, 1, GroupCorner, 3)) << "not a King, kind " << kind;

        Place(game, GroupCorner, 1, {C(2, Ace), C(1, King)});  // suit 2 buried: no matter
        EXPECT_TRUE(Drop(GroupInner, 0, GroupCorner, 3));
        Place(game, GroupCorner, 0, {C(2, Seven)});  // suit 2 shows on corner 0
        EXPECT_FALSE(Drop(GroupInner, 0, GroupCorner, 3));
        EXPECT_TRUE(host.Messages.empty());
    }
    // In the complicated variant a corner's King never opens another corner.
    SetKind(gkTriskStrong);
    Place(game, GroupCorner, 0, {C(3, King)});
    EXPECT_FALSE(Drop(GroupCorner, 0, GroupCorner, 1));
}

TEST_F(TombRules, CornersBuildDownInSuitWithKingOnAceAndNeverFromACorner) {
    SetKind(gkTriskStrong);
    Place(game, GroupCorner, 0, {C(1, Seven), C(1, Ace)});
    Place(game, GroupOuter, 2, {C(1, King)});
    Place(game, GroupWaste, 0, {C(0, King)});
    Place(game, GroupSingle, 0, {C(1, Queen)});
    Place(game, GroupCorner, 1, {C(1, King)});
    EXPECT_TRUE(Drop(GroupOuter, 2, GroupCorner, 0));
    EXPECT_FALSE(Drop(GroupWaste, 0, GroupCorner, 0)) << "other suit";
    EXPECT_FALSE(Drop(GroupCorner, 1, GroupCorner, 0)) << "corner to corner";

    Pick(game, GroupOuter, 2);
    game.PlayMove(GroupCorner, 0);
    game.SelGroup = -1;
    EXPECT_EQ(Top(game, GroupCorner, 0), 1 * 13 + King);
    // The Ace pile gives to the corners too; the Queen now goes onto the King.
    EXPECT_TRUE(Drop(GroupSingle, 0, GroupCorner, 0));
    Place(game, GroupInner, 3, {C(1, Six)});
    EXPECT_FALSE(Drop(GroupInner, 3, GroupCorner, 0)) << "not one below";
}

TEST_F(TombRules, OuterPilesRefillFromTheirReserveAndBuildUpInSuit) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(game, GroupInner, 2, {C(0, Seven)});
        EXPECT_TRUE(Drop(GroupInner, 2, GroupOuter, 2)) << kind;
        EXPECT_FALSE(Drop(GroupInner, 2, GroupOuter, 1)) << kind;

        Place(game, GroupOuter, 1, {C(0, Six)});
        Place(game, GroupOuter, 3, {C(3, King)});
        Place(game, GroupWaste, 4 % PilesInGroup(kind, GroupWaste), {C(3, Ace)});
        const int waste = 4 % PilesInGroup(kind, GroupWaste);
        EXPECT_TRUE(Drop(GroupInner, 2, GroupOuter, 1)) << "Seven onto Six";
        EXPECT_TRUE(Drop(GroupWaste, waste, GroupOuter, 3)) << "Ace onto King";
        Place(game, GroupOuter, 0, {C(0, 4)});
        EXPECT_FALSE(Drop(GroupOuter, 0, GroupOuter, 1)) << "Five is below the Six";
        Place(game, GroupOuter, 0, {C(0, Seven)});
        EXPECT_TRUE(Drop(GroupOuter, 0, GroupOuter, 1)) << "outer to outer";
        Place(game, GroupOuter, 0, {C(2, Seven)});
        EXPECT_FALSE(Drop(GroupOuter, 0, GroupOuter, 1)) << "other suit";
    }
}

TEST_F(TombRules, OnlySimplifiedLetsTheAcePileAndWasteFillOuterPiles) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        const bool lite = kind == gkTriskLite;
        Place(game, GroupSingle, 0, {C(2, Ace), C(2, 1)});
        Place(game, GroupWaste, 0, {C(1, Queen)});
        Place(game, GroupOuter, 0, {C(2, Ace)});
        EXPECT_EQ(Drop(GroupSingle, 0, GroupOuter, 0), lite) << "Two onto Ace, kind " << kind;
        EXPECT_EQ(Drop(GroupSingle, 0, GroupOuter, 1), lite) << "empty outer, kind " << kind;
        EXPECT_EQ(Drop(GroupWaste, 0, GroupOuter, 1), lite) << "empty outer, kind " << kind;
        EXPECT_FALSE(Drop(GroupInner, 0, GroupOuter, 1)) << "nothing to give";
    }
    SetKind(gkTriskStrong);
    Place(game, GroupCorner, 0, {C(2, 1)});
    Place(game, GroupOuter, 0, {C(2, Ace)});
    EXPECT_FALSE(Drop(GroupCorner, 0, GroupOuter, 0)) << "corners never feed outer piles";
}

TEST_F(TombRules, AcePileStartsWithAnyAceAndBuildsUpInSuit) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(game, GroupInner, 1, {C(3, Ace)});
        Place(game, GroupWaste, 2, {C(3, 1)});
        EXPECT_TRUE(Drop(GroupInner, 1, GroupSingle, 0));
        EXPECT_FALSE(Drop(GroupWaste, 2, GroupSingle, 0)) << "an empty Ace pile takes only Aces";

        Place(game, GroupSingle, 0, {C(3, Ace)});
        EXPECT_TRUE(Drop(GroupWaste, 2, GroupSingle, 0));
        Place(game, GroupOuter, 3, {C(0, 1)});
        EXPECT_FALSE(Drop(GroupOuter, 3, GroupSingle, 0)) << "other suit";
    }
    // Round the corner: an Ace goes onto a King of its suit.
    SetKind(gkTriskClassic);
    Place(game, GroupSingle, 0, {C(1, King)});
    Place(game, GroupOuter, 0, {C(1, Ace)});
    EXPECT_TRUE(Drop(GroupOuter, 0, GroupSingle, 0));

    // A corner's top card goes back onto the Ace pile only in the complicated variant.
    for (TGameKind kind : {gkTriskClassic, gkTriskStrong}) {
        SetKind(kind);
        Place(game, GroupSingle, 0, {C(0, Six)});
        Place(game, GroupCorner, 2, {C(0, Seven)});
        EXPECT_EQ(Drop(GroupCorner, 2, GroupSingle, 0), kind == gkTriskStrong);
        ClearTable(game);
        Place(game, GroupCorner, 3, {C(2, Ace)});
        EXPECT_TRUE(Drop(GroupCorner, 3, GroupSingle, 0)) << "any Ace, from any pile";
    }
}

TEST_F(TombRules, ReservesAndWastesNeverTakeAndNothingPickedUpDropsNothing) {
    SetKind(gkTriskLite);
    Place(game, GroupInner, 0, {C(0, Six)});
    Place(game, GroupWaste, 0, {C(0, Seven)});
    Place(game, GroupOuter, 0, {C(0, 4)});
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupInner, 0));
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupWaste, 0));
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupWaste, 3));
    game.SelGroup = -1;
    EXPECT_FALSE(game.CanDrop(GroupOuter, 1));
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(TombRules, PlayMoveRecordsTheStepSoundsAndRepaints) {
    SetKind(gkTriskClassic);
    Place(game, GroupInner, 0, {C(1, King)});
    Place(game, GroupWaste, 0, {C(1, Queen)});
    Place(game, GroupOuter, 0, {C(1, 4)});
    Place(game, GroupOuter, 1, {C(1, Six)});
    Pick(game, GroupInner, 0);
    game.SelPile = 0;
    game.PlayMove(GroupCorner, 0);
    EXPECT_EQ(game.MoveIndex, 1);
    EXPECT_EQ(game.ActionCount, 1);
    ASSERT_EQ(game.History.size(), 2u);
    EXPECT_EQ(game.History[1].SelGroup, GroupInner) << "the entry names the pile left";
    EXPECT_EQ(host.Sounds.back(), "DROP");
    EXPECT_FALSE(game.Highlighted);
    EXPECT_TRUE(game.IsActionEnabled(TGameAction::Undo));

    Pick(game, GroupOuter, 1);
    ASSERT_TRUE(game.CanDrop(GroupOuter, 0));
    game.PlayMove(GroupOuter, 0);
    EXPECT_EQ(host.Sounds.back(), "DOWN");
    game.Settings.EnableSound = false;
    const size_t sounds = host.Sounds.size();
    Pick(game, GroupWaste, 0);
    game.PlayMove(GroupCorner, 0);
    EXPECT_EQ(host.Sounds.size(), sounds) << "sound off";
}

}  // namespace
}  // namespace trisk
