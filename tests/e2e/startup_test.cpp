/*
 * Start-up of each deliverable as a user meets it: on the four supported
 * systems it runs with its hidden main window; elsewhere it refuses with its
 * "Install Error" box and ends with exit code 0; while another run holds the
 * run guard it ends at once with exit code 0.
 */
#include "refusal.h"
#include "wizard_fixture.h"
#include "profile/build_profile.h"

using namespace e2e;

namespace
{

class Startup : public Wizard
{
  protected:
    HWND WaitMainWindow(Process &run)
    {
        std::wstring cls = Wide(d.ClassName());
        return WaitForWindow(run.Id(), 15000, [&](HWND h) { return ClassOf(h) == cls; });
    }
};

} // namespace

// A supported system must get the hidden main window of the build's class
// and title, one of it, and nothing visible but the program's own dialogs.
TEST_F(Startup, SupportedSystemsRunWithOneHiddenMainWindow)
{
    for (const char *version : {"win2k", "winxp", "vista", "win7"})
    {
        SCOPED_TRACE(version);
        ASSERT_TRUE(SetWindowsVersion(version));
        ASSERT_TRUE(p.Start(d.program, d.folder));
        HWND main = WaitMainWindow(p);
        ASSERT_NE(main, nullptr) << "no main window";
        EXPECT_EQ(TextUtf8(main), Text(pagetext::kFinalCaption)) << "not the wizard's title";
        EXPECT_FALSE(IsWindowVisible(main));
        std::wstring cls = Wide(d.ClassName());
        int mainWindows = 0;
        for (HWND h : TopLevelWindows(p.Id(), false))
            if (ClassOf(h) == cls)
                mainWindows++;
            else if (IsWindowVisible(h))
            {
                EXPECT_EQ(ClassOf(h), L"#32770") << "visible window: " << TextUtf8(h);
            }
        EXPECT_EQ(mainWindows, 1);
        EXPECT_EQ(WaitForCaption(p.Id(), "Install Error", 300), nullptr);
        p.Kill();
    }
}

// Unsupported systems must be refused with the exact English box (stop icon)
// in every build, create no main window, and end with exit code 0 after OK.
TEST_F(Startup, UnsupportedSystemsAreRefused)
{
    for (const char *version : {"win2003", "win8", "nt40"})
    {
        SCOPED_TRACE(version);
        ASSERT_TRUE(SetWindowsVersion(version));
        ASSERT_TRUE(p.Start(d.program, d.folder));
        ExpectRefusedWithExitZero(p, d.ClassName(), 15000);
    }
    SetWindowsVersion("win7");
}

// A start while another run holds the guard must end with exit code 0
// before it creates a window of its own; once the guard is free again, a
// start must proceed to its main window.
TEST_F(Startup, HeldRunGuardEndsAStartThatProceedsOnceFree)
{
    HANDLE guard = CreateMutexA(NULL, FALSE, kRunGuardName);
    ASSERT_NE(guard, nullptr) << GetLastError();
    ASSERT_TRUE(p.Start(d.program, d.folder));
    DWORD code = 1234;
    int windows = 0;
    EXPECT_TRUE(WaitExitCountingWindows(p, 10000, &code, &windows)) << "still running";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(windows, 0) << "a window was created";
    CloseHandle(guard);

    ASSERT_TRUE(p.Start(d.program, d.folder));
    EXPECT_NE(WaitMainWindow(p), nullptr) << "the freed guard still stops a start";
}
