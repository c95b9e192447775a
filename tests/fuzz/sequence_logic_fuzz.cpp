/*
 * Fuzz entry for the sequencer's transitions.  The input plays one whole run
 * of the hidden main window: its posted messages in order, its one-shot
 * timers firing by their delays when no message is waiting (as WM_TIMER
 * comes only from an empty queue), and the results of the pages, of the copy
 * dialog and of each install drawn from the input, with stray commands and
 * timers thrown in.  What must hold on every run: each step is entered only
 * from a neighbour in the page table; the install phase only after a
 * successful copy, and then it installs twice; no timer is set while it is
 * still pending; the run ends in exactly one WM_CLOSE with a valid outcome,
 * with nothing left queued or pending, within a bound set by the input's
 * length; and it reports completion only when the last install succeeded.
 * Built as a libFuzzer target with clang (SETUP_FUZZ), and driven with random
 * inputs by the native unit tests under the name FuzzSequenceLogic.
 */
#include <stdint.h>

#include <algorithm>
#include <deque>
#include <map>

#include "app/sequence_logic.h"
#include "fuzz_input.h"
#include "profile/resource.h"

namespace
{

const intptr_t kCancel = 2, kCopied = 1;

/* The steps in wizard order: where Next and Back lead (0: no Back; the run
 * ends), and the result that goes on. */
struct Step
{
    uint32_t command, back, forward;
    intptr_t forwardResult;
};

const Step kSteps[] = {{CMD_WELCOME_PAGE, 0, CMD_MODEL_PAGE, IDC_NEXT},
                       {CMD_MODEL_PAGE, CMD_WELCOME_PAGE, CMD_PORT_PAGE, IDC_NEXT},
                       {CMD_PORT_PAGE, CMD_MODEL_PAGE, CMD_COPY_FILES, IDC_NEXT},
                       {CMD_COPY_FILES, 0, CMD_INSTALL, kCopied}};

/* The timers and the delay each is set with. */
struct Timer
{
    uint32_t timer, delay;
};

const Timer kTimers[] = {{TIMER_OPEN_STATUS, DELAY_OPEN_STATUS},
                         {TIMER_CLOSE_STATUS, DELAY_CLOSE_STATUS},
                         {TIMER_INSTALL, DELAY_INSTALL},
                         {TIMER_REINSTALL, DELAY_REINSTALL},
                         {TIMER_FINISH, DELAY_FINISH}};

/* The row of a step or a timer, or a null pointer for an unknown one. */
template <typename Row, size_t N>
const Row *Find(const Row (&table)[N], uint32_t Row::*key, uint32_t id)
{
    for (const Row &row : table)
    {
        if (row.*key == id)
            return &row;
    }
    return nullptr;
}

const Step *FindStep(uint32_t command)
{
    return Find(kSteps, &Step::command, command);
}

bool IsKnownTimer(uint32_t timer)
{
    return Find(kTimers, &Timer::timer, timer) != nullptr;
}

/* A page or dialog result: mostly Next, so that runs get far; once the
 * input is spent every step is cancelled, so every run ends. */
intptr_t ResultFrom(FuzzInput &in)
{
    if (in.Empty())
        return kCancel;
    const intptr_t kResults[] = {IDC_NEXT, IDC_NEXT, IDC_NEXT, IDC_BACK, kCancel, kCopied, 0};
    uint8_t tag = in.Byte() % 8;
    return tag < 7 ? kResults[tag] : (intptr_t)(int32_t)in.U32();
}

/* One step command and its result: a move only for a step, and then only
 * along the table, or a close with the failed outcome. */
SequencerMove CheckMove(uint32_t command, intptr_t result)
{
    SequencerMove move = MoveAfterStep(command, result);
    const Step *step = FindStep(command);
    FUZZ_CHECK((step != nullptr) == (IsStepCommand(command) != 0));
    if (step == nullptr)
    {
        FUZZ_CHECK(move.kind == SEQ_MOVE_NONE && move.value == 0);
        return move;
    }
    if (result == step->forwardResult)
        FUZZ_CHECK(move.kind == SEQ_MOVE_COMMAND && move.value == step->forward);
    else if (result == IDC_BACK && step->back != 0)
        FUZZ_CHECK(move.kind == SEQ_MOVE_COMMAND && move.value == step->back);
    else
        FUZZ_CHECK(move.kind == SEQ_MOVE_CLOSE && move.value == OUTCOME_FAILED);
    return move;
}

/* The timer chain: any timer sets at most one other, with that one's
 * delay, and no chain runs for ever. */
void CheckTimerChain(uint32_t timer)
{
    for (int length = 0; length <= 5; length++)
    {
        uint32_t delay = 0xDEADBEEF;
        uint32_t next = FollowingTimer(timer, &delay);
        if (next == 0)
        {
            FUZZ_CHECK(delay == 0);
            return;
        }
        FUZZ_CHECK(IsKnownTimer(timer) && IsKnownTimer(next) &&
                   delay == Find(kTimers, &Timer::timer, next)->delay);
        timer = next;
    }
    FUZZ_CHECK(!"a timer chain that does not end");
}

struct Message
{
    bool close;
    uint32_t value;
    bool stray;
};

class Run
{
  public:
    explicit Run(FuzzInput &in) : in_(in) {}

    void Play(size_t inputSize)
    {
        SetTimer(TIMER_OPEN_STATUS, DELAY_OPEN_STATUS);
        size_t limit = 2 * inputSize + 64;
        for (size_t round = 0; !closed_; round++)
        {
            FUZZ_CHECK(round < limit);
            if (in_.Byte() == 0xFF)
                ThrowInStray();
            if (!posted_.empty())
            {
                Message message = posted_.front();
                posted_.pop_front();
                if (message.close)
                    OnClose(message.value);
                else
                    OnCommand(message.value);
                continue;
            }
            /* Nothing queued and no timer pending: the program would wait
             * for ever. */
            FUZZ_CHECK(!timers_.empty());
            auto first =
                std::min_element(timers_.begin(), timers_.end(),
                                 [](const auto &a, const auto &b) { return a.second < b.second; });
            uint32_t timer = first->first;
            now_ = first->second;
            timers_.erase(first);
            OnTimer(timer);
        }
        if (outcome_ == OUTCOME_COMPLETED)
            FUZZ_CHECK(copied_ && lastInstall_ == 1);
        FUZZ_CHECK(installs_ == (copied_ ? 2 : 0));
    }

  private:
    void SetTimer(uint32_t timer, uint32_t delay)
    {
        FUZZ_CHECK(timers_.count(timer) == 0);
        timers_[timer] = now_ + delay;
    }

    void ThrowInStray()
    {
        uint32_t value = in_.U32();
        if (in_.Byte() & 1)
        {
            if (FindStep(value) == nullptr && value != CMD_INSTALL)
                posted_.push_back({false, value, true});
        }
        else if (!IsKnownTimer(value))
        {
            /* SetTimer with an id already set restarts it. */
            timers_[value] = now_ + in_.Byte();
        }
    }

    void OnCommand(uint32_t command)
    {
        if (command == CMD_INSTALL)
        {
            FUZZ_CHECK(copied_);
            SetTimer(TIMER_INSTALL, DELAY_INSTALL);
            return;
        }
        intptr_t result = ResultFrom(in_);
        const Step *step = FindStep(command);
        if (step != nullptr)
        {
            /* Entered from a neighbour: the one before by Next, the one
             * after by Back; the welcome page first after the opening. */
            const Step *from = FindStep(lastStep_);
            FUZZ_CHECK(from ? from->forward == command || from->back == command
                            : command == CMD_WELCOME_PAGE && openingDone_);
            lastStep_ = command;
            if (command == CMD_COPY_FILES && result == kCopied)
                copied_ = true;
        }
        SequencerMove move = CheckMove(command, result);
        if (move.kind != SEQ_MOVE_NONE)
            posted_.push_back({move.kind == SEQ_MOVE_CLOSE, move.value, false});
    }

    void OnTimer(uint32_t timer)
    {
        CheckTimerChain(timer);
        switch (timer)
        {
        case TIMER_OPEN_STATUS:
            break;
        case TIMER_CLOSE_STATUS:
            openingDone_ = true;
            posted_.push_back({false, CMD_WELCOME_PAGE, false});
            break;
        case TIMER_INSTALL:
        case TIMER_REINSTALL:
            installs_++;
            lastInstall_ = in_.Byte() % 4 ? 1 : (int)in_.Byte() - 1;
            break;
        case TIMER_FINISH:
            posted_.push_back({true, InstallOutcome(lastInstall_), false});
            break;
        default:
            return;
        }
        uint32_t delay = 0;
        uint32_t next = FollowingTimer(timer, &delay);
        if (next != 0)
            SetTimer(next, delay);
    }

    void OnClose(uint32_t outcome)
    {
        FUZZ_CHECK(outcome == OUTCOME_COMPLETED || outcome == OUTCOME_FAILED);
        /* The final page then runs and the window is destroyed: whatever
         * is still queued or pending would be lost. */
        for (const Message &message : posted_)
            FUZZ_CHECK(message.stray);
        for (const auto &pending : timers_)
            FUZZ_CHECK(!IsKnownTimer(pending.first));
        closed_ = true;
        outcome_ = outcome;
    }

    FuzzInput &in_;
    std::deque<Message> posted_;
    std::map<uint32_t, uint64_t> timers_; /* timer -> when it fires */
    uint64_t now_ = 0;
    uint32_t lastStep_ = 0;
    bool openingDone_ = false;
    bool copied_ = false;
    int installs_ = 0;
    int lastInstall_ = 0;
    bool closed_ = false;
    uint32_t outcome_ = 0;
};

} // namespace

extern "C" int FUZZ_ENTRY(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    /* A few commands and timers on their own, any value, any result. */
    for (int i = 0, n = in.Byte() % 8; i < n; i++)
    {
        uint32_t value = in.Byte() & 1 ? in.U32() : kSteps[in.Byte() % 4].command;
        CheckMove(value, ResultFrom(in));
        CheckTimerChain(in.Byte() & 1 ? value : kTimers[in.Byte() % 5].timer);
        int install = (int)(int32_t)in.U32();
        uint32_t outcome = InstallOutcome(install);
        FUZZ_CHECK(outcome == (install == 1 ? OUTCOME_COMPLETED : OUTCOME_FAILED));
    }
    Run run(in);
    run.Play(size);
    return 0;
}
