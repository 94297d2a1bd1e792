#include "tools/tool.h"

#include <sstream>

#include "history/file_store.h"
#include "history/savefile.h"
#include "table/pointer.h"
#include "table/spots.h"
#include "table/status_texts.h"
#include "tools/solve_command.h"
#include "tools/tool_host.h"

namespace trisk {

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  trisk-tool deal --kind K --number N\n"
    "  trisk-tool play --kind K --number N [--undo-level L] --script FILE --out OUT.kxr\n"
    "  trisk-tool play --from GAME.kxr [--undo-level L] --script FILE --out OUT.kxr\n"
    "  trisk-tool show FILE.kxr\n"
    "  trisk-tool --help\n"
    "\n"
    "K is the game kind: 0 Simplified, 1 Classical, 2 Complicated (Napoleon's Tomb),\n"
    "3 Diamond. N is a game number from 0 to 4294967295. L is the undo level 0, 1 or 2.\n"
    "\n"
    "deal prints the dealt position of a game; show prints a saved game's header and\n"
    "its current position. A position lists every pile of the kind's table as\n"
    "  G.P name [count]: cards from the bottom card to the top card\n"
    "(G the group 0-4, P the pile) and then the stock in dealing order. A card is its\n"
    "rank (A 2 3 4 5 6 7 8 9 T J Q K) followed by its suit number 0-3, so \"T2\" is the\n"
    "Ten of suit 2 and \"A0\" the Ace of suit 0.\n"
    "\n"
    "play deals game N of kind K as Select Shuffle would, runs the actions of FILE\n"
    "(one a line; blank lines and lines starting with '#' are skipped) and saves the\n"
    "game to OUT.kxr with the elapsed time 0. With --from it continues the saved game\n"
    "GAME.kxr instead, loaded as Load Game loads it, and keeps its time. Actions:\n"
    "  stock                 a click on the stock\n"
    "  move G P G2 P2        a click on pile (G, P), then one on pile (G2, P2)\n"
    "  undo | redo | bookmark | gotobookmark\n"
    "  restart | newgame | select N\n"
    "Confirmations are off and the game-over dialog is answered No.\n";

// Far more than any line of play needs.
constexpr size_t kMaxScriptBytes = size_t{16} << 20;

const char* GroupName(TGameKind kind, int group) {
    static const char* const tomb[kGroups] = {"reserve", "foundation", "outer", "ace pile",
                                              "waste"};
    static const char* const diamond[kGroups] = {"inner", "corner", "outer", "centre", "waste"};
    return kind == gkDiamond ? diamond[group] : tomb[group];
}

bool ParseU32(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    const uint64_t wide = std::stoull(text);
    if (wide > 4294967295ull) return false;
    value = static_cast<uint32_t>(wide);
    return true;
}

bool ParseSmall(const std::string& text, int low, int high, int& value) {
    uint32_t v = 0;
    if (!ParseU32(text, v) || v < static_cast<uint32_t>(low) || v > static_cast<uint32_t>(high))
        return false;
    value = static_cast<int>(v);
    return true;
}

// Options of the form --name value; false with a message for anything else.
bool ParseOptions(const std::vector<std::string>& args, size_t first,
                  const std::vector<std::string>& known, std::vector<std::string>& values,
                  std::ostream& err) {
    values.assign(known.size(), "");
    std::vector<bool> seen(known.size(), false);
    for (size_t i = first; i < args.size(); i += 2) {
        size_t k = 0;
        while (k < known.size() && args[i] != "--" + known[k])
            ++k;
        if (k == known.size()) {
            err << "trisk-tool: unknown argument '" << args[i] << "'\n";
            return false;
        }
        if (i + 1 >= args.size()) {
            err << "trisk-tool: " << args[i] << " needs a value\n";
            return false;
        }
        if (seen[k]) {
            err << "trisk-tool: " << args[i] << " given twice\n";
            return false;
        }
        seen[k] = true;
        values[k] = args[i + 1];
    }
    return true;
}

bool ParseKindAndNumber(const std::string& kindText, const std::string& numberText, TGameKind& kind,
                        uint32_t& number, std::ostream& err) {
    int k = 0;
    if (!ParseSmall(kindText, 0, 3, k)) {
        err << "trisk-tool: --kind must be 0, 1, 2 or 3, not '" << kindText << "'\n";
        return false;
    }
    if (!ParseU32(numberText, number)) {
        err << "trisk-tool: --number must be a decimal number from 0 to 4294967295, not '"
            << numberText << "'\n";
        return false;
    }
    kind = static_cast<TGameKind>(k);
    return true;
}

int Deal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> v;
    if (!ParseOptions(args, 1, {"kind", "number"}, v, err)) return 2;
    TGameKind kind{};
    uint32_t number = 0;
    if (v[0].empty() || v[1].empty()) {
        err << "trisk-tool: deal needs --kind and --number\n";
        return 2;
    }
    if (!ParseKindAndNumber(v[0], v[1], kind, number, err)) return 2;
    TToolHost host(err);
    TGame game(host.Services());
    game.DealGameNumber(kind, number);
    out << GameKindName(kind) << " (kind " << static_cast<int>(kind) << ")\n";
    out << GameNumberText(game.Board().Deck.GameNumber) << "\n";
    PrintPosition(game.Position(), out);
    return 0;
}

struct TScriptAction {
    std::string Verb;
    std::vector<int> Piles;
    std::string Number;
};

bool ParseScript(std::istream& in, std::vector<TScriptAction>& actions, std::ostream& err) {
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty() || w[0][0] == '#') continue;
        TScriptAction action{w[0], {}, {}};
        bool ok = false;
        if (w[0] == "stock" || w[0] == "undo" || w[0] == "redo" || w[0] == "bookmark" ||
            w[0] == "gotobookmark" || w[0] == "restart" || w[0] == "newgame") {
            ok = w.size() == 1;
        } else if (w[0] == "move") {
            ok = w.size() == 5;
            for (size_t i = 1; ok && i < 5; ++i) {
                int value = 0;
                ok = ParseSmall(w[i], 0, 4, value);
                action.Piles.push_back(value);
            }
        } else if (w[0] == "select") {
            // Any run of digits; one out of range is the game's to refuse with
            // "Invalid game number.", as the dialog's would be.
            ok = w.size() == 2 && w[1].find_first_not_of("0123456789") == std::string::npos;
            if (ok) action.Number = w[1];
        }
        if (!ok) {
            err << "trisk-tool: script line " << lineNo << " cannot be parsed: " << line << "\n";
            return false;
        }
        actions.push_back(action);
    }
    return true;
}

// A left-button release in the middle of a pile's place; a pile that is not on
// the current kind's table is not hit, so the click does nothing.
void ClickPile(TGame& game, int group, int pile) {
    for (const TPileSpot& spot : SpotsForKind(game.GameKind())) {
        if (spot.Group == group && spot.Pile == pile) {
            FormMouseUp(game, TMouseButton::Left, spot.X + kCardWidth / 2,
                        spot.Y + kCardHeight / 2);
            return;
        }
    }
}

void RunAction(TGame& game, const TScriptAction& action) {
    const std::string& verb = action.Verb;
    if (verb == "stock") {
        FormMouseUp(game, TMouseButton::Left, StockSpot.X + kCardWidth / 2,
                    StockSpot.Y + kCardHeight / 2);
    } else if (verb == "move") {
        ClickPile(game, action.Piles[0], action.Piles[1]);
        ClickPile(game, action.Piles[2], action.Piles[3]);
    } else if (verb == "undo") {
        game.UndoMove();
    } else if (verb == "redo") {
        game.RedoMove();
    } else if (verb == "bookmark") {
        game.InsertBookmark();
    } else if (verb == "gotobookmark") {
        game.GoToBookmark();
    } else if (verb == "restart") {
        game.RestartGame();
    } else if (verb == "newgame") {
        game.NewGame();
    } else if (verb == "select") {
        game.SelectShuffle(action.Number);
    }
}

int Play(const std::vector<std::string>& args, std::ostream& err) {
    std::vector<std::string> v;
    if (!ParseOptions(args, 1, {"kind", "number", "undo-level", "script", "out", "from"}, v, err))
        return 2;
    const std::string& from = v[5];
    if (v[3].empty() || v[4].empty()) {
        err << "trisk-tool: play needs --script and --out\n";
        return 2;
    }
    if (from.empty() && (v[0].empty() || v[1].empty())) {
        err << "trisk-tool: play needs --kind and --number, or --from\n";
        return 2;
    }
    if (!from.empty() && (!v[0].empty() || !v[1].empty())) {
        err << "trisk-tool: --from continues a saved game: --kind and --number are not given "
               "with it\n";
        return 2;
    }
    TGameKind kind{};
    uint32_t number = 0;
    if (from.empty() && !ParseKindAndNumber(v[0], v[1], kind, number, err)) return 2;
    int undoLevel = 2;
    if (!v[2].empty() && !ParseSmall(v[2], 0, 2, undoLevel)) {
        err << "trisk-tool: --undo-level must be 0, 1 or 2, not '" << v[2] << "'\n";
        return 2;
    }
    // Through the same reader as saved games: a regular file of bounded
    // size, never a FIFO or a device that would block or never end.
    std::vector<uint8_t> bytes;
    if (!PlatformFileStore().ReadWholeFile(v[3], bytes, kMaxScriptBytes)) {
        err << "trisk-tool: cannot read the script " << v[3] << "\n";
        return 2;
    }
    std::istringstream script(std::string(bytes.begin(), bytes.end()));
    std::vector<TScriptAction> actions;
    if (!ParseScript(script, actions, err)) return 2;

    TToolHost host(err);
    TGame game(host.Services());
    TSettings settings;
    settings.UndoOption = undoLevel;
    settings.ConfirmNewGame = false;
    settings.ConfirmReplayGame = false;
    settings.EnableSound = false;
    game.SetSettings(settings);
    if (from.empty()) {
        game.DealGameNumber(kind, number);
    } else {
        // As Load Game loads it; a file the game refuses gets the game's own
        // message (through the host) and nothing is written.
        if (!game.LoadGameFromFile(from)) return 1;
    }
    for (const TScriptAction& action : actions)
        RunAction(game, action);
    // The tool's clock stands at 0: a dealt game has taken no time, a loaded
    // one keeps the time it was saved with.
    return game.WriteGameFile(v[4], game.Clock().ElapsedTicks()) ? 0 : 1;
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "trisk-tool: show needs exactly one file\n";
        return 2;
    }
    TToolHost host(err);
    host.EchoMessages = false;
    TGame game(host.Services());
    if (!game.LoadGameFromFile(args[1])) {
        err << host.LastMessage << "\n";
        return 1;
    }
    // The version is the file's third and fourth byte; the rest the game knows.
    uint8_t header[4] = {};
    if (const auto file = PlatformFileStore().OpenForReading(args[1])) file->Read(header, 4);
    out << "Version: " << int{header[2]} << "." << int{header[3]} << "\n";
    out << "Game kind: " << static_cast<int>(game.GameKind()) << " ("
        << GameKindName(game.GameKind()) << ")\n";
    out << "MoveIndex: " << game.MoveIndex() << "\n";
    out << "ActionCount: " << game.ActionCount() << "\n";
    // The tool's clock stands at 0, so the restored clock shows the saved time.
    out << "Elapsed: " << game.Clock().ElapsedTicks() << " ms\n";
    out << "Entries: " << game.History().Size() << "\n";
    out << GameNumberText(game.Board().Deck.GameNumber) << "\n";
    PrintPosition(game.Position(), out);
    return 0;
}

}  // namespace

std::string CardText(const TCard& card) {
    static const char ranks[] = "A23456789TJQK";
    std::string text;
    text += card.Rank < kRanks ? ranks[card.Rank] : '?';
    text += static_cast<char>('0' + card.Suit % 10);
    return text;
}

void PrintPosition(const TPosition& position, std::ostream& out) {
    const TBoard& board = position.Board;
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < PilesInGroup(position.Kind, g); ++p) {
            const TPile& pile = board.Pile(position.Kind, g, p);
            out << g << "." << p << " " << GroupName(position.Kind, g) << " ["
                << board.CardCount(position.Kind, g, p) << "]:";
            for (const TCard& card : pile.Cards) {
                if (card.Present) out << " " << CardText(card);
            }
            out << "\n";
        }
    }
    out << "stock [" << board.Deck.CountCards() << "]:";
    for (const TCard& card : board.Deck.Cards) {
        if (card.Present) out << " " << CardText(card);
    }
    out << "\n";
}

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage << "\n" << kSolveCommandUsage;
        return 0;
    }
    if (args[0] == "deal") return Deal(args, out, err);
    if (args[0] == "play") return Play(args, err);
    if (args[0] == "show") return Show(args, out, err);
    if (args[0] == "solve" || args[0] == "hint" || args[0] == "survey")
        return RunSolveCommand(args, out, err);
    err << "trisk-tool: unknown command '" << args[0] << "'\n" << kUsage;
    return 2;
}

}  // namespace trisk
