#include "app/shell.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include "app/shell_places.h"
#include "base/system_library.h"
#include "base/target_kind.h"
#include "settings/settings_shim.h"

namespace {

typedef BOOL(WINAPI* OpenFileDialog)(OPENFILENAMEW* dialog);
typedef HRESULT(WINAPI* JoinApartment)(void* reserved, DWORD model);
typedef void(WINAPI* LeaveApartment)();
typedef void(WINAPI* FreeTaskMemory)(void* memory);
typedef HRESULT(WINAPI* ExtractIconAtSize)(const char* file, int index, UINT flags, HICON* large, HICON* small,
                                           UINT sizes);

const int kIconSide = 32; // what the shell's associated icon measures

} // namespace

void ExeDirectory(char* buffer, int capacity)
{
    buffer[0] = '\0';
    DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
    // A path that filled the buffer was cut short: no folder is better than a wrong one.
    if (length == 0 || length >= static_cast<DWORD>(capacity)) {
        buffer[0] = '\0';
        return;
    }
    char* backslash = strrchr(buffer, '\\');
    if (backslash)
        backslash[1] = '\0';
    else
        buffer[0] = '\0';
}

bool PathBesideExe(const char* name, char* buffer, int capacity)
{
    ExeDirectory(buffer, capacity);
    size_t folderLength = strlen(buffer);
    if (folderLength == 0 || folderLength + strlen(name) >= static_cast<size_t>(capacity)) {
        buffer[0] = '\0';
        return false;
    }
    strcpy(buffer + folderLength, name);
    return true;
}

// The icon again at the size, from where the shell found it; the icon as it
// is where the shell has it at no other size.
static HICON IconAtSize(HICON icon, const char* location, WORD index, int side)
{
    // Without an icon of its own the target got one of the launcher's
    // resources, named by identifier rather than by index: kept as it is.
    char launcher[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, launcher, MAX_PATH);
    if (!icon || (length > 0 && length < MAX_PATH && lstrcmpiA(launcher, location) == 0))
        return icon;
    ExtractIconAtSize extract = reinterpret_cast<ExtractIconAtSize>(SystemEntry("shell32.dll", "SHDefExtractIconA"));
    HICON sized = nullptr;
    if (!extract || extract(location, index, 0, &sized, nullptr, static_cast<UINT>(side)) != S_OK || !sized)
        return icon;
    DestroyIcon(icon);
    return sized;
}

HICON ExtractTargetIcon(const char* path, int dpi)
{
    if (!path || strlen(path) >= MAX_PATH)
        return nullptr;
    if (KindOfTarget(path) != TARGET_FILE)
        return ShellPlaceIcon(path, dpi);
    // The shell may write the path of the icon's file into the buffer; the
    // caller's path stays as it was.
    char scratch[MAX_PATH];
    strcpy(scratch, path);
    WORD index = 0;
    HICON icon = ExtractAssociatedIconA(nullptr, scratch, &index);
    return dpi == BASE_DPI ? icon : IconAtSize(icon, scratch, index, Scale(kIconSide, dpi));
}

HICON StoredTargetIcon(const char* target, int dpi)
{
    return target && !TargetPlaceWasAbsent(target) ? ExtractTargetIcon(target, dpi) : nullptr;
}

void LaunchTarget(const char* path, const char* workFolder, const char* verb)
{
    if (!path || !path[0])
        return;
    char* derivedFolder = nullptr;
    if (!workFolder) {
        derivedFolder = static_cast<char*>(malloc(strlen(path) + 1));
        if (!derivedFolder)
            return;
        strcpy(derivedFolder, path);
        char* backslash = strrchr(derivedFolder, '\\');
        // C:\Tools\app.exe starts in C:\Tools\ with its backslash.
        if (backslash)
            backslash[1] = '\0';
        else
            derivedFolder[0] = '\0';
        workFolder = derivedFolder;
    }
    ShellExecuteA(nullptr, verb, path, nullptr, workFolder, SW_SHOW);
    free(derivedFolder);
}

bool ChooseTargetFile(HWND owner, wchar_t* buffer, int capacity, const wchar_t* filters)
{
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W; // 76: understood by every system
    dialog.hwndOwner = owner;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = capacity;
    dialog.lpstrFilter = filters ? filters : L"Exe\0*.exe\0All Files\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    OpenFileDialog open = reinterpret_cast<OpenFileDialog>(SystemEntry("comdlg32.dll", "GetOpenFileNameW"));
    return open && open(&dialog) == 1;
}

bool ChooseWorkFolder(HWND owner, const char* title, wchar_t* buffer)
{
    // The title is the slot's hint, in the code page's letters.
    wchar_t wideTitle[MAX_PATH];
    if (title && !MultiByteToWideChar(CP_ACP, 0, title, -1, wideTitle, MAX_PATH))
        wideTitle[0] = L'\0';
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pszDisplayName = buffer;
    browse.lpszTitle = title ? wideTitle : nullptr;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    // The browser wants its caller in a single-threaded COM apartment. The
    // thread joins for the browser's time only, so a start pays nothing for COM.
    JoinApartment join = reinterpret_cast<JoinApartment>(SystemEntry("ole32.dll", "CoInitializeEx"));
    LeaveApartment leave = reinterpret_cast<LeaveApartment>(SystemEntry("ole32.dll", "CoUninitialize"));
    FreeTaskMemory release = reinterpret_cast<FreeTaskMemory>(SystemEntry("ole32.dll", "CoTaskMemFree"));
    if (!join || !leave || !release)
        return false;
    // S_FALSE (the thread was in an apartment already) is owed its leave as well.
    bool joined = SUCCEEDED(join(nullptr, COINIT_APARTMENTTHREADED));
    LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
    bool isFolder = chosen && SHGetPathFromIDListW(chosen, buffer);
    release(chosen); // the shell allocated it for us
    if (joined)
        leave();
    return isFolder;
}

DWORD ShowLastError()
{
    DWORD code = GetLastError();
    if (code == 0)
        return 0;
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    // A code the system has no text for is still worth its number.
    char number[16];
    if (!text)
        wsprintfA(number, "%lu", code);
    MessageBoxA(nullptr, text ? text : number, "Error", MB_ICONINFORMATION);
    LocalFree(text);
    SetLastError(0);
    return code;
}
