// Writes one well-formed input of every drag format into the folder given.
#include <stdio.h>

#include <string>

#include "tests/native/drag_bytes.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string seeds[] = {
        '\0' + Utf16(u"https://example.org/a") + std::string(2, '\0'),
        '\0' + Utf16(u"file:///C:/a%20b%D0%B6.exe"),
        '\1' + FileListBytes(Utf16(u"C:\\a.exe") + std::string(4, '\0'), true),
        '\1' + FileListBytes(std::string("C:\\a.exe\0\0", 10), false),
        '\2' + DescriptorBytes(1, u"mailto:x@y.url"),
        '\3' + ShellItemsBytes(1, 12, 14, std::string("\x06\x00xyzw", 6)),
        '\4' + Utf16(u"\"C:\\Program Files\\App\\app.exe\" -url \"%1\""),
    };
    for (size_t i = 0; i < sizeof seeds / sizeof seeds[0]; ++i) {
        FILE* stream = fopen((std::string(argv[1]) + "/drag" + std::to_string(i)).c_str(), "wb");
        if (!stream || fwrite(seeds[i].data(), 1, seeds[i].size(), stream) != seeds[i].size() || fclose(stream))
            return 1;
    }
    return 0;
}
