#include "base/slots.h"

#include <stdlib.h>
#include <string.h>

#include "base/readable_text.h"

const LauncherSettings kSettingsStartValues = {true, false, 0, 0};
LauncherSettings launcherSettings = kSettingsStartValues;

const char kDefaultHint[] = "You mast define action!";

LauncherSlot* AllocateSlotTable()
{
    return static_cast<LauncherSlot*>(calloc(SLOT_COUNT, sizeof(LauncherSlot)));
}

void EmptySlotTable(LauncherSlot* slots)
{
    for (int i = 0; i < SLOT_COUNT; ++i) {
        LauncherSlot* slot = &slots[i];
        char** texts[] = {&slot->target, &slot->extra, &slot->hint, &slot->workFolder};
        for (char** text : texts) {
            free(*text);
            *text = nullptr;
        }
        ReplaceWholeText(&slot->wholeTarget, nullptr);
        ReplaceWholeText(&slot->wholeWorkFolder, nullptr);
    }
}

void FreeSlotTable(LauncherSlot* slots)
{
    if (!slots)
        return;
    EmptySlotTable(slots);
    free(slots);
}

static char* CopyBytes(const char* bytes, size_t length)
{
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) {
        memcpy(copy, bytes, length);
        copy[length] = '\0';
    }
    return copy;
}

char* CopyText(const char* text)
{
    return CopyBytes(text, strlen(text));
}

void ReplaceText(char** field, const char* text)
{
    free(*field);
    *field = text ? CopyText(text) : nullptr;
}

size_t WholeLength(const char16_t* text)
{
    size_t length = 0;
    while (text && text[length])
        ++length;
    return length;
}

void ReplaceWholeText(char16_t** field, const char16_t* text)
{
    free(*field);
    *field = nullptr;
    size_t size = (WholeLength(text) + 1) * sizeof(char16_t);
    if (text && (*field = static_cast<char16_t*>(malloc(size))))
        memcpy(*field, text, size);
}

bool SameWholeText(const char16_t* first, const char16_t* second)
{
    size_t length = WholeLength(first);
    return length == WholeLength(second) && (length == 0 || memcmp(first, second, length * sizeof(char16_t)) == 0);
}

namespace {

// Where the file name of a path starts and how long it is without its
// extension.
template <typename Unit> size_t HintSpan(const Unit* path, size_t length, const Unit** name)
{
    size_t start = length;
    while (start > 0 && path[start - 1] != '\\')
        --start;
    *name = path + start;
    length -= start;
    // A dot in first place starts a name like ".profile", not an extension.
    for (size_t dot = length; dot > 1; --dot) {
        if ((*name)[dot - 1] == '.')
            return dot - 1;
    }
    return length;
}

} // namespace

char* DeriveHint(const char* path)
{
    const char* name;
    size_t length = HintSpan(path, strlen(path), &name);
    return CopyBytes(name, length);
}

char* DeriveHint(const char16_t* whole)
{
    const char16_t* name;
    size_t length = HintSpan(whole, WholeLength(whole), &name);
    return ReadableAnsi(name, length);
}

void BuildRingLayout(RingLayoutEntry layout[SLOT_COUNT])
{
    const double innerStart = 0.04363323129985824;   // pi/72, 2.5 degrees
    const double innerWidth = 0.6981317007977318;    // 2pi/9, 40 degrees
    const double outerStart = 0.032724923474893676;  // pi/96, 1.875 degrees
    const double outerWidth = 0.3272492347489368;    // 5pi/48, 18.75 degrees
    const double halfGroup = 0.39269908169872414;    // pi/8, 22.5 degrees

    // The running angle grows by repeated addition, never by multiplication,
    // so every sector gets exactly the angles the ring has always had.
    double angle = 0.0;
    for (int group = 0; group < SLOT_COUNT / 3; ++group) {
        RingLayoutEntry* entry = &layout[3 * group];
        entry[0] = {angle + innerStart, innerWidth, 30, 60};
        entry[1] = {angle + outerStart, outerWidth, 65, 95};
        angle += halfGroup;
        entry[2] = {angle + outerStart, outerWidth, 65, 95};
        angle += halfGroup;
    }
}
