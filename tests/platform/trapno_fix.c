/*
 * Preload library for running 32-bit Wine under qemu-user (the emulated
 * route of the test platform; see scripts/wine-route.sh).  It is never part
 * of the programs we ship.
 *
 * qemu-user (seen in 7.2 and in 10.0.2) writes -1 into the trap number of
 * the i386 signal context it hands a guest's handler: a read of address
 * 0x1234 arrives as SIGSEGV, si_code 1, trapno -1, err 4.  A real kernel
 * writes the processor's exception vector there, and Wine's i386 fault
 * handlers dispatch on it: with -1 a page fault is reported as an illegal
 * instruction and Wine's own page-fault work (stack guard pages, write
 * watches) is skipped.  qemu does keep the page-fault error code and the
 * fault address, so the vector can be rebuilt from the signal number and
 * si_code the way the kernel chose them.
 *
 * It wraps sigaction: a handler installed for a fault signal is called
 * through fault_trampoline, which mends the trap number first.  Nothing
 * changes when the trap number is already set, so the library is harmless
 * on a real kernel.
 *
 * Built with gcc -m32 as DIR/lib/i386-linux-gnu/libsetup_trapno.so and as an
 * empty 64-bit library beside it, so LD_PRELOAD='DIR/$LIB/libsetup_trapno.so'
 * lets glibc pick the right one for every process of a test run.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <ucontext.h>

#if defined(__i386__)

/* The processor's exception vectors, as Wine names them. */
enum
{
    VEC_DIVIDE = 0,
    VEC_DEBUG = 1,
    VEC_BREAKPOINT = 3,
    VEC_OVERFLOW = 4,
    VEC_INVALID_OPCODE = 6,
    VEC_GENERAL_PROTECTION = 13,
    VEC_PAGE_FAULT = 14,
    VEC_FLOATING_POINT = 16,
    VEC_ALIGNMENT = 17
};

typedef void (*info_handler)(int, siginfo_t *, void *);
typedef int (*sigaction_fn)(int, const struct sigaction *, struct sigaction *);

static info_handler g_handlers[_NSIG];

static int is_fault_signal(int sig)
{
    return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

/* The vector a Linux kernel reports for this signal and si_code. */
static int trap_for(int sig, int code)
{
    switch (sig)
    {
    case SIGSEGV:
        /* General protection faults (and software interrupts) come with
           SI_KERNEL; page faults with SEGV_MAPERR or SEGV_ACCERR. */
        return code == SI_KERNEL ? VEC_GENERAL_PROTECTION : VEC_PAGE_FAULT;
    case SIGBUS:
        return code == BUS_ADRALN ? VEC_ALIGNMENT : VEC_PAGE_FAULT;
    case SIGILL:
        return VEC_INVALID_OPCODE;
    case SIGFPE:
        if (code == FPE_INTDIV)
            return VEC_DIVIDE;
        if (code == FPE_INTOVF)
            return VEC_OVERFLOW;
        return VEC_FLOATING_POINT;
    case SIGTRAP:
        /* int3 arrives with SI_KERNEL, a debug exception with TRAP_TRACE or
           TRAP_BRKPT. */
        return code == SI_KERNEL ? VEC_BREAKPOINT : VEC_DEBUG;
    }
    return -1;
}

/* Entered from a signal frame that qemu built; realign the stack rather
   than trust it, and touch no thread-local data (%gs may not be ours). */
__attribute__((force_align_arg_pointer)) static void fault_trampoline(int sig, siginfo_t *info,
                                                                      void *context)
{
    ucontext_t *uc = (ucontext_t *)context;
    if (uc && info && uc->uc_mcontext.gregs[REG_TRAPNO] == -1)
        uc->uc_mcontext.gregs[REG_TRAPNO] = trap_for(sig, info->si_code);
    g_handlers[sig](sig, info, context);
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *old)
{
    static sigaction_fn real_sigaction;
    struct sigaction wrapped;
    info_handler previous;
    int result;

    if (!real_sigaction)
        real_sigaction = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
    if (!real_sigaction)
        return -1;
    if (sig <= 0 || sig >= _NSIG || !is_fault_signal(sig))
        return real_sigaction(sig, act, old);

    previous = g_handlers[sig];
    if (act && (act->sa_flags & SA_SIGINFO) && act->sa_sigaction)
    {
        wrapped = *act;
        wrapped.sa_sigaction = fault_trampoline;
        g_handlers[sig] = act->sa_sigaction;
        result = real_sigaction(sig, &wrapped, old);
        if (result != 0)
            g_handlers[sig] = previous;
    }
    else
    {
        result = real_sigaction(sig, act, old);
    }
    /* Whoever asks for the old handler gets the one they installed. */
    if (result == 0 && old && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == fault_trampoline)
        old->sa_sigaction = previous;
    return result;
}

#endif /* __i386__: the 64-bit build is empty on purpose */
