#include "app/toolbar.h"

#include "app/application.h"
#include "resource.h"

namespace {

constexpr int kImageSide = 28;
constexpr int kImageCount = 16;
constexpr COLORREF kMaskColor = RGB(255, 0, 255);
// A label buffer of 10 characters: a label shows at most 9, the tooltip the whole string.
constexpr int kLabelBufferSize = 10;

// Image list order: button i's picture is at the index the button table names.
constexpr int kToolbarBitmaps[kImageCount] = {
    IDB_TB_NEW,       IDB_TB_OPEN,  IDB_TB_SAVE,   IDB_TB_OPTIMIZE,  IDB_TB_UNDO,    IDB_TB_REDO,
    IDB_TB_ADD_EMPTY, IDB_TB_ADD,   IDB_TB_DELETE, IDB_TB_MOVE_DOWN, IDB_TB_MOVE_UP, IDB_TB_ANIMATE,
    IDB_TB_LOOP,      IDB_TB_DELAY, IDB_TB_HELP,   IDB_TB_PLAY,
};

struct ButtonRow {
    int image;  // image index, or the width in pixels for a separator
    int command;
    bool separator;
    UINT label;  // string id, 0 for separators
};

constexpr ButtonRow kButtons[] = {
    {0, IDT_NEW, false, IDS_TB_NEW},
    {1, IDT_OPEN, false, IDS_TB_OPEN},
    {2, IDT_SAVE, false, IDS_TB_SAVE},
    {3, IDT_OPTIMIZE, false, IDS_TB_OPTIMIZE},
    {4, IDT_UNDO, true, 0},
    {4, IDT_UNDO, false, IDS_TB_UNDO},
    {5, IDT_REDO, false, IDS_TB_REDO},
    {4, IDT_UNDO, true, 0},
    {6, IDT_ADD_EMPTY, false, IDS_TB_ADD_EMPTY},
    {7, IDT_ADD, false, IDS_TB_ADD},
    {8, IDT_DELETE, false, IDS_TB_DELETE},
    {9, IDT_MOVE_DOWN, false, IDS_TB_MOVE_DOWN},
    {10, IDT_MOVE_UP, false, IDS_TB_MOVE_UP},
    {11, IDT_ANIMATE, true, 0},
    {15, IDT_PLAY, false, IDS_TB_PLAY},
    {11, IDT_ANIMATE, false, IDS_TB_ANIMATE},
    {12, IDT_LOOP, false, IDS_TB_LOOP},
    {13, IDT_DELAY, false, IDS_TB_DELAY},
    {11, IDT_ANIMATE, true, 0},
    {14, IDT_HELP, false, IDS_TB_HELP},
};
constexpr int kButtonCount = int(sizeof(kButtons) / sizeof(kButtons[0]));

// Each label is read into its own 10-character buffer.
char s_labels[kButtonCount][kLabelBufferSize];

void buildImageList(Application& app) {
    app.toolbarImages = ImageList_Create(kImageSide, kImageSide, ILC_COLOR32 | ILC_MASK, kImageCount, 0);
    for (int bitmapId : kToolbarBitmaps) {
        HBITMAP bitmap = LoadBitmapA(app.instance, MAKEINTRESOURCEA(bitmapId));
        ImageList_AddMasked(app.toolbarImages, bitmap, kMaskColor);
        DeleteObject(bitmap);
    }
}

void addButtons(Application& app) {
    TBBUTTON buttons[kButtonCount] = {};
    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonRow& row = kButtons[i];
        buttons[i].iBitmap = row.image;
        buttons[i].idCommand = row.command;
        buttons[i].fsState = BYTE(TBSTATE_ENABLED);
        buttons[i].fsStyle = BYTE(row.separator ? BTNS_SEP : BTNS_BUTTON);
        if (!row.separator) {
            LoadStringA(app.instance, row.label, s_labels[i], kLabelBufferSize);
            buttons[i].iString = reinterpret_cast<INT_PTR>(s_labels[i]);
        }
    }
    SendMessageA(app.toolbar, TB_ADDBUTTONSA, kButtonCount, reinterpret_cast<LPARAM>(buttons));
}

}  // namespace

void createToolbar(Application& app) {
    app.toolbar =
        CreateWindowExA(WS_EX_STATICEDGE, TOOLBARCLASSNAMEA, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, 0, 0, 0, 0,
                        app.window, reinterpret_cast<HMENU>(IDC_TOOLBAR), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(app.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    buildImageList(app);
    SendMessageA(app.toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(app.toolbarImages));
    addButtons(app);
}

void createStatusBar(Application& app) {
    // One part: the canvas shows its zoom there, Optimize its sizes.
    app.statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                                    0, 0, 0, app.window, reinterpret_cast<HMENU>(IDC_STATUSBAR),
                                    GetModuleHandleA(nullptr), nullptr);
}

UINT toolbarTooltipString(UINT_PTR buttonId) {
    switch (buttonId) {
        case IDT_NEW:
            return IDS_TB_NEW;
        case IDT_OPEN:
            return IDS_TB_OPEN;
        case IDT_SAVE:
            return IDS_TB_SAVE;
        case IDT_OPTIMIZE:
            return IDS_TB_OPTIMIZE;
        case IDT_UNDO:
            return IDS_TB_UNDO;
        case IDT_REDO:
            return IDS_TB_REDO;
        case IDT_ADD_EMPTY:
            return IDS_TB_ADD_EMPTY;
        case IDT_ADD:
            return IDS_TB_ADD;
        case IDT_DELETE:
            return IDS_TB_DELETE;
        case IDT_MOVE_DOWN:
            return IDS_TB_MOVE_DOWN;
        case IDT_MOVE_UP:
            return IDS_TB_MOVE_UP;
        case IDT_ANIMATE:
            return IDS_TB_ANIMATE;
        case IDT_LOOP:
            return IDS_TB_LOOP;
        case IDT_DELAY:
            return IDS_TB_DELAY;
        case IDT_HELP:
            return IDS_TB_HELP;
        case IDT_PLAY:
            return IDS_TB_PLAY;
        default:
            return 0;
    }
}

void onToolbarTooltip(Application& app, NMTTDISPINFOA* info) {
    info->hinst = app.instance;
    // A resource id in lpszText: the tooltip loads the string from hinst itself.
    if (const UINT stringId = toolbarTooltipString(info->hdr.idFrom))
        info->lpszText = MAKEINTRESOURCEA(stringId);
}
