/*
 * The setup sequencer as the window procedure of a hidden window in this
 * test program, run by the test's own message loop: the opening status
 * message before the welcome page, and the install phase with its status
 * message, wait cursor, install, removal and second install, and the
 * outcome that reaches the final page.  The spooler is the stand-in that
 * keeps Windows' rules (rules_spooler.h), told to refuse a call where a
 * case needs an install to fail.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <strsafe.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "support/copy_harness.h"
#include "support/rules_spooler.h"
#include "support/ui_driver.h"
#include "tests/support/page_texts.h"
#include "app/setup_state.h"
#include "copy/lz_api.h"
#include "profile/build_profile.h"
#include "profile/common_texts.h"
#include "profile/resource.h"
#include "spooler/kept_records.h"
#include "spooler/registration.h"
#include "spooler/spooler_api.h"

using namespace uitest;

namespace
{

/* The spooler stand-in's world for every case: the model's files in the
 * driver directory, and what each install found when it called. */
struct InstallsSeen
{
    std::vector<DWORD> times; /* of each AddPrinterDriver */
    bool statusUpAtEveryInstall = true, capturedAtEveryInstall = true,
         waitCursorAtEveryInstall = true;
    HWND main = NULL;
};

InstallsSeen g_seen;

void LookAtInstall(const std::string &call, const void *)
{
    if (call.compare(0, 17, "AddPrinterDriver ") != 0)
        return;
    g_seen.times.push_back(GetTickCount());
    HWND status = FindThreadDialog(IDC_STATUS_TEXT, false);
    g_seen.statusUpAtEveryInstall &=
        status != NULL && ItemText(status, IDC_STATUS_TEXT) == pagetext::kStatusWriting.english;
    g_seen.capturedAtEveryInstall &= GetCapture() == g_seen.main;
    g_seen.waitCursorAtEveryInstall &= GetCursor() == LoadCursorA(NULL, IDC_WAIT);
}

class SequencerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        g_state.environment = kEnvironmentX86;
        g_state.driverVersion = 3;
        StringCchCopyA(g_state.modelName, sizeof(g_state.modelName), "Seq Model");
        StringCchCopyA(g_state.portName, sizeof(g_state.portName), "FILE:");
        StringCchCopyA(g_state.defaultDataType, sizeof(g_state.defaultDataType), "RAW");
        static const char kFiles[] = "SEQ.GPD\0SEQ.DLL\0";
        memcpy(g_state.dependentFiles, kFiles, sizeof(kFiles));
        ReleaseKeptRecords();
        UseSpooler();
    }
    void TearDown() override
    {
        g_spooler = &kWinSpooler;
    }

    /* The stand-in, empty but for the model's files. */
    static void UseSpooler()
    {
        rules::Reset();
        rules::World().files.insert(rules::World().files.end(),
                                    {g_profile.dataFileName, "SEQ.GPD", "SEQ.DLL"});
        rules::World().onCall = LookAtInstall;
        g_seen = InstallsSeen();
        g_spooler = &rules::kRulesSpooler;
    }

    /* The sequencer from `command` to its end; the main window must not
     * outlive it. */
    static INT_PTR Run(UINT command)
    {
        INT_PTR code = RunSequencer(command, &g_seen.main);
        EXPECT_FALSE(IsWindow(g_seen.main)) << "the main window outlived the final page";
        return code;
    }
};

/* The final page of a run that `completed` or not: its outcome, the
 * default-printer box shown only after success, no capture, no status. */
void ExpectFinal(const FinalSeen &seen, bool completed)
{
    EXPECT_EQ(completed ? pagetext::kInstallDone.english : pagetext::kInstallFailed.english,
              seen.outcome);
    EXPECT_EQ(completed, seen.boxVisible);
    EXPECT_FALSE(seen.captured) << "mouse still captured on the final page";
    EXPECT_FALSE(seen.statusOpen) << "status window left open";
}

/* What Windows sends the main window at a log-off or shut-down. */
void EndSession(LPARAM how)
{
    PostMessageA(g_seen.main, WM_QUERYENDSESSION, 0, how);
    PostMessageA(g_seen.main, WM_ENDSESSION, TRUE, how);
}

/* Guards against the fault where the final page reported success although
 * an install failed, against a second install (and a second error box)
 * after a refused first one, and against a missing removal between the two
 * installs or a wrong spacing of the timed steps. */
TEST_F(SequencerTest, InstallPhaseReportsTheLastInstall)
{
    struct Case
    {
        const char *name;
        int refusedPrinter; /* the AddPrinter call refused: 1st, 2nd, or none */
        bool reinstalls, completed;
    };
    const Case cases[] = {
        {"both installs register", 0, true, true},
        {"second install fails", 2, true, false},
        {"first install fails", 1, false, false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        UseSpooler();
        int printers = 0;
        rules::World().onCall = [&](const std::string &call, const void *record)
        {
            LookAtInstall(call, record);
            if (call == "AddPrinter Seq Model" && ++printers == c.refusedPrinter)
                rules::World().refuse["AddPrinter"] = ERROR_ACCESS_DENIED;
        };
        FinalSeen seen;
        DWORD start = GetTickCount();
        INT_PTR code = DriveModal([] { return Run(CMD_INSTALL); }, {LookAtFinal(&seen)});
        EXPECT_EQ(0, code);
        ASSERT_TRUE(seen.up) << "no final page";
        ExpectFinal(seen, c.completed);
        std::vector<std::string> expected = {"AddPrinterDriver Seq Model", "AddPrinter Seq Model"};
        if (c.reinstalls)
            expected.insert(expected.end(),
                            {"ClosePrinter Seq Model", "OpenPrinter Seq Model, all access",
                             "DeletePrinter Seq Model", "ClosePrinter Seq Model",
                             "DeletePrinterDriver Seq Model, Windows NT x86",
                             "AddPrinterDriver Seq Model", "AddPrinter Seq Model"});
        /* OK on a completed run's final page, box ticked: the default printer. */
        if (c.completed)
            expected.insert(expected.end(), {"ClosePrinter Seq Model", "OpenPrinter Seq Model",
                                             "ClosePrinter Seq Model"});
        ASSERT_EQ(expected, rules::World().calls);
        EXPECT_TRUE(g_seen.statusUpAtEveryInstall);
        EXPECT_TRUE(g_seen.capturedAtEveryInstall);
        EXPECT_TRUE(g_seen.waitCursorAtEveryInstall);
        /* 100 ms, then two seconds, then two more, whether or not the second
         * install ran (Wine's timers are late, never early; allow for a slow
         * machine above). */
        DWORD first = g_seen.times[0] - start;
        DWORD toFinal = seen.at - g_seen.times[0];
        EXPECT_GE(first, 80u);
        EXPECT_LE(first, 1000u);
        EXPECT_GE(toFinal, 3900u);
        EXPECT_LE(toFinal, 6500u);
        if (c.reinstalls)
        {
            DWORD between = g_seen.times[1] - g_seen.times[0];
            EXPECT_GE(between, 1900u);
            EXPECT_LE(between, 3500u);
        }
    }
}

/* Guards against a step Windows refuses (a driver file missing from the
 * driver directory, no administrator rights, a port the spooler does not
 * know) ending on the success page or showing its error box more than
 * once, against a printer pending deletion on its jobs, which the install
 * revives, ending on the failure page, and against a completed install
 * phase leaving anything but one driver and one printer. */
TEST_F(SequencerTest, InstallPhaseUnderWindowsRules)
{
    struct Case
    {
        const char *name;
        std::function<void(rules::SpoolerWorld &)> arrange;
        const char *box; /* the error box's text, or none */
        bool completed;
        std::vector<std::string> printers, drivers; /* afterwards */
    };
    const std::vector<std::string> model = {"Seq Model"}, none;
    const Case cases[] = {
        {"every file in place", [](rules::SpoolerWorld &) {}, nullptr, true, model, model},
        {"a dependent file missing", [](rules::SpoolerWorld &w) { w.files.pop_back(); },
         "Cannot add a printer driver!\r\n(System Error Code : 2)", false, none, none},
        {"not an administrator", [](rules::SpoolerWorld &w) { w.administrator = false; },
         "Cannot add a printer driver!\r\n(System Error Code : 5)", false, none, none},
        {"unknown port", [](rules::SpoolerWorld &w) { w.ports = {"COM1:"}; }, nullptr, false, none,
         model},
        {"name held by a printer pending deletion",
         [](rules::SpoolerWorld &w)
         {
             w.drivers = {"Seq Model"};
             w.printers = {{"Seq Model", "Seq Model", "FILE:", 1, true}};
         },
         nullptr, true, model, model},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        UseSpooler();
        rules::SpoolerWorld &world = rules::World();
        c.arrange(world);
        std::string boxText;
        FinalSeen seen;
        std::vector<Step> steps;
        if (c.box)
            steps.push_back(
                {0xFFFF, [&](HWND d) { boxText = ItemText(d, 0xFFFF); }, ACT_CLICK, IDOK});
        steps.push_back(LookAtFinal(&seen));
        size_t done = 0;
        EXPECT_EQ(0, DriveModal([] { return Run(CMD_INSTALL); }, steps, &done));
        EXPECT_EQ(steps.size(), done);
        EXPECT_EQ(c.box ? c.box : "", boxText);
        ExpectFinal(seen, c.completed);
        /* The second install runs only after a first one that registered. */
        EXPECT_EQ(c.completed ? 2 : 1, rules::CountCalls("AddPrinterDriver "));
        EXPECT_EQ(c.printers, rules::PrinterNames());
        EXPECT_EQ(c.drivers, world.drivers);
    }
}

/* Guards against the welcome page opening without the one-second status
 * message, the status window or the mouse capture outliving it, and a
 * cancelled run registering anything or ending with another code. */
TEST_F(SequencerTest, OpeningStatusThenWelcomeAndCancelEndsTheRun)
{
    std::string statusText;
    bool capturedUnderStatus = false, statusOpenAtWelcome = true, capturedAtWelcome = true;
    DWORD statusAt = 0, welcomeAt = 0;
    FinalSeen seen;
    std::vector<Step> steps = {
        {IDC_STATUS_TEXT,
         [&](HWND d)
         {
             statusAt = GetTickCount();
             statusText = ItemText(d, IDC_STATUS_TEXT);
             capturedUnderStatus = GetCapture() == g_seen.main;
         },
         ACT_NONE, 0},
        {IDC_WELCOME_TEXT,
         [&](HWND)
         {
             welcomeAt = GetTickCount();
             statusOpenAtWelcome = FindThreadDialog(IDC_STATUS_TEXT, false) != NULL;
             capturedAtWelcome = GetCapture() == g_seen.main;
         },
         ACT_CLICK, IDCANCEL},
        {IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDYES},
        LookAtFinal(&seen),
    };
    size_t done = 0;
    EXPECT_EQ(0, DriveModal([] { return Run(0); }, steps, &done));
    EXPECT_EQ(steps.size(), done);
    EXPECT_EQ(pagetext::kStatusReading.english, statusText);
    EXPECT_TRUE(capturedUnderStatus);
    EXPECT_GE(welcomeAt - statusAt, 800u);
    EXPECT_LE(welcomeAt - statusAt, 2500u);
    EXPECT_FALSE(statusOpenAtWelcome);
    EXPECT_FALSE(capturedAtWelcome);
    EXPECT_EQ(pagetext::kInstallFailed.english, seen.outcome);
    EXPECT_TRUE(rules::World().calls.empty()) << "a cancelled run touched the spooler";
    EXPECT_EQ(nullptr, g_state.statusWindow);
}

/* Guards against a log-off or shut-down that leaves the run half done: the
 * earlier printer deleted, a file shared with another driver replaced in
 * both folders, a kept copy left, the copy and the install going on after
 * the session's end, or the printer of the first install keeping the
 * earlier printer's name.  Windows sends WM_QUERYENDSESSION and
 * WM_ENDSESSION, which reach the window in the copy's drain of the queue
 * between files, or between the install phase's timers; posted here, they
 * arrive there at a known point. */
TEST_F(SequencerTest, SessionEndPutsTheRunBack)
{
    struct Case
    {
        const char *name;
        LPARAM how;
        size_t endsDuring; /* the file being copied when the session ends; 4:
                              between the two installs */
        int registered;    /* AddPrinterDriver and AddPrinter calls, the put-back's
                              included */
    };
    const Case cases[] = {
        {"log-off during the shared file", (LPARAM)ENDSESSION_LOGOFF, 1, 1},
        {"shut-down during the first file", 0, 0, 1},
        {"log-off between the two installs", (LPARAM)ENDSESSION_LOGOFF, 4, 2},
    };
    const std::vector<std::string> names = {"SEQ.GPD", "SHARED.DLL", "SEQ.DLL", "SEQ.INI"};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        copytest::Folders f("session" + std::to_string(&c - cases));
        for (const std::string &n : names)
            std::ofstream(f.src + n, std::ios::binary) << "new " + n;
        copytest::SetFiles(names, f.drv);
        for (const std::string &dir : {f.drv, f.drv + "3\\"})
            std::ofstream(dir + "SHARED.DLL", std::ios::binary) << "the other driver's SHARED.DLL";
        const std::map<std::string, std::string> filesBefore = copytest::DriverFiles(f.drv);

        /* A printer and driver of the model's name, which the port page
         * removed (and kept), and another driver sharing the file. */
        UseSpooler();
        rules::SpoolerWorld &world = rules::World();
        world.files.insert(world.files.end(), {"OLD.GPD", "SHARED.DLL", "SEQ.INI"});
        world.drivers = {"Seq Model", "Other Driver"};
        world.driverFields["Other Driver"].dependents = std::string("SHARED.DLL\0", 11);
        world.printers = {{"Seq Model", "Seq Model", "LPT1:", 0, false}};
        world.defaultPrinter = "Seq Model";
        const std::string spoolerBefore = rules::Describe(world);
        ASSERT_EQ(1, RemovePrinterAndDriver("Seq Model"));

        g_lz = &kLz32;
        copytest::CopyRun run;
        run.beforeFile = [&](HWND, size_t index)
        {
            if (index == c.endsDuring)
                EndSession(c.how);
        };
        copytest::Current() = &run;
        HHOOK hook =
            SetWindowsHookExA(WH_CALLWNDPROC, copytest::CallWndHook, NULL, GetCurrentThreadId());
        FinalSeen seen;
        std::vector<Step> steps = {LookAtFinal(&seen)};
        if (c.endsDuring == names.size())
            steps.insert(steps.begin(),
                         {IDC_STATUS_TEXT, [](HWND) { EndSession(0); }, ACT_NONE, 0});
        EXPECT_EQ(0, DriveModal([] { return Run(CMD_COPY_FILES); }, steps));
        UnhookWindowsHookEx(hook);
        copytest::Current() = nullptr;

        EXPECT_FALSE(seen.up) << "a final page after the session's end";
        EXPECT_EQ(std::vector<std::string>(
                      names.begin(), names.begin() + std::min(c.endsDuring + 1, names.size())),
                  run.shown)
            << "a file copied after the session's end";
        EXPECT_EQ(spoolerBefore, rules::Describe(world));
        /* The put-back's own, and nothing registered for the model. */
        EXPECT_EQ(c.registered, rules::CountCalls("AddPrinterDriver "));
        EXPECT_EQ(c.registered, rules::CountCalls("AddPrinter "));
        EXPECT_EQ(std::vector<std::string>(), copytest::NotPutBack(f.drv, filesBefore));
        EXPECT_EQ(c.endsDuring == names.size(), copytest::Exists(f.drv + names.back()));
        EXPECT_EQ(nullptr, g_state.keptRecords);
    }
}

} // namespace
