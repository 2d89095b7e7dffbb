#include "app/ring_keyboard.h"

#include "app/launcher_record.h"
#include "app/ring_keys.h"
#include "app/ringwnd.h"
#include "app/tray.h"
#include "base/dpi.h"
#include "ring/vbutton.h"

namespace {

int chosenSlot = -1;     // the sector keys act on and tools see focused; -1 for none
bool slotMenuByKeys;     // the slot menu last opened was opened by keys, at the choice's icon

HWND ButtonOf(int slot)
{
    return static_cast<HWND>(launcher.slots[slot].button);
}

// A tool follows the focus only in the foreground window: the always-on-top
// ring under the pointer of someone working elsewhere has none.
bool RingInForeground(HWND button)
{
    return GetForegroundWindow() == GetParent(button);
}

// The choice moves; a sector the keyboard chose is lit (one the pointer
// chose is lit by the pointer), the one it leaves no more.
void MoveChoice(int slot, bool lightUp)
{
    const int previous = chosenSlot;
    // Set first: the hover messages the buttons send now are not the pointer's.
    chosenSlot = slot;
    if (previous >= 0)
        SetVButtonChosen(ButtonOf(previous), false);
    if (slot < 0)
        return;
    if (lightUp)
        SetVButtonChosen(ButtonOf(slot), true);
    if (RingInForeground(ButtonOf(slot)))
        AnnounceFocus(ButtonOf(slot));
}

void ChooseByKey(HWND ring, int slot)
{
    if (slot < 0 || slot == chosenSlot)
        return;
    // The sector under the pointer gives way: losing the capture resets it,
    // so that no two sectors look chosen.
    HWND captured = GetCapture();
    if (captured && GetParent(captured) == ring)
        ReleaseCapture();
    MoveChoice(slot, true);
}

char UpperCase(char character)
{
    char text[2] = {character, '\0'};
    CharUpperBuffA(text, 1); // in the system's code page
    return text[0];
}

BSTR ButtonName(HWND button)
{
    const int slot = GetDlgCtrlID(button);
    if (slot < 0 || slot >= SLOT_COUNT || !launcher.slots)
        return nullptr;
    const char* hint = launcher.slots[slot].hint;
    if (hint && hint[0])
        return AccessibleText(hint, lstrlenA(hint));
    char name[16];
    wsprintfA(name, "Slot %d", slot + 1);
    return AccessibleText(name, lstrlenA(name));
}

bool ButtonChosen(HWND button)
{
    return chosenSlot >= 0 && GetDlgCtrlID(button) == chosenSlot && RingInForeground(button);
}

// Posted: the tool's call returns before a launch or a message box.
void PressButton(HWND button)
{
    HWND ring = GetParent(button);
    PostMessageA(ring, UM_SLOTCLICK, GetDlgCtrlID(button), reinterpret_cast<LPARAM>(ring));
}

} // namespace

const AccessibleTraits kRingButtonAccess = {ACCESSIBLE_PUSH_BUTTON, false, ButtonName, ButtonChosen, PressButton};

bool OnRingKeyDown(HWND ring, WPARAM key)
{
    RingMove move;
    switch (key) {
    case VK_RIGHT:
        move = RING_CLOCKWISE;
        break;
    case VK_LEFT:
        move = RING_ANTICLOCKWISE;
        break;
    case VK_UP:
        move = RING_OUTWARD;
        break;
    case VK_DOWN:
        move = RING_INWARD;
        break;
    case VK_TAB:
        move = GetKeyState(VK_SHIFT) < 0 ? RING_PREVIOUS_SLOT : RING_NEXT_SLOT;
        break;
    case VK_HOME:
        move = RING_FIRST_SLOT;
        break;
    case VK_RETURN:
    case VK_SPACE:
        // What a click on the sector does, to the letter.
        if (chosenSlot >= 0)
            SendMessageA(ring, UM_SLOTCLICK, chosenSlot, reinterpret_cast<LPARAM>(ring));
        return true;
    default:
        return false;
    }
    ChooseByKey(ring, ChoiceAfterMove(chosenSlot, move));
    return true;
}

void OnRingCharacter(HWND ring, WPARAM character)
{
    const char typed = static_cast<char>(character);
    if (!IsCharAlphaNumericA(typed))
        return;
    const char* hints[SLOT_COUNT];
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        hints[slot] = launcher.slots[slot].hint;
    ChooseByKey(ring, ChoiceByInitial(chosenSlot, hints, typed, UpperCase));
}

bool OnRingContextMenu(HWND ring, LPARAM point)
{
    if (static_cast<DWORD>(point) != 0xFFFFFFFF) // (-1, -1): from the keyboard
        return false;
    if (chosenSlot < 0) {
        POINT centre = {Scale(RING_CENTRE_X, ringWindow.dpi), Scale(RING_CENTRE_Y, ringWindow.dpi)};
        ClientToScreen(ring, &centre);
        ShowMenuAt(ring, launcher.mainMenu, centre);
        return true;
    }
    const LauncherSlot* slot = &launcher.slots[chosenSlot];
    const VButtonState* button = VButtonStateOf(ButtonOf(chosenSlot));
    if (!button)
        return true;
    ringWindow.currentSlot = chosenSlot; // its commands act on this slot
    EnableSlotMenu(launcher.slotMenu, slot->target != nullptr);
    slotMenuByKeys = true;
    ShowMenuAt(ring, launcher.slotMenu, VButtonIconAnchor(button));
    return true;
}

void NoteSlotMenuByPointer()
{
    slotMenuByKeys = false;
}

bool SlotMenuPlace(int slot, POINT* place)
{
    const VButtonState* button = slotMenuByKeys && slot >= 0 && slot < SLOT_COUNT
                                     ? VButtonStateOf(ButtonOf(slot))
                                     : nullptr;
    if (button)
        *place = VButtonIconAnchor(button);
    return button != nullptr;
}

void FollowPointer(const SlotHoverInfo* hover)
{
    if (!hover || hover->slot < 0 || hover->slot >= SLOT_COUNT)
        return;
    if (hover->show && hover->slot != chosenSlot)
        MoveChoice(hover->slot, false);
    else if (!hover->show && hover->slot == chosenSlot)
        MoveChoice(-1, false);
}

void ForgetRingChoice()
{
    MoveChoice(-1, false);
}

void OnRingActivate(WPARAM state)
{
    if (LOWORD(state) == WA_INACTIVE)
        ForgetRingChoice(); // and the tooltip of a choice made by keys
    else if (chosenSlot >= 0)
        AnnounceFocus(ButtonOf(chosenSlot)); // the pointer's choice, now in the foreground
}
