#include "history/history.h"

#include <utility>

namespace trisk {

void TMoveHistory::Reset(const TSolData& dealt) {
    undoEnabled_ = redoEnabled_ = goToBookmarkEnabled_ = false;
    moveIndex_ = 0;
    actionCount_ = 0;
    bookmarkIndex_ = 0;
    bookmarkActionCount_ = 0;
    entries_.resize(1);
    entries_[0] = dealt;
}

void TMoveHistory::Append(const TSolData& entry) {
    entries_.resize(static_cast<size_t>(moveIndex_));
    entries_.push_back(entry);
    // A bookmark whose entry was just dropped can never be gone back to.
    if (goToBookmarkEnabled_ && bookmarkIndex_ >= moveIndex_) {
        bookmarkIndex_ = 0;
        bookmarkActionCount_ = 0;
        goToBookmarkEnabled_ = false;
    }
    undoEnabled_ = undoLevel_ != 0;
    redoEnabled_ = false;
}

bool TMoveHistory::Undo() {
    if (!undoEnabled_ || moveIndex_ <= 0) return false;
    --moveIndex_;
    ++actionCount_;
    redoEnabled_ = true;
    if (moveIndex_ == 0 || undoLevel_ == 1) undoEnabled_ = false;
    return true;
}

bool TMoveHistory::Redo() {
    if (!redoEnabled_ || !HasRedo()) return false;
    ++moveIndex_;
    ++actionCount_;
    undoEnabled_ = true;
    if (!HasRedo() || undoLevel_ == 1) redoEnabled_ = false;
    return true;
}

void TMoveHistory::InsertBookmark() {
    bookmarkIndex_ = moveIndex_;
    bookmarkActionCount_ = actionCount_;
    goToBookmarkEnabled_ = true;
}

bool TMoveHistory::GoToBookmark() {
    if (!goToBookmarkEnabled_ || bookmarkIndex_ < 0 ||
        static_cast<size_t>(bookmarkIndex_) >= entries_.size())
        return false;
    moveIndex_ = bookmarkIndex_;
    actionCount_ = bookmarkActionCount_;
    undoEnabled_ = moveIndex_ != 0 && undoLevel_ != 0;
    redoEnabled_ = false;
    entries_.resize(static_cast<size_t>(moveIndex_) + 1);
    return true;
}

void TMoveHistory::UndoLevelChanged() {
    if (undoLevel_ == 0) {
        undoEnabled_ = redoEnabled_ = false;
        return;
    }
    if (HasUndo()) undoEnabled_ = true;
    if (HasRedo()) redoEnabled_ = true;
}

void TMoveHistory::Load(THistory&& entries, int32_t moveIndex, int32_t actionCount) {
    entries_ = std::move(entries);
    moveIndex_ = moveIndex;
    actionCount_ = actionCount;
    bookmarkIndex_ = 0;
    bookmarkActionCount_ = 0;
    switch (undoLevel_) {
        case 0:
            undoEnabled_ = redoEnabled_ = false;
            break;
        case 1:
            undoEnabled_ = HasUndo();
            redoEnabled_ = !HasUndo() && HasRedo();
            break;
        default:
            undoEnabled_ = HasUndo();
            redoEnabled_ = HasRedo();
            break;
    }
    goToBookmarkEnabled_ = false;
}

}  // namespace trisk
