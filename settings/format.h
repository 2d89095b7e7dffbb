// The bytes of settings.dat: the slot table and the program-wide settings.
// Version 3 is written; versions 1, 2 and 3 are read. Little-endian int32
// numbers; texts as counted strings (length, then the bytes and their zero).
// What happens to the file on the disk is file_on_disk's.
#ifndef ZRONDEL_SETTINGS_FORMAT_H
#define ZRONDEL_SETTINGS_FORMAT_H

#include <stdint.h>
#include <stdio.h>

#include "base/slots.h"

// A settings file open for reading. Every read is checked against the bytes
// the file has left, so no stored length can make the reader allocate or
// read more than the file holds.
struct SettingsFile {
    FILE* stream;
    long remaining;    // bytes not read yet
    bool damaged;      // a read failed: the file ended early or a text lacked its zero
    bool unreadable;   // the system failed to give bytes the file has: no damage of the file
    char failure[256]; // the system's words for the first read that failed so
};

// A magic: nine characters and a zero byte.
enum { SETTINGS_MAGIC_SIZE = 10 };

// A version 3 table whose slots hold names outside the code page ends, after
// the trailer, in a block that older builds never read: the magic
// "ZRondelW1", an int32 count of the bytes after it, and per such slot its
// int32 index, the FNV-1a hash of the ANSI target and working folder the
// whole names belong to (so that a block left behind a rewritten slot is
// ignored), and the UTF-16 target and working folder, each an int32 count
// of code units followed, when above 0, by the units and a zero unit.
extern const char kWholeNamesMagic[SETTINGS_MAGIC_SIZE];

// FNV-1a, 32 bits, continued from hash (kHashStart to begin).
enum : uint32_t { kHashStart = 2166136261u };
uint32_t HashBytes(uint32_t hash, const void* bytes, size_t count);

// Version indices of the reader's table.
enum { SETTINGS_V1 = 0, SETTINGS_V2 = 1, SETTINGS_V3 = 2, SETTINGS_UNSUPPORTED = -1 };

int ReadSettingsVersion(SettingsFile* file);
bool WriteSettingsMagic(FILE* stream);
void ReadSlotsV1(SettingsFile* file, LauncherSlot* slots, int capacity);
void ReadSlotsV2(SettingsFile* file, LauncherSlot* slots, int capacity);
void ReadSettingsV3(SettingsFile* file, LauncherSlot* slots, int capacity);
// The magic, then the reader of its version into a fresh table (every text
// absent); may set launcherSettings. The version index, or
// SETTINGS_UNSUPPORTED when nothing was read.
int ReadSettingsContent(SettingsFile* file, LauncherSlot* slots, int capacity);
// Empties a slot as a target found gone does: every text dropped, and the
// hint "You mast define action!" where the file stores hints (version 2
// on), none after version 1.
void ForgetTarget(LauncherSlot* slot, bool hintsStored);
// The whole file in version 3, the trailer from launcherSettings, and the
// whole names' block where a slot has one.
bool WriteSettingsContent(FILE* stream, const LauncherSlot* slots, int count);

// settings.dat.changes ends, after everything else, in its base: the magic
// "ZRondelB1", an int32 16, and the int64 size and last-write time of the
// settings file whose table it changes.
extern const char kBaseMagic[SETTINGS_MAGIC_SIZE];
bool WriteSettingsBase(FILE* stream, long long size, long long writeTime);
// The base, where it is all that is left of the file; false, and nothing
// read, where it is not.
bool ReadSettingsBase(SettingsFile* file, long long* size, long long* writeTime);

#endif
