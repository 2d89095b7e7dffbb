#include "app/late_icons.h"

#include <stdlib.h>

#include "base/target_kind.h"

namespace {

// One question, owned by the worker that asks it until it is posted.
struct PlaceQuestion {
    HWND ring;    // where the answer goes
    int slot;     // the slot whose target is asked about
    char* target; // heap copy of the target
};

DWORD WINAPI AskPlace(void* parameter)
{
    PlaceQuestion* question = static_cast<PlaceQuestion*>(parameter);
    // This may wait as long as the network does; a place that does not
    // answer keeps the scaled icon.
    // A link or a place of the shell has no file to wait for.
    const bool file = KindOfTarget(question->target) == TARGET_FILE;
    if ((file && GetFileAttributesA(question->target) == INVALID_FILE_ATTRIBUTES) ||
        !PostMessageA(question->ring, UM_PLACEANSWERED, question->slot, reinterpret_cast<LPARAM>(question->target)))
        free(question->target);
    free(question);
    return 0;
}

} // namespace

void AskTargetPlaces(HWND ring, const LauncherSlot* slots)
{
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (!slots[i].target || !slots[i].icon)
            continue;
        PlaceQuestion* question = static_cast<PlaceQuestion*>(malloc(sizeof(PlaceQuestion)));
        char* target = CopyText(slots[i].target);
        if (question && target) {
            *question = {ring, i, target};
            if (QueueUserWorkItem(AskPlace, question, WT_EXECUTELONGFUNCTION))
                continue;
        }
        free(target);
        free(question);
    }
}
