// The few system services the settings file needs, so that its logic builds
// and is tested natively with real files on disk.
#ifndef ZRONDEL_SETTINGS_SETTINGS_SHIM_H
#define ZRONDEL_SETTINGS_SETTINGS_SHIM_H

// True when a file or folder exists at path.
bool PathExists(const char* path);
// A message box without owner, information icon, OK only.
void ShowSettingsMessage(const char* text, const char* caption);
// Moves source over destination in one step, replacing it.
bool ReplaceFileWith(const char* source, const char* destination);

#ifndef _WIN32
// Natively there is no message box: the tests read what would have been shown.
extern int settingsMessageCount;
extern const char* lastSettingsMessageText;
extern const char* lastSettingsMessageCaption;
#endif

#endif
