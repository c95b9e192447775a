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
