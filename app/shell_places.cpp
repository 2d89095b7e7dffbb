#include "app/shell_places.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>

#include "app/foreign_names.h"
#include "base/command_line.h"
#include "base/dpi.h"
#include "base/system_library.h"
#include "base/target_kind.h"

namespace {

typedef HRESULT(WINAPI* StartOle)(void* reserved);
typedef HRESULT(WINAPI* AskAssociation)(ASSOCF flags, ASSOCSTR what, const wchar_t* association, const wchar_t* extra,
                                        wchar_t* answer, DWORD* length);
typedef int(WINAPI* SplitIconLocation)(wchar_t* location);
typedef HRESULT(WINAPI* ExtractIconAtSize)(const wchar_t* file, int index, UINT flags, HICON* large, HICON* small,
                                           UINT sizes);

const int kIconSide = 32; // what the shell's icons measure at 96 DPI

HICON IconAtSide(const wchar_t* file, int index, int side)
{
    ExtractIconAtSize extract = reinterpret_cast<ExtractIconAtSize>(SystemEntry("shell32.dll", "SHDefExtractIconW"));
    HICON icon = nullptr;
    if (!extract || extract(file, index, 0, &icon, nullptr, static_cast<UINT>(side)) != S_OK)
        return nullptr;
    return icon;
}

// The shell's icon of the item (an item list with SHGFI_PIDL, a kind of
// file with SHGFI_USEFILEATTRIBUTES) at the side where its file has it.
HICON ShellIcon(const wchar_t* item, UINT how, int side)
{
    SHFILEINFOW info = {};
    HICON icon = nullptr;
    if (SHGetFileInfoW(item, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, how | SHGFI_ICONLOCATION) &&
        info.szDisplayName[0])
        icon = IconAtSide(info.szDisplayName, info.iIcon, side);
    // An icon the shell draws itself has no file: taken as the shell gives it.
    if (!icon && SHGetFileInfoW(item, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, how | SHGFI_ICON | SHGFI_LARGEICON))
        icon = info.hIcon;
    return icon;
}

// The icon of the program that opens the link's scheme: where the scheme
// names an icon of its own that one, otherwise the program's first.
HICON LinkHandlerIcon(wchar_t* link, int side)
{
    SplitIconLocation split = reinterpret_cast<SplitIconLocation>(SystemEntry("shlwapi.dll", "PathParseIconLocationW"));
    if (!split)
        return nullptr;
    wchar_t* colon = wcschr(link, L':');
    *colon = L'\0'; // the scheme alone names the association
    wchar_t location[MAX_PATH];
    int index = 0;
    if (AskScheme(link, SCHEME_ICON, location, MAX_PATH))
        index = split(location);
    else if (!AskScheme(link, SCHEME_PROGRAM, location, MAX_PATH))
        location[0] = L'\0';
    *colon = L':';
    HICON icon = location[0] ? IconAtSide(location, index, side) : nullptr;
    // A handler without an icon of its own (Wine's browser launcher): the
    // shell's icon of an Internet shortcut.
    return icon ? icon : ShellIcon(L".url", SHGFI_USEFILEATTRIBUTES, side);
}

HICON ShellItemIcon(const wchar_t* name, int side)
{
    LPITEMIDLIST item = nullptr;
    if (!JoinOle() || FAILED(SHParseDisplayName(name, nullptr, &item, 0, nullptr)))
        return nullptr;
    HICON icon = ShellIcon(reinterpret_cast<const wchar_t*>(item), SHGFI_PIDL, side);
    ILFree(item);
    return icon;
}

// Wine's association functions close some keys twice: the second close
// takes whatever another thread opened in between, a save's new file among
// them. Under Wine the scheme's keys are read here instead, each closed once.
bool ReadSchemeValue(const wchar_t* scheme, const wchar_t* subkey, wchar_t* value, DWORD capacity)
{
    wchar_t key[64];
    if (lstrlenW(scheme) + lstrlenW(subkey) + 2 > 64)
        return false;
    wsprintfW(key, L"%s\\%s", scheme, subkey);
    DWORD size = capacity * sizeof(wchar_t);
    return RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS &&
           value[0];
}

bool ReadSchemeProgram(const wchar_t* scheme, wchar_t* program, DWORD capacity)
{
    wchar_t command[2 * MAX_PATH];
    size_t start = 0, length = 0;
    if (ReadSchemeValue(scheme, L"shell\\open\\command", command, 2 * MAX_PATH))
        length = CommandProgram(reinterpret_cast<const char16_t*>(command), lstrlenW(command), &start);
    if (length == 0 || length >= capacity)
        return false;
    memcpy(program, command + start, length * sizeof(wchar_t));
    program[length] = L'\0';
    return true;
}

} // namespace

bool AskScheme(const wchar_t* scheme, SchemeQuestion question, wchar_t* answer, DWORD capacity)
{
    if (!SystemEntry("ntdll.dll", "wine_get_version")) {
        AskAssociation ask = reinterpret_cast<AskAssociation>(SystemEntry("shlwapi.dll", "AssocQueryStringW"));
        const ASSOCF flags = question == SCHEME_NAME
                                 ? ASSOCF_IS_PROTOCOL | ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE
                                 : ASSOCF_NONE;
        const ASSOCSTR what = question == SCHEME_ICON      ? ASSOCSTR_DEFAULTICON
                              : question == SCHEME_PROGRAM ? ASSOCSTR_EXECUTABLE
                                                           : ASSOCSTR_FRIENDLYAPPNAME;
        return ask && ask(flags, what, scheme, question == SCHEME_PROGRAM ? L"open" : nullptr, answer, &capacity) == S_OK &&
               answer[0];
    }
    if (question == SCHEME_ICON)
        return ReadSchemeValue(scheme, L"DefaultIcon", answer, capacity);
    if (!ReadSchemeProgram(scheme, answer, capacity))
        return false;
    if (question == SCHEME_NAME) { // its file's name, as Wine names a program without a description
        const wchar_t* name = answer;
        for (const wchar_t* at = answer; *at; ++at)
            if (*at == L'\\' || *at == L'/')
                name = at + 1;
        memmove(answer, name, (lstrlenW(name) + 1) * sizeof(wchar_t));
        wchar_t* dot = wcsrchr(answer, L'.');
        if (dot && dot != answer)
            *dot = L'\0';
    }
    return answer[0] != L'\0';
}

bool JoinOle()
{
    static bool joined = false;
    if (!joined) {
        StartOle start = reinterpret_cast<StartOle>(SystemEntry("ole32.dll", "OleInitialize"));
        joined = start && SUCCEEDED(start(nullptr));
    }
    return joined;
}

void LaunchShellPlace(const char* target, const char16_t* whole, HMONITOR monitor)
{
    wchar_t* wide = SystemPathOf(target, whole);
    if (!wide)
        return;
    SHELLEXECUTEINFOW start = {};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_HMONITOR | SEE_MASK_FLAG_NO_UI;
    start.hMonitor = monitor;
    start.lpFile = wide;
    start.nShow = SW_SHOW;
    ShellExecuteExW(&start);
    free(wide);
}

HICON ShellPlaceIcon(const char* target, const char16_t* whole, int dpi)
{
    wchar_t* wide = SystemPathOf(target, whole);
    if (!wide)
        return nullptr;
    const int side = Scale(kIconSide, dpi);
    HICON icon = KindOfTarget(target) == TARGET_LINK ? LinkHandlerIcon(wide, side) : ShellItemIcon(wide, side);
    free(wide);
    return icon;
}
