#include "base/target_kind.h"

#include <ctype.h>
#include <string.h>

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A scheme starts with a letter and goes on in letters, digits, '+', '-'
// and '.'; one letter before the colon is a drive, never a scheme.
bool HasScheme(const char* text)
{
    if (!IsLetter(text[0]))
        return false;
    size_t length = 1;
    while (IsLetter(text[length]) || (text[length] >= '0' && text[length] <= '9') || text[length] == '+' ||
           text[length] == '-' || text[length] == '.')
        ++length;
    return length >= 2 && text[length] == ':';
}

} // namespace

TargetKind KindOfTarget(const char* target)
{
    if (strncmp(target, "::{", 3) == 0)
        return TARGET_SHELL_ITEM;
    // shell: is a scheme by its letters, yet names a folder of the shell.
    static const char kShell[] = "shell:";
    size_t i = 0;
    while (kShell[i] && tolower(static_cast<unsigned char>(target[i])) == kShell[i])
        ++i;
    if (!kShell[i])
        return TARGET_SHELL_ITEM;
    return HasScheme(target) ? TARGET_LINK : TARGET_FILE;
}
