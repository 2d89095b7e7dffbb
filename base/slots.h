// The launcher's slot table, the program-wide settings saved beside it, the
// ring layout and the private messages every window of the launcher shares.
// Platform-free: it builds natively for the tests as well as for Windows.
#ifndef ZRONDEL_BASE_SLOTS_H
#define ZRONDEL_BASE_SLOTS_H

#include <stddef.h>

#ifdef _WIN32
#include <windows.h>
typedef HWND SlotWindow;
typedef HICON SlotIcon;
#else
typedef void* SlotWindow;
typedef void* SlotIcon;
#endif

enum { SLOT_COUNT = 24 };

// One launcher slot. Every string is an exact-size heap copy owned by the
// slot, or null when absent.
struct LauncherSlot {
    char* target;      // file or folder the slot starts; null = empty slot
    char* extra;       // second text kept with the slot; only stored and loaded
    char* hint;        // tooltip text; null = never had a hint
    char* workFolder;  // null = the folder that contains the target
    // The whole UTF-16 names where target or workFolder holds only the best
    // ANSI form of one (its 8.3 alias, or '?' for letters the code page
    // lacks); null where the ANSI text is the name itself.
    char16_t* wholeTarget;
    char16_t* wholeWorkFolder;
    int index;         // 0..23, set when the slot's button is created
    SlotWindow button; // the slot's ring button
    SlotIcon icon;     // target's icon, owned by the ring button; null without target
};

// Values saved after the slots in the settings file.
struct LauncherSettings {
    bool hideAfterLaunch; // hide the ring after a launch; a middle click hides it
    bool showAtStart;     // show the ring window when it is created
    int windowLeft;       // screen x of the ring window's top-left corner
    int windowTop;        // screen y of that corner
};

extern const LauncherSettings kSettingsStartValues; // true, false, 0, 0
extern LauncherSettings launcherSettings;

extern const char kDefaultHint[]; // "You mast define action!"

// Allocates 24 zero-filled slots (every string absent); null when out of memory.
LauncherSlot* AllocateSlotTable();
// Releases target, extra, hint and workFolder of every slot and makes them
// absent. Icons and buttons belong to the ring buttons and are left alone.
void EmptySlotTable(LauncherSlot* slots);
// Empties every slot, then releases the table.
void FreeSlotTable(LauncherSlot* slots);

// Exact-size heap copy (length plus NUL); null when out of memory.
char* CopyText(const char* text);
// Replaces *field by a copy of text (null text makes it absent).
void ReplaceText(char** field, const char* text);
// The same for a UTF-16 whole name; its length in code units.
size_t WholeLength(const char16_t* text);
void ReplaceWholeText(char16_t** field, const char16_t* text);
bool SameWholeText(const char16_t* first, const char16_t* second);

// The default hint of a path: its file name without the extension. The drive
// root "C:\" gives an empty, present hint. Null when out of memory.
char* DeriveHint(const char* path);
// The same of a whole UTF-16 name, in ANSI for reading (base/readable_text.h).
char* DeriveHint(const char16_t* whole);

// Where each slot's sector lies on the ring (angles in radians).
struct RingLayoutEntry {
    double startAngle;
    double angularWidth;
    int innerRadius;
    int outerRadius;
};
enum { RING_CENTRE_X = 100, RING_CENTRE_Y = 100 };
// Fills the 24 entries in slot order: groups of one inner and two outer
// sectors, 45 degrees a group.
void BuildRingLayout(RingLayoutEntry layout[SLOT_COUNT]);

// Private window messages (WM_USER + n).
enum {
    UM_TRAYNOTIFY = 1034,  // tray icon callback; lParam = mouse message
    UM_SLOTMENU = 1035,    // right click on a button; wParam = slot
    UM_SLOTCLICK = 1036,   // left click on a button; wParam = slot
    UM_SLOTHOVER = 1037,   // lParam = SlotHoverInfo*
    UM_EDITSLOT = 1038,    // to the hint dialog: lParam = LauncherSlot* to edit
    UM_SLOTCHANGED = 1038  // to the ring window: lParam = LauncherSlot* whose hint changed
};

struct SlotHoverInfo {
    bool show; // the pointer came onto the sector (false: left it, or capture lost)
    int slot;  // slot index
    int x;     // screen x of the sector's icon anchor when show, else 0
    int y;     // screen y of that anchor when show, else 0
};

// Menu command identifiers.
enum {
    IDM_SHOWHIDE = 40001,
    IDM_ABOUT = 40002,
    IDM_EXIT = 40003,
    IDM_AUTOSTART = 40004,
    IDM_CHOOSEFILE = 40006,
    IDM_WORKFOLDER = 40007,
    IDM_HINT = 40009,
    IDM_CLEAR = 40010,
    IDM_NOHIDE = 40011
};

#endif
