/*
 * Runs the copy dialog in the test's own thread and watches it through two
 * thread hooks, so that each observation and each user action happens at an
 * exact point of the copy rather than after a guessed delay:
 *   - before file k is copied (the dialog puts its name in control 2010),
 *     when the bar shows k files done;
 *   - when the loop's "all copied" command is taken from the queue;
 *   - when a message dialog (an error, the cancel question) opens; it is
 *     answered from a thread timer, which its own modal loop dispatches.
 * The test's files live in C:\copytest\<case>\ (src: the package folder,
 * where the sources are read; drv: the driver directory, with its "3"
 * folder; the case's folder itself is made current, and no source there
 * may be found).
 */
#ifndef SETUP_TEST_COPY_HARNESS_H
#define SETUP_TEST_COPY_HARNESS_H

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/setup_state.h"
#include "copy/copy_dialog.h"
#include "copy/copy_logic.h"
#include "copy/file_replace.h"
#include "profile/resource.h"
#include "tests/support/page_texts.h"
#include "built_programs.h"
#include "pixels.h"
#include "ui_driver.h"

namespace copytest
{

struct Message
{
    std::string title;
    std::string text;
};

struct CopyRun
{
    /* script */
    std::function<void(HWND dialog)> opened; /* WM_INITDIALOG, before the start timer */
    std::function<void(HWND dialog, size_t index)> beforeFile;
    std::function<void(HWND dialog)> allCopied;
    std::vector<int> answers;                /* button per message dialog, in order */
    std::function<void(HWND box)> onMessage; /* before it is answered */
    DWORD answerDelay = 20;                  /* ms a message stays up */

    /* observations */
    HWND dialog = NULL;
    DWORD openedAt = 0;
    std::vector<std::string> shown; /* names put into 2010, in order */
    std::vector<Message> messages;
    bool questionOpen = false;
    /* The open box's loop has gone idle (WM_ENTERIDLE reached the dialog),
     * so the dialog's idle redraw is on screen. */
    bool boxIdle = false;
    DWORD boxOpenedAt = 0;
    bool startedUnderQuestion = false; /* timer 3005 came while the question was up */
    INT_PTR result = 0;
};

inline CopyRun *&Current()
{
    static CopyRun *run = nullptr;
    return run;
}

inline VOID CALLBACK AnswerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    CopyRun *run = Current();
    HWND box = uitest::FindThreadDialog(IDC_MESSAGE_TEXT, true);
    if (run != nullptr && box == NULL)
        return; /* not up yet: the timer comes again */
    /* A person answers a box that is up and waiting.  On a slow machine
     * (Wine under emulation) the timer can be due before the box's loop
     * first goes idle; wait for that, for 10 s at most. */
    if (run != nullptr && !run->boxIdle && GetTickCount() - run->boxOpenedAt < 10000)
        return;
    KillTimer(NULL, id);
    if (run == nullptr)
        return;
    run->messages.push_back({uitest::WindowText(box), uitest::ItemText(box, IDC_MESSAGE_TEXT)});
    if (run->onMessage)
        run->onMessage(box);
    size_t n = run->messages.size() - 1;
    int answer = n < run->answers.size() ? run->answers[n] : IDOK;
    run->questionOpen = false;
    PostMessageA(GetDlgItem(box, answer), BM_CLICK, 0, 0);
}

inline LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *m = reinterpret_cast<const CWPSTRUCT *>(lParam);
    CopyRun *run = Current();
    if (code == HC_ACTION && run != nullptr)
    {
        if (m->message == WM_INITDIALOG && GetDlgItem(m->hwnd, IDC_PROGRESS_BAR) != NULL)
        {
            run->dialog = m->hwnd;
            run->openedAt = GetTickCount();
            if (run->opened)
                run->opened(m->hwnd);
        }
        else if (m->message == WM_INITDIALOG && GetDlgItem(m->hwnd, IDC_MESSAGE_TEXT) != NULL)
        {
            run->questionOpen = GetDlgItem(m->hwnd, IDYES) != NULL;
            run->boxIdle = false;
            run->boxOpenedAt = GetTickCount();
            SetTimer(NULL, 0, run->answerDelay, AnswerProc);
        }
        else if (m->message == WM_ENTERIDLE && m->hwnd == run->dialog)
        {
            run->boxIdle = true;
        }
        else if (m->message == WM_SETTEXT && GetDlgCtrlID(m->hwnd) == IDC_COPY_FILE_NAME &&
                 GetParent(m->hwnd) == run->dialog)
        {
            run->shown.push_back(reinterpret_cast<const char *>(m->lParam));
            if (run->beforeFile)
                run->beforeFile(run->dialog, run->shown.size() - 1);
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

inline LRESULT CALLBACK GetMsgHook(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG *m = reinterpret_cast<const MSG *>(lParam);
    CopyRun *run = Current();
    if (code == HC_ACTION && wParam == PM_REMOVE && run != nullptr && m->hwnd == run->dialog &&
        m->hwnd != NULL)
    {
        if (m->message == WM_COMMAND && m->wParam == IDOK && m->lParam == 0 && run->allCopied)
            run->allCopied(run->dialog);
        if (m->message == WM_TIMER && m->wParam == TIMER_START_COPY && run->questionOpen)
            run->startedUnderQuestion = true;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

/* A dialog still open after a minute is ended, so a test never hangs. */
inline VOID CALLBACK WatchdogProc(HWND, UINT, UINT_PTR, DWORD)
{
    CopyRun *run = Current();
    if (run != nullptr && run->openedAt != 0 && GetTickCount() - run->openedAt > 60000)
        EnumThreadWindows(GetCurrentThreadId(), uitest::EndThreadDialogProc, 0);
}

/* Runs the dialog with the script; the result is also in run.result. */
inline INT_PTR RunDialog(CopyRun &run, HWND owner = NULL)
{
    Current() = &run;
    HHOOK callHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndHook, NULL, GetCurrentThreadId());
    HHOOK msgHook = SetWindowsHookExA(WH_GETMESSAGE, GetMsgHook, NULL, GetCurrentThreadId());
    UINT_PTR watchdog = SetTimer(NULL, 0, 500, WatchdogProc);
    run.result = RunCopyDialog(owner);
    KillTimer(NULL, watchdog);
    UnhookWindowsHookEx(callHook);
    UnhookWindowsHookEx(msgHook);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    Current() = nullptr;
    return run.result;
}

/* Posts a click on a control of the dialog, as the mouse would. */
inline void Click(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

/* g_state as the reader leaves it: the names, their count, the driver
 * directory and version 3; nothing copied and no cancel yet. */
inline void SetFiles(const std::vector<std::string> &names, const std::string &driverDirectory)
{
    ZeroMemory(g_state.dependentFiles, sizeof(g_state.dependentFiles));
    size_t pos = 0;
    for (const std::string &n : names)
    {
        if (pos + n.size() + 2 > sizeof(g_state.dependentFiles))
            break;
        CopyMemory(g_state.dependentFiles + pos, n.c_str(), n.size() + 1);
        pos += n.size() + 1;
    }
    g_state.fileCount = (DWORD)names.size();
    lstrcpynA(g_state.driverDirectory, driverDirectory.c_str(), sizeof(g_state.driverDirectory));
    g_state.driverVersion = 3;
    g_state.nextFileIndex = 0;
    g_state.cancelRequested = 0;
    g_state.modelDataRefused = 0;
    g_state.keptCopies.count = 0;
}

inline std::string ReadFileBytes(const std::string &path, bool *found = nullptr)
{
    std::string data;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (found != nullptr)
        *found = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return data;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(file, buf, sizeof(buf), &n, NULL) && n > 0)
        data.append(buf, n);
    CloseHandle(file);
    return data;
}

inline bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

/* Every file of the driver directory `drv` and its "3" folder ("3\\NAME"),
 * with its bytes. */
inline std::map<std::string, std::string> DriverFiles(const std::string &drv)
{
    std::map<std::string, std::string> files;
    for (const std::string sub : {"", "3\\"})
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((drv + sub + "*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do
        {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files[sub + found.cFileName] = ReadFileBytes(drv + sub + found.cFileName);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return files;
}

/* The copy's part of the run's end after a failed run, then what is not
 * as it should be: a file the folders held `before` that does not hold its
 * bytes again ("NAME changed"), or one of the copy's temporaries or kept
 * copies left ("NAME left").  Files new to the folders may stay. */
inline std::vector<std::string> NotPutBack(const std::string &drv,
                                           const std::map<std::string, std::string> &before)
{
    FinishReplacedFiles(FALSE);
    std::vector<std::string> wrong;
    std::map<std::string, std::string> after = DriverFiles(drv);
    for (const auto &file : before)
    {
        if (!after.count(file.first) || after[file.first] != file.second)
            wrong.push_back(file.first + " changed");
    }
    for (const auto &file : after)
    {
        if (IsWorkName(PathFileName(file.first.c_str())))
            wrong.push_back(file.first + " left");
    }
    return wrong;
}

/* A test case's folders: src (the package folder) and drv with drv\3; the
 * root is made current. */
struct Folders
{
    std::string root, src, drv;
    explicit Folders(const std::string &name)
    {
        CreateDirectoryA("C:\\copytest", NULL);
        root = "C:\\copytest\\" + name + "\\";
        src = root + "src\\";
        drv = root + "drv\\";
        CreateDirectoryA(root.c_str(), NULL);
        CreateDirectoryA(src.c_str(), NULL);
        CreateDirectoryA(drv.c_str(), NULL);
        CreateDirectoryA((drv + "3").c_str(), NULL);
        lstrcpynA(g_state.packageFolder, src.c_str(), sizeof(g_state.packageFolder));
        SetCurrentDirectoryA(root.c_str());
    }
};

/* SETUP_COPY_FIXTURES (made by scripts/make-copy-fixtures.sh), with a
 * trailing backslash, or "" when not set. */
inline std::string FixtureDir()
{
    std::string dir = Env("SETUP_COPY_FIXTURES");
    return dir.empty() ? dir : dir + "\\";
}

/* The bytes of the fixture's expanded file `name`. */
inline std::string RefBytes(const std::string &name)
{
    return ReadFileBytes(FixtureDir() + "ref\\" + name);
}

/* Copies the fixture's expanded file `ref` to `to`. */
inline bool CopyRef(const std::string &ref, const std::string &to)
{
    return CopyFileA((FixtureDir() + "ref\\" + ref).c_str(), to.c_str(), FALSE) != 0;
}

/* Another driver's copies of `name`, holding `ref`, in drv and drv\3. */
inline bool PlaceInBoth(const Folders &f, const std::string &ref, const std::string &name)
{
    return CopyRef(ref, f.drv + name) && CopyRef(ref, f.drv + "3\\" + name);
}

/* Copies fixture sources (as stored: CPTEXT.TX_ for CPTEXT.TXT) into src. */
inline bool AddSources(const Folders &f, const std::vector<std::string> &stored)
{
    for (const std::string &s : stored)
    {
        if (!CopyFileA((FixtureDir() + "src\\" + s).c_str(), (f.src + s).c_str(), FALSE))
            return false;
    }
    return true;
}

/* The bar's client area as it is on screen now, 0xRRGGBB row by row. */
inline std::vector<uint32_t> Snapshot(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    SIZE size = pixels::ClientSize(bar);
    pixels::Canvas canvas(size.cx, size.cy);
    pixels::CaptureClient(bar, canvas);
    return canvas.Pixels();
}

/* The same area painted by this test: navy left of the split and white
 * right of it, the text centred in the default font in the other colour. */
inline std::vector<uint32_t> Expected(HWND dialog, int split, const char *text)
{
    SIZE size = pixels::ClientSize(GetDlgItem(dialog, IDC_PROGRESS_BAR));
    pixels::Canvas canvas(size.cx, size.cy);
    const RECT sides[2] = {{0, 0, split, size.cy}, {split, 0, size.cx, size.cy}};
    const COLORREF back[2] = {RGB(0, 0, 128), RGB(255, 255, 255)};
    SetBkMode(canvas.Dc(), TRANSPARENT);
    for (int side = 0; side < 2; side++)
    {
        RECT area = {0, 0, size.cx, size.cy};
        HRGN clip = CreateRectRgnIndirect(&sides[side]);
        SelectClipRgn(canvas.Dc(), clip);
        DeleteObject(clip);
        HBRUSH brush = CreateSolidBrush(back[side]);
        FillRect(canvas.Dc(), &area, brush);
        DeleteObject(brush);
        SetTextColor(canvas.Dc(), side == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0));
        if (text != nullptr)
            DrawTextA(canvas.Dc(), text, -1, &area, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    return canvas.Pixels();
}

/* Pixels that differ, or -1 when the sizes do. */
inline size_t Differences(const std::vector<uint32_t> &a, const std::vector<uint32_t> &b)
{
    if (a.size() != b.size())
        return (size_t)-1;
    size_t n = 0;
    for (size_t i = 0; i < a.size(); i++)
        n += a[i] != b[i];
    return n;
}

} // namespace copytest

#endif
