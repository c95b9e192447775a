/*
 * The run's end (run_end.h).  Called once, from the main window's WM_CLOSE,
 * before the final page is shown, so that the page's default-printer choice
 * comes after anything put back here; or from WM_ENDSESSION, which can come
 * in the middle of any step.  Both are safe there because the steps let
 * messages in only where the kept copies and records are whole: the copy
 * between files and in its message dialogs, the pages and the install
 * phase between spooler calls.
 */
#include "run_end.h"

#include "sequence_logic.h"
#include "setup_state.h"
#include "../copy/file_replace.h"
#include "../spooler/kept_records.h"
#include "../spooler/registration.h"

static void EndRun(WORD outcome, BOOL tellUser)
{
    /* The final page's WM_CLOSE and a session's end can both come. */
    if (g_state.runFinished)
        return;
    g_state.runFinished = 1;
    /* The driver files first: a driver registered again takes its files
     * from the driver directory. */
    FinishReplacedFiles(outcome == OUTCOME_COMPLETED);
    /* Then the spooler's drivers, printers and default printer.  A failure
     * to put one back changes neither the outcome nor the final page. */
    char note[PUT_BACK_NOTE_MAX];
    if (!PutBackRemovedRecords(outcome == OUTCOME_COMPLETED, note, sizeof(note)) && tellUser)
        ShowSpoolerError(note);
}

void FinishRun(WORD outcome)
{
    EndRun(outcome, TRUE);
}

void EndRunAtSessionEnd(void)
{
    g_state.sessionEnded = 1;
    EndRun(OUTCOME_FAILED, FALSE);
}
