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
