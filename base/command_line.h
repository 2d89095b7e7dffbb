// Where the program stands in a command line as the registry keeps a
// handler's: "\"C:\Program Files\App\app.exe\" -url \"%1\"". Platform-free.
#ifndef ZRONDEL_BASE_COMMAND_LINE_H
#define ZRONDEL_BASE_COMMAND_LINE_H

#include <stddef.h>

// The program's length in the command, whose start it sets: quoted, the
// text between the quotes; unquoted, up to the first space. Bounded by the
// length given (a registry value need not end in a NUL), cut at a NUL; 0 for
// no program.
size_t CommandProgram(const char16_t* command, size_t length, size_t* start);

#endif
