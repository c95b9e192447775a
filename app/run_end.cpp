/*
 * The run's end (run_end.h).  Called once, from the main window's WM_CLOSE,
 * before the final page is shown, so that the page's default-printer choice
 * comes after anything put back here.
 */
#include "run_end.h"

#include "sequence_logic.h"
#include "../copy/file_replace.h"

void FinishRun(WORD outcome)
{
    /* First: a driver put back needs its files back first. */
    FinishReplacedFiles(outcome == OUTCOME_COMPLETED);
}
