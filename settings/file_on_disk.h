// settings.dat on the disk: every save writes a new file under a temporary
// name beside it and replaces the old one only once the new one is whole
// on the disk; backups keep bytes a save would drop; a fingerprint tells
// whether somebody else wrote the file since this copy last saw it. The
// bytes themselves are the format's.
#ifndef ZRONDEL_SETTINGS_FILE_ON_DISK_H
#define ZRONDEL_SETTINGS_FILE_ON_DISK_H

#include <stdint.h>

#include "settings/format.h"

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

// The file as one copy of the launcher saw it: another copy's save changes
// at least one of these.
struct FileFingerprint {
    bool present;        // a file was there
    long long size;      // its bytes
    long long writeTime; // its last-write time, in the system's units
    uint32_t hash;       // FNV-1a of its bytes
};

// The file as it is now; false when it is there but its bytes cannot be
// read, so that only its size and time can be told.
bool TakeFingerprint(const char* path, FileFingerprint* print);
bool SameFingerprint(const FileFingerprint& first, const FileFingerprint& second);

// Takes settings.dat.lock beside path for this copy, waiting briefly while
// another copy holds it, and goes on without it after that; nested takes
// count. Leftovers of saves are cleared only while it is held.
void LockSettingsFile(const char* path);
void UnlockSettingsFile();

// Writes the whole file in version 3 into a new file beside it and replaces
// the old file only once the new one is complete and on the disk; a replace
// refused by a sharing or lock violation is tried again. A file that holds
// these bytes already is left as it is. False when the old file was left as
// it was; otherwise *written, where given, is the file this copy put there,
// fingerprinted before it was put in place. A base, where given, is
// written after the table (settings.dat.changes).
bool SaveSettings(const char* path, const LauncherSlot* slots, int count, FileFingerprint* written = nullptr,
                  const FileFingerprint* base = nullptr);
// Reads the file into a fresh slot table (every text absent) and may set
// launcherSettings, as a start reads it. A file that the format cannot read
// whole is copied to path + ".bak" before anything can overwrite it, and
// reported; copyOwed tells whether that copy still has to be made, and
// hintsStored whether the file's version stores hints, which decides how a
// slot whose target is found gone is emptied (ForgetTarget). No target is
// looked at: that is the ring's workers' to do after start.
SettingsLoadResult LoadSettings(const char* path, LauncherSlot* slots, int capacity, bool* copyOwed = nullptr,
                                FileFingerprint* read = nullptr, bool* hintsStored = nullptr);
// What LoadSettings reads, without a box, a copy or a look at any target,
// as every read for a merge, a catch-up or a leftover is made; *leftOver
// tells whether a sound file has bytes after what the format reads;
// *base, where asked for, is the base a side file ends in (not present
// where it has none).
SettingsLoadResult ReadSettingsFile(const char* path, LauncherSlot* slots, int capacity, bool* leftOver,
                                    FileFingerprint* read, FileFingerprint* base = nullptr);

// The newest file that a save of path left under its temporary name with
// a complete table in it (a stick pulled during the replace): a heap copy
// of its name, or null. Such files stay until a save of path succeeds.
char* NewestCompleteLeftover(const char* path);

// Backups: path + ".bak" is the newest, ".bak2" and ".bak3" the two before
// it. A new one is written under a name of its own and renamed into place;
// no backup is ever written over, and only the oldest makes room.
// The file's bytes as a new backup; false when it could not be made whole.
bool BackUpSettingsFile(const char* path);
// The table, as SaveSettings would write it, as a new backup of path.
bool SaveSettingsAsBackup(const char* path, const LauncherSlot* slots, int count);
// The system's words for why the last save, backup or read failed.
const char* LastSettingsFailure();

#endif
