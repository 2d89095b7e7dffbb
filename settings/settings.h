// settings.dat: the slot table and the program-wide settings between runs.
// Version 3 is written; versions 1, 2 and 3 are read. Little-endian int32
// numbers; texts as counted strings (length, then the bytes and their zero).
#ifndef ZRONDEL_SETTINGS_SETTINGS_H
#define ZRONDEL_SETTINGS_SETTINGS_H

#include <stdio.h>

#include "base/slots.h"

// A settings file open for reading. Every read is checked against the bytes
// the file has left, so no stored length can make the reader allocate or
// read more than the file holds.
struct SettingsFile {
    FILE* stream;
    long remaining;  // bytes not read yet
    bool damaged;    // a read failed: the file ended early or a text lacked its zero
    bool unreadable; // the system failed to give bytes the file has: no damage of the file
};

// Version indices of the reader's table.
enum { SETTINGS_V1 = 0, SETTINGS_V2 = 1, SETTINGS_V3 = 2, SETTINGS_UNSUPPORTED = -1 };

enum SettingsLoadResult {
    SETTINGS_LOADED,       // read as the format reads it; bytes left over are kept as settings.dat.bak
    SETTINGS_DAMAGED,      // read as far as it was sound; kept as settings.dat.bak
    SETTINGS_NOT_VERSIONED,// no known magic: nothing read; kept as settings.dat.bak
    SETTINGS_UNREADABLE    // could not be opened or read whole; the table may hold part of it
};

extern const char kUnsupportedVersionText[];
extern const char kUnsupportedVersionCaption[];
extern const char kDamagedSettingsText[];         // the copy was made
extern const char kDamagedSettingsUncopiedText[]; // the copy could not be made
extern const char kDamagedSettingsCaption[];

// Writes the whole file in version 3 into a new file beside it and replaces
// the old file only once the new one is complete and on the disk; a replace
// refused for a moment (a scanner looking at the new file) is tried again.
// False when the old file was left as it was.
bool SaveSettings(const char* path, const LauncherSlot* slots, int count);
// Reads the file into a fresh slot table (every text absent) and may set
// launcherSettings. A file that the format cannot read whole is copied to
// path + ".bak" before anything can overwrite it, and reported;
// copyOwed tells whether that copy still has to be made.
SettingsLoadResult LoadSettings(const char* path, LauncherSlot* slots, int capacity, bool* copyOwed = nullptr);

// Backups: path + ".bak" is the newest, ".bak2" and ".bak3" the two before
// it. A new one is written under a name of its own and renamed into place;
// no backup is ever written over, and only the oldest makes room.
// The file's bytes as a new backup; false when it could not be made whole.
bool BackUpSettingsFile(const char* path);
// The table, as SaveSettings would write it, as a new backup of path.
bool SaveSettingsAsBackup(const char* path, const LauncherSlot* slots, int count);
// The system's words for why the last save, backup or read failed.
const char* LastSettingsFailure();

int ReadSettingsVersion(SettingsFile* file);
bool WriteSettingsMagic(FILE* stream);
void ReadSlotsV1(SettingsFile* file, LauncherSlot* slots, int capacity);
void ReadSlotsV2(SettingsFile* file, LauncherSlot* slots, int capacity);
void ReadSettingsV3(SettingsFile* file, LauncherSlot* slots, int capacity);

#endif
