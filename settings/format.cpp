#include "settings/format.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "settings/settings_shim.h"

const char kWholeNamesMagic[SETTINGS_MAGIC_SIZE] = "ZRondelW1";
const char kBaseMagic[SETTINGS_MAGIC_SIZE] = "ZRondelB1";

// Enough to tell two versions of a small file, or of a slot's names, apart.
uint32_t HashBytes(uint32_t hash, const void* bytes, size_t count)
{
    const unsigned char* byte = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < count; ++i)
        hash = (hash ^ byte[i]) * 16777619u;
    return hash;
}

// The ANSI names of a slot as a save writes them; whole names stored for
// other ones are not this slot's.
static uint32_t SlotNamesHash(const LauncherSlot* slot)
{
    const char* folder = slot->workFolder ? slot->workFolder : "";
    uint32_t hash = HashBytes(kHashStart, slot->target, strlen(slot->target) + 1);
    return HashBytes(hash, folder, strlen(folder));
}

// The whole name a save writes for a name: the one the slot holds, else,
// for a name with a byte outside ASCII, that name as the writer's code page
// reads it, so that a reader with another code page still finds the file.
// A heap copy, or null where there is none.
static char16_t* WholeNameToWrite(const char* ansi, const char16_t* whole)
{
    char16_t* copy = nullptr;
    if (WholeLength(whole))
        ReplaceWholeText(&copy, whole);
    for (const char* byte = ansi; !copy && byte && *byte; ++byte) {
        if (static_cast<unsigned char>(*byte) >= 0x80)
            return WholeNameOf(ansi);
    }
    return copy;
}

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

// Bytes of a counted UTF-16 text: its count, its units and their zero.
static size_t WholeTextSize(const char16_t* text)
{
    size_t length = WholeLength(text);
    return 4 + (length ? (length + 1) * 2 : 0);
}

static bool WriteWholeText(FILE* stream, const char16_t* text)
{
    int32_t length = static_cast<int32_t>(WholeLength(text));
    if (!WriteInt32(stream, length))
        return false;
    for (int32_t i = 0; length > 0 && i <= length; ++i) {
        unsigned char unit[2] = {static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i] >> 8)};
        if (!WriteBytes(stream, unit, 2))
            return false;
    }
    return true;
}

// Nothing where every name is ASCII, so such a file is the version 3 file
// byte for byte. The first pass counts the block's bytes, the second
// writes them.
static bool WriteWholeNames(FILE* stream, const LauncherSlot* slots, int count)
{
    size_t size = 0;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && (size == 0 || !WriteBytes(stream, kWholeNamesMagic, SETTINGS_MAGIC_SIZE) ||
                          !WriteInt32(stream, static_cast<int32_t>(size))))
            return size == 0;
        for (int i = 0; i < count; ++i) {
            const LauncherSlot* slot = &slots[i];
            if (!slot->target || !slot->target[0])
                continue;
            char16_t* target = WholeNameToWrite(slot->target, slot->wholeTarget);
            char16_t* folder = WholeNameToWrite(slot->workFolder, slot->wholeWorkFolder);
            bool written = true;
            if ((target || folder) && pass == 0)
                size += 8 + WholeTextSize(target) + WholeTextSize(folder);
            else if (target || folder)
                written = WriteInt32(stream, i) && WriteInt32(stream, static_cast<int32_t>(SlotNamesHash(slot))) &&
                          WriteWholeText(stream, target) && WriteWholeText(stream, folder);
            free(target);
            free(folder);
            if (!written)
                return false;
        }
    }
    return true;
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
           WriteInt32(stream, launcherSettings.windowTop) && WriteWholeNames(stream, slots, count);
}

static bool WriteInt64(FILE* stream, long long value)
{
    const unsigned long long bits = static_cast<unsigned long long>(value);
    return WriteInt32(stream, static_cast<int32_t>(bits & 0xFFFFFFFFu)) &&
           WriteInt32(stream, static_cast<int32_t>(bits >> 32));
}

bool WriteSettingsBase(FILE* stream, long long size, long long writeTime)
{
    return WriteBytes(stream, kBaseMagic, SETTINGS_MAGIC_SIZE) && WriteInt32(stream, 16) &&
           WriteInt64(stream, size) && WriteInt64(stream, writeTime);
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

static int32_t Int32At(const unsigned char* bytes)
{
    return static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                (static_cast<uint32_t>(bytes[3]) << 24));
}

static bool ReadInt32(SettingsFile* file, int32_t* value)
{
    unsigned char bytes[4];
    if (!ReadBytes(file, bytes, 4))
        return false;
    *value = Int32At(bytes);
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

// The entries of version 1 (a target each) or of versions 2 and 3 (four
// texts each), as stored; the number of entries read.
static int ReadEntries(SettingsFile* file, LauncherSlot* slots, int capacity, bool fourTexts)
{
    int count = ReadSlotCount(file, capacity);
    int i = 0;
    for (; i < count && !file->damaged; ++i) {
        LauncherSlot* slot = &slots[i];
        int32_t length;
        if (!ReadInt32(file, &length))
            break;
        if (length <= 0) {
            slot->hint = CopyText(kDefaultHint);
            continue;
        }
        slot->target = ReadText(file, length);
        if (!slot->target)
            break;
        if (fourTexts) {
            slot->workFolder = ReadCountedText(file);
            slot->extra = ReadCountedText(file);
            slot->hint = ReadCountedText(file);
        }
    }
    return i;
}

// What the entries hold once the whole names are known: a slot whose
// target is an empty text is loaded empty, and a defined slot without a
// stored hint takes its default one. No target is looked for here: the
// reader only parses, whoever reads decides what is still there.
static void FinishEntries(LauncherSlot* slots, int count, bool hintsStored)
{
    for (int i = 0; i < count; ++i) {
        LauncherSlot* slot = &slots[i];
        if (slot->target && !slot->target[0])
            ForgetTarget(slot, hintsStored);
        else if (slot->target && !slot->hint)
            slot->hint = slot->wholeTarget ? DeriveHint(slot->wholeTarget) : DeriveHint(slot->target);
    }
}

void ForgetTarget(LauncherSlot* slot, bool hintsStored)
{
    char* hint = hintsStored ? CopyText(kDefaultHint) : nullptr;
    ReplaceText(&slot->hint, nullptr);
    ReplaceText(&slot->target, nullptr);
    ReplaceText(&slot->workFolder, nullptr);
    ReplaceText(&slot->extra, nullptr);
    ReplaceWholeText(&slot->wholeTarget, nullptr);
    ReplaceWholeText(&slot->wholeWorkFolder, nullptr);
    slot->hint = hint;
}

// A counted UTF-16 text; null for a count of 0 or less and for an empty
// text. A zero unit inside the text ends it there.
static char16_t* ReadWholeText(SettingsFile* file)
{
    int32_t length;
    if (!ReadInt32(file, &length) || length <= 0)
        return nullptr;
    if (length >= file->remaining / 2) {
        file->damaged = true;
        return nullptr;
    }
    char16_t* text = static_cast<char16_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(char16_t)));
    unsigned char unit[2];
    for (int32_t i = 0; text && i <= length; ++i) {
        if (!ReadBytes(file, unit, 2))
            break;
        text[i] = static_cast<char16_t>(unit[0] | (unit[1] << 8));
    }
    if (!text || file->damaged || text[length] != 0 || !text[0]) {
        file->damaged = file->damaged || !text || text[length] != 0;
        free(text);
        return nullptr;
    }
    return text;
}

// The whole names' block after the trailer, where there is one; its entries
// go to the slots they still match. Bytes after the trailer that are no
// such block are left unread.
static void ReadWholeNames(SettingsFile* file, LauncherSlot* slots, int count)
{
    enum { kHeadSize = SETTINGS_MAGIC_SIZE + 4 };
    unsigned char head[kHeadSize];
    if (file->damaged || file->remaining < kHeadSize || !ReadBytes(file, head, kHeadSize))
        return;
    const long size = Int32At(head + SETTINGS_MAGIC_SIZE);
    if (memcmp(head, kWholeNamesMagic, SETTINGS_MAGIC_SIZE) != 0 || size < 0 || size > file->remaining) {
        if (fseek(file->stream, -kHeadSize, SEEK_CUR) == 0)
            file->remaining += kHeadSize;
        return;
    }
    const long end = file->remaining - size; // a side file's base may follow
    while (file->remaining > end && !file->damaged) {
        int32_t index, hash;
        if (!ReadInt32(file, &index) || !ReadInt32(file, &hash))
            return;
        char16_t* target = ReadWholeText(file);
        char16_t* folder = ReadWholeText(file);
        LauncherSlot* slot = index >= 0 && index < count ? &slots[index] : nullptr;
        if (slot && slot->target && SlotNamesHash(slot) == static_cast<uint32_t>(hash)) {
            ReplaceWholeText(&slot->wholeTarget, target);
            ReplaceWholeText(&slot->wholeWorkFolder, folder);
        }
        free(target);
        free(folder);
    }
}

bool ReadSettingsBase(SettingsFile* file, long long* size, long long* writeTime)
{
    enum { kBaseSize = SETTINGS_MAGIC_SIZE + 4 + 16 };
    unsigned char base[kBaseSize];
    if (file->damaged || file->remaining != kBaseSize || !ReadBytes(file, base, kBaseSize))
        return false;
    if (memcmp(base, kBaseMagic, SETTINGS_MAGIC_SIZE) != 0 || Int32At(base + SETTINGS_MAGIC_SIZE) != 16) {
        if (fseek(file->stream, -kBaseSize, SEEK_CUR) == 0)
            file->remaining += kBaseSize;
        return false;
    }
    const unsigned char* numbers = base + SETTINGS_MAGIC_SIZE + 4;
    *size = static_cast<long long>(static_cast<uint32_t>(Int32At(numbers)) |
                                   static_cast<unsigned long long>(static_cast<uint32_t>(Int32At(numbers + 4))) << 32);
    *writeTime = static_cast<long long>(static_cast<uint32_t>(Int32At(numbers + 8)) |
                                        static_cast<unsigned long long>(static_cast<uint32_t>(Int32At(numbers + 12))) << 32);
    return true;
}

void ReadSlotsV1(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    FinishEntries(slots, ReadEntries(file, slots, capacity, false), false);
}

void ReadSlotsV2(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    FinishEntries(slots, ReadEntries(file, slots, capacity, true), true);
}

void ReadSettingsV3(SettingsFile* file, LauncherSlot* slots, int capacity)
{
    int count = ReadEntries(file, slots, capacity, true);
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
    ReadWholeNames(file, slots, count);
    FinishEntries(slots, count, true);
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
