#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "history/file_store.h"
#include "history/game.h"
#include "history/savefile.h"
#include "table/pointer.h"
#include "table/spots.h"
#include "temp_dir.h"
#include "test_host.h"
#include "tools/tool.h"

namespace trisk {
namespace {

namespace fs = std::filesystem;

class Tool : public ::testing::Test {
  protected:
    std::string Script(const std::string& text) {
        const fs::path path = dir / "script.txt";
        std::ofstream(path) << text;
        return path.string();
    }
    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return RunTool(args, out, err);
    }
    std::vector<uint8_t> Bytes(const fs::path& path) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(PlatformFileStore().ReadWholeFile(path.string(), bytes)) << path;
        return bytes;
    }

    test::TTempDir dir;
    std::ostringstream out, err;
};

TEST_F(Tool, PlayWritesWhatTheGameItselfWouldSave) {
    const std::string script = Script(
        "# a little of everything\n"
        "stock\n\nstock\n"
        "move 2 0 3 0\n"
        "move 4 0 2 1\n"
        "move 0 1 0 1\n"
        "undo\nundo\nredo\n"
        "bookmark\nstock\ngotobookmark\n"
        "move 4 4 1 0\n"
        "stock\n");
    const fs::path kxr = dir / "out.kxr";
    ASSERT_EQ(
        Run({"play", "--kind", "0", "--number", "316", "--script", script, "--out", kxr.string()}),
        0)
        << err.str();

    // The same clicks and commands through the game object.
    test::TRecordingHost host;
    TGame game(host.Services());
    test::EditSettings(game, [](TSettings& s) { s.ConfirmNewGame = s.ConfirmReplayGame = false; });
    game.DealGameNumber(gkTriskLite, 316);
    auto click = [&](int g, int p) {
        for (const TPileSpot& s : SpotsForKind(game.GameKind())) {
            if (s.Group == g && s.Pile == p)
                FormMouseUp(game, TMouseButton::Left, s.X + 1, s.Y + 1);
        }
    };
    game.ClickStock();
    game.ClickStock();
    click(2, 0), click(3, 0);
    click(4, 0), click(2, 1);
    click(0, 1), click(0, 1);
    game.UndoMove(), game.UndoMove(), game.RedoMove();
    game.InsertBookmark(), game.ClickStock(), game.GoToBookmark();
    click(4, 4), click(1, 0);
    game.ClickStock();
    EXPECT_EQ(Bytes(kxr), SerializeGame(gkTriskLite, game.MoveIndex(), game.ActionCount(), 0,
                                        game.History().Entries()));

    ASSERT_EQ(Run({"show", kxr.string()}), 0) << err.str();
    const std::string shown = out.str();
    EXPECT_NE(shown.find("Version: 1.3\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Game kind: 0 (Napoleon's Tomb (simplified))\n"), std::string::npos);
    EXPECT_NE(shown.find("MoveIndex: " + std::to_string(game.MoveIndex()) + "\n"),
              std::string::npos);
    EXPECT_NE(shown.find("ActionCount: " + std::to_string(game.ActionCount()) + "\n"),
              std::string::npos);
    EXPECT_NE(shown.find("Elapsed: 0 ms\n"), std::string::npos);
    EXPECT_NE(shown.find("Game #316\n"), std::string::npos);
    EXPECT_NE(shown.find("stock ["), std::string::npos);
}

TEST_F(Tool, FreshGamesHaveTheirFileSizesAndCommandsRestartOrRedeal) {
    const fs::path kxr = dir / "g.kxr";
    ASSERT_EQ(Run({"play", "--kind", "3", "--number", "9", "--script", Script(""), "--out",
                   kxr.string()}),
              0);
    EXPECT_EQ(fs::file_size(kxr), 6592u);
    ASSERT_EQ(Run({"play", "--kind", "2", "--number", "9", "--undo-level", "0", "--script",
                   Script("stock\nstock\nrestart\n"), "--out", kxr.string()}),
              0);
    EXPECT_EQ(fs::file_size(kxr), 8152u) << "restart leaves one entry";

    ASSERT_EQ(Run({"play", "--kind", "1", "--number", "9", "--script",
                   Script("select 4294967295\nnewgame\nstock\n"), "--out", kxr.string()}),
              0);
    Run({"show", kxr.string()});
    EXPECT_EQ(out.str().find("Game #4294967295"), std::string::npos) << "newgame drew anew";
    EXPECT_NE(out.str().find("Entries: 2\n"), std::string::npos);

    ASSERT_EQ(Run({"play", "--kind", "1", "--number", "9", "--script",
                   Script("select 4294967296\n"), "--out", kxr.string()}),
              0);
    EXPECT_NE(err.str().find("Invalid game number."), std::string::npos);
    Run({"show", kxr.string()});
    EXPECT_NE(out.str().find("Game #9\n"), std::string::npos);
}

TEST_F(Tool, BadArgumentsAndScriptsWriteNothing) {
    const fs::path kxr = dir / "never.kxr";
    const std::string good = Script("stock\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"play", "--kind", "4", "--number", "1", "--script", good,
                                   "--out", kxr.string()},
          {"play", "--kind", "1", "--number", "x", "--script", good, "--out", kxr.string()},
          {"play", "--kind", "1", "--number", "1", "--undo-level", "3", "--script", good, "--out",
           kxr.string()},
          {"play", "--kind", "1", "--number", "1", "--script", good},
          {"play", "--kind", "1", "--number", "1", "--script", (dir / "nope").string(), "--out",
           kxr.string()}}) {
        EXPECT_EQ(Run(args), 2) << args[3];
        EXPECT_FALSE(err.str().empty());
    }
    for (const char* line : {"stok", "move 1 2 3", "move 1 2 3 5", "select", "select -4",
                             "undo now", "move a b c d"}) {
        const std::string script = Script(std::string("stock\n\n# fine\n") + line + "\nstock\n");
        EXPECT_EQ(Run({"play", "--kind", "1", "--number", "1", "--script", script, "--out",
                       kxr.string()}),
                  2)
            << line;
        EXPECT_NE(err.str().find("line 4"), std::string::npos) << err.str();
    }
    EXPECT_FALSE(fs::exists(kxr));
}

TEST_F(Tool, AWinningLineEndsInTheWinAndEveryCardOnTheCorners) {
    const std::string script = std::string(TRISK_TEST_DATA_DIR) + "/win_simplified_12.txt";
    const fs::path kxr = dir / "won.kxr";
    ASSERT_EQ(
        Run({"play", "--kind", "0", "--number", "12", "--script", script, "--out", kxr.string()}),
        0)
        << err.str();
    ASSERT_EQ(Run({"show", kxr.string()}), 0);
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_NE(out.str().find("1." + std::to_string(corner) + " foundation [26]:"),
                  std::string::npos)
            << out.str();
    }
    EXPECT_NE(out.str().find("stock [0]:"), std::string::npos);

    // The saved file holds the last entry as it was made, before the win test;
    // loaded, the game is playable again but not announced.
    test::TRecordingHost host;
    TGame game(host.Services());
    game.StartGame();
    ASSERT_TRUE(game.LoadGameFromFile(kxr.string()));
    EXPECT_EQ(game.PassesLeft(), game.History().Entries().back().PassesLeft);
    EXPECT_NE(game.PassesLeft(), -1);
    EXPECT_TRUE(host.GameOvers.empty());
    // Undo the winning move and make it again: the win is announced once.
    game.UndoMove();
    game.RedoMove();
    EXPECT_EQ(host.GameOvers, std::vector<bool>{true});
    EXPECT_EQ(game.PassesLeft(), -1);
}

TEST_F(Tool, PlayFromASavedGameContinuesItAsTheWindowWouldAfterLoading) {
    // (A bookmark is not saved, so the continued script sets its own.)
    const std::string first = "stock\nmove 2 0 3 0\nmove 4 0 2 1\nstock\nstock\n";
    const std::string then = "undo\nundo\nbookmark\nredo\nmove 4 1 1 0\ngotobookmark\nredo\n";
    const fs::path half = dir / "half.kxr", whole = dir / "whole.kxr", rest = dir / "rest.kxr";
    ASSERT_EQ(Run({"play", "--kind", "0", "--number", "316", "--script", Script(first), "--out",
                   half.string()}),
              0);
    ASSERT_EQ(Run({"play", "--kind", "0", "--number", "316", "--script", Script(first + then),
                   "--out", whole.string()}),
              0);
    ASSERT_EQ(
        Run({"play", "--from", half.string(), "--script", Script(then), "--out", rest.string()}), 0)
        << err.str();
    EXPECT_EQ(Bytes(rest), Bytes(whole));

    // A file the game refuses: its message, status 1, nothing written; --from
    // with a deal of its own is a bad argument.
    const fs::path bad = dir / "bad.kxr", never = dir / "never.kxr";
    std::ofstream(bad) << "MZ not a saved game";
    EXPECT_EQ(
        Run({"play", "--from", bad.string(), "--script", Script(""), "--out", never.string()}), 1);
    EXPECT_EQ(err.str(), "Wrong file format.\n");
    EXPECT_EQ(Run({"play", "--from", half.string(), "--kind", "0", "--script", Script(""), "--out",
                   never.string()}),
              2);
    EXPECT_FALSE(fs::exists(never));
}

TEST_F(Tool, ShowReportsFilesItCannotLoad) {
    const fs::path bad = dir / "bad.kxr";
    std::ofstream(bad) << "MZ not a saved game";
    EXPECT_EQ(Run({"show", bad.string()}), 1);
    EXPECT_EQ(err.str(), "Wrong file format.\n");
    EXPECT_EQ(Run({"show", (dir / "none.kxr").string()}), 1);
    EXPECT_EQ(err.str(), "Unable to open file " + (dir / "none.kxr").string() + "!\n");
    std::ofstream(bad) << "KX\x01\x09";
    EXPECT_EQ(Run({"show", bad.string()}), 1);
    EXPECT_EQ(err.str(), "This file was created in the version 1.9 and can not be loaded.\n");
    EXPECT_EQ(Run({"show"}), 2);
}

TEST_F(Tool, FifosFoldersAndDevicesAreRefusedWithoutWaiting) {
    const fs::path fifo = dir / "fifo.kxr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Should a load block on the FIFO, a writer comes after two seconds and
    // ends it, so that the test fails rather than hangs.
    std::atomic<bool> answered{false};
    std::thread unblock([&] {
        for (int i = 0; i < 40 && !answered; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (answered) return;
        const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (fd >= 0) ::close(fd);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"show", fifo.string()}), 1);
    answered = true;
    EXPECT_EQ(err.str(), "Unable to open file " + fifo.string() + "!\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    unblock.join();

    for (const std::string& file : {dir.Path().string(), std::string("/dev/null")}) {
        EXPECT_EQ(Run({"show", file}), 1);
        EXPECT_EQ(err.str(), "Unable to open file " + file + "!\n");
        EXPECT_EQ(Run({"play", "--from", file, "--script", Script("stock\n"), "--out",
                       (dir / "x.kxr").string()}),
                  1);
    }
    // A script is read as a saved game is: /dev/zero never ends.
    const fs::path out = dir / "out.kxr";
    for (const std::string& script : {std::string("/dev/zero"), dir.Path().string()}) {
        EXPECT_EQ(Run({"play", "--kind", "1", "--number", "1", "--script", script, "--out",
                       out.string()}),
                  2);
        EXPECT_EQ(err.str(), "trisk-tool: cannot read the script " + script + "\n");
    }
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace trisk
