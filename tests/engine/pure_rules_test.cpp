// The rules as pure functions: a whole game played on a position value, with
// nothing but the engine linked.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/rules.h"

namespace trisk {
namespace {

int CardsOnTable(const TPosition& position) {
    int count = position.Board.Deck.CountCards();
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < PilesInGroup(position.Kind, g); ++p)
            count += position.Board.CardCount(position.Kind, g, p);
    }
    return count;
}

TEST(PureRules, WinningLineOfGame12SimplifiedPlaysToAWin) {
    TPosition position = DealtPosition(gkTriskLite, 12);
    EXPECT_EQ(position.Board.Deck.GameNumber, 12u);
    EXPECT_EQ(position.PassesLeft, 5);
    EXPECT_EQ(CardsOnTable(position), kDeckSize);

    std::ifstream script(TRISK_TEST_DATA_DIR "/win_simplified_12.txt");
    ASSERT_TRUE(script.is_open());
    std::string line;
    int steps = 0;
    TFaultLog faults;
    while (std::getline(script, line)) {
        if (line.empty() || line[0] == '#') continue;
        ASSERT_FALSE(IsWon(position)) << "won before step " << steps;
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        if (verb == "stock") {
            const TStockClick click = ApplyStockClick(position, faults);
            ASSERT_FALSE(click.Lost) << "step " << steps;
        } else {
            ASSERT_EQ(verb, "move");
            TMove move;
            words >> move.From.Group >> move.From.Pile >> move.To.Group >> move.To.Pile;
            // Every move of the line is one the rules list for its position.
            const std::vector<TMove> legal = LegalMoves(position);
            ASSERT_NE(std::find(legal.begin(), legal.end(), move), legal.end())
                << "step " << steps << ": " << line;
            ApplyMove(position, move.From, move.To, faults);
        }
        ++steps;
        ASSERT_EQ(CardsOnTable(position), kDeckSize);
    }
    EXPECT_EQ(steps, 198);
    EXPECT_TRUE(IsWon(position));
    EXPECT_TRUE(faults.Empty());
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(position.Board.CardCount(gkTriskLite, GroupCorner, c), 26);
}

TEST(PureRules, LegalMovesAgreeWithCanDropAndLeaveThePositionAlone) {
    for (int kind = 0; kind < kGameKinds; ++kind) {
        const TPosition position = DealtPosition(static_cast<TGameKind>(kind), 4242);
        const std::vector<TMove> moves = LegalMoves(position);
        for (const TMove& move : moves) {
            EXPECT_TRUE(CanDrop(position, move.From, move.To));
            EXPECT_TRUE(MayPickUp(position.Kind, move.From.Group));
            EXPECT_FALSE(move.From == move.To);
        }
        const TPosition again = DealtPosition(static_cast<TGameKind>(kind), 4242);
        EXPECT_EQ(std::memcmp(&position.Board, &again.Board, sizeof(TBoard)), 0);
    }
}

TEST(PureRules, StockClicksOfTheClassicalGameEndInALoss) {
    TPosition position = DealtPosition(gkTriskClassic, 1);
    TFaultLog faults;
    int clicks = 0;
    int redeals = 0;
    for (;;) {
        ++clicks;
        const TStockClick click = ApplyStockClick(position, faults);
        redeals += click.Redealt ? 1 : 0;
        if (click.Lost) break;
        ASSERT_LT(clicks, 1000);
    }
    // 60 cards in the stock: 12 clicks of five, then 15, 20, 30 and 60 clicks
    // of four, three, two and one pile, and the click after the last pass.
    EXPECT_EQ(clicks, 138);
    EXPECT_EQ(redeals, 5);
    EXPECT_EQ(position.PassesLeft, 0);
    EXPECT_TRUE(faults.Empty());
}

}  // namespace
}  // namespace trisk
