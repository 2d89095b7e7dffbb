#include "settings/settings.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "settings/settings_shim.h"

const char kUnsupportedVersionText[] = "Version of setings not supported.\nProgram will clear settings";
const char kUnsupportedVersionCaption[] = "Check for program updates";
const char kDamagedSettingsText[] = "Settings file is damaged.\nA copy of it is kept in settings.dat.bak";
const char kDamagedSettingsUncopiedText[] = "Settings file is damaged.";
const char kDamagedSettingsCaption[] = "[Z]Rondel";

enum { MAGIC_SIZE = 10 };

// --- writing -------------------------------------------------------------

static bool WriteBytes(FILE* stream, const void* bytes, size_t count)
{
    return fwrite(bytes, 1, count, stream) == count;
}

static bool WriteInt32(FILE* stream, int32_t value)
{
    uint32_t bits = static_cast<uint32_t>(value);
    unsigned char bytes[4] = {
        static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
        static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
    return WriteBytes(stream, bytes, 4);
}

// Length 0 and no bytes for an absent or empty text.
static bool WriteCountedText(FILE* stream, const char* text)
{
    int32_t length = text ? static_cast<int32_t>(strlen(text)) : 0;
    return WriteInt32(stream, length) && (length == 0 || WriteBytes(stream, text, length + 1));
}

bool WriteSettingsMagic(FILE* stream)
{
    return WriteBytes(stream, "ZRondelV3", MAGIC_SIZE);
}

static bool WriteSlot(FILE* stream, const LauncherSlot* slot)
{
    // An empty slot is a single zero length, whatever else it still holds.
    if (!slot->target || !slot->target[0])
        return WriteInt32(stream, 0);
    return WriteCountedText(stream, slot->target) && WriteCountedText(stream, slot->workFolder) &&
           WriteCountedText(stream, slot->extra) && WriteCountedText(stream, slot->hint);
}

static bool WriteSettingsContent(FILE* stream, const LauncherSlot* slots, int count)
{
    if (!WriteSettingsMagic(stream) || !WriteInt32(stream, count))
        return false;
    for (int i = 0; i < count; ++i) {
        if (!WriteSlot(stream, &slots[i]))
            return false;
    }
    unsigned char flags[2] = {static_cast<unsigned char>(launcherSettings.hideAfterLaunch ? 1 : 0),
                              static_cast<unsigned char>(launcherSettings.showAtStart ? 1 : 0)};
    return WriteBytes(stream, flags, 2) && WriteInt32(stream, launcherSettings.windowLeft) &&
           WriteInt32(stream, launcherSettings.windowTop);
}

// Why the last save, backup or read failed, in the system's words; taken
// at the failing call, before any cleaning up can change the system's error.
static char lastFailure[256];

static void NoteFailure()
{
    DescribeLastFileError(lastFailure, sizeof lastFailure);
}

const char* LastSettingsFailure()
{
    return lastFailure;
}

// True when both streams give the same bytes up to where the first one
// ends: the first holds the start of the second.
static bool IsStartOf(FILE* first, FILE* second)
{
    char a[4096], b[sizeof a];
    size_t count;
    while ((count = fread(a, 1, sizeof a, first)) > 0) {
        if (fread(b, 1, count, second) != count || memcmp(a, b, count) != 0)
            return false;
    }
    return !ferror(first);
}

// Whether the file at path holds a start of the given bytes, or they a start
// of it.
static bool BeginsAlike(const char* path, const char* bytes, size_t count)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    char head[MAGIC_SIZE];
    size_t read = fread(head, 1, count < sizeof head ? count : sizeof head, file);
    bool alike = !ferror(file) && memcmp(head, bytes, read) == 0;
    fclose(file);
    return alike;
}

// A file under one of the temporary names that a save or a backup killed
// halfway could have left: the start of a settings file as this writer
// makes them, or the start of the settings file (a copy being made of it,
// which is never replaced before the copy is whole).
static bool IsOwnLeftover(const char* name, const char* settingsPath)
{
    if (BeginsAlike(name, "ZRondelV3", MAGIC_SIZE))
        return true;
    FILE* leftover = fopen(name, "rb");
    FILE* settings = leftover ? fopen(settingsPath, "rb") : nullptr;
    bool ours = settings && IsStartOf(leftover, settings);
    if (settings)
        fclose(settings);
    if (leftover)
        fclose(leftover);
    return ours;
}

// The new file is written under a sibling's name that differs from the
// original's in the last character only: as long as that name, it fits
// wherever the original fits, even in a folder at the path length limit. A
// name taken by somebody (a folder, a file, one held open) is passed over,
// never opened: a save must not cut short a file it did not make. What a
// save or a copy killed halfway left is ours, and cleared away, so that
// such leftovers never use up the names. The name chosen is left in `name`.
static FILE* CreateTemporarySibling(char* name, const char* settingsPath)
{
    static const char kLastCharacters[] = "~_0123456789";
    char* last = name + strlen(name) - 1;
    const char own = *last;
    for (const char* candidate = kLastCharacters; *candidate; ++candidate) {
        if (*candidate == own)
            continue;
        *last = *candidate;
        FILE* stream = CreateNewFile(name);
        if (!stream && IsOwnLeftover(name, settingsPath) && RemoveFile(name))
            stream = CreateNewFile(name);
        if (stream)
            return stream;
    }
    NoteFailure();
    return nullptr;
}

// A new file beside `original` whose name is left in a heap copy in *name;
// null, and nothing to free, when none can be made.
static FILE* CreateNewSibling(const char* original, const char* settingsPath, char** name)
{
    *name = original[0] ? CopyText(original) : nullptr;
    FILE* stream = *name ? CreateTemporarySibling(*name, settingsPath) : nullptr;
    if (!stream) {
        free(*name);
        *name = nullptr;
    }
    return stream;
}

// Hands what was written to the disk and closes the file; false, and the
// file gone, when any of it failed.
static bool FinishNewFile(FILE* stream, const char* name, bool written)
{
    written = written && FlushToDisk(stream);
    if (!written)
        NoteFailure();
    if (fclose(stream) != 0 && written) {
        NoteFailure();
        written = false;
    }
    if (!written)
        RemoveFile(name);
    return written;
}

// A scanner or a backup tool may look at the new file for a moment.
static bool ReplaceSoon(const char* source, const char* destination)
{
    const int kTries = 10, kPauseMilliseconds = 100;
    for (int tried = 1; !ReplaceFileWith(source, destination); ++tried) {
        if (tried == kTries) {
            NoteFailure();
            return false;
        }
        PauseMilliseconds(kPauseMilliseconds);
    }
    return true;
}

bool SaveSettings(const char* path, const LauncherSlot* slots, int count)
{
    // The old file is replaced only by a complete new one that has reached
    // the disk, so a full disk, a kill in the middle of writing or a power
    // cut never costs the user their settings.
    char* temporary;
    FILE* stream = CreateNewSibling(path, path, &temporary);
    if (!stream)
        return false;
    bool saved = FinishNewFile(stream, temporary, WriteSettingsContent(stream, slots, count)) &&
                 ReplaceSoon(temporary, path);
    if (!saved)
        RemoveFile(temporary);
    free(temporary);
    return saved;
}

static char* JoinText(const char* first, const char* second)
{
    size_t firstLength = strlen(first);
    size_t secondLength = strlen(second);
    char* joined = static_cast<char*>(malloc(firstLength + secondLength + 1));
    if (joined) {
        memcpy(joined, first, firstLength);
        memcpy(joined + firstLength, second, secondLength + 1);
    }
    return joined;
}

// True when both files hold the same bytes.
static bool SameBytes(const char* first, const char* second)
{
    FILE* a = fopen(first, "rb");
    FILE* b = a ? fopen(second, "rb") : nullptr;
    bool same = b && IsStartOf(a, b) && fgetc(b) == EOF && !ferror(b);
    if (b)
        fclose(b);
    if (a)
        fclose(a);
    return same;
}

// Puts the complete new file in place as path + ".bak", the older backups
// moving one generation down and the oldest making room. A backup already
// holding the same bytes is kept instead. Nothing is written over: the
// moves go from the oldest up, each to a free name, and the first that
// fails ends the backup, so that failing again cannot cost another
// generation. The new file is gone afterwards.
static bool PutBackupInPlace(char* newFile, const char* path)
{
    char* newest = JoinText(path, ".bak");
    char* second = JoinText(path, ".bak2");
    char* oldest = JoinText(path, ".bak3");
    bool kept = false;
    if (newest && second && oldest) {
        kept = SameBytes(newFile, newest);
        bool room = kept || !PathExists(newest);
        if (!room) {
            if (PathExists(second))
                RemoveFile(oldest);
            room = (!PathExists(second) || MoveFileTo(second, oldest)) && MoveFileTo(newest, second);
        }
        kept = kept || (room && MoveFileTo(newFile, newest));
        if (!kept)
            NoteFailure();
    }
    RemoveFile(newFile);
    free(newest);
    free(second);
    free(oldest);
    return kept;
}

// A new backup of path from a file written under a name of its own by fill.
static bool WriteBackup(const char* path, bool (*fill)(FILE* stream, const void* source), const void* source)
{
    char* backup = JoinText(path, ".bak");
    char* newFile = nullptr;
    FILE* stream = backup ? CreateNewSibling(backup, path, &newFile) : nullptr;
    bool kept = stream && FinishNewFile(stream, newFile, fill(stream, source)) &&
                PutBackupInPlace(newFile, path);
    free(newFile);
    free(backup);
    return kept;
}

static bool CopyFileInto(FILE* copy, const void* path)
{
    FILE* source = OpenForReading(static_cast<const char*>(path));
    if (!source) {
        NoteFailure();
        return false;
    }
    char buffer[4096];
    size_t count;
    bool copied = true;
    while (copied && (count = fread(buffer, 1, sizeof buffer, source)) > 0)
        copied = fwrite(buffer, 1, count, copy) == count;
    if (ferror(source)) {
        NoteFailure();
        copied = false;
    }
    fclose(source);
    return copied;
}

bool BackUpSettingsFile(const char* path)
{
    return WriteBackup(path, CopyFileInto, path);
}

// The table and its count, for WriteBackup.
struct TableToWrite {
    const LauncherSlot* slots;
    int count;
};

static bool WriteTableInto(FILE* stream, const void* table)
{
    const TableToWrite* written = static_cast<const TableToWrite*>(table);
    return WriteSettingsContent(stream, written->slots, written->count);
}

bool SaveSettingsAsBackup(const char* path, const LauncherSlot* slots, int count)
{
    TableToWrite table = {slots, count};
    return WriteBackup(path, WriteTableInto, &table);
}

// --- reading -------------------------------------------------------------

static bool ReadBytes(SettingsFile* file, void* bytes, long count)
{
    if (file->damaged || count > file->remaining) {
        file->damaged = true;
        return false;
    }
    // Fewer bytes than the file has: the system could not read them (a
    // locked range, a cloud file offline, a share gone), the file may be whole.
    if (fread(bytes, 1, count, file->stream) != static_cast<size_t>(count)) {
        if (!file->unreadable)
            NoteFailure();
        file->damaged = file->unreadable = true;
        return false;
    }
    file->remaining -= count;
    return true;
}

static bool ReadInt32(SettingsFile* file, int32_t* value)
{
    unsigned char bytes[4];
    if (!ReadBytes(file, bytes, 4))
        return false;
    *value = static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                  (static_cast<uint32_t>(bytes[3]) << 24));
    return true;
}

static bool ReadFlag(SettingsFile* file, bool* flag)
{
    unsigned char byte;
    if (!ReadBytes(file, &byte, 1))
        return false;
    *flag = byte != 0;
    return true;
}

// The length + 1 bytes of a text whose length (> 0) was just read; a zero
// inside them ends the text there. Null, and the file damaged, when the file
// has fewer bytes left or they do not end in a zero.
static char* ReadText(SettingsFile* file, int32_t length)
{
    if (file->damaged || length >= file->remaining) {
        file->damaged = true;
        return nullptr;
    }
    char* text = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!text) {
        file->damaged = true;
        return nullptr;
    }
    if (!ReadBytes(file, text, length + 1L) || text[length] != '\0') {
        file->damaged = true;
        free(text);
        return nullptr;
    }
    return text;
}

// A counted string; null for a length of 0 or less, and for a text that
// ends at its first byte: an empty text is an absent one.
static char* ReadCountedText(SettingsFile* file)
{
    int32_t length;
    if (!ReadInt32(file, &length) || length <= 0)
        return nullptr;
    char* text = ReadText(file, length);
    if (text && !text[0]) {
        free(text);
        return nullptr;
    }
    return text;
}

static int ReadSlotCount(SettingsFile* file, int capacity)
{
    int32_t count;
    if (!ReadInt32(file, &count) || count < 0)
        return 0;
    return count > capacity ? capacity : count;
}

int ReadSettingsVersion(SettingsFile* file)
{
    static const char* const magics[] = {"ZRondelV1", "ZRondelV2", "ZRondelV3"};
    char magic[MAGIC_SIZE];
    if (!ReadBytes(file, magic, MAGIC_SIZE))
        return SETTINGS_UNSUPPORTED;
    magic[MAGIC_SIZE - 1] = '\0'; // the tenth byte plays no part
    for (int version = SETTINGS_V3; version >= SETTINGS_V1; --version) {
        if (memcmp(magic, magics[version], MAGIC_SIZE) == 0)
            return version;
    }
    return SETTINGS_UNSUPPORTED;
}

void ReadSlotsV1(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    int count = ReadSlotCount(file, capacity);
    for (int i = 0; i < count && !file->damaged; ++i) {
        LauncherSlot* slot = &slots[i];
        int32_t length;
        if (!ReadInt32(file, &length))
            break;
        if (length <= 0) {
            slot->hint = CopyText(kDefaultHint);
            continue;
        }
        char* target = ReadText(file, length);
        if (!target)
            break;
        if (!target[0] || TargetIsGone(target)) {
            free(target);
            continue;
        }
        slot->target = target;
        slot->hint = DeriveHint(target);
    }
}

void ReadSlotsV2(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    int count = ReadSlotCount(file, capacity);
    for (int i = 0; i < count && !file->damaged; ++i) {
        LauncherSlot* slot = &slots[i];
        int32_t length;
        if (!ReadInt32(file, &length))
            break;
        if (length <= 0) {
            slot->hint = CopyText(kDefaultHint);
            continue;
        }
        char* target = ReadText(file, length);
        if (!target)
            break;
        if (!target[0] || TargetIsGone(target)) {
            free(target);
            slot->hint = CopyText(kDefaultHint);
            // Skip the entry's other texts so the next entry starts in place.
            for (int skipped = 0; skipped < 3; ++skipped)
                free(ReadCountedText(file));
            continue;
        }
        slot->target = target;
        slot->workFolder = ReadCountedText(file);
        slot->extra = ReadCountedText(file);
        slot->hint = ReadCountedText(file);
        if (!slot->hint)
            slot->hint = DeriveHint(target);
    }
}

void ReadSettingsV3(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    ReadSlotsV2(file, slots, capacity);
    // Each value is taken only when the file really holds it.
    bool flag;
    int32_t number;
    if (ReadFlag(file, &flag))
        launcherSettings.hideAfterLaunch = flag;
    if (ReadFlag(file, &flag))
        launcherSettings.showAtStart = flag;
    if (ReadInt32(file, &number))
        launcherSettings.windowLeft = number;
    if (ReadInt32(file, &number))
        launcherSettings.windowTop = number;
}

static long StreamSize(FILE* stream)
{
    if (fseek(stream, 0, SEEK_END) != 0)
        return -1;
    long size = ftell(stream);
    return fseek(stream, 0, SEEK_SET) == 0 ? size : -1;
}

SettingsLoadResult LoadSettings(const char* path, LauncherSlot* slots, int capacity, bool* copyOwed)
{
    typedef void (*SettingsReader)(SettingsFile*, LauncherSlot*, int);
    static const SettingsReader readers[] = {ReadSlotsV1, ReadSlotsV2, ReadSettingsV3};

    bool owed = false;
    SettingsLoadResult result = SETTINGS_UNREADABLE;
    FILE* stream = OpenForReading(path);
    if (!stream) {
        NoteFailure();
    } else {
        long size = StreamSize(stream);
        SettingsFile file = {stream, size, size < 0, size < 0};
        if (size < 0)
            NoteFailure();
        int version = file.unreadable ? SETTINGS_UNSUPPORTED : ReadSettingsVersion(&file);
        if (version != SETTINGS_UNSUPPORTED)
            readers[version](&file, slots, capacity);
        fclose(stream);
        if (file.unreadable) {
            result = SETTINGS_UNREADABLE;
        } else if (version == SETTINGS_UNSUPPORTED) {
            owed = !BackUpSettingsFile(path);
            ShowSettingsMessage(kUnsupportedVersionText, kUnsupportedVersionCaption);
            result = SETTINGS_NOT_VERSIONED;
        } else if (file.damaged) {
            owed = !BackUpSettingsFile(path);
            ShowSettingsMessage(owed ? kDamagedSettingsUncopiedText : kDamagedSettingsText,
                                kDamagedSettingsCaption);
            result = SETTINGS_DAMAGED;
        } else {
            // Bytes left over (entries beyond the table's 24, or whatever
            // follows the trailer) are no damage, but the next save drops
            // them: a quiet copy keeps them.
            owed = file.remaining != 0 && !BackUpSettingsFile(path);
            result = SETTINGS_LOADED;
        }
    }
    if (copyOwed)
        *copyOwed = owed;
    return result;
}
