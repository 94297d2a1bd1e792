// The game in play: the board, the game fields, the history and the enabled
// state of the history commands, with every operation the window, the tests
// and trisk-tool run on them. Whatever must reach the outside world goes
// through the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/board.h"
#include "engine/host.h"
#include "engine/settings.h"
#include "history/history.h"

namespace trisk {

enum class TMouseButton { Left, Middle, Right };

class TGame {
  public:
    explicit TGame(TGameHost& host);
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    TGameHost& Host() { return host_; }

    // ---- the position and the game fields ----
    TBoard Board{};
    TGameKind GameKind = gkTriskClassic;
    int32_t PassesLeft = 0;
    int32_t SelGroup = -1;
    int32_t SelPile = 0;
    uint32_t RequestedNumber = 0;
    bool NewNumberWanted = true;
    int32_t MoveIndex = 0;
    int32_t ActionCount = 0;
    bool Highlighted = false;
    int32_t HighlightX = 0;
    int32_t HighlightY = 0;
    uint32_t GameStartTicks = 0;

    // ---- the history ----
    THistory History;
    int32_t BookmarkIndex = 0;
    int32_t BookmarkActionCount = 0;

    TSettings Settings;
    // Set when the run was started with a saved game to open.
    bool CommandLineMark = false;

    // ---- board operations on the current kind's block; faults reach the host ----
    bool IsNonEmpty(int group, int pile) const { return Board.IsNonEmpty(GameKind, group, pile); }
    int CardCount(int group, int pile) const { return Board.CardCount(GameKind, group, pile); }
    TCard TopCard(int group, int pile, bool take);
    void PutCard(int group, int pile, bool fromDeck, const TCard& card);
    void MoveCard(int fromGroup, int fromPile, int toGroup, int toPile);
    void ReportFault(TFault fault);

    // ---- starting a game ----
    // The number policy: the requested number, a random one or the next in order.
    uint32_t ChooseGameNumber();
    void StartGame();

    // ---- the rules ----
    bool RanksAdjacent(int fromGroup, int fromPile, int toGroup, int toPile, bool down);
    bool CanDrop(int tg, int tp);
    void PlayMove(int tg, int tp);
    void ClickStock();

    // ---- end of game ----
    // True when the position is won (no card left outside the foundations).
    bool IsWon() const;
    void CheckGameWon();
    void GameLost();

    // ---- the history and its commands ----
    void AppendHistoryEntry();
    void RestoreHistoryEntry(int index);
    bool IsActionEnabled(TGameAction action) const;
    void UndoMove();
    void RedoMove();
    void InsertBookmark();
    void GoToBookmark();
    void RestartGame();
    // The Options dialog changed the undo level.
    void UndoOptionChanged();

    // ---- the new-game commands ----
    // True when a game was dealt (the player did not decline).
    bool NewGame();
    // Select Shuffle: text is what the dialog's edit field holds when closed
    // with OK, nothing when it was cancelled.
    void SelectShuffle(const std::optional<std::string>& text);
    // The game-kind commands: a new deal of the kind, or nothing if declined.
    bool SwitchGameKind(TGameKind kind);
    // Puts the kind's checks into the menu (host) and takes the kind.
    void SetGameKind(TGameKind kind);

    // ---- saved games ----
    bool SaveGameToFile(const std::string& path);
    // Writes the game without asking; false after showing the failure.
    bool WriteGameFile(const std::string& path, uint32_t elapsed);
    // True when the file replaced the game on the table.
    bool LoadGameFromFile(const std::string& path);

    // ---- the clock ----
    void StartClock();
    void StopClock();
    void PauseClock();
    void ResumeClock();
    uint32_t ElapsedTicks();
    void RestoreClock(uint32_t elapsed);
    void GameTimerTimer();
    static std::string FormatClock(uint32_t elapsed);

    // ---- the table ----
    int SpotImageIndex(int group, int pile) const;
    int StockImageIndex() const;
    std::string MovesText() const;
    std::string GameNumberText() const;
    std::string TitleText() const;
    void FormMouseUp(TMouseButton button, int x, int y);
    void FormMouseMove(int x, int y);

  private:
    void SetActionEnabled(TGameAction action, bool enabled);
    void PlaySound(const char* name);
    void FillEntry(TSolData& entry) const;
    void DealNewGame();
    bool CanDropTomb(int tg, int tp);
    bool CanDropDiamond(int tg, int tp);
    void ResetHistory();
    void SetActionsAfterLoad();

    TGameHost& host_;
    bool undoEnabled_ = false;
    bool redoEnabled_ = false;
    bool goToBookmarkEnabled_ = false;
    // False until the first deal or load of the run.
    bool gameOnTable_ = false;
};

}  // namespace trisk
