/*
 * The copy dialog's failures that need root to set up, run by copy_root.sh,
 * which makes SETUP_IMMUTABLE_DIR (holding CPSMALL.INI, chattr +i) and
 * SETUP_FULL_DIR (a 64 KiB tmpfs) and undoes both afterwards.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/copy_harness.h"

using namespace copytest;

namespace
{

std::string EnvDir(const char *name)
{
    char dir[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(name, dir, sizeof(dir));
    return n > 0 && n < sizeof(dir) ? dir : "";
}

class CopyRootTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        if (FixtureDir().empty() || EnvDir("SETUP_IMMUTABLE_DIR").empty() ||
            EnvDir("SETUP_FULL_DIR").empty())
            GTEST_SKIP() << "run by copy_root.sh, which prepares the folders as root";
    }
    void TearDown() override
    {
        SetCurrentDirectoryA("C:\\");
    }
};

/* Guards against counting as copied the file Wine's LZOpenFileA creates
 * under the fallback name (CPSMALL.IN_) when the destination cannot be
 * created, and against leaving that file behind. */
TEST_F(CopyRootTest, DestinationThatCannotBeWrittenIsAFileOpenError)
{
    std::string drv = EnvDir("SETUP_IMMUTABLE_DIR");
    Folders f("immutable");
    ASSERT_TRUE(AddSources(f, {"CPSMALL.INI"}));
    SetFiles({"CPSMALL.INI"}, drv);
    CopyRun run;
    EXPECT_EQ(2, RunDialog(run));
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ("Error", run.messages[0].title);
    EXPECT_EQ("File open error.", run.messages[0].text);
    EXPECT_EQ(0, g_state.nextFileIndex);
    EXPECT_EQ("old copy", ReadFileBytes(drv + "CPSMALL.INI"));
    EXPECT_FALSE(Exists(drv + "CPSMALL.IN_"));
    EXPECT_FALSE(Exists(drv + "3\\CPSMALL.INI"));
}

/* Guards against a full disk reported as anything but itself, or followed
 * by more copying; the part-written file stays. */
TEST_F(CopyRootTest, DiskThatFillsDuringExpansion)
{
    std::string drv = EnvDir("SETUP_FULL_DIR");
    Folders f("full");
    ASSERT_TRUE(AddSources(f, {"CPBIG.TX_", "CPSMALL.INI"}));
    SetFiles({"CPBIG.TXT", "CPSMALL.INI"}, drv);
    CopyRun run;
    EXPECT_EQ(2, RunDialog(run));
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ("Error", run.messages[0].title);
    EXPECT_EQ("Insufficient disk space.", run.messages[0].text);
    EXPECT_EQ(0, g_state.nextFileIndex);
    std::string part = ReadFileBytes(drv + "CPBIG.TXT");
    std::string whole = ReadFileBytes(FixtureDir() + "ref\\CPBIG.TXT");
    EXPECT_GT(part.size(), 0u);
    EXPECT_LT(part.size(), whole.size());
    EXPECT_EQ(whole.substr(0, part.size()), part);
    EXPECT_FALSE(Exists(drv + "CPSMALL.INI"));
}

} // namespace
