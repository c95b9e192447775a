/*
 * Platform check and the profile accessors.
 */
#include "startup.h"

#include "os_table.h"
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
    SetOsIndex((WORD)index);
    return 1;
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
