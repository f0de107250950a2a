// File, Image, Animation and Help commands. File, Exit and the GIF dialogs are in gifdialogs.cpp.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cctype>
#include <string>

#include "app/commands.h"
#include "app/gdiplusflat.h"
#include "app/globals.h"
#include "app/layout.h"
#include "app/preview.h"
#include "imaging/imageimport.h"
#include "panels/globalpanel.h"
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

void showError(const char* text) { MessageBoxA(g_mainWindow, text, kErrorCaption, MB_ICONEXCLAMATION); }

// GDI+ takes UTF-16 names; the dialogs give ANSI ones.
std::wstring widePath(const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
    wide.resize(size_t(length) - 1);
    return wide;
}

// Large files take a moment to decode; show that the program is working on it.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) {}  // IDC_WAIT
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

int selectedItem() { return int(SendMessageA(g_frameList, LB_GETCURSEL, 0, 0)); }
int itemCount() { return int(SendMessageA(g_frameList, LB_GETCOUNT, 0, 0)); }
void selectItem(int index) { SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(index), 0); }

// Every item is drawn from its frame, so the item's own text stays empty. Some list boxes paint
// the visible items on every insertion; with a few hundred frames that would redraw thumbnails
// hundreds of times, so painting waits until all items are in.
void addListItems(size_t count) {
    if (count == 0) return;
    SendMessageA(g_frameList, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < count; ++i) SendMessageA(g_frameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    SendMessageA(g_frameList, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(g_frameList, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
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

void showDocumentInGlobalPanel() {
    CheckDlgButton(g_globalPanel, IDC_GLOBAL_AUTO_SIZE, BST_UNCHECKED);
    // With Auto off the size is typed again, so the edits must take input.
    g_document.autoScreenSize = false;
    EnableWindow(GetDlgItem(g_globalPanel, IDC_GLOBAL_WIDTH), TRUE);
    EnableWindow(GetDlgItem(g_globalPanel, IDC_GLOBAL_HEIGHT), TRUE);
    SetDlgItemInt(g_globalPanel, IDC_GLOBAL_WIDTH, g_document.screenWidth, FALSE);
    SetDlgItemInt(g_globalPanel, IDC_GLOBAL_HEIGHT, g_document.screenHeight, FALSE);
    const HWND loopEdit = GetDlgItem(g_globalPanel, IDC_GLOBAL_LOOP);
    if (g_document.loopForever) {
        CheckDlgButton(g_globalPanel, IDC_GLOBAL_INFINITE, BST_CHECKED);
        SetWindowTextA(loopEdit, "1");
        EnableWindow(loopEdit, FALSE);
    } else {
        CheckDlgButton(g_globalPanel, IDC_GLOBAL_INFINITE, BST_UNCHECKED);
        SetDlgItemInt(g_globalPanel, IDC_GLOBAL_LOOP, g_document.loopCount, FALSE);
        EnableWindow(loopEdit, TRUE);
    }
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
    if (added.readFile(path.c_str()) != ReadOk) {
        showError(kUnableToOpen);
        return;
    }
    g_document.appendFrames(added);
    addListItems(added.frames.size());
    fitScreenToFrames();
    redrawAnimationView(RDW_INVALIDATE | RDW_ERASE);
    RedrawWindow(g_frameList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    updateViewScrollBars();
    g_modified = true;
}

void addOtherImage(const std::string& path) {
    GpImage* image = nullptr;
    const std::wstring wide = widePath(path);
    const GpStatus status = GdipLoadImageFromFile(wide.c_str(), &image);
    const size_t before = g_document.frames.size();
    if (status == Ok && image) importImage(g_document, image, isWmfImage(image));
    // Nothing reads the source again once its frames are drawn, so it is not kept.
    if (image) GdipDisposeImage(image);
    const size_t added = g_document.frames.size() - before;
    if (added == 0) {
        showError(kUnableToOpen);
        return;
    }
    SetDlgItemInt(g_globalPanel, IDC_GLOBAL_WIDTH, g_document.screenWidth, FALSE);
    SetDlgItemInt(g_globalPanel, IDC_GLOBAL_HEIGHT, g_document.screenHeight, FALSE);
    addListItems(added);
    selectItem(itemCount() - 1);
    g_modified = true;
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
    // Screen size, looping and the global table are kept: only the frames go.
    g_document.frames.clear();
    SendMessageA(g_frameList, LB_RESETCONTENT, 0, 0);
    g_modified = false;
    g_documentPath.clear();
    redrawAnimationView(RDW_INVALIDATE | RDW_ERASE);
}

void commandOpen() {
    if (!showGifOpenDialog()) return;
    if (!gdiplusCanDecode(g_chosenPath)) {
        showError(kUnableToOpen);
        return;
    }
    {
        WaitCursor wait;
        g_document.readFile(g_chosenPath.c_str());
        SendMessageA(g_frameList, LB_RESETCONTENT, 0, 0);
        addListItems(g_document.frames.size());
    }
    showDocumentInGlobalPanel();
    g_documentPath = g_chosenPath;
    // Showing the values in the panel passed them through its edit rules; that is no user change.
    g_modified = false;
}

void commandSave() {
    if (!g_modified) return;
    if (g_documentPath.empty()) {
        if (!showGifSaveDialog()) return;
        g_document.writeFile(g_chosenPath.c_str());
        g_documentPath = g_chosenPath;
    } else {
        g_document.writeFile(g_documentPath.c_str());
    }
    g_modified = false;
}

void commandSaveAs() {
    if (!showGifSaveDialog()) return;
    g_document.writeFile(g_chosenPath.c_str());
    g_documentPath = g_chosenPath;
    g_modified = false;
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

void commandDeleteImage() {
    // Marked even when nothing is deleted.
    g_modified = true;
    const int selection = selectedItem();
    if (selection < 0) return;
    if (MessageBoxA(g_mainWindow, "Are you sure you wish to delete image?", "Confirmation", MB_OKCANCEL) != IDOK) return;
    g_document.removeFrame(size_t(selection));
    SendMessageA(g_frameList, LB_DELETESTRING, WPARAM(selection), 0);
    const int count = itemCount();
    if (count <= 0) return;
    selectItem(selection == count ? count - 1 : selection);
}

void commandMoveUp() {
    const int selection = selectedItem();
    if (selection > 0 && size_t(selection) < g_document.frames.size()) {
        g_document.frames[size_t(selection) - 1].swapContents(g_document.frames[size_t(selection)]);
        selectItem(selection - 1);
    }
    g_modified = true;
}

void commandMoveDown() {
    const int selection = selectedItem();
    const int count = itemCount();
    if (selection >= 0 && selection < count - 1 && size_t(selection) + 1 < g_document.frames.size()) {
        g_document.frames[size_t(selection)].swapContents(g_document.frames[size_t(selection) + 1]);
        selectItem(selection + 1);
    }
    g_modified = true;
}

void commandAnimate() {
    const std::string folder = programFolder();
    const std::string gifPath = folder + "\\preview.gif";
    const std::string pagePath = folder + "\\preview.html";
    if (!g_document.writeFile(gifPath.c_str()) || !writePreviewPage(pagePath)) {
        showError(kUnableToPreview);
        return;
    }
    ShellExecuteA(g_mainWindow, "open", pagePath.c_str(), nullptr, "c:\\", SW_SHOWMAXIMIZED);
}

void commandHelp() {
    const std::string helpPath = programFolder() + "\\Velmora.chm";
    ShellExecuteA(g_mainWindow, "open", helpPath.c_str(), "", "", SW_SHOWMAXIMIZED);
}
