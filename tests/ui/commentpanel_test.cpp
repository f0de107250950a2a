// The Comment panel: adding, storing on focus loss, selecting, deleting with renumbering, and the
// edit that fills the panel, driven through the real notifications.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "resource.h"
#include "ui/support/panelsdriver.h"
#include "ui/support/uiharness.h"

using namespace paneltest;

namespace {

std::vector<std::string> listItems() {
    std::vector<std::string> items;
    const int count = int(SendMessageA(g_commentList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[512] = {};
        SendMessageA(g_commentList, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int listSelection() { return int(SendMessageA(g_commentList, CB_GETCURSEL, 0, 0)); }

class CommentPanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.started());
        std::vector<GifFrame> frames;
        frames.push_back(solidFrame(0xFF0000, 10, 10, 0, 0));
        frames.push_back(solidFrame(0x00FF00, 10, 10, 0, 0));
        setDocument(std::move(frames), 10, 10);
        showPropertyTab(2);
        panel = g_commentPanel;
    }
    // Gives frame 0 the comments and selects it as a user would.
    void selectWithComments(const std::vector<std::string>& comments) {
        g_document.frames[0].comments = comments;
        selectFrame(0);
        g_modified = false;
    }
    std::vector<std::string>& comments() { return g_document.frames[0].comments; }
    void click(int id) { press(panel, id); }
    void chooseItem(int index) {
        SendMessageA(g_commentList, CB_SETCURSEL, WPARAM(index), 0);
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(g_commentList));
    }

    AppSession session;
    HWND panel = nullptr;
};

TEST_F(CommentPanel, AddNumbersTheNewCommentAfterTheExistingOnes) {
    struct Case {
        std::vector<std::string> before;
        std::string added;
        std::string item;
    };
    const Case cases[] = {
        {{}, "Comment 1", "1. Comment 1"},
        {{"a", "b"}, "Comment 3", "3. Comment 3"},
        {{"x"}, "Comment 2", "2. Comment 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.added);
        selectWithComments(c.before);
        click(IDC_COMMENT_ADD);
        ASSERT_EQ(comments().size(), c.before.size() + 1);
        EXPECT_EQ(comments().back(), c.added);
        const std::vector<std::string> items = listItems();
        ASSERT_EQ(items.size(), c.before.size() + 1);
        EXPECT_EQ(items.back(), c.item);
        EXPECT_EQ(listSelection(), int(c.before.size()));
        EXPECT_EQ(textOf(panel, IDC_COMMENT_TEXT), c.added);
        EXPECT_TRUE(enabled(panel, IDC_COMMENT_LIST));
        EXPECT_TRUE(enabled(panel, IDC_COMMENT_TEXT));
        EXPECT_TRUE(g_modified);
    }
    EXPECT_TRUE(g_document.frames[1].comments.empty());
}

TEST_F(CommentPanel, DeleteRenumbersTheRestAndKeepsASelection) {
    struct Case {
        const char* name;
        std::vector<std::string> before;
        int deleted;
        std::vector<std::string> after;
        std::vector<std::string> items;
        int selected;
    };
    const Case cases[] = {
        {"first of three", {"a", "b", "c"}, 0, {"b", "c"}, {"1. b", "2. c"}, 0},
        {"middle of three", {"a", "b", "c"}, 1, {"a", "c"}, {"1. a", "2. c"}, 1},
        {"last of three", {"a", "b", "c"}, 2, {"a", "b"}, {"1. a", "2. b"}, 1},  // the new last item
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        selectWithComments(c.before);
        chooseItem(c.deleted);
        click(IDC_COMMENT_DELETE);
        EXPECT_EQ(comments(), c.after);
        EXPECT_EQ(listItems(), c.items);
        EXPECT_EQ(listSelection(), c.selected);
        EXPECT_EQ(textOf(panel, IDC_COMMENT_TEXT), c.after[size_t(c.selected)]);
        EXPECT_TRUE(enabled(panel, IDC_COMMENT_LIST));
        EXPECT_TRUE(g_modified);
    }
}

TEST_F(CommentPanel, DeletingTheLastCommentEmptiesAndDisablesTheControls) {
    selectWithComments({"only"});
    click(IDC_COMMENT_DELETE);
    EXPECT_TRUE(comments().empty());
    EXPECT_TRUE(listItems().empty());
    EXPECT_EQ(textOf(panel, IDC_COMMENT_TEXT), "");
    EXPECT_FALSE(enabled(panel, IDC_COMMENT_LIST));
    EXPECT_FALSE(enabled(panel, IDC_COMMENT_TEXT));
    EXPECT_TRUE(g_modified);

    // Delete with nothing left only marks the document.
    g_modified = false;
    click(IDC_COMMENT_DELETE);
    EXPECT_TRUE(comments().empty());
    EXPECT_TRUE(g_modified);
}

TEST_F(CommentPanel, NumbersFollowTheCountSoADeleteCanRepeatOne) {
    selectWithComments({});
    click(IDC_COMMENT_ADD);
    click(IDC_COMMENT_ADD);
    ASSERT_EQ(comments(), (std::vector<std::string>{"Comment 1", "Comment 2"}));
    chooseItem(0);
    click(IDC_COMMENT_DELETE);
    click(IDC_COMMENT_ADD);
    EXPECT_EQ(comments(), (std::vector<std::string>{"Comment 2", "Comment 2"}));
    EXPECT_EQ(listItems(), (std::vector<std::string>{"1. Comment 2", "2. Comment 2"}));
}

TEST_F(CommentPanel, EditedTextReachesTheFrameOnlyWhenTheEditLosesFocus) {
    selectWithComments({"a", "b"});
    chooseItem(1);
    typeText(panel, IDC_COMMENT_TEXT, "new text");
    EXPECT_EQ(comments()[1], "b") << "typing alone stored the text";
    leaveField(panel, IDC_COMMENT_TEXT);
    EXPECT_EQ(comments(), (std::vector<std::string>{"a", "new text"}));
    EXPECT_EQ(listItems(), (std::vector<std::string>{"1. a", "2. new text"}));
    EXPECT_EQ(listSelection(), 1);
    EXPECT_TRUE(g_modified);
}

TEST_F(CommentPanel, LongTextIsCutTo254Characters) {
    struct Case {
        size_t typed;
        size_t stored;
    };
    const Case cases[] = {{300, 254}, {255, 254}, {254, 254}, {253, 253}, {0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        selectWithComments({"short"});
        // A recognisable sequence, so a cut at the wrong end shows.
        std::string text;
        for (size_t i = 0; i < c.typed; ++i) text += char('a' + i % 26);
        typeText(panel, IDC_COMMENT_TEXT, text);
        leaveField(panel, IDC_COMMENT_TEXT);
        ASSERT_EQ(comments().size(), 1u);
        EXPECT_EQ(comments()[0], text.substr(0, c.stored));
        EXPECT_EQ(listItems()[0], "1. " + text.substr(0, c.stored));
    }
}

TEST_F(CommentPanel, SelectingACommentShowsItsText) {
    selectWithComments({"first", "second", "third"});
    EXPECT_EQ(textOf(panel, IDC_COMMENT_TEXT), "first");
    for (int i : {2, 0, 1}) {
        g_modified = false;
        chooseItem(i);
        EXPECT_EQ(textOf(panel, IDC_COMMENT_TEXT), comments()[size_t(i)]);
        EXPECT_TRUE(g_modified);
    }
}

TEST_F(CommentPanel, WithoutASelectedFrameNothingHappens) {
    SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(-1), 0);
    g_modified = false;
    click(IDC_COMMENT_ADD);
    click(IDC_COMMENT_DELETE);
    leaveField(panel, IDC_COMMENT_TEXT);
    EXPECT_FALSE(g_modified);
    for (const GifFrame& f : g_document.frames) EXPECT_TRUE(f.comments.empty());
}

TEST_F(CommentPanel, TheEditReachesToFourPixelsFromThePanelsEdges) {
    for (SIZE size : {SIZE{700, 90}, SIZE{500, 120}}) {
        SCOPED_TRACE(size.cx);
        SetWindowPos(panel, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        RECT edit;
        GetWindowRect(GetDlgItem(panel, IDC_COMMENT_TEXT), &edit);
        MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&edit), 2);
        EXPECT_EQ(edit.right, size.cx - 4);
        EXPECT_EQ(edit.bottom, size.cy - 4);
    }
}

TEST(CommentPanelSample, ShowsTheCommentsOfARealFile) {
    AppSession session;
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(readSampleGif());
    // Wide enough for the whole panel in the screenshot.
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 1000, 640, SWP_NOMOVE | SWP_NOZORDER);
    showPropertyTab(2);
    // The sample's frames carry one comment each (see imagepanel_test.cpp for its recipe).
    const char* expected[] = {"1. Velmora panels sample", "1. granite, moved right", "1. logo frame"};
    for (int i = 0; i < 3; ++i) {
        selectFrame(i);
        EXPECT_EQ(listItems(), std::vector<std::string>{expected[i]});
    }
    press(g_commentPanel, IDC_COMMENT_ADD);
    EXPECT_EQ(listItems(), (std::vector<std::string>{"1. logo frame", "2. Comment 2"}));
    EXPECT_FALSE(saveWindowScreenshot(g_mainWindow, "commentpanel-sample.png").empty());
}

}  // namespace
