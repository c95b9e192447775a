/*
 * Unit tests of the sequencer's transitions: a scripted walk through the
 * pages, and the timer chain of the timed phases.
 */
#include <gtest/gtest.h>

#include <stdint.h>
#include <vector>

#include "app/sequence_logic.h"
#include "profile/resource.h"

namespace
{

struct Walk
{
    std::vector<uint32_t> visited; /* the step commands run, in order */
    SequencerMove last;            /* the move that left the steps */
};

/* Runs the sequencer's command chain from the welcome page, answering each
 * step with the next scripted result, until it posts something that is not
 * a step (WM_CLOSE, or the install command) or the script runs out. */
Walk RunScript(const std::vector<intptr_t> &results)
{
    Walk walk;
    walk.last = {SEQ_MOVE_COMMAND, CMD_WELCOME_PAGE};
    for (intptr_t result : results)
    {
        if (walk.last.kind != SEQ_MOVE_COMMAND || !IsStepCommand(walk.last.value))
            break;
        walk.visited.push_back(walk.last.value);
        walk.last = MoveAfterStep(walk.last.value, result);
    }
    return walk;
}

const intptr_t kNext = IDC_NEXT, kBack = IDC_BACK, kCancel = 2;
const uint32_t W = CMD_WELCOME_PAGE, M = CMD_MODEL_PAGE, P = CMD_PORT_PAGE, C = CMD_COPY_FILES;

struct WalkCase
{
    const char *name;
    std::vector<intptr_t> results;
    std::vector<uint32_t> visited;
    SequencerMove end;
};

/* Guards against Back or Next leading to the wrong page, a page result that
 * is neither Back nor Next going on instead of ending the run, and the copy
 * dialog's failure reaching the install phase. */
TEST(SequencerWalk, PageResultsLeadToTheNextStep)
{
    const SequencerMove kToInstall = {SEQ_MOVE_COMMAND, CMD_INSTALL};
    const SequencerMove kFailed = {SEQ_MOVE_CLOSE, OUTCOME_FAILED};
    const WalkCase cases[] = {
        {"straight through", {kNext, kNext, kNext, 1}, {W, M, P, C}, kToInstall},
        {"back and forth",
         {kNext, kBack, kNext, kNext, kBack, kBack, kNext, kNext, kNext, 1},
         {W, M, W, M, P, M, W, M, P, C},
         kToInstall},
        {"cancel on welcome", {kCancel}, {W}, kFailed},
        {"cancel on model", {kNext, kCancel}, {W, M}, kFailed},
        {"cancel on port", {kNext, kNext, kCancel}, {W, M, P}, kFailed},
        {"copy cancelled", {kNext, kNext, kNext, 2}, {W, M, P, C}, kFailed},
        /* DialogBoxParam answers -1 when a page cannot be created */
        {"page not shown", {kNext, -1}, {W, M}, kFailed},
        {"copy not shown", {kNext, kNext, kNext, -1}, {W, M, P, C}, kFailed},
        /* the welcome page has no Back button: a 2000 from it ends the run */
        {"back on welcome", {kBack}, {W}, kFailed},
        /* only the copy dialog's 1 goes on; a page's Next does not count */
        {"copy answers 2001", {kNext, kNext, kNext, kNext}, {W, M, P, C}, kFailed},
        /* the final page's 1 is not Next for the other pages */
        {"page answers 1", {kNext, 1}, {W, M}, kFailed}};
    for (const WalkCase &c : cases)
    {
        SCOPED_TRACE(c.name);
        Walk walk = RunScript(c.results);
        EXPECT_EQ(c.visited, walk.visited);
        EXPECT_EQ(c.end.kind, walk.last.kind);
        EXPECT_EQ(c.end.value, walk.last.value);
    }
}

/* Guards against the install command or a stray command opening a page. */
TEST(SequencerWalk, CommandsWithoutAStepPostNothing)
{
    const uint32_t commands[] = {CMD_INSTALL, CMD_RETRY_FILE, 999, 1004, 1007, 2001, 0};
    for (uint32_t command : commands)
    {
        EXPECT_EQ(0, IsStepCommand(command)) << command;
        EXPECT_EQ(SEQ_MOVE_NONE, MoveAfterStep(command, kNext).kind) << command;
    }
}

/* Guards against a broken timer chain: the opening status must close after
 * one second, and the install phase must end two plus two seconds after its
 * first timer, with no timer left running after the last. */
TEST(SequencerTimers, ChainsOfTheTimedPhases)
{
    struct Chain
    {
        uint32_t first;
        std::vector<uint32_t> timers;
        uint32_t totalDelay;
    };
    const Chain chains[] = {{TIMER_OPEN_STATUS, {TIMER_OPEN_STATUS, TIMER_CLOSE_STATUS}, 1000},
                            {TIMER_INSTALL, {TIMER_INSTALL, TIMER_REINSTALL, TIMER_FINISH}, 4000}};
    for (const Chain &chain : chains)
    {
        SCOPED_TRACE(chain.first);
        std::vector<uint32_t> seen;
        uint32_t total = 0;
        for (uint32_t t = chain.first; t != 0 && seen.size() < 10;)
        {
            seen.push_back(t);
            uint32_t delay = 0xFFFF;
            t = FollowingTimer(t, &delay);
            total += t != 0 ? delay : 0;
            EXPECT_EQ(0u, t == 0 ? delay : 0u) << "a delay after the last timer";
        }
        EXPECT_EQ(chain.timers, seen);
        EXPECT_EQ(chain.totalDelay, total);
    }
    uint32_t delay = 1;
    EXPECT_EQ(0u, FollowingTimer(TIMER_START_COPY, &delay)); /* the copy dialog's own */
    EXPECT_EQ(0u, FollowingTimer(0, &delay));
}

/* Guards against the final page reporting success whatever the install
 * answered, and against a second install after a refused first one (a
 * second error box, and success when only the retry registered). */
TEST(SequencerTimers, OutcomeFollowsTheInstallPhase)
{
    struct Case
    {
        int first, second;
        bool reinstalls;
        uint32_t outcome;
    };
    const Case cases[] = {{1, 1, true, OUTCOME_COMPLETED}, {1, 0, true, OUTCOME_FAILED},
                          {0, 1, false, OUTCOME_FAILED},   {0, 0, false, OUTCOME_FAILED},
                          {2, 1, false, OUTCOME_FAILED},   {-1, 1, false, OUTCOME_FAILED}};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.first << "," << c.second);
        EXPECT_EQ(c.reinstalls, ReinstallAfter(c.first) != 0);
        EXPECT_EQ(c.outcome, InstallOutcome(ReinstallAfter(c.first) ? c.second : c.first));
    }
}

} // namespace
