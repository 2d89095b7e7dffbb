// The display scale: every pixel measure of the launcher is given for 96 DPI
// and multiplied by the DPI of the monitor it is shown on over 96, rounded
// the same way everywhere. At 96 DPI every measure is the given one.
#ifndef ZRONDEL_BASE_DPI_H
#define ZRONDEL_BASE_DPI_H

enum { BASE_DPI = 96 }; // the DPI at which the given measures hold unchanged

// value x dpi / 96, halves rounded away from zero, as MulDiv rounds; exactly
// value at 96 DPI.
int Scale(int value, int dpi);

#ifdef _WIN32
#include <windows.h>

// Declares the process aware of each monitor's DPI, before any window is
// made: per-monitor v2 where the system has it, else the older per-monitor
// call, else system awareness. Each is looked up at run time, so that the
// launcher starts on systems without them.
void DeclareDpiAwareness();
// The DPI the window is shown at: its own, else its monitor's; the screen's
// when the system tells neither. Null: the screen's.
int WindowDpi(HWND window);
// The DPI of the monitor nearest to the point; the screen's when the system
// cannot tell a monitor's own.
int DpiAtPoint(POINT point);
#endif

#endif
