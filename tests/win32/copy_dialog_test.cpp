/*
 * The copy dialog against the real platform: LZ32 expanding SZDD files made
 * by mscompress (the expected bytes are msexpand's output), sources read
 * from the package folder only, the bar read back from the control pixel
 * by pixel, cancel at each point of the copy with either answer, and every
 * failure with its exact message.  Errors that the platform does not give on
 * demand (a bad handle, which asks for the same file again) come from a
 * scripted LZ table.  The tests that need root are in root/.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "support/copy_harness.h"
#include "support/gdi_count.h"
#include "copy/copy_logic.h"
#include "copy/file_api.h"
#include "copy/lz_api.h"
#include "setupinfo/setup_info.h"

using namespace copytest;

namespace
{

const std::vector<std::string> kNames = {"CPTEXT.TXT", "CPRAND.BIN", "CPEMPTY.DAT", "CPSMALL.INI"};
/* As the package stores them: the text file SZDD-compressed. */
const std::vector<std::string> kStored = {"CPTEXT.TX_", "CPRAND.BIN", "CPEMPTY.DAT", "CPSMALL.INI"};
const char *const kQuestion = pagetext::kConfirmCancel.english;
const char *const kOpenError = pagetext::kFileOpenError.english;

class CopyDialogTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        g_lz = &kLz32;
        if (FixtureDir().empty())
            GTEST_SKIP() << "SETUP_COPY_FIXTURES is not set";
    }
    void TearDown() override
    {
        g_lz = &kLz32;
        g_files = &kKernelFiles;
        SetCurrentDirectoryA("C:\\");
    }

    /* The first `copied` names are in drv and drv\3 with the expected bytes;
     * the others are in neither. */
    static void ExpectCopied(const Folders &f, const std::vector<std::string> &names, size_t copied)
    {
        for (size_t i = 0; i < names.size(); i++)
        {
            SCOPED_TRACE(names[i]);
            std::string want = RefBytes(names[i]);
            for (const std::string &dir : {f.drv, f.drv + "3\\"})
            {
                bool found = false;
                std::string got = ReadFileBytes(dir + names[i], &found);
                EXPECT_EQ(i < copied, found) << dir;
                EXPECT_TRUE(i >= copied || got == want)
                    << dir << ": " << got.size() << " bytes, want " << want.size();
            }
        }
    }
};

/* Guards against a file copied unexpanded or to one folder only, an earlier
 * or kept copy left, a name shown twice, and no put-back after a refusal. */
TEST_F(CopyDialogTest, CopiesEveryFileExpandedIntoBothFolders)
{
    for (bool completed : {true, false})
    {
        SCOPED_TRACE(completed ? "run completed" : "driver refused after the copy");
        Folders f(completed ? "all" : "refused");
        ASSERT_TRUE(AddSources(f, kStored));
        SetFiles(kNames, f.drv);
        ASSERT_TRUE(PlaceInBoth(f, "CPRAND.BIN", "CPSMALL.INI"));
        const std::map<std::string, std::string> before = DriverFiles(f.drv);
        std::string directoryShown;
        CopyRun run;
        run.allCopied = [&](HWND d) { directoryShown = uitest::ItemText(d, IDC_COPY_DIRECTORY); };
        EXPECT_EQ(1, RunDialog(run));
        EXPECT_TRUE(run.messages.empty());
        EXPECT_EQ(kNames, run.shown);
        EXPECT_EQ(4, g_state.nextFileIndex);
        EXPECT_EQ(f.drv, directoryShown);
        ExpectCopied(f, kNames, 4);
        if (!completed)
        {
            EXPECT_EQ(std::vector<std::string>(), NotPutBack(f.drv, before));
            continue;
        }
        FinishReplacedFiles(TRUE);
        ExpectCopied(f, kNames, 4);
        EXPECT_EQ(8u, DriverFiles(f.drv).size()) << "a kept copy is left";
    }
}

/* Guards against the sample package, as the reader lists it, copied other
 * than expanded from the package folder. */
TEST_F(CopyDialogTest, CopiesTheSamplePackage)
{
    const std::string package = Env("SETUP_PACKAGE_DIR"), sources = Env("SETUP_SOURCE_DIR");
    if (package.empty() || sources.empty())
        GTEST_SKIP() << "SETUP_PACKAGE_DIR or SETUP_SOURCE_DIR is not set";
    ZeroMemory(&g_state, sizeof(g_state));
    g_state.instance = GetModuleHandleA(NULL);
    g_state.osIndex = 3;
    lstrcpyA(g_state.infPath, (package + "\\M270.INF").c_str());
    lstrcpyA(g_state.modelName, "Tarvik M270");
    ASSERT_EQ(1, ReadModelData());
    ASSERT_EQ(4u, g_state.fileCount);
    g_state.driverVersion = 3;
    lstrcpyA(g_state.packageFolder, (package + "\\").c_str());
    CopyRun run;
    EXPECT_EQ(1, RunDialog(run));
    EXPECT_TRUE(run.messages.empty());
    const std::string samples = sources + "\\samples\\M270\\";
    /* The DLL is the one file not stored compressed. */
    for (const std::string name : {"M270.GPD", "M270RES.DLL", "M270.INI", "M270.DLL"})
    {
        std::string from = (name == "M270.DLL" ? package + "\\" : samples) + name;
        std::string want = ReadFileBytes(from);
        ASSERT_FALSE(want.empty()) << from;
        for (const char *sub : {"", "3\\"})
            EXPECT_TRUE(ReadFileBytes(g_state.driverDirectory + (sub + name)) == want)
                << sub << name;
    }
}

/* `count` one-byte sources B000, B001, ... in src; their names. */
std::vector<std::string> MakeOneByteSources(const Folders &f, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; i++)
    {
        char name[8]; /* short: 200 names must fit the 1024-byte list */
        wsprintfA(name, "B%03d", i);
        names.push_back(name);
        HANDLE h =
            CreateFileA((f.src + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written;
        WriteFile(h, "x", 1, &written, NULL);
        CloseHandle(h);
    }
    return names;
}

/* The bar's pixels differing from the test's painting of `done` of `files`
 * files, or -1 when the sizes differ. */
size_t BarDifferences(HWND dialog, int done, int files)
{
    int width = pixels::ClientSize(GetDlgItem(dialog, IDC_PROGRESS_BAR)).cx;
    int percent = (200 * done + files) / (2 * files);
    int split = percent == 100 ? width : percent * width / 100;
    std::string text = std::to_string(percent) + " %";
    return Differences(Snapshot(dialog), Expected(dialog, split, text.c_str()));
}

/* Pixels of the bar's navy or white. */
size_t BarColoured(const std::vector<uint32_t> &p)
{
    size_t n = 0;
    for (DWORD px : p)
        n += px == 0x000080 || px == 0xFFFFFF;
    return n;
}

/* The bar's control repainted at once, as when a window over it moves away. */
void RepaintBar(HWND dialog)
{
    RedrawWindow(GetDlgItem(dialog, IDC_PROGRESS_BAR), NULL, NULL,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

/* Guards against a split one file off, a colour change away from the split,
 * a text in the wrong colour, and a full bar that misses pixels. */
TEST_F(CopyDialogTest, BarReadBackPixelByPixel)
{
    struct Case
    {
        int files;
        std::vector<int> after; /* files done when the bar is read */
    };
    const Case cases[] = {{3, {1, 2, 3}}, {1, {1}}, {8, {1}}, {2, {1}}, {200, {199}}};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.files << " files");
        Folders f("bar" + std::to_string(c.files));
        SetFiles(MakeOneByteSources(f, c.files), f.drv);
        auto line = [&](int k, size_t diff) /* "k: percent, differing pixels" */
        {
            return std::to_string(k) + ": " + std::to_string((200 * k + c.files) / (2 * c.files)) +
                   " %, " + std::to_string(diff);
        };
        std::vector<std::string> seen, want;
        int width = 0;
        auto look = [&](HWND d, int done)
        {
            if (std::find(c.after.begin(), c.after.end(), done) == c.after.end())
                return;
            width = pixels::ClientSize(GetDlgItem(d, IDC_PROGRESS_BAR)).cx;
            seen.push_back(line(done, BarDifferences(d, done, c.files)));
        };
        CopyRun run;
        run.beforeFile = [&](HWND d, size_t index) { look(d, (int)index); };
        run.allCopied = [&](HWND d) { look(d, c.files); };
        EXPECT_EQ(1, RunDialog(run));
        EXPECT_TRUE(run.messages.empty());
        EXPECT_GT(width, 100);
        for (int k : c.after)
            want.push_back(line(k, 0));
        EXPECT_EQ(want, seen);
    }
    /* The percentages the cases stand for. */
    EXPECT_EQ(13, (200 * 1 + 8) / 16);
    EXPECT_EQ(100, (200 * 199 + 200) / 400);
}

/* A thread timer's one call, from the dialog's own modal loop. */
std::function<void()> g_onTimer;
VOID CALLBACK OnceProc(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    if (g_onTimer)
        g_onTimer();
}

/* Guards against a bar that a repaint erases (also in the last second), draws
 * before the first file, or draws with another count than the copy's. */
TEST_F(CopyDialogTest, BarSurvivesARepaint)
{
    const int files = 3;
    Folders f("repaint");
    SetFiles(MakeOneByteSources(f, files), f.drv);
    std::vector<std::string> seen; /* "files done: differing pixels" */
    auto look = [&](HWND d, int done)
    {
        RepaintBar(d);
        size_t diff = done == 0 ? BarColoured(Snapshot(d)) : BarDifferences(d, done, files);
        seen.push_back(std::to_string(done) + ": " + std::to_string(diff));
    };
    CopyRun run;
    run.beforeFile = [&](HWND d, size_t index) { look(d, (int)index); };
    /* In the end wait: the close comes 1000 ms after the last file. */
    g_onTimer = [&] { look(run.dialog, files); };
    run.allCopied = [&](HWND) { SetTimer(NULL, 0, 300, OnceProc); };
    EXPECT_EQ(1, RunDialog(run));
    g_onTimer = nullptr;
    EXPECT_EQ((std::vector<std::string>{"0: 0", "1: 0", "2: 0", "3: 0"}), seen);
}

/* Guards against a brush or device context kept by each draw, the idle
 * redraw's and the control's own repaint's. */
TEST_F(CopyDialogTest, RedrawsKeepNoGdiObjects)
{
    std::string why;
    gdicount::Method method = gdicount::Calibrate(&why);
    ASSERT_NE(gdicount::METHOD_NONE, method) << why;
    Folders f("gdi");
    ASSERT_TRUE(AddSources(f, {"CPSMALL.INI"}));
    const std::function<void(HWND)> redraws[] = {
        [](HWND d) { SendMessageA(d, WM_ENTERIDLE, MSGF_DIALOGBOX, 0); },
        [](HWND d) { RepaintBar(d); },
    };
    for (const auto &redraw : redraws)
    {
        SetFiles({"CPSMALL.INI"}, f.drv);
        long before = -1, after = -1;
        CopyRun run;
        run.allCopied = [&](HWND d)
        {
            redraw(d);
            before = gdicount::Count(method);
            for (int i = 0; i < 300; i++)
                redraw(d);
            after = gdicount::Count(method);
        };
        EXPECT_EQ(1, RunDialog(run));
        ASSERT_GT(before, 0) << "no GDI handle table to count in";
        EXPECT_EQ(before, after);
    }
}

/* Guards against an empty list that never ends, ends at once, or draws the
 * bar, and against "-1 %" or a division by zero in its idle redraw. */
TEST_F(CopyDialogTest, EmptyListEndsAfterAboutASecondWithTheBarUndrawn)
{
    Folders f("empty");
    SetFiles({}, f.drv);
    std::vector<uint32_t> atEnd;
    std::string name = "?", directory = "?";
    CopyRun run;
    run.allCopied = [&](HWND d)
    {
        RepaintBar(d);
        atEnd = Snapshot(d);
        name = uitest::ItemText(d, IDC_COPY_FILE_NAME);
        directory = uitest::ItemText(d, IDC_COPY_DIRECTORY);
    };
    EXPECT_EQ(1, RunDialog(run));
    DWORD elapsed = GetTickCount() - run.openedAt;
    EXPECT_GE(elapsed, 1050u);
    EXPECT_LE(elapsed, 6000u);
    EXPECT_EQ("", name);
    EXPECT_EQ("", directory);
    ASSERT_FALSE(atEnd.empty());
    EXPECT_EQ(0u, BarColoured(atEnd)) << "the bar was drawn";

    /* Cancel, and the question's idle time redraws: all white, no text. */
    SetFiles({}, f.drv);
    std::vector<uint32_t> idle;
    CopyRun asked;
    asked.allCopied = [&](HWND d)
    {
        if (asked.messages.empty())
            Click(d, IDCANCEL);
    };
    asked.answers = {IDNO};
    asked.onMessage = [&](HWND) { idle = Snapshot(asked.dialog); };
    EXPECT_EQ(1, RunDialog(asked));
    ASSERT_FALSE(idle.empty());
    for (DWORD p : idle)
        ASSERT_EQ(0xFFFFFFu, p);
}

/* Guards against a cancel that copies on after Yes, stops or copies a file
 * twice after No, ends unasked, or lets the start timer copy under it. */
TEST_F(CopyDialogTest, CancelAtEachPointWithEitherAnswer)
{
    const int kOpen = -1, kLastSecond = 99;
    struct Case
    {
        const char *what;
        int when;               /* kOpen, before file k (after k copied), kLastSecond */
        uitest::ActionKind how; /* the Cancel button, Escape or the close box */
        int answer;
        INT_PTR result;
        size_t copied;
    };
    const Case cases[] = {
        {"within the first 100 ms, Yes", kOpen, uitest::ACT_CLICK, IDYES, 2, 0},
        {"within the first 100 ms, No", kOpen, uitest::ACT_KEY, IDNO, 1, 4},
        {"files remaining, Yes", 1, uitest::ACT_CLICK, IDYES, 2, 2},
        {"files remaining, No", 1, uitest::ACT_CLOSE_BOX, IDNO, 1, 4},
        {"in the last second, Yes", kLastSecond, uitest::ACT_CLOSE_BOX, IDYES, 2, 4},
        {"in the last second, No", kLastSecond, uitest::ACT_KEY, IDNO, 1, 4},
    };
    int n = 0;
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.what);
        Folders f("cancel" + std::to_string(n++));
        ASSERT_TRUE(AddSources(f, kStored));
        SetFiles(kNames, f.drv);
        ASSERT_TRUE(PlaceInBoth(f, "CPSMALL.INI", kNames[0])); /* replaced by then */
        const std::map<std::string, std::string> before = DriverFiles(f.drv);
        DWORD answeredAt = 0;
        auto cancel = [&](HWND d) {
            uitest::Act(d, {0, nullptr, c.how, c.how == uitest::ACT_KEY ? VK_ESCAPE : IDCANCEL});
        };
        CopyRun run;
        run.answers = {c.answer};
        run.answerDelay = c.when == kOpen ? 300 : 20; /* past the start timer */
        run.onMessage = [&](HWND) { answeredAt = GetTickCount(); };
        if (c.when == kOpen)
            run.opened = cancel;
        else if (c.when == kLastSecond)
            run.allCopied = [&](HWND d)
            {
                if (run.messages.empty())
                    cancel(d);
            };
        else
            run.beforeFile = [&](HWND d, size_t index)
            {
                if ((int)index == c.when)
                    cancel(d);
            };
        EXPECT_EQ(c.result, RunDialog(run));
        ASSERT_EQ(1u, run.messages.size());
        EXPECT_EQ("Question", run.messages[0].title);
        EXPECT_EQ(kQuestion, run.messages[0].text);
        EXPECT_EQ(std::vector<std::string>(kNames.begin(), kNames.begin() + c.copied), run.shown);
        EXPECT_EQ((LONG)c.copied, g_state.nextFileIndex);
        EXPECT_EQ(c.answer == IDYES ? 1u : 0u, g_state.cancelRequested);
        if (c.result == 2)
            EXPECT_EQ(std::vector<std::string>(), NotPutBack(f.drv, before));
        else
        {
            FinishReplacedFiles(TRUE);
            ExpectCopied(f, kNames, c.copied);
        }
        EXPECT_TRUE(c.when != kOpen || run.startedUnderQuestion)
            << "the question was not up at 100 ms";
        if (c.result == 1)
        {
            EXPECT_GE(GetTickCount() - answeredAt, 950u) << "did not wait a second to close";
        }
    }
}

/* Guards against a failure that copies on or has the wrong message, a name
 * reaching out of drv or deleting before it is refused, a source from outside
 * src, and another driver's copies deleted for a file the package lacks. */
TEST_F(CopyDialogTest, FailuresGiveUpWithTheirMessage)
{
    const std::string longDir = "C:\\" + std::string(1010, 'd') + "\\";
    const std::string versionTooLong = "C:\\" + std::string(1023 - 4 - 11, 'd') + "\\";
    struct Case
    {
        const char *what;
        std::vector<std::string> names;
        std::string directory; /* "" for the case's drv; "-" for none */
        LONG failedAt;
        bool folderInTheWay; /* a folder where CPSMALL.INI is to be created */
        /* A name whose earlier copies (another driver's, in drv and drv\3)
         * must stay as they are, since its source cannot be opened. */
        const char *kept;
    };
    const Case cases[] = {
        {"source found nowhere, after a shared file was replaced",
         {"CPSMALL.INI", "CPNONE.DAT", "CPRAND.BIN"},
         "",
         1,
         false,
         "CPNONE.DAT"},
        {"source only in the current folder", {"CPCURDIR.DAT"}, "", 0, false, "CPCURDIR.DAT"},
        {"source only on the search path", {"NOTEPAD.EXE"}, "", 0, false, "NOTEPAD.EXE"},
        {"backslash in the name", {"..\\CPVICTIM.DAT"}, "", 0, false, ""},
        {"slash in the name", {"../CPVICTIM.DAT"}, "", 0, false, ""},
        {"drive in the name", {"C:CPVICTIM.DAT"}, "", 0, false, ""},
        {"parent folder as name", {"CPSMALL.INI", ".."}, "", 1, false, ""},
        {"printer port as name", {"lpt1"}, "", 0, false, ""},
        {"console with an extension", {"CON.INI"}, "", 0, false, ""},
        {"destination path too long", {"CPSMALL.INI"}, longDir, 0, false, ""},
        {"version path too long", {"CPSMALL.INI"}, versionTooLong, 0, false, ""},
        {"no driver directory", {"CPSMALL.INI"}, "-", 0, false, ""},
        {"destination cannot be created", {"CPRAND.BIN", "CPSMALL.INI"}, "", 1, true, ""},
    };
    const std::string other = RefBytes("CPTEXT.TXT");
    int n = 0;
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.what);
        Folders f("fail" + std::to_string(n++));
        ASSERT_TRUE(AddSources(f, {"CPSMALL.INI", "CPRAND.BIN"}));
        /* What a name reaching out of drv would hit; CPCURDIR.DAT is in the
         * current folder, which is no longer searched. */
        ASSERT_TRUE(CopyRef("CPSMALL.INI", f.root + "CPVICTIM.DAT"));
        ASSERT_TRUE(CopyRef("CPSMALL.INI", f.src + "CPVICTIM.DAT"));
        ASSERT_TRUE(CopyRef("CPSMALL.INI", f.root + "CPCURDIR.DAT"));
        ASSERT_TRUE(!c.folderInTheWay || CreateDirectoryA((f.drv + "CPSMALL.INI").c_str(), NULL));
        ASSERT_TRUE(!*c.kept || PlaceInBoth(f, "CPTEXT.TXT", c.kept));
        /* Another driver's copies of the file copied before the failure. */
        ASSERT_TRUE(c.failedAt != 1 || c.folderInTheWay ||
                    PlaceInBoth(f, "CPTEXT.TXT", c.names[0]));
        const std::map<std::string, std::string> before = DriverFiles(f.drv);
        SetFiles(c.names, c.directory.empty() ? f.drv : c.directory == "-" ? "" : c.directory);
        CopyRun run;
        EXPECT_EQ(2, RunDialog(run));
        ASSERT_EQ(1u, run.messages.size());
        EXPECT_EQ("Error", run.messages[0].title);
        EXPECT_EQ(kOpenError, run.messages[0].text);
        EXPECT_EQ(c.failedAt, g_state.nextFileIndex);
        EXPECT_EQ((size_t)c.failedAt + 1, run.shown.size());
        EXPECT_EQ(RefBytes("CPSMALL.INI"), ReadFileBytes(f.root + "CPVICTIM.DAT"));
        EXPECT_FALSE(Exists(f.drv + "CPVICTIM.DAT"));
        EXPECT_FALSE(Exists(f.drv + "3\\CPVICTIM.DAT"));
        /* Wine creates CPSMALL.IN_ when CPSMALL.INI cannot be created. */
        EXPECT_FALSE(Exists(f.drv + "CPSMALL.IN_"));
        for (const std::string &dir : {f.drv, f.drv + "3\\"})
            EXPECT_TRUE(!*c.kept || ReadFileBytes(dir + c.kept) == other) << dir << c.kept;
        if (c.failedAt == 1)
            ExpectCopied(f, {c.names[0]}, 1);
        EXPECT_EQ(std::vector<std::string>(), NotPutBack(f.drv, before));
    }
}

/* Guards against a package folder too deep for LZ32's open record's path
 * (name included) read anyway, or one that fits refused. */
TEST_F(CopyDialogTest, PackageFolderDepthIsBoundByTheOpenRecord)
{
    const std::string name = "CPSMALL.INI";
    for (size_t length : {(size_t)OFS_MAXPATHNAME - 1, (size_t)OFS_MAXPATHNAME})
    {
        SCOPED_TRACE(length);
        Folders f("depth" + std::to_string(length));
        std::string deep = f.root + "p";
        deep += std::string(length - deep.size() - 1 - name.size(), 'p') + "\\";
        ASSERT_EQ(length, deep.size() + name.size());
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
        ASSERT_TRUE(
            CopyFileA((FixtureDir() + "src\\" + name).c_str(), (deep + name).c_str(), FALSE));
        lstrcpyA(g_state.packageFolder, deep.c_str());
        SetFiles({name}, f.drv);
        CopyRun run;
        bool fits = length < OFS_MAXPATHNAME;
        EXPECT_EQ(fits ? 1 : 2, RunDialog(run));
        EXPECT_EQ(fits ? 0u : 1u, run.messages.size());
        if (!fits && !run.messages.empty())
        {
            EXPECT_EQ(kOpenError, run.messages[0].text);
        }
        EXPECT_EQ(fits, Exists(f.drv + name));
    }
}

/* What the platform's CopyLZFile answers for a file, copied the way the
 * dialog copies it. */
LONG PlatformCopy(const std::string &name, const std::string &to)
{
    OFSTRUCT a, b;
    std::string source = name, destination = to;
    INT in = LZOpenFileA(&source[0], &a, OF_READ | OF_PROMPT | OF_CANCEL);
    if (in < 0)
        return 1;
    INT out = LZOpenFileA(&destination[0], &b, OF_CREATE);
    LONG r = CopyLZFile(in, out);
    LZClose(in);
    LZClose(out);
    return r;
}

/* Guards against a damaged SZDD file reported otherwise than the platform
 * answers.  Wine 8.0: an unknown algorithm copies 0 bytes and a file cut
 * short expands short, neither an error, so the file counts as copied. */
TEST_F(CopyDialogTest, DamagedFileIsReportedAsThePlatformAnswers)
{
    int n = 0;
    for (const char *stored : {"CPALG.DA_", "CPCUT.DA_"})
    {
        SCOPED_TRACE(stored);
        Folders f("damaged" + std::to_string(n++));
        ASSERT_TRUE(AddSources(f, {stored}));
        std::string name = std::string(stored).substr(0, 8) + "T";
        LONG platform = PlatformCopy(f.src + name, f.root + name);
        std::cout << "[ INFO     ] " << stored << ": CopyLZFile answers " << platform << "\n";
        SetFiles({name}, f.drv);
        CopyRun run;
        INT_PTR result = RunDialog(run);
        if (platform >= 0)
        {
            EXPECT_EQ(1, result);
            EXPECT_TRUE(run.messages.empty());
            EXPECT_EQ(ReadFileBytes(f.root + name), ReadFileBytes(f.drv + name));
        }
        else
        {
            char text[1024];
            LoadStringA(g_state.instance, CopyErrorStringId(platform), text, sizeof(text));
            ASSERT_EQ(1u, run.messages.size());
            EXPECT_EQ(text, run.messages[0].text);
        }
    }
}

/* Every source open the copy makes: the name and the style. */
std::vector<std::pair<std::string, WORD>> g_sourceOpens;

INT WINAPI RecordingOpen(LPSTR name, LPOFSTRUCT ofs, WORD style)
{
    if (style != OF_CREATE)
        g_sourceOpens.push_back({name, style});
    return LZOpenFileA(name, ofs, style);
}

/* Guards against the missing-file prompt asked for a missing plain name whose
 * compressed name is there (Windows prompts before LZ32 tries that; Wine
 * never does), and against no prompt where both names are missing. */
TEST_F(CopyDialogTest, MissingFilePromptOnlyWhenNeitherNameExists)
{
    const WORD prompt = OF_READ | OF_PROMPT | OF_CANCEL;
    struct Case
    {
        const char *name;
        const char *opened; /* the name in src the open is asked for */
        WORD style;
        int result;
    };
    const Case cases[] = {
        {"CPSMALL.INI", "CPSMALL.INI", OF_READ, 1},
        {"CPTEXT.TXT", "CPTEXT.TX_", OF_READ, 1},
        {"CPNONE.DAT", "CPNONE.DAT", prompt, 2},
    };
    LzApi recording = kLz32;
    recording.openFile = RecordingOpen;
    int n = 0;
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        Folders f("prompt" + std::to_string(n++));
        ASSERT_TRUE(AddSources(f, {"CPSMALL.INI", "CPTEXT.TX_"}));
        SetFiles({c.name}, f.drv);
        g_sourceOpens.clear();
        g_lz = &recording;
        CopyRun run;
        EXPECT_EQ(c.result, RunDialog(run));
        ASSERT_EQ(1u, g_sourceOpens.size());
        EXPECT_EQ(f.src + c.opened, g_sourceOpens[0].first);
        EXPECT_EQ(c.style, g_sourceOpens[0].second);
        if (c.result == 1)
            ExpectCopied(f, {c.name}, 1);
    }
}

LONG g_scriptedCode;
int g_scriptedFailures;

/* CopyLZFile that first answers g_scriptedCode g_scriptedFailures times. */
LONG WINAPI ScriptedCopy(INT in, INT out)
{
    if (g_scriptedFailures > 0)
    {
        g_scriptedFailures--;
        return g_scriptedCode;
    }
    return CopyLZFile(in, out);
}

/* Guards against a wrong message or title for an LZ error, a retry where the
 * copy must give up (or the reverse), and a retry that skips or asks first. */
TEST_F(CopyDialogTest, LzErrorsShowTheirMessageAndRetryOnlyBadHandles)
{
    struct Case
    {
        LONG code;
        const char *text;
        bool retried;
    };
    const Case cases[] = {
        {-1, "Cannot read the source file", true},
        {-2, "Cannot create the destination file.", true},
        {-3, "File has damaged.", false},
        {-4, "Insufficient disk space.", false},
        {-5, "Memory exhausted.", false},
        {-6, "Decompression error.", false},
        {-7, "Unknown error accured.", false},
        {-8, "File has damaged.", false},
        {-21, "Unknown error accured.", false},
    };
    LzApi scripted = kLz32;
    scripted.copyFile = ScriptedCopy;
    int n = 0;
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.code);
        Folders f("lz" + std::to_string(n++));
        ASSERT_TRUE(AddSources(f, {"CPSMALL.INI", "CPRAND.BIN"}));
        SetFiles({"CPSMALL.INI", "CPRAND.BIN"}, f.drv);
        g_scriptedCode = c.code;
        g_scriptedFailures = c.retried ? 2 : 1;
        g_lz = &scripted;
        bool handIcon = false;
        CopyRun run;
        run.onMessage = [&](HWND box)
        {
            HICON icon = (HICON)SendDlgItemMessageA(box, IDC_MESSAGE_ICON, STM_GETICON, 0, 0);
            handIcon = icon == LoadIconA(NULL, IDI_HAND);
        };
        INT_PTR result = RunDialog(run);
        size_t errors = c.retried ? 2 : 1;
        ASSERT_EQ(errors, run.messages.size());
        EXPECT_EQ("Error", run.messages[0].title);
        EXPECT_EQ(c.text, run.messages[0].text);
        EXPECT_TRUE(handIcon);
        const std::vector<std::string> retried = {"CPSMALL.INI", "CPSMALL.INI", "CPSMALL.INI",
                                                  "CPRAND.BIN"};
        EXPECT_EQ(c.retried ? 1 : 2, result);
        EXPECT_EQ(c.retried ? retried : std::vector<std::string>({"CPSMALL.INI"}), run.shown);
        EXPECT_EQ(c.retried ? 2 : 0, g_state.nextFileIndex);
    }
}

/* Windows' rule for a file in use, as the spooler holds its printers' DLLs
 * and Wine 8 enforces it too: a move over a loaded file answers 5, a rename
 * of it succeeds (the name it moves to is loaded then), a delete answers 5
 * under any of its names; with `renameRefused` the rename answers 32 too.
 * A file scanned for a moment answers 32 to the first `busyMoves` moves
 * over it.  Deletions at the next restart are recorded, not made. */
struct InUse
{
    std::vector<std::string> loaded; /* paths, in upper case */
    bool renameRefused = false;
    int busyMoves = 0;
    int pauses = 0;
    std::vector<std::string> atRestart; /* file names */
};
InUse g_inUse;

std::string Upper(const char *path)
{
    std::string s = path;
    CharUpperA(&s[0]);
    return s;
}

bool Loaded(const char *path)
{
    return path != NULL && std::find(g_inUse.loaded.begin(), g_inUse.loaded.end(), Upper(path)) !=
                               g_inUse.loaded.end();
}

BOOL WINAPI InUseLink(LPCSTR link, LPCSTR existing, LPSECURITY_ATTRIBUTES security)
{
    BOOL linked = CreateHardLinkA(link, existing, security);
    if (linked && Loaded(existing))
        g_inUse.loaded.push_back(Upper(link));
    return linked;
}

BOOL WINAPI InUseMove(LPCSTR from, LPCSTR to, DWORD flags)
{
    if (to == NULL && (flags & MOVEFILE_DELAY_UNTIL_REBOOT))
    {
        g_inUse.atRestart.push_back(PathFileName(from));
        return TRUE;
    }
    bool replacing = (flags & MOVEFILE_REPLACE_EXISTING) && Exists(to);
    if (replacing && g_inUse.busyMoves > 0)
    {
        g_inUse.busyMoves--;
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if ((replacing && Loaded(to)) || (g_inUse.renameRefused && Loaded(from)))
    {
        SetLastError(replacing ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (!MoveFileExA(from, to, flags))
        return FALSE;
    for (std::string &path : g_inUse.loaded)
    {
        if (path == Upper(to))
            path.clear();
        if (path == Upper(from))
            path = Upper(to);
    }
    return TRUE;
}

BOOL WINAPI InUseDelete(LPCSTR path)
{
    if (!Loaded(path))
        return DeleteFileA(path);
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

VOID WINAPI InUsePause(DWORD)
{
    g_inUse.pauses++;
}

/* Guards against a file in use counted as copied though the earlier one stays,
 * an error where it can be set aside, a working name nothing deletes, a busy
 * file replaced before its retries, and a refused put-back taken as made. */
TEST_F(CopyDialogTest, FilesInUseAreSetAsideAndDeletedAtRestart)
{
    enum Phase
    {
        COPY,    /* loaded before the run: another driver's file */
        PUT_BACK /* loaded after the copy: the new file, as the spooler loads it */
    };
    struct Case
    {
        const char *what;
        const char *loaded; /* in drv */
        Phase phase;
        bool renameRefused;
        int busyMoves;
        bool succeeded; /* the run's end */
        const char *want;
    };
    const Case cases[] = {
        {"in drv\\3, run succeeds", "3\\CPSMALL.INI", COPY, false, 0, true,
         "result 1, no message; new, 3\\new; at restart 3\\D00 3\\D01; not put back 0; 7 pauses"},
        {"in drv, run succeeds", "CPSMALL.INI", COPY, false, 0, true,
         "result 1, no message; new, 3\\new; at restart D00 D01; not put back 0; 7 pauses"},
        {"in drv\\3, run fails later", "3\\CPSMALL.INI", COPY, false, 0, false,
         "result 1, no message; other, 3\\other; at restart 3\\D00; not put back 0; 7 pauses"},
        /* Its kept link can be neither renamed nor deleted: due at restart. */
        {"in drv\\3, not to be set aside", "3\\CPSMALL.INI", COPY, true, 0, false,
         "result 2, File open error.; other, 3\\other; at restart 3\\OLD; not put back 0; "
         "21 pauses"},
        {"busy for a moment in drv", "", COPY, false, 2, true,
         "result 1, no message; new, 3\\new; at restart; not put back 0; 2 pauses"},
        {"new file loaded in drv\\3 at the put-back", "3\\CPSMALL.INI", PUT_BACK, false, 0, false,
         "result 1, no message; other, 3\\other; at restart 3\\D00; not put back 0; 7 pauses"},
        {"new file loaded in drv at the put-back", "CPSMALL.INI", PUT_BACK, false, 0, false,
         "result 1, no message; other, 3\\other; at restart D00; not put back 0; 7 pauses"},
        {"put-back refused in drv", "CPSMALL.INI", PUT_BACK, true, 0, false,
         "result 1, no message; new, 3\\other; at restart; not put back 1; 14 pauses"},
    };
    const std::string other = RefBytes("CPTEXT.TXT"), fresh = RefBytes("CPSMALL.INI");
    FileApi files = kKernelFiles;
    files.createHardLink = InUseLink;
    files.moveFileEx = InUseMove;
    files.deleteFile = InUseDelete;
    files.pause = InUsePause;
    int n = 0;
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.what);
        Folders f("inuse" + std::to_string(n++));
        ASSERT_TRUE(AddSources(f, {"CPSMALL.INI"}));
        ASSERT_TRUE(PlaceInBoth(f, "CPTEXT.TXT", "CPSMALL.INI"));
        SetFiles({"CPSMALL.INI"}, f.drv);
        g_inUse = InUse();
        g_inUse.busyMoves = c.busyMoves;
        if (c.phase == COPY && *c.loaded)
        {
            g_inUse.loaded.push_back(Upper((f.drv + c.loaded).c_str()));
            g_inUse.renameRefused = c.renameRefused;
        }
        g_files = &files;
        CopyRun run;
        RunDialog(run);
        if (c.phase == PUT_BACK)
        {
            g_inUse.loaded.push_back(Upper((f.drv + c.loaded).c_str()));
            g_inUse.renameRefused = c.renameRefused;
        }
        int notPutBack = FinishReplacedFiles(c.succeeded);

        std::string got = "result " + std::to_string(run.result) + ", " +
                          (run.messages.empty() ? "no message" : run.messages[0].text) + ";";
        for (const std::string sub : {"", "3\\"})
        {
            std::string bytes = ReadFileBytes(f.drv + sub + "CPSMALL.INI");
            got += " " + sub + (bytes == fresh ? "new" : bytes == other ? "other" : "?");
            got += sub.empty() ? "," : ";";
        }
        /* Working names left: each due for deletion at the restart, or
         * (put-back refused) the kept copy the next start puts back. */
        std::map<std::string, std::string> left = DriverFiles(f.drv);
        got += " at restart";
        for (const std::string &name : g_inUse.atRestart)
        {
            std::string sub = left.count(name) ? "" : "3\\";
            got += " " + sub + name.substr(name.size() - 3);
            left.erase(sub + name);
        }
        for (const auto &file : left)
        {
            bool kept = file.first.size() > 4 && file.first.substr(file.first.size() - 4) == ".OLD";
            if (IsWorkName(PathFileName(file.first.c_str())) && !(kept && notPutBack > 0))
                got += " (left " + file.first + ")";
        }
        got += "; not put back " + std::to_string(notPutBack) + "; " +
               std::to_string(g_inUse.pauses) + " pauses";
        EXPECT_EQ(c.want, got);
    }
}

/* The steps of a large file's replacement at which the killed run below
 * ends, as the process would end at a power cut, Task Manager or a crash. */
enum KillStep
{
    KILL_WRITING_TEMPORARY, /* half the expanded bytes written */
    KILL_TEMPORARY_COMPLETE,
    KILL_AFTER_MAIN_MOVE,
    KILL_DURING_VERSION_COPY, /* half the file copied towards "3" */
    KILL_LETTING_GO,          /* the run succeeded; its kept copies renamed, not yet deleted */
};
const UINT kKilledExit = 9;
std::string g_killTemporary; /* the temporary LZ32 created */

void WriteHalfAndDie(HANDLE file)
{
    std::string whole = RefBytes("CPBIG.TXT");
    DWORD written = 0;
    WriteFile(file, whole.data(), (DWORD)whole.size() / 2, &written, NULL);
    TerminateProcess(GetCurrentProcess(), kKilledExit);
}

int KillStepFromEnvironment()
{
    std::string step = Env("SETUP_KILL_STEP");
    return step.empty() ? -1 : atoi(step.c_str());
}

INT WINAPI KillingOpen(LPSTR name, LPOFSTRUCT ofs, WORD style)
{
    if (style == OF_CREATE)
        g_killTemporary = name;
    return LZOpenFileA(name, ofs, style);
}

LONG WINAPI KillingCopy(INT in, INT out)
{
    if (KillStepFromEnvironment() == KILL_WRITING_TEMPORARY)
    {
        /* LZ32's handle of a file it creates is the file's own. */
        WriteHalfAndDie((HANDLE)(INT_PTR)out);
    }
    LONG result = CopyLZFile(in, out);
    if (KillStepFromEnvironment() == KILL_TEMPORARY_COMPLETE)
        TerminateProcess(GetCurrentProcess(), kKilledExit);
    return result;
}

BOOL WINAPI KillingMove(LPCSTR from, LPCSTR to, DWORD flags)
{
    BOOL moved = MoveFileExA(from, to, flags);
    if (KillStepFromEnvironment() == KILL_AFTER_MAIN_MOVE && strstr(to, "\\3\\") == NULL)
        TerminateProcess(GetCurrentProcess(), kKilledExit);
    return moved;
}

BOOL WINAPI KillingDelete(LPCSTR path)
{
    if (KillStepFromEnvironment() == KILL_LETTING_GO && IsWorkName(PathFileName(path)))
        TerminateProcess(GetCurrentProcess(), kKilledExit);
    return DeleteFileA(path);
}

BOOL WINAPI KillingFileCopy(LPCSTR from, LPCSTR to, BOOL failIfExists)
{
    if (KillStepFromEnvironment() == KILL_DURING_VERSION_COPY && strstr(to, "\\3\\") != NULL)
    {
        HANDLE file = CreateFileA(to, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        WriteHalfAndDie(file);
    }
    return CopyFileA(from, to, failIfExists);
}

/* The run that the test below starts in a child process and that ends
 * itself at step SETUP_KILL_STEP, in the folders SETUP_KILL_CASE. */
TEST_F(CopyDialogTest, DISABLED_KilledRun)
{
    const std::string name = Env("SETUP_KILL_CASE");
    ASSERT_FALSE(name.empty());
    Folders f(name);
    SetFiles({"CPBIG.TXT"}, f.drv);
    LzApi lz = kLz32;
    lz.openFile = KillingOpen;
    lz.copyFile = KillingCopy;
    FileApi files = kKernelFiles;
    files.moveFileEx = KillingMove;
    files.copyFile = KillingFileCopy;
    g_lz = &lz;
    g_files = &files;
    CopyRun run;
    RunDialog(run);
    files.deleteFile = KillingDelete;
    FinishReplacedFiles(TRUE);
    FAIL() << "the run was not ended";
}

/* Guards against a kill at any step of a large file's replacement leaving a
 * file cut short or missing, or anything but its own working files, and a
 * next run that keeps those or touches another file; a next run that fails
 * leaves the earlier file of an unfinished run, the new one of a finished. */
TEST_F(CopyDialogTest, KilledAtEachStepLeavesEarlierOrWholeFile)
{
    struct Case
    {
        const char *what;
        KillStep step;
        bool mainNew, versionNew; /* what the killed run leaves */
        bool nextSucceeds;
        bool endsNew; /* what both folders hold after the next run's end */
    };
    const Case cases[] = {
        {"while the temporary is written", KILL_WRITING_TEMPORARY, false, false, true, true},
        {"when the temporary is complete", KILL_TEMPORARY_COMPLETE, false, false, true, true},
        {"after the main move", KILL_AFTER_MAIN_MOVE, true, false, true, true},
        {"during the version copy", KILL_DURING_VERSION_COPY, true, false, true, true},
        {"after the main move, next run fails", KILL_AFTER_MAIN_MOVE, true, false, false, false},
        {"during the version copy, next run fails", KILL_DURING_VERSION_COPY, true, false, false,
         false},
        {"letting go after success, next run fails", KILL_LETTING_GO, true, true, false, true},
    };
    int n = 0;
    const std::string earlier = RefBytes("CPSMALL.INI"), whole = RefBytes("CPBIG.TXT");
    char exe[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, exe, sizeof(exe)), 0u);
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string name = "kill" + std::to_string(n++);
        Folders f(name);
        ASSERT_TRUE(AddSources(f, {"CPBIG.TX_"}));
        ASSERT_TRUE(PlaceInBoth(f, "CPSMALL.INI", "CPBIG.TXT"));
        /* The spooler's temporary and a stranger's file. */
        const std::string bystanders[] = {"3\\BUD0001.tmp", "OTHER.DLL"};
        for (const std::string &b : bystanders)
            ASSERT_TRUE(CopyRef("CPTEXT.TXT", f.drv + b));

        SetEnvironmentVariableA("SETUP_KILL_STEP", std::to_string((int)c.step).c_str());
        SetEnvironmentVariableA("SETUP_KILL_CASE", name.c_str());
        std::string command = std::string("\"") + exe +
                              "\" --gtest_also_run_disabled_tests "
                              "--gtest_filter=CopyDialogTest.DISABLED_KilledRun";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
        SetEnvironmentVariableA("SETUP_KILL_STEP", NULL);
        SetEnvironmentVariableA("SETUP_KILL_CASE", NULL);
        DWORD waited = WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        if (waited != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        ASSERT_EQ(kKilledExit, code) << "the child did not end at the step";

        std::map<std::string, std::string> left = DriverFiles(f.drv);
        EXPECT_TRUE(left["CPBIG.TXT"] == (c.mainNew ? whole : earlier));
        EXPECT_TRUE(left["3\\CPBIG.TXT"] == (c.versionNew ? whole : earlier));
        for (const auto &file : left)
        {
            bool ours = IsWorkName(PathFileName(file.first.c_str()));
            bool known = file.first == "CPBIG.TXT" || file.first == "3\\CPBIG.TXT" ||
                         file.first == bystanders[0] || file.first == bystanders[1];
            EXPECT_TRUE(ours || known) << file.first;
        }

        SetCurrentDirectoryA(f.root.c_str());
        SetFiles({"CPBIG.TXT"}, f.drv);
        CopyRun next;
        EXPECT_EQ(1, RunDialog(next));
        EXPECT_EQ(0, FinishReplacedFiles(c.nextSucceeds));
        std::map<std::string, std::string> after = DriverFiles(f.drv);
        EXPECT_EQ(4u, after.size()) << "leftovers stay";
        EXPECT_TRUE(after["CPBIG.TXT"] == (c.endsNew ? whole : earlier));
        EXPECT_TRUE(after["3\\CPBIG.TXT"] == (c.endsNew ? whole : earlier));
        for (const std::string &b : bystanders)
            EXPECT_EQ(RefBytes("CPTEXT.TXT"), after[b]) << b;
    }
}

} // namespace
