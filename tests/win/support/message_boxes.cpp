#include "tests/win/support/message_boxes.h"

namespace {

MessageBoxAnswerer* activeAnswerer = nullptr;
HWND lastFocused = nullptr; // the window that last got the focus while a hook was set

// Control identifiers inside a message box: the text, and the icon, which
// Windows numbers 0x14 and Wine 0x440.
const int kTextId = 0xFFFF;
const int kIconIds[] = {0x14, 0x440};

} // namespace

std::string SystemErrorText(DWORD code)
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string copy = text ? text : "";
    LocalFree(text);
    return copy;
}

MessageBoxAnswerer::MessageBoxAnswerer(int answer) : answer_(answer)
{
    activeAnswerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, OnCbtEvent, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(hook_);
    activeAnswerer = nullptr;
}

LRESULT CALLBACK MessageBoxAnswerer::OnCbtEvent(int code, WPARAM wParam, LPARAM lParam)
{
    MessageBoxAnswerer* self = activeAnswerer;
    if (code == HCBT_ACTIVATE && self) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[32] = "";
        GetClassNameA(box, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0) {
            SeenMessageBox seen;
            char text[1024] = "";
            GetWindowTextA(box, text, sizeof text);
            seen.caption = text;
            text[0] = '\0';
            GetDlgItemTextA(box, kTextId, text, sizeof text);
            seen.text = text;
            seen.owner = GetWindow(box, GW_OWNER);
            seen.icon = nullptr;
            for (int iconId : kIconIds) {
                if (!seen.icon)
                    seen.icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, iconId, STM_GETICON, 0, 0));
            }
            // The box focuses its default button while it initialises, before
            // it is activated.
            seen.defaultButton = GetParent(lastFocused) == box ? GetDlgCtrlID(lastFocused) : 0;
            for (int id = IDOK; id <= IDNO; ++id) {
                if (GetDlgItem(box, id))
                    seen.buttons.push_back(id);
            }
            self->seen_.push_back(seen);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(self->answer_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, self->answer_)));
        }
    }
    if (code == HCBT_SETFOCUS)
        lastFocused = reinterpret_cast<HWND>(wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
