#include "tests/win/support/launcher_run.h"

#include <stdio.h>

#include "app/launcher.h"
#include "app/ringwnd.h"
#include "app/shell.h"
#include "ring/vbutton.h"

static bool launcherRunning; // StartTestLauncher succeeded and no stop followed

std::string BesideTestExe(const char* name)
{
    char folder[MAX_PATH];
    ExeDirectory(folder, MAX_PATH);
    return std::string(folder) + name;
}

std::string ShippedPath(const char* name)
{
    char folder[MAX_PATH];
    ExeDirectory(folder, MAX_PATH);
    std::string path(folder);
    size_t tests = path.rfind("\\tests\\");
    return path.substr(0, tests) + "\\dist\\" + name;
}

std::string ShippedLauncherPath()
{
    return ShippedPath("zrondel.exe");
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string UnmappedDrive()
{
    for (char letter = 'Z'; letter >= 'D'; --letter) {
        std::string drive = {letter, ':'};
        if (GetDriveTypeA((drive + "\\").c_str()) == DRIVE_NO_ROOT_DIR)
            return drive;
    }
    return "";
}

HANDLE StartProgram(const std::string& exe, DWORD* processId)
{
    wchar_t wide[MAX_PATH];
    return MultiByteToWideChar(CP_ACP, 0, exe.c_str(), -1, wide, MAX_PATH) ? StartProgram(std::wstring(wide), processId)
                                                                           : nullptr;
}

bool StartCommand(const wchar_t* program, std::wstring commandLine, PROCESS_INFORMATION* started)
{
    STARTUPINFOW startup = {sizeof startup};
    // Now and then Wine's loader dies before the new process is set up (its
    // address space taken by chance), and CreateProcess fails before any of
    // the program runs: that start is tried again, and said.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, started))
            return true;
        DWORD error = GetLastError();
        fprintf(stderr, "starting %ls failed (error %lu), attempt %d of 3\n", commandLine.c_str(), error, attempt);
        if (attempt == 3 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return false;
        Sleep(250);
    }
}

HANDLE StartProgram(const std::wstring& exe, DWORD* processId)
{
    PROCESS_INFORMATION process = {};
    if (!StartCommand(exe.c_str(), L"\"" + exe + L"\"", &process))
        return nullptr;
    CloseHandle(process.hThread);
    if (processId)
        *processId = process.dwProcessId;
    return process.hProcess;
}

POINT SlotIconAnchor(int slot)
{
    HWND button = launcher.slots[slot].button;
    const VButtonState* state = reinterpret_cast<const VButtonState*>(GetWindowLongPtrA(button, GWLP_USERDATA));
    POINT anchor = {state->sector.iconX, state->sector.iconY};
    ClientToScreen(button, &anchor);
    return anchor;
}

int StartTestLauncher()
{
    launcherSettings = kSettingsStartValues;
    int code = StartLauncher(GetModuleHandleA(nullptr));
    launcherRunning = code == 0;
    return code;
}

int StopTestLauncher()
{
    if (!launcherRunning)
        return 0;
    launcherRunning = false;
    if (ringWindow.window)
        SendMessageA(ringWindow.window, WM_CLOSE, 0, 0);
    int code = RunMessageLoop();
    ShutDownLauncher();
    return code;
}
