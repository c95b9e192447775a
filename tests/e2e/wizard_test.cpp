/*
 * The wizard's walk as a user meets it, on each deliverable: the opening
 * status message for about a second, the welcome page with the build's
 * supported-systems text, Next and Back between the pages any number of
 * times, the cancel question (No keeps the page, Yes ends the wizard), the
 * final page's failure display, and the exit after it.
 */
#include "wizard_fixture.h"

using namespace e2e;

// The opening status must show 4027 for about one second and be gone when
// the welcome page opens; the welcome page must show the build's exact x86
// text, have Next focused and no picture button.
TEST_F(Wizard, OpeningStatusThenWelcomePage)
{
    ASSERT_TRUE(p.Start(d.program, d.folder));
    HWND status = WaitFor(kStatusMark, 20000);
    ASSERT_NE(status, nullptr) << "no status window";
    DWORD shown = GetTickCount();
    EXPECT_EQ(Text(pagetext::kStatusReading), ControlText(status, kStatusMark));
    EXPECT_EQ(0, GetWindowLongW(status, GWL_STYLE) & WS_CAPTION);

    HWND welcome = WaitFor(kWelcomeMark);
    ASSERT_NE(welcome, nullptr) << "no welcome page";
    DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 700u);
    EXPECT_LE(elapsed, 3000u);
    EXPECT_FALSE(IsWindow(status) && IsWindowVisible(status)) << "status window left open";

    EXPECT_EQ(WelcomeText(), ControlText(welcome, kWelcomeMark));
    EXPECT_FALSE(ControlVisible(welcome, IDC_PICTURE_BUTTON));
    ASSERT_NE(GetDlgItem(welcome, IDC_NEXT), nullptr);
    EXPECT_EQ(GetDlgItem(welcome, IDC_NEXT), FocusedControl(welcome)) << "Next is not focused";
}

// Next and Back must lead to the neighbouring page every time, each visit
// a fresh page, and the picture button must never show.
TEST_F(Wizard, NextAndBackWalkBothWaysRepeatedly)
{
    HWND page = StartToWelcome();
    ASSERT_NE(page, nullptr) << "no welcome page";
    const std::pair<int, int> walk[] = {
        /* button, the next page's mark */
        {IDC_NEXT, kModelMark}, {IDC_BACK, kWelcomeMark}, {IDC_NEXT, kModelMark},
        {IDC_NEXT, kPortMark},  {IDC_BACK, kModelMark},   {IDC_NEXT, kPortMark},
        {IDC_BACK, kModelMark}, {IDC_BACK, kWelcomeMark}, {IDC_NEXT, kModelMark},
        {IDC_NEXT, kPortMark},
    };
    int step = 0;
    for (const auto &m : walk)
    {
        SCOPED_TRACE(testing::Message() << "step " << step++);
        HWND next = Press(page, m.first, m.second);
        ASSERT_NE(next, nullptr) << "the page did not follow";
        EXPECT_FALSE(ControlVisible(next, IDC_PICTURE_BUTTON));
        if (m.second == kWelcomeMark)
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
        HWND page = StartToWelcome(); /* a new run each time */
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
