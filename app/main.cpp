// Entry point: a thin wrapper so the UI tests can run the very same start-up and shut-down.
#include <windows.h>

#include "app/application.h"
#include "app/fileopening.h"
#include "app/settings.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // Lives as long as the main window; the window finds it again through its own handle.
    Application app;
    app.settingsPath = userSettingsPath();
    if (!startApplication(app, instance, showCommand)) return 0;
    // "Open with" and a double click name the file after the program.
    openOrAddFiles(app, commandLineFiles(GetCommandLineW()), false);
    const int exitCode = runMessageLoop(app);
    shutDownApplication(app);
    return exitCode;
}
