// After a scale change the ring's icons are drawn scaled from the ones it
// has, and taken again at the new size once each target's place has
// answered. The places are asked on the system's worker threads, so that a
// share that does not answer never holds up the ring.
#ifndef ZRONDEL_APP_LATE_ICONS_H
#define ZRONDEL_APP_LATE_ICONS_H

#include <windows.h>

#include "base/slots.h"

// To the ring window from a worker: the place of a slot's target answered.
// wParam = the slot, lParam = a heap copy of the target asked about, which
// the ring frees.
enum { UM_PLACEANSWERED = 1039 };

// Asks the place of every slot's target that has an icon; each that answers is told to the
// ring with UM_PLACEANSWERED.
void AskTargetPlaces(HWND ring, const LauncherSlot* slots);

#endif
