// Entry point: a thin wrapper so the UI tests can run the very same start-up and shut-down.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (!startApplication(instance, showCommand)) return 0;
    const int exitCode = runMessageLoop();
    shutDownApplication();
    return exitCode;
}
