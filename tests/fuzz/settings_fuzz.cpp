#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "settings/file_on_disk.h"

namespace {

std::string ScratchPath(const char* name)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/zrondel-fuzz-" + std::to_string(getpid()) + "-" + name;
}

bool SameText(const char* a, const char* b)
{
    return (!a && !b) || (a && b && strcmp(a, b) == 0);
}

// A text read up to a zero inside it may come out empty; a save writes an
// empty text as none.
bool SameStoredText(const char* a, const char* b)
{
    return SameText(a && *a ? a : nullptr, b && *b ? b : nullptr);
}

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = ScratchPath("settings.dat");
    static const std::string again = ScratchPath("again.dat");
    FILE* stream = fopen(input.c_str(), "wb");
    if (!stream)
        return 0;
    fwrite(data, 1, size, stream);
    fclose(stream);

    LauncherSlot* loaded = AllocateSlotTable();
    launcherSettings = kSettingsStartValues;
    LoadSettings(input.c_str(), loaded, SLOT_COUNT);
    const LauncherSettings loadedSettings = launcherSettings;

    // What was loaded saves and loads back as it was.
    Check(SaveSettings(again.c_str(), loaded, SLOT_COUNT));
    LauncherSlot* reloaded = AllocateSlotTable();
    launcherSettings = kSettingsStartValues;
    Check(LoadSettings(again.c_str(), reloaded, SLOT_COUNT) == SETTINGS_LOADED);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        Check(SameText(loaded[i].target, reloaded[i].target));
        if (loaded[i].target) {
            Check(SameStoredText(loaded[i].workFolder, reloaded[i].workFolder));
            Check(SameStoredText(loaded[i].extra, reloaded[i].extra));
            // An empty stored hint is derived from the target when read back.
            Check(!loaded[i].hint || !*loaded[i].hint || SameText(loaded[i].hint, reloaded[i].hint));
            // A name outside ASCII may gain its whole form, as the code page reads it.
            Check((!loaded[i].wholeTarget || SameWholeText(loaded[i].wholeTarget, reloaded[i].wholeTarget)) &&
                  (!loaded[i].wholeWorkFolder || SameWholeText(loaded[i].wholeWorkFolder, reloaded[i].wholeWorkFolder)));
        }
    }
    Check(launcherSettings.hideAfterLaunch == loadedSettings.hideAfterLaunch &&
          launcherSettings.showAtStart == loadedSettings.showAtStart &&
          launcherSettings.windowLeft == loadedSettings.windowLeft &&
          launcherSettings.windowTop == loadedSettings.windowTop);

    LauncherSlot* side = AllocateSlotTable(); // read as a side file, whose base may follow the table
    bool leftOver;
    FileFingerprint base; // and the base it may end in
    ReadSettingsFile(input.c_str(), side, SLOT_COUNT, &leftOver, nullptr, &base);

    FreeSlotTable(loaded);
    FreeSlotTable(reloaded);
    FreeSlotTable(side);
    return 0;
}
