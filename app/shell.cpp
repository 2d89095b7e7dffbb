#include "app/shell.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

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

HICON ExtractTargetIcon(const char* path)
{
    if (!path || strlen(path) >= MAX_PATH)
        return nullptr;
    // The shell may write the path of the icon's file into the buffer; the
    // caller's path stays as it was.
    char scratch[MAX_PATH];
    strcpy(scratch, path);
    WORD index = 0;
    return ExtractAssociatedIconA(nullptr, scratch, &index);
}

void LaunchTarget(const char* path, const char* workFolder)
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
    ShellExecuteA(nullptr, nullptr, path, nullptr, workFolder, SW_SHOW);
    free(derivedFolder);
}

bool ChooseTargetFile(HWND owner, char* buffer, int capacity, const char* filters)
{
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A; // 76: understood by every system
    dialog.hwndOwner = owner;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = capacity;
    dialog.lpstrFilter = filters ? filters : "Exe\0*.exe\0All Files\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&dialog) == 1;
}

bool ChooseWorkFolder(HWND owner, const char* title, char* buffer)
{
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pszDisplayName = buffer;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (!chosen)
        return false;
    bool isFolder = SHGetPathFromIDListA(chosen, buffer) != FALSE;
    CoTaskMemFree(chosen); // the shell allocated it for us
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
