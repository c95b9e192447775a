/*
 * Sequencer transitions and timer chain.  Platform-free.
 */
#include "sequence_logic.h"

#include "../profile/resource.h"

static SequencerMove Command(uint32_t command)
{
    SequencerMove move = {SEQ_MOVE_COMMAND, command};
    return move;
}

static SequencerMove Close(uint32_t outcome)
{
    SequencerMove move = {SEQ_MOVE_CLOSE, outcome};
    return move;
}

/* A page: Next and Back go to the neighbours, anything else ends the run. */
static SequencerMove PageMove(intptr_t result, uint32_t back, uint32_t next)
{
    if (result == IDC_NEXT)
        return Command(next);
    if (result == IDC_BACK && back != 0)
        return Command(back);
    return Close(OUTCOME_FAILED);
}

int IsStepCommand(uint32_t command)
{
    switch (command)
    {
    case CMD_WELCOME_PAGE:
    case CMD_MODEL_PAGE:
    case CMD_PORT_PAGE:
    case CMD_COPY_FILES:
        return 1;
    default:
        return 0;
    }
}

SequencerMove MoveAfterStep(uint32_t command, intptr_t result)
{
    switch (command)
    {
    case CMD_WELCOME_PAGE:
        /* The welcome page has no Back button; a stray 2000 ends the run. */
        return PageMove(result, 0, CMD_MODEL_PAGE);
    case CMD_MODEL_PAGE:
        return PageMove(result, CMD_WELCOME_PAGE, CMD_PORT_PAGE);
    case CMD_PORT_PAGE:
        return PageMove(result, CMD_MODEL_PAGE, CMD_COPY_FILES);
    case CMD_COPY_FILES:
        return result == 1 ? Command(CMD_INSTALL) : Close(OUTCOME_FAILED);
    default:
    {
        SequencerMove none = {SEQ_MOVE_NONE, 0};
        return none;
    }
    }
}

uint32_t FollowingTimer(uint32_t timer, uint32_t *delayMs)
{
    switch (timer)
    {
    case TIMER_OPEN_STATUS:
        *delayMs = DELAY_CLOSE_STATUS;
        return TIMER_CLOSE_STATUS;
    case TIMER_INSTALL:
        *delayMs = DELAY_REINSTALL;
        return TIMER_REINSTALL;
    case TIMER_REINSTALL:
        *delayMs = DELAY_FINISH;
        return TIMER_FINISH;
    default:
        *delayMs = 0;
        return 0;
    }
}

int ReinstallAfter(int firstInstallResult)
{
    return firstInstallResult == 1;
}

uint32_t InstallOutcome(int lastInstallResult)
{
    return lastInstallResult == 1 ? OUTCOME_COMPLETED : OUTCOME_FAILED;
}
