// File, Image, Animation and Help commands. File, Exit and the GIF dialogs are in gifdialogs.cpp.
#include "app/commands.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <cctype>
#include <string>

#include "win32/gdiplus_win.h"
#include "app/globals.h"
#include "app/preview.h"
#include "app/waitcursor.h"
#include "win32/imageimport_win.h"
#include "resource.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr DWORD kModulePathSize = 260;
constexpr DWORD kPathBufferSize = 260;
constexpr char kUnableToOpen[] = "Unable to open image.";
constexpr char kErrorCaption[] = "Error";
constexpr char kUnableToPreview[] = "Unable to write the preview files beside the program.";

// Pairs of description and pattern, ended by an empty pair.
constexpr char kImageFilter[] =
    "All Supported Formats \0*.gif; *.bmp; *.jpg; *.png; *.wmf; *.emf; *.ico; *.tif; \0"
    "GIF Files (*.gif)\0*.gif\0"
    "BMP File (*.bmp)\0*.bmp\0"
    "JPEG Files (*.jpg)\0*.jpg\0"
    "PNG Files (*.png)\0*.png\0"
    "WMF Files (*.wmf)\0*.wmf\0"
    "EMF Files (*.emf)\0*.emf\0"
    "ICO Files(*.ico)\0*.ico\0"
    "TIFF Files (*.tif)\0*.tif\0";

void showError(const char* text) {
    MessageBoxA(g_mainWindow, text, kErrorCaption, MB_ICONEXCLAMATION);
}

// GDI+ takes UTF-16 names; the dialogs give ANSI ones.
std::wstring widePath(const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
    wide.resize(size_t(length) - 1);
    return wide;
}

// Open's own GDI+ check: a file GDI+ cannot decode, or that holds no frame, is refused before the
// GIF reader is asked to replace the document.
bool gdiplusCanDecode(const std::string& path) {
    GpImage* image = nullptr;
    const std::wstring wide = widePath(path);
    if (GdipLoadImageFromFileICM(wide.c_str(), &image) != Ok) {
        if (image) GdipDisposeImage(image);
        return false;
    }
    GUID dimension = {};
    UINT frames = 0;
    if (GdipImageGetFrameDimensionsList(image, &dimension, 1) == Ok) {
        GdipImageGetFrameCount(image, &dimension, &frames);
    }
    GdipDisposeImage(image);
    return frames != 0;
}

bool showImageOpenDialog(std::string* path) {
    char buffer[kPathBufferSize] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = g_mainWindow;
    dialog.lpstrFilter = kImageFilter;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = kPathBufferSize;
    dialog.lpstrDefExt = "gif";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&dialog)) return false;
    *path = buffer;
    return true;
}

// Anywhere in the path, not only as the extension: a folder named "x.gif" sends its files here.
bool takesGifRoad(const std::string& path) {
    std::string upper = path;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper.rfind(".GIF") != std::string::npos;
}

void addGifFrames(const std::string& path) {
    GifAnimation added;
    if (added.readFile(path.c_str()) != ReadOk || added.frames.empty()) {
        showError(kUnableToOpen);
        return;
    }
    // The screen is fitted to all frames once they are in, in the same step.
    g_editor.insertFrames(g_editor.document().frames.size(), added, "Add Image", ScreenAfterAdd::Fit, false);
}

void addOtherImage(const std::string& path) {
    GpImage* image = nullptr;
    const std::wstring wide = widePath(path);
    const GpStatus status = GdipLoadImageFromFile(wide.c_str(), &image);
    GifAnimation added;
    if (status == Ok && image) importImage(added, image, isWmfImage(image));
    // Nothing reads the source again once its frames are drawn, so it is not kept.
    if (image) GdipDisposeImage(image);
    if (added.frames.empty()) {
        showError(kUnableToOpen);
        return;
    }
    // The screen grows to hold the new frames and never shrinks here.
    g_editor.insertFrames(g_editor.document().frames.size(), added, "Add Image", ScreenAfterAdd::Grow);
}

}  // namespace

std::string programFolder() {
    char path[kModulePathSize] = {};
    GetModuleFileNameA(nullptr, path, kModulePathSize);
    std::string folder = path;
    const size_t slash = folder.rfind('\\');
    if (slash != std::string::npos) folder.resize(slash);
    return folder;
}

void commandNew() {
    if (!askSaveChanges()) return;
    g_editor.startNew();
}

void commandOpen() {
    if (!showGifOpenDialog()) return;
    if (!gdiplusCanDecode(g_chosenPath)) {
        showError(kUnableToOpen);
        return;
    }
    WaitCursor wait;
    GifAnimation read;
    read.readFile(g_chosenPath.c_str());
    g_editor.open(read, g_chosenPath);
}

void commandSave() {
    if (!g_editor.changed()) return;
    saveDocument();
}

void commandSaveAs() {
    if (!showGifSaveDialog()) return;
    g_editor.save(g_chosenPath);
}

void commandAddImage() {
    std::string path;
    if (!showImageOpenDialog(&path)) return;
    WaitCursor wait;
    if (takesGifRoad(path)) {
        addGifFrames(path);
    } else {
        addOtherImage(path);
    }
}

// No question first: Undo brings the frame back.
void commandDeleteImage() {
    const int current = g_editor.currentFrame();
    if (current >= 0) g_editor.deleteFrame(size_t(current));
}

void commandMoveUp() {
    const int current = g_editor.currentFrame();
    if (current >= 0) g_editor.moveFrame(size_t(current), true);
}

void commandMoveDown() {
    const int current = g_editor.currentFrame();
    if (current >= 0) g_editor.moveFrame(size_t(current), false);
}

void commandUndo() {
    g_editor.undo();
}

void commandRedo() {
    g_editor.redo();
}

void commandAnimate() {
    const std::string folder = programFolder();
    const std::string gifPath = folder + "\\preview.gif";
    const std::string pagePath = folder + "\\preview.html";
    if (!g_editor.writeCopy(gifPath) || !writePreviewPage(pagePath)) {
        showError(kUnableToPreview);
        return;
    }
    ShellExecuteA(g_mainWindow, "open", pagePath.c_str(), nullptr, "c:\\", SW_SHOWMAXIMIZED);
}

void commandHelp() {
    const std::string helpPath = programFolder() + "\\Velmora.chm";
    ShellExecuteA(g_mainWindow, "open", helpPath.c_str(), "", "", SW_SHOWMAXIMIZED);
}
