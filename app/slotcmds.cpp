#include "app/slotcmds.h"

#include <stdlib.h>

#include "app/foreign_names.h"
#include "app/launcher_record.h"
#include "app/shell.h"
#include "settings/store.h"

namespace {

// The slot at the index, or null when the index names none (no slot
// command pending).
LauncherSlot* SlotAt(int index)
{
    return index >= 0 && index < SLOT_COUNT ? &launcher.slots[index] : nullptr;
}

void Release(char** text)
{
    free(*text);
    *text = nullptr;
}

// The ANSI path that names the chosen or dropped file, or null when none
// can; the user is then told in a box.
char* KeptPathOf(HWND ring, const wchar_t* path)
{
    char* kept = AnsiPathOf(path);
    if (!kept)
        ReportUnkeptName(ring, path);
    return kept;
}

// Assigns the picked or dropped file under the path that keeps it, with the
// hint of its long name; -1 when its name cannot be kept, -2 when it is the
// slot's own target, 0 when assigned.
int AssignPicked(HWND ring, LauncherSlot* slot, const wchar_t* picked, VButtonState* button)
{
    char* path = KeptPathOf(ring, picked);
    if (!path)
        return -1;
    int result = -2;
    if (!slot->target || lstrcmpiA(slot->target, path) != 0) {
        char* longName = ReadableAnsiText(picked);
        AssignTarget(slot, path, button, longName);
        free(longName);
        result = 0;
    }
    free(path);
    return result;
}

} // namespace

// AssignTarget with the hint given, which the slot takes over.
static void AssignTargetAndHint(LauncherSlot* slot, const char* path, VButtonState* button, char* hint)
{
    // Both copies first: without memory the slot keeps its old target whole.
    char* target = CopyText(path);
    if (!target || !hint) {
        free(target);
        free(hint);
        return;
    }
    DestroyIcon(button->icon);
    button->icon = ExtractTargetIcon(path, button->dpi);
    slot->icon = button->icon;
    free(slot->target);
    slot->target = target;
    free(slot->hint);
    slot->hint = hint;
    SaveLauncherSettings();
    InvalidateRect(button->window, nullptr, TRUE);
}

void AssignTarget(LauncherSlot* slot, const char* path, VButtonState* button, const char* longName)
{
    AssignTargetAndHint(slot, path, button, DeriveHint(longName ? longName : path));
}

void ShowStoredIcon(LauncherSlot* slot)
{
    VButtonState* button = VButtonStateOf(slot->button);
    if (!button)
        return;
    DestroyIcon(button->icon);
    button->icon = slot->icon = StoredTargetIcon(slot->target, button->dpi);
    InvalidateRect(button->window, nullptr, TRUE);
}

void ChooseSlotFile(HWND ring, int* currentSlot)
{
    LauncherSlot* slot = SlotAt(*currentSlot);
    if (!slot)
        return;
    wchar_t path[MAX_PATH] = L"";
    // The same target again leaves everything, a typed hint and the current slot too.
    if (ChooseTargetFile(ring, path, MAX_PATH - 1, nullptr) && AssignPicked(ring, slot, path, VButtonStateOf(slot->button)) == -2)
        return;
    *currentSlot = -1;
}

void ChooseSlotWorkFolder(HWND ring, int* currentSlot)
{
    LauncherSlot* slot = SlotAt(*currentSlot);
    if (!slot)
        return;
    wchar_t folder[MAX_PATH] = L"";
    if (ChooseWorkFolder(ring, slot->hint, folder)) {
        char* copy = KeptPathOf(ring, folder);
        if (copy) {
            free(slot->workFolder);
            slot->workFolder = copy;
            SaveLauncherSettings();
        }
    }
    *currentSlot = -1;
}

void ClearSlot(HWND ring, int* currentSlot)
{
    LauncherSlot* slot = SlotAt(*currentSlot);
    if (!slot || !slot->target)
        return;
    int answer = MessageBoxA(ring, "Clear button?", "[Z]Rondel",
                             MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer == IDOK) {
        VButtonState* button = VButtonStateOf(slot->button);
        DestroyIcon(button->icon);
        button->icon = nullptr;
        slot->icon = nullptr;
        Release(&slot->target);
        Release(&slot->extra);
        // A hint emptied by the user stays absent; any other asks for a target.
        if (slot->hint)
            ReplaceText(&slot->hint, kDefaultHint);
        Release(&slot->workFolder);
        SaveLauncherSettings();
        InvalidateRect(button->window, nullptr, TRUE);
    }
    *currentSlot = -1;
}

LRESULT DropOnSlot(HDROP drop, VButtonState* button, int* currentSlot)
{
    if (!button || button->slot < 0 || button->slot >= SLOT_COUNT) {
        DragFinish(drop);
        return -1;
    }
    *currentSlot = button->slot;
    LauncherSlot* slot = &launcher.slots[button->slot];
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 1) {
        DragFinish(drop);
        return -1;
    }
    // Sized to the dropped path: a fixed buffer would cut a long one short
    // and store a wrong target. A drop without a name to take is refused.
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    wchar_t* path = length ? static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t))) : nullptr;
    LRESULT result = -1;
    if (path && DragQueryFileW(drop, 0, path, length + 1) == length)
        result = AssignPicked(GetParent(button->window), slot, path, button);
    free(path);
    DragFinish(drop);
    if (result == 0)
        *currentSlot = -1;
    return result;
}

LRESULT DropPlaceOnSlot(const wchar_t* place, const wchar_t* hint, VButtonState* button, int* currentSlot)
{
    *currentSlot = button->slot;
    LauncherSlot* slot = &launcher.slots[button->slot];
    char* target = KeptPathOf(GetParent(button->window), place);
    if (!target)
        return -1;
    LRESULT result = -2;
    if (!slot->target || lstrcmpiA(slot->target, target) != 0) {
        AssignTargetAndHint(slot, target, button, ReadableAnsiText(hint));
        *currentSlot = -1;
        result = 0;
    }
    free(target);
    return result;
}
