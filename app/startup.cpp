#include "app/startup.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/editorviews.h"
#include "app/framelist.h"
#include "win32/gdiplus_win.h"
#include "app/globals.h"
#include "app/layout.h"
#include "app/mainwindow.h"
#include "app/toolbar.h"
#include "ui/animationview.h"
#include "ui/commentpanel.h"
#include "ui/globalpanel.h"
#include "ui/imagepanel.h"
#include "resource.h"

namespace {

constexpr int kTextBufferSize = 100;
constexpr int kTabTextSize = 16;
// The view's size until the first layout places it.
constexpr int kInitialViewSide = 200;
// Panels wait here, visible but outside the window, until the layout moves one onto the tab.
constexpr int kParkedPosition = -1000;

ULONG_PTR g_gdiplusToken = 0;
bool g_oleStarted = false;
HACCEL g_accelerators = nullptr;
char g_titleText[kTextBufferSize];
char g_classNameText[kTextBufferSize];

void startGdiplusAndOle() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
    Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr);
    g_oleStarted = SUCCEEDED(OleInitialize(nullptr));
}

// The main window comes from a dialog template that names no class, so this class is never
// used to create it; it is registered all the same, with the program's icons.
void registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(mainWindowProc);
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_SMALL));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_CLASS_MENU);
    windowClass.lpszClassName = g_classNameText;
    RegisterClassExA(&windowClass);
}

void insertTab(HWND tabs, int position, UINT stringId) {
    char text[kTabTextSize] = {};
    LoadStringA(g_instance, stringId, text, kTabTextSize);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    SendMessageA(tabs, TCM_INSERTITEMA, WPARAM(position), reinterpret_cast<LPARAM>(&item));
}

void createTabs() {
    g_propertyTabs = GetDlgItem(g_mainWindow, IDC_PROPERTY_TABS);
    g_composeTabs = GetDlgItem(g_mainWindow, IDC_COMPOSE_TABS);
    insertTab(g_propertyTabs, 0, IDS_TAB_GLOBAL);
    insertTab(g_propertyTabs, 1, IDS_TAB_IMAGE);
    insertTab(g_propertyTabs, 2, IDS_TAB_COMMENT);
    // Position 2 in an empty tab control: it becomes the only tab.
    insertTab(g_composeTabs, 2, IDS_TAB_COMPOSE);
}

void createAnimationView() {
    g_animationView = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_ANIMATION_VIEW), g_mainWindow,
                                         animationViewProc, 0);
    SetWindowPos(g_animationView, nullptr, 0, 0, kInitialViewSide, kInitialViewSide, SWP_SHOWWINDOW);
}

HWND createParkedPanel(int templateId, DLGPROC procedure) {
    HWND panel = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(templateId), g_mainWindow, procedure, 0);
    SetWindowPos(panel, nullptr, kParkedPosition, kParkedPosition, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return panel;
}

void createPanels() {
    g_globalPanel = createParkedPanel(IDD_GLOBAL_PANEL, globalPanelProc);
    g_imagePanel = createParkedPanel(IDD_IMAGE_PANEL, imagePanelProc);
    g_commentPanel = createParkedPanel(IDD_COMMENT_PANEL, commentPanelProc);
}

}  // namespace

bool startApplication(HINSTANCE instance, int showCommand) {
    startGdiplusAndOle();
    LoadStringA(instance, IDS_APP_TITLE, g_titleText, kTextBufferSize);
    LoadStringA(instance, IDS_WINDOW_CLASS, g_classNameText, kTextBufferSize);
    registerWindowClass(instance);

    g_instance = instance;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    g_mainWindow = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, mainWindowProc, 0);
    if (!g_mainWindow) return false;

    createToolbar();
    createStatusBar();
    createTabs();
    installFrameListSubclass();
    createAnimationView();

    ShowWindow(g_mainWindow, showCommand);
    UpdateWindow(g_mainWindow);

    createPanels();
    layoutMainWindow(nullptr);

    g_editor.setObserver(showEditorState);
    showEditorState(EditNotice{true});
    g_accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    return true;
}

// The main window is a dialog whose panels are dialogs inside it, so the dialog manager gives Tab,
// Shift+Tab and Enter their usual meaning across the frame list and the panel in front.
int runMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(g_mainWindow, g_accelerators, &message)) continue;
        if (IsDialogMessageA(g_mainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}

void shutDownApplication() {
    g_editor.setObserver(nullptr);
    g_editor.startNew();
    if (g_gdiplusToken) {
        Gdiplus::GdiplusShutdown(g_gdiplusToken);
        g_gdiplusToken = 0;
    }
    if (g_oleStarted) {
        OleUninitialize();
        g_oleStarted = false;
    }
}
