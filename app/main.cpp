// Entry point: a thin wrapper so the UI tests can run the very same start-up and shut-down.
#include <windows.h>

#include "app/application.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // Lives as long as the main window; the window finds it again through its own handle.
    Application app;
    if (!startApplication(app, instance, showCommand)) return 0;
    const int exitCode = runMessageLoop(app);
    shutDownApplication(app);
    return exitCode;
}
