// The move history: one snapshot of the position per step, the counters, the
// bookmark, and which of Undo, Redo and Go to Bookmark can be used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "engine/board.h"

namespace trisk {

// A full copy of the position after one step. Only the block of the game's
// kind is meaningful; the other one is never read.
struct TSolData {
    int32_t PassesLeft = 0;
    int32_t SelGroup = 0;
    int32_t SelPile = 0;
    TDeck Deck;
    TPile TombPiles[kGroups][kTombPilesPerGroup];
    TPile DiamondPiles[kGroups][kDiamondPilesPerGroup];
};
static_assert(sizeof(TSolData) == 14368);
static_assert(offsetof(TSolData, Deck) == 12);
static_assert(offsetof(TSolData, TombPiles) == 328);
static_assert(offsetof(TSolData, DiamondPiles) == 8128);

// Entries are large and the history only grows or is cut at its end: a deque
// never moves the entries it already holds when it grows.
using THistory = std::deque<TSolData>;

// The entries with MoveIndex (the entry on the table, also the number of
// moves), ActionCount (every step, undo and redo counted), the bookmark and
// the undo level: 0 no undo, 1 one step, 2 unlimited (other values count as 2).
class TMoveHistory {
  public:
    TMoveHistory() { entries_.resize(1); }

    const THistory& Entries() const { return entries_; }
    size_t Size() const { return entries_.size(); }
    const TSolData& operator[](size_t index) const { return entries_[index]; }
    int32_t MoveIndex() const { return moveIndex_; }
    int32_t ActionCount() const { return actionCount_; }
    int32_t BookmarkIndex() const { return bookmarkIndex_; }
    int32_t BookmarkActionCount() const { return bookmarkActionCount_; }

    void SetUndoLevel(int32_t option) { undoLevel_ = option >= 0 && option <= 2 ? option : 2; }
    int UndoLevel() const { return undoLevel_; }
    bool UndoEnabled() const { return undoEnabled_; }
    bool RedoEnabled() const { return redoEnabled_; }
    bool GoToBookmarkEnabled() const { return goToBookmarkEnabled_; }

    // A new deal: the one entry of its dealt position, counters and bookmark
    // at zero, nothing to undo.
    void Reset(const TSolData& dealt);
    // Counts one step (a move or a stock click) before its entry is recorded.
    void CountStep() {
        ++moveIndex_;
        ++actionCount_;
    }
    // Records the position after the step: entries beyond the current one go,
    // and a bookmark that pointed at one of them with them.
    void Append(const TSolData& entry);
    // One step back or forward; false (and no change) when not possible. The
    // entry to show is then Current().
    bool Undo();
    bool Redo();
    void InsertBookmark();
    // Back to the bookmarked entry, dropping the entries after it.
    bool GoToBookmark();
    // The undo level was changed: Undo and Redo follow it.
    void UndoLevelChanged();
    // A loaded history; moveIndex must lie inside it.
    void Load(THistory&& entries, int32_t moveIndex, int32_t actionCount);
    // Replaces the entry on the table (a position set up by hand).
    void ReplaceCurrent(const TSolData& entry) {
        entries_[static_cast<size_t>(moveIndex_)] = entry;
    }

    const TSolData& Current() const { return entries_[static_cast<size_t>(moveIndex_)]; }

  private:
    bool HasUndo() const { return moveIndex_ > 0; }
    bool HasRedo() const { return static_cast<size_t>(moveIndex_) + 1 < entries_.size(); }

    THistory entries_;
    int32_t moveIndex_ = 0;
    int32_t actionCount_ = 0;
    int32_t bookmarkIndex_ = 0;
    int32_t bookmarkActionCount_ = 0;
    int undoLevel_ = 2;
    bool undoEnabled_ = false;
    bool redoEnabled_ = false;
    bool goToBookmarkEnabled_ = false;
};

}  // namespace trisk
