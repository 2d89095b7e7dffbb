#include "tests/journeys/launcher_copy.h"

#include <commctrl.h>
#include <stdio.h>

#include "base/slots.h"
#include "tests/journeys/desktop.h"
#include "ring/geometry.h"
#include "tests/common/layout_sector.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/ring_fixture.h"

namespace {

const char kRingClass[] = "ZR_Main_Window_Class";

DWORD ExitCodeWithin(HANDLE process, DWORD milliseconds)
{
    WaitForSingleObject(process, milliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

struct WindowQuery {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    WindowQuery* query = reinterpret_cast<WindowQuery*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = "", title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (owner == query->processId && IsWindowVisible(window) && lstrcmpA(className, query->className) == 0 &&
        (!query->title || lstrcmpA(title, query->title) == 0)) {
        query->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title)
{
    WindowQuery query = {processId, className, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// What a shown menu or dialog still lacks before it takes input; null when
// nothing. Keys go to the foreground thread, so a key sent before the
// launcher's window is in front reaches another program, and a dialog
// confirmed before it is filled answers with nothing chosen.
const char* WhyNotReady(HWND window, DWORD processId)
{
    GUITHREADINFO thread = {sizeof thread};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread))
        return "the launcher's thread";
    DWORD front = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &front);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32768") == 0) {
        if (!(thread.flags & GUI_INMENUMODE))
            return "the menu's loop";
        return front == processId ? nullptr : "a launcher's window in front";
    }
    if (GetForegroundWindow() != window)
        return "the window in front";
    if (thread.hwndFocus != window && !IsChild(window, thread.hwndFocus))
        return "the focus inside it";
    if (lstrcmpA(className, "#32770") != 0)
        return nullptr; // the launcher's own dialog has no default button or tree
    LRESULT defaultId = SendMessageA(window, DM_GETDEFID, 0, 0);
    if (HIWORD(defaultId) == DC_HASDEFID && !IsWindowEnabled(GetDlgItem(window, LOWORD(defaultId))))
        return "its default button enabled";
    HWND tree = FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr);
    if (tree && !TreeView_GetRoot(tree))
        return "the first item of its tree";
    return nullptr;
}

} // namespace

LauncherCopy::LauncherCopy(const std::string& name)
{
    std::string base = BesideTestExe("runs");
    CreateDirectoryA(base.c_str(), nullptr);
    folder_ = base + "\\" + name;
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* file : {"settings.dat", "settings.dat.bak", "recorder.log"})
        DeleteFileA(Path(file).c_str());
    for (const char* file : {"zrondel.exe", "vcontrols.dll", "readme.txt"})
        CopyFileA(ShippedPath(file).c_str(), Path(file).c_str(), FALSE);
    CopyFileA(BesideTestExe("recorder.exe").c_str(), Path("recorder.exe").c_str(), FALSE);
    exe_ = std::wstring(folder_.begin(), folder_.end()) + L"\\zrondel.exe";
}

void LauncherCopy::Relocate(const std::wstring& folder)
{
    exe_ = folder + L"\\zrondel.exe";
    // A drive's root keeps its letter only.
    wchar_t shortName[MAX_PATH] = L"";
    char ansi[MAX_PATH] = "";
    if (folder.size() == 2 || !GetShortPathNameW(folder.c_str(), shortName, MAX_PATH))
        lstrcpynW(shortName, folder.c_str(), MAX_PATH);
    WideCharToMultiByte(CP_ACP, 0, shortName, -1, ansi, MAX_PATH, nullptr, nullptr);
    folder_ = ansi;
}

LauncherCopy::~LauncherCopy()
{
    if (!process_)
        return;
    if (running()) {
        if (ring_)
            PostMessageA(ring_, WM_CLOSE, 0, 0);
        if (ExitCodeWithin(process_, 5000) == STILL_ACTIVE)
            TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool LauncherCopy::Start()
{
    return Launch() && AwaitRing();
}

bool LauncherCopy::Launch()
{
    if (process_)
        CloseHandle(process_);
    ring_ = nullptr;
    process_ = StartProgram(exe_, &processId_);
    return process_ != nullptr;
}

bool LauncherCopy::StartByCommand(const std::wstring& command)
{
    PROCESS_INFORMATION started = {};
    if (!StartCommand(nullptr, command, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(process_);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
    ring_ = nullptr;
    return AwaitRing();
}

bool LauncherCopy::AwaitRing()
{
    WaitForInputIdle(process_, 10000);
    for (int waited = 0; !ring_ && waited < 10000; waited += 20) {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, kRingClass, nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId_)
                ring_ = window;
        }
        if (!ring_)
            Sleep(20);
    }
    Sleep(300); // its first paints
    return ring_ != nullptr;
}

DWORD LauncherCopy::StartAnotherAndAwaitExit()
{
    DWORD processId = 0;
    HANDLE process = StartProgram(exe_, &processId);
    if (!process)
        return STILL_ACTIVE;
    DWORD code = ExitCodeWithin(process, 10000);
    CloseHandle(process);
    return code;
}

DWORD LauncherCopy::AwaitExit()
{
    return process_ ? ExitCodeWithin(process_, 10000) : STILL_ACTIVE;
}

bool LauncherCopy::running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND LauncherCopy::AwaitWindow(const char* className, const char* title, int wait) const
{
    for (int waited = 0; waited <= wait; waited += 20) {
        HWND window = FindProcessWindow(processId_, className, title);
        if (window) {
            AwaitDrawn(window);
            return window;
        }
        Sleep(20);
    }
    return nullptr;
}

HWND LauncherCopy::AwaitModal(const char* className, const char* title, int wait) const
{
    const char* missing = "the window";
    for (int waited = 0; waited <= wait; waited += 20, Sleep(20)) {
        HWND window = FindProcessWindow(processId_, className, title);
        if (!window)
            continue;
        missing = WhyNotReady(window, processId_);
        if (!missing)
            return window;
    }
    printf("waited %d ms for a %s \"%s\" of the launcher's to take input: %s was missing\n", wait, className,
           title ? title : "", missing);
    fflush(stdout);
    return nullptr;
}

bool LauncherCopy::AwaitNoWindow(const char* className, const char* title) const
{
    for (int waited = 0; waited < 5000; waited += 20) {
        if (!FindProcessWindow(processId_, className, title))
            return true;
        Sleep(20);
    }
    return false;
}

std::string LauncherCopy::AwaitRecord() const
{
    return ::AwaitRecord(Path("recorder.log"));
}

POINT SectorMiddle(HWND ring, int slot, int dpi)
{
    RingSector given = GivenSector(slot);
    SectorBox box;
    RingSector sector = LayOutSector(&given, dpi, &box);
    SectorIconAnchor(&sector, dpi);
    RECT bounds;
    GetWindowRect(ring, &bounds);
    const int half = Scale(10, dpi); // of the icon
    return {bounds.left + box.left + sector.iconX + half, bounds.top + box.top + sector.iconY + half};
}

POINT RingHub(HWND ring)
{
    RECT bounds;
    GetWindowRect(ring, &bounds);
    return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}
