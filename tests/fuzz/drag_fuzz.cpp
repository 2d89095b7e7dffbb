#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "app/drag_formats.h"
#include "base/command_line.h"

// The first byte picks the format; the rest is what a source handed over,
// or (4) the open command the registry keeps for a dragged link's scheme.
// Whatever text comes out is judged as a dragged link would be.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    DragFileList list = {0, nullptr, nullptr};
    DragShellItems items = {0, nullptr};
    char16_t* text = nullptr;
    const unsigned format = data[0] % 5;
    if (format == 0)
        text = DragWideText(data + 1, size - 1);
    if (format == 1 && ReadDragFileList(data + 1, size - 1, &list))
        text = list.first;
    if (format == 2)
        ReadDragDescriptorTitle(data + 1, size - 1, &text);
    if (format == 3 && ReadDragShellItems(data + 1, size - 1, &items))
        free(items.absolute);
    if (format == 4) { // in memory of its own size, as the registry hands it over
        const size_t length = (size - 1) / 2;
        char16_t* command = static_cast<char16_t*>(malloc((length + 1) * sizeof(char16_t)));
        memcpy(command, data + 1, length * sizeof(char16_t));
        size_t start = 0;
        const size_t program = CommandProgram(command, length, &start);
        if (start > length || program > length - start)
            abort(); // the program reaches past the value
        free(command);
    }
    DragLink link = ReadDragLink(text);
    free(link.path);
    free(link.rule == LINK_NONE ? nullptr : DragLinkHost(text));
    free(list.firstNarrow);
    free(text);
    return 0;
}
