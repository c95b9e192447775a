/*
 * Platform check and the profile accessors.
 */
#include "startup.h"

#include "os_table.h"
#include "resolve_function.h"
#include "setup_state.h"
#include "../profile/build_profile.h"
#include "../profile/common_texts.h"

void SetOsIndex(WORD index)
{
    g_state.osIndex = index;
}

int DetectSupportedSystem(void)
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        return 0;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return 0;
    /* Set for every NT-family system, before the version is looked at. */
    g_state.driverVersion = 3;
    int index = OsIndexForVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
    if (index < 0)
        return 0;
    /* Vista x64 and 7 x64 report 6.0 and 6.1 as well, and their spooler
     * cannot print through the x86 driver this program installs: the port
     * page would delete the user's printer of the model's name, the removal
     * of the x86 driver would then fail, and the run would end with that
     * printer gone. */
    IsWow64ProcessProc isWow64 = NULL;
    ResolveKernel32Function("IsWow64Process", &isWow64);
    if (RunsUnderWow64(isWow64))
        return 0;
    SetOsIndex((WORD)index);
    return 1;
}

int TakeRunGuard(void)
{
    HANDLE guard = CreateMutexA(NULL, FALSE, kRunGuardName);
    DWORD error = GetLastError();
    /* ERROR_ACCESS_DENIED: another user's run made it, and its security
     * lets no one else open it.  Any other failure counts as held too: a
     * start the user must repeat is better than two runs on one driver
     * directory. */
    if (guard == NULL)
        return 0;
    if (error == ERROR_ALREADY_EXISTS)
    {
        CloseHandle(guard);
        return 0;
    }
    /* The handle is never closed: the guard lasts as long as the run. */
    return 1;
}

void BringRunningCopyForward(void)
{
    /* The running copy may be another build, whose class is the other one.
     * FindWindowA looks at this session's desktop only; a copy in another
     * session is not found, and nothing is brought forward. */
    HWND main = NULL;
    for (const char *className : kSetupWindowClasses)
    {
        main = FindWindowA(className, NULL);
        if (main != NULL)
            break;
    }
    if (main == NULL)
        return;
    /* The main window is never shown; every page and dialog is owned by it,
     * the cancel question and the messages by a page, and the system keeps
     * the last active one of them on the owner. */
    HWND front = GetLastActivePopup(main);
    if (front == NULL || front == main || !IsWindowVisible(front))
        return;
    /* Asynchronous: a copy busy in its file copy must not hold up this
     * start. */
    if (IsIconic(front))
        ShowWindowAsync(front, SW_RESTORE);
    SetForegroundWindow(front);
}

int RunsUnderWow64(IsWow64ProcessProc isWow64)
{
    if (isWow64 == NULL)
        return 0;
    BOOL wow64 = FALSE;
    /* On the current process's pseudo-handle the call does not fail on a
     * real 32-bit Windows; a system where it does is not one to trust
     * with the user's printers. */
    if (!isWow64(GetCurrentProcess(), &wow64))
        return 1;
    return wow64 != FALSE;
}

const char *GetMakerName(void)
{
    return g_profile.makerName;
}

const char *GetWindowTitle(void)
{
    return g_profile.windowTitle;
}

const char *GetCopyrightNotice(void)
{
    return g_profile.copyrightNotice;
}

const char *GetEmptyString(void)
{
    return kEmptyString;
}
