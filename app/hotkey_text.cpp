#include "app/hotkey_text.h"

namespace {

const HotkeyCombination kDefaultHotkey = {HOTKEY_WIN | HOTKEY_SHIFT, 'Z'};
const unsigned kSpaceKey = 0x20;
const unsigned kF1Key = 0x70; // F2 to F24 follow it

// Indexed by the bit of each modifier's flag.
const char* const kModifierNames[] = {"alt", "ctrl", "shift", "win"};
const unsigned kModifierCount = sizeof kModifierNames / sizeof kModifierNames[0];

// ASCII letters folded to lower case; nothing else becomes a letter.
char Folded(char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// True when [begin, end) spells the lower-case name in any letter case.
bool IsName(const char* begin, const char* end, const char* name)
{
    for (; begin < end; ++begin, ++name) {
        if (Folded(*begin) != *name)
            return false;
    }
    return *name == '\0';
}

// The virtual-key code of the key that [begin, end) names; 0 for none.
unsigned KeyCode(const char* begin, const char* end)
{
    char first = Folded(*begin);
    long length = end - begin;
    if (length == 1 && ((first >= 'a' && first <= 'z') || (first >= '0' && first <= '9')))
        return first >= 'a' ? first - ('a' - 'A') : first; // letters' codes are the capitals
    if (IsName(begin, end, "space"))
        return kSpaceKey;
    if (first != 'f' || length < 2 || length > 3 || begin[1] == '0')
        return 0;
    unsigned number = 0;
    for (const char* digit = begin + 1; digit < end; ++digit) {
        if (*digit < '0' || *digit > '9')
            return 0;
        number = number * 10 + (*digit - '0');
    }
    return number <= 24 ? kF1Key + number - 1 : 0;
}

} // namespace

HotkeyCombination HotkeyFromText(const char* text)
{
    if (!text)
        return kDefaultHotkey;
    HotkeyCombination combination = {0, 0};
    if (*text == '\0')
        return combination;
    for (;;) {
        const char* begin = text;
        while (*text && *text != '+')
            ++text;
        if (*text == '\0') {
            combination.key = KeyCode(begin, text);
            break;
        }
        unsigned bit = 0;
        while (bit < kModifierCount && !IsName(begin, text, kModifierNames[bit]))
            ++bit;
        if (bit == kModifierCount)
            return kDefaultHotkey;
        combination.modifiers |= 1u << bit;
        ++text; // past the "+"
    }
    // Letters, digits and Space are the typing keys: only Ctrl, Alt or Win
    // leaves them free for typing.
    bool typingKey = combination.key < kF1Key;
    if (combination.key == 0 || (typingKey && (combination.modifiers & ~HOTKEY_SHIFT) == 0))
        return kDefaultHotkey;
    return combination;
}
