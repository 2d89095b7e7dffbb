// Runs the launcher inside a test process, the way WinMain does, and reaches
// the files it keeps beside the executable.
#ifndef ZRONDEL_TESTS_LAUNCHER_RUN_H
#define ZRONDEL_TESTS_LAUNCHER_RUN_H

#include <windows.h>

#include <string>

// A path in the folder of the running test executable.
std::string BesideTestExe(const char* name);

// A file of what ships, build/win/dist/<name>, seen from a test executable
// in a folder below build/win/tests.
std::string ShippedPath(const char* name);
// The shipped launcher, build/win/dist/zrondel.exe.
std::string ShippedLauncherPath();

// The whole file, or an empty string when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// A drive letter with no volume, like a stick that is not plugged in, as
// "Q:"; the search goes from Z: down; "" when every letter has a volume.
std::string UnmappedDrive();

// CreateProcessW of the command line (the program's path or null), tried
// again when Wine fails to set the process up; false when it never started.
bool StartCommand(const wchar_t* program, std::wstring commandLine, PROCESS_INFORMATION* started);
// Starts the program as Explorer does, its quoted path as the command line;
// its process handle (the caller closes it), or null.
HANDLE StartProgram(const std::string& exe, DWORD* processId = nullptr);
HANDLE StartProgram(const std::wstring& exe, DWORD* processId = nullptr);

// The screen point of the top-left corner of the icon drawn in a slot's
// sector, where its tooltip is anchored.
POINT SlotIconAnchor(int slot);

// Start-up from the program-wide start values, as a fresh process has them;
// answers start-up's exit code.
int StartTestLauncher();
// Closes the ring window as the close message does, runs the message loop
// to its end and shuts down; answers the loop's code. Nothing happens when
// start-up did not succeed.
int StopTestLauncher();

#endif
