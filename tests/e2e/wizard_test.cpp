/*
 * The wizard's walk as a user meets it, on each deliverable: the opening
 * status message for about a second, the welcome page with the build's
 * supported-systems text, Next and Back between the pages any number of
 * times, the cancel question (No keeps the page, Yes ends the wizard), the
 * final page's failure display, and the exit after it.
 */
#include <gtest/gtest.h>

#include "driver.h"
#include "profile/resource.h"

using namespace e2e;

namespace
{

/* Control that tells one window of the wizard from the others. */
const int kStatusMark = IDC_STATUS_TEXT;
const int kWelcomeMark = IDC_WELCOME_TEXT;
const int kModelMark = IDC_MODEL_LIST;
const int kPortMark = IDC_PORT_LIST;
const int kFinalMark = IDC_SET_DEFAULT;
const int kQuestionMark = IDC_MESSAGE_TEXT;

const char kWelcomeWin7En[] = "Supported operating system:\r\n"
                              "\tWindows 7 Home x86\r\n"
                              "\tWindows 7 Professional x86\r\n"
                              "\tWindows 7 Ultimate x86\r\n"
                              "\r\n"
                              "Terminate all running applications before installing driver.";
const char kWelcomeVistaEn[] = "Supported operating system:\r\n"
                               "\tWindows Vista Home Basic x86\r\n"
                               "\tWindows Vista Home Premium x86\r\n"
                               "\tWindows Vista Enterprise x86\r\n"
                               "\tWindows Vista Business x86\r\n"
                               "\tWindows Vista Ultimate x86\r\n"
                               "\tWindows Vista Starter x86\r\n"
                               "\r\n"
                               "Terminate all running applications before installing driver.";
const char kWelcomeWin7Ko[] =
    "사용 가능한 운영체제:\r\n"
    "\tWindows 7 Home x86\r\n"
    "\tWindows 7 Professional x86\r\n"
    "\tWindows 7 Ultimate x86\r\n"
    "\r\n"
    "드라이버를 설치하기 전에 사용중인 응용 프로그램을 모두 종료하십시오.";
const char kWelcomeVistaKo[] =
    "사용 가능한 운영체제:\r\n"
    "\tWindows Vista Home Basic x86\r\n"
    "\tWindows Vista Home Premium x86\r\n"
    "\tWindows Vista Enterprise x86\r\n"
    "\tWindows Vista Business x86\r\n"
    "\tWindows Vista Ultimate x86\r\n"
    "\tWindows Vista Starter x86\r\n"
    "\r\n"
    "드라이버를 설치하기 전에 사용중인 응용 프로그램을 모두 종료하십시오.";

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

    const char *Text(const char *english, const char *korean) const
    {
        return d.Korean() ? korean : english;
    }
    std::string WelcomeText() const
    {
        bool win7 = d.systems == "win7";
        if (d.Korean())
            return win7 ? kWelcomeWin7Ko : kWelcomeVistaKo;
        return win7 ? kWelcomeWin7En : kWelcomeVistaEn;
    }

    /* A visible, enabled window of the program with that marker control
     * (enabled: a page under the cancel question does not count). */
    HWND WaitFor(int mark, DWORD timeoutMs = 10000)
    {
        return WaitForWindow(p.Id(), timeoutMs,
                             [mark](HWND h) {
                                 return IsWindowVisible(h) && IsWindowEnabled(h) &&
                                        GetDlgItem(h, mark) != NULL;
                             });
    }

    /* Starts the program and waits past the opening status to the welcome
     * page. */
    HWND StartToWelcome()
    {
        if (!p.Start(d.program, d.folder))
            return NULL;
        return WaitFor(kWelcomeMark, 20000);
    }

    /* Presses a button of a page and waits for the page to go and the next
     * window (by its marker) to come. */
    HWND Press(HWND page, int button, int nextMark)
    {
        if (!Click(page, button))
            return NULL;
        if (!WaitGone(page, 5000))
            return NULL;
        return WaitFor(nextMark);
    }

    /* Cancel on a page, then the answer to the question.  Checks the
     * question's texts; returns the question window that was answered. */
    HWND CancelAndAnswer(HWND page, int answer)
    {
        if (!Click(page, IDCANCEL))
            return NULL;
        HWND question = WaitFor(kQuestionMark, 5000);
        if (question == NULL)
            return NULL;
        EXPECT_EQ(Text("Question", "질문"), TextUtf8(question));
        EXPECT_EQ(Text("Are you sure you want to cancel QXV driver installation?",
                       "프린터 드라이버 설치를 종료하시겠습니까?"),
                  ControlText(question, IDC_MESSAGE_TEXT));
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
        EXPECT_EQ(Text("Printer Driver Setup", "프린터 드라이버 설치"), TextUtf8(final));
        EXPECT_EQ(Text("The Installation has failed.", "설치를 중지합니다."),
                  ControlText(final, IDC_OUTCOME_TEXT));
        EXPECT_TRUE(StaticShowsSystemIcon(GetDlgItem(final, IDC_MESSAGE_ICON), 32513))
            << "not the stop icon";
        EXPECT_FALSE(ControlVisible(final, IDC_SET_DEFAULT));
        EXPECT_FALSE(ControlVisible(final, IDC_PICTURE_BUTTON));
        EXPECT_NE(std::string::npos, ControlText(final, IDC_COPYRIGHT).find("Copyright"));
        if (useEscape)
            PressKey(final, VK_ESCAPE);
        else
            Click(final, IDOK);
        DWORD code = 0xdeadbeef;
        ASSERT_TRUE(p.WaitExit(10000, &code)) << "still running after the final page";
        EXPECT_EQ(0u, code);
    }
};

} // namespace

// The opening status must show 4027 for about one second and be gone when
// the welcome page opens; the welcome page must show the build's exact x86
// text, have Next focused and no picture button.
TEST_F(Wizard, OpeningStatusThenWelcomePage)
{
    ASSERT_TRUE(p.Start(d.program, d.folder));
    HWND status = WaitForWindow(
        p.Id(), 20000,
        [](HWND h) { return IsWindowVisible(h) && GetDlgItem(h, kStatusMark) != NULL; });
    ASSERT_NE(status, nullptr) << "no status window";
    DWORD shown = GetTickCount();
    EXPECT_EQ(Text("Reading setup information...", "설치 정보를 읽고 있습니다..."),
              ControlText(status, kStatusMark));
    EXPECT_EQ(0, GetWindowLongW(status, GWL_STYLE) & WS_CAPTION);

    HWND welcome = WaitFor(kWelcomeMark);
    ASSERT_NE(welcome, nullptr) << "no welcome page";
    DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 700u);
    EXPECT_LE(elapsed, 3000u);
    EXPECT_FALSE(IsWindow(status) && IsWindowVisible(status)) << "status window left open";

    EXPECT_EQ(WelcomeText(), ControlText(welcome, kWelcomeMark));
    EXPECT_FALSE(ControlVisible(welcome, IDC_PICTURE_BUTTON));
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(welcome, NULL), &gui));
    EXPECT_EQ(GetDlgItem(welcome, IDC_NEXT), gui.hwndFocus) << "Next is not focused";
    p.Kill();
}

// Next and Back must lead to the neighbouring page every time, each visit
// a fresh page, and the picture button must never show.
TEST_F(Wizard, NextAndBackWalkBothWaysRepeatedly)
{
    HWND page = StartToWelcome();
    ASSERT_NE(page, nullptr) << "no welcome page";
    struct Move
    {
        int button;
        int nextMark;
    };
    const Move walk[] = {
        {IDC_NEXT, kModelMark}, {IDC_BACK, kWelcomeMark}, {IDC_NEXT, kModelMark},
        {IDC_NEXT, kPortMark},  {IDC_BACK, kModelMark},   {IDC_NEXT, kPortMark},
        {IDC_BACK, kModelMark}, {IDC_BACK, kWelcomeMark}, {IDC_NEXT, kModelMark},
        {IDC_NEXT, kPortMark},
    };
    int step = 0;
    for (const Move &m : walk)
    {
        SCOPED_TRACE(testing::Message() << "step " << step++);
        HWND next = Press(page, m.button, m.nextMark);
        ASSERT_NE(next, nullptr) << "the page did not follow";
        EXPECT_FALSE(ControlVisible(next, IDC_PICTURE_BUTTON));
        if (m.nextMark == kWelcomeMark)
        {
            EXPECT_EQ(WelcomeText(), ControlText(next, kWelcomeMark));
        }
        page = next;
    }
    /* Leave through the cancel question, which must end the program. */
    ASSERT_NE(CancelAndAnswer(page, IDYES), nullptr);
    ExpectFailedFinalPageAndExit(false);
}

// No to the cancel question must leave each page open and working; Yes must
// go straight to the final page's failure display, from whichever page.
TEST_F(Wizard, CancelNoKeepsThePageYesEndsAtTheFailedFinalPage)
{
    for (int where : {kWelcomeMark, kModelMark, kPortMark})
    {
        SCOPED_TRACE(testing::Message() << "cancel on the page marked " << where);
        /* A new run each time: the ended run's handles go to `ended`, which
         * closes them at the end of the iteration. */
        Process ended;
        std::swap(p.info, ended.info);
        HWND page = StartToWelcome();
        ASSERT_NE(page, nullptr) << "no welcome page";
        if (where != kWelcomeMark)
            page = Press(page, IDC_NEXT, kModelMark);
        if (where == kPortMark)
            page = Press(page, IDC_NEXT, kPortMark);
        ASSERT_NE(page, nullptr);

        ASSERT_NE(CancelAndAnswer(page, IDNO), nullptr) << "no cancel question";
        EXPECT_TRUE(IsWindow(page) && IsWindowVisible(page)) << "No closed the page";
        EXPECT_EQ(page, WaitFor(where, 2000));
        EXPECT_EQ(nullptr, WaitFor(kFinalMark, 300));

        ASSERT_NE(CancelAndAnswer(page, IDYES), nullptr);
        /* Escape on the final page ends it like OK. */
        ExpectFailedFinalPageAndExit(where == kModelMark);
    }
}
