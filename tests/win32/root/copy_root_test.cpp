/*
 * The copy dialog's failures that need root to set up, run by copy_root.sh,
 * which makes SETUP_IMMUTABLE_DIR (holding CPSMALL.INI, chattr +i) and
 * SETUP_FULL_DIR (a 64 KiB tmpfs) and undoes both afterwards.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "support/copy_harness.h"
#include "copy/file_api.h"

using namespace copytest;

namespace
{

class CopyRootTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        if (FixtureDir().empty() || Env("SETUP_IMMUTABLE_DIR").empty() ||
            Env("SETUP_FULL_DIR").empty())
            GTEST_SKIP() << "run by copy_root.sh, which prepares the folders as root";
    }
    void TearDown() override
    {
        SetCurrentDirectoryA("C:\\");
    }
};

/* Guards against counting as copied, or leaving, the file Wine's LZOpenFileA
 * creates under the fallback name (CPSMALL.IN_) for an unwritable one. */
TEST_F(CopyRootTest, DestinationThatCannotBeWrittenIsAFileOpenError)
{
    std::string drv = Env("SETUP_IMMUTABLE_DIR");
    Folders f("immutable");
    ASSERT_TRUE(AddSources(f, {"CPSMALL.INI"}));
    SetFiles({"CPSMALL.INI"}, drv);
    CopyRun run;
    EXPECT_EQ(2, RunDialog(run));
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ("Error", run.messages[0].title);
    EXPECT_EQ(pagetext::kFileOpenError.english, run.messages[0].text);
    EXPECT_EQ(0, g_state.nextFileIndex);
    EXPECT_EQ("old copy", ReadFileBytes(drv + "CPSMALL.INI"));
    EXPECT_FALSE(Exists(drv + "CPSMALL.IN_"));
    EXPECT_FALSE(Exists(drv + "3\\CPSMALL.INI"));
}

/* FAT32's answer to a hard link. */
BOOL WINAPI RefusedLink(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES)
{
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
}

/* Guards against a full disk reported otherwise or copied on after, another
 * driver's copies cut short or left replaced, or a temporary left: in the
 * expansion, and in the copy that keeps the earlier file without hard links. */
TEST_F(CopyRootTest, DiskThatFillsDuringExpansion)
{
    struct Case
    {
        const char *what;
        std::vector<std::string> names;
        size_t earlierSize; /* of another driver's copy of the first name */
        bool links;
    };
    const Case cases[] = {
        {"expansion", {"CPBIG.TXT", "CPSMALL.INI"}, 1000, true},
        {"keeping the earlier copy, no hard links", {"CPSMALL.INI", "CPRAND.BIN"}, 25000, false},
    };
    std::string drv = Env("SETUP_FULL_DIR");
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.what);
        for (const auto &file : DriverFiles(drv))
            DeleteFileA((drv + file.first).c_str());
        Folders f("full");
        ASSERT_TRUE(AddSources(f, {"CPBIG.TX_", "CPSMALL.INI", "CPRAND.BIN"}));
        std::string other = ReadFileBytes(FixtureDir() + "ref\\CPRAND.BIN");
        while (other.size() < c.earlierSize)
            other += other;
        other.resize(c.earlierSize);
        for (const std::string sub : {"", "3\\"})
        {
            HANDLE h = CreateFileA((drv + sub + c.names[0]).c_str(), GENERIC_WRITE, 0, NULL,
                                   CREATE_ALWAYS, 0, NULL);
            DWORD written = 0;
            ASSERT_TRUE(WriteFile(h, other.data(), (DWORD)other.size(), &written, NULL));
            CloseHandle(h);
        }
        const std::map<std::string, std::string> before = DriverFiles(drv);
        SetFiles(c.names, drv);
        FileApi files = kKernelFiles;
        if (!c.links)
            files.createHardLink = RefusedLink;
        g_files = &files;
        CopyRun run;
        EXPECT_EQ(2, RunDialog(run));
        g_files = &kKernelFiles;
        ASSERT_EQ(1u, run.messages.size());
        EXPECT_EQ("Error", run.messages[0].title);
        EXPECT_EQ(pagetext::kDiskFullError.english, run.messages[0].text);
        EXPECT_EQ(0, g_state.nextFileIndex);
        EXPECT_FALSE(Exists(drv + c.names[1]));
        EXPECT_EQ(before, DriverFiles(drv)) << "before the run's end";
        EXPECT_EQ(std::vector<std::string>(), NotPutBack(drv, before));
    }
}

} // namespace
