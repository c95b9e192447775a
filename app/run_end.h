/*
 * The run's end: when the outcome is known, just before the final page,
 * what the run replaced or removed on the way is either let go (the run
 * succeeded) or put back (it did not).
 */
#ifndef SETUP_RUN_END_H
#define SETUP_RUN_END_H

#include <windows.h>

/* `outcome` is the final page's: OUTCOME_COMPLETED or OUTCOME_FAILED. */
void FinishRun(WORD outcome);

#endif
