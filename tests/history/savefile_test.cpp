#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "history/file_store.h"
#include "history/game.h"
#include "history/savefile.h"
#include "temp_dir.h"
#include "test_host.h"

namespace trisk {
namespace {

using namespace test;
namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(PlatformFileStore().ReadWholeFile(path.string(), bytes)) << path;
    return bytes;
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void SetU32(std::vector<uint8_t>& b, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

class SavedGames : public ::testing::Test {
  protected:
    // Everything that a refused load must leave exactly as it was.
    struct Snapshot {
        TBoard Board;
        TGameKind Kind;
        int32_t MoveIndex, ActionCount, Bookmark, PassesLeft;
        size_t Entries;
        bool Undo, Redo, GoTo;
    };
    Snapshot Take() const {
        return {game.Board(),
                game.GameKind(),
                game.MoveIndex(),
                game.ActionCount(),
                game.BookmarkIndex(),
                game.PassesLeft(),
                game.History().Size(),
                game.IsActionEnabled(TGameAction::Undo),
                game.IsActionEnabled(TGameAction::Redo),
                game.IsActionEnabled(TGameAction::GoToBookmark)};
    }
    void ExpectUnchanged(const Snapshot& s) const {
        EXPECT_EQ(std::memcmp(&s.Board, &game.Board(), sizeof s.Board), 0);
        EXPECT_EQ(s.Kind, game.GameKind());
        EXPECT_EQ(s.MoveIndex, game.MoveIndex());
        EXPECT_EQ(s.ActionCount, game.ActionCount());
        EXPECT_EQ(s.Bookmark, game.BookmarkIndex());
        EXPECT_EQ(s.PassesLeft, game.PassesLeft());
        EXPECT_EQ(s.Entries, game.History().Size());
        EXPECT_EQ(s.Undo, game.IsActionEnabled(TGameAction::Undo));
        EXPECT_EQ(s.Redo, game.IsActionEnabled(TGameAction::Redo));
        EXPECT_EQ(s.GoTo, game.IsActionEnabled(TGameAction::GoToBookmark));
    }
    // A game in progress with a bookmark and a redo entry.
    void Play() {
        game.DealGameNumber(gkTriskStrong, 2024);
        for (int i = 0; i < 4; ++i)
            game.ClickStock();
        game.InsertBookmark();
        game.ClickStock();
        game.UndoMove();
    }
    // Loads bytes; true when the game took them.
    bool LoadBytes(const std::vector<uint8_t>& bytes) {
        const fs::path path = dir / "probe.kxr";
        WriteBytes(path, bytes);
        return game.LoadGameFromFile(path.string());
    }

    test::TTempDir dir;
    TRecordingHost host;
    TGame game{host.Services()};
};

TEST_F(SavedGames, AFreshGameSavesOneEntry) {
    for (TGameKind kind : {gkTriskLite, gkDiamond}) {
        host.Now = 1000;
        game.DealGameNumber(kind, 55);
        host.Now = 4000;
        const fs::path path = dir / "fresh.kxr";
        ASSERT_TRUE(game.SaveGameToFile(path.string()) || kind == gkDiamond);
        if (kind == gkDiamond) {
            // The file exists now: the overwrite question names the file only.
            EXPECT_EQ(host.Questions.back(), "Overwrite the existing file fresh.kxr?");
            host.Answers = {true};
            ASSERT_TRUE(game.SaveGameToFile(path.string()));
        }
        const std::vector<uint8_t> b = ReadBytes(path);
        ASSERT_EQ(b.size(), kind == gkDiamond ? 6592u : 8152u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "KX");
        EXPECT_EQ(b[2], 1);
        EXPECT_EQ(b[3], 3);
        EXPECT_EQ(U32At(b, 4), static_cast<uint32_t>(kind));
        EXPECT_EQ(U32At(b, 8), 0u);
        EXPECT_EQ(U32At(b, 12), 0u);
        EXPECT_EQ(U32At(b, 16), 3000u) << "elapsed milliseconds";
        EXPECT_EQ(U32At(b, 20), 1u);
        EXPECT_EQ(U32At(b, 24), 5u) << "PassesLeft";
        EXPECT_EQ(U32At(b, 28), 0xFFFFFFFFu) << "SelGroup -1";
        EXPECT_EQ(U32At(b, 24 + 324), 55u) << "game number";
        EXPECT_EQ(std::memcmp(b.data() + 24 + 12, game.Board().Deck.Cards, 312), 0);
    }
}

TEST_F(SavedGames, DecliningTheOverwriteWritesNothing) {
    Play();
    const fs::path path = dir / "keep.kxr";
    WriteBytes(path, {1, 2, 3});
    host.Answers = {false};
    EXPECT_FALSE(game.SaveGameToFile(path.string()));
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(SavedGames, RoundTripRestoresPositionCountersAndRedoEntries) {
    Play();
    game.UndoMove();  // two undos in all
    const Snapshot saved = Take();
    host.Now = 90000;
    game.Clock().RestoreClock(60000);
    const fs::path path = dir / "round.kxr";
    ASSERT_TRUE(game.SaveGameToFile(path.string()));
    ExpectUnchanged(saved);  // saving changes nothing

    // Something else on the table, then the load.
    EditSettings(game, [](TSettings& s) { s.ConfirmNewGame = false; });
    game.SwitchGameKind(gkDiamond);
    game.ClickStock();
    game.InsertBookmark();
    host.StopGameTimer();
    host.Now = 500000;
    host.Panels[TStatusPanel::Clock] = "00:07:00";
    ASSERT_TRUE(game.LoadGameFromFile(path.string()));

    EXPECT_EQ(game.GameKind(), gkTriskStrong);
    EXPECT_EQ(host.ShownKind, gkTriskStrong);
    EXPECT_EQ(host.Title, "Solitaire Trisk - Napoleon's Tomb (complicated)");
    EXPECT_EQ(host.Panels[TStatusPanel::GameNumber], "Game #2024");
    EXPECT_EQ(host.Panels[TStatusPanel::Clock], "");
    EXPECT_EQ(game.MoveIndex(), 3);
    EXPECT_EQ(game.ActionCount(), 7);
    EXPECT_EQ(game.History().Size(), 6u);
    EXPECT_EQ(std::memcmp(&saved.Board.Deck, &game.Board().Deck, sizeof(TDeck)), 0);
    EXPECT_EQ(
        std::memcmp(saved.Board.TombPiles, game.Board().TombPiles, sizeof saved.Board.TombPiles),
        0);
    EXPECT_TRUE(game.IsActionEnabled(TGameAction::Undo));
    EXPECT_TRUE(game.IsActionEnabled(TGameAction::Redo));
    EXPECT_FALSE(game.IsActionEnabled(TGameAction::GoToBookmark));
    EXPECT_EQ(game.SelGroup(), -1);
    EXPECT_TRUE(host.TimerRunning) << "a loaded game's clock runs";
    EXPECT_EQ(game.Clock().ElapsedTicks(), 60000u);
    game.RedoMove();
    game.RedoMove();
    EXPECT_EQ(game.MoveIndex(), 5);
    EXPECT_EQ(game.Board().Deck.CountCards(), 52 - 15);

    // Back where it was saved, the same game differs only in the elapsed
    // time and the four steps of redoing and undoing.
    const fs::path again = dir / "again.kxr";
    game.UndoMove();
    game.UndoMove();
    host.Now += 60000;
    ASSERT_TRUE(game.WriteGameFile(again.string(), game.Clock().ElapsedTicks()));
    std::vector<uint8_t> a = ReadBytes(path), b = ReadBytes(again);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(U32At(b, 16) - U32At(a, 16), 60000u);
    EXPECT_EQ(U32At(b, 12), U32At(a, 12) + 4) << "ActionCount";
    SetU32(b, 16, U32At(a, 16));
    SetU32(b, 12, U32At(a, 12));
    EXPECT_EQ(a, b);
}

TEST_F(SavedGames, LoadedUndoStateFollowsTheUndoLevel) {
    Play();  // MoveIndex 4 of 6 entries
    const fs::path path = dir / "level.kxr";
    ASSERT_TRUE(game.WriteGameFile(path.string(), 0));
    struct Row {
        int Level;
        bool Undo, Redo;
    };
    for (Row row : {Row{0, false, false}, Row{1, true, false}, Row{2, true, true}}) {
        EditSettings(game, [&](TSettings& s) { s.UndoOption = row.Level; });
        ASSERT_TRUE(game.LoadGameFromFile(path.string()));
        EXPECT_EQ(game.IsActionEnabled(TGameAction::Undo), row.Undo) << row.Level;
        EXPECT_EQ(game.IsActionEnabled(TGameAction::Redo), row.Redo) << row.Level;
    }
    // At entry 0 with redo entries, level 1 offers Redo.
    std::vector<uint8_t> bytes = ReadBytes(path);
    SetU32(bytes, 8, 0);
    EditSettings(game, [](TSettings& s) { s.UndoOption = 1; });
    ASSERT_TRUE(LoadBytes(bytes));
    EXPECT_FALSE(game.IsActionEnabled(TGameAction::Undo));
    EXPECT_TRUE(game.IsActionEnabled(TGameAction::Redo));
}

TEST_F(SavedGames, OlderVersionsLoad) {
    Play();
    const fs::path path = dir / "new.kxr";
    ASSERT_TRUE(game.WriteGameFile(path.string(), 1234));
    const std::vector<uint8_t> v13 = ReadBytes(path);

    // 1.2: no elapsed time, entries from offset 20.
    std::vector<uint8_t> v12(v13.begin(), v13.begin() + 16);
    v12.insert(v12.end(), v13.begin() + 20, v13.end());
    v12[3] = 2;
    host.Now = 777;
    ASSERT_TRUE(LoadBytes(v12));
    EXPECT_EQ(game.MoveIndex(), 4);
    EXPECT_EQ(game.History().Size(), 6u);
    EXPECT_EQ(game.Clock().ElapsedTicks(), 0u);

    // 1.1: the kind, then exactly one Napoleon's Tomb entry.
    std::vector<uint8_t> v11(v13.begin(), v13.begin() + 8);
    v11[3] = 1;
    v11.insert(v11.end(), v13.begin() + 24 + 2 * kTombEntrySize,
               v13.begin() + 24 + 3 * kTombEntrySize);
    ASSERT_EQ(v11.size(), 8136u);
    ASSERT_TRUE(LoadBytes(v11));
    EXPECT_EQ(game.MoveIndex(), 0);
    EXPECT_EQ(game.ActionCount(), 0);
    EXPECT_EQ(game.History().Size(), 1u);
    EXPECT_EQ(game.Board().Deck.CountCards(), 52 - 6);
    EXPECT_FALSE(game.IsActionEnabled(TGameAction::Undo));
    EXPECT_FALSE(game.IsActionEnabled(TGameAction::Redo));
}

TEST_F(SavedGames, RefusedFilesLeaveTheGameOnTheTable) {
    Play();
    const fs::path path = dir / "good.kxr";
    ASSERT_TRUE(game.WriteGameFile(path.string(), 0));
    const std::vector<uint8_t> good = ReadBytes(path);
    game.ClickStock();
    game.InsertBookmark();
    const Snapshot before = Take();

    auto refused = [&](std::vector<uint8_t> bytes, const std::string& message,
                       const std::string& what) {
        host.Messages.clear();
        EXPECT_FALSE(LoadBytes(bytes)) << what;
        ASSERT_EQ(host.Messages.size(), 1u) << what;
        EXPECT_EQ(host.Messages[0], message) << what;
        ExpectUnchanged(before);
    };
    const std::string wrong = "Wrong file format.";

    std::vector<uint8_t> b = good;
    b[3] = 4;
    refused(b, "This file was created in the version 1.4 and can not be loaded.", "minor 4");
    b = good;
    b[2] = 2;
    b[3] = 0;
    refused(b, "This file was created in the version 2.0 and can not be loaded.", "major 2");
    b = good;
    b[0] = 'k';
    refused(b, wrong, "magic");
    b = good;
    b[2] = 0;
    refused(b, wrong, "major 0");
    b = good;
    b[3] = 0;
    refused(b, wrong, "minor 0");
    b = good;
    SetU32(b, 4, 4);
    refused(b, wrong, "kind 4");
    for (uint32_t count : {0u, 7u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        b = good;
        SetU32(b, 20, count);
        refused(b, wrong, "count " + std::to_string(count));
    }
    for (uint32_t index : {6u, 0xFFFFFFFFu}) {
        b = good;
        SetU32(b, 8, index);
        refused(b, wrong, "MoveIndex " + std::to_string(index));
    }
    const size_t lastEntry = 24 + 5 * kTombEntrySize;
    for (size_t at :
         {lastEntry + 12, lastEntry + 13, lastEntry + 14, lastEntry + 328 + 3 * 777 + 2}) {
        b = good;
        b[at] = 13;
        refused(b, wrong, "card byte at " + std::to_string(at));
    }
    b = good;
    SetU32(b, lastEntry, 6);
    refused(b, wrong, "PassesLeft 6");
    b = good;
    b[3] = 1;
    SetU32(b, 4, 3);
    refused(b, wrong, "1.1 of kind 3");
    for (size_t length : {size_t{0}, size_t{1}, size_t{3}, size_t{5}, size_t{23}, size_t{24},
                          size_t{100}, good.size() - 1}) {
        refused(std::vector<uint8_t>(good.begin(), good.begin() + length), wrong,
                "truncated to " + std::to_string(length));
    }

    host.Messages.clear();
    const std::string missing = (dir / "missing.kxr").string();
    EXPECT_FALSE(game.LoadGameFromFile(missing));
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Unable to open file " + missing + "!"});
    EXPECT_FALSE(game.LoadGameFromFile(dir.Path().string())) << "a folder";
    ExpectUnchanged(before);
}

TEST_F(SavedGames, RandomAndMutatedFilesAreRefusedOrLoadWhole) {
    Play();
    const fs::path goodPath = dir / "good.kxr";
    ASSERT_TRUE(game.WriteGameFile(goodPath.string(), 0));
    const std::vector<uint8_t> good = ReadBytes(goodPath);
    Snapshot before = Take();
    std::mt19937 random(20261209);
    auto refusedCleanly = [&](const std::string& what) {
        ASSERT_EQ(host.Messages.size(), 1u) << what;
        const std::string& message = host.Messages[0];
        EXPECT_TRUE(message == "Wrong file format." ||
                    message.rfind("This file was created in the version ", 0) == 0)
            << what << ": " << message;
        ExpectUnchanged(before);
    };

    // Noise, half of it behind a valid magic and version.
    for (int round = 0; round < 120; ++round) {
        std::vector<uint8_t> bytes(random() % 40000);
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random());
        if (round % 2 && bytes.size() >= 4) {
            bytes[0] = 'K';
            bytes[1] = 'X';
            bytes[2] = 1;
            bytes[3] = static_cast<uint8_t>(1 + round % 3);
        }
        host.Messages.clear();
        EXPECT_FALSE(LoadBytes(bytes)) << round;
        refusedCleanly("noise " + std::to_string(round));
    }

    // A good file with a few bytes changed either loads as a whole, with a
    // consistent history, or is refused and changes nothing.
    int loaded = 0;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> bytes = good;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            // Mostly the header and the first entry's counters, sometimes anywhere.
            const size_t at = random() % 2 ? random() % 40 : random() % bytes.size();
            bytes[at] = static_cast<uint8_t>(random());
        }
        host.Messages.clear();
        if (LoadBytes(bytes)) {
            ++loaded;
            EXPECT_TRUE(host.Messages.empty());
            ASSERT_GE(game.MoveIndex(), 0);
            ASSERT_LT(static_cast<size_t>(game.MoveIndex()), game.History().Size());
            ASSERT_TRUE(game.LoadGameFromFile(goodPath.string()));
            before = Take();
        } else {
            refusedCleanly("mutation " + std::to_string(round));
        }
    }
    EXPECT_GT(loaded, 0) << "some changes are harmless (the elapsed time, the action count)";
}

TEST_F(SavedGames, AnEntryThatIsNoPositionIsRefusedAtOnce) {
    Play();
    const fs::path path = dir / "good.kxr";
    ASSERT_TRUE(game.WriteGameFile(path.string(), 0));
    const std::vector<uint8_t> good = ReadBytes(path);
    const Snapshot before = Take();
    const auto refused = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
        host.Messages.clear();
        EXPECT_FALSE(LoadBytes(bytes)) << what;
        EXPECT_EQ(host.Messages, std::vector<std::string>{"Wrong file format."}) << what;
        ExpectUnchanged(before);
    };

    // A header promising many entries over a file of holes: zeros all the
    // way, long enough for the count, next to nothing on disk.
    const fs::path sparse = dir / "sparse.kxr";
    std::vector<uint8_t> header(good.begin(), good.begin() + 24);
    constexpr uint32_t kEntries = 100000;
    SetU32(header, 20, kEntries);
    WriteBytes(sparse, header);
    fs::resize_file(sparse, 24 + uint64_t{kEntries} * kTombEntrySize);
    host.Messages.clear();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(game.LoadGameFromFile(sparse.string()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Wrong file format."});
    ExpectUnchanged(before);

    // In a real entry every card is there twice, the cards of a pile lie in
    // its lowest slots, and the selection names a group or none.
    const size_t last = 24 + 5 * kTombEntrySize;
    const size_t stock = last + 12;
    std::vector<uint8_t> b = good;
    ASSERT_EQ(b[stock + 2], 0) << "the first stock slot of the last entry was dealt";
    b[stock + 2] = 1;  // a dealt card comes back into the stock: three of it
    refused(b, "a card three times");
    b = good;
    size_t present = stock;
    while (b[present + 2] == 0)
        present += 3;
    b[present] = static_cast<uint8_t>((b[present] + 1) % 4);  // one card for another
    refused(b, "a card once and another three times");
    b = good;
    const size_t reserve = last + 328;  // pile (0, 0) holds a card in slot 0
    ASSERT_EQ(b[reserve + 2], 1);
    std::swap_ranges(b.begin() + reserve, b.begin() + reserve + 3, b.begin() + reserve + 309);
    refused(b, "a gap below a pile's card");
    b = good;
    SetU32(b, last + 4, 5);
    refused(b, "SelGroup 5");
}

TEST_F(SavedGames, AtStartUpARefusedFileIsFollowedByANewDeal) {
    TRecordingHost fresh;
    TGame first(fresh.Services());
    first.SetCommandLineMark(true);
    const fs::path path = dir / "bad.kxr";
    WriteBytes(path, {'K', 'Y', 1, 3});
    EXPECT_FALSE(first.LoadGameFromFile(path.string()));
    EXPECT_EQ(fresh.Messages, std::vector<std::string>{"Wrong file format."});
    EXPECT_EQ(first.Board().Deck.CountCards(), 60) << "a game was dealt";
    EXPECT_EQ(first.SelGroup(), -1);
    EXPECT_EQ(fresh.Title, "Solitaire Trisk - Napoleon's Tomb (classical)");
    EXPECT_FALSE(first.CommandLineMark()) << "the start-up load uses the mark up";

    // Later in the same run the mark no longer costs the player the game.
    first.ClickStock();
    EXPECT_FALSE(first.LoadGameFromFile(path.string()));
    EXPECT_EQ(first.MoveIndex(), 1);

    // A start-up load that succeeds uses the mark up as well.
    Play();
    const fs::path good = dir / "good.kxr";
    ASSERT_TRUE(game.WriteGameFile(good.string(), 0));
    TGame second(fresh.Services());
    second.SetCommandLineMark(true);
    ASSERT_TRUE(second.LoadGameFromFile(good.string()));
    EXPECT_FALSE(second.CommandLineMark());
}

TEST_F(SavedGames, AFailedSaveReportsAndKeepsTheOldFile) {
    Play();
    const fs::path nowhere = dir / "no-such-folder" / "game.kxr";
    EXPECT_FALSE(game.SaveGameToFile(nowhere.string()));
    EXPECT_EQ(host.Messages.back(), "Unable to save file " + nowhere.string() + "!");

    // A write that fails half-way (file size limit) leaves the old file whole
    // and no temporary file behind.
    const fs::path path = dir / "old.kxr";
    WriteBytes(path, {9, 9, 9});
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = game.WriteGameFile(path.string(), 0);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(host.Messages.back(), "Unable to save file " + path.string() + "!");
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{9, 9, 9}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1);
}

// The file store gives out after N bytes, wherever N falls in the file: every
// such save is reported and leaves the old file as it was, never a piece of
// the new one.
TEST_F(SavedGames, ASaveCutShortAnywhereKeepsTheOldFile) {
    Play();
    const fs::path path = dir / "old.kxr";
    WriteBytes(path, {7, 7});
    const size_t whole = 24 + 2 * kTombEntrySize;
    for (size_t cut : {size_t{0}, size_t{1}, size_t{23}, size_t{24}, size_t{1000}, whole - 1}) {
        test::TFailingFileStore files(cut);
        TRecordingHost failing;
        failing.Answers = {true};  // overwrite the old file
        TGame cutShort(failing.Services(files));
        cutShort.DealGameNumber(gkTriskClassic, 3);
        cutShort.ClickStock();
        EXPECT_FALSE(cutShort.SaveGameToFile(path.string())) << cut;
        ASSERT_FALSE(failing.Messages.empty()) << cut;
        EXPECT_EQ(failing.Messages.back(), "Unable to save file " + path.string() + "!");
        EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{7, 7})) << cut;
    }
    // With room for the whole file the same store saves it.
    test::TFailingFileStore roomy(1 << 20);
    TRecordingHost ok;
    ok.Answers = {true};
    TGame saved(ok.Services(roomy));
    saved.DealGameNumber(gkTriskClassic, 3);
    saved.ClickStock();
    EXPECT_TRUE(saved.SaveGameToFile(path.string()));
    EXPECT_EQ(ReadBytes(path).size(), whole);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1);
}

}  // namespace
}  // namespace trisk
