#include <gtest/gtest.h>

#include <string.h>

#include "tests/native/editor_fixture.h"

namespace {

using HistoryTest = EditorTest;

TEST_F(HistoryTest, UndoAndRedoWalkThroughEveryEdit)
{
    Type("abc");
    Undo(&state_);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(state_.caret, 2);
    Undo(&state_);
    Undo(&state_);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(state_.capacity, 0) << "back to the state of a new control";
    EXPECT_EQ(state_.text, nullptr);
    Undo(&state_);
    EXPECT_EQ(state_.redoCount, 3);
    Redo(&state_);
    Redo(&state_);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(state_.undoCount, 2);
    EXPECT_EQ(state_.redoCount, 1);
}

TEST_F(HistoryTest, The257thKeystrokeForgetsTheFirst)
{
    Type(std::string(257, 'k'));
    EXPECT_EQ(state_.undoCount, 256);
    for (int i = 0; i < 256; ++i)
        Undo(&state_);
    EXPECT_EQ(Text(), "k");
    EXPECT_EQ(state_.undoCount, 0);
    EXPECT_EQ(state_.redoCount, 256);
    Undo(&state_);
    EXPECT_EQ(Text(), "k");
}

TEST_F(HistoryTest, TypingAfterAnUndoEmptiesTheRedoStack)
{
    Type("ab");
    Undo(&state_);
    Type("x");
    EXPECT_EQ(state_.redoCount, 0);
    Redo(&state_);
    EXPECT_EQ(Text(), "ax");
}

TEST_F(HistoryTest, UndoingADeletedSelectionPutsTheCaretAtItsMovingEnd)
{
    Type("abcdef");
    Select(1, 4);
    DeleteBackward(&state_);
    EXPECT_EQ(Text(), "aef");
    Undo(&state_);
    EXPECT_EQ(Text(), "abcdef");
    EXPECT_EQ(state_.caret, 4);
    EXPECT_EQ(state_.anchor, 4);
}

TEST_F(HistoryTest, OverwritingWithTheSameCharacterStillRecords)
{
    Load("aa");
    state_.overwrite = 1;
    Type("a");
    ASSERT_EQ(state_.undoCount, 1);
    const LEditorUndoRecord* record = state_.undoTop;
    EXPECT_EQ(record->lengthBefore, record->lengthAfter);
    EXPECT_EQ(memcmp(record->textBefore, record->textAfter, 2), 0);
    EXPECT_EQ(record->caretBefore, 0);
    EXPECT_EQ(record->caretAfter, 1);
}

TEST_F(HistoryTest, EditsAfterARedoForgetTheRedoneEditFirst)
{
    Type("xyz");
    Undo(&state_);
    Undo(&state_);
    Undo(&state_);
    Redo(&state_);
    EXPECT_EQ(state_.redoCount, 2);
    Type(std::string(255, '-'));
    EXPECT_EQ(state_.redoCount, 0);
    ASSERT_EQ(state_.undoCount, 256);
    EXPECT_EQ(state_.undoBottom->lengthBefore, 0) << "the redone 'x' is the oldest record";
    EXPECT_EQ(state_.undoBottom->textAfter[0], 'x');
    Type("!");
    EXPECT_EQ(state_.undoBottom->lengthBefore, 1) << "and the first to go";
    EXPECT_EQ(state_.undoBottom->textAfter[1], '-');
}

TEST_F(HistoryTest, StackLinksStayConsistentBothWays)
{
    Type("abcde");
    Undo(&state_);
    Undo(&state_);
    int counted = 0;
    for (const LEditorUndoRecord* r = state_.undoBottom; r; r = r->newer, ++counted)
        if (r->newer)
            EXPECT_EQ(r->newer->older, r);
    EXPECT_EQ(counted, state_.undoCount);
    counted = 0;
    for (const LEditorUndoRecord* r = state_.redoTop; r; r = r->older, ++counted)
        EXPECT_EQ(r == state_.redoBottom, r->older == nullptr);
    EXPECT_EQ(counted, state_.redoCount);
    EXPECT_EQ(state_.redoTop->lengthAfter, 4) << "the newest redo record is the last undone";
}

TEST_F(HistoryTest, LongTextsKeepTheHistoryWithinItsByteBudget)
{
    Load(std::string(4 * 1024 * 1024, 'L'));
    state_.caret = state_.anchor = state_.length;
    Type(std::string(40, '+'));
    const size_t oneRecord = sizeof(LEditorUndoRecord) + 2 * static_cast<size_t>(state_.capacity);
    EXPECT_LE(state_.historyBytes, static_cast<size_t>(EDITOR_HISTORY_BYTE_BUDGET) + oneRecord);
    EXPECT_GE(state_.undoCount, 1);
    EXPECT_LT(state_.undoCount, 40);
    Undo(&state_);
    EXPECT_EQ(state_.length, 4 * 1024 * 1024 + 39);
}

// Allocations fail while the history holds more than this many records.
LEditorState* starvedState;
int recordsAllowed;

void* StarvedAllocate(size_t size)
{
    return starvedState->undoCount + starvedState->redoCount > recordsAllowed ? nullptr : malloc(size);
}

void* NothingToAllocate(size_t)
{
    return nullptr;
}

TEST_F(HistoryTest, WithoutMemoryTheOldestRecordsGoFirst)
{
    Type("abcdef");
    starvedState = &state_;
    recordsAllowed = 2;
    editorAllocate = StarvedAllocate;
    Type("g");
    EXPECT_EQ(Text(), "abcdefg");
    EXPECT_LE(state_.undoCount, 3);
    Undo(&state_);
    EXPECT_EQ(Text(), "abcdef") << "the newest edit can still be undone";
}

void* NoBlocksOf64(size_t size)
{
    return size >= 64 ? nullptr : malloc(size);
}

TEST_F(HistoryTest, AnEditWithoutMemoryIsRefusedAndTheTextKept)
{
    Type(std::string(31, 'a'));
    Undo(&state_);
    editorAllocate = NothingToAllocate;
    Type("b");
    EXPECT_EQ(Text(), std::string(30, 'a'));
    EXPECT_EQ(state_.undoCount + state_.redoCount, 0) << "the history went first";

    editorAllocate = malloc;
    Type("c");
    editorAllocate = NoBlocksOf64;
    Type("d"); // the record fits, the grown buffer does not
    EXPECT_EQ(Text(), std::string(30, 'a') + "c");
    EXPECT_EQ(state_.capacity, 32);
    EXPECT_EQ(state_.caret, 31);
    EXPECT_EQ(state_.undoCount, 0) << "the refused edit left no record";
}

TEST_F(HistoryTest, UndoWithoutMemoryChangesNothing)
{
    Type("ab");
    editorAllocate = NothingToAllocate;
    Undo(&state_);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(state_.caret, 2);
}

} // namespace
