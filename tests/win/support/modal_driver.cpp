#include "tests/win/support/modal_driver.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>
#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "tests/win/support/input.h"

namespace {

const int kModalGuardSeconds = 15;

HWND FindVisibleWindow(const char* className)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr)
        if (IsWindowVisible(window))
            return window;
    return nullptr;
}

// A menu or dialog of this process that nothing answers keeps the test's
// thread in its modal loop for ever, for instance one that opens only after
// its driver gave up. Once a driver has run, a guard thread ends any of ours
// left open this long: the test then fails instead of hanging.
void GuardAgainstForgottenModalLoops()
{
    static std::once_flag started;
    std::call_once(started, [] {
        std::thread([] {
            HWND open = nullptr;
            int seconds = 0;
            for (;;) {
                Sleep(1000);
                HWND menu = FindVisibleWindow("#32768");
                HWND window = menu ? menu : FindVisibleWindow("#32770");
                DWORD owner = 0;
                if (window)
                    GetWindowThreadProcessId(window, &owner);
                if (!window || owner != GetCurrentProcessId() || window != open) {
                    open = window;
                    seconds = 0;
                    continue;
                }
                if (++seconds < kModalGuardSeconds)
                    continue;
                char caption[128] = "", text[512] = "";
                GetWindowTextA(window, caption, sizeof caption);
                GetDlgItemTextA(window, 0xFFFF, text, sizeof text); // a message box's text
                std::replace(text, text + lstrlenA(text), '\n', ' ');
                printf("a %s stayed open %d s with nothing answering it: dismissed \"%s\" \"%s\"\n",
                       menu ? "popup menu" : "dialog", seconds, caption, text);
                fflush(stdout);
                if (menu)
                    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                else
                    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                seconds = 0;
            }
        }).detach();
    });
}

// Windows whose modal loop on a watched thread waits for input: a menu's
// loop sends its owner WM_ENTERIDLE once it has nothing left to handle, a
// dialog's each time its queue runs empty. Only then does input reach the
// loop as a person's would; a window that merely exists may still be
// opening, and under load a key or click sent then is lost.
std::mutex idleLock;
std::condition_variable idleChanged;
std::vector<HWND> idleWindows;   // waiting for input, not yet handed to a watcher
std::vector<HWND> handedWindows; // dialogs handed: their later idle messages are old news

bool Listed(const std::vector<HWND>& windows, HWND window)
{
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

LRESULT CALLBACK NoteIdleLoop(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_ENTERIDLE) {
        HWND window = reinterpret_cast<HWND>(sent->lParam);
        if (!window && sent->wParam == MSGF_MENU)
            window = FindVisibleWindow("#32768"); // a loop that does not name its menu window
        // A menu's loop says it once, and Wine may show the next menu in the
        // same window; a dialog's says it again and again.
        std::lock_guard<std::mutex> hold(idleLock);
        bool news = sent->wParam == MSGF_MENU || !Listed(handedWindows, window);
        if (window && news && !Listed(idleWindows, window)) {
            idleWindows.push_back(window);
            idleChanged.notify_all();
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The modal loops that the calling thread (the test's) runs from now on are
// watched; loops that ended unanswered are forgotten.
void WatchIdleLoops()
{
    static DWORD watchedThread = 0;
    if (watchedThread != GetCurrentThreadId()) {
        watchedThread = GetCurrentThreadId();
        SetWindowsHookExA(WH_CALLWNDPROC, NoteIdleLoop, nullptr, watchedThread);
    }
    std::lock_guard<std::mutex> hold(idleLock);
    idleWindows.erase(std::remove_if(idleWindows.begin(), idleWindows.end(),
                                     [](HWND window) { return !IsWindowVisible(window); }),
                      idleWindows.end());
}

bool OfClass(HWND window, const char* className)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, className) == 0;
}

// The first visible window of the class whose loop waits for input, handed
// to the caller alone; null when none does within the time.
HWND AwaitIdleLoop(const char* className, DWORD milliseconds)
{
    std::unique_lock<std::mutex> hold(idleLock);
    HWND found = nullptr;
    idleChanged.wait_for(hold, std::chrono::milliseconds(milliseconds), [&] {
        for (HWND window : idleWindows) {
            if (OfClass(window, className) && IsWindowVisible(window)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    if (found) {
        idleWindows.erase(std::find(idleWindows.begin(), idleWindows.end(), found));
        if (!OfClass(found, "#32768"))
            handedWindows.push_back(found);
    }
    return found;
}

} // namespace

WindowWatcher::WindowWatcher(const char* className, std::function<void(HWND)> act)
{
    WatchIdleLoops();
    thread_ = std::thread([this, className, act] {
        GuardAgainstForgottenModalLoops();
        const DWORD kWait = 10000;
        HWND window = AwaitIdleLoop(className, kWait);
        if (!window) {
            printf("no window of class %s waited for input within %lu ms\n", className, kWait);
            fflush(stdout);
            return;
        }
        found_ = true;
        act(window);
    });
}

WindowWatcher::~WindowWatcher()
{
    thread_.join();
}

MenuDriver::MenuDriver(UINT command)
    : watcher_("#32768", [this, command](HWND menuWindow) { Act(menuWindow, command); })
{
}

void MenuDriver::Act(HWND menuWindow, UINT command)
{
    menu_ = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    RECT bounds;
    GetWindowRect(menuWindow, &bounds);
    topLeft_ = {bounds.left, bounds.top};
    int chosen = -1;
    for (int position = 0; position < GetMenuItemCount(menu_); ++position) {
        char text[128] = "";
        GetMenuStringA(menu_, position, text, sizeof text, MF_BYPOSITION);
        UINT id = GetMenuItemID(menu_, position);
        items_.push_back({id, text, GetMenuState(menu_, position, MF_BYPOSITION)});
        if (command && id == command)
            chosen = position;
    }
    RECT item;
    if (chosen >= 0 && GetMenuItemRect(nullptr, menu_, chosen, &item)) {
        // Pressed only once the menu has highlighted the entry under the
        // pointer: then the press is the menu's and lands on that entry.
        bool lit = false;
        for (int tries = 0; !lit && tries < 8; ++tries) {
            ApproachPointer((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            for (int waited = 0; !lit && waited < 500; waited += 20) {
                lit = (GetMenuState(menu_, chosen, MF_BYPOSITION) & MF_HILITE) != 0;
                if (!lit)
                    Sleep(20);
            }
        }
        if (!lit)
            printf("the menu entry %u was not highlighted under the pointer within 4 s\n", command);
        PressButton(LEFT_BUTTON);
        ReleaseButton(LEFT_BUTTON);
    } else {
        TapKey(VK_ESCAPE);
    }
    // Input the menu missed would keep the test's thread in the menu's loop
    // for ever: an Escape posted to the menu ends it whatever has the focus,
    // and the test fails on the command.
    for (int waited = 0; IsWindowVisible(menuWindow) && waited < 3000; waited += 50)
        Sleep(50);
    if (IsWindowVisible(menuWindow))
        PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
}

OpenFileAnswerer::OpenFileAnswerer(const char* path)
    : path_(path ? path : ""), answer_(path != nullptr),
      watcher_("#32770", [this](HWND dialog) {
          if (answer_) {
              // The explorer-style dialog names its file box cmb13, the old one edt1.
              if (!SetDlgItemTextA(dialog, cmb13, path_.c_str()))
                  SetDlgItemTextA(dialog, edt1, path_.c_str());
              PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
          } else {
              PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
          }
      })
{
}

std::string DesktopFolder()
{
    char folder[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE);
    return folder;
}

FolderBrowserAnswerer::FolderBrowserAnswerer(FolderChoice choice)
    : choice_(choice), watcher_("#32770", [this](HWND dialog) { Act(dialog); })
{
}

void FolderBrowserAnswerer::Act(HWND dialog)
{
    const int kTitleId = 0x3742; // the browser's static text above its tree
    char title[256] = "";
    GetDlgItemTextA(dialog, kTitleId, title, sizeof title);
    title_ = title;
    if (choice_ == CANCEL_BROWSER) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    // The browser fills its tree as it opens; confirmed before that, it
    // answers with no folder chosen.
    HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    for (int waited = 0; !TreeView_GetRoot(tree) && waited < 10000; waited += 20)
        Sleep(20);
    if (!TreeView_GetRoot(tree))
        printf("the folder browser's tree held no item within 10 s\n");
    if (choice_ == CHOOSE_MY_COMPUTER) {
        LPITEMIDLIST computer = nullptr;
        SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
        SHFILEINFOA named = {};
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(computer), 0, &named, sizeof named,
                       SHGFI_PIDL | SHGFI_DISPLAYNAME);
        CoTaskMemFree(computer);
        HTREEITEM root = TreeView_GetRoot(tree);
        for (HTREEITEM item = TreeView_GetChild(tree, root); item; item = TreeView_GetNextSibling(tree, item)) {
            char text[MAX_PATH] = "";
            TVITEMA fields = {};
            fields.mask = TVIF_TEXT;
            fields.hItem = item;
            fields.pszText = text;
            fields.cchTextMax = sizeof text;
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields));
            if (lstrcmpA(text, named.szDisplayName) == 0)
                SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        }
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}
