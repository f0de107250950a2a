// The Comment panel through its real notifications: adding, deleting with renumbering, editing on
// focus loss, and the edit that fills the panel.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

std::vector<std::string> listItems() {
    std::vector<std::string> items;
    for (int i = 0; i < SendMessageA(g_commentList, CB_GETCOUNT, 0, 0); ++i) {
        char text[512] = {};
        SendMessageA(g_commentList, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
        items.push_back(text);
    }
    return items;
}

void chooseComment(int index) {
    SendMessageA(g_commentList, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(g_commentPanel, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_LIST, CBN_SELCHANGE),
                 LPARAM(g_commentList));
}

TEST(CommentPanel, AddDeleteAndEditKeepTheListNumberedAndInStep) {
    AppSession session;
    ASSERT_TRUE(session.started());
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(0xFF0000, 10, 10, 0, 0));
    frames.push_back(solidFrame(0x00FF00, 10, 10, 0, 0));
    frames[0].comments = {"a", "b", "c"};
    setDocument(std::move(frames), 10, 10);
    showPropertyTab(2);
    HWND panel = g_commentPanel;
    const std::vector<std::string>& comments = g_editor.document().frames[0].comments;

    // Without a selected frame nothing reacts.
    press(panel, IDC_COMMENT_ADD);
    press(panel, IDC_COMMENT_DELETE);
    EXPECT_FALSE(g_editor.changed());
    selectFrame(0);
    EXPECT_EQ(textOf(panel, IDC_COMMENT_TEXT), "a");

    // A new comment is numbered after the count.
    struct Step {
        int choose;  // -1: keep the selection
        int button;
        std::vector<std::string> after;
        int selected;
    };
    const Step steps[] = {
        {1, IDC_COMMENT_DELETE, {"a", "c"}, 1},
        {1, IDC_COMMENT_DELETE, {"a"}, 0},  // the last one: its predecessor is selected
        {-1, IDC_COMMENT_ADD, {"a", "Comment 2"}, 1},
        {0, IDC_COMMENT_DELETE, {"Comment 2"}, 0},
        {-1, IDC_COMMENT_DELETE, {}, -1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.after.size() << " left, selected " << step.selected);
        if (step.choose >= 0) chooseComment(step.choose);
        if (step.button) press(panel, step.button);
        EXPECT_EQ(comments, step.after);
        std::vector<std::string> items;
        for (size_t i = 0; i < step.after.size(); ++i)
            items.push_back(std::to_string(i + 1) + ". " + step.after[i]);
        EXPECT_EQ(listItems(), items);
        EXPECT_EQ(SendMessageA(g_commentList, CB_GETCURSEL, 0, 0), step.selected);
        EXPECT_EQ(textOf(panel, IDC_COMMENT_TEXT),
                  step.selected >= 0 ? step.after[size_t(step.selected)] : "");
        EXPECT_EQ(enabled(panel, IDC_COMMENT_TEXT), !step.after.empty());
        EXPECT_TRUE(g_editor.changed());
    }
    EXPECT_TRUE(g_editor.document().frames[1].comments.empty());

    // Typed text is stored when the edit loses the focus, cut to 254 characters.
    press(panel, IDC_COMMENT_ADD);
    for (size_t length : {300, 0}) {
        std::string text;
        for (size_t i = 0; i < length; ++i) text += char('a' + i % 26);  // a cut at the wrong end shows
        typeText(panel, IDC_COMMENT_TEXT, text);
        EXPECT_EQ(comments, std::vector<std::string>{"Comment 1"}) << "typing alone stored the text";
        leaveField(panel, IDC_COMMENT_TEXT);
        EXPECT_EQ(comments, std::vector<std::string>{text.substr(0, 254)});
        EXPECT_EQ(listItems(), std::vector<std::string>{"1. " + text.substr(0, 254)});
        sendMenuCommand(IDM_EDIT_UNDO);
    }

    // The edit reaches to 4 pixels from the panel's right and bottom edges.
    SetWindowPos(panel, nullptr, 0, 0, 500, 120, SWP_NOMOVE | SWP_NOZORDER);
    RECT edit;
    GetWindowRect(GetDlgItem(panel, IDC_COMMENT_TEXT), &edit);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&edit), 2);
    EXPECT_EQ(edit.right, 496);
    EXPECT_EQ(edit.bottom, 116);
}

}  // namespace
