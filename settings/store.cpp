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
    FILE_UNREAD_CHANGED, // the same, and the user changed the table: the changes go onto it once it reads
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
    FileFingerprint unreadBase;    // the unread file when the user first changed the table: settings.dat.changes' base
    FileStage stage;               // whether the file was read, and what may replace it
    bool backupOwed;               // the file holds bytes a save would drop: a backup comes first
    bool failureShown;             // the one box about a failed save of this run was shown
    bool boxUp;                    // a box of the store's is up: its message loop must start no store work
    bool saveOwed;                 // the user changed the table while a box was up: saved once it is gone
    bool rewriteOwed;              // another copy's file was unsound and is kept in a backup: the table goes in its place
    SettingsLoadResult unsoundShown; // the box owed for such a file, shown once the lock is let go; LOADED for none
    bool lateConflict;             // the file read late held other values where the user had changed: the box is owed
    bool othersTaken;              // another copy's changes came into the table, not yet shown by the ring
    bool versionOne;               // the start's read was of version 1, which stores no hints
};

SettingsStore store;

bool Unread()
{
    return store.stage == FILE_UNREAD || store.stage == FILE_UNREAD_CHANGED;
}

// While a box is up its message loop runs the ring's timers and messages:
// no read or save starts then, and a change made meanwhile is saved after.
void ShowBox(const char* text, const char* caption)
{
    store.boxUp = true;
    ShowSettingsMessage(text, caption);
    store.boxUp = false;
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
    ShowBox(text, kDamagedSettingsCaption);
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
                             FileFingerprint* print, bool* copyOwed, FileFingerprint* base = nullptr)
{
    LauncherSlot* fresh = AllocateSlotTable();
    if (!fresh)
        return nullptr;
    const LauncherSettings before = launcherSettings;
    bool leftOver = false;
    if (quietly) {
        launcherSettings = kSettingsStartValues; // what the file lacks is a start's
        *result = ReadSettingsFile(path, fresh, SLOT_COUNT, &leftOver, print, base);
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

// A file read whole and sound into fresh: the slots and values this run's
// user changed since this copy last saw the file go onto it, the rest is
// taken. Where both changed the same, ours wins and theirs is kept in a
// backup first.
bool MergeTable(LauncherSlot* fresh, const LauncherSettings& theirs, const FileFingerprint& now, bool atEnd)
{
    bool conflict = false;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const bool theirsChanged = !SameSlot(fresh[i], store.seenSlots[i]);
        if (!SameSlot(store.slots[i], store.seenSlots[i])) {
            conflict = conflict || (theirsChanged && !SameSlot(fresh[i], store.slots[i]));
        } else { // as the file has it, down to an empty slot's hint
            CopySlotTexts(&store.slots[i], fresh[i]);
            store.othersTaken = store.othersTaken || theirsChanged;
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
    return conflict;
}

// The file read into the table as a start reads it; false, and the table
// and values as they were, when it could not be read whole. Slots the user
// changed before it could be read (or while its box was up) go onto it;
// a file that is not sound is then kept in a backup and the table written.
bool ReadStoredFile()
{
    SettingsLoadResult result;
    LauncherSettings read;
    FileFingerprint print;
    bool copyOwed = false;
    LauncherSlot* fresh = ReadFreshTable(store.path, false, &result, &read, &print, &copyOwed);
    if (!fresh)
        return false;
    const bool changed = store.stage == FILE_UNREAD_CHANGED || store.saveOwed;
    store.stage = FILE_SEEN;
    store.backupOwed = copyOwed;
    if (result == SETTINGS_LOADED) {
        const bool taken = store.othersTaken; // the ring shows a file read late whole
        store.lateConflict = MergeTable(fresh, read, print, false) && changed;
        store.othersTaken = taken;
    } else if (!changed) {
        TakeTable(fresh, read, print);
        if (result == SETTINGS_DAMAGED)
            TakeLeftoverTable();
    } else { // kept by the read, with its box: the user's table takes its place
        FreeSlotTable(fresh);
        store.seen = print;
    }
    if (changed)
        store.saveOwed = true;
    return true;
}

// Another copy's file that is not whole and sound (damaged, of another
// version, with bytes left over) is never merged: its bytes go to a backup
// first, with the box a start shows for it, and the table takes its place.
void KeepUnsoundFile(SettingsLoadResult result, const FileFingerprint& print)
{
    store.backupOwed = !BackUpSettingsFile(store.path);
    store.seen = print;
    store.rewriteOwed = true;
    store.unsoundShown = result;
}

// The box owed for an unsound file, once nothing is held for it.
void ShowUnsoundBox()
{
    const SettingsLoadResult result = store.unsoundShown;
    store.unsoundShown = SETTINGS_LOADED;
    if (result == SETTINGS_NOT_VERSIONED)
        ShowBox(kUnsupportedVersionText, kUnsupportedVersionCaption);
    else if (result == SETTINGS_DAMAGED)
        ShowBox(store.backupOwed ? kDamagedSettingsUncopiedText : kDamagedSettingsText, kDamagedSettingsCaption);
}

// Another copy wrote the file since this copy last saw it: its table is
// taken, and this run's user's changes since then go onto it: the slots
// changed, the hiding switch if changed, and, at the end, the ring's place.
// Where both changed the same, ours wins and theirs is kept in a backup
// first, as is a changed file that cannot be read now.
void TakeOtherCopysSave(bool atEnd, bool beforeSave)
{
    FileFingerprint now;
    bool readable = TakeFingerprint(store.path, &now);
    // Held by a scanner for a moment: a save waits it out, as its replace would.
    for (int waited = 0; !readable && beforeSave && waited < kHoldWaitMilliseconds / 2; waited += kRetryMilliseconds) {
        PauseMilliseconds(kRetryMilliseconds);
        readable = TakeFingerprint(store.path, &now);
    }
    if (readable && (!now.present || SameFingerprint(now, store.seen)))
        return;
    if (!readable) { // nothing of it to take: kept before anything replaces it
        store.backupOwed = true;
        return;
    }
    SettingsLoadResult result;
    LauncherSettings theirs;
    bool notWhole = false;
    LauncherSlot* fresh = ReadFreshTable(store.path, true, &result, &theirs, &now, &notWhole);
    if (!fresh) {
        store.backupOwed = true;
        return;
    }
    if (notWhole) {
        KeepUnsoundFile(result, now);
        FreeSlotTable(fresh);
        return;
    }
    MergeTable(fresh, theirs, now, atEnd);
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
    // Check and replace under the lock: no copy that takes it saves between them.
    LockSettingsFile(store.path);
    TakeOtherCopysSave(atEnd, true);
    bool saved = !store.backupOwed || BackUpSettingsFile(store.path);
    store.backupOwed = !saved;
    FileFingerprint written;
    saved = saved && SaveSettings(store.path, store.slots, SLOT_COUNT, &written);
    UnlockSettingsFile();
    if (saved) {
        RememberFile(written, store.slots, launcherSettings);
        store.stage = FILE_SEEN;
        store.rewriteOwed = false;
        if (PathExists(store.changesPath)) // what waited beside the file is in it now
            RemoveFile(store.changesPath);
    }
    if (quietly) // after the table is known to be in the file: a change in the box is a new one
        return saved || ReportSaveFailure(quietly);
    ShowUnsoundBox();
    if (store.lateConflict && !store.backupOwed) { // what the file held is in the backup
        store.lateConflict = false;
        const char* const pieces[] = {saved ? kSetAsideSettingsText : kSetAsideUnsavedText, "\n",
                                      store.backupPath, saved ? "" : "\n\n", saved ? "" : LastSettingsFailure()};
        store.failureShown = store.failureShown || !saved;
        ShowJoined(pieces, sizeof pieces / sizeof pieces[0]);
        return saved;
    }
    return saved || ReportSaveFailure(quietly);
}

// One more try at the unread file: read, the user's changes go onto it
// (and are owed a save); gone, there is nothing to protect. False while it
// still cannot be read.
bool ReadUnreadFile()
{
    if (PathExists(store.path))
        return ReadStoredFile();
    store.saveOwed = store.saveOwed || store.stage == FILE_UNREAD_CHANGED;
    store.stage = FILE_SEEN;
    return true;
}

// A run killed while the file was unread left the user's changes beside it,
// with the size and time the file had then. Where the file is still so, or
// gone, they are this run's changes to it, as they were that run's. Where
// it was written since (by those very changes, their side file left
// behind, or by another copy) they are never applied again, only kept in a
// backup.
void TakeWaitingChanges()
{
    SettingsLoadResult result;
    LauncherSettings read;
    FileFingerprint print, base, now;
    bool notWhole = true;
    LauncherSlot* fresh = nullptr;
    for (int waited = 0; !fresh && waited <= kHoldWaitMilliseconds && PathExists(store.changesPath);
         waited += kRetryMilliseconds) {
        if (waited > 0)
            PauseMilliseconds(kRetryMilliseconds); // held for a moment, as settings.dat may be
        fresh = ReadFreshTable(store.changesPath, true, &result, &read, &print, &notWhole, &base);
    }
    if (!fresh || notWhole) {
        FreeSlotTable(fresh);
        return;
    }
    TakeFingerprint(store.path, &now);
    if (!now.present || (base.present && now.size == base.size && now.writeTime == base.writeTime)) {
        for (int i = 0; i < SLOT_COUNT; ++i)
            CopySlotTexts(&store.slots[i], fresh[i]);
        launcherSettings.hideAfterLaunch = read.hideAfterLaunch;
        store.unreadBase = base;
        store.stage = FILE_UNREAD_CHANGED;
    } else {
        LockSettingsFile(store.path);
        if (SaveSettingsAsBackup(store.path, fresh, SLOT_COUNT))
            RemoveFile(store.changesPath);
        UnlockSettingsFile();
    }
    FreeSlotTable(fresh);
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

// A change the user made while a box was up, saved now that it is gone.
static void SaveOwedChange()
{
    if (store.saveOwed && !store.boxUp) {
        store.saveOwed = false;
        SaveLauncherSettings();
    }
}

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
    TakeWaitingChanges();
    const bool changed = store.stage == FILE_UNREAD_CHANGED;
    if (!PathExists(store.path)) {
        store.stage = FILE_SEEN;
        if (changed)
            SaveLauncherSettings();
        else if (!TakeLeftoverTable())
            launcherSettings.showAtStart = true; // a first start shows the ring
        return;
    }
    for (int waited = 0; !ReadStoredFile(); waited += kRetryMilliseconds) {
        if (waited >= kHoldWaitMilliseconds) {
            // Gone in the meantime: there is nothing left to protect.
            if (!PathExists(store.path))
                store.stage = FILE_SEEN;
            else
                store.stage = changed ? FILE_UNREAD_CHANGED : FILE_UNREAD;
            if (Unread())
                ReportFile(kUnreadableSettingsText, kUnreadableSettingsKeptText, nullptr);
            else if (changed)
                SaveLauncherSettings();
            return;
        }
        PauseMilliseconds(kRetryMilliseconds);
    }
    SaveOwedChange(); // the changes that waited go onto the file now
}

bool SettingsAwaitReading()
{
    return Unread();
}

bool RetryUnreadSettings()
{
    if (store.boxUp || !Unread())
        return false;
    const bool read = ReadUnreadFile() && PathExists(store.path);
    SaveOwedChange();
    return read;
}

void CatchUpWithSettingsFile()
{
    if (store.boxUp || Unread() || store.stage == FILE_NONE)
        return;
    LockSettingsFile(store.path);
    TakeOtherCopysSave(false, false);
    UnlockSettingsFile();
    if (store.rewriteOwed)
        WriteTable(false, false);
    SaveOwedChange();
}

void SetSettingsBoxOwner(SlotWindow owner)
{
    SetSettingsMessageOwner(owner);
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
    if (store.boxUp) { // saved once the box is gone
        store.saveOwed = true;
        return false;
    }
    if (Unread()) {
        if (store.stage == FILE_UNREAD) // what these changes are based on
            TakeFingerprint(store.path, &store.unreadBase);
        store.stage = FILE_UNREAD_CHANGED;
        if (!ReadUnreadFile()) {
            // Still unread: the change waits beside the file on the disk, where
            // a kill or a power cut cannot take it, not only in memory.
            LockSettingsFile(store.path);
            SaveSettings(store.changesPath, store.slots, SLOT_COUNT, nullptr, &store.unreadBase);
            UnlockSettingsFile();
            return false;
        }
    }
    store.saveOwed = false;
    const bool saved = WriteTable(false, false);
    SaveOwedChange();
    return saved;
}

void SaveSettingsAtEnd(bool sessionEnding)
{
    if (store.stage == FILE_NONE)
        return;
    // Nothing of the user's to keep: an unread file stays exactly as it is.
    if (store.stage == FILE_UNREAD)
        return;
    if (!Unread() || ReadUnreadFile()) {
        WriteTable(sessionEnding, true);
        return;
    }
    // Still unread at the end: the user's changes go beside it, not lost.
    LockSettingsFile(store.path);
    bool kept = SaveSettingsAsBackup(store.path, store.slots, SLOT_COUNT);
    if (kept) // told of now; the next start leaves the file as it is
        RemoveFile(store.changesPath);
    UnlockSettingsFile();
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
