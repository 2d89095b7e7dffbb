#include "app/ringwnd.h"

#include <stdlib.h>

#include "app/autostart.h"
#include "app/drop_target.h"
#include "app/hotkey.h"
#include "app/ring_keyboard.h"
#include "app/ring_place.h"
#include "app/shell.h"
#include "app/slotcmds.h"
#include "app/target_worker.h"
#include "app/tray.h"
#include "base/contrast.h"
#include "base/dpi.h"
#include "base/onscreen.h"
#include "base/target_kind.h"
#include "hintdlg/editdlg.h"
#include "ring/vbutton.h"
#include "settings/store.h"
#include "tooltip/tooltip.h"

const char kRingWindowClass[] = "ZR_Main_Window_Class";

RingWindowState ringWindow = {nullptr, nullptr, nullptr, nullptr, -1, BASE_DPI};

namespace {

const COLORREF kToolTipBackground = 0x00FFCC66;
const COLORREF kToolTipText = 0x00000000;
// While the settings file could not be read, it is tried again this often.
const UINT_PTR kSettingsRetryTimer = 1;
const UINT kSettingsRetryMilliseconds = 3000;
// Drags are accepted this long after the ring is made: OLE is the costliest
// library the launcher loads, and the start does not wait for it.
const UINT_PTR kAcceptDragsTimer = 2;
const UINT kAcceptDragsMilliseconds = 500;

// Null for an index that names no slot: the private messages may come from
// any sender.
LauncherSlot* SlotAt(WPARAM index)
{
    return index < SLOT_COUNT ? &launcher.slots[index] : nullptr;
}

RECT ReachableRingPlace(RECT place); // below, beside the other place rules

HFONT CreateRingFont(int dpi)
{
    LOGFONTA face = {};
    face.lfHeight = Scale(-12, dpi);
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(face.lfFaceName, "Comic Sans MS");
    return CreateFontIndirectA(&face);
}

LRESULT OnCreate(HWND window)
{
    ringWindow.window = window;
    ringWindow.currentSlot = -1;
    // Made hidden at 96 DPI's size, it takes its monitor's before it shows,
    // and stays whole within reach at that size.
    ringWindow.dpi = WindowDpi(window);
    if (ringWindow.dpi != BASE_DPI) {
        RECT place;
        GetWindowRect(window, &place);
        const int size = Scale(RING_SIZE, ringWindow.dpi);
        place = ReachableRingPlace({place.left, place.top, place.left + size, place.top + size});
        SetWindowPos(window, nullptr, place.left, place.top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ringWindow.font = CreateRingFont(ringWindow.dpi);
    ringWindow.toolTip =
        CreateToolTip(window, ringWindow.font, kToolTipBackground, kToolTipText, ringWindow.dpi);
    ringWindow.editDialog = CreateEditDlg(window);
    SetSettingsBoxOwner(window); // the ring takes no command while one is up
    if (SettingsAwaitReading())
        SetTimer(window, kSettingsRetryTimer, kSettingsRetryMilliseconds, nullptr);
    SetTimer(window, kAcceptDragsTimer, kAcceptDragsMilliseconds, nullptr);
    if (launcherSettings.showAtStart)
        ShowWindow(window, SW_SHOW);
    return 0;
}

void OnDestroy()
{
    SetSettingsBoxOwner(nullptr);
    RefuseDrags(ringWindow.window);
    UnregisterRingHotkey(ringWindow.window);
    RemoveTrayIcon();
    DeleteObject(ringWindow.font);
    ringWindow.font = nullptr;
    for (int i = 0; i < SLOT_COUNT; ++i)
        DestroyWindow(launcher.slots[i].button); // each destroys its icon
    ringWindow.window = nullptr;
    PostQuitMessage(0);
}

// Icons and the hiding mark of a table the store read anew: only the
// slots whose targets changed ask for their icons again, and, where it is
// the start's read made late, whether their targets are gone.
void ShowStoredTable(bool testGone)
{
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (SlotTargetChanged(&launcher.slots[i]))
            ShowStoredIcon(&launcher.slots[i], testGone);
    }
    ShowHidingMark();
}

// What another copy saved, once the store took it into the table.
void ShowTakenSettings()
{
    if (SettingsTakenFromOtherCopy())
        ShowStoredTable(false);
}

// Every way the ring comes up (hotkey, middle click, second start, tray,
// menu, a late read) ends here: SetWindowPos with SWP_SHOWWINDOW sends no
// WM_SHOWWINDOW, but every show sends this. Another copy may have saved
// slots meanwhile: they show at once.
void OnRingShown()
{
    CatchUpWithSettingsFile();
    ShowTakenSettings();
}

void OnShowWindow(BOOL shown)
{
    if (shown)
        return;
    ForgetRingChoice();
    ShowWindow(ringWindow.toolTip, SW_HIDE);
    ShowWindow(ringWindow.editDialog, SW_HIDE);
}

// Middle button: lParam is a screen point, both halves read unsigned.
void OnMiddleButtonUp(HWND window, LPARAM point)
{
    if (!IsWindowVisible(window)) {
        PlaceRing(window, RingPlaceAround({LOWORD(point), HIWORD(point)}), SWP_NOACTIVATE);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    } else if (launcherSettings.hideAfterLaunch) {
        ShowWindow(window, SW_HIDE);
    }
}

void OpenReadme()
{
    char readme[MAX_PATH];
    LauncherSlot file = {};
    file.target = readme;
    if (PathBesideExe("readme.txt", readme, MAX_PATH))
        StartOnWorker(&file, nullptr, nullptr);
}

void ToggleHiding()
{
    launcherSettings.hideAfterLaunch = !launcherSettings.hideAfterLaunch;
    ShowHidingMark();
    SaveLauncherSettings();
}

void EditCurrentSlotHint()
{
    int index = ringWindow.currentSlot;
    POINT place;
    if (index >= 0 && index < SLOT_COUNT)
        OpenEditDlg(ringWindow.editDialog, &launcher.slots[index], SlotMenuPlace(index, &place) ? &place : nullptr);
}

// The whole wParam is the command: only menu choices (notification code 0) match.
void OnCommand(HWND window, WPARAM command)
{
    switch (command) {
    case IDM_SHOWHIDE:
        ShowWindow(window, IsWindowVisible(window) ? SW_HIDE : SW_SHOW);
        break;
    case IDM_ABOUT:
        OpenReadme();
        break;
    case IDM_EXIT:
        CloseRingWindow(window);
        break;
    case IDM_NOHIDE:
        ToggleHiding();
        break;
    case IDM_CHOOSEFILE:
        ChooseSlotFile(window, &ringWindow.currentSlot);
        break;
    case IDM_WORKFOLDER:
        ChooseSlotWorkFolder(window, &ringWindow.currentSlot);
        break;
    case IDM_HINT:
        EditCurrentSlotHint();
        break;
    case IDM_CLEAR:
        ClearSlot(window, &ringWindow.currentSlot);
        break;
    case IDM_AUTOSTART:
        ToggleAutostart(launcher.mainMenu);
        break;
    }
}

void OnTrayNotify(HWND window, LPARAM mouseMessage)
{
    if (mouseMessage == WM_LBUTTONUP)
        SendMessageA(window, WM_COMMAND, IDM_SHOWHIDE, 0);
    else if (mouseMessage == WM_RBUTTONUP)
        ShowMenuAtCursor(window, launcher.mainMenu);
}

LRESULT OnSlotMenu(HWND window, WPARAM index)
{
    LauncherSlot* slot = SlotAt(index);
    if (!slot)
        return 0;
    ringWindow.currentSlot = static_cast<int>(index);
    EnableSlotMenu(launcher.slotMenu, slot->target != nullptr);
    NoteSlotMenuByPointer();
    ShowMenuAtCursor(window, launcher.slotMenu);
    return 1;
}

// Ctrl+Shift with the click or the Enter starts a file as administrator, as
// the taskbar and the Start menu do. The keys are read now; the start
// itself waits for the target on a worker.
void StartSlotTarget(HWND window, const LauncherSlot* slot)
{
    const bool elevated = KindOfTarget(slot->target) == TARGET_FILE && GetKeyState(VK_CONTROL) < 0 &&
                          GetKeyState(VK_SHIFT) < 0;
    StartOnWorker(slot, elevated ? "runas" : nullptr, MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

void OnSlotClick(HWND window, WPARAM index)
{
    LauncherSlot* slot = SlotAt(index);
    if (!slot)
        return;
    ringWindow.currentSlot = static_cast<int>(index);
    if (slot->target) {
        // Hidden first, so the started program comes up in front of nothing of ours.
        if (launcherSettings.hideAfterLaunch)
            ShowWindow(window, SW_HIDE);
        StartSlotTarget(window, slot);
    } else {
        MessageBoxA(window, "You mast define action for this button.", "VButton Clicked!",
                    MB_ICONINFORMATION);
    }
}

LRESULT OnSlotHover(const SlotHoverInfo* hover)
{
    LauncherSlot* slot = hover ? SlotAt(hover->slot) : nullptr;
    if (!slot)
        return -1;
    HWND tip = ringWindow.toolTip;
    if (!hover->show) {
        ShowWindow(tip, SW_HIDE);
        SetWindowTextA(tip, slot->hint ? slot->hint : "");
        SendMessageA(tip, WM_SETICON, ICON_BIG, 0);
        return 0;
    }
    // The tooltip fits itself to text and icon before these calls return.
    SetWindowTextA(tip, slot->hint ? slot->hint : "");
    SendMessageA(tip, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(slot->icon));
    if ((slot->hint && slot->hint[0]) || slot->icon) {
        RECT client;
        GetClientRect(tip, &client);
        // Bottom-left corner 10 pixels right of and above the sector's icon,
        // moved onto the screen where that leaves part of it off.
        const int gap = Scale(10, ringWindow.dpi);
        RECT place = {hover->x + gap, hover->y - client.bottom - gap, hover->x + gap + client.right,
                      hover->y - gap};
        RECT onScreen = WholeOnWorkArea(place, {hover->x, hover->y});
        // Pushed down from the screen's top edge it can come over the sector
        // and hide what the pointer points at: then it goes 10 pixels below
        // the 20-pixel icon instead, and below the pointer.
        POINT pointer;
        const int belowIcon = hover->y + Scale(30, ringWindow.dpi);
        if (onScreen.top > place.top && GetCursorPos(&pointer) && PtInRect(&onScreen, pointer))
            onScreen.top = pointer.y < belowIcon ? belowIcon : pointer.y + 1;
        MoveWindow(tip, onScreen.left, onScreen.top, client.right, client.bottom, TRUE);
        ShowWindow(tip, SW_SHOWNOACTIVATE);
    }
    return 0;
}

LRESULT OnSlotChanged(const LauncherSlot* slot)
{
    if (!slot)
        return -1;
    SaveLauncherSettings();
    ShowTakenSettings();
    return 1;
}

// What the next start restores: the ring's top-left corner and whether it
// is shown.
void RecordRingPlace(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    launcherSettings.windowLeft = place.left;
    launcherSettings.windowTop = place.top;
    launcherSettings.showAtStart = IsWindowVisible(window) != 0;
}

// At a logoff or shutdown the system ends the process once this returns,
// without the close that would otherwise record the place and save.
void OnEndSession(HWND window, BOOL ending)
{
    if (!ending)
        return;
    RecordRingPlace(window);
    SaveSettingsAtEnd(true);
}

// A place whose centre lies on no monitor (a screen unplugged, a lower
// resolution) would leave the ring out of reach: it moves whole onto the
// nearest monitor's work area. A place whose centre shows stays exactly.
RECT ReachableRingPlace(RECT place)
{
    POINT centre = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    return IsOnAMonitor(centre) ? place : WholeOnWorkArea(place, centre);
}

// Where the settings put the ring of that size, within reach.
RECT StoredRingPlace(int size)
{
    const int left = NearTheScreens(launcherSettings.windowLeft);
    const int top = NearTheScreens(launcherSettings.windowTop);
    return ReachableRingPlace({left, top, left + size, top + size});
}

// The settings file, read late once it came free, shown as a start would
// have shown it. A ring the user has brought up stays where it is.
void ShowLateSettings(HWND window)
{
    ShowStoredTable(true);
    if (IsWindowVisible(window))
        return;
    RECT place = StoredRingPlace(Scale(RING_SIZE, ringWindow.dpi));
    SetWindowPos(window, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (launcherSettings.showAtStart ? SWP_SHOWWINDOW : 0));
}

void OnSettingsRetry(HWND window)
{
    if (RetryUnreadSettings())
        ShowLateSettings(window);
    if (!SettingsAwaitReading())
        KillTimer(window, kSettingsRetryTimer);
}

void OnDisplayChange(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    RECT reachable = ReachableRingPlace(place);
    if (reachable.left != place.left || reachable.top != place.top)
        SetWindowPos(window, nullptr, reachable.left, reachable.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Onto a monitor of another scale, or the scale changed: everything is made
// again for the new DPI and drawn once. The ring keeps the place it is being
// moved to, or else the centre of the place the system suggests, at its
// size for the DPI and whole on that monitor's work area.
void OnDpiChanged(HWND window, int dpi, const RECT* suggested)
{
    // The tooltip may hold an icon about to be replaced.
    ShowWindow(ringWindow.toolTip, SW_HIDE);
    SendMessageA(ringWindow.toolTip, WM_SETICON, ICON_BIG, 0);
    ringWindow.dpi = dpi;
    HFONT oldFont = ringWindow.font;
    ringWindow.font = CreateRingFont(dpi);
    SetToolTipScale(ringWindow.toolTip, ringWindow.font, dpi);
    DeleteObject(oldFont);
    const int size = Scale(RING_SIZE, dpi);
    const RECT* underway = RingPlaceUnderway();
    const POINT centre = {(suggested->left + suggested->right) / 2, (suggested->top + suggested->bottom) / 2};
    const RECT around = {centre.x - size / 2, centre.y - size / 2, centre.x - size / 2 + size, centre.y - size / 2 + size};
    const RECT place = underway ? *underway : WholeOnWorkArea(around, centre);
    SetWindowPos(window, nullptr, place.left, place.top, size, size, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    SetWindowRgn(window, CreateEllipticRgn(0, 0, size, size), FALSE); // the system owns it now
    // The icons are drawn scaled until they are taken again at the new size.
    for (int i = 0; i < SLOT_COUNT; ++i)
        RescaleVButton(launcher.slots[i].button, dpi);
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < SLOT_COUNT; ++i)
        AskSlotIcon(window, &launcher.slots[i], dpi);
}

// A worker answered about a slot's target, which is still the slot's: the
// slot is emptied and saved where the target was found gone, else the icon taken at
// the ring's present size is shown. A tooltip that shows the old icon shows
// the new one.
void OnPlaceAnswered(WPARAM number)
{
    TargetAnswer answer;
    if (!TakeAnswer(number, launcher.slots, &answer))
        return;
    LauncherSlot* slot = &launcher.slots[answer.slot];
    if (answer.gone) {
        ForgetGoneTarget(answer.slot);
        ShowStoredIcon(slot);
        return;
    }
    VButtonState* button = VButtonStateOf(slot->button);
    if (!button || answer.dpi != button->dpi) {
        DestroyIcon(answer.icon);
        return;
    }
    HICON old = static_cast<HICON>(slot->icon);
    HICON shown = reinterpret_cast<HICON>(SendMessageA(ringWindow.toolTip, WM_SETICON, ICON_BIG, 0));
    DestroyIcon(button->icon);
    button->icon = answer.icon;
    slot->icon = answer.icon;
    InvalidateRect(button->window, nullptr, TRUE);
    SendMessageA(ringWindow.toolTip, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(shown && shown == old ? slot->icon : shown));
}

} // namespace

ATOM RegisterRingWindowClass(HINSTANCE instance, HICON icon, HBRUSH background)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RingWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = kRingWindowClass;
    return RegisterClassA(&windowClass);
}

HWND CreateRingWindow(HINSTANCE instance)
{
    RECT place = StoredRingPlace(RING_SIZE);
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kRingWindowClass, kRingWindowTitle,
                           WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, place.left, place.top, RING_SIZE,
                           RING_SIZE, nullptr, nullptr, instance, nullptr);
}

void ShowHidingMark()
{
    CheckMenuItem(launcher.mainMenu, IDM_NOHIDE,
                  MF_BYCOMMAND | (launcherSettings.hideAfterLaunch ? MF_UNCHECKED : MF_CHECKED));
}

void CloseRingWindow(HWND window)
{
    RecordRingPlace(window);
    DestroyWindow(window);
}

LRESULT CALLBACK RingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Explorer restarted: without its icon a hidden ring could not be reached.
    if (IsTaskbarCreated(message)) {
        RestoreTrayIcon();
        return 0;
    }
    if (OnColourMessage(window, message, wParam))
        return 1;
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        CloseRingWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(window, static_cast<BOOL>(wParam));
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange(window);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(window, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)
            OnRingShown();
        break; // the default sends WM_SIZE and WM_MOVE
    case WM_ACTIVATE:
        OnRingActivate(wParam);
        break; // the default gives the window the keyboard focus
    case WM_NCHITTEST:
        return HTCAPTION; // the whole face drags the window
    case WM_NCRBUTTONDOWN:
        // Some systems' default handling waits in a loop of its own for the
        // release and turns it into WM_CONTEXTMENU; kept from it, the release
        // arrives here as WM_NCRBUTTONUP everywhere.
        return 0;
    case WM_NCRBUTTONUP:
        ShowMenuAtCursor(window, launcher.mainMenu);
        return 0;
    case WM_NCMBUTTONUP:
    case WM_MBUTTONUP:
        OnMiddleButtonUp(window, lParam);
        return 0;
    case WM_COMMAND:
        OnCommand(window, wParam);
        ShowTakenSettings(); // a save may have written onto another copy's slots
        return 0;
    case WM_HOTKEY:
        ToggleRingAtPointer(window);
        return 0;
    case WM_TIMER:
        if (wParam == kTakeDropTimer) {
            KillTimer(window, kTakeDropTimer);
            TakeDrop(window);
            return 0;
        }
        if (wParam == kAcceptDragsTimer) {
            KillTimer(window, kAcceptDragsTimer);
            AcceptDrags(window);
            return 0;
        }
        if (wParam != kSettingsRetryTimer)
            break;
        OnSettingsRetry(window);
        return 0;
    case WM_KEYDOWN:
        if (HideRingOnEscape(window, wParam) || OnRingKeyDown(window, wParam))
            return 0;
        break;
    case WM_CHAR:
        OnRingCharacter(window, wParam);
        return 0;
    case WM_CONTEXTMENU:
        if (OnRingContextMenu(window, lParam))
            return 0;
        break;
    case WM_DROPFILES: {
        LRESULT dropped = DropOnSlot(reinterpret_cast<HDROP>(wParam), reinterpret_cast<VButtonState*>(lParam),
                                     &ringWindow.currentSlot);
        ShowTakenSettings();
        return dropped;
    }
    case UM_TRAYNOTIFY:
        OnTrayNotify(window, lParam);
        return 0;
    case UM_SLOTMENU:
        return OnSlotMenu(window, wParam);
    case UM_SLOTCLICK:
        OnSlotClick(window, wParam);
        return 0;
    case UM_SLOTHOVER:
        FollowPointer(reinterpret_cast<const SlotHoverInfo*>(lParam));
        return OnSlotHover(reinterpret_cast<const SlotHoverInfo*>(lParam));
    case UM_SLOTCHANGED:
        return OnSlotChanged(reinterpret_cast<const LauncherSlot*>(lParam));
    case UM_PLACEANSWERED:
        OnPlaceAnswered(wParam);
        return 0;
    case UM_DROPLOOKEDUP:
        PlaceLookedUpDrop(window);
        ShowTakenSettings();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
