// A user's copy of the shipped launcher in a folder of its own, run as a
// separate process, and the windows it shows, found as a person finds them
// on the screen.
#ifndef ZRONDEL_JOURNEYS_LAUNCHER_COPY_H
#define ZRONDEL_JOURNEYS_LAUNCHER_COPY_H

#include <windows.h>

#include <string>

#include "base/dpi.h"

class LauncherCopy {
public:
    // Copies what ships (and the recorder, a stand-in target) into a fresh
    // folder below the test executable.
    explicit LauncherCopy(const std::string& name);
    // Ends a copy that is still running.
    ~LauncherCopy();
    LauncherCopy(const LauncherCopy&) = delete;
    LauncherCopy& operator=(const LauncherCopy&) = delete;

    // From now on the copy is the one in the folder (a drive's root as "E:"),
    // reached under that name; folder() then gives its ANSI short name.
    void Relocate(const std::wstring& folder);
    const std::string& folder() const { return folder_; }
    std::string Path(const char* name) const { return folder_ + "\\" + name; }
    std::string settingsPath() const { return Path("settings.dat"); }

    // Starts zrondel.exe and waits until its ring window exists and the
    // process waits for input; false when it does not come.
    bool Start();
    // The two halves of Start, for a start that stops at a message box
    // before the ring exists.
    bool Launch();
    bool AwaitRing();
    // Start as the system runs a command line, at logon for instance.
    bool StartByCommand(const std::wstring& command);
    // Starts another process of the same copy and answers its exit code,
    // STILL_ACTIVE when it has not ended after 10 s.
    DWORD StartAnotherAndAwaitExit();
    // The exit code once the process has ended, STILL_ACTIVE after 10 s.
    DWORD AwaitExit();
    bool running() const;
    DWORD processId() const { return processId_; }
    HWND ring() const { return ring_; }

    // A visible top-level window of the launcher's process, once it is
    // there; null after `wait` ms. A null title matches any.
    HWND AwaitWindow(const char* className, const char* title, int wait = 10000) const;
    // A menu or dialog of the launcher's once it takes a person's keys and
    // clicks: for a menu, the launcher's thread in the menu's loop; for a
    // dialog, the foreground window with the focus inside it and its
    // default button enabled, and a folder browser's tree holding its first
    // item. Null after `wait` ms, with what was missing printed.
    HWND AwaitModal(const char* className, const char* title, int wait = 10000) const;
    // True once no visible window of the kind is left, within 5 s.
    bool AwaitNoWindow(const char* className, const char* title) const;

    // What the recorder wrote when the launcher started it; "" after 10 s.
    std::string AwaitRecord() const;

private:
    std::string folder_;
    std::wstring exe_; // zrondel.exe under the whole name it is started by
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND ring_ = nullptr;
};

// The ring's sector of a slot, as drawn at the DPI: the screen point of its middle.
POINT SectorMiddle(HWND ring, int slot, int dpi = BASE_DPI);
// The ring's centre disc, its face: the caption that moves it.
POINT RingHub(HWND ring);

#endif
