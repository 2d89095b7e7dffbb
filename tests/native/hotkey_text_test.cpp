#include "app/hotkey_text.h"

#include <gtest/gtest.h>

namespace {

void ExpectCombination(const char* text, unsigned modifiers, unsigned key)
{
    HotkeyCombination combination = HotkeyFromText(text);
    EXPECT_EQ(combination.modifiers, modifiers) << (text ? text : "<no value>");
    EXPECT_EQ(combination.key, key) << (text ? text : "<no value>");
}

const unsigned kWinShift = HOTKEY_WIN | HOTKEY_SHIFT;

TEST(HotkeyText, ModifiersThenOneKeyInAnyLetterCase)
{
    ExpectCombination("Win+Shift+Z", kWinShift, 'Z');
    ExpectCombination("Ctrl+Alt+F9", HOTKEY_CTRL | HOTKEY_ALT, 0x78);
    ExpectCombination("cTRL+wIN+f1", HOTKEY_CTRL | HOTKEY_WIN, 0x70);
    ExpectCombination("ALT+SHIFT+f24", HOTKEY_ALT | HOTKEY_SHIFT, 0x87);
    ExpectCombination("Alt+0", HOTKEY_ALT, '0');
    ExpectCombination("Win+space", HOTKEY_WIN, 0x20);
    ExpectCombination("Ctrl+f", HOTKEY_CTRL, 'F');
    ExpectCombination("Shift+Alt+Ctrl+Win+9", HOTKEY_ALT | HOTKEY_CTRL | HOTKEY_SHIFT | HOTKEY_WIN, '9');
    ExpectCombination("F12", 0, 0x7B); // a function key may stand alone
    ExpectCombination("Shift+F5", HOTKEY_SHIFT, 0x74);
}

TEST(HotkeyText, NoValueGivesWinShiftZAndAnEmptyOneNone)
{
    ExpectCombination(nullptr, kWinShift, 'Z');
    ExpectCombination("", 0, 0);
}

TEST(HotkeyText, TextThatNamesNoCombinationCountsAsNoValue)
{
    const char* unreadable[] = {"+", "Ctrl+", "+Z", "Ctrl++Z", "Z+Ctrl", "Ctrl+Alt", "Ctrl + Z", " Ctrl+Z",
                                "Hyper+Z", "Control+Z", "Ctrl+ZZ", "Ctrl+F0", "Ctrl+F01", "Ctrl+F25",
                                "Ctrl+F100", "Ctrl+Fx", "Ctrl+Escape", "Ctrl+Spacebar", "Ctrl+Ä"};
    for (const char* text : unreadable)
        ExpectCombination(text, kWinShift, 'Z');
}

TEST(HotkeyText, ALetterDigitOrSpaceWithNoMoreThanShiftIsRefused)
{
    for (const char* text : {"Z", "7", "Space", "Shift+Z", "Shift+Space", "Shift+Shift+1"})
        ExpectCombination(text, kWinShift, 'Z');
}

} // namespace
