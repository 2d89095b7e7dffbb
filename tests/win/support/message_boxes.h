// Answers the message boxes a test's code opens on this thread: a CBT hook
// sees each box as it is activated, records what it shows and presses a
// button, so the modal loop ends without a person.
#ifndef ZRONDEL_TESTS_MESSAGE_BOXES_H
#define ZRONDEL_TESTS_MESSAGE_BOXES_H

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner;          // null for a box without owner
    HICON icon;          // the icon shown; compare with LoadIcon(nullptr, IDI_...)
    std::vector<int> buttons; // IDOK, IDCANCEL, ... in the box
    int defaultButton;   // the button Enter would press: the one it focuses first
};

// The system's text for an error code, as FormatMessage gives it.
std::string SystemErrorText(DWORD code);

class MessageBoxAnswerer {
public:
    // Presses `answer` in every box opened while this object lives.
    explicit MessageBoxAnswerer(int answer = IDOK);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<SeenMessageBox>& seen() const { return seen_; }

private:
    static LRESULT CALLBACK OnCbtEvent(int code, WPARAM wParam, LPARAM lParam);

    HHOOK hook_;
    int answer_;
    std::vector<SeenMessageBox> seen_;
};

#endif
