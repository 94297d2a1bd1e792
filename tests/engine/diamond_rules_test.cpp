#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/position_builder.h"
#include "engine/rules.h"

namespace trisk {
namespace {

using namespace test;

class DiamondRules : public TRulesFixture {
  protected:
    void SetUp() override { SetKind(gkDiamond); }
};

// The cell of each table pile on the 5 x 5 diamond grid (column, row).
struct Cell {
    int Group, Pile, Column, Row;
};
constexpr Cell kCells[] = {
    {2, 0, 2, 0}, {1, 0, 1, 1}, {0, 0, 2, 1}, {1, 1, 3, 1}, {2, 3, 0, 2},
    {0, 3, 1, 2}, {3, 0, 2, 2}, {0, 1, 3, 2}, {2, 1, 4, 2}, {1, 3, 1, 3},
    {0, 2, 2, 3}, {1, 2, 3, 3}, {2, 2, 2, 4},
};

TEST_F(DiamondRules, TablePilesTakeAdjacentRanksOnlyFromTouchingCells) {
    // Neighbours are cells that touch along a side or at a corner; the outer
    // piles never deal with the centre.
    for (const Cell& target : kCells) {
        if (target.Group == GroupSingle) continue;
        for (const Cell& source : kCells) {
            if (&source == &target) continue;
            ClearTable();
            Place(target.Group, target.Pile, {C(0, 7)});
            Place(source.Group, source.Pile, {C(3, 6)});  // any suit, one below
            const bool touching = std::abs(source.Column - target.Column) <= 1 &&
                                  std::abs(source.Row - target.Row) <= 1;
            const bool centreAndOuter = source.Group == GroupSingle && target.Group == GroupOuter;
            EXPECT_EQ(Drop(source.Group, source.Pile, target.Group, target.Pile),
                      touching && !centreAndOuter)
                << "from (" << source.Group << "," << source.Pile << ") to (" << target.Group << ","
                << target.Pile << ")";
        }
    }
}

TEST_F(DiamondRules, RanksMayGoEitherWayAndWrapRoundTheKing) {
    Place(GroupInner, 0, {C(1, 7)});
    Place(GroupCorner, 0, {C(2, 6)});
    EXPECT_TRUE(Drop(GroupCorner, 0, GroupInner, 0)) << "Seven onto Eight";
    ClearTable();
    Place(GroupInner, 0, {C(1, 5)});
    Place(GroupCorner, 0, {C(3, 6)});
    EXPECT_TRUE(Drop(GroupCorner, 0, GroupInner, 0)) << "Seven onto Six";
    ClearTable();
    Place(GroupInner, 0, {C(1, 0)});
    Place(GroupCorner, 0, {C(3, 12)});
    Place(GroupCorner, 1, {C(3, 2)});
    EXPECT_TRUE(Drop(GroupCorner, 0, GroupInner, 0)) << "King onto Ace";
    EXPECT_FALSE(Drop(GroupCorner, 1, GroupInner, 0)) << "Three onto Ace";
    ClearTable();
    Place(GroupInner, 0, {C(1, 12)});
    Place(GroupCorner, 0, {C(3, 0)});
    EXPECT_TRUE(Drop(GroupCorner, 0, GroupInner, 0)) << "Ace onto King";
}

TEST_F(DiamondRules, TheWasteFeedsAnyTablePileAndAloneFillsEmptyOnes) {
    Place(GroupInner, 0, {C(0, 4)});
    Place(GroupOuter, 1, {C(0, 5)});
    Place(GroupWaste, 0, {C(0, 5)});
    EXPECT_FALSE(Drop(GroupOuter, 1, GroupInner, 0)) << "outer 1 does not touch inner 0";
    EXPECT_TRUE(Drop(GroupWaste, 0, GroupInner, 0));
    EXPECT_FALSE(Drop(GroupWaste, 0, GroupOuter, 1)) << "same rank is not adjacent";

    EXPECT_FALSE(Drop(GroupInner, 0, GroupCorner, 0)) << "empty corner from a neighbour";
    EXPECT_FALSE(Drop(GroupOuter, 1, GroupInner, 1)) << "empty inner from a neighbour";
    EXPECT_TRUE(Drop(GroupWaste, 0, GroupCorner, 0));
    EXPECT_TRUE(Drop(GroupWaste, 0, GroupOuter, 2));
    EXPECT_FALSE(Drop(GroupInner, 0, GroupWaste, 0)) << "the waste takes nothing";
}

TEST_F(DiamondRules, TheCentreBuildsUpFromAnyPileButTheOuterRing) {
    Place(GroupInner, 2, {C(1, 9)});
    Place(GroupCorner, 3, {C(2, 3)});
    Place(GroupWaste, 0, {C(3, 0)});
    Place(GroupOuter, 0, {C(0, 12)});
    EXPECT_TRUE(Drop(GroupInner, 2, GroupSingle, 0));
    EXPECT_TRUE(Drop(GroupCorner, 3, GroupSingle, 0));
    EXPECT_TRUE(Drop(GroupWaste, 0, GroupSingle, 0));
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupSingle, 0));

    Place(GroupSingle, 0, {C(2, 11)});  // a Queen
    Place(GroupInner, 1, {C(0, 12)});
    Place(GroupCorner, 2, {C(3, 10)});
    EXPECT_TRUE(Drop(GroupInner, 1, GroupSingle, 0)) << "King of any suit";
    EXPECT_FALSE(Drop(GroupCorner, 2, GroupSingle, 0)) << "a Jack";
    EXPECT_FALSE(Drop(GroupOuter, 0, GroupSingle, 0)) << "a King from the outer ring";

    // Cards can leave the centre again, onto inner and corner piles.
    Place(GroupCorner, 0, {C(1, 10)});
    EXPECT_TRUE(Drop(GroupSingle, 0, GroupCorner, 0));
    Place(GroupOuter, 3, {C(1, 10)});
    EXPECT_FALSE(Drop(GroupSingle, 0, GroupOuter, 3));
}

}  // namespace
}  // namespace trisk
