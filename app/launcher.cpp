#include "app/launcher.h"

#include "app/autostart.h"
#include "app/helperlib.h"
#include "app/hotkey.h"
#include "app/ringwnd.h"
#include "app/shell.h"
#include "app/tray.h"
#include "hintdlg/editdlg.h"
#include "res/resource.h"
#include "ring/vbutton.h"
#include "settings/settings.h"
#include "tooltip/tooltip.h"

Launcher launcher;

namespace {

const COLORREF kRingBackground = 0x00FFCC66;

// Without a running instance returns false; with one, shows it.
bool ShowRunningInstance()
{
    HWND running = FindWindowA(kRingWindowClass, kRingWindowTitle);
    if (!running || !IsWindow(running))
        return false;
    ShowWindow(running, SW_SHOW);
    return true;
}

void ReadSettings()
{
    if (GetFileAttributesA(launcher.settingsPath) == INVALID_FILE_ATTRIBUTES)
        launcherSettings.showAtStart = true; // first start: show the ring
    else
        LoadSettings(launcher.settingsPath, launcher.slots, SLOT_COUNT);
}

void CreateRing(HWND ring)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        LauncherSlot* slot = &launcher.slots[i];
        if (slot->target)
            slot->icon = ExtractTargetIcon(slot->target);
        slot->button = CreateVButton(ring, i, slot->icon, RING_CENTRE_X, RING_CENTRE_Y,
                                     layout[i].startAngle, layout[i].angularWidth,
                                     layout[i].innerRadius, layout[i].outerRadius);
        slot->index = i;
    }
}

void LoadMenus()
{
    launcher.mainMenuResource = LoadMenuA(launcher.instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    launcher.mainMenu = GetSubMenu(launcher.mainMenuResource, 0);
    launcher.autostartEnabled = IsAutostartEnabled();
    if (launcher.autostartEnabled)
        CheckMenuItem(launcher.mainMenu, IDM_AUTOSTART, MF_BYCOMMAND | MF_CHECKED);
    if (!launcherSettings.hideAfterLaunch)
        CheckMenuItem(launcher.mainMenu, IDM_NOHIDE, MF_BYCOMMAND | MF_CHECKED);
    launcher.slotMenuResource = LoadMenuA(launcher.instance, MAKEINTRESOURCEA(IDR_SLOT_MENU));
    launcher.slotMenu = GetSubMenu(launcher.slotMenuResource, 0);
}

} // namespace

int StartLauncher(HINSTANCE instance)
{
    launcher.instance = instance;
    if (ShowRunningInstance())
        return EXIT_ALREADY_RUNNING;
    if (!RegisterVButtonClass(instance))
        return EXIT_NO_BUTTON_CLASS;
    RegisterEditDlgClass(instance);
    RegisterToolTipClass(instance);

    launcher.slots = AllocateSlotTable();
    // Without the folder (or memory for the table) there is nowhere to keep settings.
    if (!launcher.slots || !PathBesideExe("settings.dat", launcher.settingsPath, MAX_PATH)) {
        FreeSlotTable(launcher.slots);
        launcher.slots = nullptr;
        return EXIT_NO_SETTINGS_PATH;
    }
    ReadSettings();

    launcher.classIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_RING));
    launcher.backgroundBrush = CreateSolidBrush(kRingBackground);
    if (!RegisterRingWindowClass(instance, launcher.classIcon, launcher.backgroundBrush))
        return EXIT_NO_RING_CLASS;
    HWND ring = CreateRingWindow(instance);
    if (!ring)
        return EXIT_NO_RING_WINDOW;

    RECT client;
    GetClientRect(ring, &client);
    SetWindowRgn(ring, CreateEllipticRgnIndirect(&client), TRUE); // the system owns it now
    CreateRing(ring);
    LoadMenus();
    AddTrayIcon(ring, launcher.classIcon, kRingWindowTitle);
    RegisterRingHotkey(ring);
    LoadHelperLibrary(); // reports its own failure; the launcher runs on without it
    return 0;
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void ShutDownLauncher()
{
    SaveLauncherSettings();
    DestroyMenu(launcher.mainMenuResource);
    DestroyMenu(launcher.slotMenuResource);
    FreeSlotTable(launcher.slots);
    launcher.slots = nullptr;
    UnregisterVButtonClass();
    UnregisterEditDlgClass(launcher.instance);
    UnregisterClassA(kRingWindowClass, launcher.instance);
    UnregisterToolTipClass(launcher.instance);
    DeleteObject(launcher.backgroundBrush);
    UnloadHelperLibrary();
}

void SaveLauncherSettings()
{
    SaveSettings(launcher.settingsPath, launcher.slots, SLOT_COUNT);
}
