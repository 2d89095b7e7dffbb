// The few system services the settings file needs, so that its logic builds
// and is tested natively with real files on disk.
#ifndef ZRONDEL_SETTINGS_SETTINGS_SHIM_H
#define ZRONDEL_SETTINGS_SETTINGS_SHIM_H

#include <stdio.h>

// True when a file or folder exists at path.
bool PathExists(const char* path);
// False when the file or folder is there, and when its drive, medium or
// share is not there now (it may come back); true when that place answers
// and the file or folder cannot be found there. The whole UTF-16 name,
// where given, is the one asked for.
bool TargetIsGone(const char* path, const char16_t* whole);
// A message box owned by the window last handed over (none before the
// ring is made), information icon, OK only: the ring cannot take a command
// while it is up.
void ShowSettingsMessage(const char* text, const char* caption);
void SetSettingsMessageOwner(void* owner);
// An ANSI name as the system's code page reads it, in UTF-16: a heap copy;
// null where the bytes name no text in it, or without memory.
char16_t* WholeNameOf(const char* ansi);
// Moves source over destination in one step, replacing it.
bool ReplaceFileWith(const char* source, const char* destination);
// Moves a file (never a folder) to a name that nothing holds; false when
// the name is taken or the file cannot be moved.
bool MoveFileTo(const char* source, const char* destination);
// Deletes a file (never a folder); false when there is none or it is held.
bool RemoveFile(const char* path);

// The file opened for binary reading; null when it cannot be opened now,
// for instance while another program holds it. Reading may still fail, as
// for a locked range or a cloud file that is offline.
FILE* OpenForReading(const char* path);
// A file made anew and opened for binary writing; null when the name is
// taken (by a file or a folder) or cannot be made. A file that is there
// already is never opened, so it is never cut short.
FILE* CreateNewFile(const char* path);
// Hands the written bytes to the disk itself, not only to the system's
// cache, so that a power cut after a save finds them whole.
bool FlushToDisk(FILE* stream);
// The size and last-write time of the file at path; false when there is none.
bool FileStamp(const char* path, long long* size, long long* writeTime);
// True when the replace of destination by source just refused was refused
// because another program holds either open or locked for a moment: a
// sharing or lock violation, which a rename over a held file reports as
// access denied. The system's reason for the refusal stays as it was.
bool ReplaceRefusalPasses(const char* source, const char* destination);
// The lock file beside settings.dat opened by this copy alone: no other
// opener shares it, until it is closed. Null when it is not to be had;
// *busy then tells whether another copy holds it now.
void* OpenLockFile(const char* path, bool* busy);
// Closes it; the file goes with the last holder.
void CloseLockFile(void* lock);
// The system's words for why the last file operation failed.
void DescribeLastFileError(char* text, int capacity);
void PauseMilliseconds(int milliseconds);

#ifdef _WIN32
// True when TargetIsGone found the path's drive or share not there; asks
// the system nothing, so nothing waits on an absent share once more.
bool TargetPlaceWasAbsent(const char* path);
// The same place on the drive the launcher runs from, where a drive-letter
// path is not there as stored but is there: a heap copy; null where the
// path is used as stored. What is stored stays as stored, so that it works
// again where the drive has its old letter. A launcher on the drive Windows
// runs from never moves a path: there the file may be anyone's.
wchar_t* OnLauncherDrive(const wchar_t* path);
#endif

#ifndef _WIN32
// Natively there is no message box: the tests read what would have been shown.
extern int settingsMessageCount;
// Called while a box is up, as the box's own message loop runs timers.
extern void (*whileSettingsMessageShown)();
extern const char* lastSettingsMessageText;
extern const char* lastSettingsMessageCaption;
// How many of the next opens for reading fail, as while another program
// holds the file; and how long the pauses would have lasted in all.
extern int settingsOpenFailures;
extern int settingsPausedMilliseconds;
// The faults of a user's machine, as the system shows them on Windows: a
// file that another program holds (opening, replacing and moving it fail),
// how many of the next opens give a stream whose reads fail, and how many
// of the next replaces fail as while a scanner holds the new file.
extern const char* settingsHeldPath;
extern int settingsReadFailures;
extern int settingsReplaceFailures;
// When 0 or more: how many more changes to the disk (a file made, flushed,
// replaced, moved or deleted) the process makes before it is killed, as by
// a power cut or the task manager: from then on none reaches the disk, and
// a file being flushed keeps half of what was written to it. -1 lives on.
extern int settingsKillCountdown;
// A kill that strikes a replace strikes after the old file is gone, as a
// stick pulled from a FAT drive, which replaces in two steps.
extern bool settingsPulledReplace;
// Called right after a replace has put the new file in place: another
// copy or a sync tool acting at that moment.
extern void (*afterSettingsReplace)();
// The code page ANSI names are in: 1252 (each byte its own code point)
// or 1251 (Cyrillic letters from 0xC0). A name without a whole one is
// asked for in it, as the system asks.
extern int settingsCodePage;
#endif

#endif
