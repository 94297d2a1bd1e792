// The arrow keys' moves between piles: every pile of every kind can be
// reached from the stock, each step goes the way of its key, and a row or a
// column is followed before the focus jumps elsewhere.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "table/keyboard_focus.h"
#include "table/spots.h"

namespace trisk {
namespace {

constexpr TFocusDirection kDirections[] = {TFocusDirection::Left, TFocusDirection::Right,
                                           TFocusDirection::Up, TFocusDirection::Down};

TEST(KeyboardFocus, EveryPileIsReachedFromTheStockAndEveryStepGoesItsWay) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong, gkDiamond}) {
        std::set<std::pair<int, int>> seen{{-1, -1}};
        std::vector<TPileRef> todo{{-1, -1}};
        while (!todo.empty()) {
            const TPileRef from = todo.back();
            todo.pop_back();
            const TPileSpot* a = SpotOfPile(kind, from.Group, from.Pile);
            for (TFocusDirection direction : kDirections) {
                const auto to = NextFocusPile(kind, from, direction);
                if (!to) continue;
                const TPileSpot* b = SpotOfPile(kind, to->Group, to->Pile);
                ASSERT_NE(b, nullptr);
                switch (direction) {
                    case TFocusDirection::Left:
                        EXPECT_LT(b->X, a->X);
                        break;
                    case TFocusDirection::Right:
                        EXPECT_GT(b->X, a->X);
                        break;
                    case TFocusDirection::Up:
                        EXPECT_LT(b->Y, a->Y);
                        break;
                    case TFocusDirection::Down:
                        EXPECT_GT(b->Y, a->Y);
                        break;
                }
                if (seen.insert({to->Group, to->Pile}).second) todo.push_back(*to);
            }
        }
        EXPECT_EQ(seen.size(), SpotsForKind(kind).size() + 1) << "kind " << kind;
    }
}

TEST(KeyboardFocus, FollowsTheRowsAndStopsAtTheEdge) {
    const TPileRef stock{-1, -1};
    EXPECT_FALSE(NextFocusPile(gkTriskClassic, stock, TFocusDirection::Left));
    EXPECT_FALSE(NextFocusPile(gkTriskClassic, stock, TFocusDirection::Up));
    // Along the waste row to its end, and down from the stock to the single pile.
    TPileRef at = stock;
    for (int pile = 0; pile < 5; ++pile) {
        const auto next = NextFocusPile(gkTriskClassic, at, TFocusDirection::Right);
        ASSERT_TRUE(next);
        EXPECT_EQ(*next, (TPileRef{4, pile}));
        at = *next;
    }
    EXPECT_EQ(NextFocusPile(gkTriskClassic, stock, TFocusDirection::Down), (TPileRef{3, 0}));
    // The middle ring: from the top pile down to the bottom one through the centre.
    EXPECT_EQ(NextFocusPile(gkDiamond, {0, 0}, TFocusDirection::Down), (TPileRef{3, 0}));
    EXPECT_EQ(NextFocusPile(gkDiamond, {3, 0}, TFocusDirection::Down), (TPileRef{0, 2}));
    // An unknown pile has no neighbours.
    EXPECT_FALSE(NextFocusPile(gkTriskStrong, {4, 4}, TFocusDirection::Left));
}

}  // namespace
}  // namespace trisk
