// The launcher's dealings with the Windows shell: the executable's folder,
// a target's icon, and starting a target.
#ifndef ZRONDEL_APP_SHELL_H
#define ZRONDEL_APP_SHELL_H

#include <windows.h>

#include "base/dpi.h"

// The executable's folder with its trailing backslash; empty when the
// module's path cannot be had whole in the buffer.
void ExeDirectory(char* buffer, int capacity);
// The executable's folder followed by name; false, and the buffer empty,
// when the two do not fit together.
bool PathBesideExe(const char* name, char* buffer, int capacity);

// The target's associated icon, owned by whoever stores it; null for an
// absent path or one too long for the shell's path buffer. Above 96 DPI it
// is taken at 32 pixels scaled where the shell has the icon at that size.
HICON ExtractTargetIcon(const char* path, int dpi = BASE_DPI);
// The icon of a target read from the settings, or null: none is asked for
// a target whose drive or share was found absent, where the shell could
// wait for it; the target gets one at a later start that finds it.
HICON StoredTargetIcon(const char* target, int dpi = BASE_DPI);

// Asks the shell to open the target, by the verb (null: the default one);
// without a working folder it starts in the folder that contains the
// target. A failure, and a "no" at the elevation prompt, is not reported.
void LaunchTarget(const char* path, const char* workFolder, const char* verb = nullptr);

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
