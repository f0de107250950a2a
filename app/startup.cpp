#include "app/startup.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <windowsx.h>

#include <string>

#include "app/application.h"
#include "app/editorviews.h"
#include "app/framelist.h"
#include "app/layout.h"
#include "app/mainwindow.h"
#include "app/playback.h"
#include "app/settings.h"
#include "app/toolbar.h"
#include "resource.h"
#include "ui/animationview.h"
#include "ui/commentpanel.h"
#include "ui/globalpanel.h"
#include "ui/imagepanel.h"
#include "win32/gdiplus_win.h"

namespace {

constexpr int kTextBufferSize = 100;
constexpr int kTabTextSize = 16;
// The view's size until the first layout places it.
constexpr int kInitialViewSide = 200;
// Panels wait here, visible but outside the window, until the layout moves one onto the tab.
constexpr int kParkedPosition = -1000;

void startGdiplusAndOle(Application& app) {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
    Gdiplus::GdiplusStartup(&app.gdiplusToken, &input, nullptr);
    app.oleStarted = SUCCEEDED(OleInitialize(nullptr));
}

// The main window comes from a dialog template that names no class, so this class is never
// used to create it; it is registered all the same, with the program's icons.
void registerWindowClass(HINSTANCE instance, const char* className) {
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
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
}

void insertTab(Application& app, HWND tabs, int position, UINT stringId) {
    char text[kTabTextSize] = {};
    LoadStringA(app.instance, stringId, text, kTabTextSize);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    SendMessageA(tabs, TCM_INSERTITEMA, WPARAM(position), reinterpret_cast<LPARAM>(&item));
}

void createTabs(Application& app) {
    app.propertyTabs = GetDlgItem(app.window, IDC_PROPERTY_TABS);
    app.composeTabs = GetDlgItem(app.window, IDC_COMPOSE_TABS);
    insertTab(app, app.propertyTabs, 0, IDS_TAB_GLOBAL);
    insertTab(app, app.propertyTabs, 1, IDS_TAB_IMAGE);
    insertTab(app, app.propertyTabs, 2, IDS_TAB_COMMENT);
    // Position 2 in an empty tab control: it becomes the only tab.
    insertTab(app, app.composeTabs, 2, IDS_TAB_COMPOSE);
}

void createAnimationView(Application& app) {
    app.canvas.editor = &app.editor;
    app.canvas.zoomShown = [&app](int percent) {
        const std::string text = "Zoom " + std::to_string(percent) + " %";
        SendMessageA(app.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    };
    app.canvas.zoomShown(app.canvas.zoom);
    app.canvas.composedPicture = [&app] { return composedPicture(app); };
    app.animationView = CreateDialogParamA(app.instance, MAKEINTRESOURCEA(IDD_ANIMATION_VIEW), app.window,
                                           animationViewProc, reinterpret_cast<LPARAM>(&app.canvas));
    SetWindowPos(app.animationView, nullptr, 0, 0, kInitialViewSide, kInitialViewSide, SWP_SHOWWINDOW);
}

HWND createParkedPanel(Application& app, int templateId, DLGPROC procedure, WindowContext& context) {
    context.editor = &app.editor;
    context.owner = app.window;
    context.commitTyping = [&app] { commitTypedValues(app); };
    HWND panel = CreateDialogParamA(app.instance, MAKEINTRESOURCEA(templateId), app.window, procedure,
                                    reinterpret_cast<LPARAM>(&context));
    SetWindowPos(panel, nullptr, kParkedPosition, kParkedPosition, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return panel;
}

void createPanels(Application& app) {
    app.globalPanel = createParkedPanel(app, IDD_GLOBAL_PANEL, globalPanelProc, app.globalPanelContext);
    app.imagePanel = createParkedPanel(app, IDD_IMAGE_PANEL, imagePanelProc, app.imagePanelContext);
    app.commentPanel = createParkedPanel(app, IDD_COMMENT_PANEL, commentPanelProc, app.commentPanelContext);
}

}  // namespace

bool startApplication(Application& app, HINSTANCE instance, int showCommand) {
    startGdiplusAndOle(app);
    // The class keeps a pointer to its name for as long as the program runs.
    static char className[kTextBufferSize];
    LoadStringA(instance, IDS_WINDOW_CLASS, className, kTextBufferSize);
    registerWindowClass(instance, className);

    app.instance = instance;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    app.window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, mainWindowProc,
                                    reinterpret_cast<LPARAM>(&app));
    if (!app.window) return false;

    createToolbar(app);
    createStatusBar(app);
    createTabs(app);
    installFrameListSubclass(app);
    createAnimationView(app);

    ShowWindow(app.window, showCommand);
    UpdateWindow(app.window);

    createPanels(app);
    if (!loadSettings(app)) sizeMainWindowToFit(app);
    DragAcceptFiles(app.window, TRUE);
    layoutMainWindow(app, nullptr);

    app.editor.setObserver([&app](const EditNotice& notice) {
        onDocumentEdited(app);
        showEditorState(app, notice);
    });
    showEditorState(app, EditNotice{true});
    app.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    return true;
}

// The main window is a dialog whose panels are dialogs inside it, so the dialog manager gives Tab,
// Shift+Tab and Enter their usual meaning across the frame list and the panel in front.
int runMessageLoop(Application& app) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The wheel goes to the window with the keyboard; with Ctrl over the canvas it zooms there.
        if (message.message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(message.wParam) & MK_CONTROL) &&
            WindowFromPoint({GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)}) ==
                app.animationView)
            message.hwnd = app.animationView;
        if (!keyBelongsToFocus(message) && TranslateAcceleratorA(app.window, app.accelerators, &message))
            continue;
        if (IsDialogMessageA(app.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}

void shutDownApplication(Application& app) {
    app.editor.setObserver(nullptr);
    app.editor.startNew();
    if (app.toolbarImages) {
        ImageList_Destroy(app.toolbarImages);
        app.toolbarImages = nullptr;
    }
    if (app.gdiplusToken) {
        Gdiplus::GdiplusShutdown(app.gdiplusToken);
        app.gdiplusToken = 0;
    }
    if (app.oleStarted) {
        OleUninitialize();
        app.oleStarted = false;
    }
}
