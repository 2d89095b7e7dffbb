#include "app/shell_places.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdlib.h>

#include "app/foreign_names.h"
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
    AskAssociation ask = reinterpret_cast<AskAssociation>(SystemEntry("shlwapi.dll", "AssocQueryStringW"));
    SplitIconLocation split = reinterpret_cast<SplitIconLocation>(SystemEntry("shlwapi.dll", "PathParseIconLocationW"));
    if (!ask || !split)
        return nullptr;
    wchar_t* colon = wcschr(link, L':');
    *colon = L'\0'; // the scheme alone names the association
    wchar_t location[MAX_PATH];
    DWORD length = MAX_PATH;
    int index = 0;
    if (ask(ASSOCF_NONE, ASSOCSTR_DEFAULTICON, link, nullptr, location, &length) == S_OK) {
        index = split(location);
    } else {
        length = MAX_PATH;
        if (ask(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, link, L"open", location, &length) != S_OK)
            location[0] = L'\0';
    }
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

} // namespace

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
