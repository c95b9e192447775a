/*
 * Self-test of the Win32 platform the tests run on (Wine, natively or with
 * its 32-bit side under qemu-user).  ctest runs it before any other Win32 or
 * end-to-end test; when it fails, they are not run, and its last line names
 * the capability that is broken, so a broken platform is not mistaken for a
 * broken program.
 *
 * It checks what the tests rely on: threads with their own thread-local
 * data, a window whose timer fires, an access violation caught and resumed
 * by a vectored handler (with the fault address and the read/write flag the
 * processor gave), a raised exception continued by a vectored handler, and
 * a captured context resumed through NtContinue.  Its last row leaves a
 * process behind in the prefix that ignores the usual shutdown: the run
 * passes only if the runner (scripts/wine-run.sh) ends it once the program
 * has ended.
 */
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

extern "C" NTSTATUS NTAPI NtContinue(PCONTEXT context, BOOLEAN alertable);

namespace
{

const char *g_capability = "start-up";

void Say(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

int Fail(const char *format, ...)
{
    char detail[512];
    va_list args;
    va_start(args, format);
    vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    Say("platform self-test FAILED: %s: %s\n", g_capability, detail);
    return 0;
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS *info)
{
    Say("platform self-test FAILED: %s: unhandled exception 0x%08lx at %p\n", g_capability,
        info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
    ExitProcess(3);
}

// --- threads ------------------------------------------------------------------
// qemu-user 7.2 handed every thread the newest thread's TLS after a segment
// reload; each worker here checks its own TLS slot and thread id across many
// switches while the others run.

const int kWorkers = 4;
const int kRounds = 3000;
DWORD g_tlsSlot;
LONG g_sharedCount;
CRITICAL_SECTION g_lock;
int g_lockedCount;

DWORD WINAPI Worker(void *param)
{
    const DWORD id = GetCurrentThreadId();
    TlsSetValue(g_tlsSlot, param);
    for (int i = 0; i < kRounds; i++)
    {
        if (TlsGetValue(g_tlsSlot) != param || GetCurrentThreadId() != id)
            return 1;
        InterlockedIncrement(&g_sharedCount);
        EnterCriticalSection(&g_lock);
        g_lockedCount++;
        LeaveCriticalSection(&g_lock);
        if (i % 100 == 0)
            Sleep(0);
        else
            SwitchToThread();
    }
    return 0;
}

int CheckThreads()
{
    HANDLE threads[kWorkers];
    g_tlsSlot = TlsAlloc();
    InitializeCriticalSection(&g_lock);
    for (int i = 0; i < kWorkers; i++)
    {
        threads[i] = CreateThread(nullptr, 0, Worker, (void *)(INT_PTR)(i + 1), 0, nullptr);
        if (!threads[i])
            return Fail("CreateThread failed with %lu", GetLastError());
    }
    DWORD wait = WaitForMultipleObjects(kWorkers, threads, TRUE, 120000);
    if (wait == WAIT_TIMEOUT)
        return Fail("the workers did not finish within 120 s");
    int ok = 1;
    for (int i = 0; i < kWorkers; i++)
    {
        DWORD code = 99;
        GetExitCodeThread(threads[i], &code);
        CloseHandle(threads[i]);
        if (code != 0)
            ok = Fail("worker %d saw another thread's TLS slot or id", i + 1);
    }
    if (ok && (g_sharedCount != kWorkers * kRounds || g_lockedCount != kWorkers * kRounds))
        ok = Fail("counted %ld interlocked and %d locked increments, expected %d", g_sharedCount,
                  g_lockedCount, kWorkers * kRounds);
    DeleteCriticalSection(&g_lock);
    return ok;
}

// --- a window with a timer ------------------------------------------------------

int g_ticks;

LRESULT CALLBACK TimerWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER && ++g_ticks == 3)
    {
        KillTimer(hwnd, wParam);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int CheckWindowTimer()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TimerWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PlatformSelfTestTimer";
    if (!RegisterClassA(&wc))
        return Fail("RegisterClassA failed with %lu", GetLastError());
    HWND hwnd = CreateWindowA(wc.lpszClassName, "timer", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return Fail("CreateWindowA failed with %lu", GetLastError());
    DWORD start = GetTickCount();
    SetTimer(hwnd, 1, 100, nullptr);
    // A guard timer on the thread: the loop ends even if the window's never fires.
    UINT_PTR guard = SetTimer(nullptr, 0, 30000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == guard)
            break;
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, guard);
    DWORD elapsed = GetTickCount() - start;
    DestroyWindow(hwnd);
    if (g_ticks != 3)
        return Fail("the 100 ms timer fired %d times in %lu ms, expected 3", g_ticks, elapsed);
    if (elapsed < 250)
        return Fail("three 100 ms ticks came after only %lu ms", elapsed);
    return 1;
}

// --- exceptions -------------------------------------------------------------------

extern "C" void selftest_read_fault(void), selftest_read_resume(void);
extern "C" void selftest_write_fault(void), selftest_write_resume(void);

// Two faulting instructions with known resume points after them.
__asm__(".text\n"
        ".globl _selftest_read_fault, _selftest_read_resume\n"
        ".globl _selftest_write_fault, _selftest_write_resume\n"
        "_selftest_probe_read:   movl $0x1234, %eax\n"
        "_selftest_read_fault:   movl (%eax), %eax\n"
        "_selftest_read_resume:  ret\n"
        "_selftest_probe_write:  movl $0x5678, %eax\n"
        "_selftest_write_fault:  movl %eax, (%eax)\n"
        "_selftest_write_resume: ret\n");
extern "C" void selftest_probe_read(void) __asm__("_selftest_probe_read");
extern "C" void selftest_probe_write(void) __asm__("_selftest_probe_write");

struct SeenFault
{
    DWORD code;
    ULONG_PTR kind;
    ULONG_PTR address;
    void *where;
    int count;
};
SeenFault g_fault;

LONG CALLBACK OnAccessViolation(EXCEPTION_POINTERS *info)
{
    EXCEPTION_RECORD *rec = info->ExceptionRecord;
    DWORD eip = info->ContextRecord->Eip;
    void *resume = nullptr;
    if (eip == (DWORD)(UINT_PTR)selftest_read_fault)
        resume = (void *)selftest_read_resume;
    else if (eip == (DWORD)(UINT_PTR)selftest_write_fault)
        resume = (void *)selftest_write_resume;
    else
        return EXCEPTION_CONTINUE_SEARCH;
    g_fault.code = rec->ExceptionCode;
    g_fault.kind = rec->NumberParameters >= 2 ? rec->ExceptionInformation[0] : 99;
    g_fault.address = rec->NumberParameters >= 2 ? rec->ExceptionInformation[1] : 0;
    g_fault.where = rec->ExceptionAddress;
    g_fault.count++;
    info->ContextRecord->Eip = (DWORD)(UINT_PTR)resume;
    return EXCEPTION_CONTINUE_EXECUTION;
}

int CheckOneFault(void (*probe)(void), void *faultAt, ULONG_PTR kind, ULONG_PTR address,
                  const char *what)
{
    g_fault = SeenFault();
    probe();
    if (g_fault.count != 1)
        return Fail("the %s fault reached the handler %d times", what, g_fault.count);
    if (g_fault.code != EXCEPTION_ACCESS_VIOLATION)
        return Fail("a %s of 0x%lx was reported as 0x%08lx, not an access violation "
                    "(a lost trap number shows as 0xc000001d)",
                    what, (unsigned long)address, g_fault.code);
    if (g_fault.kind != kind || g_fault.address != address)
        return Fail("a %s of 0x%lx was reported as kind %lu at 0x%lx", what, (unsigned long)address,
                    (unsigned long)g_fault.kind, (unsigned long)g_fault.address);
    if (g_fault.where != faultAt)
        return Fail("the %s fault was reported at %p, not at %p", what, g_fault.where, faultAt);
    return 1;
}

int CheckAccessViolation()
{
    void *handler = AddVectoredExceptionHandler(1, OnAccessViolation);
    int ok = CheckOneFault(selftest_probe_read, (void *)selftest_read_fault, 0, 0x1234, "read") &&
             CheckOneFault(selftest_probe_write, (void *)selftest_write_fault, 1, 0x5678, "write");
    RemoveVectoredExceptionHandler(handler);
    return ok;
}

const DWORD kSelfTestCode = 0xE0531701;
int g_raised;
ULONG_PTR g_raisedArgument;

LONG CALLBACK OnRaised(EXCEPTION_POINTERS *info)
{
    if (info->ExceptionRecord->ExceptionCode != kSelfTestCode)
        return EXCEPTION_CONTINUE_SEARCH;
    g_raised++;
    g_raisedArgument = info->ExceptionRecord->ExceptionInformation[0];
    return EXCEPTION_CONTINUE_EXECUTION;
}

int CheckRaisedException()
{
    void *handler = AddVectoredExceptionHandler(1, OnRaised);
    ULONG_PTR argument = 0x5eed;
    volatile int after = 0;
    RaiseException(kSelfTestCode, 0, 1, &argument);
    after = 1;
    RemoveVectoredExceptionHandler(handler);
    if (g_raised != 1 || g_raisedArgument != argument)
        return Fail("the handler saw the exception %d times, argument 0x%lx", g_raised,
                    (unsigned long)g_raisedArgument);
    if (!after)
        return Fail("execution did not continue after RaiseException");
    return 1;
}

// --- a captured context, resumed ------------------------------------------------
// On x86, RtlCaptureContext follows the frame-pointer chain and captures its
// caller's caller: the context resumes as if CaptureHere had just returned.
// Wine does the same.  So CaptureHere keeps a frame pointer, and the counter
// lives in memory: resumed once, the code after the call runs twice.

CONTEXT g_captured;

__attribute__((noinline, optimize("no-omit-frame-pointer"))) void CaptureHere()
{
    RtlCaptureContext(&g_captured);
}

int CheckCapturedContext()
{
    volatile int passes = 0;
    CaptureHere();
    passes = passes + 1;
    if (passes == 1)
    {
        NtContinue(&g_captured, FALSE);
        return Fail("NtContinue returned instead of resuming the captured context");
    }
    if (passes != 2)
        return Fail("the code after the capture ran %d times, expected 2", (int)passes);
    return 1;
}

// --- a process left behind in the prefix ----------------------------------------
// Wine's background processes can outlive the program that started them (a
// winedevice.exe has been seen running under qemu-user ten minutes after
// its test).  The runner ends whatever still runs in the prefix when the
// program has ended.  The process left here is the hardest case: a Linux
// process, no Wine client, that ignores SIGTERM and holds the program's
// output.  The runner then has to end it with SIGKILL, say so, and keep this
// program's result; a process it missed keeps its output open, which fails
// the run.  Started only under the runner (SETUP_WINEPREFIX set), since
// nothing else would end it.

int CheckLeftBehind()
{
    if (!GetEnvironmentVariableA("SETUP_WINEPREFIX", nullptr, 0))
    {
        Say("platform self-test: not under scripts/wine-run.sh, no process left behind\n");
        return 1;
    }
    const char *pidFile = "C:\\left-behind.pid";
    DeleteFileA(pidFile);
    char command[] = "sh -c \"trap '' TERM; echo $$ >$WINEPREFIX/drive_c/left-behind.pid; "
                     "exec sleep 300\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA("Z:\\bin\\sh", command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi))
        return Fail("CreateProcessA of /bin/sh failed with %lu", GetLastError());
    // Wine runs a Linux program detached, with no handles to give back.
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    char pid[32] = {};
    for (int i = 0; i < 200 && !pid[0]; i++)
    {
        Sleep(50);
        HANDLE f = CreateFileA(pidFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            continue;
        DWORD got = 0;
        ReadFile(f, pid, sizeof pid - 1, &got, nullptr);
        CloseHandle(f);
        pid[got] = 0;
        if (!got || pid[got - 1] != '\n')
            pid[0] = 0; // not written out yet
    }
    if (!pid[0])
        return Fail("the process left behind did not start within 10 s");
    pid[strlen(pid) - 1] = 0;
    Say("platform self-test: left process %s behind, ignoring SIGTERM, for the runner to end\n",
        pid);
    return 1;
}

struct Capability
{
    const char *name;
    int (*check)();
};

const Capability kCapabilities[] = {
    {"threads and thread-local storage", CheckThreads},
    {"a window with a timer", CheckWindowTimer},
    {"a caught access violation", CheckAccessViolation},
    {"a raised exception continued by a vectored handler", CheckRaisedException},
    {"a resumed captured context", CheckCapturedContext},
    {"a process left behind in the prefix", CheckLeftBehind},
};

} // namespace

int main()
{
    SetUnhandledExceptionFilter(OnUnhandled);
    int failed = 0;
    for (const Capability &c : kCapabilities)
    {
        g_capability = c.name;
        DWORD start = GetTickCount();
        Say("platform self-test: %s ...\n", c.name);
        if (c.check())
            Say("platform self-test: %s: ok (%lu ms)\n", c.name, GetTickCount() - start);
        else
            failed++;
    }
    Say(failed ? "platform self-test: %d capabilities broken\n" : "platform self-test: all ok\n",
        failed);
    return failed ? 1 : 0;
}
