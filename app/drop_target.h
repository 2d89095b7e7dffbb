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

// A timer of the ring, set by its drop target once a drop is kept. The ring
// takes the drop only then: the source's last calls into the drop target
// come right after the drop, and under Wine they wait for good if the ring
// is busy with the shell's lookups meanwhile. It carries nothing, so a
// message from another program finds no drop to take.
const UINT_PTR kTakeDropTimer = 1045;
// On kTakeDropTimer: the kept drop goes to a worker, which asks the shell
// and the file system what it names and answers with UM_DROPLOOKEDUP.
void TakeDrop(HWND ring);
// To the ring from that worker; carries nothing, so a message from another
// program finds no lookup done and is ignored.
enum { UM_DROPLOOKEDUP = 1046 };
// On UM_DROPLOOKEDUP: the looked-up drop becomes its slot's target, after
// any box that refuses it or asks about it ("Drop one item at a time." for
// several items). The drag is over by then.
void PlaceLookedUpDrop(HWND ring);

#endif
