#include "app/slotcmds.h"

#include <stdlib.h>

#include "app/foreign_names.h"
#include "app/launcher_record.h"
#include "app/shell.h"
#include "base/readable_text.h"
#include "base/target_kind.h"
#include "app/target_worker.h"
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

// AssignTarget with the hint given, which the slot takes over.
void AssignTargetAndHint(LauncherSlot* slot, const char* path, char* hint, const char16_t* whole)
{
    // All copies first: without memory the slot keeps its old target whole.
    char* target = CopyText(path);
    char16_t* wholeTarget = nullptr;
    ReplaceWholeText(&wholeTarget, whole);
    if (!target || !hint || (whole && !wholeTarget)) {
        free(target);
        free(hint);
        free(wholeTarget);
        return;
    }
    free(slot->target);
    slot->target = target;
    free(slot->wholeTarget);
    slot->wholeTarget = wholeTarget;
    free(slot->hint);
    slot->hint = hint;
    ShowStoredIcon(slot);
    SaveLauncherSettings();
}

const char kTooLongText[] = "This path is too long to be started from a button (260 characters or more).";

// Assigns the picked or dropped name, given with its slot forms (taken
// over: SetSlotPath's path, and whole where the code page lacks a letter of
// the name), with the hint given or else the hint of its long name; -1 for a
// file name too long to start (said in a box), -2 when it is the slot's own
// target, 0 when assigned.
int AssignNamed(LauncherSlot* slot, const wchar_t* picked, char* path, char16_t* whole, VButtonState* button,
                const wchar_t* hint)
{
    // The shell starts no file by a name that long: refused, not kept to fail later.
    if (KindOfTarget(path) == TARGET_FILE && lstrlenW(picked) >= MAX_PATH) {
        free(path);
        free(whole);
        MessageBoxA(GetAncestor(button->window, GA_ROOT), kTooLongText, "[Z]Rondel", MB_ICONINFORMATION);
        return -1;
    }
    wchar_t* own = slot->target ? SystemPathOf(slot->target, slot->wholeTarget) : nullptr;
    int result = -2;
    if (!own || lstrcmpiW(own, picked) != 0) {
        const wchar_t* named = hint ? hint : picked;
        char* readable = ReadableAnsi(reinterpret_cast<const char16_t*>(named), lstrlenW(named));
        char* slotHint = hint ? readable : DeriveHint(readable ? readable : path);
        if (!hint)
            free(readable);
        AssignTargetAndHint(slot, path, slotHint, whole);
        result = 0;
    }
    free(own);
    free(path);
    free(whole);
    return result;
}

// AssignNamed with the slot forms made here; -1 also without memory.
int AssignPicked(LauncherSlot* slot, const wchar_t* picked, VButtonState* button)
{
    char* path = nullptr;
    char16_t* whole = nullptr;
    return SetSlotPath(&path, &whole, picked) ? AssignNamed(slot, picked, path, whole, button, nullptr) : -1;
}

} // namespace

void AssignTarget(LauncherSlot* slot, const char* path, VButtonState*, const char* longName,
                  const char16_t* whole)
{
    AssignTargetAndHint(slot, path, DeriveHint(longName ? longName : path), whole);
}

void ShowStoredIcon(LauncherSlot* slot, bool testGone)
{
    VButtonState* button = VButtonStateOf(slot->button);
    if (!button)
        return;
    // Another target's icon goes at once; the new one shows when it answers.
    if (SlotTargetChanged(slot)) {
        ForgetSlotAnswers(slot);
        DestroyIcon(button->icon);
        button->icon = nullptr;
        slot->icon = nullptr;
        InvalidateRect(button->window, nullptr, TRUE);
    }
    AskSlotIcon(GetParent(button->window), slot, button->dpi, testGone);
}

void ChooseSlotFile(HWND ring, int* currentSlot)
{
    LauncherSlot* slot = SlotAt(*currentSlot);
    if (!slot)
        return;
    wchar_t path[MAX_PATH] = L"";
    // The same target again leaves everything, a typed hint and the current slot too.
    if (ChooseTargetFile(ring, path, MAX_PATH - 1, nullptr) && AssignPicked(slot, path, VButtonStateOf(slot->button)) == -2)
        return;
    *currentSlot = -1;
}

void ChooseSlotWorkFolder(HWND ring, int* currentSlot)
{
    LauncherSlot* slot = SlotAt(*currentSlot);
    if (!slot)
        return;
    wchar_t folder[MAX_PATH] = L"";
    if (ChooseWorkFolder(ring, slot->hint, folder) && SetSlotPath(&slot->workFolder, &slot->wholeWorkFolder, folder))
        SaveLauncherSettings();
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
        Release(&slot->target);
        Release(&slot->extra);
        // A hint emptied by the user stays absent; any other asks for a target.
        if (slot->hint)
            ReplaceText(&slot->hint, kDefaultHint);
        Release(&slot->workFolder);
        ReplaceWholeText(&slot->wholeTarget, nullptr);
        ReplaceWholeText(&slot->wholeWorkFolder, nullptr);
        ShowStoredIcon(slot);
        SaveLauncherSettings();
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
        result = AssignPicked(slot, path, button);
    free(path);
    DragFinish(drop);
    if (result == 0)
        *currentSlot = -1;
    return result;
}

LRESULT DropPlaceOnSlot(const wchar_t* place, char* path, char16_t* whole, const wchar_t* hint, VButtonState* button,
                        int* currentSlot)
{
    *currentSlot = button->slot;
    // A link in any script is kept whole, as a file name is.
    LRESULT result = path ? AssignNamed(&launcher.slots[button->slot], place, path, whole, button, hint) : -1;
    if (result == 0)
        *currentSlot = -1;
    return result;
}
