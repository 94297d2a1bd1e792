// trisk-tool's solve, hint and survey commands, run as functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position_builder.h"
#include "engine/rules.h"
#include "history/savefile.h"
#include "sanitized.h"
#include "solver/solver.h"
#include "temp_dir.h"
#include "tools/solve_command.h"
#include "tools/tool.h"

namespace trisk {
namespace {

class SolveCommand : public ::testing::Test {
  protected:
    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return RunSolveCommand(args, out, err);
    }
    // A saved game (version 1.3) whose only entry is the position.
    std::string Save(const std::string& name, const TPosition& position) {
        THistory history(1);
        TSolData& entry = history[0];
        entry.PassesLeft = position.PassesLeft;
        entry.SelGroup = -1;
        entry.Deck = position.Board.Deck;
        std::copy(&position.Board.TombPiles[0][0],
                  &position.Board.TombPiles[0][0] + kGroups * kTombPilesPerGroup,
                  &entry.TombPiles[0][0]);
        std::copy(&position.Board.DiamondPiles[0][0],
                  &position.Board.DiamondPiles[0][0] + kGroups * kDiamondPilesPerGroup,
                  &entry.DiamondPiles[0][0]);
        const std::vector<uint8_t> bytes = SerializeGame(position.Kind, 0, 0, 0, history);
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static void Play(TPosition& position, const TAction& action) {
        TFaultLog faults;
        if (action.IsStock)
            ApplyStockClick(position, faults);
        else
            ApplyMove(position, action.Move.From, action.Move.To, faults);
    }
    std::vector<TAction> ReadScript(const std::string& path) {
        std::vector<TAction> line;
        std::ifstream in(path);
        for (std::string text; std::getline(in, text);) {
            std::istringstream words(text);
            std::string verb;
            words >> verb;
            if (verb == "stock") {
                line.push_back(TAction::StockClick());
            } else {
                TMove move;
                words >> move.From.Group >> move.From.Pile >> move.To.Group >> move.To.Pile;
                line.push_back(TAction::MoveOf(move.From, move.To));
            }
        }
        return line;
    }

    test::TTempDir dir;
    std::ostringstream out, err;
};

TEST_F(SolveCommand, SolveWritesAWinningScriptOfTheDealtGame) {
    const std::string script = (dir / "line.txt").string();
    ASSERT_EQ(Run({"solve", "--kind", "1", "--number", "10", "--script-out", script}), 0)
        << err.str();
    const std::vector<TAction> line = ReadScript(script);
    EXPECT_EQ(out.str(), "winnable: " + std::to_string(line.size()) + " actions\n");
    EXPECT_TRUE(LineWins(DealtPosition(gkTriskClassic, 10), line));
}

// The lines written are played by trisk-tool play, clicks and all, to a won
// game: every card on the foundations, nothing left in the stock. Simplified
// deal 44 is one whose line comes from the Classical game on the same deal.
TEST_F(SolveCommand, WrittenLinesWinThroughTriskToolPlay) {
    // The time limits are of processor time; a sanitized build runs the
    // search several times slower, so it gets as much more time.
    constexpr int kSlowdown = kSanitized ? 5 : 1;
    const struct {
        const char* Kind;
        const char* Number;
        const char* Seconds;
    } deals[] = {{"0", "5", "30"},
                 {"0", "891", "2"},
                 {"1", "10", "30"},
                 {"2", "20", "30"},
                 {"3", "2", "30"}};
    for (const auto& deal : deals) {
        const std::string script = (dir / "line.txt").string();
        const std::string kxr = (dir / "won.kxr").string();
        const std::string seconds = std::to_string(std::stoi(deal.Seconds) * kSlowdown);
        ASSERT_EQ(Run({"solve", "--kind", deal.Kind, "--number", deal.Number, "--script-out",
                       script, "--time-limit", seconds, "--explain"}),
                  0)
            << deal.Kind << " " << deal.Number << ": " << out.str();
        if (deal.Number == std::string("891")) {
            EXPECT_NE(out.str().find("classical game"), std::string::npos) << out.str();
        }
        std::ostringstream toolOut, toolErr;
        ASSERT_EQ(RunTool({"play", "--kind", deal.Kind, "--number", deal.Number, "--script", script,
                           "--out", kxr},
                          toolOut, toolErr),
                  0)
            << toolErr.str();
        ASSERT_EQ(RunTool({"show", kxr}, toolOut, toolErr), 0);
        const std::string shown = toolOut.str();
        if (deal.Kind == std::string("3")) {
            EXPECT_NE(shown.find("3.0 centre [104]"), std::string::npos) << shown;
        } else {
            for (const char* corner : {"1.0", "1.1", "1.2", "1.3"})
                EXPECT_NE(shown.find(corner + std::string(" foundation [26]")), std::string::npos)
                    << shown;
        }
        EXPECT_NE(shown.find("stock [0]:"), std::string::npos);
    }
}

TEST_F(SolveCommand, TinyPositionLimitGivesUndetermined) {
    EXPECT_EQ(Run({"solve", "--kind", "2", "--number", "7", "--max-positions", "5"}), 3);
    EXPECT_EQ(out.str(), "undetermined: limit reached after 5 positions\n");
}

// An undecided search tells how many cards its best line brought to the
// foundations: never fewer than the position already has.
TEST_F(SolveCommand, ExplainTellsHowNearAnUndecidedGameCame) {
    TPosition position = DealtPosition(gkTriskClassic, 10);
    const TSolveResult result = Solve(position, {});
    ASSERT_EQ(result.Verdict, TVerdict::Winnable);
    const auto onCorners = [&position] {
        int count = 0;
        for (int p = 0; p < kTombPilesPerGroup; ++p)
            count += position.Board.CardCount(position.Kind, GroupCorner, p);
        return count;
    };
    for (size_t i = 0; i < result.Line.size() && onCorners() < 20; ++i)
        Play(position, result.Line[i]);
    const std::string saved = Save("midway.kxr", position);
    ASSERT_EQ(Run({"solve", saved, "--max-positions", "5", "--explain"}), 3) << err.str();
    EXPECT_NE(out.str().find("\n  most cards on the foundations at the end of a line: " +
                             std::to_string(onCorners()) + "\n"),
              std::string::npos)
        << out.str();

    // From the deal, the probes' lines bring cards out.
    ASSERT_EQ(
        Run({"solve", "--kind", "2", "--number", "459", "--max-positions", "50000", "--explain"}),
        3);
    const std::string text = out.str();
    const size_t at = text.find("end of a line: ");
    ASSERT_NE(at, std::string::npos) << text;
    const int most = std::stoi(text.substr(at + 15));
    EXPECT_GT(most, 0);
    EXPECT_LT(most, kDeckSize);
}

TEST_F(SolveCommand, HintAndSolveWorkFromTheSavedPosition) {
    // A position two actions into a winnable game.
    TPosition position = DealtPosition(gkDiamond, 9);
    const TSolveResult result = Solve(position, {});
    ASSERT_EQ(result.Verdict, TVerdict::Winnable);
    for (int i = 0; i < 2; ++i)
        Play(position, result.Line[i]);
    const std::string saved = Save("later.kxr", position);

    // Without a time limit the search does not depend on the machine's speed
    // (with one, Diamond changes its way of searching halfway), so both find
    // the same line.
    ASSERT_EQ(Run({"hint", saved, "--time-limit", "0"}), 0) << err.str();
    const std::string hint = out.str();
    const std::string script = (dir / "rest.txt").string();
    ASSERT_EQ(Run({"solve", saved, "--time-limit", "0", "--script-out", script}), 0) << err.str();
    const std::vector<TAction> rest = ReadScript(script);
    ASSERT_FALSE(rest.empty());
    EXPECT_EQ(hint, ActionText(rest.front()) + "\n");
    EXPECT_TRUE(LineWins(position, rest));
}

TEST_F(SolveCommand, AProvedLossSaysNotWinnable) {
    // Diamond with 103 cards on the centre and the last one on outer pile 0,
    // whose neighbours are all empty: an outer pile gives only to them, and
    // an empty pile takes cards only from the waste, which is empty too.
    TPosition position = DealtPosition(gkDiamond, 1);
    position.Board.ClearBlock(gkDiamond);
    for (TCard& slot : position.Board.Deck.Cards)
        slot.Present = 0;
    int used[kRanks] = {};
    for (int i = 0; i < kDeckSize; ++i) {
        const int rank = i % kRanks;
        const TCard card = TCard::Make(used[rank]++ % kSuits, rank);
        if (i + 1 < kDeckSize)
            position.Board.Pile(gkDiamond, GroupSingle, 0).Cards[i] = card;
        else
            position.Board.Pile(gkDiamond, GroupOuter, 0).Cards[0] = card;
    }
    const std::string saved = Save("stuck.kxr", position);
    EXPECT_EQ(Run({"solve", saved}), 1) << err.str();
    EXPECT_EQ(out.str(), "not winnable\n");
    EXPECT_EQ(Run({"hint", saved}), 1) << err.str();
    EXPECT_EQ(out.str(), "not winnable\n");
}

TEST_F(SolveCommand, BadArgumentsAndFilesGetExitStatus2) {
    const std::vector<std::vector<std::string>> bad = {
        {"solve"},
        {"solve", "--kind", "4", "--number", "1"},
        {"solve", "--kind", "1", "--number", "4294967296"},
        {"solve", "--kind", "1", "--number", "1", "--time-limit", "soon"},
        {"solve", "--kind", "1", "--number", "1", "--max-memory"},
        {"solve", "--kind", "1", "--number", "1", "--kind", "2"},
        {"solve", "--kind", "1", "--number", "1", "--colour", "red"},
        {"hint", "--kind", "1", "--number", "1"},
        {"survey", "--kind", "1", "--from", "9", "--to", "3"},
        {"survey", "--kind", "1", "--from", "1", "--to", "3", "--jobs", "0"},
        {"unsolve"},
    };
    for (const std::vector<std::string>& args : bad) {
        EXPECT_EQ(Run(args), 2) << args.back();
        EXPECT_FALSE(err.str().empty()) << args.back();
        EXPECT_TRUE(out.str().empty()) << args.back();
    }

    const std::string missing = (dir / "missing.kxr").string();
    EXPECT_EQ(Run({"solve", missing}), 2);
    EXPECT_EQ(err.str(), "Unable to open file " + missing + "!\n");

    const std::string wrong = (dir / "wrong.kxr").string();
    std::ofstream(wrong) << "PK\x01\x03 not a saved game";
    EXPECT_EQ(Run({"hint", wrong}), 2);
    EXPECT_EQ(err.str(), "Wrong file format.\n");

    const std::string newer = (dir / "newer.kxr").string();
    std::ofstream(newer) << "KX\x01\x04";
    EXPECT_EQ(Run({"solve", newer}), 2);
    EXPECT_EQ(err.str(), "This file was created in the version 1.4 and can not be loaded.\n");
}

// The corner of suit 0 wants its 5 next, which lies under a 3 and a 4 that
// have nowhere to go: outer pile 0 shows a 2 and cannot be emptied.
TEST_F(SolveCommand, ExplainNamesTheRelaxationAndTheCardsOfAProvedLoss) {
    TPosition position = test::EmptyTable(gkTriskClassic);
    test::EmptyStock(position);
    position.PassesLeft = 1;
    for (int suit = 1; suit < kSuits; ++suit) {
        for (int i = 0; i < 2 * kRanks; ++i)
            test::Place(position, GroupCorner, suit, {test::C(suit, kRanks - 1 - i % kRanks)});
    }
    for (int i = 0; i < 20; ++i)
        test::Place(position, GroupCorner, 0, {test::C(0, kRanks - 1 - i % kRanks)});
    test::Place(position, GroupOuter, 0, {test::C(0, 0), test::C(0, 1)});
    test::Place(position, GroupOuter, 1, {test::C(0, 5)});
    test::Place(position, GroupInner, 0, {test::C(0, 4), test::C(0, 2), test::C(0, 3)});
    const std::string file = Save("lost.kxr", position);

    EXPECT_EQ(Run({"solve", file, "--explain"}), 1) << err.str();
    EXPECT_EQ(out.str(),
              "not winnable\n"
              "proof: relaxation (every card once reachable stays reachable; cards go only where "
              "the building orders let them)\n"
              "  never reaching a foundation: 50\n"
              "  blocked by cards that can never leave: 30, 40\n");
}

// Takes a few lines, then fails as a closed pipe would.
class TShortStream : public std::streambuf {
  public:
    explicit TShortStream(int lines) : lines_(lines) {}
    int Lines() const { return seen_; }

  protected:
    int overflow(int c) override {
        if (seen_ >= lines_) return traits_type::eof();
        if (c == '\n') ++seen_;
        return traits_type::not_eof(c);
    }

  private:
    int lines_;
    int seen_ = 0;
};

TEST_F(SolveCommand, FoldersAndEveryDealAreAnsweredNotAborted) {
    // A folder as a saved game is a file that cannot be opened.
    EXPECT_EQ(Run({"solve", dir.Path().string()}), 2);
    EXPECT_EQ(err.str(), "Unable to open file " + dir.Path().string() + "!\n");

    // Every deal there is: the survey holds only a few results at a time
    // and stops once its output cannot be written.
    TShortStream shortBuffer(3);
    std::ostream shortOut(&shortBuffer);
    std::ostringstream errors;
    EXPECT_EQ(RunSolveCommand({"survey", "--kind", "1", "--from", "0", "--to", "4294967295",
                               "--jobs", "2", "--max-positions", "1"},
                              shortOut, errors),
              2);
    EXPECT_EQ(shortBuffer.Lines(), 3);
    EXPECT_EQ(errors.str(), "trisk-tool: the survey's output cannot be written\n");
}

TEST_F(SolveCommand, TheScriptReplacesALinkAndNeverWritesThroughIt) {
    const std::string target = (dir / "someone-elses.txt").string();
    std::ofstream(target) << "keep me\n";
    const std::string link = (dir / "line.txt").string();
    std::filesystem::create_symlink(target, link);
    ASSERT_EQ(Run({"solve", "--kind", "3", "--number", "9", "--script-out", link}), 0) << err.str();
    std::ifstream kept(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep me\n");
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_FALSE(ReadScript(link).empty());
}

TEST_F(SolveCommand, SurveyPrintsOneLinePerDealInOrderAndASummary) {
    ASSERT_EQ(Run({"survey", "--kind", "3", "--from", "9", "--to", "12", "--jobs", "2",
                   "--max-positions", "3000"}),
              0)
        << err.str();
    std::istringstream lines(out.str());
    std::string line;
    for (int number = 9; number <= 12; ++number) {
        ASSERT_TRUE(std::getline(lines, line));
        std::istringstream fields(line);
        std::vector<std::string> field;
        for (std::string f; std::getline(fields, f, ',');)
            field.push_back(f);
        ASSERT_EQ(field.size(), 7u) << line;
        EXPECT_EQ(field[0], std::to_string(number));
        EXPECT_TRUE(field[1] == "winnable" || field[1] == "undetermined") << line;
        EXPECT_LE(std::stoull(field[3]), 3000u);
    }
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind("# kind 3, deals 9 to 12: ", 0), 0u) << line;
    EXPECT_FALSE(std::getline(lines, line));
}

}  // namespace
}  // namespace trisk
