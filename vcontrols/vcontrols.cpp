// "vcontrols.dll", the launcher's companion library. The launcher loads it
// at every start and calls Init, so both entry points are kept free of work:
// the choosers ready the thread for the system dialogs themselves when they
// open. The library runs without the C runtime and imports nothing, so that
// loading it maps one small file and nothing more.
#include "vcontrols/vcontrols.h"

#include <type_traits>

extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, void*)
{
    return TRUE;
}

extern "C" void WINAPI Init(HMODULE)
{
}

extern "C" void WINAPI Release(HMODULE)
{
}

static_assert(std::is_same<decltype(&Init), HelperEntryPoint>::value, "Init is called as a HelperEntryPoint");
static_assert(std::is_same<decltype(&Release), HelperEntryPoint>::value, "Release is called as a HelperEntryPoint");
