#include <stdint.h>
#include <stdlib.h>

#include "app/drag_formats.h"

// The first byte picks the format; the rest is what a source handed over.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t* bytes = data + 1;
    const size_t length = size - 1;
    DragFileList list;
    DragShellItems items;
    char16_t* text = nullptr;
    switch (data[0] % 4) {
    case 0:
        text = DragWideText(bytes, length);
        break;
    case 1:
        if (ReadDragFileList(bytes, length, &list)) {
            text = list.first;
            free(list.firstNarrow);
        }
        break;
    case 2:
        ReadDragDescriptorTitle(bytes, length, &text);
        break;
    default:
        if (ReadDragShellItems(bytes, length, &items))
            free(items.absolute);
    }
    // Whatever text came out is judged as a link would be.
    DragLink link = ReadDragLink(text);
    free(link.path);
    free(link.rule == LINK_NONE ? nullptr : DragLinkHost(text));
    free(text);
    return 0;
}
