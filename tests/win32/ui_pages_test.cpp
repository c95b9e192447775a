/*
 * The wizard pages shown from the English resources linked into this test
 * program and operated through their buttons and keys: the results each
 * page ends with, the cancel question that guards Cancel, the welcome
 * text, and the final page's outcome display and default-printer box.  The
 * spooler is replaced by a recording table so that the default-printer
 * request can be seen without a printer.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <strsafe.h>

#include <string>
#include <vector>

#include "support/ui_driver.h"
#include "app/setup_state.h"
#include "app/startup.h"
#include "profile/build_profile.h"
#include "profile/common_texts.h"
#include "profile/resource.h"
#include "spooler/spooler_api.h"
#include "ui/pages.h"

using namespace uitest;

namespace
{

std::vector<std::string> g_openedPrinters;

/* Records the printer the default-printer request opens, and refuses it. */
BOOL WINAPI RecordOpenPrinter(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA)
{
    g_openedPrinters.push_back(name ? name : "");
    *printer = NULL;
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
}

SpoolerApi g_recordingSpooler;

class PagesTest : public ::testing::Test
{
  protected:
    HWND owner = NULL;

    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        g_state.environment = kEnvironmentX86;
        StringCchCopyA(g_state.modelName, sizeof(g_state.modelName), "Test Model 270");
        g_recordingSpooler = kWinSpooler;
        g_recordingSpooler.openPrinter = RecordOpenPrinter;
        g_spooler = &g_recordingSpooler;
        g_openedPrinters.clear();
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        /* Like the hidden main window: the desktop's rectangle. */
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, desktop.left, desktop.top,
                                desktop.right, desktop.bottom, NULL, NULL, g_state.instance, NULL);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override
    {
        g_spooler = &kWinSpooler;
        DestroyWindow(owner);
    }
};

typedef INT_PTR (*PageRunner)(HWND);

struct PageCase
{
    const char *name;
    PageRunner run;
    int mark;    /* a control only this page has */
    int focusId; /* the control focused when it opens */
    bool hasBack;
};

const PageCase kPages[] = {
    {"welcome", RunWelcomePage, IDC_WELCOME_TEXT, IDC_NEXT, false},
    {"model", RunModelPage, IDC_MODEL_LIST, IDC_MODEL_LIST, true},
    {"port", RunPortPage, IDC_PORT_LIST, IDC_PORT_LIST, true},
};

/* Guards against Next or Back ending a page with the wrong result, a page
 * setting no focus (it answers 0 to WM_INITDIALOG) or focusing the wrong
 * control, and the hidden picture button showing. */
TEST_F(PagesTest, NextAndBackEndThePagesWithTheirResults)
{
    for (const PageCase &page : kPages)
    {
        SCOPED_TRACE(page.name);
        HWND focus = NULL;
        HWND expectedFocus = (HWND)1;
        bool pictureVisible = true;
        std::vector<Step> steps = {{page.mark,
                                    [&](HWND d)
                                    {
                                        focus = GetFocus();
                                        expectedFocus = GetDlgItem(d, page.focusId);
                                        pictureVisible =
                                            IsWindowVisible(GetDlgItem(d, IDC_PICTURE_BUTTON));
                                    },
                                    ACT_CLICK, IDC_NEXT}};
        EXPECT_EQ(IDC_NEXT, DriveModal([&] { return page.run(owner); }, steps));
        EXPECT_EQ(expectedFocus, focus);
        EXPECT_FALSE(pictureVisible);
        if (page.hasBack)
        {
            steps = {{page.mark, nullptr, ACT_CLICK, IDC_BACK}};
            EXPECT_EQ(IDC_BACK, DriveModal([&] { return page.run(owner); }, steps));
        }
    }
}

/* Guards against Cancel ending a page without asking, No ending it anyway,
 * and Escape or the close box bypassing the question. */
TEST_F(PagesTest, CancelEndsThePageOnlyWhenTheQuestionIsAnsweredYes)
{
    for (const PageCase &page : kPages)
    {
        SCOPED_TRACE(page.name);
        bool stillUp = false;
        std::string question;
        std::vector<Step> steps = {
            {page.mark, nullptr, ACT_CLICK, IDCANCEL},
            {IDC_MESSAGE_TEXT, [&](HWND d) { question = ItemText(d, IDC_MESSAGE_TEXT); }, ACT_CLICK,
             IDNO},
            {page.mark, [&](HWND) { stillUp = true; }, ACT_KEY, VK_ESCAPE},
            {IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDNO},
            {page.mark, nullptr, ACT_CLOSE_BOX, 0},
            {IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDYES},
        };
        size_t done = 0;
        EXPECT_EQ(IDCANCEL, DriveModal([&] { return page.run(owner); }, steps, &done));
        EXPECT_EQ(steps.size(), done);
        EXPECT_TRUE(stillUp);
        EXPECT_EQ("Are you sure you want to cancel QXV driver installation?", question);
    }
}

/* Guards against the welcome page showing the x64 text in the x86
 * environment (or the template's placeholder), and against the page not
 * being centred over its owner. */
TEST_F(PagesTest, WelcomeTextFollowsTheEnvironment)
{
    struct Case
    {
        const char *environment;
        const char *text;
    };
    const Case cases[] = {{kEnvironmentX86, g_profile.welcomeTexts[0]},
                          {kEnvironmentX64, g_profile.welcomeTexts[1]}};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.environment);
        g_state.environment = c.environment;
        std::string shown;
        RECT page = {0, 0, 0, 0};
        std::vector<Step> steps = {{IDC_WELCOME_TEXT,
                                    [&](HWND d)
                                    {
                                        shown = ItemText(d, IDC_WELCOME_TEXT);
                                        page = ScreenRect(d);
                                    },
                                    ACT_CLICK, IDC_NEXT}};
        DriveModal([&] { return RunWelcomePage(owner); }, steps);
        EXPECT_EQ(c.text, shown);
        RECT o = ScreenRect(owner);
        EXPECT_LE(abs((page.left + page.right) - (o.left + o.right)), 1);
        EXPECT_LE(abs((page.top + page.bottom) - (o.top + o.bottom)), 1);
    }
}

/* What the final page showed while it was up. */
struct FinalSeen
{
    std::string caption;
    std::string outcome;
    std::string copyright;
    HICON icon = NULL;
    bool boxVisible = false;
    bool boxTicked = false;
    bool okFocused = false;
};

FinalSeen LookAtFinal(HWND d)
{
    FinalSeen s;
    s.caption = WindowText(d);
    s.outcome = ItemText(d, IDC_OUTCOME_TEXT);
    s.copyright = ItemText(d, IDC_COPYRIGHT);
    s.icon = (HICON)SendDlgItemMessageA(d, IDC_MESSAGE_ICON, STM_GETICON, 0, 0);
    s.boxVisible = IsWindowVisible(GetDlgItem(d, IDC_SET_DEFAULT)) != 0;
    s.boxTicked = IsDlgButtonChecked(d, IDC_SET_DEFAULT) == BST_CHECKED;
    s.okFocused = GetFocus() == GetDlgItem(d, IDOK);
    return s;
}

/* Guards against a failed run offered the default-printer box or shown the
 * success text or icon (only outcome 1 is success), the caption left as the
 * wizard's, and the outcome not kept for the OK button. */
TEST_F(PagesTest, FinalPageShowsTheOutcome)
{
    struct Case
    {
        WORD outcome;
        bool completed;
    };
    const Case cases[] = {{1, true}, {2, false}, {0, false}, {3, false}, {0x101, false}};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.outcome);
        FinalSeen seen;
        std::vector<Step> steps = {
            {IDC_SET_DEFAULT, [&](HWND d) { seen = LookAtFinal(d); }, ACT_KEY, VK_ESCAPE}};
        EXPECT_EQ(IDOK, DriveModal([&] { return RunFinalPage(owner, c.outcome); }, steps));
        EXPECT_EQ(c.outcome, g_state.messageType);
        EXPECT_EQ(GetWindowTitle(), seen.caption);
        EXPECT_EQ(c.completed ? "The Installation has done successfully."
                              : "The Installation has failed.",
                  seen.outcome);
        EXPECT_EQ(LoadIconA(NULL, c.completed ? IDI_ASTERISK : IDI_HAND), seen.icon);
        EXPECT_EQ(c.completed, seen.boxVisible);
        EXPECT_EQ(c.completed, seen.boxTicked);
        EXPECT_EQ(GetCopyrightNotice(), seen.copyright);
        EXPECT_TRUE(seen.okFocused);
    }
    EXPECT_TRUE(g_openedPrinters.empty()) << "Escape asked for the default printer";
}

/* Guards against the default printer being set when the box is unticked,
 * when the run failed, or on Escape, and against it not being set (or set
 * to another name) when the user leaves the box ticked and presses OK. */
TEST_F(PagesTest, FinalPageSetsTheDefaultPrinterOnlyWhenAskedTo)
{
    struct Case
    {
        const char *name;
        WORD outcome;
        bool untick;
        ActionKind action;
        int id;
        bool expectRequest;
    };
    const Case cases[] = {
        {"ticked, OK", 1, false, ACT_CLICK, IDOK, true},
        {"ticked, Enter on OK", 1, false, ACT_KEY, VK_RETURN, true},
        {"unticked, OK", 1, true, ACT_CLICK, IDOK, false},
        {"ticked, Escape", 1, false, ACT_KEY, VK_ESCAPE, false},
        {"ticked, close box", 1, false, ACT_CLOSE_BOX, 0, false},
        {"failed, OK", 2, false, ACT_CLICK, IDOK, false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        g_openedPrinters.clear();
        std::vector<Step> steps;
        if (c.untick)
            steps.push_back({IDC_SET_DEFAULT, nullptr, ACT_CLICK, IDC_SET_DEFAULT});
        steps.push_back({IDC_SET_DEFAULT, nullptr, c.action, c.id});
        EXPECT_EQ(IDOK, DriveModal([&] { return RunFinalPage(owner, c.outcome); }, steps));
        if (c.expectRequest)
        {
            EXPECT_EQ(std::vector<std::string>{"Test Model 270"}, g_openedPrinters);
        }
        else
        {
            EXPECT_TRUE(g_openedPrinters.empty());
        }
    }
}

} // namespace
