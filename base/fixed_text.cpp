#include "base/fixed_text.h"

#include <windows.h>

namespace {

const UINT kFixedTextCodePage = 1251;

} // namespace

int WidenFixedText(const char* text, wchar_t* wide, int capacity)
{
    return MultiByteToWideChar(kFixedTextCodePage, 0, text, -1, wide, capacity) - 1;
}
