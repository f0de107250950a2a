#include "ui/support/uiharness.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>

#include "app/application.h"
#include "app/startup.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/paletteeditor.h"
#include "win32/gdiplus_win.h"

namespace {

constexpr UINT_PTR kAnswerTimerId = 0x7E51, kGiveUpTimerId = 0x7E52;
constexpr UINT kAnswerDelayMs = 150, kGiveUpDelayMs = 5000;
// The file-name box of the explorer-style file dialogs, and the text of a message box.
constexpr int kFileNameControl = 0x47C, kMessageTextControl = 0xFFFF;

DialogAnswerer* s_answerer = nullptr;

LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    char name[16] = {};
    if (code == HCBT_ACTIVATE && s_answerer && GetClassNameA(window, name, sizeof(name)) &&
        !strcmp(name, "#32770"))
        s_answerer->onActivate(window);
    // Wine hands a closed window's handle to the next window it makes: forget it on the way out,
    // so a second dialog with the same handle is answered too.
    if (code == HCBT_DESTROYWND && s_answerer) s_answerer->onDestroy(window);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK answerTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    if (s_answerer) s_answerer->onAnswerTimer(window);
}

void CALLBACK giveUpTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

void CALLBACK watchdogTimer(HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(kStillRunning);
}

// A fresh application for every session; the last one stays readable after its session ends.
std::unique_ptr<Application> s_app;

const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

}  // namespace

Application& app() {
    return *s_app;
}

AppSession::AppSession() {
    s_app = std::make_unique<Application>();
    started = startApplication(app(), GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    // The pointer out of the way: moves the system makes as windows come and go miss them.
    SetCursorPos(0, 0);
    pumpMessages(100);
}

AppSession::~AppSession() {
    // Leave without a question: the closing step WM_DESTROY runs then only posts WM_QUIT.
    GifAnimation empty;
    app().editor.open(empty, "");
    if (app().window && IsWindow(app().window)) DestroyWindow(app().window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageA(&message);
    shutDownApplication(app());
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(int(message.wParam));  // kept for whoever runs the loop next
                return done && done();
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done && done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMilliseconds) return done && done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(20, timeoutMilliseconds - elapsed),
                                  QS_ALLINPUT);
    }
}

int runMessageLoopFor(DWORD milliseconds) {
    const UINT_PTR timer = SetTimer(nullptr, 0, milliseconds, watchdogTimer);
    const int exitCode = runMessageLoop(app());
    KillTimer(nullptr, timer);
    return exitCode;
}

DialogAnswerer::DialogAnswerer() {
    s_answerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    if (hook_) UnhookWindowsHookEx(hook_);
    s_answerer = nullptr;
}

void DialogAnswerer::onActivate(HWND dialog) {
    // The main window is a dialog too and comes back to the front whenever a modal one closes.
    if (dialog == app().window || std::find(handled_.begin(), handled_.end(), dialog) != handled_.end())
        return;
    handled_.push_back(dialog);
    SetTimer(dialog, kAnswerTimerId, kAnswerDelayMs, answerTimer);
    SetTimer(dialog, kGiveUpTimerId, kGiveUpDelayMs, giveUpTimer);
}

void DialogAnswerer::onDestroy(HWND window) {
    handled_.erase(std::remove(handled_.begin(), handled_.end(), window), handled_.end());
}

void DialogAnswerer::onAnswerTimer(HWND dialog) {
    // A modal loop shows its dialog once idle, later on a busy machine; nobody types into it before.
    if (!IsWindowVisible(dialog)) {
        SetTimer(dialog, kAnswerTimerId, kAnswerDelayMs, answerTimer);
        return;
    }
    char text[512] = {};
    GetWindowTextA(dialog, text, sizeof(text));
    const std::string caption = text;
    if (pending_.empty() || pending_.front().first != caption) {
        unexpected_.push_back(caption);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (GetDlgItemTextA(dialog, kMessageTextControl, text, sizeof(text)) > 0) lastMessageText_ = text;
    Answer answer = std::move(pending_.front().second);
    pending_.erase(pending_.begin());
    answer(dialog);
}

DialogAnswerer::Answer DialogAnswerer::chooseFile(const std::string& path) {
    return [path](HWND dialog) {
        SetDlgItemTextA(dialog, kFileNameControl, path.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

// The running application's GDI+ writes the PNG.
std::string saveWindowScreenshot(HWND window, const std::string& fileName) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages(300);  // Wine hands new pixels to the X server a little after drawing them
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return std::string();
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    SelectObject(dc, previous);
    const std::string path = windowsOutputPath(fileName);
    const std::wstring widePath(path.begin(), path.end());
    Gdiplus::GpBitmap* image = nullptr;
    bool saved = false;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(image, widePath.c_str(), &kPngEncoder, nullptr) ==
                Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return saved ? path : std::string();
}

void sendMenuCommand(UINT id) {
    SendMessageA(app().window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}
void clickToolbarButton(UINT id) {
    SendMessageA(app().window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(app().toolbar));
}

int frameListCount() {
    return int(SendMessageA(app().frameList, LB_GETCOUNT, 0, 0));
}
int frameListSelection() {
    return int(SendMessageA(app().frameList, LB_GETCURSEL, 0, 0));
}

void selectFrame(int index) {
    SendMessageA(app().frameList, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(app().window, WM_COMMAND, MAKEWPARAM(IDC_FRAME_LIST, LBN_SELCHANGE),
                 LPARAM(app().frameList));
}

void showPropertyTab(int index) {
    SendMessageA(app().propertyTabs, TCM_SETCURSEL, WPARAM(index), 0);
    NMHDR header = {app().propertyTabs, IDC_PROPERTY_TABS, UINT(TCN_SELCHANGE)};
    SendMessageA(app().window, WM_NOTIFY, IDC_PROPERTY_TABS, LPARAM(&header));
}

// A keystroke also sets the edit's modified flag, which a program's own SetWindowText clears.
void typeText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
    SendDlgItemMessageA(dialog, id, EM_SETMODIFY, TRUE, 0);
}
void leaveField(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), LPARAM(GetDlgItem(dialog, id)));
}
void press(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string textOf(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}
bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::string windowsOutputPath(const std::string& name) {
    std::string path = testOutputPath(name);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
std::string importImagePath(const std::string& name) {
    return windowsOutputPath("import-images\\" + name);
}

GifFrame makeFrame(uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                   const std::function<uint8_t(uint32_t, uint32_t)>& pixel, uint16_t left, uint16_t top) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) frame.bitmap->row(y)[x] = pixel ? pixel(x, y) : 0;
    IndexedPalette palette;
    palette.count = uint32_t(std::min<size_t>(colors.size(), 256));
    for (uint32_t i = 0; i < palette.count; ++i) palette.entries[i] = 0xFF000000u | colors[i];
    frame.bitmap->setPalette(palette);
    frame.hasLocalTable = true;
    for (uint32_t rgb : colors) frame.localTable.entries.push_back(RgbColor::fromPacked(rgb));
    frame.left = left;
    frame.top = top;
    return frame;
}

void setDocument(std::vector<GifFrame> frames, uint16_t screenWidth, uint16_t screenHeight,
                 const std::string& path) {
    GifAnimation doc;
    doc.frames = std::move(frames);
    doc.screenWidth = screenWidth;
    doc.screenHeight = screenHeight;
    app().editor.open(doc, path);
}

void clickEditorCell(HWND editor, uint32_t index, UINT down) {
    const RECT cell = paletteCellRect(index);
    const LPARAM centre = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageA(editor, down, MK_LBUTTON, centre);
    SendMessageA(editor, WM_LBUTTONUP, 0, centre);
}

static std::deque<std::string> s_stubPaths;
static int s_stubCalls = 0, s_boxAnswer = IDOK;
static std::vector<std::string> s_boxes;

// One instance for each import, so each goes back to its own function.
template <int>
BOOL WINAPI stubFileDialog(OPENFILENAMEA* dialog) {
    ++s_stubCalls;
    const std::string path = s_stubPaths.empty() ? "" : s_stubPaths.front();
    if (!s_stubPaths.empty()) s_stubPaths.pop_front();
    if (path.empty()) return FALSE;
    lstrcpynA(dialog->lpstrFile, path.c_str(), int(dialog->nMaxFile));
    return TRUE;
}
static int WINAPI stubMessageBox(HWND, const char* text, const char* caption, UINT) {
    s_boxes.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
    return s_boxAnswer;
}
static const struct {
    const char *module, *name;
    void* stub;
} kStubs[] = {{"comdlg32.dll", "GetOpenFileNameA", reinterpret_cast<void*>(&stubFileDialog<0>)},
              {"comdlg32.dll", "GetSaveFileNameA", reinterpret_cast<void*>(&stubFileDialog<1>)},
              {"user32.dll", "MessageBoxA", reinterpret_cast<void*>(&stubMessageBox)}};

// Every entry of the program's import address table that holds `from` is pointed at `to`.
static void redirectImports(void* from, void* to) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt =
        reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); thunk->u1.Function;
             ++thunk) {
            if (reinterpret_cast<void*>(thunk->u1.Function) != from) continue;
            DWORD protection = 0;
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), PAGE_READWRITE, &protection);
            thunk->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), protection, &protection);
        }
    }
}

DialogStubs::DialogStubs(std::vector<std::string> paths, int boxAnswer) {
    s_stubPaths.assign(paths.begin(), paths.end());
    s_stubCalls = 0;
    s_boxAnswer = boxAnswer;
    s_boxes.clear();
    for (const auto& stub : kStubs)
        redirectImports(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(stub.module), stub.name)),
                        stub.stub);
}
DialogStubs::~DialogStubs() {
    for (const auto& stub : kStubs)
        redirectImports(stub.stub,
                        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(stub.module), stub.name)));
}
void DialogStubs::add(const std::string& path) {
    s_stubPaths.push_back(path);
}
int DialogStubs::calls() const {
    return s_stubCalls;
}
const std::vector<std::string>& DialogStubs::boxes() const {
    return s_boxes;
}

void clickPinBox(int index) {
    RECT item = {};
    SendMessageA(app().frameList, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    POINT point = {item.left + MulDiv(9, app().dpi, 96), item.top + MulDiv(34, app().dpi, 96)},
          screen = point;
    ClientToScreen(app().frameList, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(app().frameList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(app().frameList, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    SetCursorPos(0, 0);
}
