// What a drag carries, read from the bytes its source handed over. Every
// reader takes the bytes and their size, reads nothing beyond them and
// answers a plain result or a refusal: the source is another program, or a
// page. Texts come back as heap copies with their end, which the caller
// frees. Platform-free: it builds natively for the tests as well as for
// Windows.
#ifndef ZRONDEL_APP_DRAG_FORMATS_H
#define ZRONDEL_APP_DRAG_FORMATS_H

#include <stddef.h>

// A UTF-16 text up to its first zero, or to the end of whole letters where
// it has none; null for an odd size without a zero (half a letter would
// end it) or without memory.
char16_t* DragWideText(const void* bytes, size_t size);
// A code-page text up to its first zero or its end; null without memory.
char* DragNarrowText(const void* bytes, size_t size);

// A dropped file list (DROPFILES).
struct DragFileList {
    unsigned count;    // names in the list, whole within its bytes
    char16_t* first;   // the first name of a UTF-16 list; null otherwise
    char* firstNarrow; // the first name of a code-page list; null otherwise
};
// False for a list that is not whole: a short header, a name offset past
// the end or into the header, a name without its end. Else *list is filled.
bool ReadDragFileList(const void* bytes, size_t size, DragFileList* list);

// FileGroupDescriptorW, which a browser names a link's shortcut in: *title
// is its first file's name without ".url" (null for none). False when the
// bytes do not hold as many whole descriptors as they count.
bool ReadDragDescriptorTitle(const void* bytes, size_t size, char16_t** title);

// Shell IDList Array: a parent's item list, then the items' own below it.
struct DragShellItems {
    unsigned count;          // items below the parent
    unsigned char* absolute; // the first item's list from the desktop: the parent's items, then its own
};
// False when the offsets of the parent and of the first item, or an item
// length of either list, reach past the end. Else *items is filled, with
// absolute set for exactly one item.
bool ReadDragShellItems(const void* bytes, size_t size, DragShellItems* items);

// What a text dragged as a link becomes.
enum LinkRule {
    LINK_NONE,           // not one link: a sentence, a look-alike scheme, a path
    LINK_TAKEN,          // http:, https:, ftp:, mailto:
    LINK_FILE,           // a file: URL of this computer, taken as its path
    LINK_ASK,            // any other scheme: taken once the user agrees
    LINK_REFUSED_SCRIPT, // javascript:, vbscript:, data:, ms-msdt:, search-ms:
    LINK_REFUSED_REMOTE  // a file: URL of another computer, or of no drive
};
struct DragLink {
    LinkRule rule;
    size_t schemeLength; // letters before the colon; 0 for LINK_NONE
    char16_t* path;      // LINK_FILE: the file's path; null otherwise
};
// The rule for a whole text: one link, with no blank or control letter in
// it, whose scheme is ASCII. Null text is LINK_NONE.
DragLink ReadDragLink(const char16_t* text);
// What a link without a title is called: its host, or what follows the
// scheme. A heap copy; null for no link or without memory.
char16_t* DragLinkHost(const char16_t* link);

#endif
