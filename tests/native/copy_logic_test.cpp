/*
 * Unit tests of the copy dialog's plain decisions: percentage and split of
 * the progress bar, its text, the error table, the name check and the path
 * building.  Every output goes into a heap block of exactly the size passed,
 * so AddressSanitizer catches any write past it.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "copy/copy_logic.h"
#include "profile/resource.h"

namespace
{

/* Guards against truncating instead of rounding, rounding halves down, and
 * a percentage one file early or late. */
TEST(ProgressPercent, RoundsToNearestWithHalvesUp)
{
    struct Case
    {
        int32_t done, count, percent;
    };
    const Case cases[] = {{0, 3, 0},  {1, 3, 33},  {2, 3, 67},  {3, 3, 100},     {1, 1, 100},
                          {1, 8, 13}, {7, 8, 88},  {1, 200, 1}, {199, 200, 100}, {198, 200, 99},
                          {1, 2, 50}, {1, 400, 0}, {2, 400, 1}, {0, 1, 0},       {5, 3, 167}};
    for (const Case &c : cases)
        EXPECT_EQ(c.percent, ProgressPercent(c.done, c.count)) << c.done << " of " << c.count;
}

/* Guards against a division by zero or a "-1 %" when there are no files:
 * MulDiv's answer for a zero divisor is -1, and the bar has no text then. */
TEST(ProgressPercent, NoFilesGivesMulDivsMinusOne)
{
    EXPECT_EQ(-1, ProgressPercent(0, 0));
    EXPECT_EQ(-1, ProgressPercent(3, 0));
    EXPECT_EQ(-1, ProgressPercent(0, -2));
    EXPECT_EQ(-13, ProgressPercent(-1, 8)); /* halves away from zero, as MulDiv */
}

/* Guards against the split of 3 files on 200 pixels moving, and a full bar that misses its last
 * pixels. */
TEST(ProgressLayout, ThreeFilesOn200Pixels)
{
    ProgressLayout a = LayoutProgressBar(1, 3, 0, 200);
    EXPECT_EQ(33, a.percent);
    EXPECT_EQ(66, a.split);
    EXPECT_TRUE(a.hasText);
    ProgressLayout b = LayoutProgressBar(2, 3, 0, 200);
    EXPECT_EQ(67, b.percent);
    EXPECT_EQ(134, b.split);
    ProgressLayout c = LayoutProgressBar(3, 3, 0, 200);
    EXPECT_EQ(100, c.percent);
    EXPECT_EQ(200, c.split);
    /* The split counts from the left edge. */
    EXPECT_EQ(10 + 66, LayoutProgressBar(1, 3, 10, 210).split);
    /* 199 of 200 reads 100 % and is full one file early. */
    EXPECT_EQ(317, LayoutProgressBar(199, 200, 0, 317).split);
    EXPECT_EQ(0, LayoutProgressBar(0, 3, 0, 200).split);
}

/* Guards against the floating-point product drifting from the integer one
 * (x87 and SSE alike): for every percentage below 100 and every width the
 * split is percent * width / 100 rounded down. */
TEST(ProgressLayout, SplitIsTheTruncatedProductForEveryWidth)
{
    for (int32_t width = 0; width <= 2000; width++)
    {
        for (int32_t percent = 0; percent < 100; percent++)
        {
            /* percent of 100 files done gives exactly that percentage */
            ProgressLayout l = LayoutProgressBar(percent, 100, 5, 5 + width);
            ASSERT_EQ(percent, l.percent);
            ASSERT_EQ(5 + percent * width / 100, l.split) << percent << "% of " << width;
        }
        ASSERT_EQ(5 + width, LayoutProgressBar(100, 100, 5, 5 + width).split);
    }
    /* A bar wider than half the 32-bit range overflowed a 32-bit product. */
    EXPECT_EQ(INT32_MIN + (int64_t)99 * UINT32_MAX / 100,
              LayoutProgressBar(99, 100, INT32_MIN, INT32_MAX).split);
}

/* Guards against "-1 %" or a division by zero when an idle redraw comes
 * with no files: the bar is all white and has no text. */
TEST(ProgressLayout, NoFilesDrawsAnEmptyBarWithoutText)
{
    ProgressLayout l = LayoutProgressBar(0, 0, 3, 250);
    EXPECT_FALSE(l.hasText);
    EXPECT_EQ(3, l.split);
    EXPECT_FALSE(LayoutProgressBar(0, -1, 0, 100).hasText);
    EXPECT_FALSE(LayoutProgressBar(-1, 4, 0, 100).hasText);
    /* A control of no width. */
    EXPECT_EQ(0, LayoutProgressBar(1, 3, 0, 0).split);
}

TEST(FormatPercent, NumberBlankPercentSign)
{
    std::vector<char> buf(16);
    ASSERT_TRUE(FormatPercent(45, buf.data(), buf.size()));
    EXPECT_STREQ("45 %", buf.data());
    ASSERT_TRUE(FormatPercent(100, buf.data(), buf.size()));
    EXPECT_STREQ("100 %", buf.data());
    ASSERT_TRUE(FormatPercent(0, buf.data(), buf.size()));
    EXPECT_STREQ("0 %", buf.data());
    std::vector<char> tight(6);
    EXPECT_TRUE(FormatPercent(100, tight.data(), tight.size()));
    std::vector<char> small(5);
    EXPECT_FALSE(FormatPercent(100, small.data(), small.size()));
    EXPECT_STREQ("", small.data());
}

/* Guards against a code showing another code's message, or a retry after
 * a failure that gives up (and the reverse). */
TEST(CopyErrors, MessageAndFollowUpForEveryCode)
{
    struct Case
    {
        int32_t code;
        uint16_t stringId;
        int outcome; /* when a file's copy answers the code */
    };
    const Case cases[] = {{COPY_ERROR_OPEN, IDS_ERR_FILE_OPEN, COPY_FILE_GIVE_UP},
                          {2, IDS_ERR_UNKNOWN, COPY_FILE_GIVE_UP},
                          {-1, IDS_ERR_BAD_SOURCE, COPY_FILE_RETRY},
                          {-2, IDS_ERR_BAD_DEST, COPY_FILE_RETRY},
                          {-3, IDS_ERR_DAMAGED, COPY_FILE_GIVE_UP},
                          {-4, IDS_ERR_DISK_FULL, COPY_FILE_GIVE_UP},
                          {-5, IDS_ERR_MEMORY, COPY_FILE_GIVE_UP},
                          {-6, IDS_ERR_DECOMPRESS, COPY_FILE_GIVE_UP},
                          {-7, IDS_ERR_UNKNOWN, COPY_FILE_GIVE_UP},
                          {-8, IDS_ERR_DAMAGED, COPY_FILE_GIVE_UP},
                          {-9, IDS_ERR_UNKNOWN, COPY_FILE_GIVE_UP},
                          {-100, IDS_ERR_UNKNOWN, COPY_FILE_GIVE_UP},
                          {INT32_MIN, IDS_ERR_UNKNOWN, COPY_FILE_GIVE_UP}};
    for (const Case &c : cases)
    {
        EXPECT_EQ(c.stringId, CopyErrorStringId(c.code)) << c.code;
        EXPECT_EQ(c.outcome, CopyFileOutcome(c.code)) << c.code;
    }
    EXPECT_EQ(COPY_FILE_DONE, CopyFileOutcome(0));
    EXPECT_EQ(1009, COPY_FILE_RETRY);
    /* A file call's Windows error: only a full disk is "Insufficient disk
     * space."; a file in use (5, 32) is retried, then set aside. */
    const struct
    {
        uint32_t error;
        int32_t code;
        int busy;
    } errors[] = {{112, -4, 0},
                  {39, -4, 0},
                  {5, COPY_ERROR_OPEN, 1},
                  {32, COPY_ERROR_OPEN, 1},
                  {33, COPY_ERROR_OPEN, 0},
                  {2, COPY_ERROR_OPEN, 0}};
    for (const auto &e : errors)
    {
        EXPECT_EQ(e.code, FileErrorCode(e.error)) << e.error;
        EXPECT_EQ(e.busy, IsFileBusyError(e.error)) << e.error;
    }
}

/* Guards against a list name that would write outside the driver
 * directory: a path, a drive or stream colon, or a name Windows trims to
 * "." or "..". */
TEST(BareFileName, RefusesPathsAndDotNames)
{
    for (const char *good : {"M270.GPD", "UNIDRV.DLL", "a", ".hidden", "x..y", "name.", " a",
                             "\xC7\xC1\xB8\xB0\xC5\xCD.DLL" /* Korean, code page 949 */})
        EXPECT_TRUE(IsBareFileName(good)) << good;
    for (const char *bad :
         {"", ".", "..", "...", ". .", " ", "..\\x.dll", "\\x.dll", "sub\\x.dll", "../x.dll",
          "sub/x.dll", "C:x.dll", "C:\\x.dll", "x.dll:stream", "\\\\server\\share\\x",
          /* the copy's own working names, which it deletes as leftovers */
          "~SETUP-0123456789AB.NEW", "~setup-0123456789ab.old"})
        EXPECT_FALSE(IsBareFileName(bad)) << bad;
    EXPECT_FALSE(IsBareFileName(nullptr));
}

/* Guards against a device taken for a file: LPT1 would send the file's
 * bytes to the port, COM1 as a source can hang the program; and against
 * file names that merely look like devices refused. */
TEST(CopyNames, DevicesAreNoFileNames)
{
    for (const char *device :
         {"CON", "prn", "Aux", "nul", "COM1", "com9", "LPT1", "lpt9", "CLOCK$", "conin$", "CONOUT$",
          "con.txt", "LPT1.GPD", "NUL.tar.gz", "COM1 ", "aux .dll", "prn  .x"})
    {
        EXPECT_TRUE(IsDeviceName(device)) << device;
        EXPECT_FALSE(IsBareFileName(device)) << device;
    }
    for (const char *file : {"COM0", "LPT10", "COM", "CONSOLE", "NULL.DAT", "xCON", " CON", "CLOCK",
                             "CON_", "LPTX.DLL", "AUX1.INI"})
    {
        EXPECT_FALSE(IsDeviceName(file)) << file;
        EXPECT_TRUE(IsBareFileName(file)) << file;
    }
}

/* Guards against the version folder losing or doubling its backslash, and
 * a cut path that would name another file. */
TEST(CopyPaths, DestinationAndVersionPaths)
{
    std::vector<char> out(SETUP_TEXT_MAX);
    const char *dir = "C:\\windows\\system32\\spool\\drivers\\w32x86\\";
    ASSERT_TRUE(BuildDestinationPath(dir, "M270.GPD", out.data(), out.size()));
    EXPECT_STREQ("C:\\windows\\system32\\spool\\drivers\\w32x86\\M270.GPD", out.data());
    ASSERT_TRUE(BuildVersionPath(dir, 3, "M270.GPD", out.data(), out.size()));
    EXPECT_STREQ("C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\M270.GPD", out.data());
    ASSERT_TRUE(BuildVersionPath("C:\\drv", 3, "A.DLL", out.data(), out.size()));
    EXPECT_STREQ("C:\\drv\\3\\A.DLL", out.data());
    ASSERT_TRUE(BuildVersionPath("C:\\drv\\", 12, "A.DLL", out.data(), out.size()));
    EXPECT_STREQ("C:\\drv\\12\\A.DLL", out.data());
}

/* Guards against a destination or version path cut to fit its 1024-character
 * buffer, which would name another file. */
TEST(CopyPaths, TooLongIsRefusedNotCut)
{
    std::string dir = "C:\\" + std::string(SETUP_TEXT_MAX - 1 - 3 - 1 - 8, 'd') + "\\";
    std::string name = "ABCD.DLL"; /* with it the path is exactly 1023 characters */
    ASSERT_EQ((size_t)SETUP_TEXT_MAX - 1, dir.size() + name.size());
    std::vector<char> out(SETUP_TEXT_MAX);
    EXPECT_TRUE(BuildDestinationPath(dir.c_str(), name.c_str(), out.data(), out.size()));
    EXPECT_EQ(dir + name, out.data());
    /* One more character does not fit. */
    EXPECT_FALSE(BuildDestinationPath(dir.c_str(), "ABCDE.DLL", out.data(), out.size()));
    EXPECT_STREQ("", out.data());
    /* The version path is two characters longer ("3\"). */
    EXPECT_FALSE(BuildVersionPath(dir.c_str(), 3, name.c_str(), out.data(), out.size()));
    EXPECT_STREQ("", out.data());
    std::string shorter = dir.substr(0, dir.size() - 3) + "\\";
    EXPECT_TRUE(BuildVersionPath(shorter.c_str(), 3, name.c_str(), out.data(), out.size()));
    EXPECT_EQ(shorter + "3\\" + name, out.data());
    std::vector<char> none(1);
    EXPECT_FALSE(BuildVersionPath(shorter.c_str(), 3, name.c_str(), none.data(), 0));
}

TEST(CopyPaths, FileNameIsTheLastComponent)
{
    EXPECT_STREQ("M270.GPD", PathFileName("C:\\drv\\M270.GPD"));
    EXPECT_STREQ("M270.GPD", PathFileName("M270.GPD"));
    EXPECT_STREQ("", PathFileName("C:\\drv\\"));
}

/* Guards against a temporary or kept copy outside the destination's folder,
 * one that is not ASCII or differs with the name's case (a leftover would
 * then not be found), two kinds under one name, and a temporary path LZ32's
 * open record cannot hold taken for one it can. */
TEST(CopyPaths, WorkingNamesBesideTheDestination)
{
    struct Case
    {
        const char *destination;
        int kind;
        const char *work;
    };
    const Case cases[] = {
        {"C:\\drv\\M270.GPD", COPY_WORK_TEMPORARY, "C:\\drv\\~SETUP-92A234E538FA.NEW"},
        {"C:\\drv\\m270.gpd", COPY_WORK_TEMPORARY, "C:\\drv\\~SETUP-92A234E538FA.NEW"},
        {"C:\\drv\\3\\M270.GPD", COPY_WORK_KEPT, "C:\\drv\\3\\~SETUP-92A234E538FA.OLD"},
        {"C:\\drv\\\xC7\xC1.DLL", COPY_WORK_KEPT, "C:\\drv\\~SETUP-60C4D94B726F.OLD"}};
    for (const Case &c : cases)
    {
        std::vector<char> out(SETUP_TEXT_MAX);
        ASSERT_TRUE(BuildWorkPath(c.destination, c.kind, out.data(), out.size()));
        EXPECT_STREQ(c.work, out.data()) << c.destination;
        EXPECT_TRUE(IsWorkName(PathFileName(out.data())));
    }
    std::vector<char> out(SETUP_TEXT_MAX);
    /* Let-go names: numbered, of the same length, found by one pattern. */
    ASSERT_TRUE(BuildLetGoPath("C:\\drv\\3\\m270.gpd", 7, out.data(), out.size()));
    EXPECT_STREQ("C:\\drv\\3\\~SETUP-92A234E538FA.D07", out.data());
    EXPECT_TRUE(IsWorkName(PathFileName(out.data())));
    ASSERT_TRUE(BuildLetGoPattern("C:\\drv\\3\\M270.GPD", out.data(), out.size()));
    EXPECT_STREQ("C:\\drv\\3\\~SETUP-92A234E538FA.D??", out.data());
    EXPECT_FALSE(BuildLetGoPath("C:\\drv\\M270.GPD", COPY_LET_GO_MAX, out.data(), out.size()));
    EXPECT_FALSE(BuildWorkPath("C:\\drv\\A.DLL", 2, out.data(), out.size()));
    std::vector<char> small(strlen("C:\\drv\\~SETUP-92A234E538FA.NEW"));
    EXPECT_FALSE(BuildWorkPath("C:\\drv\\M270.GPD", 0, small.data(), small.size()));
    EXPECT_STREQ("", small.data());
    for (const char *other : {"BUD0001.tmp", "~SETUP-0123456789AB.TMP", "~SETUP-0123456789A.NEW",
                              "~SETUP-0123456789AG.NEW", "~SETUP-0123456789AB.NEWX",
                              "~SETUP-0123456789AB.D1X", "~SETUP-0123456789AB.D100"})
        EXPECT_FALSE(IsWorkName(other)) << other;
    const std::string deepest(COPY_LZ_PATH_MAX - 1, 'p');
    EXPECT_TRUE(FitsOpenRecord(deepest.c_str()));
    EXPECT_FALSE(FitsOpenRecord((deepest + "p").c_str()));
}

/* Guards against misjudging which file the platform created in place of a
 * destination it could not create (Wine's LZOpenFileA with OF_CREATE). */
TEST(CopyPaths, LzFallbackNameAsThePlatformMakesIt)
{
    struct Case
    {
        const char *path, *fallback;
    };
    const Case cases[] = {{"C:\\drv\\M270.GPD", "C:\\drv\\M270.GP_"},
                          {"C:\\drv\\A.B", "C:\\drv\\A.B_"},
                          {"C:\\drv\\A.BC", "C:\\drv\\A.BC_"},
                          {"C:\\drv\\README", "C:\\drv\\README._"},
                          {"C:\\d.x\\README", "C:\\d.x\\README._"},
                          {"C:\\drv\\A.TAR.GZ", "C:\\drv\\A.TAR.G_"},
                          {"C:\\drv\\A.", "C:\\drv\\A._"},
                          {"M270.GPD", "M270.GP_"}};
    for (const Case &c : cases)
    {
        std::vector<char> out(SETUP_TEXT_MAX);
        ASSERT_TRUE(LzFallbackName(c.path, out.data(), out.size()));
        EXPECT_STREQ(c.fallback, out.data()) << c.path;
    }
    std::vector<char> tight(strlen("C:\\drv\\README") + 3);
    EXPECT_TRUE(LzFallbackName("C:\\drv\\README", tight.data(), tight.size()));
    std::vector<char> small(strlen("C:\\drv\\README") + 2);
    EXPECT_FALSE(LzFallbackName("C:\\drv\\README", small.data(), small.size()));
    EXPECT_STREQ("", small.data());
}

} // namespace
