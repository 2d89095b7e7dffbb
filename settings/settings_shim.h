// The few system services the settings file needs, so that its logic builds
// and is tested natively with real files on disk.
#ifndef ZRONDEL_SETTINGS_SETTINGS_SHIM_H
#define ZRONDEL_SETTINGS_SETTINGS_SHIM_H

// False when the file or folder is there, and when its drive, medium or
// share is not there now (it may come back); true when that place answers
// and the file or folder cannot be found there.
bool TargetIsGone(const char* path);
// A message box without owner, information icon, OK only.
void ShowSettingsMessage(const char* text, const char* caption);
// Moves source over destination in one step, replacing it.
bool ReplaceFileWith(const char* source, const char* destination);

#ifdef _WIN32
// True when TargetIsGone found the path's drive or share not there; asks
// the system nothing, so nothing waits on an absent share once more.
bool TargetPlaceWasAbsent(const char* path);
#endif

#ifndef _WIN32
// Natively there is no message box: the tests read what would have been shown.
extern int settingsMessageCount;
extern const char* lastSettingsMessageText;
extern const char* lastSettingsMessageCaption;
#endif

#endif
