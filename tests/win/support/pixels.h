// Test icons of one colour and pixels read back from the screen.
#ifndef ZRONDEL_TESTS_PIXELS_H
#define ZRONDEL_TESTS_PIXELS_H

#include <windows.h>

// A 32 x 32 fully opaque icon of one colour; the caller destroys it.
HICON MakeSolidIcon(COLORREF colour);

// The screen's pixel at a point, after this thread's pending messages (and
// so the paints they cause) have been handled.
COLORREF ScreenPixel(POINT point);

#endif
