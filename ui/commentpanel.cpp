#include "ui/commentpanel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "resource.h"
#include "ui/labelfit.h"
#include "ui/panelfields.h"
#include "ui/windowcontext.h"

namespace {

// GetDlgItemTextA's buffer: at most 254 characters of a comment are kept.
constexpr int kCommentBufferSize = 255;
// The edit reaches this close to the panel's right and bottom edges.
constexpr int kEditMargin = 4;

// Item i of the combo box reads "i+1. text".
std::string itemText(size_t position, const std::string& comment) {
    return std::to_string(position + 1) + ". " + comment;
}

HWND commentEdit(HWND panel) {
    return GetDlgItem(panel, IDC_COMMENT_TEXT);
}

HWND commentList(HWND panel) {
    return GetDlgItem(panel, IDC_COMMENT_LIST);
}

Editor& editorOf(HWND panel) {
    return *contextOf(panel)->editor;
}

int shownComment(HWND panel) {
    return int(SendMessageA(commentList(panel), CB_GETCURSEL, 0, 0));
}

void showComment(HWND panel, const GifFrame& frame, int item) {
    if (item < 0 || size_t(item) >= frame.comments.size()) return;
    SendMessageA(commentList(panel), CB_SETCURSEL, WPARAM(item), 0);
    SetWindowTextA(commentEdit(panel), frame.comments[size_t(item)].c_str());
}

void editComments(HWND panel, const char* name, std::vector<std::string> comments) {
    Editor& editor = editorOf(panel);
    const GifFrame* frame = editor.currentFramePtr();
    if (!frame) return;
    FrameFields fields = FrameFields::of(*frame);
    fields.comments = std::move(comments);
    editor.setFrameFields(size_t(editor.currentFrame()), fields, name);
}

void onAdd(HWND panel) {
    const GifFrame* frame = editorOf(panel).currentFramePtr();
    if (!frame) return;
    commitCommentPanelTyping(panel);
    std::vector<std::string> comments = editorOf(panel).currentFramePtr()->comments;
    // Numbers follow the current count, so after a delete a number can come twice.
    comments.push_back("Comment " + std::to_string(comments.size() + 1));
    editComments(panel, "Add Comment", std::move(comments));
    if (const GifFrame* after = editorOf(panel).currentFramePtr())
        showComment(panel, *after, int(after->comments.size()) - 1);
}

// Typing changes nothing until the edit loses the focus.
void onTextDone(HWND panel) {
    const GifFrame* frame = editorOf(panel).currentFramePtr();
    const int item = shownComment(panel);
    // Only typing is taken (the edit's modified flag): a file's comment longer than the field
    // holds stays whole until the user changes it.
    const bool typed = takeTyped(commentEdit(panel));
    if (!typed || !frame || item < 0 || size_t(item) >= frame->comments.size()) return;
    char text[kCommentBufferSize] = {};
    GetDlgItemTextA(panel, IDC_COMMENT_TEXT, text, kCommentBufferSize);
    std::vector<std::string> comments = frame->comments;
    comments[size_t(item)] = text;
    editComments(panel, "Comment", std::move(comments));
}

void onSelect(HWND panel) {
    if (const GifFrame* frame = editorOf(panel).currentFramePtr())
        showComment(panel, *frame, shownComment(panel));
}

void onDelete(HWND panel) {
    const GifFrame* frame = editorOf(panel).currentFramePtr();
    const int item = shownComment(panel);
    if (!frame || item < 0 || size_t(item) >= frame->comments.size()) return;
    std::vector<std::string> comments = frame->comments;
    comments.erase(comments.begin() + item);
    editComments(panel, "Delete Comment", std::move(comments));
    if (const GifFrame* after = editorOf(panel).currentFramePtr()) {
        showComment(panel, *after, std::min(item, int(after->comments.size()) - 1));
    }
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

// Keeps the comment shown when it still exists, so an edit of one comment leaves it in view.
void showFrameInCommentPanel(HWND panel) {
    if (!contextOf(panel)) return;
    const GifFrame* frame = editorOf(panel).currentFramePtr();
    if (!frame) return;
    const int shown = shownComment(panel);
    SendMessageA(commentList(panel), CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < frame->comments.size(); ++i) {
        const std::string item = itemText(i, frame->comments[i]);
        SendMessageA(commentList(panel), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    const bool any = !frame->comments.empty();
    if (any) {
        showComment(panel, *frame, std::clamp(shown, 0, int(frame->comments.size()) - 1));
    } else {
        SetWindowTextA(commentEdit(panel), "");
    }
    EnableWindow(commentList(panel), any);
    EnableWindow(commentEdit(panel), any);
}

void commitCommentPanelTyping(HWND panel) {
    if (contextOf(panel)) onTextDone(panel);
}

INT_PTR CALLBACK commentPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG && !contextOf(window)) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            attachContext(window, lParam);
            fitLabelsToTheirText(window);
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
