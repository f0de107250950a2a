#include "panels/commentpanel.h"

#include <algorithm>
#include <string>

#include "app/globals.h"
#include "resource.h"

namespace {

// GetDlgItemTextA's buffer: at most 254 characters of a comment are kept.
constexpr int kCommentBufferSize = 255;
// The edit reaches this close to the panel's right and bottom edges.
constexpr int kEditMargin = 4;

GifFrame* selectedFrame() {
    const LRESULT index = SendMessageA(g_frameList, LB_GETCURSEL, 0, 0);
    if (index < 0 || size_t(index) >= g_document.frames.size()) return nullptr;
    return &g_document.frames[size_t(index)];
}

// Item i of the combo box reads "i+1. text".
std::string itemText(size_t position, const std::string& comment) {
    return std::to_string(position + 1) + ". " + comment;
}

HWND commentEdit(HWND panel) { return GetDlgItem(panel, IDC_COMMENT_TEXT); }

void replaceItem(size_t position, const std::string& comment) {
    const std::string text = itemText(position, comment);
    SendMessageA(g_commentList, CB_DELETESTRING, WPARAM(position), 0);
    SendMessageA(g_commentList, CB_INSERTSTRING, WPARAM(position), reinterpret_cast<LPARAM>(text.c_str()));
}

void enableEditing(HWND panel, bool enable) {
    EnableWindow(g_commentList, enable);
    EnableWindow(commentEdit(panel), enable);
}

void onInitDialog(HWND panel) { g_commentList = GetDlgItem(panel, IDC_COMMENT_LIST); }

void onAdd(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    // Numbers follow the current count, so after a delete a number can come twice.
    const size_t number = frame->comments.size() + 1;
    const std::string text = "Comment " + std::to_string(number);
    frame->comments.push_back(text);
    const std::string item = itemText(number - 1, text);
    const LRESULT position = SendMessageA(g_commentList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    enableEditing(panel, true);
    SendMessageA(g_commentList, CB_SETCURSEL, WPARAM(position), 0);
    SetWindowTextA(commentEdit(panel), text.c_str());
    g_modified = true;
}

// Typing changes nothing until the edit loses the focus.
void onTextDone(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    const LRESULT item = SendMessageA(g_commentList, CB_GETCURSEL, 0, 0);
    if (item >= 0 && size_t(item) < frame->comments.size()) {
        char text[kCommentBufferSize] = {};
        GetDlgItemTextA(panel, IDC_COMMENT_TEXT, text, kCommentBufferSize);
        frame->comments[size_t(item)] = text;
        replaceItem(size_t(item), text);
        SendMessageA(g_commentList, CB_SETCURSEL, WPARAM(item), 0);
    }
    g_modified = true;
}

void onSelect(HWND panel) {
    GifFrame* frame = selectedFrame();
    const LRESULT item = SendMessageA(g_commentList, CB_GETCURSEL, 0, 0);
    if (frame && item >= 0 && size_t(item) < frame->comments.size()) {
        SetWindowTextA(commentEdit(panel), frame->comments[size_t(item)].c_str());
    }
    g_modified = true;
}

void onDelete(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    const LRESULT item = SendMessageA(g_commentList, CB_GETCURSEL, 0, 0);
    if (item >= 0 && size_t(item) < frame->comments.size()) {
        const size_t removed = size_t(item);
        SendMessageA(g_commentList, CB_DELETESTRING, WPARAM(removed), 0);
        frame->comments.erase(frame->comments.begin() + std::ptrdiff_t(removed));
        for (size_t i = removed; i < frame->comments.size(); ++i) replaceItem(i, frame->comments[i]);
        if (!frame->comments.empty()) {
            const size_t next = removed < frame->comments.size() ? removed : frame->comments.size() - 1;
            SendMessageA(g_commentList, CB_SETCURSEL, WPARAM(next), 0);
            SetWindowTextA(commentEdit(panel), frame->comments[next].c_str());
        } else {
            SetWindowTextA(commentEdit(panel), "");
            enableEditing(panel, false);
        }
    }
    g_modified = true;
}

void onCommand(HWND panel, WORD id, WORD notification) {
    switch (id) {
    case IDC_COMMENT_ADD:
        if (notification == BN_CLICKED) onAdd(panel);
        break;
    case IDC_COMMENT_DELETE:
        if (notification == BN_CLICKED) onDelete(panel);
        break;
    case IDC_COMMENT_TEXT:
        if (notification == EN_KILLFOCUS) onTextDone(panel);
        break;
    case IDC_COMMENT_LIST:
        if (notification == CBN_SELCHANGE) onSelect(panel);
        break;
    default:
        break;
    }
}

// The text edit takes all the room the panel gets, less a small margin on the right and bottom.
void onSize(HWND panel) {
    HWND edit = commentEdit(panel);
    RECT panelRect;
    RECT editRect;
    GetWindowRect(panel, &panelRect);
    GetWindowRect(edit, &editRect);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&editRect), 2);
    const int width = std::max<int>(0, (panelRect.right - panelRect.left) - kEditMargin - editRect.left);
    const int height = std::max<int>(0, (panelRect.bottom - panelRect.top) - kEditMargin - editRect.top);
    SetWindowPos(edit, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_SHOWWINDOW);
}

}  // namespace

INT_PTR CALLBACK commentPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_SIZE:
        onSize(window);
        break;
    default:
        break;
    }
    return FALSE;
}
