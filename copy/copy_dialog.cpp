/*
 * The copy dialog.  Everything runs on the one thread inside the dialog's
 * own message handling: timer 3005 starts the copy loop 100 ms after the
 * dialog opens, the loop drains the message queue after each file so that
 * Cancel keeps working (the cancel question and a No answer's new run then
 * run nested inside it), and the loop reports how it ended by posting
 * commands to the dialog.  Each file is read from the program's own folder
 * by its full path, never looked for anywhere else, expanded by LZ32 when
 * it is stored compressed into a temporary beside its destination, and
 * only then moved over the destination (file_replace.h): a failed, cancelled
 * or killed copy never leaves a destination cut short or missing.
 */
#include "copy_dialog.h"

#include <string.h>

#include "copy_logic.h"
#include "file_api.h"
#include "file_replace.h"
#include "lz_api.h"
#include "../app/setup_state.h"
#include "../profile/resource.h"
#include "../setupinfo/inf_text.h"
#include "../setupinfo/setup_info.h"
#include "../ui/message_dialog.h"

#define COPY_START_DELAY 100 /* ms from opening to the first run */
#define COPY_END_DELAY 1000  /* ms from the last file to the end */
#define COPY_SOURCE_STYLE OF_READ
/* Only for a source found under neither of its names. */
#define COPY_PROMPT_STYLE (OF_READ | OF_PROMPT | OF_CANCEL)
#define COPY_ERROR_TYPE (MB_OK | MB_ICONHAND) /* 16 */

static const COLORREF kNavy = RGB(0, 0, 128);
static const COLORREF kWhite = RGB(255, 255, 255);
static const COLORREF kBlack = RGB(0, 0, 0);

/* One pass of the bar on a fresh device context: `part` filled, `excluded`
 * clipped away, the text drawn over the whole client area. */
static void DrawBarPart(HWND bar, const RECT &client, const RECT &part, const RECT &excluded,
                        HBRUSH brush, COLORREF textColor, const char *text)
{
    HDC dc = GetDC(bar);
    if (dc == NULL)
        return;
    ExcludeClipRect(dc, excluded.left, excluded.top, excluded.right, excluded.bottom);
    FillRect(dc, &part, brush);
    if (text != NULL)
    {
        RECT area = client;
        SetTextColor(dc, textColor);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text, -1, &area, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    ReleaseDC(bar, dc);
}

void DrawProgressBar(HWND bar, LONG done, LONG count)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(bar, &client);
    HBRUSH navy = CreateSolidBrush(kNavy);
    ProgressLayout layout = LayoutProgressBar(done, count, client.left, client.right);
    char text[COPY_TEXT_MAX];
    const char *shown = NULL;
    if (layout.hasText && FormatPercent(layout.percent, text, sizeof(text)))
        shown = text;
    RECT filled = {client.left, client.top, layout.split, client.bottom};
    RECT rest = {layout.split, client.top, client.right, client.bottom};
    DrawBarPart(bar, client, filled, rest, navy, kWhite, shown);
    DrawBarPart(bar, client, rest, filled, (HBRUSH)GetStockObject(WHITE_BRUSH), kBlack, shown);
    DeleteObject(navy);
}

/* The bar's static keeps no picture of the bar, so every repaint of it (a
 * window moved over the dialog, the end wait's redraws) would leave an
 * empty bordered box.  The control is subclassed when the dialog opens:
 * the static paints itself, then the bar is drawn again for the files done
 * so far.  Before the first file, and with no files at all, it stays
 * empty, as the copy has drawn nothing yet. */
static LRESULT CALLBACK ProgressBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(g_state.barStaticProc, hwnd, msg, wParam, lParam);
    if (msg == WM_PAINT && g_state.nextFileIndex > 0 && g_state.fileCount > 0)
        DrawProgressBar(hwnd, g_state.nextFileIndex, (LONG)g_state.fileCount);
    return result;
}

static void SubclassProgressBar(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    if (bar == NULL)
        return;
    LONG_PTR previous = GetWindowLongPtrA(bar, GWLP_WNDPROC);
    if (previous == 0 || previous == (LONG_PTR)ProgressBarProc)
        return;
    g_state.barStaticProc = (WNDPROC)previous;
    SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)ProgressBarProc);
}

void ReportCopyError(HWND dialog, LONG code)
{
    char text[COPY_TEXT_MAX];
    char title[COPY_TEXT_MAX];
    text[0] = '\0';
    title[0] = '\0';
    LoadStringA(g_state.instance, CopyErrorStringId(code), text, sizeof(text));
    LoadStringA(g_state.instance, IDS_TITLE_ERROR, title, sizeof(title));
    ShowMessageDialog(dialog, text, title, COPY_ERROR_TYPE);
}

static BOOL WantsVersionCopy(void)
{
    return g_state.driverVersion > 1;
}

/* Every path of one file: where it goes in the driver directory and in
 * the version subfolder, and the temporary beside each. */
struct CopyPaths
{
    char destination[COPY_TEXT_MAX];
    char versionPath[COPY_TEXT_MAX];
    char temporary[COPY_TEXT_MAX];
    char versionTemporary[COPY_TEXT_MAX];
};

/* Every path of a list name, or FALSE before anything is touched when the
 * name could reach outside the driver directory, a path would not fit its
 * buffer (a cut path would name another file), or the temporary that LZ32
 * creates would not fit its open record.  The destination is held to that
 * record too, as when LZ32 created it: a name the copy refused before is
 * refused still. */
static BOOL BuildCopyPaths(const char *name, CopyPaths *paths)
{
    if (!IsBareFileName(name) || g_state.driverDirectory[0] == '\0')
        return FALSE;
    if (!BuildDestinationPath(g_state.driverDirectory, name, paths->destination, COPY_TEXT_MAX) ||
        !BuildWorkPath(paths->destination, COPY_WORK_TEMPORARY, paths->temporary, COPY_TEXT_MAX) ||
        !FitsOpenRecord(paths->temporary) || !FitsOpenRecord(paths->destination))
        return FALSE;
    if (!WantsVersionCopy())
        return TRUE;
    return BuildVersionPath(g_state.driverDirectory, (int32_t)g_state.driverVersion, name,
                            paths->versionPath, COPY_TEXT_MAX) &&
           BuildWorkPath(paths->versionPath, COPY_WORK_TEMPORARY, paths->versionTemporary,
                         COPY_TEXT_MAX);
}

/* Creates the temporary, or answers HFILE_ERROR.  When Wine 8's
 * LZOpenFileA cannot create a path with OF_CREATE, it quietly creates the
 * name with its last letter replaced by "_" instead (~SETUP-....NE_ for
 * ~SETUP-....NEW) and succeeds; such a file is no copy of ours: it is
 * closed, deleted unless it was there before, and the create counts as
 * failed. */
static INT CreateTemporary(char *temporary)
{
    char fallback[COPY_TEXT_MAX];
    BOOL fallbackExisted = LzFallbackName(temporary, fallback, sizeof(fallback)) &&
                           GetFileAttributesA(fallback) != INVALID_FILE_ATTRIBUTES;
    OFSTRUCT ofs;
    ZeroMemory(&ofs, sizeof(ofs));
    INT file = g_lz->openFile(temporary, &ofs, OF_CREATE);
    if (file < 0)
        return HFILE_ERROR;
    const char *created = PathFileName(ofs.szPathName);
    if (strcmp(created, PathFileName(temporary)) == 0)
        return file;
    g_lz->close(file);
    if (!fallbackExisted && fallback[0] != '\0' && strcmp(created, PathFileName(fallback)) == 0)
        DeleteFileA(ofs.szPathName);
    return HFILE_ERROR;
}

static BOOL FileExists(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* Opens the source, a full path in the program's folder, under the name
 * that is there: the plain one, else LZ32's compressed one (last letter
 * "_").  Windows' LZOpenFileA, given OF_PROMPT, raises the missing-file
 * prompt for a missing plain name before it tries the compressed one,
 * though that is right there (Wine never prompts); so the prompt is asked
 * for only when neither name exists. */
static INT OpenSource(char *source)
{
    OFSTRUCT ofs;
    ZeroMemory(&ofs, sizeof(ofs));
    if (FileExists(source))
        return g_lz->openFile(source, &ofs, COPY_SOURCE_STYLE);
    char compressed[COPY_TEXT_MAX];
    if (LzFallbackName(source, compressed, sizeof(compressed)) && FileExists(compressed))
        return g_lz->openFile(compressed, &ofs, COPY_SOURCE_STYLE);
    return g_lz->openFile(source, &ofs, COPY_PROMPT_STYLE);
}

/* Opens the source (OpenSource).  Only then are an earlier run's leftovers
 * of this file cleared, its kept copies put back, and the temporary
 * created, so a package that lacks a file touches nothing.  FALSE when
 * either end cannot be opened or a kept copy cannot be put back; else
 * *result is CopyLZFile's answer, and the temporary holds what it wrote. */
static BOOL ExpandFile(char *source, CopyPaths *paths, LONG *result)
{
    INT in = OpenSource(source);
    if (in < 0)
        return FALSE;
    if (!RemoveLeftovers(paths->destination) ||
        (WantsVersionCopy() && !RemoveLeftovers(paths->versionPath)))
    {
        g_lz->close(in);
        return FALSE;
    }
    INT out = CreateTemporary(paths->temporary);
    if (out < 0)
    {
        g_lz->close(in);
        return FALSE;
    }
    *result = g_lz->copyFile(in, out);
    g_lz->close(in);
    g_lz->close(out);
    return TRUE;
}

/* A temporary written by a copy, flushed; REPLACE_DONE or the code to
 * report, with the temporary deleted. */
static LONG FlushTemporary(const char *temporary)
{
    if (FlushWrittenFile(temporary))
        return REPLACE_DONE;
    LONG code = FileErrorCode(GetLastError());
    g_files->deleteFile(temporary);
    return code;
}

/* The version subfolder's copy, from the complete new file, made the same
 * way.  A copy that cannot be made there is reported as one in the driver
 * directory is: the spooler loads the driver from that folder. */
static LONG PlaceVersionCopy(CopyPaths *paths, LONG index)
{
    if (!g_files->copyFile(paths->destination, paths->versionTemporary, FALSE))
    {
        LONG code = FileErrorCode(GetLastError());
        g_files->deleteFile(paths->versionTemporary);
        return code;
    }
    LONG code = FlushTemporary(paths->versionTemporary);
    if (code != REPLACE_DONE)
        return code;
    return ReplaceFromTemporary(paths->versionTemporary, paths->versionPath,
                                KeptEntry(index, TRUE));
}

/* The expanded temporary flushed and moved over the destination, then the
 * version copy; REPLACE_DONE or the code to report. */
static LONG PlaceFile(CopyPaths *paths, LONG index)
{
    LONG code = FlushTemporary(paths->temporary);
    if (code == REPLACE_DONE)
        code = ReplaceFromTemporary(paths->temporary, paths->destination, KeptEntry(index, FALSE));
    if (code == REPLACE_DONE && WantsVersionCopy())
        code = PlaceVersionCopy(paths, index);
    return code;
}

/* Puts driverDirectory into control 2011 unless the control shows it
 * already: it is the same for every file, and under Wine 8 each change of
 * a static's text costs about 0.3 ms, as much as expanding a small file. */
static void ShowDirectory(HWND dialog)
{
    char shown[COPY_TEXT_MAX];
    shown[0] = '\0';
    GetDlgItemTextA(dialog, IDC_COPY_DIRECTORY, shown, sizeof(shown));
    if (strcmp(shown, g_state.driverDirectory) != 0)
        SetDlgItemTextA(dialog, IDC_COPY_DIRECTORY, g_state.driverDirectory);
}

int CopyDriverFile(HWND dialog, LONG index)
{
    char source[COPY_TEXT_MAX];
    CopyPaths paths = {};
    BOOL opened = FALSE;
    LONG result = 0;
    const char *name =
        NthKeyName(g_state.dependentFiles, sizeof(g_state.dependentFiles), (unsigned)index);
    if (name != NULL)
    {
        SetDlgItemTextA(dialog, IDC_COPY_FILE_NAME, name);
        ShowDirectory(dialog);
    }
    if (name != NULL && BuildCopyPaths(name, &paths) &&
        BuildDestinationPath(GetPackageFolder(), name, source, sizeof(source)))
        opened = ExpandFile(source, &paths, &result);
    if (!opened)
    {
        ReportCopyError(dialog, COPY_ERROR_OPEN);
        return COPY_FILE_GIVE_UP;
    }
    if (result < 0)
    {
        /* A new try starts clean: the source opened anew, the temporary
         * made afresh. */
        g_files->deleteFile(paths.temporary);
        ReportCopyError(dialog, result);
        return CopyFileOutcome(result);
    }
    LONG code = PlaceFile(&paths, index);
    if (code == REPLACE_DONE)
        return COPY_FILE_DONE;
    ReportCopyError(dialog, code);
    return code == COPY_ERROR_OPEN ? COPY_FILE_GIVE_UP : CopyFileOutcome(code);
}

/* Every message waiting for the thread, for any window, without the
 * dialog's keyboard handling. */
static void DrainQueue(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static BOOL FilesRemain(void)
{
    return (LONGLONG)g_state.nextFileIndex < (LONGLONG)g_state.fileCount;
}

void RunCopyLoop(HWND dialog, BOOL copying)
{
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    if (!copying)
    {
        DrawProgressBar(bar, g_state.nextFileIndex, (LONG)g_state.fileCount);
        return;
    }

    /* Posted when the run ends: IDOK after the last file, nothing when the
     * user asked to cancel (a run started while the cancel question is open
     * copies nothing). */
    WPARAM ending = IDOK;
    LPARAM endingParam = 0;
    g_lz->start();
    /* Refused setup information copies nothing, as a file that cannot be
     * opened would: before the first file, so nothing is touched. */
    if (!g_state.cancelRequested && g_state.modelDataRefused)
    {
        ReportCopyError(dialog, COPY_ERROR_OPEN);
        ending = IDCANCEL;
        endingParam = 1;
    }
    while (ending == IDOK && !g_state.cancelRequested && FilesRemain())
    {
        /* The session ended while messages were drained: the run has been
         * put back, and no further file is copied. */
        if (g_state.sessionEnded)
        {
            ending = IDCANCEL;
            endingParam = 1;
            break;
        }
        int outcome = CopyDriverFile(dialog, g_state.nextFileIndex);
        if (outcome == COPY_FILE_GIVE_UP)
        {
            ending = IDCANCEL;
            endingParam = 1;
            break;
        }
        if (outcome == COPY_FILE_RETRY)
        {
            ending = CMD_RETRY_FILE;
            break;
        }
        g_state.nextFileIndex++;
        DrawProgressBar(bar, g_state.nextFileIndex, (LONG)g_state.fileCount);
        DrainQueue();
    }
    g_lz->done();
    if (ending != IDOK || !g_state.cancelRequested)
        PostMessageA(dialog, WM_COMMAND, ending, endingParam);
}

static void OnCopyInitDialog(HWND hwnd)
{
    CenterDialog(hwnd);
    SubclassProgressBar(hwnd);
    SetFocus(GetDlgItem(hwnd, IDCANCEL));
    SetTimer(hwnd, TIMER_START_COPY, COPY_START_DELAY, NULL);
}

static void OnCopyTimer(HWND hwnd, UINT timer)
{
    KillTimer(hwnd, timer);
    if (timer == TIMER_START_COPY)
        RunCopyLoop(hwnd, TRUE);
    else if (timer == TIMER_END_COPY)
        EndDialog(hwnd, IDOK);
}

/* Cancel, Escape or the close box.  The flag is set before the question
 * opens, so a run that starts meanwhile copies nothing.  A pending close
 * is stopped while the question is open, so the dialog does not vanish
 * under it; a No answer's run posts IDOK again when every file is done. */
static void OnUserCancel(HWND hwnd)
{
    g_state.cancelRequested = 1;
    KillTimer(hwnd, TIMER_END_COPY);
    if (LOWORD(ConfirmCancel(hwnd)) == IDYES)
    {
        EndDialog(hwnd, IDCANCEL);
        return;
    }
    g_state.cancelRequested = 0;
    RunCopyLoop(hwnd, TRUE);
}

/* Commands compare on the whole word: the loop posts them with
 * notification code 0. */
static void OnCopyCommand(HWND hwnd, WPARAM command, LPARAM lParam)
{
    switch (command)
    {
    case IDOK:
        SetTimer(hwnd, TIMER_END_COPY, COPY_END_DELAY, NULL);
        break;
    case IDCANCEL:
        if (lParam == 1)
            EndDialog(hwnd, IDCANCEL);
        else
            OnUserCancel(hwnd);
        break;
    case CMD_RETRY_FILE:
        RunCopyLoop(hwnd, TRUE);
        break;
    default:
        break;
    }
}

static INT_PTR CALLBACK CopyDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnCopyInitDialog(hwnd);
        return 0;
    case WM_TIMER:
        OnCopyTimer(hwnd, (UINT)wParam);
        return 0;
    case WM_COMMAND:
        OnCopyCommand(hwnd, wParam, lParam);
        return 0;
    case WM_ENTERIDLE:
        /* A message box or the system menu of this dialog is waiting. */
        RunCopyLoop(hwnd, FALSE);
        return 0;
    default:
        return 0;
    }
}

int RunCopyDialog(HWND owner)
{
    INT_PTR result = DialogBoxParamA(g_state.instance, "IDD_COPY", owner, CopyDialogProc, 0);
    /* A dialog that could not be shown copied nothing. */
    return result == IDOK ? 1 : 2;
}
