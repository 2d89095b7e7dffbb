// Prints a Markdown table: the time of one typed character (insert and its
// two history snapshots) at several text lengths with a full 256-record
// history, and the bytes that history holds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "leditor/buffer.h"
#include "leditor/history.h"

namespace {

struct Figures {
    double nanosecondsPerKeystroke;
    size_t historyBytes;
    int records;
};

Figures Measure(int length, int keystrokes)
{
    LEditorState state = {};
    state.historyLimit = EDITOR_HISTORY_LIMIT;
    state.charWidth = 8;
    state.visibleColumns = 19;
    std::string text(length, 'a');
    Splice(&state, 0, 0, text.data(), length);
    state.caret = state.anchor = length / 2;
    // Typing and backspacing in turn keeps the length at length..length+1
    // while the history fills up and stays full.
    for (int i = 0; i < 2 * EDITOR_HISTORY_LIMIT; ++i) {
        InsertChar(&state, 'x');
        DeleteBackward(&state);
    }
    std::chrono::steady_clock::duration typing{};
    for (int i = 0; i < keystrokes; ++i) {
        const auto start = std::chrono::steady_clock::now();
        InsertChar(&state, 'x');
        typing += std::chrono::steady_clock::now() - start;
        DeleteBackward(&state);
    }
    Figures figures;
    figures.nanosecondsPerKeystroke =
        std::chrono::duration<double, std::nano>(typing).count() / keystrokes;
    figures.historyBytes = state.historyBytes;
    figures.records = state.undoCount;
    ClearRedo(&state);
    ClearUndo(&state);
    free(state.text);
    return figures;
}

} // namespace

int main()
{
    std::printf("| text length | time per keystroke | history records | history bytes |\n");
    std::printf("|---:|---:|---:|---:|\n");
    for (int length : {16, 256, 4096}) {
        Figures figures = Measure(length, 20000);
        std::printf("| %d | %.0f ns | %d | %zu |\n", length, figures.nanosecondsPerKeystroke, figures.records,
                    figures.historyBytes);
    }
    return 0;
}
