// The GIF open and save dialogs, the "Save changes?" question and File, Exit.
#include <windows.h>

#include <commdlg.h>

#include "app/application.h"
#include "app/commands.h"
#include "app/settings.h"

namespace {

constexpr DWORD kPathBufferSize = 260;
// Pairs of description and pattern, ended by an empty pair.
constexpr char kGifFilter[] = "GIF Files (*.gif)\0*.gif\0";

bool runGifDialog(Application& app, bool save) {
    char path[kPathBufferSize] = {};
    OPENFILENAMEA dialog = {};
    // The layout without the extension fields, as older systems know it.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = app.window;
    dialog.lpstrFilter = kGifFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kPathBufferSize;
    dialog.lpstrDefExt = "gif";
    // Saving has no overwrite prompt: an existing file is replaced without a question.
    dialog.Flags = save ? OFN_EXPLORER : (OFN_EXPLORER | OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen) return false;
    app.chosenPath = path;
    return true;
}

}  // namespace

bool showGifOpenDialog(Application& app) {
    return runGifDialog(app, false);
}

bool showGifSaveDialog(Application& app) {
    return runGifDialog(app, true);
}

bool saveDocument(Application& app) {
    if (!app.editor.path().empty()) return app.editor.save(app.editor.path());
    if (!showGifSaveDialog(app) || !app.editor.save(app.chosenPath)) return false;
    rememberRecentFile(app, app.chosenPath);
    return true;
}

// A save that fails or is cancelled stops the command: the changes are still only in memory.
bool askSaveChanges(Application& app) {
    if (!app.editor.changed()) return true;
    switch (MessageBoxA(app.window, "Save changes?", "Confirm", MB_YESNOCANCEL)) {
        case IDNO:
            return true;
        case IDYES:
            return saveDocument(app);
        default:
            return false;
    }
}
