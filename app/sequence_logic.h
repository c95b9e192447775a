/*
 * The sequencer's transitions: from the result of a step (a page, the copy
 * dialog) to the next command or to the closing outcome, and the chain of
 * one-shot timers of the timed phases.  Platform-free: the window procedure
 * in sequencer.cpp does the platform calls and asks these functions what to
 * do next.
 */
#ifndef SETUP_SEQUENCE_LOGIC_H
#define SETUP_SEQUENCE_LOGIC_H

#include <stdint.h>

/* Outcomes carried in the wParam of WM_CLOSE. */
#define OUTCOME_COMPLETED 1
#define OUTCOME_FAILED 2

/* Delays of the timers (milliseconds). */
#define DELAY_OPEN_STATUS 100
#define DELAY_CLOSE_STATUS 1000
#define DELAY_INSTALL 100
#define DELAY_REINSTALL 2000
#define DELAY_FINISH 2000

enum SequencerMoveKind
{
    SEQ_MOVE_NONE,    /* post nothing */
    SEQ_MOVE_COMMAND, /* post WM_COMMAND with value */
    SEQ_MOVE_CLOSE    /* post WM_CLOSE with the outcome value */
};

struct SequencerMove
{
    SequencerMoveKind kind;
    uint32_t value;
};

/* 1 for the commands that run a modal step (the pages and the copy dialog). */
int IsStepCommand(uint32_t command);

/* What to post after the step of `command` returned `result`.  A page that
 * ends with Next goes forward, with Back goes back; every other result
 * (Cancel confirmed, a failed page, a dialog that could not be shown) closes
 * with OUTCOME_FAILED.  The copy dialog goes on to the install only on 1.
 * Commands that run no step give SEQ_MOVE_NONE. */
SequencerMove MoveAfterStep(uint32_t command, intptr_t result);

/* The timer to set once `timer` has acted, with its delay in *delayMs;
 * 0 when the timer sets no other (including unknown timers). */
uint32_t FollowingTimer(uint32_t timer, uint32_t *delayMs);

/* 1 when the second timer of the install phase is to remove what the first
 * InstallDriverAndPrinter registered and register it again: only when that
 * first install answered 1.  After a refused first install there is nothing
 * of ours to remove, and trying again would only show the user the same
 * refusal a second time. */
int ReinstallAfter(int firstInstallResult);

/* The outcome the closing timer posts, from the answer of the last
 * InstallDriverAndPrinter that ran (the first one's when the second did
 * not run): completed only when that registered both the driver and the
 * printer. */
uint32_t InstallOutcome(int lastInstallResult);

#endif
