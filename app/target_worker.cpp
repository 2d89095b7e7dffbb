#include "app/target_worker.h"

#include <stdlib.h>
#include <string.h>

#include "app/shell.h"
#include "app/shell_places.h"
#include "base/system_library.h"
#include "base/target_kind.h"
#include "settings/settings_shim.h"

namespace {

void StartTarget(const LauncherSlot* slot, const char* verb, HMONITOR monitor)
{
    if (KindOfTarget(slot->target) != TARGET_FILE)
        LaunchShellPlace(slot->target, slot->wholeTarget, monitor);
    else
        LaunchSlot(slot, verb);
}

typedef HRESULT(WINAPI* JoinApartment)(void* reserved, DWORD model);
typedef void(WINAPI* LeaveApartment)();

// One question, in the list from when it is asked until the ring takes
// its answer or the answer cannot be posted.
struct Question {
    Question* next;      // the question asked before it
    UINT number;         // what the answer's message carries
    HWND ring;           // where the answer goes
    int slot;            // the slot asked about
    unsigned generation; // the slot's generation when asked
    int dpi;             // the size the icon is asked at
    bool testGone;       // the load test is asked first
    LauncherSlot copy;   // the worker's own copy of the slot's names
    char root[MAX_PATH]; // the drive or share it lies on: "C:", "\\server\share", or "" for none
    bool taken;          // a worker has begun on it
    bool answered;       // the worker is done with it: icon and gone hold its answer
    HICON icon;          // the answer's icon, owned by the question until taken
    bool gone;           // the target was found gone
};

// A start handed to a worker, which owns and frees it.
struct StartRequest {
    LauncherSlot copy; // the slot's names
    char verb[8];      // "runas" or "" for the default one
    HMONITOR monitor;  // the ring's monitor, for a place of the shell
};

// What the interface thread keeps of each slot: the target its icon stands
// for and a generation bumped whenever that target changes.
struct SlotAsked {
    char* target;
    char16_t* whole;
    unsigned generation;
};

CRITICAL_SECTION guard; // over the list and each question's answer
Question* questions;    // newest first
UINT nextNumber = 1;    // the interface thread's alone
int unanswered;         // questions whose workers are still at work
HANDLE answeredEvent;   // set whenever a worker answers
SlotAsked asked[SLOT_COUNT];
JoinApartment joinApartment;
LeaveApartment leaveApartment;

// Made on the interface thread before the first worker runs.
bool Ready()
{
    if (answeredEvent)
        return true;
    InitializeCriticalSection(&guard);
    answeredEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    joinApartment = reinterpret_cast<JoinApartment>(SystemEntry("ole32.dll", "CoInitializeEx"));
    leaveApartment = reinterpret_cast<LeaveApartment>(SystemEntry("ole32.dll", "CoUninitialize"));
    return answeredEvent != nullptr;
}

bool SameText(const char* first, const char* second)
{
    return strcmp(first ? first : "", second ? second : "") == 0;
}

void FreeNames(LauncherSlot* copy)
{
    free(copy->target);
    free(copy->workFolder);
    free(copy->wholeTarget);
    free(copy->wholeWorkFolder);
}

// False, and nothing held, without memory.
bool CopyNames(LauncherSlot* copy, const LauncherSlot* slot)
{
    *copy = LauncherSlot();
    ReplaceText(&copy->target, slot->target);
    ReplaceText(&copy->workFolder, slot->workFolder);
    ReplaceWholeText(&copy->wholeTarget, slot->wholeTarget);
    ReplaceWholeText(&copy->wholeWorkFolder, slot->wholeWorkFolder);
    if ((slot->target && !copy->target) || (slot->workFolder && !copy->workFolder) ||
        (slot->wholeTarget && !copy->wholeTarget) || (slot->wholeWorkFolder && !copy->wholeWorkFolder)) {
        FreeNames(copy);
        return false;
    }
    return true;
}

void FreeQuestion(Question* question)
{
    if (question->icon)
        DestroyIcon(question->icon);
    FreeNames(&question->copy);
    free(question);
}

// Out of the list, under the guard: the question of that number, when
// answered; null for any other number.
Question* UnlinkAnswered(UINT number)
{
    for (Question** link = &questions; *link; link = &(*link)->next) {
        Question* question = *link;
        if (question->number == number && question->answered) {
            *link = question->next;
            return question;
        }
    }
    return nullptr;
}

// The shell's calls want the thread in a COM apartment; a thread of the
// pool leaves it as it found it.
bool JoinCom()
{
    return joinApartment && SUCCEEDED(joinApartment(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void LeaveCom(bool joined)
{
    if (joined)
        leaveApartment();
}

// The drive letter or share a target lies on. One worker at a time asks
// about a root: a table on one disk takes one thread, and a root that does
// not answer holds up only its own slots.
void RootOf(const char* target, char* root)
{
    size_t length = 0;
    if (target[0] && target[1] == ':') {
        length = 2;
    } else if (target[0] == '\\' && target[1] == '\\') {
        const char* server = strchr(target + 2, '\\');
        const char* share = server ? strchr(server + 1, '\\') : nullptr;
        length = share ? static_cast<size_t>(share - target) : strlen(target);
    }
    length = length < MAX_PATH ? length : 0;
    memcpy(root, target, length);
    root[length] = '\0';
}

// Under the guard: whether a worker is at the root's questions.
bool RootBusy(const char* root)
{
    for (const Question* question = questions; question; question = question->next) {
        if (!question->answered && lstrcmpiA(question->root, root) == 0)
            return true;
    }
    return false;
}

// Under the guard: the root's oldest question not begun yet, taken; null for none.
Question* TakeNext(const char* root)
{
    Question* next = nullptr;
    for (Question* question = questions; question; question = question->next) {
        if (!question->taken && lstrcmpiA(question->root, root) == 0)
            next = question; // newest first: the last found is the oldest
    }
    if (next)
        next->taken = true;
    return next;
}

void Answer(Question* question)
{
    // Only this worker touches the question until it is marked answered.
    const HWND ring = question->ring;
    const UINT number = question->number;
    // A file's icon needs no COM; a link's or a place's comes through the shell's namespace.
    const bool joined = KindOfTarget(question->copy.target) != TARGET_FILE && JoinCom();
    bool gone = question->testGone && targetCalls.gone(question->copy.target, question->copy.wholeTarget);
    HICON icon = gone ? nullptr : targetCalls.icon(&question->copy, question->dpi);
    LeaveCom(joined);
    EnterCriticalSection(&guard);
    question->icon = icon;
    question->gone = gone;
    question->answered = true;
    --unanswered;
    LeaveCriticalSection(&guard);
    SetEvent(answeredEvent);
    // The ring gone (the launcher ends): the answer is nobody's.
    if (!PostMessageA(ring, UM_PLACEANSWERED, number, 0)) {
        EnterCriticalSection(&guard);
        Question* unposted = UnlinkAnswered(number);
        LeaveCriticalSection(&guard);
        if (unposted)
            FreeQuestion(unposted);
    }
}

DWORD WINAPI AnswerRoot(void* parameter)
{
    Question* question = static_cast<Question*>(parameter);
    char root[MAX_PATH];
    lstrcpyA(root, question->root); // the question is the ring's once answered
    while (question) {
        Answer(question);
        EnterCriticalSection(&guard);
        question = TakeNext(root);
        LeaveCriticalSection(&guard);
    }
    return 0;
}

DWORD WINAPI Start(void* parameter)
{
    StartRequest* request = static_cast<StartRequest*>(parameter);
    targetCalls.start(&request->copy, request->verb[0] ? request->verb : nullptr, request->monitor);
    FreeNames(&request->copy);
    free(request);
    return 0;
}

// A call handed to a worker in the shell's apartment.
struct ShellWork {
    LPTHREAD_START_ROUTINE call; // what runs there
    void* parameter;             // the call's own
};

DWORD WINAPI InShellApartment(void* parameter)
{
    const ShellWork work = *static_cast<ShellWork*>(parameter);
    free(parameter);
    const bool joined = JoinCom();
    work.call(work.parameter);
    LeaveCom(joined);
    return 0;
}

// Whether an icon of the same target at the same size is asked already.
bool AskedAlready(const LauncherSlot* slot, int dpi)
{
    const unsigned generation = asked[slot->index].generation;
    EnterCriticalSection(&guard);
    bool found = false;
    for (const Question* question = questions; question && !found; question = question->next)
        found = question->slot == slot->index && question->generation == generation && question->dpi == dpi;
    LeaveCriticalSection(&guard);
    return found;
}

} // namespace

TargetCalls targetCalls = {StoredTargetIcon, TargetIsGone, StartTarget};

bool SlotTargetChanged(const LauncherSlot* slot)
{
    const SlotAsked& now = asked[slot->index];
    return !SameText(now.target, slot->target) || !SameWholeText(now.whole, slot->wholeTarget);
}

void ForgetSlotAnswers(const LauncherSlot* slot)
{
    SlotAsked& now = asked[slot->index];
    ++now.generation;
    ReplaceText(&now.target, slot->target);
    ReplaceWholeText(&now.whole, slot->wholeTarget);
}

void AskSlotIcon(HWND ring, const LauncherSlot* slot, int dpi, bool testGone)
{
    if (!slot->target || !Ready() || AskedAlready(slot, dpi))
        return;
    Question* question = static_cast<Question*>(calloc(1, sizeof(Question)));
    if (!question || !CopyNames(&question->copy, slot)) {
        free(question);
        return;
    }
    question->number = nextNumber++;
    question->ring = ring;
    question->slot = slot->index;
    question->generation = asked[slot->index].generation;
    question->dpi = dpi;
    question->testGone = testGone;
    RootOf(question->copy.target, question->root);
    EnterCriticalSection(&guard);
    // A worker at the root takes this question after those before it.
    const bool busy = RootBusy(question->root);
    question->taken = !busy;
    question->next = questions;
    questions = question;
    ++unanswered;
    LeaveCriticalSection(&guard);
    if (busy || QueueUserWorkItem(AnswerRoot, question, WT_EXECUTELONGFUNCTION))
        return;
    EnterCriticalSection(&guard);
    questions = question->next; // still the newest: only this thread adds
    --unanswered;
    LeaveCriticalSection(&guard);
    FreeQuestion(question);
}

bool RunInShellApartment(LPTHREAD_START_ROUTINE call, void* parameter)
{
    ShellWork* work = Ready() ? static_cast<ShellWork*>(malloc(sizeof(ShellWork))) : nullptr;
    if (!work)
        return false;
    *work = {call, parameter};
    if (QueueUserWorkItem(InShellApartment, work, WT_EXECUTELONGFUNCTION))
        return true;
    free(work);
    return false;
}

void StartOnWorker(const LauncherSlot* slot, const char* verb, HMONITOR monitor)
{
    StartRequest* request = static_cast<StartRequest*>(calloc(1, sizeof(StartRequest)));
    if (!request || !CopyNames(&request->copy, slot)) {
        free(request);
        return;
    }
    lstrcpynA(request->verb, verb ? verb : "", sizeof request->verb);
    request->monitor = monitor;
    if (!RunInShellApartment(Start, request)) {
        FreeNames(&request->copy);
        free(request);
    }
}

bool TakeAnswer(WPARAM number, const LauncherSlot* slots, TargetAnswer* answer)
{
    if (!answeredEvent || number > 0xFFFFFFFFu)
        return false;
    EnterCriticalSection(&guard);
    Question* question = UnlinkAnswered(static_cast<UINT>(number));
    LeaveCriticalSection(&guard);
    if (!question)
        return false;
    const LauncherSlot* slot = &slots[question->slot];
    const bool current = question->generation == asked[question->slot].generation &&
                         SameText(slot->target, question->copy.target) &&
                         SameWholeText(slot->wholeTarget, question->copy.wholeTarget);
    if (current) {
        *answer = {question->slot, question->dpi, question->icon, question->gone};
        question->icon = nullptr;
    }
    FreeQuestion(question);
    return current;
}

void AwaitAnswers(DWORD milliseconds)
{
    if (!answeredEvent)
        return;
    const DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&guard);
        const int waiting = unanswered;
        LeaveCriticalSection(&guard);
        const DWORD waited = GetTickCount() - start;
        if (waiting == 0 || waited >= milliseconds)
            return;
        WaitForSingleObject(answeredEvent, milliseconds - waited);
    }
}
