/*
 * Copy benchmark (a program, not a test): copies the files of a folder
 * through the copy dialog and through a bare loop of the same file work
 * (temporary, flush, keep, move), alternately, and prints the times and
 * their ratios; then what the flush and the set-aside of a file in use
 * cost per file, against variants of the bare loop; then measures
 * how long Cancel takes to bring up its question while a large file copies.
 * Run by scripts/copy-benchmark.sh, which makes the files:
 *   copy_benchmark.exe FOLDER   (FOLDER holds list.txt, one name a line,
 *                                the sources, and BIG.BIN)
 */
#include <windows.h>
#include <lzexpand.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/system_libraries.h"
#include "support/copy_harness.h"

using namespace copytest;

namespace
{

std::vector<std::string> ReadList(const std::string &path)
{
    std::vector<std::string> names;
    std::string text = ReadFileBytes(path), line;
    for (char ch : text)
    {
        if (ch == '\n' || ch == '\r')
        {
            if (!line.empty())
                names.push_back(line);
            line.clear();
        }
        else
            line += ch;
    }
    return names;
}

void MakeDriverFolder(const std::string &drv)
{
    CreateDirectoryA(drv.c_str(), NULL);
    CreateDirectoryA((drv + "3").c_str(), NULL);
}

/* What the bare loop does for each file.  OLD_SEQUENCE: the earlier
 * sequence (delete both destinations, expand into the destination, copy it
 * to "3").  AS_THE_COPY: the copy's file work now, in both folders: written
 * to a temporary beside the destination, flushed, the earlier file kept by
 * a hard link, the temporary moved over it, the kept link deleted (the let-go
 * of a run that succeeded).  NO_FLUSH: the same without the flush.
 * SET_ASIDE: the same, with each existing destination renamed away first
 * and the renamed file deleted, as for a file in use. */
enum BareWork
{
    OLD_SEQUENCE,
    AS_THE_COPY,
    NO_FLUSH,
    SET_ASIDE
};

void PlaceFromTemporary(const std::string &temporary, const std::string &destination, BareWork work)
{
    if (work != NO_FLUSH)
    {
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    std::string folder = destination.substr(0, destination.rfind('\\') + 1);
    std::string kept = folder + "~SETUP-K.OLD", aside = folder + "~SETUP-A.D00";
    bool existed = GetFileAttributesA(destination.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (existed)
        CreateHardLinkA(kept.c_str(), destination.c_str(), NULL);
    if (existed && work == SET_ASIDE)
    {
        MoveFileExA(destination.c_str(), aside.c_str(), 0);
        MoveFileExA(temporary.c_str(), destination.c_str(), 0);
        DeleteFileA(aside.c_str());
    }
    else
        MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (existed)
        DeleteFileA(kept.c_str());
}

/* The dialog's file work for every file, without the dialog. */
double BareLoop(const std::vector<std::string> &names, const std::string &drv,
                BareWork work = AS_THE_COPY)
{
    DWORD start = GetTickCount();
    LZStart();
    for (const std::string &name : names)
    {
        std::string dest = drv + name, version = drv + "3\\" + name, src = name;
        std::string temporary = drv + "~SETUP-T.NEW", versionTemporary = drv + "3\\~SETUP-T.NEW";
        if (work == OLD_SEQUENCE)
        {
            for (const std::string *p : {&dest, &version})
                if (GetFileAttributesA(p->c_str()) != INVALID_FILE_ATTRIBUTES)
                    DeleteFileA(p->c_str());
        }
        std::string &written = work == OLD_SEQUENCE ? dest : temporary;
        OFSTRUCT a, b;
        INT in = LZOpenFileA(&src[0], &a, OF_READ | OF_PROMPT | OF_CANCEL);
        INT out = LZOpenFileA(&written[0], &b, OF_CREATE);
        CopyLZFile(in, out);
        LZClose(in);
        LZClose(out);
        if (work == OLD_SEQUENCE)
        {
            CopyFileA(dest.c_str(), version.c_str(), FALSE);
            continue;
        }
        PlaceFromTemporary(temporary, dest, work);
        CopyFileA(dest.c_str(), versionTemporary.c_str(), FALSE);
        PlaceFromTemporary(versionTemporary, version, work);
    }
    LZDone();
    return (GetTickCount() - start) / 1000.0;
}

/* The dialog as the program runs it, without the test hooks (which cost a
 * server call per message under Wine): from the call to its return. */
double ThroughDialog(const std::vector<std::string> &names, const std::string &drv)
{
    SetFiles(names, drv);
    DWORD start = GetTickCount();
    int result = RunCopyDialog(NULL);
    DWORD end = GetTickCount();
    if (result != 1 || g_state.nextFileIndex != (LONG)names.size())
        printf("the dialog ended with %d after %ld files\n", result, g_state.nextFileIndex);
    return (end - start) / 1000.0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

/* Second thread: once BIG.BIN is being written, clicks Cancel and waits
 * for the question; answers No.  Reads nothing through window messages, so
 * the busy dialog thread does not hold it up. */
struct CancelProbe
{
    DWORD uiThread;
    std::string bigPath;
    DWORD clickedAt = 0, askedAt = 0;
};

BOOL CALLBACK FindCopyDialog(HWND hwnd, LPARAM lParam)
{
    if (GetDlgItem(hwnd, IDC_PROGRESS_BAR) != NULL && IsWindowVisible(hwnd))
    {
        *reinterpret_cast<HWND *>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindQuestion(HWND hwnd, LPARAM lParam)
{
    if (GetDlgItem(hwnd, IDC_MESSAGE_TEXT) != NULL && IsWindowVisible(hwnd))
    {
        *reinterpret_cast<HWND *>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI CancelThread(LPVOID param)
{
    CancelProbe *probe = static_cast<CancelProbe *>(param);
    HWND dialog = NULL;
    for (int i = 0; i < 30000 && dialog == NULL; i++, Sleep(1))
        EnumThreadWindows(probe->uiThread, FindCopyDialog, (LPARAM)&dialog);
    WIN32_FILE_ATTRIBUTE_DATA data;
    for (int i = 0; i < 30000; i++, Sleep(1))
        if (GetFileAttributesExA(probe->bigPath.c_str(), GetFileExInfoStandard, &data) &&
            data.nFileSizeLow > 0)
            break;
    probe->clickedAt = GetTickCount();
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    HWND question = NULL;
    for (int i = 0; i < 600000 && question == NULL; i++, Sleep(1))
        EnumThreadWindows(probe->uiThread, FindQuestion, (LPARAM)&question);
    probe->askedAt = GetTickCount();
    PostMessageA(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
    {
        printf("usage: copy_benchmark FOLDER\n");
        return 2;
    }
    if (!LoadSystemLibraries())
    {
        printf("LZ32 or winspool could not be loaded\n");
        return 1;
    }
    g_state.instance = GetModuleHandleA(NULL);
    g_state.driverVersion = 3;
    std::string folder = std::string(argv[1]) + "\\";
    std::vector<std::string> names = ReadList(folder + "list.txt");
    SetCurrentDirectoryA(folder.c_str());
    lstrcpynA(g_state.packageFolder, folder.c_str(), sizeof(g_state.packageFolder));
    CreateDirectoryA("C:\\bench", NULL);

    BareLoop(names, (MakeDriverFolder("C:\\bench\\warm\\"), "C:\\bench\\warm\\"));
    /* Alternately, each first in every other round, so that neither is
     * always the one that meets the other's write-back. */
    std::vector<double> bare, dialog;
    for (int round = 0; round < 6; round++)
    {
        std::string a = "C:\\bench\\bare" + std::to_string(round) + "\\";
        std::string b = "C:\\bench\\dialog" + std::to_string(round) + "\\";
        MakeDriverFolder(a);
        MakeDriverFolder(b);
        if (round % 2 == 0)
            bare.push_back(BareLoop(names, a));
        dialog.push_back(ThroughDialog(names, b));
        if (round % 2 == 1)
            bare.push_back(BareLoop(names, a));
        printf("round %d: bare loop %.3f s, dialog %.3f s\n", round, bare.back(), dialog.back());
    }
    double b = Median(bare), d = Median(dialog);
    printf("%u files; medians: bare loop %.3f s, dialog %.3f s\n", (unsigned)names.size(), b, d);
    printf("ratio (dialog - 1.1 s) / bare loop = %.3f\n", (d - 1.1) / b);
    /* The fixed part as it really is: the same dialog with an empty list
     * spends the 100 ms start and the one-second wait, and also opens,
     * paints and closes the dialog. */
    std::vector<double> empty;
    MakeDriverFolder("C:\\bench\\empty\\");
    for (int round = 0; round < 3; round++)
        empty.push_back(ThroughDialog({}, "C:\\bench\\empty\\"));
    double e = Median(empty);
    printf("empty list through the dialog: %.3f s; ratio (dialog - that) / bare loop = %.3f\n", e,
           (d - e) / b);

    /* What the flush and the set-aside cost: the bare loop's variants,
     * alternately, three rounds each; into fresh folders for the flush, and
     * over the files of an earlier pass for the set-aside (each file then
     * has an earlier copy to keep and to set aside). */
    std::vector<double> old, flushed, unflushed, replaced, setAside;
    const std::string over = "C:\\bench\\over\\";
    MakeDriverFolder(over);
    BareLoop(names, over);
    for (int round = 0; round < 3; round++)
    {
        std::string r = std::to_string(round);
        const BareWork fresh[] = {OLD_SEQUENCE, AS_THE_COPY, NO_FLUSH};
        std::vector<double> *times[] = {&old, &flushed, &unflushed};
        for (int i = 0; i < 3; i++)
        {
            std::string drv = "C:\\bench\\work" + std::to_string(i) + "_" + r + "\\";
            MakeDriverFolder(drv);
            times[i]->push_back(BareLoop(names, drv, fresh[i]));
        }
        replaced.push_back(BareLoop(names, over, AS_THE_COPY));
        setAside.push_back(BareLoop(names, over, SET_ASIDE));
    }
    double placed = 2.0 * names.size(); /* each name in two folders */
    printf("bare loop medians: earlier sequence %.3f s, as the copy %.3f s, without the flush "
           "%.3f s; over earlier files %.3f s, setting each aside %.3f s\n",
           Median(old), Median(flushed), Median(unflushed), Median(replaced), Median(setAside));
    printf("per file placed: flush %.2f ms, set-aside %.2f ms\n",
           (Median(flushed) - Median(unflushed)) * 1000 / placed,
           (Median(setAside) - Median(replaced)) * 1000 / placed);
    printf("ratios against the earlier sequence's bare loop: (dialog - 1.1 s) / it = %.3f, "
           "(dialog - empty list) / it = %.3f\n",
           (d - 1.1) / Median(old), (d - e) / Median(old));

    /* Cancel while a large file copies. */
    MakeDriverFolder("C:\\bench\\cancel\\");
    SetFiles({"BIG.BIN", names[0]}, "C:\\bench\\cancel\\");
    CancelProbe probe;
    probe.uiThread = GetCurrentThreadId();
    probe.bigPath = "C:\\bench\\cancel\\BIG.BIN";
    HANDLE thread = CreateThread(NULL, 0, CancelThread, &probe, 0, NULL);
    CopyRun run;
    DWORD bigStart = 0, bigEnd = 0;
    run.beforeFile = [&](HWND, size_t index) { (index == 0 ? bigStart : bigEnd) = GetTickCount(); };
    run.answerDelay = 5000; /* the probe thread answers first */
    run.answers = {IDNO};
    INT_PTR result = RunDialog(run);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    printf("cancel during a %.0f MB copy of %.3f s: question after %.3f s; dialog ended with %d\n",
           ReadFileBytes("BIG.BIN").size() / 1e6, (bigEnd - bigStart) / 1000.0,
           (probe.askedAt - probe.clickedAt) / 1000.0, (int)result);
    return 0;
}
