#include "tests/win/support/modal_driver.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>
#include <stdio.h>

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
                printf("a %s stayed open %d s with nothing answering it: dismissed\n", menu ? "popup menu" : "dialog",
                       seconds);
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

} // namespace

WindowWatcher::WindowWatcher(const char* className, std::function<void(HWND)> act)
    : thread_([this, className, act] {
          GuardAgainstForgottenModalLoops();
          // A window of an earlier loop may linger a moment after it ended.
          HWND earlier = FindVisibleWindow(className);
          for (int waited = 0; waited < 10000; waited += 20) {
              HWND window = FindVisibleWindow(className);
              if (window == earlier && window && IsWindowVisible(window)) {
                  Sleep(20);
                  continue;
              }
              earlier = nullptr;
              if (window) {
                  Sleep(100); // let it finish opening and take the focus
                  found_ = true;
                  act(window);
                  return;
              }
              Sleep(20);
          }
      })
{
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
        // Onto the entry first, so the menu has highlighted it when pressed.
        ApproachPointer((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        Sleep(100);
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
    if (choice_ == CHOOSE_MY_COMPUTER) {
        HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
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
