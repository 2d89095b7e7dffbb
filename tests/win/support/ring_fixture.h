// The launcher started inside a test from a folder of its own: a fixture
// that starts and stops it around each test, and ways to reach its slots,
// buttons and the files it writes.
#ifndef ZRONDEL_TESTS_RING_FIXTURE_H
#define ZRONDEL_TESTS_RING_FIXTURE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/slots.h"
#include "ring/vbutton.h"
#include "tests/win/support/input.h"
#include "tests/win/support/launcher_run.h"

RECT WindowRect(HWND window);
VButtonState* ButtonState(int slot);
// A screen point inside the slot's sector, on its icon.
POINT SectorPoint(int slot);

// Messages pumped until the condition holds, for at most 5 s: an answer
// from the ring's workers, for instance.
template <typename Condition> bool PumpUntil(Condition holds)
{
    for (DWORD start = GetTickCount(); !holds() && GetTickCount() - start < 5000;)
        PumpMessages(10);
    return holds();
}

// Waits for the recorder started by a launch; its record, or "" after 10 s.
std::string AwaitRecord(const std::string& log);

class RingFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the launcher and lets its first paints happen.
    void Start();
    // The program-wide values as the settings file on disk holds them.
    LauncherSettings Saved();

    const std::string settings_ = BesideTestExe("settings.dat");
    const std::string recorderLog_ = BesideTestExe("recorder.log");
};

#endif
