// The companion library "vcontrols.dll" beside the executable: loaded at
// start with its "Init" called, released at the very end with "Release".
#ifndef ZRONDEL_APP_HELPERLIB_H
#define ZRONDEL_APP_HELPERLIB_H

// Loads the library and calls Init once. When it is missing or lacks an
// entry point it is not kept, Init is not called, and the user hears a
// beep and sees the system's text for the failure; the launcher runs on.
void LoadHelperLibrary();
// Calls Release and unloads the library, when Init was called.
void UnloadHelperLibrary();

#endif
