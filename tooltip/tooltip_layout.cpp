#include "tooltip/tooltip_layout.h"

// What the metrics hold before the first measurement; marginY is fixed from
// it for good, so that every font gets the same 2 pixels above the text.
static const int kStartAvgCharWidth = 2;

int avgCharWidth = kStartAvgCharWidth;
int marginX = 2 * kStartAvgCharWidth;
int iconRoom = 0;
extern const int marginY = 2 * kStartAvgCharWidth;

static const unsigned long kPlatformWin32Nt = 2; // VER_PLATFORM_WIN32_NT

ToolTipSize FitToolTipMetrics(int fontAverageCharWidth, int textWidth, int textHeight, bool hasIcon, int dpi)
{
    avgCharWidth = fontAverageCharWidth;
    marginX = 2 * avgCharWidth;
    iconRoom = hasIcon ? Scale(TOOLTIP_ICON_SIZE, dpi) : 0;
    ToolTipSize size;
    size.width = textWidth + 2 * marginX + iconRoom;
    size.height = (textHeight > iconRoom ? textHeight : iconRoom) + Scale(marginY, dpi);
    return size;
}

bool DropShadowForVersion(unsigned long platformId, unsigned long majorVersion, unsigned long minorVersion)
{
    // A minor number of 0 (2000, Vista, and 10 as a manifested program sees
    // it) is deliberately left without the shadow.
    return platformId == kPlatformWin32Nt && majorVersion > 4 && minorVersion != 0;
}
