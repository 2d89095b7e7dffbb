// A settings file read into a table as the launcher's start reads it: the
// reader, then the load test that the ring's workers run after start.
#ifndef ZRONDEL_TESTS_LOAD_AS_STARTED_H
#define ZRONDEL_TESTS_LOAD_AS_STARTED_H

#include "settings/file_on_disk.h"
#include "settings/format.h"
#include "settings/settings_shim.h"

inline SettingsLoadResult LoadAsStarted(const char* path, LauncherSlot* slots)
{
    bool hintsStored;
    SettingsLoadResult result = LoadSettings(path, slots, SLOT_COUNT, nullptr, nullptr, &hintsStored);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (slots[i].target && TargetIsGone(slots[i].target, slots[i].wholeTarget))
            ForgetTarget(&slots[i], hintsStored);
    }
    return result;
}

#endif
