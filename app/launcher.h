// Start-up, the message loop and shutdown of the launcher.
#ifndef ZRONDEL_APP_LAUNCHER_H
#define ZRONDEL_APP_LAUNCHER_H

#include <windows.h>

#include "app/launcher_record.h"

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

#endif
