/*
 * The version-to-row mapping of the platform check.
 */
#include <gtest/gtest.h>

#include "app/os_table.h"
#include "profile/build_profile.h"

// Only NT 5.0, 5.1, 6.0 and 6.1 may run; Server 2003/XP x64 (5.2), Windows 8
// (6.2) and later, NT 4.0 and the 9x platform must be refused.
TEST(OsIndexForVersion, MapsSupportedAndRefusesTheRest)
{
    struct
    {
        uint32_t platform, major, minor;
        int index;
    } cases[] = {{2, 5, 0, 0},  {2, 5, 1, 1},  {2, 6, 0, 2},  {2, 6, 1, 3},           {2, 5, 2, -1},
                 {2, 6, 2, -1}, {2, 6, 3, -1}, {2, 4, 0, -1}, {2, 10, 0, -1},         {2, 7, 0, -1},
                 {1, 5, 1, -1}, {0, 6, 1, -1}, {3, 6, 1, -1}, {2, 5, 0xFFFFFFFFu, -1}};
    for (const auto &c : cases)
        EXPECT_EQ(OsIndexForVersion(c.platform, c.major, c.minor), c.index)
            << c.platform << " " << c.major << "." << c.minor;
}

// Every row names the build's setup information file and manufacturer
// section, its system code equals its index, and there is no fifth row.
TEST(GetOsRow, RowsNameTheBuildsFileAndSection)
{
    for (uint32_t i = 0; i < OS_ROW_COUNT; i++)
    {
        const OsRow *row = GetOsRow(i);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->systemCode, i);
        EXPECT_STREQ(row->infFileName, g_profile.infFileName);
        EXPECT_STREQ(row->manufacturerSection, "TarvikSystems");
    }
    EXPECT_EQ(GetOsRow(OS_ROW_COUNT), nullptr);
    EXPECT_EQ(GetOsRow(0xFFFF), nullptr);
}
