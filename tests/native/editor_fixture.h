// A line editor's state without a window, for the native tests of its
// buffer and history: cells 8 pixels wide, 10 of them visible.
#ifndef ZRONDEL_TESTS_EDITOR_FIXTURE_H
#define ZRONDEL_TESTS_EDITOR_FIXTURE_H

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>

#include "leditor/buffer.h"
#include "leditor/history.h"

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state_ = LEditorState{};
        state_.historyLimit = EDITOR_HISTORY_LIMIT;
        state_.charWidth = 8;
        state_.visibleColumns = 10;
    }
    void TearDown() override
    {
        editorAllocate = malloc;
        ClearRedo(&state_);
        ClearUndo(&state_);
        EXPECT_EQ(state_.historyBytes, 0u) << "the byte count drifted from the records";
        free(state_.text);
    }
    // Puts text in without a history record, caret and anchor at 0.
    void Load(const std::string& text)
    {
        ASSERT_TRUE(Splice(&state_, 0, state_.length, text.data(), static_cast<int>(text.size())));
    }
    std::string Text() const { return std::string(state_.text ? state_.text : "", state_.length); }
    void Type(const std::string& text)
    {
        for (char ch : text)
            InsertChar(&state_, ch);
    }
    void Select(int anchor, int caret)
    {
        state_.anchor = anchor;
        state_.caret = caret;
    }

    LEditorState state_;
};

#endif
