#include "base/system_library.h"

#include <string.h>

AnyEntry SystemEntry(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module) {
        // From the system folder only: never a library of that name beside the launcher.
        char path[MAX_PATH];
        UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length + 1 + strlen(library) >= MAX_PATH)
            return nullptr;
        path[length] = '\\';
        strcpy(path + length + 1, library);
        module = LoadLibraryA(path);
    }
    return module ? reinterpret_cast<AnyEntry>(GetProcAddress(module, name)) : nullptr;
}
