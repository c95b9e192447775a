/*
 * The copy as the whole program does it, on the sample package: from the
 * pages to the expanded files in the driver directory and its "3" folder,
 * and its failures (a missing file, a cancel or kill, a loaded DLL, planted
 * system DLLs, hostile setup information, a full disk).  Run as
 * e2e_copy_<deliverable> and, for the full disk, e2e_fulldisk_<deliverable>.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "wizard_fixture.h"

using namespace e2e;

namespace
{

const char kDriverDirectory[] = "C:\\windows\\system32\\spool\\drivers\\w32x86\\";
/* What another driver keeps in the driver directory and its "3" folder. */
const char kOtherDriversCopy[] = "Another driver's copy of this file.\r\n";

/* Another driver's copies of `names`, in the driver directory and its "3"
 * folder. */
bool KeepOtherDriversCopies(const std::vector<std::string> &names)
{
    for (const std::string &name : names)
        if (!WriteWholeFile(kDriverDirectory + name, kOtherDriversCopy) ||
            !WriteWholeFile(std::string(kDriverDirectory) + "3\\" + name, kOtherDriversCopy))
            return false;
    return true;
}

/* A large file that replaced them is named by its size, not printed. */
void ExpectOtherDriversCopiesKept(const std::vector<std::string> &names)
{
    for (const std::string &name : names)
        for (const std::string sub : {"", "3\\"})
        {
            std::string left = ReadWholeFile(kDriverDirectory + sub + name);
            EXPECT_TRUE(left == kOtherDriversCopy)
                << sub << name << " holds "
                << (left.size() <= 64 ? "\"" + left + "\""
                                      : std::to_string(left.size()) + " bytes");
        }
}

/* The copy's temporaries and kept copies ("~SETUP-....NEW" and ".OLD") left
 * in the driver directory and its "3" folder. */
std::vector<std::string> WorkingFilesLeft()
{
    std::vector<std::string> left;
    for (const std::string sub : {"", "3\\"})
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((kDriverDirectory + sub + "~SETUP-*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do
            left.push_back(sub + found.cFileName);
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return left;
}

/* The files Windows deletes at the next restart (MoveFileExA with
 * MOVEFILE_DELAY_UNTIL_REBOOT), as full paths in upper case. */
std::vector<std::string> DueAtRestart()
{
    std::vector<std::string> due;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return due;
    std::vector<char> list(1 << 16);
    DWORD size = (DWORD)list.size() - 2;
    if (RegQueryValueExA(key, "PendingFileRenameOperations", NULL, NULL, (BYTE *)list.data(),
                         &size) == ERROR_SUCCESS)
    {
        /* Pairs of NUL-ended names, "\??\C:\..." and where it goes: "" for
         * a deletion. */
        for (size_t i = 0; i < size && list[i] != '\0';)
        {
            std::string from = list.data() + i;
            i += from.size() + 1;
            std::string to = i < size ? list.data() + i : "";
            i += to.size() + 1;
            if (to.empty() && from.compare(0, 4, "\\??\\") == 0)
            {
                CharUpperA(&from[0]);
                due.push_back(from.substr(4));
            }
        }
    }
    RegCloseKey(key);
    return due;
}

/* A control's text as the window manager keeps it: WM_GETTEXT would wait
 * until the copy's one thread has expanded the file it works on. */
std::wstring ShownWithoutAsking(HWND dialog, int id)
{
    wchar_t text[64] = L"";
    InternalGetWindowText(GetDlgItem(dialog, id), text, 64);
    return text;
}

/* A copy of the package whose model lists BIG.BIN, `size` bytes, second:
 * large enough for the copy to be caught while it expands. */
bool PackageWithBigFile(const std::string &from, const std::string &to, const std::string &model,
                        size_t size)
{
    if (!CopyPackage(from, to, ""))
        return false;
    const std::string infPath = to + "\\" + model + ".INF";
    std::string inf = ReadWholeFile(infPath);
    size_t line = inf.find("CopyFiles=@" + model + ".GPD,");
    if (line == std::string::npos)
        return false;
    inf.insert(line + strlen("CopyFiles=@") + model.size() + 5, "BIG.BIN,");
    return WriteWholeFile(infPath, inf) && WriteWholeFile(to + "\\BIG.BIN", std::string(size, 'b'));
}

class CopyE2E : public Wizard
{
  protected:
    void SetUp() override
    {
        Wizard::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (Env("SETUP_SOURCE_DIR").empty())
            GTEST_SKIP() << "SETUP_SOURCE_DIR not set";
    }

    /* From the start to the copy dialog: the first model, the port the page
     * chooses.  NULL, and a failure, when the model page lists none. */
    HWND WalkToCopy(const std::string &folder)
    {
        HWND welcome = StartToWelcome(folder);
        HWND model = welcome ? Press(welcome, IDC_NEXT, kModelMark) : NULL;
        if (model == NULL)
            return NULL;
        if (ListItems(model, IDC_MODEL_LIST).empty())
        {
            ADD_FAILURE() << "the model page lists no model, so no file reaches the copy";
            return NULL;
        }
        SelectListItem(model, IDC_MODEL_LIST, 0);
        HWND port = Press(model, IDC_NEXT, kPortMark);
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
        HWND final = WaitFor(kFinalMark, 30000);
        if (final == NULL)
            return "(no final page)";
        std::string outcome = ControlText(final, IDC_OUTCOME_TEXT);
        Click(final, IDOK);
        ExpectExit();
        return outcome;
    }
    /* The copy dialog's error ("File open error." unless told), then the
     * failure page. */
    void ExpectErrorAndFailure(HWND copy, const pagetext::Text &error = pagetext::kFileOpenError)
    {
        ASSERT_NE(copy, nullptr) << "no copy dialog";
        HWND box = WaitFor(kQuestionMark, 20000);
        ASSERT_NE(box, nullptr) << "no error message";
        EXPECT_EQ(Text(pagetext::kErrorTitle), TextUtf8(box));
        EXPECT_EQ(Text(error), ControlText(box, IDC_MESSAGE_TEXT));
        EXPECT_TRUE(StaticShowsSystemIcon(GetDlgItem(box, IDC_MESSAGE_ICON), 32513));
        Click(box, IDOK);
        EXPECT_EQ(Text(pagetext::kInstallFailed), FinishAtFinalPage());
    }
};

} // namespace

// Guards against a file of the model's list missing from either folder or
// not expanded to the original bytes.
TEST_F(CopyE2E, SamplePackageLandsInTheDriverDirectory)
{
    HWND copy = WalkToCopy(d.folder);
    ASSERT_NE(copy, nullptr) << "no copy dialog";
    EXPECT_EQ(Text(pagetext::kCopyCaption), TextUtf8(copy));
    EXPECT_EQ(Text(pagetext::kInstallDone), FinishAtFinalPage());
    const std::string samples = Env("SETUP_SOURCE_DIR") + "\\samples\\" + d.model + "\\";
    for (const std::string name : {".GPD", "RES.DLL", ".INI", ".DLL"})
    {
        std::string from = (name == ".DLL" ? d.folder + "\\" : samples) + d.model + name;
        std::string want = ReadWholeFile(from);
        ASSERT_NE("(missing)", want) << from;
        for (const std::string sub : {"", "3\\"})
            EXPECT_TRUE(ReadWholeFile(kDriverDirectory + sub + d.model + name) == want)
                << sub << d.model << name;
    }
}

// Guards against a source found nowhere (not beside the program, in the
// current folder or on the search path) not ending on the failure page after
// "File open error.", or another driver's copies of it or of the file
// replaced before it not back byte for byte, or working files left.
TEST_F(CopyE2E, SourceFoundNowhereLeavesOtherDriversCopies)
{
    const std::string folder = "C:\\copy_e2e_missing";
    const std::string missing = d.model + ".INI";
    ASSERT_TRUE(CopyPackage(d.folder, folder, missing));
    ASSERT_TRUE(KeepOtherDriversCopies({missing, d.model + ".GPD"}));
    HWND copy = WalkToCopy(folder);
    ExpectErrorAndFailure(copy);
    ExpectOtherDriversCopiesKept({missing, d.model + ".GPD"});
    EXPECT_EQ(std::vector<std::string>(), WorkingFilesLeft());
}

// Guards against a cancel during a large file leaving another driver's copies
// replaced or working files left, a kill leaving a file cut short, and a
// next run that keeps the kill's leftovers.
TEST_F(CopyE2E, CancelOrKillDuringALargeFileKeepsOtherDriversCopies)
{
    const size_t size = 64 * 1000 * 1000;
    const std::string folder = "C:\\copy_e2e_big";
    ASSERT_TRUE(PackageWithBigFile(d.folder, folder, d.model, size));
    for (bool kill : {false, true})
    {
        SCOPED_TRACE(kill ? "killed" : "cancelled");
        ASSERT_TRUE(KeepOtherDriversCopies({d.model + ".GPD", "BIG.BIN"}));
        HWND copy = WalkToCopy(folder);
        ASSERT_NE(copy, nullptr) << "no copy dialog";
        DWORD start = GetTickCount();
        while (ShownWithoutAsking(copy, IDC_COPY_FILE_NAME) != L"BIG.BIN" &&
               GetTickCount() - start < 20000)
            Sleep(2);
        ASSERT_TRUE(ShownWithoutAsking(copy, IDC_COPY_FILE_NAME) == L"BIG.BIN");
        if (kill)
        {
            p.Kill();
            for (const std::string sub : {"", "3\\"})
            {
                std::string left = ReadWholeFile(std::string(kDriverDirectory) + sub + "BIG.BIN");
                EXPECT_TRUE(left == kOtherDriversCopy || left.size() == size)
                    << sub << "BIG.BIN: " << left.size() << " bytes";
                std::cout << "[ INFO     ] killed: " << sub << "BIG.BIN holds "
                          << (left == kOtherDriversCopy ? "the earlier copy" : "the new file")
                          << "\n";
            }
            continue;
        }
        Click(copy, IDCANCEL);
        HWND question = WaitFor(IDYES, 30000);
        ASSERT_NE(question, nullptr) << "no cancel question";
        Click(question, IDYES);
        EXPECT_EQ(Text(pagetext::kInstallFailed), FinishAtFinalPage());
        ExpectOtherDriversCopiesKept({d.model + ".GPD", "BIG.BIN"});
        EXPECT_EQ(std::vector<std::string>(), WorkingFilesLeft());
    }
    /* The killed run's leftovers, cleared by a next run that succeeds. */
    HWND copy = WalkToCopy(folder);
    ASSERT_NE(copy, nullptr) << "no copy dialog";
    EXPECT_EQ(Text(pagetext::kInstallDone), FinishAtFinalPage());
    EXPECT_EQ(std::vector<std::string>(), WorkingFilesLeft());
    EXPECT_EQ(size, ReadWholeFile(std::string(kDriverDirectory) + "3\\BIG.BIN").size());
}

// Guards against a disk filling during a shared file not ending on the
// failure page after "Insufficient disk space.", with another driver's copies
// back and no working file left.  Needs e2e_fulldisk_<deliverable>'s tmpfs.
TEST_F(CopyE2E, DiskThatFillsDuringASharedFileKeepsOtherDriversCopies)
{
    if (Env("SETUP_WINE_SMALL_DRIVER_DIR").empty())
        GTEST_SKIP() << "needs the small driver directory of e2e_fulldisk_<deliverable>";
    ASSERT_TRUE(KeepOtherDriversCopies({d.model + ".GPD", "BIG.BIN"}));
    ULARGE_INTEGER room;
    ASSERT_TRUE(GetDiskFreeSpaceExA(kDriverDirectory, &room, NULL, NULL));
    ASSERT_LT(room.QuadPart, 64u << 20) << "the driver directory is not a small disk";
    const std::string folder = "C:\\copy_e2e_full";
    ASSERT_TRUE(PackageWithBigFile(d.folder, folder, d.model, (size_t)room.QuadPart + (256 << 10)));
    HWND copy = WalkToCopy(folder);
    ExpectErrorAndFailure(copy, pagetext::kDiskFullError);
    ExpectOtherDriversCopiesKept({d.model + ".GPD", "BIG.BIN"});
    EXPECT_EQ(std::vector<std::string>(), WorkingFilesLeft());
}

// Guards against a shared DLL that another process holds loaded from the "3"
// folder (a move over it is refused, a rename allowed) failing the install,
// missing the new file in a folder, or leaving working files not due for
// deletion at the next restart.
TEST_F(CopyE2E, DllLoadedFromTheVersionFolderIsSetAside)
{
    const std::string bin = Env("SETUP_TEST_BIN_DIR");
    if (bin.empty())
        GTEST_SKIP() << "SETUP_TEST_BIN_DIR not set";
    const std::string shared = d.model + "RES.DLL";
    const std::string inThree = std::string(kDriverDirectory) + "3\\" + shared;
    const std::string dll = bin + "\\planted.dll";
    ASSERT_TRUE(CopyFileA(dll.c_str(), (kDriverDirectory + shared).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(dll.c_str(), inThree.c_str(), FALSE));
    /* Mapped as an image, without running its DllMain. */
    HMODULE loaded = LoadLibraryExA(inThree.c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, loaded);
    /* The rule is armed: a move of the same bytes over it is refused. */
    const std::string probe = std::string(kDriverDirectory) + "3\\probe.dll";
    ASSERT_TRUE(CopyFileA(dll.c_str(), probe.c_str(), FALSE));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(MoveFileExA(probe.c_str(), inThree.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
    DeleteFileA(probe.c_str());

    HWND copy = WalkToCopy(d.folder);
    if (copy == NULL)
        FreeLibrary(loaded);
    ASSERT_NE(copy, nullptr) << "no copy dialog";
    EXPECT_EQ(Text(pagetext::kInstallDone), FinishAtFinalPage());
    const std::string want =
        ReadWholeFile(Env("SETUP_SOURCE_DIR") + "\\samples\\" + d.model + "\\" + shared);
    EXPECT_TRUE(ReadWholeFile(kDriverDirectory + shared) == want);
    EXPECT_TRUE(ReadWholeFile(inThree) == want);
    const std::vector<std::string> due = DueAtRestart();
    std::vector<std::string> left = WorkingFilesLeft();
    EXPECT_FALSE(left.empty()) << "the loaded DLL was not set aside";
    for (const std::string &name : left)
    {
        std::string path = kDriverDirectory + name;
        CharUpperA(&path[0]);
        EXPECT_NE(due.end(), std::find(due.begin(), due.end(), path)) << name << " is left";
    }
    FreeLibrary(loaded);
    for (const std::string &name : left)
        DeleteFileA((kDriverDirectory + name).c_str());
}

// Guards against a stranger's LZ32.DLL or WINSPOOL.DRV beside the program
// being loaded (with administrator rights); a canary shows the trap is armed.
TEST_F(CopyE2E, PlantedSystemDllsAreNotLoaded)
{
    const std::string folder = "C:\\copy_e2e_planted";
    const std::string bin = Env("SETUP_TEST_BIN_DIR");
    if (bin.empty())
        GTEST_SKIP() << "SETUP_TEST_BIN_DIR not set";
    ASSERT_TRUE(CopyPackage(d.folder, folder, ""));
    const std::string planted[] = {"LZ32.DLL", "WINSPOOL.DRV"};
    for (const std::string &dll : planted)
    {
        ASSERT_TRUE(
            CopyFileA((bin + "\\planted.dll").c_str(), (folder + "\\" + dll).c_str(), FALSE));
    }
    ASSERT_TRUE(
        CopyFileA((bin + "\\canary.exe").c_str(), (folder + "\\canary.exe").c_str(), FALSE));
    const std::string exe = d.program.substr(d.folder.size() + 1);
    ASSERT_TRUE(LoadLikeWindows("canary.exe", {"lz32", "winspool.drv"}));
    ASSERT_TRUE(LoadLikeWindows(exe, {"lz32", "winspool.drv"}));

    Process canary;
    DWORD loaded = 0;
    ASSERT_TRUE(canary.Start(folder + "\\canary.exe", folder));
    ASSERT_TRUE(canary.WaitExit(20000, &loaded));
    ASSERT_EQ(2u, loaded);
    for (const std::string &dll : planted)
    {
        ASSERT_NE("(missing)", ReadWholeFile(folder + "\\" + dll + ".loaded"))
            << "the trap is not armed: " << dll << " was not taken from the folder";
        ASSERT_TRUE(DeleteFileA((folder + "\\" + dll + ".loaded").c_str()));
    }

    auto expectNoneLoaded = [&]
    {
        for (const std::string &dll : planted)
            EXPECT_EQ("(missing)", ReadWholeFile(folder + "\\" + dll + ".loaded"))
                << dll << " was loaded";
    };
    HWND copy = WalkToCopy(folder);
    expectNoneLoaded();
    ASSERT_NE(copy, nullptr) << "no copy dialog";
    EXPECT_EQ(Text(pagetext::kInstallDone), FinishAtFinalPage());
    expectNoneLoaded();
}

// Guards against a CopyFiles device name, or a value the platform cuts to fit
// its buffer, not refused before anything is deleted.
TEST_F(CopyE2E, HostileSetupInformationTouchesNothing)
{
    std::string longList;
    while (longList.size() < 1100)
        longList += d.model + ".GPD,";
    const struct
    {
        const char *what;
        std::string copyFiles;
    } cases[] = {
        {"a printer port as a file", "@" + d.model + ".GPD,LPT1," + d.model + ".DLL"},
        {"a list longer than its buffer", longList},
    };
    int n = 0;
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string folder = "C:\\copy_e2e_hostile" + std::to_string(n++);
        ASSERT_TRUE(CopyPackage(d.folder, folder, ""));
        const std::string infPath = folder + "\\" + d.model + ".INF";
        std::string inf = ReadWholeFile(infPath);
        size_t line = inf.find("CopyFiles=");
        ASSERT_NE(std::string::npos, line);
        size_t end = inf.find_first_of("\r\n", line);
        inf.replace(line, end - line, "CopyFiles=" + c.copyFiles);
        ASSERT_TRUE(WriteWholeFile(infPath, inf));
        ASSERT_TRUE(KeepOtherDriversCopies({d.model + ".GPD"}));
        HWND copy = WalkToCopy(folder);
        ExpectErrorAndFailure(copy);
        ExpectOtherDriversCopiesKept({d.model + ".GPD"});
    }
}
