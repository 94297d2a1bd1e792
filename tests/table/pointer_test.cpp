// The table's geometry and the pointer logic of the core: which place a point
// hits, what each place shows, and what releases and moves do.
#include <gtest/gtest.h>

#include "history/game.h"
#include "table/pointer.h"
#include "table/spots.h"
#include "table/status_texts.h"
#include "test_host.h"

namespace trisk {
namespace {

using namespace test;

// The middle of the place of a pile.
std::pair<int, int> Centre(TGameKind kind, int group, int pile) {
    for (const TPileSpot& spot : SpotsForKind(kind)) {
        if (spot.Group == group && spot.Pile == pile) return {spot.X + 35, spot.Y + 48};
    }
    ADD_FAILURE() << "no place for (" << group << "," << pile << ")";
    return {0, 0};
}

TEST(Spots, TablesCoverEveryPileInPlayWithoutOverlap) {
    for (int k = 0; k < kGameKinds; ++k) {
        const TGameKind kind = static_cast<TGameKind>(k);
        const auto spots = SpotsForKind(kind);
        int piles = 0;
        for (int g = 0; g < kGroups; ++g)
            piles += PilesInGroup(kind, g);
        EXPECT_EQ(static_cast<int>(spots.size()), piles) << k;
        for (size_t i = 0; i < spots.size(); ++i) {
            EXPECT_TRUE(PileExists(kind, spots[i].Group, spots[i].Pile));
            EXPECT_FALSE(std::abs(spots[i].X - StockSpot.X) < kCardWidth &&
                         std::abs(spots[i].Y - StockSpot.Y) < kCardHeight);
            for (size_t j = i + 1; j < spots.size(); ++j) {
                EXPECT_FALSE(std::abs(spots[i].X - spots[j].X) < kCardWidth &&
                             std::abs(spots[i].Y - spots[j].Y) < kCardHeight)
                    << k << ": " << i << " and " << j;
            }
        }
    }
    EXPECT_EQ(SpotsForKind(gkTriskClassic).size(), 18u);
    EXPECT_EQ(SpotsForKind(gkTriskStrong).size(), 16u);
    EXPECT_EQ(SpotsForKind(gkDiamond).size(), 14u);
}

TEST(Spots, BorderPixelsHitNothing) {
    EXPECT_FALSE(OnStock(24, 46));
    EXPECT_FALSE(OnStock(95, 100));
    EXPECT_TRUE(OnStock(25, 47));
    EXPECT_TRUE(OnStock(94, 141));
    EXPECT_FALSE(OnStock(94, 142));
    // Reserve 1 of Napoleon's Tomb lies at (395, 314).
    EXPECT_EQ(SpotAt(gkTriskClassic, 395, 350), nullptr);
    EXPECT_EQ(SpotAt(gkTriskClassic, 466, 350), nullptr);
    EXPECT_EQ(SpotAt(gkTriskClassic, 400, 314), nullptr);
    const TPileSpot* hit = SpotAt(gkTriskClassic, 396, 315);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->Group, 0);
    EXPECT_EQ(hit->Pile, 1);
    // Waste piles 3 and 4 exist only in Simplified and Classical.
    EXPECT_EQ(SpotAt(gkTriskStrong, 400, 100), nullptr);
    hit = SpotAt(gkTriskClassic, 400, 100);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->Group, 4);
    EXPECT_EQ(hit->Pile, 3);
    EXPECT_EQ(SpotAt(gkDiamond, 24 + 35, 46 + 48), nullptr) << "the stock is not a pile";
}

TEST(Spots, EachPlaceShowsItsTopCardOrItsMarker) {
    TPosition position = DealtPosition(gkTriskClassic, 1);
    // A pile shows its top card: the last one put on it.
    EXPECT_EQ(SpotImageIndex(position, GroupInner, 0), Top(position, GroupInner, 0));
    EXPECT_EQ(position.Board.CardCount(gkTriskClassic, GroupInner, 0), 10);
    position.Board.ClearBlock(gkTriskClassic);
    EXPECT_EQ(SpotImageIndex(position, GroupInner, 0), imgCardBase);
    EXPECT_EQ(SpotImageIndex(position, GroupCorner, 2), imgCardBaseK);
    EXPECT_EQ(SpotImageIndex(position, GroupOuter, 1), imgCardBaseAll);
    EXPECT_EQ(SpotImageIndex(position, GroupSingle, 0), imgCardBaseA);
    EXPECT_EQ(SpotImageIndex(position, GroupWaste, 4), imgCardBase);
    Place(position, GroupWaste, 4, {C(1, 3), C(2, 12)});
    EXPECT_EQ(SpotImageIndex(position, GroupWaste, 4), 2 * 13 + 12);

    EXPECT_EQ(StockImageIndex(position), imgCardBack);
    EmptyStock(position);
    for (int passes : {5, 2}) {
        position.PassesLeft = passes;
        EXPECT_EQ(StockImageIndex(position), imgRedeal);
    }
    for (int passes : {1, 0, -1}) {
        position.PassesLeft = passes;
        EXPECT_EQ(StockImageIndex(position), imgEndGame);
    }
    for (TGameKind kind : {gkTriskStrong, gkDiamond}) {
        position = EmptyTable(kind);
        EmptyStock(position);
        position.PassesLeft = -1;
        EXPECT_EQ(StockImageIndex(position), imgRedeal);
    }
    for (int g = 0; g < 4; ++g)
        EXPECT_EQ(SpotImageIndex(position, g, 0), imgCardBaseAll);
    EXPECT_EQ(SpotImageIndex(position, GroupWaste, 0), imgCardBase);
}

class Pointer : public ::testing::Test {
  protected:
    void Deal(TGameKind kind) {
        game.DealGameNumber(kind, 21);
        ClearTable(game);
        host.Sounds.clear();
    }
    void Click(int group, int pile, TMouseButton button = TMouseButton::Left) {
        const auto [x, y] = Centre(game.GameKind(), group, pile);
        FormMouseUp(game, button, x, y);
    }
    TRecordingHost host;
    TGame game{host.Services()};
};

TEST_F(Pointer, PickPutBackAndMove) {
    Deal(gkTriskClassic);
    Place(game, GroupInner, 1, {C(0, 5)});
    Place(game, GroupOuter, 1, {C(0, 4)});
    Place(game, GroupOuter, 2, {C(2, 4)});
    Click(GroupInner, 1);
    EXPECT_EQ(game.SelGroup(), GroupInner);
    EXPECT_EQ(game.SelPile(), 1);
    EXPECT_TRUE(game.Highlighted());
    EXPECT_EQ(game.HighlightX(), 395);
    EXPECT_EQ(game.HighlightY(), 314);
    EXPECT_EQ(host.Sounds, std::vector<std::string>{"UP"});

    Click(GroupInner, 1);  // put back
    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_FALSE(game.Highlighted());
    EXPECT_EQ(host.Sounds.back(), "DOWN");
    EXPECT_EQ(game.SelPile(), 1) << "kept until the next pick";

    Click(GroupInner, 1);
    FormMouseUp(game, TMouseButton::Left, 10, 300);  // bare table
    EXPECT_EQ(game.SelGroup(), GroupInner) << "a click beside the piles keeps the card";
    Click(GroupOuter, 2);  // illegal, non-empty
    EXPECT_EQ(host.Sounds.back(), "WRONG");
    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_FALSE(game.Highlighted());
    EXPECT_EQ(game.MoveIndex(), 0);

    Click(GroupInner, 1);
    Click(GroupOuter, 1);
    EXPECT_EQ(game.MoveIndex(), 1);
    EXPECT_EQ(Top(game, GroupOuter, 1), 5);
    EXPECT_EQ(host.Sounds.back(), "DOWN");
    EXPECT_EQ(game.SelGroup(), -1);
}

TEST_F(Pointer, RefusalsOnEmptyPilesSoundByTheirPileNumber) {
    Deal(gkTriskClassic);
    Place(game, GroupOuter, 0, {C(0, 5)});
    Click(GroupOuter, 0);
    Click(GroupInner, 2);  // empty, pile number 2: always WRONG
    EXPECT_EQ(host.Sounds.back(), "WRONG");

    Place(game, GroupCorner, 0, {C(1, 12)});
    Place(game, GroupSingle, 0, {C(3, 0)});
    host.Sounds.clear();
    Click(GroupOuter, 0);
    Click(GroupInner, 0);  // empty pile 0 while corner 0 and the Ace pile hold cards
    EXPECT_EQ(host.Sounds, std::vector<std::string>{"UP"});
    EXPECT_EQ(game.SelGroup(), -1);

    host.Sounds.clear();
    Click(GroupWaste, 3);  // nothing picked up, empty pile: only a repaint
    EXPECT_TRUE(host.Sounds.empty());
}

TEST_F(Pointer, CornersArePickedUpOnlyInTheComplicatedGame) {
    Deal(gkTriskClassic);
    Place(game, GroupCorner, 1, {C(0, 12)});
    const int paints = host.Paints;
    Click(GroupCorner, 1);
    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_GT(host.Paints, paints);
    EXPECT_TRUE(host.Sounds.empty());

    Deal(gkTriskStrong);
    Place(game, GroupCorner, 1, {C(0, 12)});
    Click(GroupCorner, 1);
    EXPECT_EQ(game.SelGroup(), GroupCorner);
}

TEST_F(Pointer, RightButtonStockAndWonGame) {
    game.DealGameNumber(gkTriskClassic, 21);
    Click(GroupOuter, 3);
    FormMouseUp(game, TMouseButton::Right, 0, 0);
    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_FALSE(game.Highlighted());

    Click(GroupOuter, 3, TMouseButton::Middle);
    EXPECT_EQ(game.SelGroup(), GroupOuter) << "the middle button acts like the left";
    FormMouseUp(game, TMouseButton::Left, 60, 90);  // the stock
    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_FALSE(game.Highlighted());
    EXPECT_EQ(game.ActionCount(), 1);
    EXPECT_EQ(Count(game, GroupWaste, 4), 1);

    EditPosition(game, [](TPosition& p) { p.PassesLeft = -1; });  // won
    Click(GroupOuter, 3);
    EXPECT_EQ(game.SelGroup(), -1);
    FormMouseUp(game, TMouseButton::Left, 60, 90);
    EXPECT_EQ(game.ActionCount(), 1);
    // Hovering still works.
    const auto [x, y] = Centre(gkTriskClassic, GroupOuter, 3);
    FormMouseMove(game, x, y);
    EXPECT_EQ(host.Cursor, TCursor::Hand);
}

TEST_F(Pointer, HoverShowsTheCursorAndTheCardCount) {
    game.DealGameNumber(gkTriskStrong, 21);
    auto hover = [&](int group, int pile) {
        const auto [x, y] = Centre(game.GameKind(), group, pile);
        FormMouseMove(game, x, y);
    };
    hover(GroupInner, 2);
    EXPECT_EQ(host.Panels[TStatusPanel::Cards], "Cards: 12");
    EXPECT_EQ(host.Cursor, TCursor::Hand);
    FormMouseMove(game, 600, 500);
    EXPECT_EQ(host.Panels[TStatusPanel::Cards], "");
    EXPECT_EQ(host.Cursor, TCursor::Arrow);
    FormMouseMove(game, 60, 90);
    EXPECT_EQ(host.Cursor, TCursor::Hand) << "the stock";
    EXPECT_EQ(host.Panels[TStatusPanel::Cards], "");
    hover(GroupCorner, 0);
    EXPECT_EQ(host.Cursor, TCursor::Arrow) << "empty";

    // With a card picked up the cursor tells whether it may drop there.
    ClearTable(game);
    Place(game, GroupInner, 0, {C(2, 0)});
    Place(game, GroupOuter, 1, {C(1, 0)});
    Click(GroupInner, 0);
    hover(GroupSingle, 0);
    EXPECT_EQ(host.Cursor, TCursor::Hand);
    hover(GroupOuter, 1);
    EXPECT_EQ(host.Cursor, TCursor::Arrow);
    EXPECT_EQ(host.Panels[TStatusPanel::Cards], "Cards: 1");
}

TEST(Clock, FormatsHoursMinutesAndSecondsAndWraps) {
    EXPECT_EQ(FormatClock(0), "00:00:00");
    EXPECT_EQ(FormatClock(59999), "00:00:59");
    EXPECT_EQ(FormatClock(3723000), "01:02:03");
    EXPECT_EQ(FormatClock(360000000), "100:00:00");
    EXPECT_EQ(FormatClock(4294967295u), "1193:02:47");

    TRecordingHost host;
    TGame game(host.Services());
    host.Now = 4294967000u;
    game.StartGame();
    host.Now = 1000;
    EXPECT_EQ(FormatClock(game.Clock().ElapsedTicks()), "00:00:01");

    // Ten minutes minimised do not count.
    host.Now = 61000;
    game.Clock().PauseClock();
    EXPECT_FALSE(host.TimerRunning);
    host.Now += 600000;
    game.Clock().ResumeClock();
    EXPECT_TRUE(host.TimerRunning);
    EXPECT_EQ(FormatClock(game.Clock().ElapsedTicks()), "00:01:01");

    // A stopped clock keeps its time; pause and resume set it running again.
    host.Now += 5000;
    game.Clock().StopClock();
    EXPECT_FALSE(host.TimerRunning);
    game.Clock().PauseClock();
    host.Now += 100000;
    game.Clock().ResumeClock();
    EXPECT_EQ(game.Clock().ElapsedTicks(), 66296u);
}

}  // namespace
}  // namespace trisk
