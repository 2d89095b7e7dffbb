#include "app/drag_formats.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Sizes and places of the system's records, the same on 32 and 64 bits.
const size_t kFileListHeader = 20;       // DROPFILES: pFiles, pt, fNC, fWide
const size_t kFileListWideFlag = 16;     // fWide
const size_t kDescriptorSize = 592;      // FILEDESCRIPTORW
const size_t kDescriptorNameAt = 72;     // its cFileName
const size_t kDescriptorNameLength = 260; // letters in cFileName

// Whatever the source's alignment, a value is read byte by byte.
uint32_t Read32(const unsigned char* at)
{
    uint32_t value;
    memcpy(&value, at, sizeof value);
    return value;
}

char16_t Read16(const unsigned char* at)
{
    char16_t value;
    memcpy(&value, at, sizeof value);
    return value;
}

// The letters in a copy with its end; null without memory.
char16_t* CopyLetters(const unsigned char* start, size_t letters)
{
    char16_t* copy = static_cast<char16_t*>(malloc((letters + 1) * sizeof(char16_t)));
    if (copy) {
        memcpy(copy, start, letters * sizeof(char16_t));
        copy[letters] = u'\0';
    }
    return copy;
}

// Letters up to the first zero within the most letters given.
size_t LettersBefore(const unsigned char* start, size_t most)
{
    size_t length = 0;
    while (length < most && Read16(start + length * 2) != u'\0')
        ++length;
    return length;
}

// The size of an item list at the offset, its end included; 0 when an item
// length reaches past the end or is shorter than its own length field.
size_t ItemListSize(const unsigned char* bytes, size_t size, size_t at)
{
    size_t walked = at;
    for (;;) {
        if (walked > size || size - walked < 2)
            return 0;
        const size_t item = Read16(bytes + walked);
        if (item == 0)
            return walked + 2 - at;
        if (item < 2 || item > size - walked)
            return 0;
        walked += item;
    }
}

char16_t Lower(char16_t letter)
{
    return letter >= u'A' && letter <= u'Z' ? static_cast<char16_t>(letter + 32) : letter;
}

bool IsAsciiLetter(char16_t letter)
{
    return Lower(letter) >= u'a' && Lower(letter) <= u'z';
}

// Whether the text starts with the ASCII word, in any letter case.
bool StartsWith(const char16_t* text, const char* word)
{
    for (; *word; ++word, ++text)
        if (Lower(*text) != *word)
            return false;
    return true;
}

bool IsScheme(const char16_t* text, size_t length, const char* scheme)
{
    return strlen(scheme) == length && StartsWith(text, scheme);
}

// A scheme starts with an ASCII letter and goes on in ASCII letters,
// digits, '+', '-' and '.' up to the colon; one letter is a drive. Its
// length, or 0 for none.
size_t SchemeLength(const char16_t* text)
{
    if (!IsAsciiLetter(text[0]))
        return 0;
    size_t length = 1;
    while (IsAsciiLetter(text[length]) || (text[length] >= u'0' && text[length] <= u'9') ||
           text[length] == u'+' || text[length] == u'-' || text[length] == u'.')
        ++length;
    return length >= 2 && text[length] == u':' ? length : 0;
}

int HexValue(char16_t letter)
{
    if (letter >= u'0' && letter <= u'9')
        return letter - u'0';
    return Lower(letter) >= u'a' && Lower(letter) <= u'f' ? Lower(letter) - u'a' + 10 : -1;
}

// The escaped byte at text ("%41"), or -1 where there is none.
int EscapedByte(const char16_t* text)
{
    if (text[0] != u'%' || HexValue(text[1]) < 0 || HexValue(text[2]) < 0)
        return -1;
    return HexValue(text[1]) * 16 + HexValue(text[2]);
}

// Decodes a URL's path: escapes as UTF-8, '/' as '\', up to its query or
// fragment, into path (as long as the text at least). False for an escape
// that is no UTF-8 letter and for a control letter.
bool DecodeFilePath(const char16_t* text, char16_t* path)
{
    size_t out = 0;
    for (const char16_t* at = text; *at && *at != u'?' && *at != u'#';) {
        unsigned letter = *at++;
        int byte = EscapedByte(at - 1);
        if (byte >= 0) {
            at += 2;
            // A UTF-8 lead byte says how many escaped bytes follow it.
            const unsigned more = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 4;
            if (more > 3)
                return false;
            letter = more ? byte & (0x3F >> more) : byte;
            for (unsigned i = 0; i < more; ++i, at += 3) {
                const int next = EscapedByte(at);
                if (next < 0x80 || next >= 0xC0)
                    return false;
                letter = letter << 6 | (next & 0x3F);
            }
            static const unsigned kLeast[] = {0, 0x80, 0x800, 0x10000};
            if (letter < kLeast[more] || letter > 0x10FFFF || (letter >= 0xD800 && letter < 0xE000))
                return false;
        }
        if (letter < 0x20)
            return false;
        if (letter >= 0x10000) {
            path[out++] = static_cast<char16_t>(0xD800 + ((letter - 0x10000) >> 10));
            letter = 0xDC00 + (letter & 0x3FF);
        }
        path[out++] = letter == u'/' ? u'\\' : static_cast<char16_t>(letter);
    }
    path[out] = u'\0';
    return true;
}

// A file: URL taken as the path it names on this computer: file:///C:/x,
// file://localhost/C:/x, file:/C:/x or file:C:/x.
DragLink FileLinkRule(const char16_t* text)
{
    DragLink link = {LINK_REFUSED_REMOTE, 4, nullptr};
    const char16_t* rest = text + 5;
    if (rest[0] == u'/' && rest[1] == u'/') {
        const char16_t* host = rest + 2;
        size_t hostLength = 0;
        while (host[hostLength] && host[hostLength] != u'/')
            ++hostLength;
        if (hostLength && !IsScheme(host, hostLength, "localhost"))
            return link;
        rest = host + hostLength;
    }
    if (rest[0] == u'/' && IsAsciiLetter(rest[1]) && (rest[2] == u':' || rest[2] == u'|'))
        ++rest;
    size_t length = 0;
    while (rest[length])
        ++length;
    char16_t* path = static_cast<char16_t*>(malloc((length + 1) * sizeof(char16_t)));
    if (!path || !DecodeFilePath(rest, path)) {
        free(path);
        link.rule = LINK_NONE;
        link.schemeLength = 0;
        return link;
    }
    // A drive of this computer, as "C:\..." (a share is another's).
    if (!IsAsciiLetter(path[0]) || (path[1] != u':' && path[1] != u'|') || (path[2] && path[2] != u'\\')) {
        free(path);
        return link;
    }
    path[1] = u':';
    link.rule = LINK_FILE;
    link.path = path;
    return link;
}

} // namespace

char16_t* DragWideText(const void* bytes, size_t size)
{
    const unsigned char* start = static_cast<const unsigned char*>(bytes);
    const size_t length = LettersBefore(start, size / 2);
    if (length == size / 2 && size % 2)
        return nullptr;
    return CopyLetters(start, length);
}

char* DragNarrowText(const void* bytes, size_t size)
{
    const char* start = static_cast<const char*>(bytes);
    const char* zero = static_cast<const char*>(memchr(start, '\0', size));
    const size_t length = zero ? static_cast<size_t>(zero - start) : size;
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) {
        memcpy(copy, start, length);
        copy[length] = '\0';
    }
    return copy;
}

bool ReadDragFileList(const void* bytes, size_t size, DragFileList* list)
{
    const unsigned char* start = static_cast<const unsigned char*>(bytes);
    *list = {0, nullptr, nullptr};
    if (size < kFileListHeader)
        return false;
    const size_t names = Read32(start);
    const bool wide = Read32(start + kFileListWideFlag) != 0;
    if (names < kFileListHeader || names > size)
        return false;
    // Each name ends in its zero; an empty name (or the end) ends the list.
    const size_t letter = wide ? 2 : 1;
    size_t at = names, firstLength = 0;
    while (size - at >= letter) {
        size_t length = wide ? LettersBefore(start + at, (size - at) / 2) : 0;
        if (!wide) {
            const void* zero = memchr(start + at, '\0', size - at);
            length = zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - (start + at)) : size - at;
        }
        if ((length + 1) * letter > size - at)
            return false;
        if (length == 0)
            break;
        if (list->count++ == 0)
            firstLength = length;
        at += (length + 1) * letter;
    }
    if (list->count == 0)
        return true;
    if (wide) {
        list->first = CopyLetters(start + names, firstLength);
    } else {
        list->firstNarrow = DragNarrowText(start + names, firstLength);
    }
    return true;
}

bool ReadDragDescriptorTitle(const void* bytes, size_t size, char16_t** title)
{
    const unsigned char* start = static_cast<const unsigned char*>(bytes);
    *title = nullptr;
    if (size < 4)
        return false;
    const uint64_t count = Read32(start);
    if (count * kDescriptorSize > size - 4)
        return false;
    if (count == 0)
        return true;
    const unsigned char* name = start + 4 + kDescriptorNameAt;
    size_t length = LettersBefore(name, kDescriptorNameLength);
    // A browser names the link's shortcut after the page: "title.url".
    const unsigned char* end = name + (length > 4 ? length - 4 : 0) * 2;
    if (length > 4 && Read16(end) == u'.' && Lower(Read16(end + 2)) == u'u' && Lower(Read16(end + 4)) == u'r' &&
        Lower(Read16(end + 6)) == u'l')
        length -= 4;
    if (length)
        *title = CopyLetters(name, length);
    return true;
}

bool ReadDragShellItems(const void* bytes, size_t size, DragShellItems* items)
{
    const unsigned char* start = static_cast<const unsigned char*>(bytes);
    *items = {0, nullptr};
    if (size < 4)
        return false;
    const uint64_t count = Read32(start);
    if (count == 0)
        return true;
    // The count, then an offset for the parent and for each item.
    if ((count + 2) * 4 > size)
        return false;
    const size_t parentAt = Read32(start + 4), itemAt = Read32(start + 8);
    const size_t parentSize = ItemListSize(start, size, parentAt), itemSize = ItemListSize(start, size, itemAt);
    if (!parentSize || !itemSize)
        return false;
    items->count = static_cast<unsigned>(count);
    if (count > 1)
        return true;
    // The parent's items without their end, then the item's with it.
    items->absolute = static_cast<unsigned char*>(malloc(parentSize - 2 + itemSize));
    if (items->absolute) {
        memcpy(items->absolute, start + parentAt, parentSize - 2);
        memcpy(items->absolute + parentSize - 2, start + itemAt, itemSize);
    }
    return true;
}

DragLink ReadDragLink(const char16_t* text)
{
    DragLink link = {LINK_NONE, 0, nullptr};
    if (!text)
        return link;
    // One link is one word: no blank, line break or control letter.
    for (const char16_t* at = text; *at; ++at)
        if (*at <= u' ' || *at == 0x7F || *at == 0x85 || *at == 0xA0 || *at == 0x3000 ||
            (*at >= 0x2000 && *at <= 0x200B) || *at == 0x2028 || *at == 0x2029)
            return link;
    const size_t length = SchemeLength(text);
    // shell: names a folder of the shell, which a link is not.
    if (length == 0 || IsScheme(text, length, "shell"))
        return link;
    link.schemeLength = length;
    static const char* const kTaken[] = {"http", "https", "ftp", "mailto"};
    static const char* const kRefused[] = {"javascript", "vbscript", "data", "ms-msdt", "search-ms"};
    link.rule = LINK_ASK;
    for (const char* scheme : kTaken)
        if (IsScheme(text, length, scheme))
            link.rule = LINK_TAKEN;
    for (const char* scheme : kRefused)
        if (IsScheme(text, length, scheme))
            link.rule = LINK_REFUSED_SCRIPT;
    return IsScheme(text, length, "file") ? FileLinkRule(text) : link;
}

char16_t* DragLinkHost(const char16_t* link)
{
    const size_t scheme = SchemeLength(link);
    if (!scheme)
        return nullptr;
    const char16_t* start = link + scheme + 1;
    if (start[0] == u'/' && start[1] == u'/')
        start += 2;
    size_t length = 0, end = 0;
    while (start[length])
        ++length;
    while (end < length && start[end] != u'/' && start[end] != u'?' && start[end] != u'#')
        ++end;
    // A link that is nothing but a path keeps it whole.
    return CopyLetters(reinterpret_cast<const unsigned char*>(start), end ? end : length);
}
