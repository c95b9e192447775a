/*
 * The supported-systems table and the version-to-row mapping.  Platform-free:
 * the caller queries the system version and passes its numbers in.
 */
#ifndef SETUP_OS_TABLE_H
#define SETUP_OS_TABLE_H

#include <stdint.h>

#define OS_PLATFORM_WIN32_NT 2
#define OS_ROW_COUNT 4

struct OsRow
{
    uint32_t systemCode;
    const char *infFileName;
    const char *manufacturerSection;
};

/* Row index for an NT-family version: 5.0 -> 0, 5.1 -> 1, 6.0 -> 2,
 * 6.1 -> 3; -1 for every other platform or version. */
int OsIndexForVersion(uint32_t platformId, uint32_t major, uint32_t minor);

/* Row of the table, or a null pointer for an index outside it. */
const OsRow *GetOsRow(uint32_t index);

#endif
