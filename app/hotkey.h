// The ring from the keyboard: a system-wide hotkey that opens the hidden
// ring at the pointer or hides the visible one, and Escape that hides it.
// The combination is the REG_SZ value "Hotkey" under HKEY_CURRENT_USER
// "Software\Ta[V]en Software\[Z] Rondel" (its text: app/hotkey_text.h).
#ifndef ZRONDEL_APP_HOTKEY_H
#define ZRONDEL_APP_HOTKEY_H

#include <windows.h>

// Reads the combination and registers it for the ring. A combination that
// another program holds is left to it, silently: the tray icon still
// reaches the ring.
void RegisterRingHotkey(HWND ring);
void UnregisterRingHotkey(HWND ring);
// The hotkey (WM_HOTKEY): hides the visible ring; shows the hidden one
// centred on the pointer, whole on that monitor's work area, in front.
void ToggleRingAtPointer(HWND ring);
// A key that reaches the ring (WM_KEYDOWN): true when it was Escape, which
// hid it.
bool HideRingOnEscape(HWND ring, WPARAM key);

#endif
