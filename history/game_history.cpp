// The game's history commands (Undo, Redo, the bookmark, Restart) and the
// new-game commands (New Game, Select Shuffle, the game kinds).
#include <cstring>

#include "history/game.h"

namespace trisk {

void TGame::FillEntry(TSolData& entry) const {
    entry.PassesLeft = PassesLeft();
    entry.SelGroup = selGroup_;
    entry.SelPile = selPile_;
    entry.Deck = Board().Deck;
    if (IsTomb(GameKind())) {
        std::memcpy(entry.TombPiles, Board().TombPiles, sizeof entry.TombPiles);
    } else {
        std::memcpy(entry.DiamondPiles, Board().DiamondPiles, sizeof entry.DiamondPiles);
    }
}

void TGame::AppendHistoryEntry() {
    TSolData entry;
    FillEntry(entry);
    history_.Append(entry);
    SyncActions();
}

void TGame::RestoreHistoryEntry(int index) {
    dealPiles_ = dealNext_ = 0;
    if (index < 0 || static_cast<size_t>(index) >= history_.Size()) return;
    const TSolData& entry = history_[static_cast<size_t>(index)];
    position_.PassesLeft = entry.PassesLeft;
    selGroup_ = entry.SelGroup;
    selPile_ = entry.SelPile;
    TBoard& board = position_.Board;
    board.Deck = entry.Deck;
    if (IsTomb(GameKind())) {
        std::memcpy(board.TombPiles, entry.TombPiles, sizeof board.TombPiles);
    } else {
        std::memcpy(board.DiamondPiles, entry.DiamondPiles, sizeof board.DiamondPiles);
    }
}

void TGame::UndoMove() {
    if (!history_.Undo()) return;
    SyncActions();
    PlaySound("UNDO");
    RestoreHistoryEntry(MoveIndex());
    highlighted_ = false;
    Repaint();
    selGroup_ = -1;
}

void TGame::RedoMove() {
    if (!history_.Redo()) return;
    SyncActions();
    PlaySound("REDO");
    RestoreHistoryEntry(MoveIndex());
    highlighted_ = false;
    Repaint();
    CheckGameWon();
    selGroup_ = -1;
}

void TGame::InsertBookmark() {
    history_.InsertBookmark();
    SyncActions();
}

void TGame::GoToBookmark() {
    const int32_t bookmark = history_.BookmarkIndex();
    if (!history_.GoToBookmark()) return;
    RestoreHistoryEntry(bookmark);
    SyncActions();
    highlighted_ = false;
    Repaint();
    selGroup_ = -1;
}

void TGame::RestartGame() {
    if (settings_.ConfirmReplayGame && !dialogs_.AskQuestion("Restart this game?")) return;
    requestedNumber_ = Board().Deck.GameNumber;
    newNumberWanted_ = false;
    StartGame();
    highlighted_ = false;
    selGroup_ = -1;
}

void TGame::UndoOptionChanged() {
    history_.UndoLevelChanged();
    SyncActions();
}

bool TGame::NewGame() {
    if (settings_.ConfirmNewGame && !dialogs_.AskQuestion("Quite this game?")) return false;
    newNumberWanted_ = true;
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
        newNumberWanted_ = true;
        return;
    }
    const std::optional<uint32_t> number = ParseGameNumber(*text);
    if (!number) {
        dialogs_.ShowMessage("Invalid game number.", TMessageKind::Plain);
        return;
    }
    if (settings_.ConfirmNewGame && !dialogs_.AskQuestion("Quite this game?")) return;
    requestedNumber_ = *number;
    newNumberWanted_ = false;
    StartGame();
    highlighted_ = false;
}

void TGame::SetGameKind(TGameKind kind) {
    position_.Kind = kind;
    host_.ShowGameKind(kind);
}

bool TGame::SwitchGameKind(TGameKind kind) {
    const TGameKind previous = GameKind();
    position_.Kind = kind;
    if (NewGame()) {
        host_.ShowGameKind(kind);
        return true;
    }
    position_.Kind = previous;
    return false;
}

}  // namespace trisk
