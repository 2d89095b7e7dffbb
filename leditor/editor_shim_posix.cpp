#include "leditor/editor_shim.h"

// Natively the test stands in for Windows-1251: ASCII letters and digits,
// the Cyrillic letters 0xC0..0xFF, and Yo (0xA8, 0xB8).
bool IsWordCharacter(char byte)
{
    unsigned char c = static_cast<unsigned char>(byte);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           c >= 0xC0 || c == 0xA8 || c == 0xB8;
}
