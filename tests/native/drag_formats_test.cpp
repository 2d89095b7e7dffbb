#include "app/drag_formats.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include "tests/native/drag_bytes.h"

namespace {

enum Format { WIDE_TEXT, FILE_LIST, DESCRIPTOR, SHELL_ITEMS };

std::string Taken(char16_t* text)
{
    std::string narrow = text ? std::string() : "<none>";
    for (char16_t* at = text; at && *at; ++at)
        narrow += *at < 0x80 ? static_cast<char>(*at) : '?';
    free(text);
    return narrow;
}

// What a reader makes of the bytes, held in a heap block of exactly their
// size so that a read past them is caught: "<refused>" or what it read.
std::string Read(Format format, const std::string& bytes)
{
    char* block = static_cast<char*>(malloc(bytes.size() + 1));
    memcpy(block, bytes.data(), bytes.size());
    std::string read = "<refused>";
    DragFileList list;
    DragShellItems items;
    char16_t* title = nullptr;
    if (format == WIDE_TEXT && (title = DragWideText(block, bytes.size())))
        read = Taken(title);
    if (format == FILE_LIST && ReadDragFileList(block, bytes.size(), &list)) {
        read = std::to_string(list.count) + ":" + Taken(list.first) + (list.firstNarrow ? list.firstNarrow : "");
        free(list.firstNarrow);
    }
    if (format == DESCRIPTOR && ReadDragDescriptorTitle(block, bytes.size(), &title))
        read = Taken(title);
    if (format == SHELL_ITEMS && ReadDragShellItems(block, bytes.size(), &items)) {
        read = std::to_string(items.count) + ":" + (items.absolute ? std::string(reinterpret_cast<char*>(items.absolute), 6) : "");
        free(items.absolute);
    }
    free(block);
    return read;
}

struct FormatCase {
    Format format;
    std::string bytes;
    std::string read;    // what is read from the whole bytes
    bool cutIsRefused;   // every shorter prefix is refused
};

const std::string kItem("\x06\x00xyzw", 6); // an item of 6 bytes

const FormatCase kFormats[] = {
    {WIDE_TEXT, Utf16(u"https://x.org/\u0436") + std::string(2, '\0') + "tail", "https://x.org/?", false},
    {WIDE_TEXT, Utf16(u"ab"), "ab", false},
    {WIDE_TEXT, Utf16(u"ab") + "c", "<refused>", false}, // odd, no end: half a letter
    {WIDE_TEXT, Utf16(u"a") + std::string(2, '\0') + "c", "a", false},
    {FILE_LIST, FileListBytes(Utf16(u"C:\\a.exe") + std::string(2, '\0') + Utf16(u"D:\\b") + std::string(4, '\0'), true),
     "2:C:\\a.exe", false},
    {FILE_LIST, FileListBytes(std::string("C:\\a.exe\0\0", 10), false), "1:<none>C:\\a.exe", false},
    {FILE_LIST, FileListBytes(std::string(2, '\0'), true), "0:<none>", false}, // Wine's empty list beside a link
    {FILE_LIST, FileListBytes(Utf16(u"C:\\a"), true), "<refused>", false},     // a name without its end
    {FILE_LIST, FileListBytes(std::string(4, '\0'), true, 400), "<refused>", true},
    {FILE_LIST, FileListBytes(std::string(4, '\0'), true, 8), "<refused>", true}, // names inside the header
    {DESCRIPTOR, DescriptorBytes(1, u"A page.url"), "A page", true},
    {DESCRIPTOR, DescriptorBytes(1, u"notes.URL.txt"), "notes.URL.txt", true},
    {DESCRIPTOR, DescriptorBytes(2, u"A page.url"), "<refused>", true}, // counts two, holds one
    {DESCRIPTOR, DescriptorBytes(0x80000000u, u"x"), "<refused>", true},
    {DESCRIPTOR, DescriptorBytes(1, u"").substr(0, 40), "<refused>", true}, // the short one beside a link
    {SHELL_ITEMS, ShellItemsBytes(1, 12, 14, kItem), "1:" + kItem, true},
    {SHELL_ITEMS, ShellItemsBytes(2, 12, 14, kItem) + Le32(0), "2:", false}, // several: counted, none made
    {SHELL_ITEMS, ShellItemsBytes(1, 12, 4000, kItem), "<refused>", true},
    {SHELL_ITEMS, ShellItemsBytes(1, 0xFFFFFFF0u, 14, kItem), "<refused>", true},
    {SHELL_ITEMS, ShellItemsBytes(1, 12, 14, std::string("\x40\x00xyzw", 6)), "<refused>", true}, // an item longer than the data
    {SHELL_ITEMS, ShellItemsBytes(1, 12, 14, std::string("\x01\x00xyzw", 6)), "<refused>", true}, // shorter than its length field
    {SHELL_ITEMS, ShellItemsBytes(0xFFFFFFFFu, 12, 14, kItem), "<refused>", true},
};

TEST(DragFormats, AreReadWithinTheirBytesWholeAndCutAtEveryByte)
{
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(Read(c.format, c.bytes), c.read);
        for (size_t cut = 0; cut < c.bytes.size(); ++cut) {
            std::string read = Read(c.format, c.bytes.substr(0, cut));
            if (c.cutIsRefused)
                EXPECT_EQ(read, "<refused>") << cut;
        }
    }
}

struct LinkCase {
    const char16_t* text;
    LinkRule rule;
    const char* pathOrHost; // LINK_FILE: the path; otherwise the host
};

const LinkCase kLinks[] = {
    {u"https://example.org/a?b", LINK_TAKEN, "example.org"},
    {u"MailTo:someone@example.org", LINK_TAKEN, "someone@example.org"},
    {u"ftp://files.example.org", LINK_TAKEN, "files.example.org"},
    {u"steam://run/440", LINK_ASK, "run"},
    {u"ms-settings:display", LINK_ASK, "display"},
    {u"JavaScript:alert(1)", LINK_REFUSED_SCRIPT, "alert(1)"},
    {u"vbscript:x", LINK_REFUSED_SCRIPT, "x"},
    {u"data:text/html,<b>", LINK_REFUSED_SCRIPT, "text"},
    {u"ms-msdt:/id", LINK_REFUSED_SCRIPT, "/id"},
    {u"search-ms:query=x", LINK_REFUSED_SCRIPT, "query=x"},
    {u"file:///C:/Tools/My%20App.exe", LINK_FILE, "C:\\Tools\\My App.exe"},
    {u"file://localhost/c|/a%D0%B6%F0%9F%98%80.txt#top", LINK_FILE, "c:\\a???.txt"},
    {u"file:D:/", LINK_FILE, "D:\\"},
    {u"file://host/share/x.exe", LINK_REFUSED_REMOTE, "host"},
    {u"file:////host/share/x.exe", LINK_REFUSED_REMOTE, "//host/share/x.exe"},
    {u"file:///etc/passwd", LINK_REFUSED_REMOTE, "/etc/passwd"},
    {u"file:///C:/a%C0%80", LINK_NONE, nullptr}, // an overlong escape
    {u"file:///C:/a%00.exe", LINK_NONE, nullptr},
    {u"file:///C:/a%F0%9F", LINK_NONE, nullptr},
    // Look-alikes: full-width, Cyrillic, a full-width colon, blanks.
    {u"\uFF48\uFF54\uFF54\uFF50\uFF1A//x", LINK_NONE, nullptr},
    {u"\u04BBttps://x", LINK_NONE, nullptr},
    {u"https\uFF1A//x", LINK_NONE, nullptr},
    {u"https://x\u3000y", LINK_NONE, nullptr},
    {u"Drop me here please", LINK_NONE, nullptr},
    {u"https://x\r\n", LINK_NONE, nullptr},
    {u"C:\\Tools\\app.exe", LINK_NONE, nullptr},
    {u"shell:startup", LINK_NONE, nullptr},
    {u"1http://x", LINK_NONE, nullptr},
    {u"", LINK_NONE, nullptr},
};

TEST(DragFormats, LinksAreJudgedByTheirAsciiSchemeOnTheirUtf16Text)
{
    for (const LinkCase& c : kLinks) {
        SCOPED_TRACE(&c - kLinks);
        DragLink link = ReadDragLink(c.text);
        EXPECT_EQ(link.rule, c.rule);
        char16_t* host = link.rule == LINK_NONE ? nullptr : DragLinkHost(c.text);
        EXPECT_EQ(Taken(link.path ? link.path : host), c.pathOrHost ? c.pathOrHost : "<none>");
        if (link.path)
            free(host);
    }
}

} // namespace
