// Resource identifiers, shared by the resource script and the code.
#ifndef ZRONDEL_RES_RESOURCE_H
#define ZRONDEL_RES_RESOURCE_H

#define IDI_RING 101    // class icon of the ring window, ring buttons and push buttons; tray icon
#define IDI_CONFIRM 102 // glyph of the hint dialog's "Ok" button
#define IDI_CANCEL 103  // glyph of its cancel button

#define IDR_MAIN_MENU 111 // popup "Main": tray icon and ring face
#define IDR_SLOT_MENU 116 // popup "vbutton": right click on a ring button

#endif
