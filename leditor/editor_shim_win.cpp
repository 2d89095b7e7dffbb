#include "leditor/editor_shim.h"

#include <windows.h>

bool IsWordCharacter(char byte)
{
    return IsCharAlphaNumericA(byte) != 0;
}
