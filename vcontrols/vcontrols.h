// The companion library "vcontrols.dll" as the launcher calls it: two entry
// points, "Init" at start and "Release" at exit, each given the library's
// own module handle. The one type serves the library and the loader, so the
// calling convention cannot differ between them.
#ifndef ZRONDEL_VCONTROLS_VCONTROLS_H
#define ZRONDEL_VCONTROLS_VCONTROLS_H

#include <windows.h>

typedef void(WINAPI* HelperEntryPoint)(HMODULE library);

#endif
