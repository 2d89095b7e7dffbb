// Where the dialog push button draws its parts, from its creation size, the
// width of its client area and its look. Platform-free.
#ifndef ZRONDEL_HINTDLG_EVBUTTON_LAYOUT_H
#define ZRONDEL_HINTDLG_EVBUTTON_LAYOUT_H

#include "base/dpi.h"

struct EVButtonLayout {
    int faceLeft;     // rounded face, as RoundRect takes it: right and bottom
    int faceTop;      //   exclusive, one pixel in from the creation size so
    int faceRight;    //   that the 2-pixel outline stays inside the window
    int faceBottom;
    int cornerSize;   // width and height of the corner ellipses: half the height
    int iconX;        // top-left corner of the square icon box
    int iconY;        //   (may be negative for a button lower than the icon)
    int iconSide;     // 20, or 26 while held down with the pointer over it (at 96 DPI)
    int captionLeft;  // caption spans the client height between these x values:
    int captionRight; //   from the icon box to 2 pixels short of the client's right
};

// width and height are the creation size; clientRight the client width; the
// icon and its offsets are scaled for the dpi.
EVButtonLayout LayoutEVButton(int width, int height, int clientRight, bool hovered, bool pressed,
                              int dpi = BASE_DPI);

#endif
