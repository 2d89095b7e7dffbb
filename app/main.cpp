#include "app/launcher.h"

// The command line and the show command are ignored: the settings file and
// the autostart entry are the whole configuration.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int code = StartLauncher(instance);
    if (code != 0)
        return code;
    code = RunMessageLoop();
    ShutDownLauncher();
    return code;
}

// The process starts here rather than in the C runtime's start-up code,
// which would make up about a fifth of the file: the launcher reads no
// command line, has no static constructors and no thread-local data, and
// msvcrt.dll readies itself when it is loaded. The stack is realigned for
// SSE code, as the system promises only 4 bytes on 32-bit.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup()
{
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
}
