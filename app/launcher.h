// The running launcher: what start-up establishes and shutdown releases.
#ifndef ZRONDEL_APP_LAUNCHER_H
#define ZRONDEL_APP_LAUNCHER_H

#include <windows.h>

#include "app/slots.h"

struct Launcher {
    HINSTANCE instance;          // the executable, for resources and windows
    char settingsPath[MAX_PATH]; // the executable's folder + "settings.dat"
    LauncherSlot* slots;         // the 24 slots, for the whole run
    HICON classIcon;             // icon 101: ring window class and tray icon
    HBRUSH backgroundBrush;      // light sky blue, the ring window class background
    HMENU mainMenuResource;      // menu 111 as loaded; destroyed at shutdown
    HMENU slotMenuResource;      // menu 116 as loaded
    HMENU mainMenu;              // popup 0 of menu 111: tray icon and ring face
    HMENU slotMenu;              // popup 0 of menu 116: right click on a button
    bool autostartEnabled;       // what the Run key held at start, inverted by each toggle
};

extern Launcher launcher;

// Exit codes of start-up.
enum {
    EXIT_ALREADY_RUNNING = -19,
    EXIT_NO_BUTTON_CLASS = -1,
    EXIT_NO_SETTINGS_PATH = -17,
    EXIT_NO_RING_CLASS = -2,
    EXIT_NO_RING_WINDOW = -3
};

// Everything up to the message loop. 0 when the launcher runs; otherwise the
// exit code, after showing the running instance for EXIT_ALREADY_RUNNING.
int StartLauncher(HINSTANCE instance);
// Until the ring window is gone; returns the quit code.
int RunMessageLoop();
// Saves the settings a last time and releases what start-up made.
void ShutDownLauncher();

// Writes the settings file from the slot table and the program-wide values.
void SaveLauncherSettings();

#endif
