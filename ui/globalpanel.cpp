#include "ui/globalpanel.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "resource.h"
#include "ui/labelfit.h"
#include "ui/paletteeditor.h"
#include "ui/panelfields.h"
#include "ui/windowcontext.h"

namespace {

constexpr UINT kMaxScreenSide = 2000;
constexpr UINT kMaxColorIndex = 255;
// Inner margins of the background swatch inside its raised edge.
constexpr int kSwatchInset = 6;
constexpr int kSwatchExtraRightInset = 8;

void onInitDialog(HWND panel) {
    fitLabelsToTheirText(panel);
    setSpinRange(panel, IDC_GLOBAL_WIDTH_SPIN, 1, kMaxScreenSide);
    setSpinRange(panel, IDC_GLOBAL_HEIGHT_SPIN, 1, kMaxScreenSide);
    setSpinRange(panel, IDC_GLOBAL_LOOP_SPIN, 1, kMaxLoopCount);
    setSpinRange(panel, IDC_GLOBAL_BACKGROUND_SPIN, 0, kMaxColorIndex);
    SetDlgItemInt(panel, IDC_GLOBAL_WIDTH, 1, FALSE);
    SetDlgItemInt(panel, IDC_GLOBAL_HEIGHT, 1, FALSE);
    SetDlgItemInt(panel, IDC_GLOBAL_LOOP, 1, FALSE);
}

// Reads an edit as an unsigned number; `valid` is false for empty or non-numeric text.
UINT readNumber(HWND panel, int id, bool* valid) {
    BOOL translated = FALSE;
    const UINT value = GetDlgItemInt(panel, id, &translated, FALSE);
    *valid = translated != FALSE;
    return value;
}

void show(HWND panel, int id, UINT value) {
    SetDlgItemInt(panel, id, value, FALSE);
}

bool showing(HWND panel) {
    return contextOf(panel)->showing;
}

void showCorrection(HWND panel, int id, UINT value) {
    contextOf(panel)->showing = true;
    show(panel, id, value);
    contextOf(panel)->showing = false;
}

// A hidden or disabled field holds nothing the user typed.
bool takesInput(HWND panel, int id) {
    const HWND field = GetDlgItem(panel, id);
    return IsWindowEnabled(field) && (GetWindowLongPtrA(field, GWL_STYLE) & WS_VISIBLE);
}

void editDocument(HWND panel, const char* name, const std::string& mergeKey,
                  void (*change)(DocumentFields&, UINT), UINT value) {
    if (showing(panel)) return;
    Editor& editor = *contextOf(panel)->editor;
    DocumentFields fields = DocumentFields::of(editor.document());
    change(fields, value);
    editor.setDocumentFields(fields, name, mergeKey);
}

// Width and height: an empty or zero field means the smallest screen, and the screen never
// passes 2000. Writing the corrected value back raises EN_CHANGE again, which then finds it valid.
void onScreenSideEdited(HWND panel, int id) {
    if (showing(panel) || !takesInput(panel, id)) return;
    bool valid = false;
    UINT value = readNumber(panel, id, &valid);
    if (!valid || value == 0) {
        value = 1;
        showCorrection(panel, id, value);
    } else if (value > kMaxScreenSide) {
        value = kMaxScreenSide;
        showCorrection(panel, id, value);
    }
    if (id == IDC_GLOBAL_WIDTH) {
        editDocument(
            panel, "Screen Size", "width", [](DocumentFields& f, UINT v) { f.screenWidth = uint16_t(v); },
            value);
    } else {
        editDocument(
            panel, "Screen Size", "height", [](DocumentFields& f, UINT v) { f.screenHeight = uint16_t(v); },
            value);
    }
}

// Only on focus loss, so typing "20" does not pass through a stored 2. An empty field is taken
// as 0 repeats and left so; a typed 0 means one play.
void onLoopCountEdited(HWND panel) {
    if (showing(panel) || !takesInput(panel, IDC_GLOBAL_LOOP) || !takeTyped(panel, IDC_GLOBAL_LOOP)) return;
    bool valid = false;
    const UINT typed = readNumber(panel, IDC_GLOBAL_LOOP, &valid);
    const UINT value = correctedLoopCount(valid, typed);
    if (!valid || value != typed) showCorrection(panel, IDC_GLOBAL_LOOP, value);
    editDocument(
        panel, "Loop Count", "", [](DocumentFields& f, UINT v) { f.loopCount = uint16_t(v); }, value);
}

void onBackgroundIndexEdited(HWND panel) {
    if (showing(panel) || !takesInput(panel, IDC_GLOBAL_BACKGROUND) ||
        !takeTyped(panel, IDC_GLOBAL_BACKGROUND))
        return;
    // The index names an entry of the global table: no number is 0, past the end the last entry.
    const size_t entries = contextOf(panel)->editor->document().globalTable.entries.size();
    const UINT last = UINT(std::min<size_t>(std::max<size_t>(entries, 1), kMaxColorIndex + 1) - 1);
    bool valid = false;
    const UINT typed = readNumber(panel, IDC_GLOBAL_BACKGROUND, &valid);
    const UINT value = valid ? std::min(typed, last) : 0;
    if (!valid || value != typed) showCorrection(panel, IDC_GLOBAL_BACKGROUND, value);
    editDocument(
        panel, "Background Color", "", [](DocumentFields& f, UINT v) { f.backgroundIndex = uint8_t(v); },
        value);
}

void onInfiniteClicked(HWND panel) {
    const bool forever = IsDlgButtonChecked(panel, IDC_GLOBAL_INFINITE) == BST_CHECKED;
    editDocument(
        panel, "Loop Count", "", [](DocumentFields& f, UINT v) { f.loopForever = v != 0; }, forever);
}

// The size follows the frames from the moment Auto is checked; the editor fits it in the same step.
void onAutoSizeClicked(HWND panel) {
    const bool automatic = IsDlgButtonChecked(panel, IDC_GLOBAL_AUTO_SIZE) == BST_CHECKED;
    editDocument(
        panel, "Auto Size", "", [](DocumentFields& f, UINT v) { f.autoScreenSize = v != 0; }, automatic);
}

void onGlobalPaletteClicked(HWND panel) {
    WindowContext& context = *contextOf(panel);
    if (context.commitTyping) context.commitTyping();
    editGlobalPalette(context.owner, *context.editor);
}

void onCommand(HWND panel, WORD id, WORD notification) {
    switch (id) {
        case IDC_GLOBAL_WIDTH:
        case IDC_GLOBAL_HEIGHT:
            if (notification == EN_CHANGE || notification == EN_KILLFOCUS) onScreenSideEdited(panel, id);
            break;
        case IDC_GLOBAL_LOOP:
            if (notification == EN_KILLFOCUS) onLoopCountEdited(panel);
            break;
        case IDC_GLOBAL_BACKGROUND:
            if (notification == EN_KILLFOCUS) onBackgroundIndexEdited(panel);
            break;
        case IDC_GLOBAL_INFINITE:
            if (notification == BN_CLICKED) onInfiniteClicked(panel);
            break;
        case IDC_GLOBAL_AUTO_SIZE:
            if (notification == BN_CLICKED) onAutoSizeClicked(panel);
            break;
        case IDC_GLOBAL_PALETTE:
            if (notification == BN_CLICKED) onGlobalPaletteClicked(panel);
            break;
        case IDOK:  // Enter takes the value being typed
            commitGlobalPanelTyping(panel);
            break;
        default:
            break;
    }
}

// The background colour swatch: the entry's colour, crossed out while there is none to show.
void drawBackgroundSwatch(HWND panel, const DRAWITEMSTRUCT* item) {
    RECT edge = item->rcItem;
    DrawEdge(item->hDC, &edge, EDGE_RAISED, BF_RECT);
    const GifAnimation& doc = contextOf(panel)->editor->document();
    const bool shown = doc.hasGlobalTable && doc.backgroundIndex < doc.globalTable.entries.size();
    HBRUSH hatch = shown ? CreateSolidBrush(doc.globalTable.entries[doc.backgroundIndex].toColorRef())
                         : CreateHatchBrush(HS_FDIAGONAL, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(item->hDC, hatch);
    HGDIOBJ oldPen = SelectObject(item->hDC, GetStockObject(BLACK_PEN));
    Rectangle(item->hDC, item->rcItem.left + kSwatchInset, item->rcItem.top + kSwatchInset,
              item->rcItem.right - kSwatchInset - kSwatchExtraRightInset, item->rcItem.bottom - kSwatchInset);
    SelectObject(item->hDC, oldPen);
    SelectObject(item->hDC, oldBrush);
    DeleteObject(hatch);
}

}  // namespace

// Auto is a way of editing, not a property of the file: it shows as the document says, and the
// size fields take no typing while it is on (the up-downs stay enabled on purpose).
void showDocumentInGlobalPanel(HWND panel) {
    WindowContext* context = contextOf(panel);
    if (!context) return;
    const GifAnimation& doc = context->editor->document();
    context->showing = true;
    CheckDlgButton(panel, IDC_GLOBAL_AUTO_SIZE, doc.autoScreenSize ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(panel, IDC_GLOBAL_WIDTH), !doc.autoScreenSize);
    EnableWindow(GetDlgItem(panel, IDC_GLOBAL_HEIGHT), !doc.autoScreenSize);
    showNumber(panel, IDC_GLOBAL_WIDTH, doc.screenWidth);
    showNumber(panel, IDC_GLOBAL_HEIGHT, doc.screenHeight);
    const HWND loopEdit = GetDlgItem(panel, IDC_GLOBAL_LOOP);
    CheckDlgButton(panel, IDC_GLOBAL_INFINITE, doc.loopForever ? BST_CHECKED : BST_UNCHECKED);
    // Infinite keeps the count underneath, so unchecking it brings the count back; a file that
    // loops forever has none and shows one play.
    showNumber(panel, IDC_GLOBAL_LOOP, doc.loopForever ? std::max<UINT>(1, doc.loopCount) : doc.loopCount);
    EnableWindow(loopEdit, !doc.loopForever);
    EnableWindow(GetDlgItem(panel, IDC_GLOBAL_LOOP_SPIN), !doc.loopForever);
    // The background colour is an entry of the global table: without one there is nothing to pick.
    for (int id : {IDC_GLOBAL_BACKGROUND, IDC_GLOBAL_BACKGROUND_SPIN, IDC_GLOBAL_BACKGROUND_SWATCH,
                   IDC_GLOBAL_PALETTE})
        EnableWindow(GetDlgItem(panel, id), doc.hasGlobalTable);
    if (doc.hasGlobalTable) {
        const int entries = int(std::min<size_t>(doc.globalTable.entries.size(), kMaxColorIndex + 1));
        setSpinRange(panel, IDC_GLOBAL_BACKGROUND_SPIN, 0, std::max(entries - 1, 0));
        showNumber(panel, IDC_GLOBAL_BACKGROUND, doc.backgroundIndex);
    } else {
        SetDlgItemTextA(panel, IDC_GLOBAL_BACKGROUND, "");
    }
    RedrawWindow(GetDlgItem(panel, IDC_GLOBAL_BACKGROUND_SWATCH), nullptr, nullptr, RDW_INVALIDATE);
    context->showing = false;
}

void commitGlobalPanelTyping(HWND panel) {
    if (!contextOf(panel)) return;
    onLoopCountEdited(panel);
    onBackgroundIndexEdited(panel);
}

INT_PTR CALLBACK globalPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG && !contextOf(window)) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            attachContext(window, lParam);
            onInitDialog(window);
            return TRUE;
        case WM_COMMAND:
            onCommand(window, LOWORD(wParam), HIWORD(wParam));
            break;
        case WM_DRAWITEM:
            if (wParam == IDC_GLOBAL_BACKGROUND_SWATCH) {
                drawBackgroundSwatch(window, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}
