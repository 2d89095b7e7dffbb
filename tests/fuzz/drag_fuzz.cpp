#include <stdint.h>
#include <stdlib.h>

#include "app/drag_formats.h"

// The first byte picks the format; the rest is what a source handed over.
// Whatever text comes out is judged as a dragged link would be.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    DragFileList list = {0, nullptr, nullptr};
    DragShellItems items = {0, nullptr};
    char16_t* text = nullptr;
    const unsigned format = data[0] % 4;
    if (format == 0)
        text = DragWideText(data + 1, size - 1);
    if (format == 1 && ReadDragFileList(data + 1, size - 1, &list))
        text = list.first;
    if (format == 2)
        ReadDragDescriptorTitle(data + 1, size - 1, &text);
    if (format == 3 && ReadDragShellItems(data + 1, size - 1, &items))
        free(items.absolute);
    DragLink link = ReadDragLink(text);
    free(link.path);
    free(link.rule == LINK_NONE ? nullptr : DragLinkHost(text));
    free(list.firstNarrow);
    free(text);
    return 0;
}
