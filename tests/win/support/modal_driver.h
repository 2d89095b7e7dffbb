// Answers modal loops (popup menus, common dialogs) the test's own thread
// opens: a thread of its own waits until the loop waits for input and acts
// on its window as a person would, while the test's thread sits inside the
// modal loop.
#ifndef ZRONDEL_TESTS_MODAL_DRIVER_H
#define ZRONDEL_TESTS_MODAL_DRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

class WindowWatcher {
public:
    // Once a modal loop of the constructing thread that shows a window of
    // the class waits for input (the loop sends its owner WM_ENTERIDLE),
    // `act` runs on the watcher's thread with that window. Gives up after
    // 10 s, saying what it waited for.
    WindowWatcher(const char* className, std::function<void(HWND)> act);
    // Waits for the watcher's thread.
    ~WindowWatcher();
    WindowWatcher(const WindowWatcher&) = delete;
    WindowWatcher& operator=(const WindowWatcher&) = delete;

    bool found() const { return found_; }

private:
    bool found_ = false;
    std::thread thread_;
};

struct SeenMenuItem {
    UINT id;          // command id; 0 for a separator, -1 for a submenu
    std::string text; // as the menu shows it, in the ANSI code page
    UINT state;       // GetMenuState by position: MF_GRAYED, MF_CHECKED, ...
};

// The next popup menu: its items are recorded while it is open, then the
// item with the command is clicked with the real pointer, or with 0 the menu
// is dismissed with Escape.
class MenuDriver {
public:
    explicit MenuDriver(UINT command = 0);
    ~MenuDriver() = default;

    // Valid once the menu has closed.
    bool opened() const { return watcher_.found(); }
    const std::vector<SeenMenuItem>& items() const { return items_; }
    HMENU menu() const { return menu_; }
    POINT topLeft() const { return topLeft_; } // of the menu window on screen

private:
    void Act(HWND menuWindow, UINT command);

    std::vector<SeenMenuItem> items_;
    HMENU menu_ = nullptr;
    POINT topLeft_ = {0, 0};
    WindowWatcher watcher_;
};

// The open-file dialog: with a path, it is typed into the file name and the
// dialog confirmed; with null, the dialog is cancelled.
class OpenFileAnswerer {
public:
    explicit OpenFileAnswerer(const char* path);
    bool opened() const { return watcher_.found(); }

private:
    std::string path_;
    bool answer_;
    WindowWatcher watcher_;
};

// The folder browser: cancelled, confirmed as it opens (the desktop folder),
// or confirmed on "My Computer", which is no file-system folder.
enum FolderChoice { CANCEL_BROWSER, CHOOSE_DESKTOP, CHOOSE_MY_COMPUTER };
// The desktop's file-system folder: what the browser gives when confirmed as it opens.
std::string DesktopFolder();

class FolderBrowserAnswerer {
public:
    explicit FolderBrowserAnswerer(FolderChoice choice);
    bool opened() const { return watcher_.found(); }
    const std::string& title() const { return title_; } // the text above the tree

private:
    void Act(HWND dialog);

    FolderChoice choice_;
    std::string title_;
    WindowWatcher watcher_;
};

#endif
