// The tooltip's size rule and the test whether the system draws class drop
// shadows: plain arithmetic, built natively for the tests as well as for
// Windows.
#ifndef ZRONDEL_TOOLTIP_TOOLTIP_LAYOUT_H
#define ZRONDEL_TOOLTIP_TOOLTIP_LAYOUT_H

#include "base/dpi.h"

// Layout metrics in pixels, shared by every tooltip window (there is one).
extern int avgCharWidth;  // tmAveCharWidth of the font measured last; 2 before any
extern int marginX;       // background left and right of the text: 2 x avgCharWidth
extern int iconRoom;      // 32 scaled for the DPI while an icon is shown, else 0; also the icon's size
extern const int marginY; // background above and below the text together: 4 at 96 DPI, whatever the font

enum { TOOLTIP_ICON_SIZE = 32 };

struct ToolTipSize {
    int width;  // pixels, border included
    int height;
};

// Takes in a fresh measurement of the font and the text, updates the metrics
// that follow them and answers the window size: the text on one line with
// marginX on either side and the icon room before it; as high as the taller
// of text and icon, plus marginY. Icon and marginY are scaled for the dpi.
ToolTipSize FitToolTipMetrics(int fontAverageCharWidth, int textWidth, int textHeight, bool hasIcon,
                              int dpi = BASE_DPI);

// Whether a system reporting this platform and version gets CS_DROPSHADOW:
// Windows NT above 4 with a minor version other than 0 (XP, 2003, 7, 8).
bool DropShadowForVersion(unsigned long platformId, unsigned long majorVersion, unsigned long minorVersion);

#endif
