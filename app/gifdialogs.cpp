// The GIF open and save dialogs, the "Save changes?" question and File, Exit.
#include <windows.h>

#include <commdlg.h>

#include "app/commands.h"
#include "app/globals.h"

namespace {

constexpr DWORD kPathBufferSize = 260;
// Pairs of description and pattern, ended by an empty pair.
constexpr char kGifFilter[] = "GIF Files (*.gif)\0*.gif\0";

bool runGifDialog(bool save) {
    char path[kPathBufferSize] = {};
    OPENFILENAMEA dialog = {};
    // The layout without the extension fields, as older systems know it.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = g_mainWindow;
    dialog.lpstrFilter = kGifFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kPathBufferSize;
    dialog.lpstrDefExt = "gif";
    // Saving has no overwrite prompt: an existing file is replaced without a question.
    dialog.Flags = save ? OFN_EXPLORER : (OFN_EXPLORER | OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen) return false;
    g_chosenPath = path;
    return true;
}

}  // namespace

bool showGifOpenDialog() {
    return runGifDialog(false);
}

bool showGifSaveDialog() {
    return runGifDialog(true);
}

bool saveDocument() {
    if (!g_editor.path().empty()) return g_editor.save(g_editor.path());
    return showGifSaveDialog() && g_editor.save(g_chosenPath);
}

// A save that fails or is cancelled stops the command: the changes are still only in memory.
bool askSaveChanges() {
    if (!g_editor.changed()) return true;
    switch (MessageBoxA(g_mainWindow, "Save changes?", "Confirm", MB_YESNOCANCEL)) {
        case IDNO:
            return true;
        case IDYES:
            return saveDocument();
        default:
            return false;
    }
}
