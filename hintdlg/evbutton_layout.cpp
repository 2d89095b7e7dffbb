#include "hintdlg/evbutton_layout.h"

namespace {

const int kIconSide = 20;
const int kHeldIconSide = 26;
const int kIconLeft = 5;
const int kHeldIconLeft = 2;
const int kHeldIconRise = 3; // the held icon grows up and left about the same spot
const int kCaptionRightGap = 2;

} // namespace

EVButtonLayout LayoutEVButton(int width, int height, int clientRight, bool hovered, bool pressed, int dpi)
{
    EVButtonLayout layout;
    layout.faceLeft = 1;
    layout.faceTop = 1;
    layout.faceRight = width - 2;
    layout.faceBottom = height - 2;
    layout.cornerSize = height / 2;
    layout.iconX = Scale(kIconLeft, dpi);
    layout.iconSide = Scale(kIconSide, dpi);
    layout.iconY = (height - layout.iconSide) / 2;
    // Held down but dragged off, the button looks idle.
    if (hovered && pressed) {
        layout.iconX = Scale(kHeldIconLeft, dpi);
        layout.iconY -= Scale(kHeldIconRise, dpi);
        layout.iconSide = Scale(kHeldIconSide, dpi);
    }
    layout.captionLeft = layout.iconX + layout.iconSide;
    layout.captionRight = clientRight - Scale(kCaptionRightGap, dpi);
    return layout;
}
