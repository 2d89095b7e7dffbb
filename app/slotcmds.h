// What the slot menu's commands and a drop do to a slot: a new target, a
// working folder, clearing. Each acts on the ring window's current slot,
// handed in by its address, and writes the settings file at once.
#ifndef ZRONDEL_APP_SLOTCMDS_H
#define ZRONDEL_APP_SLOTCMDS_H

#include <windows.h>
#include <shellapi.h>

#include "base/slots.h"
#include "ring/vbutton.h"

// Gives the slot the path as its target, the target's icon (in the slot and
// in its button) and the hint derived from longName, or from the path
// without it; the working folder stays. whole, where given, is the target's
// whole name, path its best ANSI form. Saves and repaints the button. Out
// of memory, the slot is left as it was.
void AssignTarget(LauncherSlot* slot, const char* path, VButtonState* button, const char* longName = nullptr,
                  const char16_t* whole = nullptr);
// Asks a slot's target's icon again, as start-up does, at its button's DPI,
// on a worker; the answer goes into the slot and the button. A slot whose
// target changed loses its old icon at once. With testGone the load test
// asks first whether the target is gone.
void ShowStoredIcon(LauncherSlot* slot, bool testGone = false);

// The open-file dialog for the current slot; choosing its own target again,
// in any letter case, keeps everything (a typed hint too).
void ChooseSlotFile(HWND ring, int* currentSlot);
// The folder browser, titled with the slot's hint; the chosen folder becomes
// the slot's working folder.
void ChooseSlotWorkFolder(HWND ring, int* currentSlot);
// After "Clear button?" is answered OK, the slot is empty again.
void ClearSlot(HWND ring, int* currentSlot);

// A drop on a slot's button: 0 when the one file or folder became the
// target, -1 for more than one, for none that has a name and for a name that
// cannot be kept, -2 for the slot's own target.
LRESULT DropOnSlot(HDROP drop, VButtonState* button, int* currentSlot);
// A link, a place of the shell or a dragged file's path dropped on a slot's
// button becomes its target with the hint given (a file's without one: the
// hint of its name): 0 when assigned, -1 for a name that cannot be kept, -2
// for the slot's own target. `path` and `whole` are the place's slot forms,
// made by SetSlotPath off the ring's thread (a name the code page cannot
// hold asks the file system for its short form), taken over; a null path
// for a name that cannot be kept.
LRESULT DropPlaceOnSlot(const wchar_t* place, char* path, char16_t* whole, const wchar_t* hint, VButtonState* button,
                        int* currentSlot);

#endif
