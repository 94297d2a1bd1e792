// The move history on its own: how far Undo and Redo go at each undo level,
// and what a new step, the bookmark and a load do to the entries.
#include <gtest/gtest.h>

#include "history/history.h"

namespace trisk {
namespace {

// An entry told apart by its PassesLeft field.
TSolData Entry(int mark) {
    TSolData entry;
    entry.PassesLeft = mark;
    return entry;
}

void Step(TMoveHistory& history, int mark) {
    history.CountStep();
    history.Append(Entry(mark));
}

// The deal (entry 0) and steps 1 .. steps.
TMoveHistory Played(int undoLevel, int steps) {
    TMoveHistory history;
    history.SetUndoLevel(undoLevel);
    history.Reset(Entry(0));
    for (int i = 1; i <= steps; ++i)
        Step(history, i);
    return history;
}

TEST(MoveHistory, TheUndoLevelDecidesHowFarUndoAndRedoGo) {
    TMoveHistory none = Played(0, 3);
    EXPECT_FALSE(none.UndoEnabled());
    EXPECT_FALSE(none.Undo());
    EXPECT_EQ(none.MoveIndex(), 3);

    TMoveHistory one = Played(1, 3);
    EXPECT_TRUE(one.Undo());
    EXPECT_FALSE(one.Undo()) << "one step only";
    EXPECT_TRUE(one.RedoEnabled());
    EXPECT_EQ(one.Current().PassesLeft, 2);

    TMoveHistory all = Played(2, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(all.Undo());
    EXPECT_FALSE(all.Undo()) << "at the deal";
    EXPECT_EQ(all.Current().PassesLeft, 0);
    EXPECT_EQ(all.ActionCount(), 6);
    // Down to one level with three entries to redo: one Redo is left.
    all.SetUndoLevel(1);
    all.UndoLevelChanged();
    EXPECT_TRUE(all.Redo());
    EXPECT_FALSE(all.RedoEnabled());
    EXPECT_FALSE(all.Redo());
    EXPECT_EQ(all.Current().PassesLeft, 1);

    all.SetUndoLevel(7);
    EXPECT_EQ(all.UndoLevel(), 2) << "other values count as unlimited";
}

TEST(MoveHistory, ANewStepDropsTheRedoEntriesAndABookmarkAmongThem) {
    TMoveHistory history = Played(2, 4);
    history.InsertBookmark();  // entry 4
    history.Undo();
    history.Undo();
    Step(history, 9);  // replaces entries 3 and 4
    EXPECT_EQ(history.Size(), 4u);
    EXPECT_EQ(history[2].PassesLeft, 2);
    EXPECT_EQ(history.Current().PassesLeft, 9);
    EXPECT_FALSE(history.RedoEnabled());
    EXPECT_FALSE(history.GoToBookmarkEnabled());
    EXPECT_FALSE(history.GoToBookmark());

    // A bookmark on the entry that a new step replaces goes too...
    history.InsertBookmark();  // entry 3
    history.Undo();
    Step(history, 10);
    EXPECT_FALSE(history.GoToBookmarkEnabled());
    // ...one on the entry before it stays.
    history.InsertBookmark();  // entry 3 again
    Step(history, 11);
    history.Undo();
    Step(history, 12);
    ASSERT_TRUE(history.GoToBookmark());
    EXPECT_EQ(history.Current().PassesLeft, 10);
}

TEST(MoveHistory, GoToBookmarkCutsTheHistoryAndKeepsTheBookmark) {
    TMoveHistory history = Played(2, 2);
    EXPECT_FALSE(history.GoToBookmark()) << "no bookmark yet";
    history.InsertBookmark();
    for (int i = 3; i <= 5; ++i)
        Step(history, i);
    history.Undo();
    ASSERT_TRUE(history.GoToBookmark());
    EXPECT_EQ(history.MoveIndex(), 2);
    EXPECT_EQ(history.ActionCount(), 2);
    EXPECT_EQ(history.Size(), 3u);
    EXPECT_EQ(history.Current().PassesLeft, 2);
    EXPECT_TRUE(history.UndoEnabled());
    EXPECT_FALSE(history.RedoEnabled());
    EXPECT_TRUE(history.GoToBookmarkEnabled());
}

TEST(MoveHistory, ALoadSetsTheStatesByTheUndoLevelAndDropsTheBookmark) {
    struct Row {
        int Level, MoveIndex;
        bool Undo, Redo;
    };
    for (Row row : {Row{0, 2, false, false}, Row{1, 2, true, false}, Row{1, 0, false, true},
                    Row{2, 2, true, true}, Row{2, 4, true, false}, Row{2, 0, false, true}}) {
        TMoveHistory history = Played(row.Level, 1);
        history.InsertBookmark();
        history.Load(THistory(5), row.MoveIndex, 9);
        EXPECT_EQ(history.UndoEnabled(), row.Undo) << row.Level << " " << row.MoveIndex;
        EXPECT_EQ(history.RedoEnabled(), row.Redo) << row.Level << " " << row.MoveIndex;
        EXPECT_FALSE(history.GoToBookmarkEnabled());
        EXPECT_EQ(history.BookmarkIndex(), 0);
        EXPECT_EQ(history.Size(), 5u);
        EXPECT_EQ(history.ActionCount(), 9);
    }
}

}  // namespace
}  // namespace trisk
