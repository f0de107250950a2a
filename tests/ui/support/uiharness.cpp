#include "ui/support/uiharness.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "app/gdiplusflat.h"
#include "app/globals.h"
#include "app/startup.h"
#include "support/testpaths.h"

namespace {

constexpr UINT_PTR kAnswerTimerId = 0x7E51;
constexpr UINT_PTR kGiveUpTimerId = 0x7E52;
constexpr UINT kAnswerDelayMs = 150;
constexpr UINT kGiveUpDelayMs = 5000;
// The file-name box of the explorer-style open and save dialogs.
constexpr int kFileNameControl = 0x47C;
// The text of a message box.
constexpr int kMessageTextControl = 0xFFFF;

DialogAnswerer* s_answerer = nullptr;

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && s_answerer) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (className(window) == "#32770") s_answerer->onActivate(window);
    }
    // Wine gives a closed window's handle to the next window it makes: forget it on the way out,
    // so a second dialog with the same handle is answered too.
    if (code == HCBT_DESTROYWND && s_answerer) s_answerer->onDestroy(reinterpret_cast<HWND>(wParam));
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

// A dialog still waiting for its armed answer (Wine's file dialogs take a while to come up)
// extends the loop's time, up to a hard limit.
constexpr DWORD kLoopHardLimitMs = 20000;
DWORD s_loopSoftDeadline = 0;
DWORD s_loopHardDeadline = 0;

void CALLBACK watchdogTimer(HWND, UINT, UINT_PTR, DWORD) {
    const DWORD now = GetTickCount();
    const bool waitingForDialog = s_answerer && !s_answerer->allAnswered();
    if (int(now - s_loopHardDeadline) >= 0 || (int(now - s_loopSoftDeadline) >= 0 && !waitingForDialog)) {
        PostQuitMessage(kStillRunning);
    }
}

void resetSharedState() {
    g_document.frames.clear();
    g_document.pendingComments.clear();
    g_document.pendingControl = GraphicControl();
    g_document.screenWidth = 1;
    g_document.screenHeight = 1;
    g_document.autoScreenSize = false;
    g_document.backgroundIndex = 0;
    g_document.loopCount = 1;
    g_document.loopForever = false;
    g_document.hasGlobalTable = false;
    g_document.globalTable = ColorTable();
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

// ---- Session ---------------------------------------------------------------------------------

AppSession::AppSession() {
    resetSharedState();
    started_ = startApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    pumpMessages(100);
}

AppSession::~AppSession() {
    // Leave without a question: the closing step that WM_DESTROY runs then only posts WM_QUIT.
    g_modified = false;
    if (g_mainWindow && IsWindow(g_mainWindow)) DestroyWindow(g_mainWindow);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) DispatchMessageA(&message);
    }
    shutDownApplication();
    if (g_toolbarImages) {
        ImageList_Destroy(g_toolbarImages);
        g_toolbarImages = nullptr;
    }
    resetSharedState();
}

// ---- Message pumping ---------------------------------------------------------------------------

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Keep it for whoever runs the loop next.
                PostQuitMessage(int(message.wParam));
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

// ---- Dialog answers ----------------------------------------------------------------------------

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
    // The main window is a dialog too; it comes back to the front whenever a modal one closes.
    if (dialog == g_mainWindow) return;
    if (std::find(handled_.begin(), handled_.end(), dialog) != handled_.end()) return;
    handled_.push_back(dialog);
    SetTimer(dialog, kAnswerTimerId, kAnswerDelayMs, answerTimer);
    SetTimer(dialog, kGiveUpTimerId, kGiveUpDelayMs, giveUpTimer);
}

void DialogAnswerer::onDestroy(HWND window) {
    handled_.erase(std::remove(handled_.begin(), handled_.end(), window), handled_.end());
}

void DialogAnswerer::onAnswerTimer(HWND dialog) {
    const std::string caption = windowText(dialog);
    seen_.push_back(caption);
    if (!pending_.empty() && pending_.front().caption == caption) {
        char text[512] = {};
        if (GetDlgItemTextA(dialog, kMessageTextControl, text, sizeof(text)) > 0) lastMessageText_ = text;
        Answer answer = std::move(pending_.front().answer);
        pending_.erase(pending_.begin());
        answer(dialog);
    } else {
        unexpected_.push_back(caption);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
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

// ---- Pixels ------------------------------------------------------------------------------------

namespace {

struct DibCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;

    DibCanvas(int width, int height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        void* memory = nullptr;
        bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        ReleaseDC(nullptr, screen);
        bits = static_cast<uint32_t*>(memory);
        previous = SelectObject(dc, bitmap);
    }
    ~DibCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Capture take(int width, int height) const {
        GdiFlush();
        Capture capture;
        capture.width = width;
        capture.height = height;
        capture.pixels.resize(size_t(width) * size_t(height));
        for (size_t i = 0; i < capture.pixels.size(); ++i) capture.pixels[i] = bits[i] & 0xFFFFFFu;
        return capture;
    }
};

}  // namespace

Capture captureWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return Capture();
    DibCanvas canvas(width, height);
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
    return canvas.take(width, height);
}

Capture captureDrawing(int width, int height, uint32_t background, const std::function<void(HDC)>& paint) {
    DibCanvas canvas(width, height);
    std::fill(canvas.bits, canvas.bits + size_t(width) * size_t(height), background);
    paint(canvas.dc);
    return canvas.take(width, height);
}

std::string savePng(const Capture& capture, const std::string& fileName) {
    if (capture.width <= 0 || capture.height <= 0) return std::string();
    std::string path = testOutputPath(fileName);
    std::replace(path.begin(), path.end(), '/', '\\');
    std::wstring widePath(path.begin(), path.end());

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
