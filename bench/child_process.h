// Starting a program under measurement as its own process, with a full
// table of existing targets beside it, and timing it until it is ready.
#ifndef ZRONDEL_BENCH_CHILD_PROCESS_H
#define ZRONDEL_BENCH_CHILD_PROCESS_H

#include <windows.h>

// Milliseconds between two performance counter readings.
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);

// Writes settings.dat beside exe (a full path with backslashes): all 24
// slots hold programs of the system folder, the ring shows at (0, 0).
// Programs other than the launcher ignore the file.
bool WriteFullTable(const char* exe);

// Starts exe and waits until it waits for input (WaitForInputIdle) and its
// window of that class and title is visible; answers the window, or null
// when the program could not be started or got no further within 10 s. The
// time from before CreateProcess until both hold goes to *milliseconds.
HWND StartReady(const char* exe, const char* windowClass, const char* title, PROCESS_INFORMATION* process,
                double* milliseconds);

// Closes the window as a user would and waits for the process to end.
void CloseChild(HWND window, PROCESS_INFORMATION* process);

#endif
