/*
 * The run's end (run_end.h).  Called once, from the main window's WM_CLOSE,
 * before the final page is shown, so that the page's default-printer choice
 * comes after anything put back here.
 */
#include "run_end.h"

#include "sequence_logic.h"
#include "../copy/file_replace.h"
#include "../spooler/kept_records.h"

void FinishRun(WORD outcome)
{
    /* The driver files first: a driver registered again takes its files
     * from the driver directory. */
    FinishReplacedFiles(outcome == OUTCOME_COMPLETED);
    /* Then the spooler's drivers, printers and default printer.  A failure
     * to put one back changes neither the outcome nor the final page. */
    PutBackRemovedRecords(outcome == OUTCOME_COMPLETED);
}
