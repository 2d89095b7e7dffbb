// The one way the ring deals with the world outside it: whether a slot's
// target is gone, its icon and starting it are asked on the system's
// worker threads, so that a share that does not answer, a slow disk or a
// starting program never holds up the ring. Each worker owns copies of the
// slot's names. An answer comes back to the ring by its window handle as a
// number only, which the ring looks up among the questions it asked: a
// number it did not give out, or an answer for a slot whose target changed
// meanwhile, is dropped and freed.
#ifndef ZRONDEL_APP_TARGET_WORKER_H
#define ZRONDEL_APP_TARGET_WORKER_H

#include <windows.h>

#include "base/slots.h"

// To the ring window from a worker: a question was answered. wParam = its
// number; lParam unused. Any program may post it: it carries no pointer.
enum { UM_PLACEANSWERED = 1039 };

// What a worker asks the system about a slot's own copy; a test puts calls
// of its own here that wait as a silent share does.
struct TargetCalls {
    HICON (*icon)(const LauncherSlot* slot, int dpi);      // null for none
    bool (*gone)(const char* target, const char16_t* whole); // gone with its drive answering
    void (*start)(const LauncherSlot* slot, const char* verb, HMONITOR monitor);
};
extern TargetCalls targetCalls;

// A question's answer, for the slot as it is now.
struct TargetAnswer {
    int slot;   // the slot asked about
    int dpi;    // the size the icon was taken at
    HICON icon; // owned by the taker; null for none
    bool gone;  // the load test found the target gone: the slot is to be emptied
};

// True when the slot's target is not the one its icon was last asked for
// (or dropped for): its icon is to be taken anew.
bool SlotTargetChanged(const LauncherSlot* slot);
// The slot's target as it is now is the one its icon stands for: every
// answer asked about before is dropped when it comes.
void ForgetSlotAnswers(const LauncherSlot* slot);
// Asks the icon of the slot's target at the dpi, and with testGone first
// whether the target is gone. A question already asked the same is not
// asked twice. Out of memory nothing is asked: the slot stays without icon.
void AskSlotIcon(HWND ring, const LauncherSlot* slot, int dpi, bool testGone = false);
// Starts the slot's target on a worker by the verb (null: the default one)
// on the monitor; nothing comes back, as a failed start shows nothing.
void StartOnWorker(const LauncherSlot* slot, const char* verb, HMONITOR monitor);
// Runs the call with its parameter on a worker that is in the apartment
// the shell's calls want; false when it cannot be handed over, the
// parameter then still the caller's.
bool RunInShellApartment(LPTHREAD_START_ROUTINE call, void* parameter);
// The answer of that number moved into *answer when it is an answer this
// process asked for and still holds for the slot as it is now; false, and
// whatever it held freed, otherwise.
bool TakeAnswer(WPARAM number, const LauncherSlot* slots, TargetAnswer* answer);
// Waits at most this long for every question asked so far to be answered.
void AwaitAnswers(DWORD milliseconds);

#endif
