/*
 * The setup sequencer as the window procedure of a hidden window in this
 * test program, run by the test's own message loop: the opening status
 * message before the welcome page, and the install phase with its status
 * message, wait cursor, install, removal and second install, and the
 * outcome that reaches the final page.  The spooler is replaced by a
 * scripted table, so that each install can be made to succeed or fail, and
 * by the stand-in that keeps Windows' rules (rules_spooler.h).
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <strsafe.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/copy_harness.h"
#include "support/rules_spooler.h"
#include "support/ui_driver.h"
#include "app/sequencer.h"
#include "app/setup_state.h"
#include "copy/lz_api.h"
#include "profile/build_profile.h"
#include "profile/common_texts.h"
#include "profile/resource.h"
#include "spooler/registration.h"
#include "spooler/spooler_api.h"

using namespace uitest;

namespace
{

/* What the fake spooler saw, and how each printer registration answers. */
struct SpoolerScript
{
    std::vector<bool> printerAnswers; /* one per AddPrinter, in order */
    size_t printersAdded = 0;
    std::vector<std::string> calls;
    std::vector<DWORD> callTimes;
    bool statusUpAtEveryInstall = true;
    bool capturedAtEveryInstall = true;
    bool waitCursorAtEveryInstall = true;
    HWND main = NULL;
};

SpoolerScript g_script;

void NoteCall(const std::string &call)
{
    g_script.calls.push_back(call);
    g_script.callTimes.push_back(GetTickCount());
}

BOOL WINAPI FakeAddPrinterDriver(LPSTR, DWORD, LPBYTE)
{
    NoteCall("driver");
    HWND status = FindThreadDialog(IDC_STATUS_TEXT, false);
    if (status == NULL || ItemText(status, IDC_STATUS_TEXT) != "Writing system information...")
        g_script.statusUpAtEveryInstall = false;
    if (GetCapture() != g_script.main)
        g_script.capturedAtEveryInstall = false;
    if (GetCursor() != LoadCursorA(NULL, IDC_WAIT))
        g_script.waitCursorAtEveryInstall = false;
    return TRUE;
}

HANDLE WINAPI FakeAddPrinter(LPSTR, DWORD, LPBYTE)
{
    NoteCall("printer");
    size_t i = g_script.printersAdded++;
    bool ok = i < g_script.printerAnswers.size() && g_script.printerAnswers[i];
    return ok ? (HANDLE)0x1234 : NULL;
}

BOOL WINAPI FakeClosePrinter(HANDLE)
{
    return TRUE;
}

/* There is never an earlier printer to remove: the removal answers 1. */
BOOL WINAPI FakeOpenPrinter(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA)
{
    NoteCall(std::string("open ") + name);
    *printer = NULL;
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
}

SpoolerApi g_fakeSpooler;

void WriteNew(const std::string &path, const std::string &text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL);
    CloseHandle(file);
}

const char kClassName[] = "UiSequencerTestWindow";

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
        g_fakeSpooler = kWinSpooler;
        g_fakeSpooler.addPrinterDriver = FakeAddPrinterDriver;
        g_fakeSpooler.addPrinter = FakeAddPrinter;
        g_fakeSpooler.closePrinter = FakeClosePrinter;
        g_fakeSpooler.openPrinter = FakeOpenPrinter;
        g_spooler = &g_fakeSpooler;
        g_script = SpoolerScript();

        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.lpfnWndProc = SetupSequencer;
        wc.hInstance = g_state.instance;
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
    }
    void TearDown() override
    {
        g_spooler = &kWinSpooler;
    }

    /* Creates the hidden main window and runs the message loop until the
     * quit message; returns its code.  With a command (the install's, the
     * copy's) the opening timer is stopped and that command posted at
     * once; with 0 the run starts at the opening status message. */
    static INT_PTR RunSequencer(UINT command)
    {
        g_state.sessionEnded = 0;
        g_state.runFinished = 0;
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        HWND hwnd = CreateWindowExA(0, kClassName, "Sequencer under test", WS_OVERLAPPEDWINDOW,
                                    desktop.left, desktop.top, desktop.right, desktop.bottom, NULL,
                                    NULL, g_state.instance, NULL);
        if (hwnd == NULL)
            return -100;
        g_script.main = hwnd;
        if (command != 0)
        {
            KillTimer(hwnd, TIMER_OPEN_STATUS);
            PostMessageA(hwnd, WM_COMMAND, command, 0);
        }
        MSG msg;
        DWORD start = GetTickCount();
        while (GetMessageA(&msg, NULL, 0, 0) > 0)
        {
            DispatchMessageA(&msg);
            if (GetTickCount() - start > 30000 && IsWindow(hwnd))
                DestroyWindow(hwnd); /* never hang the suite */
        }
        EXPECT_FALSE(IsWindow(hwnd)) << "the main window outlived the final page";
        return msg.wParam;
    }
};

/* What the final page showed. */
struct FinalSeen
{
    bool up = false;
    std::string outcome;
    bool boxVisible = false;
    bool captured = true;
    bool statusOpen = true;
    DWORD at = 0;
};

Step LookAtFinalAndLeave(FinalSeen *seen)
{
    return {IDC_SET_DEFAULT,
            [seen](HWND d)
            {
                seen->up = true;
                seen->at = GetTickCount();
                seen->outcome = ItemText(d, IDC_OUTCOME_TEXT);
                seen->boxVisible = IsWindowVisible(GetDlgItem(d, IDC_SET_DEFAULT)) != 0;
                seen->captured = GetCapture() == g_script.main;
                seen->statusOpen = FindThreadDialog(IDC_STATUS_TEXT, false) != NULL;
            },
            ACT_CLICK, IDOK};
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
        std::vector<bool> printerAnswers;
        bool reinstalls, completed;
    };
    const Case cases[] = {
        {"both installs register", {true, true}, true, true},
        {"second install fails", {true, false}, true, false},
        {"first install fails", {false, true}, false, false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        g_script = SpoolerScript();
        g_script.printerAnswers = c.printerAnswers;
        FinalSeen seen;
        DWORD start = GetTickCount();
        INT_PTR code =
            DriveModal([] { return RunSequencer(CMD_INSTALL); }, {LookAtFinalAndLeave(&seen)});
        EXPECT_EQ(0, code);
        ASSERT_TRUE(seen.up) << "no final page";
        EXPECT_EQ(c.completed ? "The Installation has done successfully."
                              : "The Installation has failed.",
                  seen.outcome);
        EXPECT_EQ(c.completed, seen.boxVisible);
        EXPECT_FALSE(seen.captured) << "mouse still captured on the final page";
        EXPECT_FALSE(seen.statusOpen) << "status window left open";

        std::vector<std::string> expected = {"driver", "printer"};
        if (c.reinstalls)
            expected.insert(expected.end(), {"open Seq Model", "driver", "printer"});
        /* OK on a completed run's final page, box ticked: the default printer. */
        if (c.completed)
            expected.push_back("open Seq Model");
        ASSERT_EQ(expected, g_script.calls);
        EXPECT_TRUE(g_script.statusUpAtEveryInstall);
        EXPECT_TRUE(g_script.capturedAtEveryInstall);
        EXPECT_TRUE(g_script.waitCursorAtEveryInstall);
        /* 100 ms, then two seconds, then two more, whether or not the second
         * install ran (Wine's timers are late, never early; allow for a slow
         * machine above). */
        DWORD first = g_script.callTimes[0] - start;
        DWORD toFinal = seen.at - g_script.callTimes[0];
        EXPECT_GE(first, 80u);
        EXPECT_LE(first, 1000u);
        EXPECT_GE(toFinal, 3900u);
        EXPECT_LE(toFinal, 6500u);
        if (c.reinstalls)
        {
            DWORD between = g_script.callTimes[3] - g_script.callTimes[0];
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
    static const char kFiles[] = "SEQ.GPD\0SEQ.DLL\0";
    memcpy(g_state.dependentFiles, kFiles, sizeof(kFiles));
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        rules::Reset();
        rules::SpoolerWorld &world = rules::World();
        world.files.insert(world.files.end(), {g_profile.dataFileName, "SEQ.GPD", "SEQ.DLL"});
        c.arrange(world);
        g_spooler = &rules::kRulesSpooler;
        std::string boxText;
        FinalSeen seen;
        std::vector<Step> steps;
        if (c.box)
            steps.push_back(
                {0xFFFF, [&](HWND d) { boxText = ItemText(d, 0xFFFF); }, ACT_CLICK, IDOK});
        steps.push_back(LookAtFinalAndLeave(&seen));
        size_t done = 0;
        EXPECT_EQ(0, DriveModal([] { return RunSequencer(CMD_INSTALL); }, steps, &done));
        EXPECT_EQ(steps.size(), done);
        EXPECT_EQ(c.box ? c.box : "", boxText);
        EXPECT_EQ(c.completed ? "The Installation has done successfully."
                              : "The Installation has failed.",
                  seen.outcome);
        EXPECT_EQ(c.completed, seen.boxVisible);
        EXPECT_FALSE(seen.captured);
        EXPECT_FALSE(seen.statusOpen);
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
    bool capturedUnderStatus = false;
    DWORD statusAt = 0;
    DWORD welcomeAt = 0;
    bool statusOpenAtWelcome = true;
    bool capturedAtWelcome = true;
    FinalSeen seen;
    std::vector<Step> steps = {
        {IDC_STATUS_TEXT,
         [&](HWND d)
         {
             statusAt = GetTickCount();
             statusText = ItemText(d, IDC_STATUS_TEXT);
             capturedUnderStatus = GetCapture() == g_script.main;
         },
         ACT_NONE, 0},
        {IDC_WELCOME_TEXT,
         [&](HWND)
         {
             welcomeAt = GetTickCount();
             statusOpenAtWelcome = FindThreadDialog(IDC_STATUS_TEXT, false) != NULL;
             capturedAtWelcome = GetCapture() == g_script.main;
         },
         ACT_CLICK, IDCANCEL},
        {IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDYES},
        LookAtFinalAndLeave(&seen),
    };
    size_t done = 0;
    EXPECT_EQ(0, DriveModal([] { return RunSequencer(0); }, steps, &done));
    EXPECT_EQ(steps.size(), done);
    EXPECT_EQ("Reading setup information...", statusText);
    EXPECT_TRUE(capturedUnderStatus);
    EXPECT_GE(welcomeAt - statusAt, 800u);
    EXPECT_LE(welcomeAt - statusAt, 2500u);
    EXPECT_FALSE(statusOpenAtWelcome);
    EXPECT_FALSE(capturedAtWelcome);
    EXPECT_EQ("The Installation has failed.", seen.outcome);
    EXPECT_TRUE(g_script.calls.empty()) << "a cancelled run touched the spooler";
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
            WriteNew(f.src + n, "new " + n);
        copytest::SetFiles(names, f.drv);
        for (const std::string &dir : {f.drv, f.drv + "3\\"})
            WriteNew(dir + "SHARED.DLL", "the other driver's SHARED.DLL");
        const std::map<std::string, std::string> filesBefore = copytest::DriverFiles(f.drv);

        /* A printer and driver of the model's name, which the port page
         * removed (and kept), and another driver sharing the file. */
        rules::Reset();
        rules::SpoolerWorld &world = rules::World();
        world.files.insert(world.files.end(), {"OLD.GPD", g_profile.dataFileName});
        world.files.insert(world.files.end(), names.begin(), names.end());
        world.drivers = {"Seq Model", "Other Driver"};
        world.driverFields["Other Driver"].dependents = std::string("SHARED.DLL\0", 11);
        world.printers = {{"Seq Model", "Seq Model", "LPT1:", 0, false}};
        world.defaultPrinter = "Seq Model";
        g_spooler = &rules::kRulesSpooler;
        const std::string spoolerBefore = rules::Describe(world);
        ASSERT_EQ(1, RemovePrinterAndDriver("Seq Model"));

        g_lz = &kLz32;
        copytest::CopyRun run;
        run.beforeFile = [&](HWND, size_t index)
        {
            if (index != c.endsDuring)
                return;
            PostMessageA(g_script.main, WM_QUERYENDSESSION, 0, c.how);
            PostMessageA(g_script.main, WM_ENDSESSION, TRUE, c.how);
        };
        copytest::Current() = &run;
        HHOOK hook =
            SetWindowsHookExA(WH_CALLWNDPROC, copytest::CallWndHook, NULL, GetCurrentThreadId());
        FinalSeen seen;
        Step endInstall = {IDC_STATUS_TEXT,
                           [](HWND)
                           {
                               PostMessageA(g_script.main, WM_QUERYENDSESSION, 0, 0);
                               PostMessageA(g_script.main, WM_ENDSESSION, TRUE, 0);
                           },
                           ACT_NONE, 0};
        std::vector<Step> steps = {LookAtFinalAndLeave(&seen)};
        if (c.endsDuring == names.size())
            steps.insert(steps.begin(), endInstall);
        EXPECT_EQ(0, DriveModal([] { return RunSequencer(CMD_COPY_FILES); }, steps));
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
