#include "app/launcher.h"

#include "app/autostart.h"
#include "app/helperlib.h"
#include "app/hotkey.h"
#include "app/launcher_key.h"
#include "app/ring_keyboard.h"
#include "app/ringwnd.h"
#include "app/shell.h"
#include "app/target_worker.h"
#include "app/tray.h"
#include "base/dpi.h"
#include "base/ui_language.h"
#include "hintdlg/editdlg.h"
#include "res/resource.h"
#include "ring/vbutton.h"
#include "settings/store.h"
#include "tooltip/tooltip.h"

namespace {

const COLORREF kRingBackground = 0x00FFCC66;
// How long a start that lost the race waits for the winner's ring.
const DWORD kRunningInstanceWait = 5000;
const DWORD kRunningInstancePoll = 50;
// How long the first paint waits for the icons: on a local disk they all
// answer within it, so none pops in later; a silent share is not waited for.
const DWORD kFirstIconsWait = 150;

// Without a running instance returns false; with one, shows it.
bool ShowRunningInstance()
{
    HWND running = FindWindowA(kRingWindowClass, kRingWindowTitle);
    if (!running || !IsWindow(running))
        return false;
    ShowWindow(running, SW_SHOW);
    return true;
}

// The window check alone lets two starts a few milliseconds apart (autostart
// and a click) both pass before either has its window. The mutex named
// after the launcher is taken first, so one of them always knows it lost; it
// shows the winner's ring once that exists, and keeps nothing. A winner that
// ends meanwhile leaves its mutex to the waiting start, which then runs.
bool AnotherInstanceRuns()
{
    SetLastError(0);
    HANDLE mutex = CreateMutexA(nullptr, TRUE, kRingWindowTitle);
    // Access denied: the mutex is there, made by a launcher that runs with
    // other rights (elevated), which this start can neither take nor wait for.
    bool lost = mutex ? GetLastError() == ERROR_ALREADY_EXISTS : GetLastError() == ERROR_ACCESS_DENIED;
    bool shown = ShowRunningInstance();
    for (DWORD waited = 0; lost && !shown && waited < kRunningInstanceWait; waited += kRunningInstancePoll) {
        DWORD taken = WAIT_TIMEOUT;
        if (mutex)
            taken = WaitForSingleObject(mutex, kRunningInstancePoll);
        else
            Sleep(kRunningInstancePoll);
        lost = taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED;
        shown = lost && ShowRunningInstance();
    }
    if (shown || lost) {
        if (mutex)
            CloseHandle(mutex);
        return true;
    }
    launcher.instanceMutex = mutex;
    return false;
}

void ReleaseInstanceMutex()
{
    if (!launcher.instanceMutex)
        return;
    ReleaseMutex(launcher.instanceMutex);
    CloseHandle(launcher.instanceMutex);
    launcher.instanceMutex = nullptr;
}

void CreateRing(HWND ring)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    SetVButtonAccess(&kRingButtonAccess);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        LauncherSlot* slot = &launcher.slots[i];
        slot->icon = nullptr; // drawn as a defined slot until its target answers
        slot->button = CreateVButton(ring, i, slot->icon, RING_CENTRE_X, RING_CENTRE_Y,
                                     layout[i].startAngle, layout[i].angularWidth,
                                     layout[i].innerRadius, layout[i].outerRadius, ringWindow.dpi);
        slot->index = i;
        // Nothing asked by an earlier ring holds for this one. The load test
        // asks first whether the target is gone.
        ForgetSlotAnswers(slot);
        AskSlotIcon(ring, slot, ringWindow.dpi, true);
    }
}

// The menu resource in the user's language: as Windows picks it by the
// interface language, or in the language the user's value names.
HMENU LoadUiMenu(int id)
{
    HRSRC found = FindResourceExA(launcher.instance, RT_MENU, MAKEINTRESOURCEA(id), UiResourceLanguage());
    HGLOBAL loaded = found ? LoadResource(launcher.instance, found) : nullptr;
    return loaded ? LoadMenuIndirectW(LockResource(loaded)) : nullptr;
}

// The user's "Language" value, before anything shows a text.
void ChooseUiLanguage()
{
    char value[16]; // room for the UTF-16 form the registry reads it from
    DWORD size = sizeof value;
    const bool read = ReadLauncherString("Language", value, &size);
    uiLanguage = UiLanguageFromValue(read ? value : nullptr, size);
}

// The icons that answer within a moment are in the ring when it first paints.
void TakeFirstIcons(HWND ring)
{
    AwaitAnswers(kFirstIconsWait);
    MSG answer;
    while (PeekMessageA(&answer, ring, UM_PLACEANSWERED, UM_PLACEANSWERED, PM_REMOVE))
        DispatchMessageA(&answer);
}

void LoadMenus()
{
    launcher.mainMenuResource = LoadUiMenu(IDR_MAIN_MENU);
    launcher.mainMenu = GetSubMenu(launcher.mainMenuResource, 0);
    launcher.autostartEnabled = IsAutostartEnabled();
    if (launcher.autostartEnabled)
        CheckMenuItem(launcher.mainMenu, IDM_AUTOSTART, MF_BYCOMMAND | MF_CHECKED);
    if (!launcherSettings.hideAfterLaunch)
        ShowHidingMark();
    launcher.slotMenuResource = LoadUiMenu(IDR_SLOT_MENU);
    launcher.slotMenu = GetSubMenu(launcher.slotMenuResource, 0);
}

} // namespace

int StartLauncher(HINSTANCE instance)
{
    launcher.instance = instance;
    DeclareDpiAwareness(); // before the first window, a running instance's search included
    if (AnotherInstanceRuns())
        return EXIT_ALREADY_RUNNING;
    if (!RegisterVButtonClass(instance))
        return EXIT_NO_BUTTON_CLASS;
    ChooseUiLanguage();
    RegisterEditDlgClass(instance);
    RegisterToolTipClass(instance);

    launcher.slots = AllocateSlotTable();
    wchar_t* folder = ExeFolder();
    // A folder with no ANSI name that leaves room for every name derived
    // from settings.dat is told of once; the settings are never kept elsewhere.
    char settingsPath[MAX_PATH];
    bool named = PathBesideExe("settings.dat", settingsPath, MAX_PATH - SETTINGS_NAME_ROOM);
    if (!launcher.slots || !folder || !OpenSettingsStore(named ? settingsPath : nullptr, launcher.slots)) {
        free(folder);
        FreeSlotTable(launcher.slots);
        launcher.slots = nullptr;
        return EXIT_NO_SETTINGS_PATH;
    }
    free(folder);
    if (!named)
        ReportUnusableFolder();
    LoadStoredSettings();

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
    TakeFirstIcons(ring);
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
    SaveSettingsAtEnd(false);
    CloseSettingsStore();
    DestroyMenu(launcher.mainMenuResource);
    DestroyMenu(launcher.slotMenuResource);
    FreeSlotTable(launcher.slots);
    launcher.slots = nullptr;
    UnregisterVButtonClass();
    UnregisterEditDlgClass(launcher.instance);
    bool ringClassGone = UnregisterClassA(kRingWindowClass, launcher.instance) != 0;
    UnregisterToolTipClass(launcher.instance);
    // Unregistering a class deletes its background brush with it: only a
    // brush that no class holds is still ours to delete.
    if (!ringClassGone)
        DeleteObject(launcher.backgroundBrush);
    UnloadHelperLibrary();
    ReleaseInstanceMutex(); // the settings are saved: a new start may run
}
