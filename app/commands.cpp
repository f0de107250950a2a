// File, Image, Animation and Help commands. File, Exit and the GIF dialogs are in gifdialogs.cpp.
#include "app/commands.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <cctype>
#include <string>

#include "app/application.h"
#include "app/preview.h"
#include "app/settings.h"
#include "app/waitcursor.h"
#include "edit/animationtools.h"
#include "imaging/viewzoom.h"
#include "resource.h"
#include "ui/animationdelaydialog.h"
#include "ui/loopcounterdialog.h"
#include "win32/gdiplus_win.h"
#include "win32/imageimport_win.h"

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

void showError(Application& app, const char* text) {
    MessageBoxA(app.window, text, kErrorCaption, MB_ICONEXCLAMATION);
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

bool showImageOpenDialog(Application& app, std::string* path) {
    char buffer[kPathBufferSize] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = app.window;
    dialog.lpstrFilter = kImageFilter;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = kPathBufferSize;
    dialog.lpstrDefExt = "gif";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&dialog)) return false;
    *path = buffer;
    return true;
}

}  // namespace

// Anywhere in the path, not only as the extension: a folder named "x.gif" sends its files here.
bool takesGifRoad(const std::string& path) {
    std::string upper = path;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper.rfind(".GIF") != std::string::npos;
}

namespace {

void addGifFrames(Application& app, const std::string& path) {
    GifAnimation added;
    if (added.readFile(path.c_str()) != ReadOk || added.frames.empty()) {
        showError(app, kUnableToOpen);
        return;
    }
    // The screen is fitted to all frames once they are in, in the same step.
    app.editor.insertFrames(app.editor.document().frames.size(), added, "Add Image", ScreenAfterAdd::Fit,
                            false);
}

void addOtherImage(Application& app, const std::string& path) {
    GpImage* image = nullptr;
    const std::wstring wide = widePath(path);
    const GpStatus status = GdipLoadImageFromFile(wide.c_str(), &image);
    GifAnimation added;
    if (status == Ok && image) importImage(added, image, isWmfImage(image));
    // Nothing reads the source again once its frames are drawn, so it is not kept.
    if (image) GdipDisposeImage(image);
    if (added.frames.empty()) {
        showError(app, kUnableToOpen);
        return;
    }
    // The screen grows to hold the new frames and never shrinks here.
    app.editor.insertFrames(app.editor.document().frames.size(), added, "Add Image", ScreenAfterAdd::Grow);
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

void commandNew(Application& app) {
    if (!askSaveChanges(app)) return;
    app.editor.startNew();
}

bool openGifFile(Application& app, const std::string& path) {
    if (!gdiplusCanDecode(path)) {
        showError(app, kUnableToOpen);
        return false;
    }
    WaitCursor wait;
    GifAnimation read;
    read.readFile(path.c_str());
    app.editor.open(read, path);
    rememberRecentFile(app, path);
    return true;
}

void addFile(Application& app, const std::string& path) {
    WaitCursor wait;
    if (takesGifRoad(path)) {
        addGifFrames(app, path);
    } else {
        addOtherImage(app, path);
    }
}

void commandOpen(Application& app) {
    if (showGifOpenDialog(app)) openGifFile(app, app.chosenPath);
}

void commandSave(Application& app) {
    if (!app.editor.changed()) return;
    saveDocument(app);
}

void commandSaveAs(Application& app) {
    if (showGifSaveDialog(app) && app.editor.save(app.chosenPath)) rememberRecentFile(app, app.chosenPath);
}

void commandAddImage(Application& app) {
    std::string path;
    if (showImageOpenDialog(app, &path)) addFile(app, path);
}

// No question first: Undo brings the frame back.
void commandDeleteImage(Application& app) {
    const int current = app.editor.currentFrame();
    if (current >= 0) app.editor.deleteFrame(size_t(current));
}

void commandMoveUp(Application& app) {
    const int current = app.editor.currentFrame();
    if (current >= 0) app.editor.moveFrame(size_t(current), true);
}

void commandMoveDown(Application& app) {
    const int current = app.editor.currentFrame();
    if (current >= 0) app.editor.moveFrame(size_t(current), false);
}

void commandUndo(Application& app) {
    app.editor.undo();
}

void commandRedo(Application& app) {
    app.editor.redo();
}

// A pause after the current frame (at the end when none is current), the size of the screen.
void commandAddEmptyImage(Application& app) {
    const GifAnimation& doc = app.editor.document();
    GifAnimation added;
    added.frames.push_back(makeEmptyFrame(doc.screenWidth, doc.screenHeight));
    const int current = app.editor.currentFrame();
    app.editor.insertFrames(current >= 0 ? size_t(current) + 1 : doc.frames.size(), added, "Add Empty Image");
}

void commandAnimationDelay(Application& app) {
    runAnimationDelayDialog(app.window, app.editor);
}

void commandLoopCounter(Application& app) {
    runLoopCounterDialog(app.window, app.editor);
}

void commandAnimate(Application& app) {
    const std::string folder = programFolder();
    const std::string gifPath = folder + "\\preview.gif";
    const std::string pagePath = folder + "\\preview.html";
    if (!app.editor.writeCopy(gifPath) || !writePreviewPage(pagePath)) {
        showError(app, kUnableToPreview);
        return;
    }
    ShellExecuteA(app.window, "open", pagePath.c_str(), nullptr, "c:\\", SW_SHOWMAXIMIZED);
}

void commandHelp(Application& app) {
    const std::string helpPath = programFolder() + "\\Velmora.chm";
    ShellExecuteA(app.window, "open", helpPath.c_str(), "", "", SW_SHOWMAXIMIZED);
}

void commandZoomIn(Application& app) {
    setViewZoom(app.animationView, nextZoom(app.canvas.zoom));
}

void commandZoomOut(Application& app) {
    setViewZoom(app.animationView, previousZoom(app.canvas.zoom));
}

void commandZoomToFit(Application& app) {
    setViewZoom(app.animationView, fitViewZoom(app.animationView));
}

void commandActualSize(Application& app) {
    setViewZoom(app.animationView, 100);
}

void commandCheckerboard(Application& app) {
    const bool shown = !app.canvas.checkerboard;
    setViewCheckerboard(app.animationView, shown);
    CheckMenuItem(GetMenu(app.window), IDM_VIEW_CHECKERBOARD,
                  MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
}
