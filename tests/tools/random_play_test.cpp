// Long random sessions of clicks and commands in every kind and undo level:
// cards are never lost or duplicated, the table always shows the history's
// current entry, and a saved game loads back to the same bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "history/file_store.h"
#include "history/game.h"
#include "history/savefile.h"
#include "table/pointer.h"
#include "table/spots.h"
#include "temp_dir.h"
#include "test_host.h"

namespace trisk {
namespace {

void ExpectEveryCardTwice(const TGame& game, const std::string& where) {
    int seen[4][13] = {};
    auto count = [&](const TCard* cards) {
        for (int i = 0; i < kDeckSize; ++i) {
            if (cards[i].Present) ++seen[cards[i].Suit][cards[i].Rank];
        }
    };
    count(game.Board().Deck.Cards);
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < PilesInGroup(game.GameKind(), g); ++p)
            count(game.Board().Pile(game.GameKind(), g, p).Cards);
    }
    for (auto& suit : seen) {
        for (int n : suit)
            ASSERT_EQ(n, 2) << where;
    }
}

void ExpectTableShowsCurrentEntry(const TGame& game, const std::string& where) {
    ASSERT_GE(game.MoveIndex(), 0) << where;
    ASSERT_LT(static_cast<size_t>(game.MoveIndex()), game.History().Size()) << where;
    const TSolData& entry = game.History()[static_cast<size_t>(game.MoveIndex())];
    ASSERT_EQ(std::memcmp(&entry.Deck, &game.Board().Deck, sizeof(TDeck)), 0) << where;
    if (IsTomb(game.GameKind())) {
        ASSERT_EQ(std::memcmp(entry.TombPiles, game.Board().TombPiles, sizeof entry.TombPiles), 0)
            << where;
    } else {
        ASSERT_EQ(
            std::memcmp(entry.DiamondPiles, game.Board().DiamondPiles, sizeof entry.DiamondPiles),
            0)
            << where;
    }
    // A won game (-1) and a lost one (0) change PassesLeft without a new entry.
    if (game.PassesLeft() > 0) {
        ASSERT_EQ(entry.PassesLeft, game.PassesLeft()) << where;
    }
    ASSERT_GE(game.ActionCount(), game.MoveIndex()) << where;
}

TEST(RandomPlay, InvariantsHoldInEveryKindAndUndoLevel) {
    const test::TTempDir dir;
    const std::string path = (dir / "r.kxr").string();
    std::mt19937 random(1209);
    int moves = 0;
    for (int kind = 0; kind < kGameKinds; ++kind) {
        for (int level = 0; level <= 2; ++level) {
            for (int session = 0; session < 4; ++session) {
                test::TRecordingHost host;
                TGame game(host.Services());
                test::EditSettings(game, [&](TSettings& s) {
                    s.UndoOption = level;
                    s.ConfirmNewGame = s.ConfirmReplayGame = false;
                });
                game.DealGameNumber(static_cast<TGameKind>(kind), random());
                const auto spots = SpotsForKind(game.GameKind());
                for (int step = 0; step < 400; ++step) {
                    const int action = static_cast<int>(random() % 100);
                    const int before = game.MoveIndex();
                    if (action < 15) {
                        FormMouseUp(game, TMouseButton::Left, 60, 90);
                    } else if (action < 85) {
                        const TPileSpot& spot = spots[random() % spots.size()];
                        FormMouseUp(game, TMouseButton::Left, spot.X + 1 + random() % 69,
                                    spot.Y + 1 + random() % 94);
                        if (game.SelGroup() == -1 && game.MoveIndex() > before) ++moves;
                    } else if (action < 91) {
                        game.UndoMove();
                    } else if (action < 95) {
                        game.RedoMove();
                    } else if (action < 97) {
                        game.InsertBookmark();
                    } else if (action < 99) {
                        game.GoToBookmark();
                    } else {
                        game.RestartGame();
                    }
                    const std::string where = "kind " + std::to_string(kind) + " level " +
                                              std::to_string(level) + " step " +
                                              std::to_string(step);
                    ExpectEveryCardTwice(game, where);
                    ExpectTableShowsCurrentEntry(game, where);
                    if (::testing::Test::HasFatalFailure()) return;
                }
                ASSERT_TRUE(game.WriteGameFile(path, 0));
                std::vector<uint8_t> first, second;
                ASSERT_TRUE(PlatformFileStore().ReadWholeFile(path, first));
                TGame other(host.Services());
                other.StartGame();
                ASSERT_TRUE(other.LoadGameFromFile(path));
                ASSERT_TRUE(other.WriteGameFile(path, 0));
                ASSERT_TRUE(PlatformFileStore().ReadWholeFile(path, second));
                EXPECT_EQ(first, second);
                EXPECT_TRUE(host.Messages.empty()) << host.Messages.front();
            }
        }
    }
    // The random clicks must have made real moves, or the test proves little.
    EXPECT_GT(moves, 100);
}

}  // namespace
}  // namespace trisk
