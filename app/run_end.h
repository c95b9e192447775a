/*
 * The run's end: when the outcome is known, just before the final page,
 * what the run replaced or removed on the way is either let go (the run
 * succeeded) or put back (it did not).  It happens once per run.
 */
#ifndef SETUP_RUN_END_H
#define SETUP_RUN_END_H

#include <windows.h>

/* `outcome` is the final page's: OUTCOME_COMPLETED or OUTCOME_FAILED.  A
 * driver or printer that cannot be put back is told to the user, in one
 * system message box for all of them. */
void FinishRun(WORD outcome);

/* The session is ending (log-off, shut-down): the run ends at once as a
 * cancel would, files and records put back, and nothing more is done
 * (g_state.sessionEnded).  Nothing is shown: a box would only hold up the
 * session's end, with no one there to read it. */
void EndRunAtSessionEnd(void);

#endif
