// The command line that the per-user Run key keeps for the launcher.
#ifndef ZRONDEL_APP_AUTOSTART_COMMAND_H
#define ZRONDEL_APP_AUTOSTART_COMMAND_H

#include <stddef.h>

// Writes the executable's whole UTF-16 path as the Run key's command: in
// double quotes when it contains a space, since Windows would otherwise start
// the first word of it; as it stands otherwise. False, and the buffer empty,
// for an empty path or one that does not fit with its quotes and NUL.
bool BuildAutostartCommand(const wchar_t* exePath, wchar_t* buffer, size_t capacity);

#endif
