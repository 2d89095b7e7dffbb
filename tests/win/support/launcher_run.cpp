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

HANDLE StartProgram(const std::wstring& exe, DWORD* processId)
{
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
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
