#include "settings/file_on_disk.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "settings/settings_shim.h"

const char kUnsupportedVersionText[] = "Version of setings not supported.\nProgram will clear settings";
const char kUnsupportedVersionCaption[] = "Check for program updates";
const char kDamagedSettingsText[] = "Settings file is damaged.\nA copy of it is kept in settings.dat.bak";
const char kDamagedSettingsUncopiedText[] = "Settings file is damaged.";
const char kDamagedSettingsCaption[] = "[Z]Rondel";

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

// settings.dat.lock while this copy checks and replaces the file: other
// copies that take it wait their turn, so none of them is in the middle of
// a save, and what lies under the temporary names is no save in progress.
static void* heldLock;
static int lockDepth; // nested takes of it by this copy

void LockSettingsFile(const char* path)
{
    if (lockDepth++ > 0)
        return;
    const int kTries = 20, kPauseMilliseconds = 50;
    char* name = static_cast<char*>(malloc(strlen(path) + sizeof ".lock"));
    bool busy = name != nullptr;
    if (name) {
        strcpy(name, path);
        strcat(name, ".lock");
    }
    for (int tried = 1; busy && !(heldLock = OpenLockFile(name, &busy)) && busy && tried < kTries; ++tried)
        PauseMilliseconds(kPauseMilliseconds);
    free(name);
}

void UnlockSettingsFile()
{
    if (lockDepth > 0 && --lockDepth == 0 && heldLock) {
        CloseLockFile(heldLock);
        heldLock = nullptr;
    }
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
    char head[SETTINGS_MAGIC_SIZE];
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
    if (BeginsAlike(name, "ZRondelV3", SETTINGS_MAGIC_SIZE))
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

// A new file is written under a sibling's name that differs from the
// original's in the last character only: as long as that name, it fits
// wherever the original fits, even in a folder at the path length limit.
static const char kLastCharacters[] = "~_0123456789";

// The next sibling's name after the one in `name` (the original's at
// first), its last character changed in place; false after the last.
static bool NextSiblingName(char* name, const char* original, const char** candidate)
{
    const size_t end = strlen(original) - 1;
    *candidate = *candidate ? *candidate + 1 : kLastCharacters;
    if (**candidate && **candidate == original[end])
        ++*candidate;
    if (!**candidate)
        return false;
    name[end] = **candidate;
    return true;
}

// What a file under a temporary name holds: a whole table as this writer
// writes it (what a save cut short after its new file was complete, by a
// stick pulled during the replace, left), something else, or bytes that
// cannot be read now. The reason of an earlier failure stays.
enum LeftoverKind { LEFTOVER_COMPLETE, LEFTOVER_USELESS, LEFTOVER_UNREADABLE };

static LeftoverKind KindOfLeftover(const char* name)
{
    if (!BeginsAlike(name, "ZRondelV3", SETTINGS_MAGIC_SIZE))
        return LEFTOVER_USELESS;
    char reason[sizeof lastFailure];
    memcpy(reason, lastFailure, sizeof reason);
    const LauncherSettings before = launcherSettings;
    LauncherSlot* table = AllocateSlotTable();
    bool leftOver = true;
    const SettingsLoadResult result =
        table ? ReadSettingsFile(name, table, SLOT_COUNT, &leftOver, nullptr) : SETTINGS_UNREADABLE;
    FreeSlotTable(table);
    launcherSettings = before;
    memcpy(lastFailure, reason, sizeof reason);
    if (result == SETTINGS_UNREADABLE)
        return LEFTOVER_UNREADABLE;
    return result == SETTINGS_LOADED && !leftOver ? LEFTOVER_COMPLETE : LEFTOVER_USELESS;
}

// A name taken by somebody (a folder, a file, one held open) is passed
// over, never opened: a save must not cut short a file it did not make.
// What a save or a copy killed halfway left is ours, and cleared away, so
// that such leftovers never use up the names; but a complete table, or
// one that cannot be read now, stays until a save has succeeded. The name chosen is left in `name`.
static FILE* CreateTemporarySibling(char* name, const char* settingsPath)
{
    char* original = CopyText(name);
    FILE* stream = nullptr;
    for (const char* candidate = nullptr; original && !stream && NextSiblingName(name, original, &candidate);) {
        stream = CreateNewFile(name);
        if (!stream) {
            NoteFailure(); // before the look at a leftover can change the reason
            if (heldLock && IsOwnLeftover(name, settingsPath) && KindOfLeftover(name) == LEFTOVER_USELESS && RemoveFile(name) &&
                !(stream = CreateNewFile(name)))
                NoteFailure();
        }
    }
    free(original);
    return stream;
}

// Once a save has succeeded, the tables that saves cut short left beside
// the file are of no more use; without the lock one may be another copy's
// save in progress, and all stay.
static void ClearLeftovers(const char* path)
{
    char* name = heldLock ? CopyText(path) : nullptr;
    for (const char* candidate = nullptr; name && NextSiblingName(name, path, &candidate);) {
        if (BeginsAlike(name, "ZRondelV3", SETTINGS_MAGIC_SIZE) && PathExists(name))
            RemoveFile(name);
    }
    free(name);
}

char* NewestCompleteLeftover(const char* path)
{
    char* name = CopyText(path);
    char* newest = nullptr;
    long long newestTime = 0, size, time;
    for (const char* candidate = nullptr; name && NextSiblingName(name, path, &candidate);) {
        if (FileStamp(name, &size, &time) && (!newest || time > newestTime) &&
            KindOfLeftover(name) == LEFTOVER_COMPLETE) {
            free(newest);
            newest = CopyText(name);
            newestTime = time;
        }
    }
    free(name);
    return newest;
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

// A scanner or a backup tool may look at the new file for a moment; any
// other refusal (a read-only file, a missing folder) stays, and is not
// waited for.
static bool ReplaceSoon(const char* source, const char* destination)
{
    const int kTries = 10, kPauseMilliseconds = 100;
    for (int tried = 1; !ReplaceFileWith(source, destination); ++tried) {
        const bool passing = ReplaceRefusalPasses(source, destination);
        NoteFailure();
        if (tried == kTries || !passing)
            return false;
        PauseMilliseconds(kPauseMilliseconds);
    }
    return true;
}

bool TakeFingerprint(const char* path, FileFingerprint* print)
{
    *print = FileFingerprint();
    if (!FileStamp(path, &print->size, &print->writeTime))
        return true;
    print->present = true; // with its size and time, even where its bytes cannot be read
    FILE* stream = OpenForReading(path);
    if (!stream)
        return false;
    print->hash = kHashStart;
    unsigned char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, stream)) > 0)
        print->hash = HashBytes(print->hash, buffer, count);
    bool read = !ferror(stream);
    fclose(stream);
    return read;
}

bool SameFingerprint(const FileFingerprint& first, const FileFingerprint& second)
{
    return first.present == second.present && first.size == second.size &&
           first.writeTime == second.writeTime && first.hash == second.hash;
}

static bool SameBytes(const char* first, const char* second);

bool SaveSettings(const char* path, const LauncherSlot* slots, int count, FileFingerprint* written,
                  const FileFingerprint* base)
{
    // The old file is replaced only by a complete new one that has reached
    // the disk, so a full disk, a kill in the middle of writing or a power
    // cut never costs the user their settings.
    char* temporary;
    FILE* stream = CreateNewSibling(path, path, &temporary);
    if (!stream)
        return false;
    bool saved = FinishNewFile(stream, temporary, WriteSettingsContent(stream, slots, count) &&
                                                      (!base || WriteSettingsBase(stream, base->size, base->writeTime)));
    // The same bytes again: nothing to replace, nothing to refuse.
    const bool same = saved && SameBytes(temporary, path);
    // Taken of this copy's own bytes before they are in place: whatever
    // replaces them after that counts as another copy's save.
    FileFingerprint print;
    if (saved && !TakeFingerprint(same ? path : temporary, &print))
        print.present = false; // unknown: the next save reads the file again
    saved = saved && (same || ReplaceSoon(temporary, path));
    if (!saved || same)
        RemoveFile(temporary);
    free(temporary);
    if (saved)
        ClearLeftovers(path);
    if (saved && written)
        *written = print;
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

static long StreamSize(FILE* stream)
{
    if (fseek(stream, 0, SEEK_END) != 0)
        return -1;
    long size = ftell(stream);
    return fseek(stream, 0, SEEK_SET) == 0 ? size : -1;
}

// What ReadSettingsFile reads, and the version of the format it read.
static SettingsLoadResult ReadVersionedFile(const char* path, LauncherSlot* slots, int capacity, bool* leftOver,
                                            FileFingerprint* read, int* version, FileFingerprint* base = nullptr)
{
    *leftOver = false;
    *version = SETTINGS_UNSUPPORTED;
    // Taken first: bytes another copy writes meanwhile make the file look
    // changed at the next save, never unchanged.
    FileFingerprint print;
    if (!TakeFingerprint(path, &print)) {
        NoteFailure();
        return SETTINGS_UNREADABLE;
    }
    FILE* stream = OpenForReading(path);
    if (!stream) {
        NoteFailure();
        return SETTINGS_UNREADABLE;
    }
    long size = StreamSize(stream);
    SettingsFile file = {stream, size, size < 0, size < 0, ""};
    if (size < 0)
        NoteFailure();
    if (!file.unreadable)
        *version = ReadSettingsContent(&file, slots, capacity);
    if (base && *version == SETTINGS_V3 && !file.damaged && file.remaining > 0)
        base->present = ReadSettingsBase(&file, &base->size, &base->writeTime);
    fclose(stream);
    if (file.unreadable) {
        if (size >= 0)
            memcpy(lastFailure, file.failure, sizeof lastFailure);
        return SETTINGS_UNREADABLE;
    }
    if (read)
        *read = print;
    if (*version == SETTINGS_UNSUPPORTED)
        return SETTINGS_NOT_VERSIONED;
    if (file.damaged)
        return SETTINGS_DAMAGED;
    *leftOver = file.remaining != 0;
    return SETTINGS_LOADED;
}

SettingsLoadResult ReadSettingsFile(const char* path, LauncherSlot* slots, int capacity, bool* leftOver,
                                    FileFingerprint* read, FileFingerprint* base)
{
    int version;
    if (base)
        *base = FileFingerprint();
    return ReadVersionedFile(path, slots, capacity, leftOver, read, &version, base);
}

SettingsLoadResult LoadSettings(const char* path, LauncherSlot* slots, int capacity, bool* copyOwed,
                                FileFingerprint* read, bool* hintsStored)
{
    bool leftOver;
    int version;
    SettingsLoadResult result = ReadVersionedFile(path, slots, capacity, &leftOver, read, &version);
    if (hintsStored)
        *hintsStored = version != SETTINGS_V1;
    bool owed = false;
    if (result == SETTINGS_NOT_VERSIONED) {
        owed = !BackUpSettingsFile(path);
        ShowSettingsMessage(kUnsupportedVersionText, kUnsupportedVersionCaption);
    } else if (result == SETTINGS_DAMAGED) {
        owed = !BackUpSettingsFile(path);
        ShowSettingsMessage(owed ? kDamagedSettingsUncopiedText : kDamagedSettingsText, kDamagedSettingsCaption);
    } else if (result == SETTINGS_LOADED) {
        // Bytes left over (entries beyond the table's 24, or whatever
        // follows the trailer) are no damage, but the next save drops
        // them: a quiet copy keeps them.
        owed = leftOver && !BackUpSettingsFile(path);
    }
    if (copyOwed)
        *copyOwed = owed;
    return result;
}
