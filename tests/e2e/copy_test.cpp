/*
 * The copy as the whole program does it, on the sample package: the model
 * and port chosen on the pages, the copy dialog, and the files in the
 * spooler's driver directory and its "3" folder afterwards, expanded; and a
 * package missing one of its files, which ends on the failure page after
 * "File open error.".  Run as e2e_copy_<deliverable> (CopyE2E.* only).
 */
#include <gtest/gtest.h>

#include "driver.h"
#include "profile/resource.h"

using namespace e2e;

namespace
{

const char kDriverDirectory[] = "C:\\windows\\system32\\spool\\drivers\\w32x86\\";

class CopyE2E : public ::testing::Test
{
  protected:
    Deliverable d;
    Process p;
    bool noModel = false;

    void SetUp() override
    {
        if (!d.Load() || Env("SETUP_SOURCE_DIR").empty())
            GTEST_SKIP() << "SETUP_PROGRAM, SETUP_LANG, SETUP_MODEL, SETUP_SYSTEMS or "
                            "SETUP_SOURCE_DIR not set";
        ASSERT_TRUE(SetWindowsVersion("win7"));
    }

    const char *Text(const char *english, const char *korean) const
    {
        return d.Korean() ? korean : english;
    }

    HWND WaitFor(int mark, DWORD timeoutMs = 10000)
    {
        return WaitForWindow(p.Id(), timeoutMs,
                             [mark](HWND h) {
                                 return IsWindowVisible(h) && IsWindowEnabled(h) &&
                                        GetDlgItem(h, mark) != NULL;
                             });
    }

    /* From the start to the copy dialog: the first model, the port the page
     * chooses.  NULL, with noModel set, when the model page lists none. */
    HWND WalkToCopy(const std::string &folder)
    {
        if (!p.Start(folder + "\\" + d.program.substr(d.folder.size() + 1), folder))
            return NULL;
        HWND welcome = WaitFor(IDC_WELCOME_TEXT, 20000);
        if (welcome == NULL || !Click(welcome, IDC_NEXT))
            return NULL;
        HWND model = WaitFor(IDC_MODEL_LIST);
        if (model == NULL)
            return NULL;
        if (ListItems(model, IDC_MODEL_LIST).empty())
        {
            noModel = true;
            return NULL;
        }
        SelectListItem(model, IDC_MODEL_LIST, 0);
        Click(model, IDC_NEXT);
        HWND port = WaitFor(IDC_PORT_LIST);
        if (port == NULL)
            return NULL;
        if (SendDlgItemMessageW(port, IDC_PORT_LIST, LB_GETCURSEL, 0, 0) < 0)
            SelectListItem(port, IDC_PORT_LIST, 0);
        Click(port, IDC_NEXT);
        return WaitFor(IDC_PROGRESS_BAR);
    }

    /* The final page's outcome text; leaves it with OK and checks the exit. */
    std::string FinishAtFinalPage()
    {
        HWND final = WaitFor(IDC_SET_DEFAULT, 30000);
        if (final == NULL)
            return "(no final page)";
        std::string outcome = ControlText(final, IDC_OUTCOME_TEXT);
        Click(final, IDOK);
        DWORD code = 0xdeadbeef;
        EXPECT_TRUE(p.WaitExit(10000, &code));
        EXPECT_EQ(0u, code);
        return outcome;
    }
};

} // namespace

// Every file of the model's list must reach the driver directory and its
// "3" folder, the compressed ones expanded to the original bytes.
TEST_F(CopyE2E, SamplePackageLandsInTheDriverDirectory)
{
    HWND copy = WalkToCopy(d.folder);
    if (noModel)
        GTEST_SKIP() << "the model page lists no model, so no file reaches the copy";
    ASSERT_NE(copy, nullptr) << "no copy dialog";
    EXPECT_EQ(Text("Copying Files...", "파일 복사 중..."), TextUtf8(copy));
    EXPECT_EQ(Text("The Installation has done successfully.", "설치가 완료되었습니다."),
              FinishAtFinalPage());
    const std::string samples = Env("SETUP_SOURCE_DIR") + "\\samples\\" + d.model + "\\";
    const std::pair<std::string, std::string> files[] = {
        {d.model + ".GPD", samples + d.model + ".GPD"},
        {d.model + "RES.DLL", samples + d.model + "RES.DLL"},
        {d.model + ".INI", samples + d.model + ".INI"},
        {d.model + ".DLL", d.folder + "\\" + d.model + ".DLL"},
    };
    for (const auto &f : files)
    {
        std::string want = ReadWholeFile(f.second);
        ASSERT_NE("(missing)", want) << f.second;
        EXPECT_TRUE(ReadWholeFile(kDriverDirectory + f.first) == want) << f.first;
        EXPECT_TRUE(ReadWholeFile(std::string(kDriverDirectory) + "3\\" + f.first) == want)
            << f.first;
    }
}

// A file found nowhere (not beside the program, not in the current folder,
// not on the search path) must give "File open error." and end the wizard
// on the failure page.
TEST_F(CopyE2E, SourceFoundNowhereEndsOnTheFailurePage)
{
    const std::string folder = "C:\\copy_e2e_missing";
    CreateDirectoryA(folder.c_str(), NULL);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((d.folder + "\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    do
    {
        std::string name = found.cFileName;
        bool copied =
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == d.model + ".INI" ||
            CopyFileA((d.folder + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
        ASSERT_TRUE(copied) << name;
    } while (FindNextFileA(find, &found));
    FindClose(find);

    HWND copy = WalkToCopy(folder);
    if (noModel)
        GTEST_SKIP() << "the model page lists no model, so no file reaches the copy";
    ASSERT_NE(copy, nullptr) << "no copy dialog";
    HWND error = WaitFor(IDC_MESSAGE_TEXT, 20000);
    ASSERT_NE(error, nullptr) << "no error message";
    EXPECT_EQ(Text("Error", "오류"), TextUtf8(error));
    EXPECT_EQ(Text("File open error.", "파일이 없습니다."), ControlText(error, IDC_MESSAGE_TEXT));
    EXPECT_TRUE(StaticShowsSystemIcon(GetDlgItem(error, IDC_MESSAGE_ICON), 32513));
    Click(error, IDOK);
    EXPECT_EQ(Text("The Installation has failed.", "설치를 중지합니다."), FinishAtFinalPage());
}
