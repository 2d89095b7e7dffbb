#include "settings/store.h"

#include <stdlib.h>
#include <string.h>

#include "settings/file_on_disk.h"
#include "settings/settings_shim.h"

const char kUnreadableSettingsText[] = "Settings file cannot be read:";
const char kUnreadableSettingsKeptText[] = "It is kept as it is and read as soon as it can be.";
const char kUnsavedSettingsText[] = "Settings file cannot be saved:";
const char kUnsavedChangesText[] = "Your changes cannot be kept.";
const char kSetAsideSettingsText[] =
    "Settings file could be read only after you had changed slots.\nYour slots are saved in it; what it held is kept in:";
const char kSetAsideUnsavedText[] =
    "Settings file could be read only after you had changed slots.\nYour slots could not be saved in it; what it held is kept in:";
const char kChangesKeptAsideText[] = "It is kept as it is. Your changes are kept in:";

namespace {

// A scanner or a backup tool holds a file for moments; a longer hold is
// reported rather than waited for.
const int kHoldWaitMilliseconds = 2000;
const int kRetryMilliseconds = 100;

// Where the file stands for this copy.
enum FileStage {
    FILE_SEEN,           // read or written by this copy, or not there: saves go ahead
    FILE_UNREAD,         // there but never read: nothing may replace it
    FILE_UNREAD_CHANGED, // the same, and the user changed the table: it takes the file's place once it reads
    FILE_SET_ASIDE,      // its bytes went to a backup for the table, not written yet: whatever is there goes too
    FILE_NONE            // no name for it in the launcher's folder: nothing is read or written
};

struct SettingsStore {
    char* path;                    // settings.dat beside the executable, for the whole run
    char* backupPath;              // settings.dat.bak, the newest backup, named in the boxes
    char* changesPath;             // settings.dat.changes: the user's table while the file is unread
    LauncherSlot* slots;           // the 24 slots as the user has them
    LauncherSlot* seenSlots;       // the slots as the file held them when this copy last read or wrote it
    LauncherSettings seenSettings; // the values likewise; what differs from them is this run's user's
    FileFingerprint seen;          // the file when this copy last read or wrote it
    FileStage stage;               // whether the file was read, and what may replace it
    bool backupOwed;               // the file holds bytes a save would drop: a backup comes first
    bool failureShown;             // the one box about a failed save of this run was shown
    bool boxUp;                    // a box of the store's is up: its message loop must start no store work
    bool othersTaken;              // another copy's changes came into the table, not yet shown by the ring
    bool versionOne;               // the start's read was of version 1, which stores no hints
};

SettingsStore store;

bool Unread()
{
    return store.stage == FILE_UNREAD || store.stage == FILE_UNREAD_CHANGED;
}

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
    store.boxUp = true;
    ShowSettingsMessage(text, kDamagedSettingsCaption);
    store.boxUp = false;
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

// Texts as a save writes them: an empty one is none.
bool SameText(const char* first, const char* second)
{
    return strcmp(first ? first : "", second ? second : "") == 0;
}

// Whether a save writes both slots alike: an empty slot is one zero,
// whatever else it holds.
bool SameSlot(const LauncherSlot& first, const LauncherSlot& second)
{
    if (SameText(first.target, nullptr) || SameText(second.target, nullptr))
        return SameText(first.target, second.target);
    return SameText(first.target, second.target) && SameText(first.workFolder, second.workFolder) &&
           SameText(first.extra, second.extra) && SameText(first.hint, second.hint) &&
           SameWholeText(first.wholeTarget, second.wholeTarget) &&
           SameWholeText(first.wholeWorkFolder, second.wholeWorkFolder);
}

void CopySlotTexts(LauncherSlot* to, const LauncherSlot& from)
{
    ReplaceText(&to->target, from.target);
    ReplaceText(&to->workFolder, from.workFolder);
    ReplaceText(&to->extra, from.extra);
    ReplaceText(&to->hint, from.hint);
    ReplaceWholeText(&to->wholeTarget, from.wholeTarget);
    ReplaceWholeText(&to->wholeWorkFolder, from.wholeWorkFolder);
}

// What this copy now knows the file to hold.
void RememberFile(const FileFingerprint& print, const LauncherSlot* slots, const LauncherSettings& settings)
{
    store.seen = print;
    for (int i = 0; i < SLOT_COUNT; ++i)
        CopySlotTexts(&store.seenSlots[i], slots[i]);
    store.seenSettings = settings;
}

// A file read into a fresh table of its own, quietly or as a start reads
// settings.dat; launcherSettings is left as it was. Null when it could not
// be read.
LauncherSlot* ReadFreshTable(const char* path, bool quietly, SettingsLoadResult* result, LauncherSettings* read,
                             FileFingerprint* print, bool* copyOwed)
{
    LauncherSlot* fresh = AllocateSlotTable();
    if (!fresh)
        return nullptr;
    const LauncherSettings before = launcherSettings;
    bool leftOver = false;
    if (quietly) {
        launcherSettings = kSettingsStartValues; // what the file lacks is a start's
        *result = ReadSettingsFile(path, fresh, SLOT_COUNT, &leftOver, print);
        *copyOwed = *result != SETTINGS_LOADED || leftOver;
    } else {
        store.boxUp = true; // the damaged file's box
        bool hintsStored = true;
        *result = LoadSettings(path, fresh, SLOT_COUNT, copyOwed, print, &hintsStored);
        store.versionOne = !hintsStored;
        store.boxUp = false;
    }
    *read = launcherSettings;
    launcherSettings = before;
    if (*result == SETTINGS_UNREADABLE) {
        FreeSlotTable(fresh);
        return nullptr;
    }
    return fresh;
}

// A table read whole into the table, as this copy's view of the file.
void TakeTable(LauncherSlot* fresh, const LauncherSettings& read, const FileFingerprint& print)
{
    // Values the file does not hold keep what the start gave them.
    launcherSettings = read;
    for (int i = 0; i < SLOT_COUNT; ++i)
        CopySlotTexts(&store.slots[i], fresh[i]);
    RememberFile(print, fresh, read);
    FreeSlotTable(fresh);
}

// A save cut short after its new file was whole (a stick pulled during the
// replace) left the table beside a file that is missing or damaged: it is
// taken instead. False when there is none.
bool TakeLeftoverTable()
{
    char* leftover = NewestCompleteLeftover(store.path);
    SettingsLoadResult result;
    LauncherSettings read;
    FileFingerprint print;
    bool copyOwed;
    LauncherSlot* fresh = leftover ? ReadFreshTable(leftover, true, &result, &read, &print, &copyOwed) : nullptr;
    free(leftover);
    if (!fresh)
        return false;
    // settings.dat stays as this copy last saw it, so that the next save
    // writes the table there unless another copy wrote it meanwhile.
    const FileFingerprint settingsFile = store.seen;
    TakeTable(fresh, read, settingsFile);
    return true;
}

// The file read into the table, which the user has not changed; false, and
// the table and values as they were, when it could not be read whole.
bool ReadStoredFile()
{
    SettingsLoadResult result;
    LauncherSettings read;
    FileFingerprint print;
    bool copyOwed = false;
    LauncherSlot* fresh = ReadFreshTable(store.path, false, &result, &read, &print, &copyOwed);
    if (!fresh)
        return false;
    TakeTable(fresh, read, print);
    store.stage = FILE_SEEN;
    store.backupOwed = copyOwed;
    if (result == SETTINGS_DAMAGED)
        TakeLeftoverTable();
    return true;
}

// Another copy wrote the file since this copy last saw it: its table is
// taken, and this run's user's changes since then go onto it: the slots
// changed, the hiding switch if changed, and, at the end, the ring's place.
// Where both changed the same, ours wins and theirs is kept in a backup
// first, as is a changed file that cannot be read now.
void TakeOtherCopysSave(bool atEnd)
{
    FileFingerprint now;
    if (!TakeFingerprint(store.path, &now) || !now.present || SameFingerprint(now, store.seen))
        return;
    if (store.stage == FILE_SET_ASIDE) { // nothing of it to take: the table replaces it
        store.backupOwed = true;
        store.seen = now;
        return;
    }
    SettingsLoadResult result;
    LauncherSettings theirs;
    bool conflict = false;
    LauncherSlot* fresh = ReadFreshTable(store.path, true, &result, &theirs, &now, &conflict);
    if (!fresh) {
        store.backupOwed = true;
        return;
    }
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const bool theirsChanged = !SameSlot(fresh[i], store.seenSlots[i]);
        if (!SameSlot(store.slots[i], store.seenSlots[i])) {
            conflict = conflict || (theirsChanged && !SameSlot(fresh[i], store.slots[i]));
        } else if (theirsChanged) {
            CopySlotTexts(&store.slots[i], fresh[i]);
            store.othersTaken = true;
        }
    }
    const LauncherSettings& ours = launcherSettings;
    const LauncherSettings& seen = store.seenSettings;
    LauncherSettings merged = theirs;
    if (ours.hideAfterLaunch != seen.hideAfterLaunch) {
        conflict = conflict || (theirs.hideAfterLaunch != seen.hideAfterLaunch &&
                                theirs.hideAfterLaunch != ours.hideAfterLaunch);
        merged.hideAfterLaunch = ours.hideAfterLaunch;
    }
    store.othersTaken = store.othersTaken || merged.hideAfterLaunch != ours.hideAfterLaunch;
    // The place the ring closed at is ours, whatever the other copy saved.
    if (atEnd || ours.showAtStart != seen.showAtStart || ours.windowLeft != seen.windowLeft ||
        ours.windowTop != seen.windowTop) {
        merged.showAtStart = ours.showAtStart;
        merged.windowLeft = ours.windowLeft;
        merged.windowTop = ours.windowTop;
    }
    launcherSettings = merged;
    RememberFile(now, fresh, theirs);
    FreeSlotTable(fresh);
    store.backupOwed = store.backupOwed || conflict;
}

bool ReportSaveFailure(bool quietly)
{
    if (!store.failureShown && !quietly) {
        store.failureShown = true;
        ReportFile(kUnsavedSettingsText, kUnsavedChangesText, nullptr);
    }
    return false;
}

// The table in place of the file, onto what another copy may have saved
// meanwhile; the file's bytes are first kept in a backup when a save would
// drop them.
bool WriteTable(bool quietly, bool atEnd)
{
    TakeOtherCopysSave(atEnd);
    if (store.backupOwed) {
        if (!BackUpSettingsFile(store.path))
            return ReportSaveFailure(quietly);
        store.backupOwed = false;
    }
    FileFingerprint written;
    if (!SaveSettings(store.path, store.slots, SLOT_COUNT, &written))
        return ReportSaveFailure(quietly);
    RememberFile(written, store.slots, launcherSettings);
    store.stage = FILE_SEEN;
    if (PathExists(store.changesPath)) // what waited beside the file is in it now
        RemoveFile(store.changesPath);
    return true;
}

// The user changed the table before the file could be read: the table takes
// the file's place once its bytes are whole in a backup. False while the
// file still cannot be read, or that backup cannot be made.
bool SetUnreadFileAside(bool quietly, bool atEnd)
{
    const bool there = PathExists(store.path);
    if (there && !BackUpSettingsFile(store.path))
        return false;
    // Cleared before any box: a box's message loop runs the ring's timer.
    store.stage = FILE_SET_ASIDE;
    store.backupOwed = false;
    if (!TakeFingerprint(store.path, &store.seen))
        store.seen = FileFingerprint();
    const bool saved = WriteTable(true, atEnd);
    if (there && !quietly) {
        const char* const pieces[] = {saved ? kSetAsideSettingsText : kSetAsideUnsavedText, "\n",
                                      store.backupPath, saved ? "" : "\n\n", saved ? "" : LastSettingsFailure()};
        store.failureShown = store.failureShown || !saved;
        ShowJoined(pieces, sizeof pieces / sizeof pieces[0]);
    } else if (!saved) {
        ReportSaveFailure(quietly);
    }
    return saved;
}

// A run killed while the file was unread left the user's changes beside
// it: they take the file's place now, as they would have in that run.
// False when there are none, or they are not whole.
bool TakeWaitingChanges()
{
    SettingsLoadResult result;
    LauncherSettings read;
    FileFingerprint print;
    bool notWhole = true;
    LauncherSlot* fresh = nullptr;
    for (int waited = 0; !fresh && waited <= kHoldWaitMilliseconds && PathExists(store.changesPath);
         waited += kRetryMilliseconds) {
        if (waited > 0)
            PauseMilliseconds(kRetryMilliseconds); // held for a moment, as settings.dat may be
        fresh = ReadFreshTable(store.changesPath, true, &result, &read, &print, &notWhole);
    }
    if (!fresh || notWhole) {
        FreeSlotTable(fresh);
        return false;
    }
    TakeTable(fresh, read, FileFingerprint());
    store.stage = FILE_UNREAD_CHANGED;
    if (!SetUnreadFileAside(false, false) && Unread())
        ReportFile(kUnreadableSettingsText, kUnreadableSettingsKeptText, nullptr);
    return true;
}

// path and the suffix, in one heap copy; null without memory.
char* PathWith(const char* path, const char* suffix)
{
    char* joined = static_cast<char*>(malloc(strlen(path) + strlen(suffix) + 1));
    if (joined) {
        strcpy(joined, path);
        strcat(joined, suffix);
    }
    return joined;
}

} // namespace

bool OpenSettingsStore(const char* path, LauncherSlot* slots)
{
    store = SettingsStore();
    if (!path) {
        store.stage = FILE_NONE;
        store.slots = slots;
        return true;
    }
    store.path = CopyText(path);
    store.backupPath = PathWith(path, ".bak");
    store.changesPath = PathWith(path, ".changes");
    store.slots = slots;
    store.seenSlots = AllocateSlotTable();
    store.seenSettings = launcherSettings;
    if (!store.path || !store.backupPath || !store.changesPath || !store.seenSlots) {
        CloseSettingsStore();
        return false;
    }
    return true;
}

void LoadStoredSettings()
{
    if (store.stage == FILE_NONE) {
        launcherSettings.showAtStart = true; // as a first start, which it is for every run
        return;
    }
    if (TakeWaitingChanges())
        return;
    if (!PathExists(store.path)) {
        if (!TakeLeftoverTable())
            launcherSettings.showAtStart = true; // a first start shows the ring
        return;
    }
    for (int waited = 0; !ReadStoredFile(); waited += kRetryMilliseconds) {
        if (waited >= kHoldWaitMilliseconds) {
            // Gone in the meantime: there is nothing left to protect.
            store.stage = PathExists(store.path) ? FILE_UNREAD : FILE_SEEN;
            if (store.stage == FILE_UNREAD)
                ReportFile(kUnreadableSettingsText, kUnreadableSettingsKeptText, nullptr);
            return;
        }
        PauseMilliseconds(kRetryMilliseconds);
    }
}

bool SettingsAwaitReading()
{
    return Unread();
}

bool RetryUnreadSettings()
{
    if (store.boxUp || !Unread())
        return false;
    if (store.stage == FILE_UNREAD_CHANGED) {
        SetUnreadFileAside(false, false);
        return false;
    }
    if (!PathExists(store.path)) {
        store.stage = FILE_SEEN;
        return false;
    }
    return ReadStoredFile();
}

void CatchUpWithSettingsFile()
{
    if (!store.boxUp && !Unread() && store.stage != FILE_NONE)
        TakeOtherCopysSave(false);
}

void ForgetGoneTarget(int index)
{
    if (store.slots && index >= 0 && index < SLOT_COUNT && store.slots[index].target) {
        ForgetTarget(&store.slots[index], !store.versionOne);
        SaveLauncherSettings();
    }
}

bool SettingsTakenFromOtherCopy()
{
    const bool taken = store.othersTaken;
    store.othersTaken = false;
    return taken;
}

bool SaveLauncherSettings()
{
    if (store.stage == FILE_NONE)
        return false;
    if (Unread()) {
        store.stage = FILE_UNREAD_CHANGED;
        if (SetUnreadFileAside(false, false))
            return true;
        // Still unread: the change waits beside the file on the disk, where
        // a kill or a power cut cannot take it, not only in memory.
        if (Unread())
            SaveSettings(store.changesPath, store.slots, SLOT_COUNT);
        return false;
    }
    return WriteTable(false, false);
}

void SaveSettingsAtEnd(bool sessionEnding)
{
    if (store.stage == FILE_NONE)
        return;
    if (!Unread()) {
        WriteTable(sessionEnding, true);
        return;
    }
    // Nothing of the user's to keep: the file stays exactly as it is.
    if (store.stage == FILE_UNREAD || SetUnreadFileAside(sessionEnding, true))
        return;
    // Still unread at the end: the user's changes go beside it, not lost.
    bool kept = SaveSettingsAsBackup(store.path, store.slots, SLOT_COUNT);
    if (kept) // told of now; the next start leaves the file as it is
        RemoveFile(store.changesPath);
    if (kept && !sessionEnding)
        ReportFile(kUnreadableSettingsText, kChangesKeptAsideText, store.backupPath);
    else if (!kept)
        ReportSaveFailure(sessionEnding);
}

void CloseSettingsStore()
{
    free(store.path);
    free(store.backupPath);
    free(store.changesPath);
    FreeSlotTable(store.seenSlots);
    store = SettingsStore();
}
