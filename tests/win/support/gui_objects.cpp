#include "tests/win/support/gui_objects.h"

#include <stdint.h>
#include <windows.h>

namespace {

// One entry of the process's GDI handle table as Wine lays it out.
#pragma pack(push, 1)
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type; // 0 for a free entry
    uint8_t flags;
    uint64_t userPointer;
};
#pragma pack(pop)

const int kGdiHandleCount = 0x10000;

// Where the TEB keeps the PEB, and the PEB its GdiSharedHandleTable.
#ifdef _WIN64
const size_t kPebInTeb = 0x60;
const size_t kGdiTableInPeb = 0xf8;
#else
const size_t kPebInTeb = 0x30;
const size_t kGdiTableInPeb = 0x94;
#endif

unsigned CountGdiHandleTable()
{
    char* teb = reinterpret_cast<char*>(NtCurrentTeb());
    char* peb = *reinterpret_cast<char**>(teb + kPebInTeb);
    const GdiHandleEntry* table = *reinterpret_cast<GdiHandleEntry**>(peb + kGdiTableInPeb);
    unsigned live = 0;
    for (int i = 0; table && i < kGdiHandleCount; ++i)
        live += table[i].type != 0;
    return live;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<unsigned*>(count);
    return TRUE;
}

// EnumChildWindows already walks every descendant.
BOOL CALLBACK CountWindowAndDescendants(HWND window, LPARAM count)
{
    CountWindow(window, count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

} // namespace

unsigned CountGdiObjects()
{
    // Wine answers 0 here (a stub); Windows counts for real.
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return count ? count : CountGdiHandleTable();
}

unsigned CountThreadWindows()
{
    unsigned count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndDescendants, reinterpret_cast<LPARAM>(&count));
    return count;
}
