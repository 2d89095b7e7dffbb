#include "app/hotkey.h"

#include "app/hotkey_text.h"
#include "app/launcher_key.h"
#include "app/ring_place.h"
#include "base/onscreen.h"

static_assert(HOTKEY_ALT == MOD_ALT && HOTKEY_CTRL == MOD_CONTROL && HOTKEY_SHIFT == MOD_SHIFT &&
                  HOTKEY_WIN == MOD_WIN,
              "the text's modifiers are RegisterHotKey's");

namespace {

const int kRingHotkeyId = 1;

// The value's text in the buffer; null when there is no string value, or
// one too long for any combination.
const char* ReadHotkeyText(char* text, DWORD capacity)
{
    DWORD size = capacity - 1;
    if (!ReadLauncherString("Hotkey", text, &size))
        return nullptr;
    text[size] = '\0'; // the stored size may leave the NUL out
    return text;
}

} // namespace

void RegisterRingHotkey(HWND ring)
{
    char text[64];
    HotkeyCombination combination = HotkeyFromText(ReadHotkeyText(text, sizeof text));
    if (combination.key == 0)
        return;
    // A held combination would toggle the ring at the key repeat's pace.
    // Systems before Windows 7 refuse MOD_NOREPEAT; there it repeats.
    if (!RegisterHotKey(ring, kRingHotkeyId, combination.modifiers | MOD_NOREPEAT, combination.key))
        RegisterHotKey(ring, kRingHotkeyId, combination.modifiers, combination.key);
}

void UnregisterRingHotkey(HWND ring)
{
    UnregisterHotKey(ring, kRingHotkeyId);
}

void ToggleRingAtPointer(HWND ring)
{
    if (IsWindowVisible(ring)) {
        ShowWindow(ring, SW_HIDE);
        return;
    }
    // Without a pointer position (a desktop that denies it) the ring goes
    // to the middle of the primary work area.
    POINT pointer;
    if (!GetCursorPos(&pointer)) {
        RECT work = {};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        pointer = {work.left + (work.right - work.left) / 2, work.top + (work.bottom - work.top) / 2};
    }
    // Sized for the monitor it opens on before it is made whole there.
    PlaceRing(ring, WholeOnWorkArea(RingPlaceAround(pointer), pointer), SWP_SHOWWINDOW);
    SetForegroundWindow(ring);
}

bool HideRingOnEscape(HWND ring, WPARAM key)
{
    if (key != VK_ESCAPE)
        return false;
    ShowWindow(ring, SW_HIDE);
    return true;
}
