/*
 * The message dialog, the cancel question and the status window, shown from
 * the English resources linked into this test program and operated the way
 * a person would: the right template and icon for each type code, the
 * button pressed as the result, Escape and the close box as Cancel,
 * centring over the owner, and an honest failure when a template is missing.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ui_driver.h"
#include "app/setup_state.h"
#include "profile/resource.h"
#include "ui/message_dialog.h"
#include "tests/support/page_texts.h"

using namespace uitest;

namespace
{

class MessageDialogTest : public ::testing::Test
{
  protected:
    HWND owner = NULL;

    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        owner = MakeOwner(200, 150, 600, 400);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
    }
    static HWND MakeOwner(int x, int y, int w, int h)
    {
        return CreateWindowExA(0, "STATIC", "owner", WS_POPUP, x, y, w, h, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    }
};

INT_PTR ShowAndAct(HWND owner, const char *text, WORD type, ActionKind action, int id,
                   BoxSeen *seen)
{
    return DriveModal([&] { return ShowMessageDialog(owner, text, "Title of the box", type); },
                      {LookAtBox(seen, IDC_MESSAGE_TEXT, action, id)});
}

struct TypeCase
{
    WORD type;
    std::vector<int> buttons; /* in template order; the first is the default */
    LPCSTR icon;
};

/* Guards against a type code opening the wrong template or icon, a button
 * that does not return its own id, and a lost caption or text. */
TEST_F(MessageDialogTest, TypeSelectsTemplateIconAndEveryButtonReturnsItsId)
{
    const TypeCase cases[] = {
        {36, {IDYES, IDNO}, IDI_QUESTION},
        {16, {IDOK}, IDI_HAND},
        {0x32, {IDOK}, IDI_EXCLAMATION},
        {0x51, {IDOK, IDCANCEL}, IDI_APPLICATION},
        {0, {IDOK}, IDI_APPLICATION},
        {0x43, {IDYES, IDNO, IDCANCEL}, IDI_ASTERISK},
        {5, {IDRETRY, IDCANCEL}, IDI_APPLICATION},
    };
    for (const TypeCase &c : cases)
        for (int button : c.buttons)
        {
            SCOPED_TRACE(testing::Message() << "type " << c.type << " button " << button);
            BoxSeen seen;
            INT_PTR result = ShowAndAct(owner, "Some message.", c.type, ACT_CLICK, button, &seen);
            ASSERT_TRUE(seen.up);
            EXPECT_EQ(button, result);
            std::vector<int> sorted = c.buttons;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(sorted, seen.buttons);
            EXPECT_EQ(c.buttons[0], seen.defaultId);
            /* System icons are shared: every load gives the same handle. */
            EXPECT_EQ(LoadIconA(NULL, c.icon), seen.icon);
            EXPECT_EQ("Title of the box", seen.caption);
            EXPECT_EQ("Some message.", seen.text);
        }
}

/* Guards against Escape, the close box or Enter giving anything but what the
 * system message box gives: 2 even without a Cancel button, and the first
 * button for Enter. */
TEST_F(MessageDialogTest, KeyboardAndCloseBox)
{
    struct Case
    {
        WORD type;
        ActionKind action;
        int id;
        INT_PTR result;
    };
    const Case cases[] = {
        {36, ACT_KEY, VK_ESCAPE, IDCANCEL},  {36, ACT_CLOSE_BOX, 0, IDCANCEL},
        {16, ACT_KEY, VK_ESCAPE, IDCANCEL},  {16, ACT_CLOSE_BOX, 0, IDCANCEL},
        {36, ACT_KEY, VK_RETURN, IDYES},     {16, ACT_KEY, VK_RETURN, IDOK},
        {0x35, ACT_KEY, VK_RETURN, IDRETRY},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " action " << c.action);
        BoxSeen seen;
        EXPECT_EQ(c.result, ShowAndAct(owner, "Keys.", c.type, c.action, c.id, &seen));
        EXPECT_TRUE(seen.up);
    }
}

/* Guards against the cancel question using the wrong strings or type, and
 * against a No being taken as Yes. */
TEST_F(MessageDialogTest, ConfirmCancelAsksYesNoWithTheQuestionIcon)
{
    for (int answer : {IDYES, IDNO})
    {
        BoxSeen seen;
        EXPECT_EQ(answer, DriveModal([&] { return ConfirmCancel(owner); },
                                     {LookAtBox(&seen, IDC_MESSAGE_TEXT, ACT_CLICK, answer)}));
        EXPECT_EQ(pagetext::kQuestionTitle.english, seen.caption);
        EXPECT_EQ(pagetext::kConfirmCancel.english, seen.text);
        EXPECT_EQ(LoadIconA(NULL, IDI_QUESTION), seen.icon);
        EXPECT_EQ((std::vector<int>{IDYES, IDNO}), seen.buttons);
    }
}

/* Guards against a long message growing the dialog or being cut: the text
 * control keeps its size and holds the whole text, wrapped inside it. */
TEST_F(MessageDialogTest, LongTextWrapsWithoutGrowingTheDialog)
{
    std::string longText;
    while (longText.size() < 600)
        longText += "A long message that has to wrap inside its text control. ";
    BoxSeen shortSeen;
    BoxSeen longSeen;
    ShowAndAct(owner, "Short.", 16, ACT_CLICK, IDOK, &shortSeen);
    ShowAndAct(owner, longText.c_str(), 16, ACT_CLICK, IDOK, &longSeen);
    EXPECT_EQ(longText, longSeen.text);
    EXPECT_TRUE(EqualRect(&shortSeen.dialog, &longSeen.dialog));
    EXPECT_TRUE(EqualRect(&shortSeen.textControl, &longSeen.textControl));
    EXPECT_EQ(SS_LEFT, longSeen.textStyle & SS_TYPEMASK); /* left-aligned and word-wrapping */
}

/* Guards against centring on the screen instead of the owner, and against
 * an unequal overhang (or a move to the owner's corner) when the dialog is
 * larger than its owner. */
TEST_F(MessageDialogTest, CentredOverItsOwnerEvenWhenLarger)
{
    HWND small = MakeOwner(300, 250, 40, 20);
    ASSERT_NE(small, nullptr);
    for (HWND o : {owner, small})
    {
        BoxSeen seen;
        ShowAndAct(o, "Centred.", 16, ACT_CLICK, IDOK, &seen);
        RECT r = ScreenRect(o);
        LONG leftGap = seen.dialog.left - r.left;
        LONG rightGap = r.right - seen.dialog.right;
        LONG topGap = seen.dialog.top - r.top;
        LONG bottomGap = r.bottom - seen.dialog.bottom;
        /* Truncation toward zero moves an odd half pixel to the right or
         * bottom side: one more gap, or one more overhang. */
        EXPECT_LE(abs(rightGap - leftGap), 1) << leftGap << " " << rightGap;
        EXPECT_LE(abs(bottomGap - topGap), 1) << topGap << " " << bottomGap;
        if (o == small)
        {
            EXPECT_LT(leftGap, 0);
        }
    }
    DestroyWindow(small);
}

/* Guards against a cancel question that cannot be shown counting as Yes:
 * with no templates in the module the dialog fails with -1. */
TEST_F(MessageDialogTest, MissingTemplateFailsAndIsNeverYes)
{
    g_state.instance = GetModuleHandleA("kernel32.dll");
    SetLastError(0xdeadbeef);
    INT_PTR result = ShowMessageDialog(owner, "text", "title", 36);
    DWORD error = GetLastError();
    EXPECT_EQ(-1, result);
    /* Wine 8 reports ERROR_RESOURCE_TYPE_NOT_FOUND here, the module having no
     * dialog resources at all; a module with other dialogs gives
     * ERROR_RESOURCE_NAME_NOT_FOUND. */
    EXPECT_TRUE(error == ERROR_RESOURCE_TYPE_NOT_FOUND || error == ERROR_RESOURCE_NAME_NOT_FOUND)
        << error;
    EXPECT_NE(IDYES, LOWORD(ConfirmCancel(owner)));
    EXPECT_EQ(nullptr, ShowStatusWindow(owner, IDS_STATUS_READING));
}

/* Guards against the status window showing the wrong string, appearing
 * before its caller shows it, having a caption the user could close it by,
 * or not being centred over its owner. */
TEST_F(MessageDialogTest, StatusWindowShowsItsStringHiddenUntilShown)
{
    struct Case
    {
        WORD id;
        const char *text;
    };
    const Case cases[] = {{IDS_STATUS_READING, pagetext::kStatusReading.english},
                          {IDS_STATUS_WRITING, pagetext::kStatusWriting.english}};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.id);
        SetLastError(0xdeadbeef);
        HWND status = ShowStatusWindow(owner, c.id);
        ASSERT_NE(status, nullptr) << GetLastError();
        EXPECT_FALSE(IsWindowVisible(status));
        EXPECT_EQ(c.text, ItemText(status, IDC_STATUS_TEXT));
        EXPECT_EQ(0, GetWindowLongA(status, GWL_STYLE) & WS_CAPTION);
        EXPECT_EQ(owner, GetWindow(status, GW_OWNER));
        RECT o = ScreenRect(owner);
        RECT s = ScreenRect(status);
        EXPECT_LE(abs((s.left + s.right) - (o.left + o.right)), 1);
        EXPECT_LE(abs((s.top + s.bottom) - (o.top + o.bottom)), 1);
        ShowWindow(status, SW_SHOW);
        EXPECT_TRUE(IsWindowVisible(status));
        /* It ignores commands: only its owner's DestroyWindow ends it. */
        SendMessageA(status, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindow(status));
        EXPECT_TRUE(DestroyWindow(status));
    }
}

} // namespace
