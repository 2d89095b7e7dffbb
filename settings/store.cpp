#include "settings/store.h"

#include <stdlib.h>
#include <string.h>

#include "settings/settings.h"
#include "settings/settings_shim.h"

const char kUnreadableSettingsText[] = "Settings file cannot be read:";
const char kUnreadableSettingsKeptText[] = "It is kept as it is.";

namespace {

// A scanner or a backup tool holds a file for moments; a longer hold is
// reported rather than waited for.
const int kHoldWaitMilliseconds = 2000;
const int kRetryMilliseconds = 100;

struct SettingsStore {
    char* path;          // settings.dat beside the executable, for the whole run
    LauncherSlot* slots; // the 24 slots the file holds
    bool mayReplace;     // the file on disk was read, kept as .bak or absent: a save may replace it
};

SettingsStore store;

void ReportUnreadable(const char* reason)
{
    const char* const pieces[] = {kUnreadableSettingsText, "\n", store.path, "\n\n", reason, "\n",
                                  kUnreadableSettingsKeptText};
    // Path and reason have no fixed length; the message is made to fit them.
    size_t length = 1;
    for (const char* piece : pieces)
        length += strlen(piece);
    char* text = static_cast<char*>(malloc(length));
    if (!text)
        return;
    text[0] = '\0';
    for (const char* piece : pieces)
        strcat(text, piece);
    ShowSettingsMessage(text, kDamagedSettingsCaption);
    free(text);
}

} // namespace

bool OpenSettingsStore(const char* path, LauncherSlot* slots)
{
    store.path = CopyText(path);
    store.slots = slots;
    store.mayReplace = false;
    return store.path != nullptr;
}

void LoadStoredSettings()
{
    if (!PathExists(store.path)) {
        launcherSettings.showAtStart = true; // a first start shows the ring
        store.mayReplace = true;
        return;
    }
    int waited = 0;
    while (LoadSettings(store.path, store.slots, SLOT_COUNT) == SETTINGS_UNREADABLE) {
        if (waited >= kHoldWaitMilliseconds) {
            char reason[256];
            DescribeLastFileError(reason, sizeof reason);
            // Gone in the meantime: there is nothing left to protect.
            if (PathExists(store.path))
                ReportUnreadable(reason);
            else
                store.mayReplace = true;
            return;
        }
        PauseMilliseconds(kRetryMilliseconds);
        waited += kRetryMilliseconds;
    }
    store.mayReplace = true;
}

bool SaveLauncherSettings()
{
    if (!store.mayReplace) {
        // The user's bytes were never read: they go to settings.dat.bak
        // first, and while that is not possible this save waits for a later one.
        if (PathExists(store.path) && !BackUpSettingsFile(store.path))
            return false;
        store.mayReplace = true;
    }
    return SaveSettings(store.path, store.slots, SLOT_COUNT);
}

void CloseSettingsStore()
{
    free(store.path);
    store = SettingsStore();
}
