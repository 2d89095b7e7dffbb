// The launcher's dealings with the Windows shell: the executable's folder,
// a target's icon, and starting a target.
#ifndef ZRONDEL_APP_SHELL_H
#define ZRONDEL_APP_SHELL_H

#include <windows.h>

#include "base/dpi.h"
#include "base/slots.h"

// The executable's folder with its trailing backslash, in UTF-16 and of any
// length: a heap copy; null when the system gives none, or without memory.
wchar_t* ExeFolder();
// The file beside the executable: a heap copy; null without memory.
wchar_t* WidePathBesideExe(const wchar_t* name);
// The executable's folder with its trailing backslash in ANSI: exactly
// where the code page holds it, else its short 8.3 form; empty when neither
// names it within the buffer.
void ExeDirectory(char* buffer, int capacity);
// The executable's folder, as ExeDirectory gives it, followed by name;
// false, and the buffer empty, when no form of the two fits together.
bool PathBesideExe(const char* name, char* buffer, int capacity);
// The one box at start for a folder whose name no ANSI path of the
// system's length holds, naming it: the launcher runs without saving.
void ReportUnusableFolder();

// The target's associated icon, owned by whoever stores it; null for an
// absent path or one too long for the shell's path buffer. Above 96 DPI it
// is taken at 32 pixels scaled where the shell has the icon at that size.
// The whole name, where given, is the one asked for.
HICON ExtractTargetIcon(const char* path, int dpi = BASE_DPI, const char16_t* whole = nullptr);
// The icon of a slot's target read from the settings, or null: none is
// asked for a target whose drive or share was found absent, where the shell
// could wait for it; the target gets one at a later start that finds it.
// A target found on the launcher's drive instead gives the icon from there.
HICON StoredTargetIcon(const LauncherSlot* slot, int dpi = BASE_DPI);

// Asks the shell to open the target, by the verb (null: the default one);
// without a working folder it starts in the folder that contains the
// target. A failure, and a "no" at the elevation prompt, is not reported.
void LaunchTarget(const char* path, const char* workFolder, const char* verb = nullptr);
// The same for a slot's file target, with its whole names where it has
// them, and from the launcher's drive where its target or working folder
// moved there.
void LaunchSlot(const LauncherSlot* slot, const char* verb = nullptr);

// The open-file dialog for a target: the buffer (emptied by the caller)
// receives the chosen path, in UTF-16 so that no letter of it is lost. The
// filter list defaults to "Exe" and "All Files".
bool ChooseTargetFile(HWND owner, wchar_t* buffer, int capacity, const wchar_t* filters);
// The folder browser, titled with the text (none when null); the buffer of
// MAX_PATH characters receives the chosen file-system folder in UTF-16. The
// thread is in a COM apartment while the browser is open, and left as it
// was after.
bool ChooseWorkFolder(HWND owner, const char* title, wchar_t* buffer);
// Shows the system's text for the thread's last error in a box captioned
// "Error", then clears the error; answers the code. Without an error
// nothing is shown.
DWORD ShowLastError();

#endif
