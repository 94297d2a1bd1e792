// The move history: snapshots in and out of the live position, and the
// commands Undo, Redo, Insert/Go to Bookmark and Restart, New Game, Select
// Shuffle and the game-kind switch.
#include <cstring>

#include "engine/game.h"

namespace trisk {

namespace {

// Levels other than 0, 1 and 2 can only come from an edited settings store;
// they count as the default, unlimited.
int UndoLevel(const TSettings& settings) {
    const int level = settings.UndoOption;
    return level >= 0 && level <= 2 ? level : 2;
}

}  // namespace

void TGame::FillEntry(TSolData& entry) const {
    entry.PassesLeft = PassesLeft;
    entry.SelGroup = SelGroup;
    entry.SelPile = SelPile;
    entry.Deck = Board.Deck;
    if (IsTomb(GameKind)) {
        std::memcpy(entry.TombPiles, Board.TombPiles, sizeof entry.TombPiles);
    } else {
        std::memcpy(entry.DiamondPiles, Board.DiamondPiles, sizeof entry.DiamondPiles);
    }
}

void TGame::AppendHistoryEntry() {
    History.resize(static_cast<size_t>(MoveIndex));
    History.emplace_back();
    FillEntry(History.back());
    // A bookmark whose entry was just dropped can never be gone back to.
    if (goToBookmarkEnabled_ && BookmarkIndex >= MoveIndex) {
        BookmarkIndex = 0;
        BookmarkActionCount = 0;
        SetActionEnabled(TGameAction::GoToBookmark, false);
    }
    SetActionEnabled(TGameAction::Undo, UndoLevel(Settings) != 0);
    SetActionEnabled(TGameAction::Redo, false);
}

void TGame::RestoreHistoryEntry(int index) {
    if (index < 0 || static_cast<size_t>(index) >= History.size()) return;
    const TSolData& entry = History[static_cast<size_t>(index)];
    PassesLeft = entry.PassesLeft;
    SelGroup = entry.SelGroup;
    SelPile = entry.SelPile;
    Board.Deck = entry.Deck;
    if (IsTomb(GameKind)) {
        std::memcpy(Board.TombPiles, entry.TombPiles, sizeof Board.TombPiles);
    } else {
        std::memcpy(Board.DiamondPiles, entry.DiamondPiles, sizeof Board.DiamondPiles);
    }
}

void TGame::UndoMove() {
    if (!undoEnabled_ || MoveIndex <= 0) return;
    --MoveIndex;
    ++ActionCount;
    SetActionEnabled(TGameAction::Redo, true);
    PlaySound("UNDO");
    RestoreHistoryEntry(MoveIndex);
    if (MoveIndex == 0 || UndoLevel(Settings) == 1) SetActionEnabled(TGameAction::Undo, false);
    Highlighted = false;
    host_.PaintTable();
    SelGroup = -1;
}

void TGame::RedoMove() {
    if (!redoEnabled_ || static_cast<size_t>(MoveIndex) + 1 >= History.size()) return;
    ++MoveIndex;
    ++ActionCount;
    SetActionEnabled(TGameAction::Undo, true);
    PlaySound("REDO");
    RestoreHistoryEntry(MoveIndex);
    if (static_cast<size_t>(MoveIndex) + 1 == History.size() || UndoLevel(Settings) == 1)
        SetActionEnabled(TGameAction::Redo, false);
    Highlighted = false;
    host_.PaintTable();
    CheckGameWon();
    SelGroup = -1;
}

void TGame::InsertBookmark() {
    BookmarkIndex = MoveIndex;
    BookmarkActionCount = ActionCount;
    SetActionEnabled(TGameAction::GoToBookmark, true);
}

void TGame::GoToBookmark() {
    if (!goToBookmarkEnabled_ || BookmarkIndex < 0 ||
        static_cast<size_t>(BookmarkIndex) >= History.size())
        return;
    MoveIndex = BookmarkIndex;
    ActionCount = BookmarkActionCount;
    RestoreHistoryEntry(MoveIndex);
    SetActionEnabled(TGameAction::Undo, MoveIndex != 0 && UndoLevel(Settings) != 0);
    SetActionEnabled(TGameAction::Redo, false);
    History.resize(static_cast<size_t>(MoveIndex) + 1);
    Highlighted = false;
    host_.PaintTable();
    SelGroup = -1;
}

void TGame::RestartGame() {
    if (Settings.ConfirmReplayGame && !host_.AskQuestion("Restart this game?")) return;
    RequestedNumber = Board.Deck.GameNumber;
    NewNumberWanted = false;
    StartGame();
    Highlighted = false;
    SelGroup = -1;
}

void TGame::UndoOptionChanged() {
    const bool hasUndo = MoveIndex > 0;
    const bool hasRedo = static_cast<size_t>(MoveIndex) + 1 < History.size();
    if (UndoLevel(Settings) == 0) {
        SetActionEnabled(TGameAction::Undo, false);
        SetActionEnabled(TGameAction::Redo, false);
        return;
    }
    if (hasUndo) SetActionEnabled(TGameAction::Undo, true);
    if (hasRedo) SetActionEnabled(TGameAction::Redo, true);
}

// Sets the enabled state of Undo and Redo for a freshly loaded history.
void TGame::SetActionsAfterLoad() {
    const bool hasUndo = MoveIndex > 0;
    const bool hasRedo = static_cast<size_t>(MoveIndex) + 1 < History.size();
    switch (UndoLevel(Settings)) {
        case 0:
            SetActionEnabled(TGameAction::Undo, false);
            SetActionEnabled(TGameAction::Redo, false);
            break;
        case 1:
            SetActionEnabled(TGameAction::Undo, hasUndo);
            SetActionEnabled(TGameAction::Redo, !hasUndo && hasRedo);
            break;
        default:
            SetActionEnabled(TGameAction::Undo, hasUndo);
            SetActionEnabled(TGameAction::Redo, hasRedo);
            break;
    }
    SetActionEnabled(TGameAction::GoToBookmark, false);
}

bool TGame::NewGame() {
    if (Settings.ConfirmNewGame && !host_.AskQuestion("Quite this game?")) return false;
    NewNumberWanted = true;
    StartGame();
    return true;
}

namespace {

// The dialog's edit field takes digits only, but other text can be pasted:
// anything that is not a plain decimal number from 0 to 2^32 - 1 is refused.
std::optional<uint32_t> ParseGameNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > 4294967295ull) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

void TGame::SelectShuffle(const std::optional<std::string>& text) {
    if (!text) {
        NewNumberWanted = true;
        return;
    }
    const std::optional<uint32_t> number = ParseGameNumber(*text);
    if (!number) {
        host_.ShowMessage("Invalid game number.", TMessageKind::Plain);
        return;
    }
    if (Settings.ConfirmNewGame && !host_.AskQuestion("Quite this game?")) return;
    RequestedNumber = *number;
    NewNumberWanted = false;
    StartGame();
    Highlighted = false;
}

void TGame::SetGameKind(TGameKind kind) {
    GameKind = kind;
    host_.ShowGameKind(kind);
}

bool TGame::SwitchGameKind(TGameKind kind) {
    const TGameKind previous = GameKind;
    GameKind = kind;
    if (NewGame()) {
        host_.ShowGameKind(kind);
        return true;
    }
    GameKind = previous;
    return false;
}

}  // namespace trisk
