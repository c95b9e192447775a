/*
 * The wizard as the end-to-end tests drive it: start the deliverable, wait
 * for each window by a control only it has, press buttons, answer the
 * cancel question, and check the final page.  Shared by the walk tests.
 */
#ifndef SETUP_E2E_WIZARD_FIXTURE_H
#define SETUP_E2E_WIZARD_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "profile/resource.h"
#include "tests/support/page_texts.h"

namespace e2e
{

/* Control that tells one window of the wizard from the others. */
inline const int kStatusMark = IDC_STATUS_TEXT, kWelcomeMark = IDC_WELCOME_TEXT,
                 kModelMark = IDC_MODEL_LIST, kPortMark = IDC_PORT_LIST,
                 kFinalMark = IDC_SET_DEFAULT, kQuestionMark = IDC_MESSAGE_TEXT;

class Wizard : public ::testing::Test
{
  protected:
    Deliverable d;
    Process p;

    void SetUp() override
    {
        if (!d.Load())
            GTEST_SKIP() << "SETUP_PROGRAM, SETUP_LANG, SETUP_MODEL or SETUP_SYSTEMS not set";
        ASSERT_TRUE(SetWindowsVersion("win7"));
    }

    const char *Text(const pagetext::Text &text) const
    {
        return d.Korean() ? text.korean : text.english;
    }
    std::string WelcomeText() const
    {
        return Text(d.systems == "win7" ? pagetext::kWelcomeWin7 : pagetext::kWelcomeVista);
    }

    /* A visible, enabled window of the program with that marker control
     * (enabled: a page under the cancel question does not count). */
    HWND WaitFor(int mark, DWORD timeoutMs = 10000)
    {
        auto marked = [mark](HWND h)
        { return IsWindowVisible(h) && IsWindowEnabled(h) && GetDlgItem(h, mark) != NULL; };
        return WaitForWindow(p.Id(), timeoutMs, marked);
    }

    /* Starts the program (from `folder`, a copy of the package, when given)
     * and waits past the opening status to the welcome page. */
    HWND StartToWelcome(std::string folder = "")
    {
        folder = folder.empty() ? d.folder : folder;
        std::string exe = d.program.substr(d.folder.size() + 1);
        return p.Start(folder + "\\" + exe, folder) ? WaitFor(kWelcomeMark, 20000) : NULL;
    }

    /* The program ends with exit code 0 once its last page is left. */
    void ExpectExit()
    {
        DWORD code = 0xdeadbeef;
        ASSERT_TRUE(p.WaitExit(10000, &code)) << "still running after the final page";
        EXPECT_EQ(0u, code);
    }

    /* Presses a button of a page and waits for the page to go and the next
     * window (by its marker) to come. */
    HWND Press(HWND page, int button, int nextMark)
    {
        return Click(page, button) && WaitGone(page, 5000) ? WaitFor(nextMark) : NULL;
    }

    /* Cancel on a page, then the answer to the question.  Checks the
     * question's texts; returns the question window that was answered. */
    HWND CancelAndAnswer(HWND page, int answer)
    {
        HWND question = Click(page, IDCANCEL) ? WaitFor(kQuestionMark, 5000) : NULL;
        if (question == NULL)
            return NULL;
        EXPECT_EQ(Text(pagetext::kQuestionTitle), TextUtf8(question));
        EXPECT_EQ(Text(pagetext::kConfirmCancel), ControlText(question, IDC_MESSAGE_TEXT));
        EXPECT_TRUE(StaticShowsSystemIcon(GetDlgItem(question, IDC_MESSAGE_ICON), 32514));
        EXPECT_FALSE(IsWindowEnabled(page)) << "the question is not modal to the page";
        Click(question, answer);
        EXPECT_TRUE(WaitGone(question, 5000));
        return question;
    }

    /* The final page after a cancel, left by Escape or OK; the program must
     * then end with exit code 0. */
    void ExpectFailedFinalPageAndExit(bool useEscape)
    {
        HWND final = WaitFor(kFinalMark);
        ASSERT_NE(final, nullptr) << "no final page";
        EXPECT_EQ(Text(pagetext::kFinalCaption), TextUtf8(final));
        EXPECT_EQ(Text(pagetext::kInstallFailed), ControlText(final, IDC_OUTCOME_TEXT));
        EXPECT_TRUE(StaticShowsSystemIcon(GetDlgItem(final, IDC_MESSAGE_ICON), 32513))
            << "not the stop icon";
        EXPECT_FALSE(ControlVisible(final, IDC_SET_DEFAULT));
        EXPECT_FALSE(ControlVisible(final, IDC_PICTURE_BUTTON));
        EXPECT_NE(std::string::npos, ControlText(final, IDC_COPYRIGHT).find("Copyright"));
        useEscape ? PressKey(final, VK_ESCAPE) : (void)Click(final, IDOK);
        ExpectExit();
    }
};

} // namespace e2e

#endif
