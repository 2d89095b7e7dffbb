#include "tests/journeys/desktop.h"

#include <stdio.h>
#include <stdlib.h>

#include "tests/win/support/input.h"
#include "tests/win/support/launcher_run.h"

POINT Middle(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

namespace {

// The Linux path of a Windows path, as Wine maps its drives, in UTF-16.
std::wstring UnixPath(const wchar_t* path)
{
    typedef char* (__cdecl* ToUnix)(const WCHAR*);
    ToUnix toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path) : nullptr;
    wchar_t wide[MAX_PATH * 2] = L"";
    if (unix)
        MultiByteToWideChar(CP_UTF8, 0, unix, -1, wide, MAX_PATH * 2);
    HeapFree(GetProcessHeap(), 0, unix);
    return wide;
}

} // namespace

bool ChooseFromMenu(const LauncherCopy& launcher, int entry)
{
    if (!launcher.AwaitModal("#32768", nullptr))
        return false;
    for (int step = 0; step < entry; ++step)
        TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    return launcher.AwaitNoWindow("#32768", nullptr);
}

namespace {

struct ReferenceMenu {
    const std::vector<std::wstring>* lines;
    POINT at;
};

// Shows the menu of the lines until it is closed, on a thread of its own so
// that the test can look at it meanwhile.
DWORD WINAPI ShowReferenceMenu(void* parameter)
{
    const ReferenceMenu* reference = static_cast<const ReferenceMenu*>(parameter);
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HMENU menu = CreatePopupMenu();
    for (const std::wstring& line : *reference->lines)
        AppendMenuW(menu, line == L"-" ? MF_SEPARATOR : line[0] == L'~' ? MF_GRAYED : MF_STRING, 1,
                    line.c_str() + (line[0] == L'~'));
    SetForegroundWindow(owner);
    TrackPopupMenu(menu, 0, reference->at.x, reference->at.y, 0, owner, nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    return 0;
}

// The popup's width and pixels once it is drawn, after which it is closed.
std::vector<COLORREF> MenuPixels(HWND menu)
{
    RECT bounds;
    std::vector<COLORREF> pixels;
    if (AwaitDrawn(menu) && GetWindowRect(menu, &bounds)) {
        ScreenCapture screen;
        pixels.push_back(bounds.right - bounds.left);
        for (int y = bounds.top; y < bounds.bottom; ++y)
            for (int x = bounds.left; x < bounds.right; ++x)
                pixels.push_back(screen.pixel({x, y}));
    }
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return pixels;
}

} // namespace

bool MenuShows(const LauncherCopy& launcher, const std::vector<std::wstring>& lines)
{
    HWND shown = launcher.AwaitModal("#32768", nullptr);
    RECT bounds = {};
    const std::vector<COLORREF> theirs =
        shown && GetWindowRect(shown, &bounds) ? MenuPixels(shown) : std::vector<COLORREF>();
    ReferenceMenu reference = {&lines, {bounds.left, bounds.top}};
    DWORD thread = 0;
    HANDLE running = launcher.AwaitNoWindow("#32768", nullptr)
                         ? CreateThread(nullptr, 0, ShowReferenceMenu, &reference, 0, &thread) : nullptr;
    HWND ours = nullptr;
    for (DWORD start = GetTickCount(); running && !ours && GetTickCount() - start < 5000; Sleep(20)) {
        ours = FindWindowA("#32768", nullptr);
        ours = ours && IsWindowVisible(ours) && GetWindowThreadProcessId(ours, nullptr) == thread ? ours : nullptr;
    }
    const std::vector<COLORREF> expected = ours ? MenuPixels(ours) : std::vector<COLORREF>();
    if (running && (WaitForSingleObject(running, 5000) != WAIT_OBJECT_0 || !CloseHandle(running)))
        printf("the menu to compare with did not close\n");
    if (theirs.size() < 2 || theirs != expected)
        printf("the launcher's menu is not the one expected (%d pixels)\n", static_cast<int>(theirs.size()) - 1);
    return theirs.size() > 1 && theirs == expected;
}

HWND TrayWindow()
{
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    return tray && IsWindowVisible(tray) ? tray : nullptr;
}

void MoveTrayToTheCorner()
{
    HWND tray = nullptr;
    for (int waited = 0; !tray && waited < 5000; waited += 50) {
        tray = TrayWindow();
        if (!tray)
            Sleep(50);
    }
    if (!tray)
        return;
    RECT bounds;
    GetWindowRect(tray, &bounds);
    int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    SetWindowPos(tray, HWND_TOP, GetSystemMetrics(SM_CXSCREEN) - width, GetSystemMetrics(SM_CYSCREEN) - height, 0,
                 0, SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(200);
}

POINT TrayIconPoint()
{
    HWND tray = TrayWindow();
    if (!tray)
        return {-1, -1};
    RECT client;
    GetClientRect(tray, &client);
    POINT origin = {0, 0};
    ClientToScreen(tray, &origin);
    int middleY = origin.y + client.bottom / 2;
    ScreenCapture screen;
    COLORREF background = screen.pixel({origin.x + client.right - 2, middleY});
    int first = -1, last = -1;
    for (int x = origin.x; x < origin.x + client.right; ++x) {
        if (screen.pixel({x, middleY}) == background) {
            if (first >= 0)
                break;
            continue;
        }
        if (first < 0)
            first = x;
        last = x;
    }
    if (first < 0)
        return {-1, -1};
    return {(first + last) / 2, middleY};
}

bool TypeOver(const char* text)
{
    GUITHREADINFO front = {sizeof front};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(GetForegroundWindow(), nullptr), &front) || !front.hwndFocus)
        return false;
    char typed[1024] = "";
    for (int attempt = 0; attempt < 3; ++attempt) {
        TapKey('A', VK_CONTROL);
        TapKey(VK_DELETE);
        TypeText(text);
        SendMessageA(front.hwndFocus, WM_GETTEXT, sizeof typed, reinterpret_cast<LPARAM>(typed));
        if (lstrcmpA(typed, text) == 0)
            return true;
    }
    printf("typed \"%s\" three times, and the box held \"%s\"\n", text, typed);
    return false;
}

void ClickDialogButton(HWND dialog, int id)
{
    ClickWindowMiddle(GetDlgItem(dialog, id));
}

void ClickWindowMiddle(HWND window)
{
    POINT middle = Middle(window);
    MovePointerTo(middle.x, middle.y);
    Sleep(100);
    ClickAt(middle.x, middle.y);
}

bool DropFileFromFileManager(POINT at, const std::string& path)
{
    wchar_t wide[MAX_PATH * 2];
    return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2) && DropFileFromFileManager(at, wide);
}

bool RunLinuxProgram(const char* program, const std::wstring& arguments, DWORD wait)
{
    std::wstring programPath = L"Z:" + std::wstring(program, program + strlen(program));
    for (wchar_t& c : programPath)
        if (c == L'/')
            c = L'\\';
    std::wstring commandLine = L"\"" + programPath + L"\" " + arguments;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(programPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    // A Linux process gives Wine no exit code: its effect is checked instead.
    // Nor a thread, and the handles Wine hands back for it may be anything,
    // one of this process's own included: only a handle that names the
    // started process or thread is waited on or closed.
    if (process.dwProcessId && GetProcessId(process.hProcess) == process.dwProcessId) {
        WaitForSingleObject(process.hProcess, wait);
        CloseHandle(process.hProcess);
    }
    if (process.dwThreadId && GetThreadId(process.hThread) == process.dwThreadId)
        CloseHandle(process.hThread);
    return true;
}

bool DropFileFromFileManager(POINT at, const wchar_t* path)
{
    const char* tool = getenv("ZRONDEL_XDND_DROP");
    std::wstring file = UnixPath(path);
    if (!tool || !*tool || file.empty())
        return false;
    wchar_t place[64];
    swprintf(place, 64, L"%ld %ld ", at.x, at.y);
    // Wide all the way: the file manager passes any name, in any script.
    return RunLinuxProgram(tool, place + (L"\"" + file + L"\""), 10000);
}

bool RunInSecondPrefix(const std::string& commandLine)
{
    const char* wine = getenv("ZRONDEL_SECOND_WINE");
    if (!wine || !*wine)
        return false;
    std::wstring command(commandLine.begin(), commandLine.end());
    return RunLinuxProgram("/bin/sh", L"-c \"" + std::wstring(wine, wine + strlen(wine)) + L" " + command + L"\"", 0);
}

bool MapDrive(char letter, const std::wstring& folder)
{
    const char* prefix = getenv("WINEPREFIX");
    if (!prefix || !*prefix)
        return false;
    const std::wstring link = std::wstring(prefix, prefix + strlen(prefix)) + L"/dosdevices/" + wchar_t(letter | 0x20) + L":";
    std::wstring target = folder.empty() ? L"" : UnixPath(folder.c_str());
    if (!folder.empty() && target.empty())
        return false;
    RunLinuxProgram("/bin/rm", L"-f \"" + link + L"\"", 5000);
    if (!folder.empty())
        RunLinuxProgram("/bin/ln", L"-s \"" + target + L"\" \"" + link + L"\"", 5000);
    // Wine may not wait for a Linux program: the drive is awaited, up to 5 s.
    const wchar_t root[] = {wchar_t(letter), L':', L'\\', L'\0'};
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50))
        if ((GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) == folder.empty())
            return true;
    return false;
}

std::string UnixPathOf(const std::string& path)
{
    std::wstring wide(path.begin(), path.end());
    std::wstring unix = UnixPath(wide.c_str());
    return std::string(unix.begin(), unix.end());
}

ScreenCapture::ScreenCapture()
    : width_(GetSystemMetrics(SM_CXSCREEN)), height_(GetSystemMetrics(SM_CYSCREEN)), stride_((width_ * 3 + 3) & ~3),
      pixels_(static_cast<size_t>(stride_) * height_)
{
    PumpMessages(30); // paints still queued reach the screen first
    BITMAPINFOHEADER header = {sizeof header, width_, height_, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width_, height_);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, height_, pixels_.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenCapture::pixel(POINT at) const
{
    if (at.x < 0 || at.y < 0 || at.x >= width_ || at.y >= height_)
        return CLR_INVALID;
    const BYTE* bgr = &pixels_[static_cast<size_t>(height_ - 1 - at.y) * stride_ + at.x * 3];
    return RGB(bgr[2], bgr[1], bgr[0]);
}

bool ScreenCapture::Save(const std::string& path) const
{
    BITMAPINFOHEADER header = {sizeof header, width_, height_, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels_.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(pixels_.data()), pixels_.size());
    return WriteWholeFile(path, bytes);
}

bool AwaitDrawn(HWND window)
{
    std::vector<COLORREF> last;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(30)) {
        RECT bounds;
        GetWindowRect(window, &bounds);
        ScreenCapture screen;
        std::vector<COLORREF> now;
        for (int y = bounds.top; y < bounds.bottom; ++y)
            for (int x = bounds.left; x < bounds.right; ++x)
                now.push_back(screen.pixel({x, y}));
        if (!GetUpdateRect(window, nullptr, FALSE) && now == last)
            return true;
        last.swap(now);
    }
    printf("a window of the launcher's was still being drawn after 2 s\n");
    return false;
}

std::string AwaitFileChange(const std::string& path, const std::string& before)
{
    // A file that reads as nothing is being replaced, or open in the
    // launcher for a moment: no change yet.
    std::string bytes = ReadWholeFile(path);
    for (int waited = 0; (bytes == before || bytes.empty()) && waited < 5000; waited += 50) {
        Sleep(50);
        bytes = ReadWholeFile(path);
    }
    return bytes;
}
