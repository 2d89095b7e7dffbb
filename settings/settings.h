// settings.dat: the slot table and the program-wide settings between runs.
// Version 3 is written; versions 1, 2 and 3 are read. Little-endian int32
// numbers; texts as counted strings (length, then the bytes and their zero).
#ifndef ZRONDEL_SETTINGS_SETTINGS_H
#define ZRONDEL_SETTINGS_SETTINGS_H

#include <stdio.h>

#include "app/slots.h"

// A settings file open for reading. Every read is checked against the bytes
// the file has left, so no stored length can make the reader allocate or
// read more than the file holds.
struct SettingsFile {
    FILE* stream;
    long remaining; // bytes not read yet
    bool damaged;   // a read failed: the file ended early or a text lacked its zero
};

// Version indices of the reader's table.
enum { SETTINGS_V1 = 0, SETTINGS_V2 = 1, SETTINGS_V3 = 2, SETTINGS_UNSUPPORTED = -1 };

enum SettingsLoadResult {
    SETTINGS_LOADED,       // read as the format reads it; bytes left over are kept as settings.dat.bak
    SETTINGS_DAMAGED,      // read as far as it was sound; kept as settings.dat.bak
    SETTINGS_NOT_VERSIONED,// no known magic: nothing read; kept as settings.dat.bak
    SETTINGS_UNREADABLE    // could not be opened
};

extern const char kUnsupportedVersionText[];
extern const char kUnsupportedVersionCaption[];
extern const char kDamagedSettingsText[];         // the copy was made
extern const char kDamagedSettingsUncopiedText[]; // the copy could not be made
extern const char kDamagedSettingsCaption[];

// Writes the whole file in version 3 into a new file beside it and replaces
// the old file only once the new one is complete and on the disk; false when
// the old file was left as it was.
bool SaveSettings(const char* path, const LauncherSlot* slots, int count);
// Reads the file into a fresh slot table (every text absent) and may set
// launcherSettings. A file that cannot be read whole is copied to
// path + ".bak" before anything can overwrite it, and reported.
SettingsLoadResult LoadSettings(const char* path, LauncherSlot* slots, int capacity);
// Copies the file byte for byte to path + ".bak", replacing an older copy,
// and hands the copy to the disk; false when it could not be made whole.
bool BackUpSettingsFile(const char* path);

int ReadSettingsVersion(SettingsFile* file);
bool WriteSettingsMagic(FILE* stream);
void ReadSlotsV1(SettingsFile* file, LauncherSlot* slots, int capacity);
void ReadSlotsV2(SettingsFile* file, LauncherSlot* slots, int capacity);
void ReadSettingsV3(SettingsFile* file, LauncherSlot* slots, int capacity);

#endif
