// The ring as a target of OLE drags: files as a dropped file list, web
// links from browsers and places of the shell (This PC, an app of the
// Start menu), each onto the sector under the pointer.
#ifndef ZRONDEL_APP_DROP_TARGET_H
#define ZRONDEL_APP_DROP_TARGET_H

#include <windows.h>

// Registers the ring for drags; called once the ring is ready, since OLE
// costs the start more than anything else would. False without OLE.
bool AcceptDrags(HWND ring);
// Before the ring is destroyed.
void RefuseDrags(HWND ring);

#endif
