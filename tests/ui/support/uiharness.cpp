#include "ui/support/uiharness.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/gdiplusflat.h"
#include "app/globals.h"
#include "app/startup.h"
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

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    char name[16] = {};
    if (code == HCBT_ACTIVATE && s_answerer && GetClassNameA(window, name, sizeof(name)) && !strcmp(name, "#32770"))
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

void resetSharedState() {
    GifAnimation& d = g_document;
    d.frames.clear();
    d.pendingComments.clear();
    d.pendingControl = GraphicControl();
    d.screenWidth = d.screenHeight = d.loopCount = 1;
    d.autoScreenSize = d.loopForever = d.hasGlobalTable = false;
    d.backgroundIndex = 0;
    d.globalTable = ColorTable();
    g_documentPath.clear();
    g_chosenPath.clear();
    g_modified = false;
    g_mainWindow = g_toolbar = g_statusBar = g_frameList = g_propertyTabs = g_composeTabs = nullptr;
    g_globalPanel = g_imagePanel = g_commentPanel = g_commentList = g_animationView = nullptr;
    g_frameListBaseProc = nullptr;
    g_scrollX = g_scrollY = g_scrollMaxX = g_scrollMaxY = g_viewClientWidth = g_viewClientHeight = 0;
}

const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

}  // namespace

AppSession::AppSession() {
    resetSharedState();
    started_ = startApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    pumpMessages(100);
}

AppSession::~AppSession() {
    // Leave without a question: the closing step WM_DESTROY runs then only posts WM_QUIT.
    g_modified = false;
    if (g_mainWindow && IsWindow(g_mainWindow)) DestroyWindow(g_mainWindow);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageA(&message);
    shutDownApplication();
    if (g_toolbarImages) ImageList_Destroy(g_toolbarImages);
    g_toolbarImages = nullptr;
    resetSharedState();
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
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(20, timeoutMilliseconds - elapsed), QS_ALLINPUT);
    }
}

void pumpMessages(DWORD milliseconds) { pumpUntil(nullptr, milliseconds); }

int runMessageLoopFor(DWORD milliseconds) {
    s_loopSoftDeadline = GetTickCount() + milliseconds;
    s_loopHardDeadline = GetTickCount() + std::max(milliseconds, kLoopHardLimitMs);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, watchdogTimer);
    const int exitCode = runMessageLoop();
    KillTimer(nullptr, timer);
    return exitCode;
}

bool takeQuitMessage(int* exitCode) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    if (exitCode) *exitCode = int(message.wParam);
    return true;
}

DialogAnswerer::DialogAnswerer() {
    s_answerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    if (hook_) UnhookWindowsHookEx(hook_);
    s_answerer = nullptr;
}

void DialogAnswerer::expect(const std::string& caption, Answer answer) { pending_.push_back({caption, std::move(answer)}); }

void DialogAnswerer::onActivate(HWND dialog) {
    // The main window is a dialog too and comes back to the front whenever a modal one closes.
    if (dialog == g_mainWindow || std::find(handled_.begin(), handled_.end(), dialog) != handled_.end()) return;
    handled_.push_back(dialog);
    SetTimer(dialog, kAnswerTimerId, kAnswerDelayMs, answerTimer);
    SetTimer(dialog, kGiveUpTimerId, kGiveUpDelayMs, giveUpTimer);
}

void DialogAnswerer::onDestroy(HWND window) { handled_.erase(std::remove(handled_.begin(), handled_.end(), window), handled_.end()); }

void DialogAnswerer::onAnswerTimer(HWND dialog) {
    const std::string caption = windowText(dialog);
    seen_.push_back(caption);
    if (pending_.empty() || pending_.front().caption != caption) {
        unexpected_.push_back(caption);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    char text[512] = {};
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

namespace {

// A top-down 32-bit memory bitmap of the given size, handed to `draw`, then read back.
Capture drawInto(int width, int height, const std::function<void(HDC, uint32_t*)>& draw) {
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

}  // namespace

Capture captureWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    if (rect.right <= rect.left || rect.bottom <= rect.top) return Capture();
    return drawInto(rect.right - rect.left, rect.bottom - rect.top, [&](HDC dc, uint32_t*) {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
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
    std::string path = testOutputPath(fileName);
    std::replace(path.begin(), path.end(), '/', '\\');
    const std::wstring widePath(path.begin(), path.end());
    // Its own GDI+ session, so a screenshot works whether or not the application is running.
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return std::string();
    std::vector<uint32_t> pixels(capture.pixels);
    Gdiplus::GpBitmap* bitmap = nullptr;
    bool saved = false;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(capture.width, capture.height, capture.width * 4,
                                                       PixelFormat32bppRGB, reinterpret_cast<BYTE*>(pixels.data()),
                                                       &bitmap) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, widePath.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
    }
    Gdiplus::GdiplusShutdown(token);
    return saved ? path : std::string();
}

std::string saveWindowScreenshot(HWND window, const std::string& fileName) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages(300);
    return savePng(captureWindow(window), fileName);
}
