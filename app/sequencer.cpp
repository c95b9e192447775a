/*
 * The window procedure of the hidden main window, which walks the wizard.
 * It posts itself one command per step (a page or the copy dialog, each
 * modal) and sets itself one-shot timers for the timed phases: the opening
 * status message and the install phase.  What follows a step's result is
 * decided in sequence_logic.cpp.  When the session ends (log-off,
 * shut-down) the run is put back at once, and every step still open ends
 * as cancelled.
 */
#include "sequencer.h"

#include "run_end.h"
#include "sequence_logic.h"
#include "setup_state.h"
#include "../copy/copy_dialog.h"
#include "../profile/resource.h"
#include "../spooler/registration.h"
#include "../ui/message_dialog.h"
#include "../ui/pages.h"

static void BeginWait(HWND hwnd)
{
    SetCapture(hwnd);
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
}

static void EndWait(void)
{
    ReleaseCapture();
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
}

static void OpenStatusWindow(HWND hwnd, WORD stringId)
{
    g_state.statusWindow = ShowStatusWindow(hwnd, stringId);
    ShowWindow(g_state.statusWindow, SW_SHOW);
}

static void CloseStatusWindow(void)
{
    DestroyWindow(g_state.statusWindow);
    g_state.statusWindow = NULL;
}

static void SetFollowingTimer(HWND hwnd, UINT timer)
{
    uint32_t delay = 0;
    UINT next = FollowingTimer(timer, &delay);
    if (next != 0)
        SetTimer(hwnd, next, delay, NULL);
}

static INT_PTR RunStep(HWND hwnd, UINT command)
{
    switch (command)
    {
    case CMD_WELCOME_PAGE:
        return RunWelcomePage(hwnd);
    case CMD_MODEL_PAGE:
        return RunModelPage(hwnd);
    case CMD_PORT_PAGE:
        return RunPortPage(hwnd);
    case CMD_COPY_FILES:
        return RunCopyDialog(hwnd);
    default:
        return 0;
    }
}

static void PostMove(HWND hwnd, const SequencerMove &move)
{
    if (move.kind == SEQ_MOVE_COMMAND)
        PostMessageA(hwnd, WM_COMMAND, move.value, 0);
    else if (move.kind == SEQ_MOVE_CLOSE)
        PostMessageA(hwnd, WM_CLOSE, move.value, 0);
}

/* After the session's end the run is over and put back: a command or a
 * timer that still comes closes the window, without the final page, and
 * nothing more is copied or registered. */
static void CloseAfterSessionEnd(HWND hwnd)
{
    if (g_state.statusWindow != NULL)
        CloseStatusWindow();
    EndWait();
    PostMessageA(hwnd, WM_CLOSE, OUTCOME_FAILED, 0);
}

static void OnCommand(HWND hwnd, UINT command)
{
    if (g_state.sessionEnded)
    {
        CloseAfterSessionEnd(hwnd);
        return;
    }
    if (command == CMD_INSTALL)
    {
        SetTimer(hwnd, TIMER_INSTALL, DELAY_INSTALL, NULL);
        BeginWait(hwnd);
        return;
    }
    if (!IsStepCommand(command))
        return;
    INT_PTR result = RunStep(hwnd, command);
    PostMove(hwnd, MoveAfterStep(command, result));
}

static void OnTimer(HWND hwnd, UINT timer)
{
    KillTimer(hwnd, timer);
    if (g_state.sessionEnded)
    {
        CloseAfterSessionEnd(hwnd);
        return;
    }
    /* g_state.lastInstallResult: the second install runs only after a first
     * one that answered 1, and the closing timer reports success only when
     * the latest registered both the driver and the printer. */
    switch (timer)
    {
    case TIMER_OPEN_STATUS:
        BeginWait(hwnd);
        OpenStatusWindow(hwnd, IDS_STATUS_READING);
        break;
    case TIMER_CLOSE_STATUS:
        CloseStatusWindow();
        EndWait();
        InvalidateRect(hwnd, NULL, TRUE);
        PostMessageA(hwnd, WM_COMMAND, CMD_WELCOME_PAGE, 0);
        break;
    case TIMER_INSTALL:
        OpenStatusWindow(hwnd, IDS_STATUS_WRITING);
        UpdateWindow(g_state.statusWindow);
        g_state.lastInstallResult = InstallDriverAndPrinter();
        break;
    case TIMER_REINSTALL:
        /* Removes what the first install registered, then registers it again.
         * The removal's answer is not read: a printer it could not remove
         * keeps its name, and the spooler then refuses the second AddPrinterA
         * (ERROR_PRINTER_ALREADY_EXISTS on Windows), so the outcome is the
         * failure it should be. */
        if (ReinstallAfter(g_state.lastInstallResult))
        {
            RemovePrinterAndDriver(g_state.modelName);
            g_state.lastInstallResult = InstallDriverAndPrinter();
        }
        break;
    case TIMER_FINISH:
        CloseStatusWindow();
        PostMessageA(hwnd, WM_CLOSE, InstallOutcome(g_state.lastInstallResult), 0);
        EndWait();
        break;
    default:
        return;
    }
    SetFollowingTimer(hwnd, timer);
}

/* Ends a modal dialog of the run (a page, the copy dialog, a message): its
 * step returns as cancelled, and the sequencer then closes. */
static BOOL CALLBACK EndRunDialog(HWND hwnd, LPARAM)
{
    char cls[16];
    if (hwnd != g_state.statusWindow && GetClassNameA(hwnd, cls, sizeof(cls)) &&
        lstrcmpA(cls, "#32770") == 0)
        EndDialog(hwnd, IDCANCEL);
    return TRUE;
}

static void OnEndSession(BOOL ending)
{
    if (!ending || g_state.sessionEnded)
        return;
    EndRunAtSessionEnd();
    EnumThreadWindows(GetCurrentThreadId(), EndRunDialog, 0);
}

static void OnClose(HWND hwnd, WORD outcome)
{
    if (g_state.sessionEnded)
        return;
    FinishRun(outcome);
    /* The session may end while FinishRun tells the user of a refusal. */
    if (!g_state.sessionEnded)
        RunFinalPage(hwnd, outcome);
}

LRESULT CALLBACK SetupSequencer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_CREATE:
        SetTimer(hwnd, TIMER_OPEN_STATUS, DELAY_OPEN_STATUS, NULL);
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd, (UINT)wParam);
        return 0;
    case WM_TIMER:
        OnTimer(hwnd, (UINT)wParam);
        return 0;
    case WM_CLOSE:
        OnClose(hwnd, (WORD)wParam);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_QUERYENDSESSION:
        /* The log-off is not held up: its end puts the run back. */
        return TRUE;
    case WM_ENDSESSION:
        /* wParam FALSE: the session goes on after all.  Windows may end the
         * process as soon as this returns, so the run ends here, nested in
         * whatever step is under way (run_end.cpp says why that is safe). */
        OnEndSession((BOOL)wParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
