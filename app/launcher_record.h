// The running launcher's program-wide record: what start-up establishes,
// the ring window and the slot commands use, and shutdown releases.
#ifndef ZRONDEL_APP_LAUNCHER_RECORD_H
#define ZRONDEL_APP_LAUNCHER_RECORD_H

#include <windows.h>

#include "base/slots.h"

struct Launcher {
    HINSTANCE instance;     // the executable, for resources and windows
    HANDLE instanceMutex;   // named after the launcher: held while this instance runs
    LauncherSlot* slots;    // the 24 slots, for the whole run
    HICON classIcon;        // icon 101: ring window class and tray icon
    HBRUSH backgroundBrush; // light sky blue, the ring window class background
    HMENU mainMenuResource; // menu 111 as loaded; destroyed at shutdown
    HMENU slotMenuResource; // menu 116 as loaded
    HMENU mainMenu;         // popup 0 of menu 111: tray icon and ring face
    HMENU slotMenu;         // popup 0 of menu 116: right click on a button
    bool autostartEnabled;  // what the Run key held at start, inverted by each toggle
};

extern Launcher launcher;

// "Ta[V]en Software [Z] Rondel": the ring window's title, never shown; the
// single-instance key, the tray icon's tip and the autostart value's name.
extern const char kRingWindowTitle[];

#endif
