#include "app/foreign_names.h"

#include <stdlib.h>

namespace {

// The text in the ANSI code page; exactly: null where a letter would come
// out as another one or as the default character.
char* ToAnsi(const wchar_t* text, bool exactly)
{
    // A UTF-8 code page holds every letter, and takes neither the flag nor
    // the question about the default character.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = exactly && !utf8 ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL changed = FALSE;
    BOOL* askChanged = exactly && !utf8 ? &changed : nullptr;
    int size = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, askChanged);
    char* ansi = size > 0 && !changed ? static_cast<char*>(malloc(size)) : nullptr;
    if (ansi && (WideCharToMultiByte(CP_ACP, flags, text, -1, ansi, size, nullptr, askChanged) != size || changed)) {
        free(ansi);
        ansi = nullptr;
    }
    return ansi;
}

} // namespace

char* AnsiPathOf(const wchar_t* path)
{
    if (char* ansi = ToAnsi(path, true))
        return ansi;
    DWORD size = GetShortPathNameW(path, nullptr, 0);
    wchar_t* shortPath = size ? static_cast<wchar_t*>(malloc(size * sizeof(wchar_t))) : nullptr;
    char* ansi = nullptr;
    if (shortPath && GetShortPathNameW(path, shortPath, size) < size)
        ansi = ToAnsi(shortPath, true);
    free(shortPath);
    return ansi;
}

char* ReadableAnsiText(const wchar_t* text)
{
    return ToAnsi(text, false);
}

void ReportUnkeptName(HWND owner, const wchar_t* path)
{
    static const wchar_t kBefore[] = L"File name cannot be kept:\n";
    static const wchar_t kAfter[] =
        L"\n\nIts letters are not all in the system's code page, and it has no short name.";
    size_t length = lstrlenW(kBefore) + lstrlenW(path) + lstrlenW(kAfter) + 1;
    wchar_t* text = static_cast<wchar_t*>(malloc(length * sizeof(wchar_t)));
    if (!text)
        return;
    lstrcpyW(text, kBefore);
    lstrcatW(text, path);
    lstrcatW(text, kAfter);
    MessageBoxW(owner, text, L"[Z]Rondel", MB_ICONINFORMATION);
    free(text);
}
