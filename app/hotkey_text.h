// The text of the global hotkey's registry value: modifiers joined by "+",
// then one key, as in "Win+Shift+Z" or "Ctrl+Alt+F9".
// Platform-free: it builds natively for the tests as well as for Windows.
#ifndef ZRONDEL_APP_HOTKEY_TEXT_H
#define ZRONDEL_APP_HOTKEY_TEXT_H

// RegisterHotKey's modifier flags (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
enum { HOTKEY_ALT = 0x1, HOTKEY_CTRL = 0x2, HOTKEY_SHIFT = 0x4, HOTKEY_WIN = 0x8 };

struct HotkeyCombination {
    unsigned modifiers; // HOTKEY_ flags that must be held
    unsigned key;       // the virtual-key code; 0 = no hotkey at all
};

// The combination a value's text names. Null text (no value) gives the
// default, Win+Shift+Z; empty text gives no hotkey. The names "Ctrl",
// "Alt", "Shift", "Win" and the key (a letter, a digit, "F1" to "F24" or
// "Space") are read in any letter case, without blanks. Text that names
// no combination counts as no value, and so does a letter, digit or Space
// held with no more than Shift: registered, that key would stop typing in
// every program.
HotkeyCombination HotkeyFromText(const char* text);

#endif
