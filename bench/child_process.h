// Starting a program under measurement as its own process: fresh (no
// settings beside it) and timed until its window is visible.
#ifndef ZRONDEL_BENCH_CHILD_PROCESS_H
#define ZRONDEL_BENCH_CHILD_PROCESS_H

#include <windows.h>

// Milliseconds between two performance counter readings.
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);

// Deletes settings.dat beside exe (a full path with backslashes), starts it
// and waits until the window of that class and title is visible; answers
// the window, or null when the program could not be started. The time from
// before CreateProcess until the window is visible goes to *milliseconds.
HWND StartVisible(const char* exe, const char* windowClass, const char* title, PROCESS_INFORMATION* process,
                  double* milliseconds);

// Closes the window as a user would and waits for the process to end.
void CloseChild(HWND window, PROCESS_INFORMATION* process);

#endif
