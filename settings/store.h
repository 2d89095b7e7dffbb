// The one home of the launcher's saved settings: settings.dat beside the
// executable, read at start and written after every change and at the end.
// It keeps the rules that stop a save from destroying the user's file or
// another copy's save of it (two sessions, a synced folder): a
// file held by another program is waited for, a file that still cannot be
// read is reported, read as soon as it can be and never replaced unread,
// bytes a save would drop are kept in a backup first, and every save reaches
// the disk before it replaces the old file.
#ifndef ZRONDEL_SETTINGS_STORE_H
#define ZRONDEL_SETTINGS_STORE_H

#include "base/slots.h"

extern const char kUnreadableSettingsText[];     // "Settings file cannot be read:"
extern const char kUnreadableSettingsKeptText[]; // what happens to it then
extern const char kUnsavedSettingsText[];        // "Settings file cannot be saved:"
extern const char kUnsavedChangesText[];         // what that means for the changes
extern const char kSetAsideSettingsText[];       // the file read late, after changes
extern const char kSetAsideUnsavedText[];        // the same, when the changes could not be saved
extern const char kChangesKeptAsideText[];       // changes kept beside an unread file

// How much longer than the settings file's name the longest name derived
// from it is: settings.dat.changes.
enum { SETTINGS_NAME_ROOM = 8 };

// Remembers the settings file and the table it holds for the rest of the
// run; false when there is no memory for the path. Without a path the
// launcher runs without a file: every start a first one, nothing saved.
bool OpenSettingsStore(const char* path, LauncherSlot* slots);
// Reads the file into the fresh table. Without a file this is a first start,
// which shows the ring, unless a save cut short left a complete table under
// its temporary name: that is taken, as it is for a damaged file. A file
// that stays unreadable for about two seconds is reported once, naming it
// and the system's reason, and the table stays empty. Changes a killed run
// left waiting in settings.dat.changes take the file's place first.
void LoadStoredSettings();
// True while the file is there but has not been read: the ring tries again
// every few seconds.
bool SettingsAwaitReading();
// One more try at an unread file. Without changes of the user's it loads
// into the table, and then answers true: the ring shows it as a start
// would. After changes, the file's bytes go to a backup of their own, the
// box says where, and the user's table takes its place.
bool RetryUnreadSettings();
// Another copy's save since this copy last read or wrote the file is
// taken into the table, where this run's user changed nothing. A file that
// is not whole and sound is never taken: it is kept in a backup, with its
// box, and the table is written in its place.
void CatchUpWithSettingsFile();
// The load test's answer, found after start: the slot's target is gone, its
// drive or share answering. The slot is emptied as the start's read would
// have emptied it for the file's version, and saved.
void ForgetGoneTarget(int index);
// True once after another copy's slots or hiding switch came into the
// table, by a catch-up or by a save that wrote onto the other copy's.
bool SettingsTakenFromOtherCopy();
// The window that owns the store's boxes from now on (the ring): it takes
// no command while one is up.
void SetSettingsBoxOwner(SlotWindow owner);
// Saves after a change of the user's, onto what another copy saved
// meanwhile. False when the file on disk was left as it was: the first
// such failure of a run is reported. While the file is unread the change
// waits for it in settings.dat.changes beside it; while a box of the
// store's is up it waits for the box.
bool SaveLauncherSettings();
// The save at the end of the run or the session, with the place and
// visibility the ring left. An unread file that the user did not change is
// left alone; the user's changes beside one still unread are kept as a
// backup. At the session's end nothing is shown.
void SaveSettingsAtEnd(bool sessionEnding);
// Forgets the file and the table at the end of the run.
void CloseSettingsStore();

#endif
