#include "app/helperlib.h"

#include <stdlib.h>
#include <windows.h>

#include "app/shell.h"
#include "vcontrols/vcontrols.h"

namespace {

struct HelperLibrary {
    bool loaded;              // Init has been called and Release is due
    HMODULE module;           // the library while it is loaded
    HelperEntryPoint init;    // "Init", called once after loading
    HelperEntryPoint release; // "Release", called once before unloading
};

HelperLibrary helper;

void Forget()
{
    helper = HelperLibrary();
}

HelperEntryPoint EntryPoint(const char* name)
{
    // Through the generic function type: GetProcAddress's own type says nothing.
    return reinterpret_cast<HelperEntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(helper.module, name)));
}

// Both entry points or neither: a library without Release is never kept.
bool FindEntryPoints()
{
    helper.init = EntryPoint("Init");
    helper.release = EntryPoint("Release");
    return helper.init && helper.release;
}

void ReportFailure()
{
    MessageBeep(MB_ICONEXCLAMATION);
    ShowLastError();
}

} // namespace

void LoadHelperLibrary()
{
    if (helper.loaded)
        return;
    // By its whole name: the folder may have no ANSI one.
    wchar_t* path = WidePathBesideExe(L"vcontrols.dll");
    if (!path)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    helper.module = path ? LoadLibraryW(path) : nullptr;
    free(path);
    if (!helper.module) {
        ReportFailure();
        return;
    }
    if (!FindEntryPoints()) {
        // Unloading must not wipe out the reason shown to the user.
        DWORD missingEntry = GetLastError();
        FreeLibrary(helper.module);
        Forget();
        SetLastError(missingEntry);
        ReportFailure();
        return;
    }
    helper.init(helper.module);
    helper.loaded = true;
}

void UnloadHelperLibrary()
{
    if (!helper.loaded)
        return;
    helper.release(helper.module);
    FreeLibrary(helper.module);
    Forget();
}
