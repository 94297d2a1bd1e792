// The statistics: what a game played through the game object counts, and the
// file they are kept in when writes fail or the file is damaged.
#include <filesystem>
#include <fstream>

#include "history/statistics.h"
#include "temp_dir.h"
#include "test_host.h"

namespace trisk::test {
namespace {

class Statistics : public ::testing::Test {
  protected:
    TGameServices Services() {
        TGameServices services = host.Services();
        services.Events = &keeper;
        return services;
    }
    // One step: a click on the stock.
    void Act() { game.ClickStock(); }
    // Wins the game on the table with one move after the given time.
    void Win(uint32_t ms) {
        const TGameKind kind = game.GameKind();
        EmptyStock(game);
        ClearTable(game);
        if (kind == gkDiamond) {
            Place(game, GroupSingle, 0, {C(0, 3)});
            Place(game, GroupWaste, 0, {C(1, 4)});
            host.Now += ms;
            Pick(game, GroupWaste, 0);
            game.PlayMove(GroupSingle, 0);
        } else {
            Place(game, GroupCorner, 2, {C(3, 0), C(3, 12)});
            Place(game, GroupWaste, 3, {C(3, 11)});
            host.Now += ms;
            Pick(game, GroupWaste, 3);
            game.PlayMove(GroupCorner, 2);
        }
        ASSERT_EQ(game.PassesLeft(), -1) << "kind " << kind;
    }
    const TKindStatistics& Of(TGameKind kind) { return keeper.Figures()[kind]; }

    TTempDir dir;
    TRecordingHost host;
    TStatisticsKeeper keeper{PlatformFileStore(), host, (dir / "statistics").string()};
    TGame game{Services()};
};

TEST_F(Statistics, WinsLossesAndAbandonedGamesOfEachKind) {
    for (TGameKind kind : {gkTriskLite, gkTriskClassic, gkTriskStrong, gkDiamond}) {
        // Dealt and replaced without an action: not a game played.
        game.DealGameNumber(kind, 1);
        game.DealGameNumber(kind, 2);
        EXPECT_EQ(Of(kind).Played, 0u);
        // A win in 90 s, then one in 65 s: the best time is the shorter one.
        Win(90000);
        game.DealGameNumber(kind, 3);
        Win(65000);
        // An abandoned game breaks the streak; replaced by another kind.
        game.DealGameNumber(kind, 4);
        Act();
        game.DealGameNumber(kind == gkDiamond ? gkTriskLite : gkDiamond, 5);
        game.DealGameNumber(kind, 6);
        Win(200000);
        if (kind != gkDiamond && kind != gkTriskStrong) {
            game.DealGameNumber(kind, 7);
            game.GameLost();
        }
        game.DealGameNumber(kind, 8);
        const TKindStatistics& s = Of(kind);
        const bool loses = kind != gkDiamond && kind != gkTriskStrong;
        EXPECT_EQ(s.Won, 3u) << kind;
        EXPECT_EQ(s.Abandoned, 1u) << kind;
        EXPECT_EQ(s.Lost, loses ? 1u : 0u) << kind;
        EXPECT_EQ(s.Played, loses ? 5u : 4u) << kind;
        EXPECT_EQ(s.WinRate(), loses ? 60u : 75u) << kind;
        EXPECT_EQ(s.LongestStreak, 2u) << kind;
        EXPECT_EQ(s.CurrentStreak, loses ? 0u : 1u) << kind;
        EXPECT_EQ(s.BestSeconds, 65u) << kind;
        EXPECT_EQ(s.FewestMoves, 1u) << kind;
    }
    // The kind the abandoned games switched to saw no action of its own.
    EXPECT_EQ(Of(gkTriskLite).Played, 5u);
}

TEST_F(Statistics, AGameCountsOnce) {
    game.DealGameNumber(gkTriskClassic, 1);
    Win(10000);
    // Undo after the win and the same win again; a restart and a win again.
    game.UndoMove();
    game.RedoMove();
    EXPECT_EQ(host.GameOvers.size(), 2u);
    EditSettings(game, [](TSettings& s) { s.ConfirmReplayGame = false; });
    game.RestartGame();
    Win(5000);
    game.RestartGame();
    Act();
    // Replacing a won game abandons nothing; the program's end neither.
    game.DealGameNumber(gkTriskClassic, 2);
    keeper.Finish(game.ActionCount() > 0);
    EXPECT_EQ(Of(gkTriskClassic).Played, 1u);
    EXPECT_EQ(Of(gkTriskClassic).Won, 1u);
    EXPECT_EQ(Of(gkTriskClassic).BestSeconds, 10u);

    // A game on the table with an action at the end of the program is abandoned.
    Act();
    keeper.Finish(game.ActionCount() > 0);
    EXPECT_EQ(Of(gkTriskClassic).Abandoned, 1u);
    EXPECT_EQ(Of(gkTriskClassic).CurrentStreak, 0u);
}

TEST_F(Statistics, ALoadedGameCountsAsItsKind) {
    const std::string saved = (dir / "saved.kxr").string();
    game.DealGameNumber(gkDiamond, 9);
    Act();
    ASSERT_TRUE(game.WriteGameFile(saved, 0));
    game.DealGameNumber(gkTriskLite, 1);  // the Diamond game is abandoned
    Act();
    ASSERT_TRUE(game.LoadGameFromFile(saved));  // and so is the Simplified one
    EXPECT_EQ(Of(gkDiamond).Abandoned, 1u);
    EXPECT_EQ(Of(gkTriskLite).Abandoned, 1u);
    Win(1000);
    EXPECT_EQ(Of(gkDiamond).Won, 1u);
}

TEST_F(Statistics, TheFiguresSurviveAWriteCutShortAnywhere) {
    const std::string path = (dir / "statistics").string();
    game.DealGameNumber(gkDiamond, 1);
    Win(3000);  // saved
    const TStatistics old = keeper.Figures();
    // A second keeper reads the file, counts one more loss and writes it
    // through a store that fails after cut bytes.
    const auto loseOne = [&](TFileStore& files) {
        TStatisticsKeeper writer(files, host, path);
        writer.Load();
        writer.GameBegun(gkTriskClassic, false, false);
        writer.GameLost();
        return writer.Figures();
    };
    TStatistics changed = old;
    ++changed[gkTriskClassic].Played;
    ++changed[gkTriskClassic].Lost;
    const size_t size = FormatStatistics(changed).size();
    for (size_t cut = 0; cut < size; ++cut) {
        TFailingFileStore failing(cut);
        ASSERT_EQ(loseOne(failing), changed);
        TStatisticsKeeper reader(PlatformFileStore(), host, path);
        reader.Load();
        ASSERT_EQ(reader.Figures(), old) << "cut at " << cut;
    }
    TFailingFileStore whole(size);
    loseOne(whole);
    TStatisticsKeeper reader(PlatformFileStore(), host, path);
    reader.Load();
    EXPECT_EQ(reader.Figures(), changed);
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(Statistics, ADamagedFileIsKeptAsideAndReportedOnce) {
    const std::string path = (dir / "statistics").string();
    std::vector<uint8_t> good = FormatStatistics(TStatistics{});
    for (const std::string& bad :
         {std::string("trisk-statistics 2\n"), std::string(good.begin(), good.end() - 1),
          std::string(good.begin(), good.end()) + "x", std::string("0 1 1 0 0 5 5 0 0\n"),
          std::string(5000, '1')}) {
        host.Messages.clear();
        { std::ofstream(path, std::ios::binary) << bad; }
        TStatisticsKeeper first(PlatformFileStore(), host, path);
        first.Load();
        EXPECT_EQ(first.Figures(), TStatistics{});
        ASSERT_EQ(host.Messages.size(), 1u) << bad;
        EXPECT_FALSE(std::filesystem::exists(path));
        // The next start finds no file and says nothing more.
        TStatisticsKeeper second(PlatformFileStore(), host, path);
        second.Load();
        EXPECT_EQ(host.Messages.size(), 1u);
    }
    // Every damaged file is still there, each under a name of its own.
    for (int n = 1; n <= 5; ++n) {
        std::ifstream aside(path + ".damaged-" + std::to_string(n));
        EXPECT_TRUE(aside.good()) << n;
    }
    EXPECT_NE(host.Messages[0].find(".damaged-5"), std::string::npos);

    // A damaged file that cannot be set aside is not written over either.
    host.Messages.clear();
    { std::ofstream(path, std::ios::binary) << "damaged"; }
    TFailingFileStore stuck(1 << 20);
    stuck.RefuseRenames = true;
    TStatisticsKeeper keeper(stuck, host, path);
    keeper.Load();
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_FALSE(keeper.Save());
    std::ifstream kept(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "damaged");
}

}  // namespace
}  // namespace trisk::test
