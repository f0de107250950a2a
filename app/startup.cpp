#include "app/startup.h"

#include <ole2.h>

#include <cstdint>

// The flat GDI+ start-up API, declared here so no C++ GDI+ header is needed.
struct GdiplusStartupInputFlat {
    UINT32 version = 1;
    void* debugCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};
extern "C" int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInputFlat* input, void* output);
extern "C" void WINAPI GdiplusShutdown(ULONG_PTR token);

static ULONG_PTR g_gdiplusToken = 0;

bool startApplication(HINSTANCE, int) {
    GdiplusStartupInputFlat input;
    if (GdiplusStartup(&g_gdiplusToken, &input, nullptr) != 0) return false;
    if (FAILED(OleInitialize(nullptr))) return false;
    return true;
}

int runMessageLoop() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return int(message.wParam);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

void shutDownApplication() {
    GdiplusShutdown(g_gdiplusToken);
    OleUninitialize();
}
