// "Edit Palette": the window procedure, one function per command, and the opener.
#include "ui/paletteeditor.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <commdlg.h>

#include "ui/colorchooser.h"
#include "ui/palettedialogs.h"
#include "palette/palettefile.h"
#include "resource.h"

PaletteEditModel* g_paletteModel = nullptr;
const IndexedBitmap* g_paletteFrameBitmap = nullptr;

namespace {

constexpr UINT kMaxChannel = 255;
constexpr size_t kPathBufferSize = 260;

// One editor exists at a time.
struct EditorState {
    uint32_t selected = 0;
    // Set while the program writes the Index, R, G, B fields, so their EN_CHANGE is ignored.
    bool updatingFields = false;
    HWND statusBar = nullptr;
    HWND tooltip = nullptr;
    HICON icons[11] = {};
    int iconCount = 0;
};
EditorState s_editor;

struct ToolButton {
    int id;
    int icon;
    int tip;
};

// In the order the icons are loaded.
const ToolButton kToolButtons[] = {
    {IDC_PALETTE_GRADIENT, IDI_PALETTE_GRADIENT, IDS_PALETTE_GRADIENT},
    {IDC_PALETTE_DELETE_DUPLICATES, IDI_PALETTE_DELETE_DUPLICATES, IDS_PALETTE_DELETE_DUPLICATES},
    {IDC_PALETTE_ADD, IDI_PALETTE_ADD, IDS_PALETTE_ADD},
    {IDC_PALETTE_REMOVE, IDI_PALETTE_REMOVE, IDS_PALETTE_REMOVE},
    {IDC_PALETTE_REPLACE, IDI_PALETTE_REPLACE, IDS_PALETTE_REPLACE},
    {IDC_PALETTE_MOVE_LEFT, IDI_PALETTE_MOVE_LEFT, IDS_PALETTE_MOVE_LEFT},
    {IDC_PALETTE_MOVE_RIGHT, IDI_PALETTE_MOVE_RIGHT, IDS_PALETTE_MOVE_RIGHT},
    {IDC_PALETTE_SORT, IDI_PALETTE_SORT, IDS_PALETTE_SORT},
    {IDC_PALETTE_DELETE_UNUSED, IDI_PALETTE_DELETE_UNUSED, IDS_PALETTE_DELETE_UNUSED},
    {IDC_PALETTE_READ, IDI_PALETTE_READ, IDS_PALETTE_READ},
    {IDC_PALETTE_WRITE, IDI_PALETTE_WRITE, IDS_PALETTE_WRITE},
};

HINSTANCE resourceModule() {
    return GetModuleHandleA(nullptr);
}

uint32_t entryCount() {
    return g_paletteModel ? g_paletteModel->size() : 0;
}

bool hasSelection() {
    return s_editor.selected < entryCount();
}

void redrawAll(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void redrawCell(HWND dialog, uint32_t index) {
    const RECT area = paletteCellRedrawArea(index);
    RedrawWindow(dialog, &area, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void writeField(HWND dialog, int id, UINT value) {
    const bool was = s_editor.updatingFields;
    s_editor.updatingFields = true;
    SetDlgItemInt(dialog, id, value, FALSE);
    s_editor.updatingFields = was;
}

void showSelectedColor(HWND dialog) {
    if (!hasSelection()) return;
    const RgbColor color = g_paletteModel->editEntries[s_editor.selected].color;
    writeField(dialog, IDC_PALETTE_RED, color.red);
    writeField(dialog, IDC_PALETTE_GREEN, color.green);
    writeField(dialog, IDC_PALETTE_BLUE, color.blue);
}

void showSelection(HWND dialog) {
    if (!hasSelection()) return;
    writeField(dialog, IDC_PALETTE_INDEX, s_editor.selected);
    showSelectedColor(dialog);
}

// After any change of the palette's size or order: the selection stays on an existing entry,
// and the fields, the count caption, the index arrows and Add follow the palette.
void refreshAfterChange(HWND dialog) {
    const uint32_t count = entryCount();
    if (count > 0 && s_editor.selected >= count) s_editor.selected = count - 1;
    SetDlgItemInt(dialog, IDC_PALETTE_COUNT, count, FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_PALETTE_ADD), count < kMaxPaletteEntries);
    s_editor.updatingFields = true;
    SendDlgItemMessageA(dialog, IDC_PALETTE_INDEX_SPIN, UDM_SETRANGE32, 0, count > 0 ? count - 1 : 0);
    s_editor.updatingFields = false;
    showSelection(dialog);
    redrawAll(dialog);
}

// ---- Start and end ---------------------------------------------------------------------------

void createTooltips(HWND dialog) {
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, resourceModule(), nullptr);
    s_editor.tooltip = tooltip;
    if (!tooltip) return;
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (const ToolButton& button : kToolButtons) {
        TTTOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, button.id));
        tool.hinst = resourceModule();
        tool.lpszText = MAKEINTRESOURCEA(button.tip);
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void loadIcons(HWND dialog) {
    s_editor.iconCount = 0;
    for (const ToolButton& button : kToolButtons) {
        HICON icon = static_cast<HICON>(
            LoadImageA(resourceModule(), MAKEINTRESOURCEA(button.icon), IMAGE_ICON, 16, 16, 0));
        s_editor.icons[s_editor.iconCount++] = icon;
        SendDlgItemMessageA(dialog, button.id, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
}

void onInitDialog(HWND dialog) {
    s_editor = EditorState();
    createTooltips(dialog);
    s_editor.statusBar =
        CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, dialog,
                        reinterpret_cast<HMENU>(IDC_PALETTE_STATUSBAR), resourceModule(), nullptr);
    loadIcons(dialog);
    s_editor.updatingFields = true;
    for (int spin : {IDC_PALETTE_RED_SPIN, IDC_PALETTE_GREEN_SPIN, IDC_PALETTE_BLUE_SPIN}) {
        SendDlgItemMessageA(dialog, spin, UDM_SETRANGE32, 0, kMaxChannel);
    }
    s_editor.updatingFields = false;
    s_editor.selected = 0;
    // Also sets the count caption, Add, the index range and shows entry 0 in the fields.
    refreshAfterChange(dialog);
}

void onDestroy() {
    if (s_editor.tooltip) DestroyWindow(s_editor.tooltip);
    if (s_editor.statusBar) DestroyWindow(s_editor.statusBar);
    while (s_editor.iconCount > 0) {
        HICON icon = s_editor.icons[--s_editor.iconCount];
        if (icon) DestroyIcon(icon);
    }
    s_editor = EditorState();
}

// ---- Mouse -----------------------------------------------------------------------------------

// The entry under the point, or -1 when there is none.
int entryAt(LPARAM lParam) {
    const int cell = paletteCellAt(short(LOWORD(lParam)), short(HIWORD(lParam)));
    return cell >= 0 && uint32_t(cell) < entryCount() ? cell : -1;
}

void onMouseMove(LPARAM lParam) {
    if (!g_paletteModel) return;
    const int index = entryAt(lParam);
    const std::string text =
        index >= 0 ? describePaletteEntry(g_paletteModel->editEntries[size_t(index)], uint32_t(index))
                   : std::string();
    SendMessageA(s_editor.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void select(HWND dialog, uint32_t index) {
    const RECT oldArea = paletteCellRedrawArea(s_editor.selected);
    const RECT newArea = paletteCellRedrawArea(index);
    HRGN region = CreateRectRgnIndirect(&oldArea);
    HRGN added = CreateRectRgnIndirect(&newArea);
    CombineRgn(region, region, added, RGN_OR);
    RedrawWindow(dialog, nullptr, region, RDW_INVALIDATE | RDW_ERASE);
    DeleteObject(added);
    DeleteObject(region);
    s_editor.selected = index;
    showSelection(dialog);
}

void onLeftButton(HWND dialog, LPARAM lParam, bool doubleClick) {
    if (!g_paletteModel) return;
    const int index = entryAt(lParam);
    if (index < 0) return;
    select(dialog, uint32_t(index));
    if (doubleClick) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PALETTE_REPLACE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PALETTE_REPLACE)));
    }
}

// ---- Tool buttons ----------------------------------------------------------------------------

void onAdd(HWND dialog) {
    if (g_paletteModel->appendEntry()) refreshAfterChange(dialog);
}

void onRemove(HWND dialog) {
    if (entryCount() <= 2 || !hasSelection()) return;
    g_paletteModel->removeEntry(s_editor.selected);
    refreshAfterChange(dialog);
}

void onReplace(HWND dialog) {
    if (!hasSelection()) return;
    COLORREF color = g_paletteModel->editEntries[s_editor.selected].color.toColorRef();
    if (!chooseColor(dialog, color)) return;
    g_paletteModel->setColor(s_editor.selected,
                             RgbColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    showSelectedColor(dialog);
    redrawCell(dialog, s_editor.selected);
}

void onMove(HWND dialog, bool left) {
    if (!hasSelection()) return;
    const uint32_t from = s_editor.selected;
    if (left ? from == 0 : from + 1 >= entryCount()) return;
    const uint32_t to = left ? from - 1 : from + 1;
    g_paletteModel->swapEntries(from, to);
    s_editor.selected = to;
    refreshAfterChange(dialog);
}

void onSort(HWND dialog) {
    const int key = runSortDialog(dialog);
    if (key < 0 || !g_paletteModel) return;
    g_paletteModel->sortEntries(uint32_t(key));
    refreshAfterChange(dialog);
}

bool anyEntryUsed() {
    for (const PaletteEditEntry& entry : g_paletteModel->editEntries) {
        if (entry.useCount != 0) return true;
    }
    return false;
}

void onDeleteUnused(HWND dialog) {
    // A frame whose pixels all lie beyond its table counts no use at all; emptying the palette
    // would leave it without colours, so that case is left alone.
    if (!anyEntryUsed()) return;
    g_paletteModel->deleteUnused();
    refreshAfterChange(dialog);
}

void onDeleteDuplicates(HWND dialog) {
    g_paletteModel->deleteDuplicates();
    refreshAfterChange(dialog);
}

RgbColor fromColorRef(COLORREF color) {
    return RgbColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

void onGradient(HWND dialog) {
    if (!runGradientDialog(dialog) || !g_paletteModel) return;
    g_paletteModel->applyGradient(g_gradientFromIndex, g_gradientToIndex, fromColorRef(g_gradientFromColor),
                                  fromColorRef(g_gradientToColor));
    refreshAfterChange(dialog);
}

// The Open or Save Palette dialog; an empty string when the user cancels.
std::string askPalettePath(HWND dialog, bool save) {
    char buffer[kPathBufferSize] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof(request);
    // Owned by the editor so that it stays inert while the file dialog is up.
    request.hwndOwner = dialog;
    request.lpstrFilter = "Palette File (*.plt)\0*.plt\0";
    request.lpstrFile = buffer;
    request.nMaxFile = sizeof(buffer);
    request.lpstrTitle = save ? "Save Palette" : "Open Palette";
    request.lpstrDefExt = "plt";
    request.Flags = OFN_EXPLORER;
    const BOOL chosen = save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
    return chosen ? std::string(buffer) : std::string();
}

void reportFileFailure(HWND dialog, const char* text) {
    MessageBoxA(dialog, text, "Error", MB_OK | MB_ICONEXCLAMATION);
}

void onReadPalette(HWND dialog) {
    const std::string path = askPalettePath(dialog, false);
    if (path.empty() || !g_paletteModel) return;
    switch (readPaletteFile(*g_paletteModel, path.c_str())) {
        case PaletteFileOk:
        case PaletteFileShortRecords:  // read as far as it goes; the missing records repeat the last one
            refreshAfterChange(dialog);
            return;
        default:
            reportFileFailure(dialog, "Unable to read the palette file.");
            return;
    }
}

void onWritePalette(HWND dialog) {
    const std::string path = askPalettePath(dialog, true);
    if (path.empty() || !g_paletteModel) return;
    if (writePaletteFile(*g_paletteModel, path.c_str()) != PaletteFileOk) {
        reportFileFailure(dialog, "Unable to write the palette file.");
    }
}

void onCount(HWND dialog) {
    const int wanted = runColorsDialog(dialog);
    if (wanted <= 1 || wanted >= int(kMaxPaletteEntries) || !g_paletteModel) return;
    const uint32_t count = uint32_t(wanted);
    if (entryCount() < count) {
        g_paletteModel->growTo(count);
    } else if (entryCount() > count) {
        g_paletteModel->reduceTo(count);
    } else {
        return;
    }
    refreshAfterChange(dialog);
}

// ---- Fields ----------------------------------------------------------------------------------

void onIndexChanged(HWND dialog) {
    const uint32_t count = entryCount();
    if (count == 0) return;
    BOOL translated = FALSE;
    UINT value = GetDlgItemInt(dialog, IDC_PALETTE_INDEX, &translated, FALSE);
    if (!translated) value = 0;
    if (value >= count) {
        value = count - 1;
        writeField(dialog, IDC_PALETTE_INDEX, value);
    }
    s_editor.selected = value;
    redrawAll(dialog);
    showSelectedColor(dialog);
}

// A channel field's number, 0 when it holds none.
UINT readChannel(HWND dialog, int id) {
    BOOL translated = FALSE;
    const UINT value = GetDlgItemInt(dialog, id, &translated, FALSE);
    return translated ? value : 0;
}

void onChannelChanged(HWND dialog, int id) {
    if (readChannel(dialog, id) > kMaxChannel) writeField(dialog, id, kMaxChannel);
    if (!hasSelection()) return;
    auto clamp = [](UINT value) { return uint8_t(value > kMaxChannel ? kMaxChannel : value); };
    const RgbColor color(clamp(readChannel(dialog, IDC_PALETTE_RED)),
                         clamp(readChannel(dialog, IDC_PALETTE_GREEN)),
                         clamp(readChannel(dialog, IDC_PALETTE_BLUE)));
    g_paletteModel->setColor(s_editor.selected, color);
    redrawCell(dialog, s_editor.selected);
}

bool isField(int id) {
    return id == IDC_PALETTE_INDEX || id == IDC_PALETTE_RED || id == IDC_PALETTE_GREEN ||
           id == IDC_PALETTE_BLUE;
}

void onFieldCommand(HWND dialog, int id, int code) {
    if (code != EN_CHANGE || s_editor.updatingFields || !IsWindowVisible(dialog)) return;
    if (id == IDC_PALETTE_INDEX) {
        onIndexChanged(dialog);
    } else {
        onChannelChanged(dialog, id);
    }
}

void onCommand(HWND dialog, int id, int code) {
    if (isField(id)) {
        onFieldCommand(dialog, id, code);
        return;
    }
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id == IDOK ? 1 : 0);
        return;
    }
    if (!g_paletteModel) return;
    switch (id) {
        case IDC_PALETTE_ADD:
            onAdd(dialog);
            break;
        case IDC_PALETTE_REMOVE:
            onRemove(dialog);
            break;
        case IDC_PALETTE_REPLACE:
            onReplace(dialog);
            break;
        case IDC_PALETTE_MOVE_LEFT:
            onMove(dialog, true);
            break;
        case IDC_PALETTE_MOVE_RIGHT:
            onMove(dialog, false);
            break;
        case IDC_PALETTE_SORT:
            onSort(dialog);
            break;
        case IDC_PALETTE_DELETE_UNUSED:
            onDeleteUnused(dialog);
            break;
        case IDC_PALETTE_DELETE_DUPLICATES:
            onDeleteDuplicates(dialog);
            break;
        case IDC_PALETTE_GRADIENT:
            onGradient(dialog);
            break;
        case IDC_PALETTE_READ:
            onReadPalette(dialog);
            break;
        case IDC_PALETTE_WRITE:
            onWritePalette(dialog);
            break;
        case IDC_PALETTE_COUNT:
            onCount(dialog);
            break;
        case IDC_PALETTE_PREVIEW:
            runPreviewDialog(dialog);
            break;
        default:
            break;
    }
}

void onPaint(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    paintPaletteGrid(dc, g_paletteModel, s_editor.selected);
    EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK paletteEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // FALSE throughout, also for WM_INITDIALOG: no control takes the focus on opening.
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog(dialog);
            break;
        case WM_PAINT:
            onPaint(dialog);
            break;
        case WM_MOUSEMOVE:
            onMouseMove(lParam);
            break;
        case WM_LBUTTONDOWN:
            onLeftButton(dialog, lParam, false);
            break;
        case WM_LBUTTONDBLCLK:
            onLeftButton(dialog, lParam, true);
            break;
        case WM_COMMAND:
            onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            break;
        case WM_DESTROY:
            onDestroy();
            break;
        default:
            break;
    }
    return FALSE;
}

// ---- Opener ------------------------------------------------------------------------------------

bool editFramePalette(HWND owner, GifFrame& frame) {
    if (!frame.hasLocalTable || !frame.bitmap) return false;
    frame.countColorUse();
    // The working copy lives exactly as long as the window, whichever way it closes.
    PaletteEditModel model;
    model.loadFromTable(frame.localTable);
    g_paletteModel = &model;
    g_paletteFrameBitmap = frame.bitmap.get();
    const INT_PTR result =
        DialogBoxParamA(resourceModule(), MAKEINTRESOURCEA(IDD_PALETTE_EDITOR), owner, paletteEditorProc, 0);
    g_paletteModel = nullptr;
    g_paletteFrameBitmap = nullptr;
    // -1 means the window could not be made: nothing to apply.
    if (result <= 0) return false;
    model.applyToFrame(frame);
    return true;
}

bool editCurrentFramePalette(HWND owner, Editor& editor) {
    const GifFrame* current = editor.currentFramePtr();
    if (!current) return false;
    // The editor works on a copy, so Cancel leaves the document as it was and OK is one step.
    GifFrame edited = *current;
    if (!editFramePalette(owner, edited)) return false;
    // The editor writes every entry opaque; a transparent frame keeps its see-through colour.
    refreshDisplayPalette(edited, editor.document());
    return editor.replaceFrame(size_t(editor.currentFrame()), std::move(edited), "Palette");
}
