// File, Image, Animation and Help commands. File, Exit and the GIF dialogs are in gifdialogs.cpp.
//
// TODO(commands): New, Open, Save, Save As, Add, Delete, Move Up, Move Down, Animate and Help
// are still to be written; until then each leaves the document untouched.
#include <windows.h>

#include "app/commands.h"
#include "app/globals.h"

namespace {
constexpr DWORD kModulePathSize = 260;
}

std::string programFolder() {
    char path[kModulePathSize] = {};
    GetModuleFileNameA(nullptr, path, kModulePathSize);
    std::string folder = path;
    const size_t slash = folder.rfind('\\');
    if (slash != std::string::npos) folder.resize(slash);
    return folder;
}

void commandNew() {}
void commandOpen() {}
void commandSave() {}
void commandSaveAs() {}
void commandAddImage() {}
void commandDeleteImage() {}
void commandMoveUp() {}
void commandMoveDown() {}
void commandAnimate() {}
void commandHelp() {}
