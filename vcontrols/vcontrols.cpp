// "vcontrols.dll", the launcher's companion library. Init readies the UI
// thread for the system dialogs the launcher opens: it registers the common
// controls, which the version 6 controls named in the launcher's manifest
// need before they can draw with visual styles, and joins the thread to a
// single-threaded COM apartment, which the folder browser requires of its
// caller. Release leaves the apartment again.
#include "vcontrols/vcontrols.h"

#include <commctrl.h>
#include <objbase.h>

#include <type_traits>

namespace {

bool joinedApartment; // Init's CoInitializeEx succeeded: Release owes one CoUninitialize

} // namespace

extern "C" void WINAPI Init(HMODULE)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // S_FALSE (the thread was in an apartment already) also needs its
    // CoUninitialize; a thread in the multithreaded apartment does not.
    joinedApartment = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

extern "C" void WINAPI Release(HMODULE)
{
    if (joinedApartment)
        CoUninitialize();
    joinedApartment = false;
}

static_assert(std::is_same<decltype(&Init), HelperEntryPoint>::value, "Init is called as a HelperEntryPoint");
static_assert(std::is_same<decltype(&Release), HelperEntryPoint>::value, "Release is called as a HelperEntryPoint");
