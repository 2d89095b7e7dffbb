#include "tests/win/support/ring_fixture.h"

#include "app/launcher.h"
#include "app/ringwnd.h"
#include "settings/file_on_disk.h"
#include "tests/win/support/input.h"

RECT WindowRect(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return bounds;
}

VButtonState* ButtonState(int slot)
{
    return reinterpret_cast<VButtonState*>(GetWindowLongPtrA(launcher.slots[slot].button, GWLP_USERDATA));
}

POINT SectorPoint(int slot)
{
    POINT anchor = SlotIconAnchor(slot);
    return {anchor.x + 10, anchor.y + 10};
}

std::string AwaitRecord(const std::string& log)
{
    // The recorder renames its whole record into place and lets go of it
    // after: until then the file is there but may not open for reading yet.
    std::string record;
    for (int waited = 0; waited < 10000 && (record = ReadWholeFile(log)).empty(); waited += 50)
        PumpMessages(50);
    return record;
}

void RingFixture::SetUp()
{
    DeleteFileA(settings_.c_str());
    MovePointerTo(1200, 1000); // away from the ring and its tooltip
}

void RingFixture::TearDown()
{
    StopTestLauncher();
    DeleteFileA(settings_.c_str());
    DeleteFileA(recorderLog_.c_str());
}

void RingFixture::Start()
{
    ASSERT_EQ(StartTestLauncher(), 0);
    ASSERT_NE(ringWindow.window, nullptr);
    PumpMessages();
}

LauncherSettings RingFixture::Saved()
{
    LauncherSlot* slots = AllocateSlotTable();
    LauncherSettings before = launcherSettings;
    launcherSettings = kSettingsStartValues;
    LoadSettings(settings_.c_str(), slots, SLOT_COUNT);
    LauncherSettings saved = launcherSettings;
    launcherSettings = before;
    FreeSlotTable(slots);
    return saved;
}
