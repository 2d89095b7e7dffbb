#include "app/slotcmds.h"

#include <stdlib.h>

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

VButtonState* ButtonOf(const LauncherSlot* slot)
{
    return reinterpret_cast<VButtonState*>(GetWindowLongPtrA(slot->button, GWLP_USERDATA));
}

void Release(char** text)
{
    free(*text);
    *text = nullptr;
}

} // namespace

void AssignTarget(LauncherSlot* slot, const char* path, VButtonState* button)
{
    // Both copies first: without memory the slot keeps its old target whole.
    char* target = CopyText(path);
    char* hint = DeriveHint(path);
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

void ChooseSlotFile(HWND ring, int* currentSlot)
{
    LauncherSlot* slot = SlotAt(*currentSlot);
    if (!slot)
        return;
    char path[MAX_PATH] = "";
    if (ChooseTargetFile(ring, path, MAX_PATH - 1, nullptr)) {
        if (slot->target && lstrcmpiA(slot->target, path) == 0)
            return; // the same target: a typed hint survives
        AssignTarget(slot, path, ButtonOf(slot));
    }
    *currentSlot = -1;
}

void ChooseSlotWorkFolder(HWND ring, int* currentSlot)
{
    LauncherSlot* slot = SlotAt(*currentSlot);
    if (!slot)
        return;
    char folder[MAX_PATH] = "";
    if (ChooseWorkFolder(ring, slot->hint, folder)) {
        char* copy = CopyText(folder);
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
        VButtonState* button = ButtonOf(slot);
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
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 1) {
        DragFinish(drop);
        return -1;
    }
    // Sized to the dropped path: a fixed buffer would cut a long one short
    // and store a wrong target. A drop without a name to take is refused.
    UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    char* path = length ? static_cast<char*>(malloc(length + 1)) : nullptr;
    if (!path || DragQueryFileA(drop, 0, path, length + 1) != length) {
        free(path);
        DragFinish(drop);
        return -1;
    }
    if (slot->target && lstrcmpiA(slot->target, path) == 0) {
        free(path);
        DragFinish(drop);
        return -2;
    }
    AssignTarget(slot, path, button);
    free(path);
    DragFinish(drop);
    *currentSlot = -1;
    return 0;
}
