// The game in play: the position, the game fields, the history and the
// in-memory settings it reads, with every operation the window, the tests and
// trisk-tool run on them. Each operation asks the rules (engine/rules.h),
// records in the history and tells the host; nothing else writes the fields.
// The clock is a unit of its own (history/game_clock.h); how the title and
// the panels are worded is the presentation's (table/status_texts.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/rules.h"
#include "history/file_store.h"
#include "history/game_clock.h"
#include "history/history.h"
#include "history/host.h"
#include "history/services.h"
#include "history/settings.h"

namespace trisk {

class TGame {
  public:
    explicit TGame(const TGameServices& services);
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    TGameHost& Host() { return host_; }
    TGameClock& Clock() { return clock_; }
    const TGameClock& Clock() const { return clock_; }

    // ---- the position and the game fields ----
    const TPosition& Position() const { return position_; }
    const TBoard& Board() const { return position_.Board; }
    TGameKind GameKind() const { return position_.Kind; }
    int32_t PassesLeft() const { return position_.PassesLeft; }
    // The picked-up pile, or -1 when no card is picked up.
    int32_t SelGroup() const { return selGroup_; }
    int32_t SelPile() const { return selPile_; }
    uint32_t RequestedNumber() const { return requestedNumber_; }
    bool NewNumberWanted() const { return newNumberWanted_; }
    bool Highlighted() const { return highlighted_; }
    int32_t HighlightX() const { return highlightX_; }
    int32_t HighlightY() const { return highlightY_; }

    // ---- the history ----
    const TMoveHistory& History() const { return history_; }
    int32_t MoveIndex() const { return history_.MoveIndex(); }
    int32_t ActionCount() const { return history_.ActionCount(); }
    int32_t BookmarkIndex() const { return history_.BookmarkIndex(); }
    int32_t BookmarkActionCount() const { return history_.BookmarkActionCount(); }
    bool IsActionEnabled(TGameAction action) const;

    // ---- settings and the start-up mark ----
    const TSettings& Settings() const { return settings_; }
    // Takes new settings; the undo level applies from the next step on
    // (UndoOptionChanged re-evaluates Undo and Redo at once).
    void SetSettings(const TSettings& settings);
    // Set when the run was started with a saved game to open: a refused file
    // then deals a new game. The start-up load uses it up.
    bool CommandLineMark() const { return commandLineMark_; }
    void SetCommandLineMark(bool mark) { commandLineMark_ = mark; }

    // ---- starting a game ----
    // The number policy: the requested number, a random one or the next in order.
    uint32_t ChooseGameNumber();
    void StartGame();
    // Deals game number of kind as Select Shuffle does once confirmed.
    void DealGameNumber(TGameKind kind, uint32_t number);
    // The next deal takes a number of the policy instead of the requested one.
    void WantNewNumber() { newNumberWanted_ = true; }

    // ---- the rules, on the picked-up card ----
    bool CanDrop(int tg, int tp) const;
    void PlayMove(int tg, int tp);
    void ClickStock();
    // True from a stock click until its last card is dealt and recorded.
    bool Dealing() const { return dealPiles_ > 0; }
    // The pause after a dealt card is over (for a host that waits on its own):
    // deals the next card, or ends the deal. Nothing when no deal is going on.
    void ContinueDeal();
    bool IsWon() const { return trisk::IsWon(position_); }
    void CheckGameWon();
    void GameLost();

    // ---- the pointer's steps ----
    // Picks up the top card of the pile, its place (x, y) highlighted.
    void PickUp(int group, int pile, int x, int y);
    // The click after a pick-up: a legal drop plays the move, anything else
    // puts the card back.
    void DropOn(int group, int pile);
    // The right button: the picked-up card goes back.
    void CancelPickUp();
    // A finished game takes no card: any selection is forgotten.
    void ForgetSelection() { selGroup_ = -1; }
    // Draws the table and the moves panel now.
    void Repaint();

    // ---- the history and its commands ----
    void AppendHistoryEntry();
    void RestoreHistoryEntry(int index);
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

    // ---- positions set up by hand (tests, trisk-tool) ----
    // Puts the position on the table in place of the current one, also in the
    // current history entry; nothing is picked up afterwards.
    void SetPosition(const TPosition& position);

  private:
    void PlaySound(const char* name);
    void ReportFaults(const TFaultLog& faults);
    // Deals the stock click's cards from the next one on, pausing after each.
    void DealCards();
    void ShowMoves() { host_.ShowMoves(MoveIndex(), ActionCount()); }
    void FillEntry(TSolData& entry) const;
    // Tells the host about every change of the history commands' states.
    void SyncActions();

    TGameHost& host_;
    TGameDialogs& dialogs_;
    TFileStore& files_;
    TGameClock clock_;
    TPosition position_;
    int32_t selGroup_ = -1;
    int32_t selPile_ = 0;
    uint32_t requestedNumber_ = 0;
    bool newNumberWanted_ = true;
    bool highlighted_ = false;
    int32_t highlightX_ = 0;
    int32_t highlightY_ = 0;
    // The stock click being dealt: its waste piles and the next one to get a card.
    int dealPiles_ = 0;
    int dealNext_ = 0;
    TMoveHistory history_;
    TSettings settings_;
    bool commandLineMark_ = false;
    // What the host was last told of Undo, Redo and Go to Bookmark.
    bool undoShown_ = false;
    bool redoShown_ = false;
    bool goToBookmarkShown_ = false;
};

}  // namespace trisk
