#include "settings/store.h"

#include <stdlib.h>
#include <string.h>

#include "settings/settings.h"
#include "settings/settings_shim.h"

const char kUnreadableSettingsText[] = "Settings file cannot be read:";
const char kUnreadableSettingsKeptText[] = "It is kept as it is and read as soon as it can be.";
const char kUnsavedSettingsText[] = "Settings file cannot be saved:";
const char kUnsavedChangesText[] = "Your changes cannot be kept.";
const char kSetAsideSettingsText[] =
    "Settings file could be read only after you had changed slots.\nYour slots are saved in it; what it held is kept in:";
const char kChangesKeptAsideText[] = "It is kept as it is. Your changes are kept in:";

namespace {

// A scanner or a backup tool holds a file for moments; a longer hold is
// reported rather than waited for.
const int kHoldWaitMilliseconds = 2000;
const int kRetryMilliseconds = 100;

struct SettingsStore {
    char* path;           // settings.dat beside the executable, for the whole run
    char* backupPath;     // settings.dat.bak, the newest backup, named in the boxes
    LauncherSlot* slots;  // the 24 slots the file holds
    bool unread;          // the file is there but was never read: nothing may replace it
    bool changedUnread;   // the user changed the table while the file was unread
    bool backupOwed;      // the file holds bytes a save would drop: a backup comes first
    bool failureShown;    // the one box about a failed save of this run was shown
};

SettingsStore store;

// One box of the launcher's own, the pieces joined; path and reason have
// no fixed length, so the text is made to fit them.
void ShowJoined(const char* const* pieces, int count)
{
    size_t length = 1;
    for (int i = 0; i < count; ++i)
        length += strlen(pieces[i]);
    char* text = static_cast<char*>(malloc(length));
    if (!text)
        return;
    text[0] = '\0';
    for (int i = 0; i < count; ++i)
        strcat(text, pieces[i]);
    ShowSettingsMessage(text, kDamagedSettingsCaption);
    free(text);
}

// "<what>\n<path>\n\n<the system's reason>\n<then>", and where a backup
// is named, "\n<backup>" after it.
void ReportFile(const char* what, const char* then, const char* backup)
{
    const char* const pieces[] = {what, "\n", store.path, "\n\n", LastSettingsFailure(), "\n", then,
                                  backup ? "\n" : "", backup ? backup : ""};
    ShowJoined(pieces, sizeof pieces / sizeof pieces[0]);
}

// The file read into the fresh table; false, and the table and values as
// they were before, when it could not be read whole.
bool ReadStoredFile()
{
    const LauncherSettings before = launcherSettings;
    bool copyOwed = false;
    if (LoadSettings(store.path, store.slots, SLOT_COUNT, &copyOwed) == SETTINGS_UNREADABLE) {
        EmptySlotTable(store.slots);
        launcherSettings = before;
        return false;
    }
    store.unread = false;
    store.backupOwed = copyOwed;
    return true;
}

bool ReportSaveFailure(bool quietly)
{
    if (!store.failureShown && !quietly) {
        store.failureShown = true;
        ReportFile(kUnsavedSettingsText, kUnsavedChangesText, nullptr);
    }
    return false;
}

// The table in place of the file, whose bytes are first kept in a backup
// when a save would drop them.
bool WriteTable(bool quietly)
{
    if (store.backupOwed) {
        if (!BackUpSettingsFile(store.path))
            return ReportSaveFailure(quietly);
        store.backupOwed = false;
    }
    return SaveSettings(store.path, store.slots, SLOT_COUNT) || ReportSaveFailure(quietly);
}

// The user changed the table before the file could be read: the table takes
// the file's place once its bytes are whole in a backup. False while the
// file still cannot be read, or that backup cannot be made.
bool SetUnreadFileAside(bool quietly)
{
    if (PathExists(store.path)) {
        if (!BackUpSettingsFile(store.path))
            return false;
        if (!quietly) {
            const char* const pieces[] = {kSetAsideSettingsText, "\n", store.backupPath};
            ShowJoined(pieces, sizeof pieces / sizeof pieces[0]);
        }
    }
    store.unread = store.changedUnread = store.backupOwed = false;
    return WriteTable(quietly);
}

} // namespace

bool OpenSettingsStore(const char* path, LauncherSlot* slots)
{
    store = SettingsStore();
    store.path = CopyText(path);
    store.backupPath = static_cast<char*>(malloc(strlen(path) + sizeof ".bak"));
    store.slots = slots;
    if (!store.path || !store.backupPath) {
        CloseSettingsStore();
        return false;
    }
    strcpy(store.backupPath, path);
    strcat(store.backupPath, ".bak");
    return true;
}

void LoadStoredSettings()
{
    if (!PathExists(store.path)) {
        launcherSettings.showAtStart = true; // a first start shows the ring
        return;
    }
    for (int waited = 0; !ReadStoredFile(); waited += kRetryMilliseconds) {
        if (waited >= kHoldWaitMilliseconds) {
            // Gone in the meantime: there is nothing left to protect.
            store.unread = PathExists(store.path);
            if (store.unread)
                ReportFile(kUnreadableSettingsText, kUnreadableSettingsKeptText, nullptr);
            return;
        }
        PauseMilliseconds(kRetryMilliseconds);
    }
}

bool SettingsAwaitReading()
{
    return store.unread;
}

bool RetryUnreadSettings()
{
    if (!store.unread)
        return false;
    if (store.changedUnread) {
        SetUnreadFileAside(false);
        return false;
    }
    if (!PathExists(store.path)) {
        store.unread = false;
        return false;
    }
    return ReadStoredFile();
}

bool SaveLauncherSettings()
{
    if (store.unread) {
        store.changedUnread = true;
        return SetUnreadFileAside(false);
    }
    return WriteTable(false);
}

void SaveSettingsAtEnd(bool sessionEnding)
{
    if (!store.unread) {
        WriteTable(sessionEnding);
        return;
    }
    // Nothing of the user's to keep: the file stays exactly as it is.
    if (!store.changedUnread || SetUnreadFileAside(sessionEnding))
        return;
    // Still unread at the end: the user's changes go beside it, not lost.
    bool kept = SaveSettingsAsBackup(store.path, store.slots, SLOT_COUNT);
    if (kept && !sessionEnding)
        ReportFile(kUnreadableSettingsText, kChangesKeptAsideText, store.backupPath);
    else if (!kept)
        ReportSaveFailure(sessionEnding);
}

void CloseSettingsStore()
{
    free(store.path);
    free(store.backupPath);
    store = SettingsStore();
}
