#include "ui/support/uiharness.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <utility>

#include "win32/gdiplus_win.h"
#include "app/application.h"
#include "app/startup.h"
#include "ui/paletteeditor.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

namespace {

constexpr UINT_PTR kAnswerTimerId = 0x7E51, kGiveUpTimerId = 0x7E52;
constexpr UINT kAnswerDelayMs = 150, kGiveUpDelayMs = 5000;
// The file-name box of the explorer-style file dialogs, and the text of a message box.
constexpr int kFileNameControl = 0x47C, kMessageTextControl = 0xFFFF;
// A dialog still waiting for its armed answer (Wine's file dialogs are slow to come up) extends
// the loop's time up to this limit.
constexpr DWORD kLoopHardLimitMs = 20000;

DialogAnswerer* s_answerer = nullptr;
DWORD s_loopSoftDeadline = 0, s_loopHardDeadline = 0;

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
    const DWORD now = GetTickCount();
    const bool waiting = s_answerer && !s_answerer->allAnswered();
    if (int(now - s_loopHardDeadline) >= 0 || (int(now - s_loopSoftDeadline) >= 0 && !waiting))
        PostQuitMessage(kStillRunning);
}

// A fresh application for every session; the last one stays readable after its session ends.
std::unique_ptr<Application> s_app;

const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

}  // namespace

Application& app() {
    return *s_app;
}

SIZE viewClientSize() {
    RECT client = {};
    GetClientRect(app().animationView, &client);
    return {client.right - client.left, client.bottom - client.top};
}

AppSession::AppSession() {
    s_app = std::make_unique<Application>();
    started_ = startApplication(app(), GetModuleHandleA(nullptr), SW_SHOWNORMAL);
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

void pumpMessages(DWORD milliseconds) {
    pumpUntil(nullptr, milliseconds);
}

int runMessageLoopFor(DWORD milliseconds) {
    s_loopSoftDeadline = GetTickCount() + milliseconds;
    s_loopHardDeadline = GetTickCount() + std::max(milliseconds, kLoopHardLimitMs);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, watchdogTimer);
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

void DialogAnswerer::expect(const std::string& caption, Answer answer) {
    pending_.push_back({caption, std::move(answer)});
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
    char text[512] = {};
    GetWindowTextA(dialog, text, sizeof(text));
    const std::string caption = text;
    seen_.push_back(caption);
    if (pending_.empty() || pending_.front().caption != caption) {
        unexpected_.push_back(caption);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (GetDlgItemTextA(dialog, kMessageTextControl, text, sizeof(text)) > 0) lastMessageText_ = text;
    Answer answer = std::move(pending_.front().answer);
    pending_.erase(pending_.begin());
    answer(dialog);
}

DialogAnswerer::Answer DialogAnswerer::pressButton(int id) {
    return [id](HWND dialog) { PostMessageA(dialog, WM_COMMAND, WPARAM(id), 0); };
}

DialogAnswerer::Answer DialogAnswerer::chooseFile(const std::string& path) {
    return [path](HWND dialog) {
        SetDlgItemTextA(dialog, kFileNameControl, path.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

// A top-down 32-bit memory bitmap of the given size, handed to `draw`, then read back.
static Capture drawInto(int width, int height, const std::function<void(HDC, uint32_t*)>& draw) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    uint32_t* bits = static_cast<uint32_t*>(memory);
    draw(dc, bits);
    GdiFlush();
    Capture capture{width, height, std::vector<uint32_t>(bits, bits + size_t(width) * size_t(height))};
    for (uint32_t& pixel : capture.pixels) pixel &= 0xFFFFFFu;
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return capture;
}

static Capture captureWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    if (rect.right <= rect.left || rect.bottom <= rect.top) return Capture();
    return drawInto(rect.right - rect.left, rect.bottom - rect.top, [&](HDC dc, uint32_t*) {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top,
               SRCCOPY | CAPTUREBLT);
        ReleaseDC(nullptr, screen);
    });
}

Capture captureDrawing(int width, int height, uint32_t background, const std::function<void(HDC)>& paint) {
    return drawInto(width, height, [&](HDC dc, uint32_t* bits) {
        std::fill(bits, bits + size_t(width) * size_t(height), background);
        paint(dc);
    });
}

std::string savePng(const Capture& capture, const std::string& fileName) {
    if (capture.width <= 0 || capture.height <= 0) return std::string();
    const std::string path = windowsOutputPath(fileName);
    const std::wstring widePath(path.begin(), path.end());
    // Its own GDI+ session, so a screenshot works whether or not the application is running.
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return std::string();
    std::vector<uint32_t> pixels(capture.pixels);
    Gdiplus::GpBitmap* bitmap = nullptr;
    bool saved = false;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(
            capture.width, capture.height, capture.width * 4, PixelFormat32bppRGB,
            reinterpret_cast<BYTE*>(pixels.data()), &bitmap) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, widePath.c_str(), &kPngEncoder, nullptr) ==
                Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
    }
    Gdiplus::GdiplusShutdown(token);
    return saved ? path : std::string();
}

std::string saveWindowScreenshot(HWND window, const std::string& fileName) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages(300);
    return savePng(captureWindow(window), fileName);
}

RECT rectInMainWindow(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, app().window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void sendMenuCommand(UINT id) {
    SendMessageA(app().window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

int frameListCount() {
    return int(SendMessageA(app().frameList, LB_GETCOUNT, 0, 0));
}
int frameListSelection() {
    return int(SendMessageA(app().frameList, LB_GETCURSEL, 0, 0));
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
                   const std::function<uint8_t(uint32_t, uint32_t)>& pixel, uint16_t left, uint16_t top,
                   bool local) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) frame.bitmap->row(y)[x] = pixel(x, y);
    IndexedPalette palette;
    palette.count = uint32_t(std::min<size_t>(colors.size(), 256));
    for (uint32_t i = 0; i < palette.count; ++i) palette.entries[i] = 0xFF000000u | colors[i];
    frame.bitmap->setPalette(palette);
    frame.hasLocalTable = local;
    if (local)
        for (uint32_t rgb : colors) frame.localTable.entries.push_back(RgbColor::fromPacked(rgb));
    frame.left = left;
    frame.top = top;
    return frame;
}

GifFrame solidFrame(uint32_t rgb, uint32_t width, uint32_t height, uint16_t left, uint16_t top) {
    return makeFrame(
        width, height, {rgb}, [](uint32_t, uint32_t) { return uint8_t(0); }, left, top, false);
}

void setDocument(std::vector<GifFrame> frames, uint16_t screenWidth, uint16_t screenHeight,
                 const std::string& path) {
    GifAnimation doc;
    doc.frames = std::move(frames);
    doc.screenWidth = screenWidth;
    doc.screenHeight = screenHeight;
    app().editor.open(doc, path);
}

void selectFrame(int index) {
    SendMessageA(app().frameList, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(app().window, WM_COMMAND, MAKEWPARAM(IDC_FRAME_LIST, LBN_SELCHANGE), LPARAM(app().frameList));
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
bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

Capture captureClient(HWND window, bool raise) {
    if (raise) {
        SetWindowPos(app().window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(app().window);
        // The compose tab control paints over the canvas when it repaints: the canvas goes last.
        RedrawWindow(app().window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    UpdateWindow(window);
    pumpMessages(250);  // Wine hands new pixels to the X server a little after drawing them
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const Capture whole = captureWindow(window);
    const int dx = origin.x - frame.left, dy = origin.y - frame.top;
    Capture inner{client.right, client.bottom, {}};
    if (inner.width <= 0 || inner.height <= 0 || dx + inner.width > whole.width ||
        dy + inner.height > whole.height)
        return Capture();
    for (int y = 0; y < inner.height; ++y)
        for (int x = 0; x < inner.width; ++x) inner.pixels.push_back(whole.at(x + dx, y + dy));
    return inner;
}

uint32_t systemRgb(int index) {
    const COLORREF color = GetSysColor(index);
    return uint32_t(GetRValue(color)) << 16 | uint32_t(GetGValue(color)) << 8 | GetBValue(color);
}

void checkFieldRules(HWND dialog, const std::vector<FieldRule>& rules,
                     const std::function<int(int id)>& stored) {
    for (const FieldRule& rule : rules) {
        SCOPED_TRACE(testing::Message() << "field " << rule.id << " typed '" << rule.typed << "'");
        const int before = stored(rule.id);
        typeText(dialog, rule.id, rule.typed);
        if (rule.onLeave) {
            EXPECT_EQ(stored(rule.id), before) << "typing alone stored the value";
            leaveField(dialog, rule.id);
        }
        EXPECT_EQ(textOf(dialog, rule.id), rule.shown);
        EXPECT_EQ(stored(rule.id), rule.stored);
        EXPECT_TRUE(rule.stored == before || app().editor.history().canUndo()) << "no undoable step";
    }
}

void sendAtCell(HWND editor, uint32_t index, UINT message, WPARAM keys) {
    const RECT cell = paletteCellRect(index);
    SendMessageA(editor, message, keys,
                 MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
}

void clickEditorCell(HWND editor, uint32_t index) {
    sendAtCell(editor, index, WM_LBUTTONDOWN, MK_LBUTTON);
    sendAtCell(editor, index, WM_LBUTTONUP);
}

static std::deque<std::string> s_stubPaths;
static int s_stubCalls = 0;

static BOOL stubFileDialog(OPENFILENAMEA* dialog) {
    ++s_stubCalls;
    if (s_stubPaths.empty()) return FALSE;
    const std::string path = s_stubPaths.front();
    s_stubPaths.pop_front();
    if (path.empty()) return FALSE;
    lstrcpynA(dialog->lpstrFile, path.c_str(), int(dialog->nMaxFile));
    return TRUE;
}

// One for each import, so each goes back to its own function.
static BOOL WINAPI stubOpenDialog(OPENFILENAMEA* dialog) {
    return stubFileDialog(dialog);
}
static BOOL WINAPI stubSaveDialog(OPENFILENAMEA* dialog) {
    return stubFileDialog(dialog);
}
static const std::pair<const char*, void*> kStubs[] = {
    {"GetOpenFileNameA", reinterpret_cast<void*>(&stubOpenDialog)},
    {"GetSaveFileNameA", reinterpret_cast<void*>(&stubSaveDialog)}};

// Every entry of the program's import address table that holds `from` is pointed at `to`.
static bool redirectImports(void* from, void* to) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt =
        reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    bool found = false;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); thunk->u1.Function;
             ++thunk) {
            if (reinterpret_cast<void*>(thunk->u1.Function) != from) continue;
            DWORD protection = 0;
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), PAGE_READWRITE, &protection);
            thunk->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), protection, &protection);
            found = true;
        }
    }
    return found;
}

static void* realDialog(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("comdlg32.dll"), name));
}

FileDialogStub::FileDialogStub(std::vector<std::string> paths) : installed_(true) {
    s_stubPaths.assign(paths.begin(), paths.end());
    s_stubCalls = 0;
    for (const auto& stub : kStubs) installed_ &= redirectImports(realDialog(stub.first), stub.second);
}

FileDialogStub::~FileDialogStub() {
    for (const auto& stub : kStubs) redirectImports(stub.second, realDialog(stub.first));
}

void FileDialogStub::add(const std::string& path) {
    s_stubPaths.push_back(path);
}
int FileDialogStub::calls() const {
    return s_stubCalls;
}

static int s_boxAnswer = IDOK;
static std::vector<std::string> s_boxes;

static int WINAPI stubMessageBox(HWND, const char* text, const char* caption, UINT) {
    s_boxes.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
    return s_boxAnswer;
}

static void* realMessageBox() {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxA"));
}

MessageBoxStub::MessageBoxStub(int answer) {
    s_boxAnswer = answer;
    s_boxes.clear();
    redirectImports(realMessageBox(), reinterpret_cast<void*>(&stubMessageBox));
}

MessageBoxStub::~MessageBoxStub() {
    redirectImports(reinterpret_cast<void*>(&stubMessageBox), realMessageBox());
}
const std::vector<std::string>& MessageBoxStub::shown() const {
    return s_boxes;
}
