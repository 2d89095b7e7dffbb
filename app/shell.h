// The launcher's dealings with the Windows shell: the executable's folder,
// a target's icon, and starting a target.
#ifndef ZRONDEL_APP_SHELL_H
#define ZRONDEL_APP_SHELL_H

#include <windows.h>

typedef void (*AnyEntry)(); // what GetProcAddress finds, before it is given its type
// An entry point of a library of the system folder, loaded on first use
// and kept: only the choosers need the common dialogs and COM, only an
// assistive tool needs oleacc, and most runs never open one or meet one.
// Null when the library or the entry is missing.
AnyEntry SystemEntry(const char* library, const char* name);

// The executable's folder with its trailing backslash; empty when the
// module's path cannot be had whole in the buffer.
void ExeDirectory(char* buffer, int capacity);
// The executable's folder followed by name; false, and the buffer empty,
// when the two do not fit together.
bool PathBesideExe(const char* name, char* buffer, int capacity);

// The target's associated icon, owned by whoever stores it; null for an
// absent path or one too long for the shell's path buffer.
HICON ExtractTargetIcon(const char* path);

// Asks the shell to open the target; without a working folder it starts in
// the folder that contains the target. A failure is not reported.
void LaunchTarget(const char* path, const char* workFolder);

// The open-file dialog for a target: the buffer (emptied by the caller)
// receives the chosen path. The filter list defaults to "Exe" and "All Files".
bool ChooseTargetFile(HWND owner, char* buffer, int capacity, const char* filters);
// The folder browser, titled with the text (none when null); the buffer of
// MAX_PATH characters receives the chosen file-system folder. The thread is
// in a COM apartment while the browser is open, and left as it was after.
bool ChooseWorkFolder(HWND owner, const char* title, char* buffer);
// Shows the system's text for the thread's last error in a box captioned
// "Error", then clears the error; answers the code. Without an error
// nothing is shown.
DWORD ShowLastError();

#endif
