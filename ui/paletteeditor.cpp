// "Edit Palette": the window procedure, one function per command, and the opener.
#include "ui/paletteeditor.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "edit/animationtools.h"
#include "palette/palettefile.h"
#include "resource.h"
#include "ui/colorchooser.h"
#include "ui/palettedialogs.h"

namespace {

constexpr UINT kMaxChannel = 255;
constexpr size_t kPathBufferSize = 260;

// What the open editor keeps: the dialog gets it as its creation parameter.
struct EditorState {
    PaletteEditModel* model = nullptr;           // the working copy, owned by the opener
    const IndexedBitmap* frameBitmap = nullptr;  // the frame's picture, for Preview
    uint32_t selected = 0;
    // Set while the program writes the Index, R, G, B fields, so their EN_CHANGE is ignored.
    bool updatingFields = false;
    HWND statusBar = nullptr;
    HWND tooltip = nullptr;
    HICON icons[11] = {};
    int iconCount = 0;
};
EditorState& state(HWND dialog) {
    return *reinterpret_cast<EditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

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

uint32_t entryCount(HWND dialog) {
    return state(dialog).model->size();
}

bool hasSelection(HWND dialog) {
    return state(dialog).selected < entryCount(dialog);
}

void redrawAll(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void redrawCell(HWND dialog, uint32_t index) {
    const RECT area = paletteCellRedrawArea(index);
    RedrawWindow(dialog, &area, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void writeField(HWND dialog, int id, UINT value) {
    const bool was = state(dialog).updatingFields;
    state(dialog).updatingFields = true;
    SetDlgItemInt(dialog, id, value, FALSE);
    state(dialog).updatingFields = was;
}

void showSelectedColor(HWND dialog) {
    if (!hasSelection(dialog)) return;
    const RgbColor color = state(dialog).model->editEntries[state(dialog).selected].color;
    writeField(dialog, IDC_PALETTE_RED, color.red);
    writeField(dialog, IDC_PALETTE_GREEN, color.green);
    writeField(dialog, IDC_PALETTE_BLUE, color.blue);
}

void showSelection(HWND dialog) {
    if (!hasSelection(dialog)) return;
    writeField(dialog, IDC_PALETTE_INDEX, state(dialog).selected);
    showSelectedColor(dialog);
}

// After any change of the palette's size or order: the selection stays on an existing entry,
// and the fields, the count caption, the index arrows and Add follow the palette.
void refreshAfterChange(HWND dialog) {
    const uint32_t count = entryCount(dialog);
    if (count > 0 && state(dialog).selected >= count) state(dialog).selected = count - 1;
    SetDlgItemInt(dialog, IDC_PALETTE_COUNT, count, FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_PALETTE_ADD), count < kMaxPaletteEntries);
    state(dialog).updatingFields = true;
    SendDlgItemMessageA(dialog, IDC_PALETTE_INDEX_SPIN, UDM_SETRANGE32, 0, count > 0 ? count - 1 : 0);
    state(dialog).updatingFields = false;
    showSelection(dialog);
    redrawAll(dialog);
}

// ---- Start and end ---------------------------------------------------------------------------

void createTooltips(HWND dialog) {
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, resourceModule(), nullptr);
    state(dialog).tooltip = tooltip;
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
    state(dialog).iconCount = 0;
    for (const ToolButton& button : kToolButtons) {
        HICON icon = static_cast<HICON>(
            LoadImageA(resourceModule(), MAKEINTRESOURCEA(button.icon), IMAGE_ICON, 16, 16, 0));
        state(dialog).icons[state(dialog).iconCount++] = icon;
        SendDlgItemMessageA(dialog, button.id, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
}

void onInitDialog(HWND dialog) {
    createTooltips(dialog);
    state(dialog).statusBar =
        CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, dialog,
                        reinterpret_cast<HMENU>(IDC_PALETTE_STATUSBAR), resourceModule(), nullptr);
    loadIcons(dialog);
    state(dialog).updatingFields = true;
    for (int spin : {IDC_PALETTE_RED_SPIN, IDC_PALETTE_GREEN_SPIN, IDC_PALETTE_BLUE_SPIN}) {
        SendDlgItemMessageA(dialog, spin, UDM_SETRANGE32, 0, kMaxChannel);
    }
    state(dialog).updatingFields = false;
    state(dialog).selected = 0;
    // Also sets the count caption, Add, the index range and shows entry 0 in the fields.
    refreshAfterChange(dialog);
}

void onDestroy(HWND dialog) {
    EditorState& editor = state(dialog);
    if (editor.tooltip) DestroyWindow(editor.tooltip);
    if (editor.statusBar) DestroyWindow(editor.statusBar);
    while (editor.iconCount > 0) {
        HICON icon = editor.icons[--editor.iconCount];
        if (icon) DestroyIcon(icon);
    }
}

// ---- Mouse -----------------------------------------------------------------------------------

// The entry under the point, or -1 when there is none.
int entryAt(HWND dialog, LPARAM lParam) {
    const int cell = paletteCellAt(short(LOWORD(lParam)), short(HIWORD(lParam)));
    return cell >= 0 && uint32_t(cell) < entryCount(dialog) ? cell : -1;
}

void onMouseMove(HWND dialog, LPARAM lParam) {
    const int index = entryAt(dialog, lParam);
    const std::string text =
        index >= 0 ? describePaletteEntry(state(dialog).model->editEntries[size_t(index)], uint32_t(index))
                   : std::string();
    SendMessageA(state(dialog).statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void select(HWND dialog, uint32_t index) {
    const RECT oldArea = paletteCellRedrawArea(state(dialog).selected);
    const RECT newArea = paletteCellRedrawArea(index);
    HRGN region = CreateRectRgnIndirect(&oldArea);
    HRGN added = CreateRectRgnIndirect(&newArea);
    CombineRgn(region, region, added, RGN_OR);
    RedrawWindow(dialog, nullptr, region, RDW_INVALIDATE | RDW_ERASE);
    DeleteObject(added);
    DeleteObject(region);
    state(dialog).selected = index;
    showSelection(dialog);
}

void onLeftButton(HWND dialog, LPARAM lParam, bool doubleClick) {
    const int index = entryAt(dialog, lParam);
    if (index < 0) return;
    select(dialog, uint32_t(index));
    if (doubleClick) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PALETTE_REPLACE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PALETTE_REPLACE)));
    }
}

// ---- Tool buttons ----------------------------------------------------------------------------

void onAdd(HWND dialog) {
    if (state(dialog).model->appendEntry()) refreshAfterChange(dialog);
}

void onRemove(HWND dialog) {
    if (entryCount(dialog) <= 2 || !hasSelection(dialog)) return;
    state(dialog).model->removeEntry(state(dialog).selected);
    refreshAfterChange(dialog);
}

void onReplace(HWND dialog) {
    if (!hasSelection(dialog)) return;
    COLORREF color = state(dialog).model->editEntries[state(dialog).selected].color.toColorRef();
    if (!chooseColor(dialog, color)) return;
    state(dialog).model->setColor(state(dialog).selected,
                                  RgbColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    showSelectedColor(dialog);
    redrawCell(dialog, state(dialog).selected);
}

void onMove(HWND dialog, bool left) {
    if (!hasSelection(dialog)) return;
    const uint32_t from = state(dialog).selected;
    if (left ? from == 0 : from + 1 >= entryCount(dialog)) return;
    const uint32_t to = left ? from - 1 : from + 1;
    state(dialog).model->swapEntries(from, to);
    state(dialog).selected = to;
    refreshAfterChange(dialog);
}

void onSort(HWND dialog) {
    const int key = runSortDialog(dialog);
    if (key < 0) return;
    state(dialog).model->sortEntries(uint32_t(key));
    refreshAfterChange(dialog);
}

bool anyEntryUsed(HWND dialog) {
    for (const PaletteEditEntry& entry : state(dialog).model->editEntries) {
        if (entry.useCount != 0) return true;
    }
    return false;
}

void onDeleteUnused(HWND dialog) {
    // A frame whose pixels all lie beyond its table counts no use at all; emptying the palette
    // would leave it without colours, so that case is left alone.
    if (!anyEntryUsed(dialog)) return;
    state(dialog).model->deleteUnused();
    refreshAfterChange(dialog);
}

void onDeleteDuplicates(HWND dialog) {
    state(dialog).model->deleteDuplicates();
    refreshAfterChange(dialog);
}

RgbColor fromColorRef(COLORREF color) {
    return RgbColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

void onGradient(HWND dialog) {
    Gradient gradient;
    if (!runGradientDialog(dialog, &gradient)) return;
    state(dialog).model->applyGradient(gradient.fromIndex, gradient.toIndex, fromColorRef(gradient.fromColor),
                                       fromColorRef(gradient.toColor));
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
    if (path.empty()) return;
    switch (readPaletteFile(*state(dialog).model, path.c_str())) {
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
    if (path.empty()) return;
    if (writePaletteFile(*state(dialog).model, path.c_str()) != PaletteFileOk) {
        reportFileFailure(dialog, "Unable to write the palette file.");
    }
}

void onCount(HWND dialog) {
    const int wanted = runColorsDialog(dialog);
    if (wanted <= 1 || wanted >= int(kMaxPaletteEntries)) return;
    const uint32_t count = uint32_t(wanted);
    if (entryCount(dialog) < count) {
        state(dialog).model->growTo(count);
    } else if (entryCount(dialog) > count) {
        state(dialog).model->reduceTo(count);
    } else {
        return;
    }
    refreshAfterChange(dialog);
}

// ---- Fields ----------------------------------------------------------------------------------

void onIndexChanged(HWND dialog) {
    const uint32_t count = entryCount(dialog);
    if (count == 0) return;
    BOOL translated = FALSE;
    UINT value = GetDlgItemInt(dialog, IDC_PALETTE_INDEX, &translated, FALSE);
    if (!translated) value = 0;
    if (value >= count) {
        value = count - 1;
        writeField(dialog, IDC_PALETTE_INDEX, value);
    }
    state(dialog).selected = value;
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
    if (!hasSelection(dialog)) return;
    auto clamp = [](UINT value) { return uint8_t(value > kMaxChannel ? kMaxChannel : value); };
    const RgbColor color(clamp(readChannel(dialog, IDC_PALETTE_RED)),
                         clamp(readChannel(dialog, IDC_PALETTE_GREEN)),
                         clamp(readChannel(dialog, IDC_PALETTE_BLUE)));
    state(dialog).model->setColor(state(dialog).selected, color);
    redrawCell(dialog, state(dialog).selected);
}

bool isField(int id) {
    return id == IDC_PALETTE_INDEX || id == IDC_PALETTE_RED || id == IDC_PALETTE_GREEN ||
           id == IDC_PALETTE_BLUE;
}

void onFieldCommand(HWND dialog, int id, int code) {
    if (code != EN_CHANGE || state(dialog).updatingFields || !IsWindowVisible(dialog)) return;
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
            // The global table may serve no frame at all: then there is nothing to preview.
            if (state(dialog).frameBitmap)
                runPreviewDialog(dialog, *state(dialog).frameBitmap, *state(dialog).model);
            break;
        default:
            break;
    }
}

void onPaint(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    paintPaletteGrid(dc, state(dialog).model, state(dialog).selected);
    EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK paletteEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // FALSE throughout, also for WM_INITDIALOG: no control takes the focus on opening.
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        onInitDialog(dialog);
        return FALSE;
    }
    if (!GetWindowLongPtrA(dialog, DWLP_USER)) return FALSE;
    switch (message) {
        case WM_PAINT:
            onPaint(dialog);
            break;
        case WM_MOUSEMOVE:
            onMouseMove(dialog, lParam);
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
            onDestroy(dialog);
            break;
        default:
            break;
    }
    return FALSE;
}

// ---- Opener ------------------------------------------------------------------------------------

namespace {

// Runs the editor on `model`, with `picture` for Preview; true on OK. -1 from the dialog means
// the window could not be made: nothing to apply.
bool runPaletteEditor(HWND owner, PaletteEditModel& model, const IndexedBitmap* picture) {
    EditorState editorState;
    editorState.model = &model;
    editorState.frameBitmap = picture;
    return DialogBoxParamA(resourceModule(), MAKEINTRESOURCEA(IDD_PALETTE_EDITOR), owner, paletteEditorProc,
                           reinterpret_cast<LPARAM>(&editorState)) > 0;
}

}  // namespace

bool editFramePalette(HWND owner, GifFrame& frame) {
    if (!frame.hasLocalTable || !frame.bitmap) return false;
    frame.countColorUse();
    // The working copy lives exactly as long as the window, whichever way it closes.
    PaletteEditModel model;
    model.loadFromTable(frame.localTable);
    if (!runPaletteEditor(owner, model, frame.bitmap.get())) return false;
    model.applyToFrame(frame);
    return true;
}

bool editGlobalPalette(HWND owner, Editor& editor) {
    const GifAnimation& doc = editor.document();
    if (!doc.hasGlobalTable) return false;
    PaletteEditModel model;
    model.loadFromTable(globalTableInUse(doc));
    // Preview shows the first frame that draws from the table.
    const IndexedBitmap* picture = nullptr;
    for (const GifFrame& frame : doc.frames) {
        if (!frame.hasLocalTable && frame.bitmap) {
            picture = frame.bitmap.get();
            break;
        }
    }
    if (!runPaletteEditor(owner, model, picture)) return false;
    ColorTable table;
    for (uint32_t i = 0; i < std::min(model.size(), kMaxPaletteEntries); ++i)
        table.entries.push_back(model.editEntries[i].color);
    return editor.remapGlobalTable(std::move(table), model.buildRemapTable(), "Global Palette");
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
