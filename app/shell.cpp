#include "app/shell.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include "app/foreign_names.h"
#include "app/shell_places.h"
#include "base/system_library.h"
#include "base/target_kind.h"
#include "settings/settings_shim.h"

namespace {

typedef BOOL(WINAPI* OpenFileDialog)(OPENFILENAMEW* dialog);
typedef HRESULT(WINAPI* JoinApartment)(void* reserved, DWORD model);
typedef void(WINAPI* LeaveApartment)();
typedef void(WINAPI* FreeTaskMemory)(void* memory);
typedef HRESULT(WINAPI* ExtractIconAtSize)(const wchar_t* file, int index, UINT flags, HICON* large, HICON* small,
                                           UINT sizes);

const int kIconSide = 32; // what the shell's associated icon measures

} // namespace

wchar_t* ExeFolder()
{
    // Grown until the path fits whole: a cut one would name another folder.
    for (DWORD capacity = MAX_PATH; capacity <= 0x10000; capacity *= 2) {
        wchar_t* path = static_cast<wchar_t*>(malloc(capacity * sizeof(wchar_t)));
        DWORD length = path ? GetModuleFileNameW(nullptr, path, capacity) : 0;
        wchar_t* backslash = length && length < capacity ? wcsrchr(path, L'\\') : nullptr;
        if (backslash) {
            backslash[1] = L'\0';
            return path;
        }
        free(path);
        if (length < capacity)
            return nullptr;
    }
    return nullptr;
}

wchar_t* WidePathBesideExe(const wchar_t* name)
{
    wchar_t* folder = ExeFolder();
    size_t length = folder ? wcslen(folder) + wcslen(name) + 1 : 0;
    wchar_t* path = length ? static_cast<wchar_t*>(realloc(folder, length * sizeof(wchar_t))) : nullptr;
    if (path)
        wcscat(path, name);
    else
        free(folder);
    return path;
}

void ExeDirectory(char* buffer, int capacity)
{
    PathBesideExe("", buffer, capacity);
}

void ReportUnusableFolder()
{
    static const wchar_t kBefore[] = L"Settings cannot be kept in the program's folder:\n";
    static const wchar_t kAfter[] = L"\n\nIts name has letters outside the system's code page and no short name, "
                                    L"or is too long. Changes will not be saved.";
    wchar_t* folder = ExeFolder();
    size_t length = lstrlenW(kBefore) + (folder ? lstrlenW(folder) : 0) + lstrlenW(kAfter) + 1;
    wchar_t* text = static_cast<wchar_t*>(malloc(length * sizeof(wchar_t)));
    if (text) {
        lstrcpyW(text, kBefore);
        lstrcatW(text, folder ? folder : L"");
        lstrcatW(text, kAfter);
        MessageBoxW(nullptr, text, L"[Z]Rondel", MB_ICONINFORMATION);
    }
    free(text);
    free(folder);
}

bool PathBesideExe(const char* name, char* buffer, int capacity)
{
    buffer[0] = '\0';
    wchar_t* folder = ExeFolder();
    // The folder's exact name, else its short one where only that leaves room.
    for (int form = 0; folder && form < 2 && !buffer[0]; ++form) {
        char* ansi = AnsiPathOf(folder, form == 1);
        if (ansi && strlen(ansi) + strlen(name) < static_cast<size_t>(capacity)) {
            strcpy(buffer, ansi);
            strcat(buffer, name);
        }
        free(ansi);
    }
    free(folder);
    return buffer[0] != '\0';
}

// The icon again at the size, from where the shell found it; the icon as it
// is where the shell has it at no other size.
static HICON IconAtSize(HICON icon, const wchar_t* location, WORD index, int side)
{
    // Without an icon of its own the target got one of the launcher's
    // resources, named by identifier rather than by index: kept as it is.
    wchar_t launcher[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, launcher, MAX_PATH);
    if (!icon || (length > 0 && length < MAX_PATH && lstrcmpiW(launcher, location) == 0))
        return icon;
    ExtractIconAtSize extract = reinterpret_cast<ExtractIconAtSize>(SystemEntry("shell32.dll", "SHDefExtractIconW"));
    HICON sized = nullptr;
    if (!extract || extract(location, index, 0, &sized, nullptr, static_cast<UINT>(side)) != S_OK || !sized)
        return icon;
    DestroyIcon(icon);
    return sized;
}

// The icon of the file the system knows by the name.
static HICON IconOf(const wchar_t* name, int dpi)
{
    if (!name || lstrlenW(name) >= MAX_PATH)
        return nullptr;
    // The shell may write the path of the icon's file into the buffer; the
    // caller's path stays as it was.
    wchar_t scratch[MAX_PATH];
    lstrcpyW(scratch, name);
    WORD index = 0;
    HICON icon = ExtractAssociatedIconW(nullptr, scratch, &index);
    return dpi == BASE_DPI ? icon : IconAtSize(icon, scratch, index, Scale(kIconSide, dpi));
}

HICON ExtractTargetIcon(const char* path, int dpi, const char16_t* whole)
{
    if (path && KindOfTarget(path) != TARGET_FILE)
        return ShellPlaceIcon(path, whole, dpi);
    wchar_t* name = path ? SystemPathOf(path, whole) : nullptr;
    HICON icon = IconOf(name, dpi);
    free(name);
    return icon;
}

HICON StoredTargetIcon(const LauncherSlot* slot, int dpi)
{
    const char* target = slot->target;
    if (target && KindOfTarget(target) != TARGET_FILE)
        return ExtractTargetIcon(target, dpi, slot->wholeTarget);
    wchar_t* name = target ? SystemPathOf(target, slot->wholeTarget) : nullptr;
    wchar_t* moved = name ? OnLauncherDrive(name) : nullptr;
    HICON icon = nullptr;
    if (moved)
        icon = IconOf(moved, dpi);
    else if (name && !TargetPlaceWasAbsent(target))
        icon = IconOf(name, dpi);
    free(moved);
    free(name);
    return icon;
}

static char* CopyOf(const char* text)
{
    return CopyText(text);
}

static wchar_t* CopyOf(const wchar_t* text)
{
    wchar_t* copy = nullptr;
    ReplaceWholeText(reinterpret_cast<char16_t**>(&copy), reinterpret_cast<const char16_t*>(text));
    return copy;
}

static void Execute(const char* path, const char* workFolder, const char* verb)
{
    ShellExecuteA(nullptr, verb, path, nullptr, workFolder, SW_SHOW);
}

static void Execute(const wchar_t* path, const wchar_t* workFolder, const char* verb)
{
    wchar_t wideVerb[16] = L"";
    if (verb)
        MultiByteToWideChar(CP_ACP, 0, verb, -1, wideVerb, 16);
    ShellExecuteW(nullptr, verb ? wideVerb : nullptr, path, nullptr, workFolder, SW_SHOW);
}

// In ANSI or UTF-16 names alike.
template <typename Letter> static void Launch(const Letter* path, const Letter* workFolder, const char* verb)
{
    if (!path || !path[0])
        return;
    Letter* derivedFolder = nullptr;
    if (!workFolder) {
        derivedFolder = CopyOf(path);
        if (!derivedFolder)
            return;
        // C:\Tools\app.exe starts in C:\Tools\ with its backslash.
        Letter* backslash = nullptr;
        for (Letter* letter = derivedFolder; *letter; ++letter) {
            if (*letter == '\\')
                backslash = letter;
        }
        if (backslash)
            backslash[1] = 0;
        else
            derivedFolder[0] = 0;
        workFolder = derivedFolder;
    }
    Execute(path, workFolder, verb);
    free(derivedFolder);
}

void LaunchTarget(const char* path, const char* workFolder, const char* verb)
{
    Launch(path, workFolder, verb);
}

void LaunchSlot(const LauncherSlot* slot, const char* verb)
{
    wchar_t* path = SystemPathOf(slot->target, slot->wholeTarget);
    wchar_t* folder = slot->workFolder ? SystemPathOf(slot->workFolder, slot->wholeWorkFolder) : nullptr;
    wchar_t* movedPath = path ? OnLauncherDrive(path) : nullptr;
    wchar_t* movedFolder = folder ? OnLauncherDrive(folder) : nullptr;
    // Names the code page holds, there as stored: asked for as they always were.
    if (!slot->wholeTarget && !slot->wholeWorkFolder && !movedPath && !movedFolder)
        LaunchTarget(slot->target, slot->workFolder, verb);
    else
        Launch<wchar_t>(movedPath ? movedPath : path, movedFolder ? movedFolder : folder, verb);
    free(movedPath);
    free(movedFolder);
    free(path);
    free(folder);
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
