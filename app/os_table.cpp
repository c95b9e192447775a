/*
 * Supported-systems table: Windows 2000, XP, Vista and 7.  Every row of a
 * build names the same setup information file and manufacturer section.
 */
#include "os_table.h"

#include "../profile/build_profile.h"

int OsIndexForVersion(uint32_t platformId, uint32_t major, uint32_t minor)
{
    if (platformId != OS_PLATFORM_WIN32_NT)
        return -1;
    if (major == 5 && minor <= 1)
        return (int)minor;
    if (major == 6 && minor <= 1)
        return 2 + (int)minor;
    return -1;
}

const OsRow *GetOsRow(uint32_t index)
{
    /* Built on first use: the profile is another translation unit's
     * constant, so it cannot take part in this one's static initialisation. */
    static const OsRow rows[OS_ROW_COUNT] = {
        {0, g_profile.infFileName, g_profile.manufacturerSection},
        {1, g_profile.infFileName, g_profile.manufacturerSection},
        {2, g_profile.infFileName, g_profile.manufacturerSection},
        {3, g_profile.infFileName, g_profile.manufacturerSection},
    };
    if (index >= OS_ROW_COUNT)
        return nullptr;
    return &rows[index];
}
