#include "app/foreign_names.h"

#include <stdlib.h>

#include "base/readable_text.h"
#include "base/slots.h"

namespace {

// The text in the ANSI code page exactly: null where a letter would come
// out as another one or as the default character.
char* ExactAnsi(const wchar_t* text)
{
    // A UTF-8 code page holds every letter, and takes neither the flag nor
    // the question about the default character.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL changed = FALSE;
    BOOL* askChanged = utf8 ? nullptr : &changed;
    int size = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, askChanged);
    char* ansi = size > 0 && !changed ? static_cast<char*>(malloc(size)) : nullptr;
    if (ansi && (WideCharToMultiByte(CP_ACP, flags, text, -1, ansi, size, nullptr, askChanged) != size || changed)) {
        free(ansi);
        ansi = nullptr;
    }
    return ansi;
}

} // namespace

char* AnsiPathOf(const wchar_t* path, bool shortForm)
{
    if (char* ansi = shortForm ? nullptr : ExactAnsi(path))
        return ansi;
    DWORD size = GetShortPathNameW(path, nullptr, 0);
    wchar_t* shortPath = size ? static_cast<wchar_t*>(malloc(size * sizeof(wchar_t))) : nullptr;
    char* ansi = nullptr;
    if (shortPath && GetShortPathNameW(path, shortPath, size) < size)
        ansi = ExactAnsi(shortPath);
    free(shortPath);
    return ansi;
}

bool SetSlotPath(char** ansi, char16_t** whole, const wchar_t* path)
{
    char* exact = ExactAnsi(path);
    char* best = exact ? exact : AnsiPathOf(path);
    if (!best)
        best = ReadableAnsi(reinterpret_cast<const char16_t*>(path), lstrlenW(path));
    char16_t* kept = nullptr;
    if (!exact)
        ReplaceWholeText(&kept, reinterpret_cast<const char16_t*>(path));
    if (!best || (!exact && !kept)) {
        free(best);
        free(kept);
        return false;
    }
    free(*ansi);
    *ansi = best;
    free(*whole);
    *whole = kept;
    return true;
}

wchar_t* SystemPathOf(const char* ansi, const char16_t* whole)
{
    wchar_t* path = nullptr;
    if (whole) {
        ReplaceWholeText(reinterpret_cast<char16_t**>(&path), whole);
        return path;
    }
    int size = ansi ? MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0) : 0;
    path = size > 0 ? static_cast<wchar_t*>(malloc(size * sizeof(wchar_t))) : nullptr;
    if (path && MultiByteToWideChar(CP_ACP, 0, ansi, -1, path, size) != size) {
        free(path);
        path = nullptr;
    }
    return path;
}
