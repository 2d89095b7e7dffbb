// The one home of the launcher's saved settings: settings.dat beside the
// executable, read once at start and written after every change and at the
// end. It keeps the rules that stop a save from destroying the user's file:
// a file held by another program is waited for, a file that still cannot be
// read is reported and never replaced before its bytes are kept in
// settings.dat.bak, and every save reaches the disk before it replaces the
// old file.
#ifndef ZRONDEL_SETTINGS_STORE_H
#define ZRONDEL_SETTINGS_STORE_H

#include "app/slots.h"

extern const char kUnreadableSettingsText[];    // "Settings file cannot be read:"
extern const char kUnreadableSettingsKeptText[]; // what happens to it then

// Remembers the settings file and the table it holds for the rest of the
// run; false when there is no memory for the path.
bool OpenSettingsStore(const char* path, LauncherSlot* slots);
// Reads the file into the fresh table. Without a file this is a first start,
// which shows the ring. A file that stays unreadable for about two seconds is
// reported once, naming it and the system's reason, and the table stays empty.
void LoadStoredSettings();
// Writes the table and the program-wide values; false when the file on disk
// was left as it was, because the save failed or has to wait until the
// unread file can be kept as settings.dat.bak.
bool SaveLauncherSettings();
// Forgets the file and the table at the end of the run.
void CloseSettingsStore();

#endif
