#include "settings/format.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "settings/settings_shim.h"

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
    return WriteBytes(stream, "ZRondelV3", SETTINGS_MAGIC_SIZE);
}

static bool WriteSlot(FILE* stream, const LauncherSlot* slot)
{
    // An empty slot is a single zero length, whatever else it still holds.
    if (!slot->target || !slot->target[0])
        return WriteInt32(stream, 0);
    return WriteCountedText(stream, slot->target) && WriteCountedText(stream, slot->workFolder) &&
           WriteCountedText(stream, slot->extra) && WriteCountedText(stream, slot->hint);
}

bool WriteSettingsContent(FILE* stream, const LauncherSlot* slots, int count)
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
            DescribeLastFileError(file->failure, sizeof file->failure);
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
    char magic[SETTINGS_MAGIC_SIZE];
    if (!ReadBytes(file, magic, SETTINGS_MAGIC_SIZE))
        return SETTINGS_UNSUPPORTED;
    magic[SETTINGS_MAGIC_SIZE - 1] = '\0'; // the tenth byte plays no part
    for (int version = SETTINGS_V3; version >= SETTINGS_V1; --version) {
        if (memcmp(magic, magics[version], SETTINGS_MAGIC_SIZE) == 0)
            return version;
    }
    return SETTINGS_UNSUPPORTED;
}

// How an entry of versions 1 to 3 begins: a length of 0 or less, a target
// that is no longer there (or empty), a target, or a file that ended.
enum EntryStart { ENTRY_EMPTY, ENTRY_GONE, ENTRY_TARGET, ENTRY_CUT };

static EntryStart ReadEntryTarget(SettingsFile* file, char** target)
{
    int32_t length;
    if (!ReadInt32(file, &length))
        return ENTRY_CUT;
    if (length <= 0)
        return ENTRY_EMPTY;
    *target = ReadText(file, length);
    if (!*target)
        return ENTRY_CUT;
    if (!(*target)[0] || TargetIsGone(*target)) {
        free(*target);
        *target = nullptr;
        return ENTRY_GONE;
    }
    return ENTRY_TARGET;
}

// The entries of version 1 (a target each) or of versions 2 and 3 (four
// texts each).
static void ReadEntries(SettingsFile* file, LauncherSlot* slots, int capacity, bool fourTexts)
{
    int count = ReadSlotCount(file, capacity);
    for (int i = 0; i < count && !file->damaged; ++i) {
        LauncherSlot* slot = &slots[i];
        char* target = nullptr;
        const EntryStart start = ReadEntryTarget(file, &target);
        if (start == ENTRY_CUT)
            break;
        if (start != ENTRY_TARGET) {
            // Version 1 leaves a gone target's slot without a hint.
            if (start == ENTRY_EMPTY || fourTexts)
                slot->hint = CopyText(kDefaultHint);
            // Skip a gone target's other texts so the next entry starts in place.
            for (int skipped = 0; fourTexts && start == ENTRY_GONE && skipped < 3; ++skipped)
                free(ReadCountedText(file));
            continue;
        }
        slot->target = target;
        if (fourTexts) {
            slot->workFolder = ReadCountedText(file);
            slot->extra = ReadCountedText(file);
            slot->hint = ReadCountedText(file);
        }
        if (!slot->hint)
            slot->hint = DeriveHint(target);
    }
}

void ReadSlotsV1(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    ReadEntries(file, slots, capacity, false);
}

void ReadSlotsV2(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    ReadEntries(file, slots, capacity, true);
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


int ReadSettingsContent(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    typedef void (*SettingsReader)(SettingsFile*, LauncherSlot*, int);
    static const SettingsReader readers[] = {ReadSlotsV1, ReadSlotsV2, ReadSettingsV3};
    int version = ReadSettingsVersion(file);
    if (version != SETTINGS_UNSUPPORTED)
        readers[version](file, slots, capacity);
    return version;
}
