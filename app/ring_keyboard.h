// The ring from the keyboard and for screen readers: one chosen sector,
// which letters and digits, the arrows, Tab and Home move (app/ring_keys.h),
// Enter or Space start as a click does, and Shift+F10 or the Menu key open
// the slot menu of. It is drawn, and its tooltip shown, as the sector under
// the pointer is; the pointer coming onto a sector makes that one the
// choice, and leaving it, or the ring hiding, forgets it. Assistive tools
// see the choice as the focused ring button.
#ifndef ZRONDEL_APP_RING_KEYBOARD_H
#define ZRONDEL_APP_RING_KEYBOARD_H

#include <windows.h>

#include "base/accessible.h"
#include "base/slots.h"

// What assistive tools are told of a ring button: a push button named as
// its tooltip ("Slot N" where that shows no text), focused while chosen,
// whose default action is the click.
extern const AccessibleTraits kRingButtonAccess;

// A key that reaches the ring (WM_KEYDOWN): true when it moved or started
// the choice.
bool OnRingKeyDown(HWND ring, WPARAM key);
// A character typed on the ring (WM_CHAR): a letter or digit chooses.
void OnRingCharacter(HWND ring, WPARAM character);
// WM_CONTEXTMENU: from the keyboard (Shift+F10, the Menu key) the slot menu
// at the chosen sector, or without a choice the main menu at the ring's
// centre; true then. From the mouse, false.
bool OnRingContextMenu(HWND ring, LPARAM point);
// UM_SLOTHOVER, before the tooltip is placed: the pointer's sector becomes
// the choice, and the choice it leaves is forgotten.
void FollowPointer(const SlotHoverInfo* hover);
// The ring hides: nothing is chosen any more.
void ForgetRingChoice();
// WM_ACTIVATE: deactivated, the ring forgets the choice; activated, tools
// learn of the focus on a choice the pointer made meanwhile.
void OnRingActivate(WPARAM state);
// UM_SLOTMENU: the slot menu now opens at the pointer's right click.
void NoteSlotMenuByPointer();
// Where the slot's hint dialog opens when the keys opened its slot menu: at
// the chosen sector's icon, where the menu opened, as a right click there
// would place it. False when the pointer opened the menu: then at the cursor.
bool SlotMenuPlace(int slot, POINT* place);

#endif
