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
#include "progress_bar.h"
#include "../app/setup_state.h"
#include "../profile/resource.h"
#include "../ui/message_dialog.h"

#define COPY_START_DELAY 100 /* ms from opening to the first run */
#define COPY_END_DELAY 1000  /* ms from the last file to the end */
#define COPY_SOURCE_STYLE OF_READ
/* Only for a source found under neither of its names. */
#define COPY_PROMPT_STYLE (OF_READ | OF_PROMPT | OF_CANCEL)

void ReportCopyError(HWND dialog, LONG code)
{
    ShowMessageById(dialog, CopyErrorStringId(code), IDS_TITLE_ERROR, MESSAGE_ERROR_TYPE);
}

/* Creates the temporary, or answers HFILE_ERROR.  When Wine 8's
 * LZOpenFileA cannot create a path with OF_CREATE, it quietly creates the
 * name with its last letter replaced by "_" instead (~SETUP-....NE_ for
 * ~SETUP-....NEW) and succeeds; such a file is no copy of ours: it is
 * closed, deleted unless it was there before, and the create counts as
 * failed. */
static INT CreateTemporary(char *temporary)
{
    char fallback[SETUP_TEXT_MAX];
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
    char compressed[SETUP_TEXT_MAX];
    if (LzFallbackName(source, compressed, sizeof(compressed)) && FileExists(compressed))
        return g_lz->openFile(compressed, &ofs, COPY_SOURCE_STYLE);
    return g_lz->openFile(source, &ofs, COPY_PROMPT_STYLE);
}

/* Opens the source (OpenSource).  Only then are an earlier run's leftovers
 * of this file cleared, its kept copies put back, and the temporary
 * created, so a package that lacks a file touches nothing.  REPLACE_DONE
 * when the temporary holds the expanded file; COPY_ERROR_OPEN when either
 * end cannot be opened or a kept copy cannot be put back; else LZ32's
 * error code, with the temporary deleted so that a new try starts clean. */
static LONG ExpandFile(CopyPaths *paths)
{
    INT in = OpenSource(paths->source);
    if (in < 0)
        return COPY_ERROR_OPEN;
    INT out = HFILE_ERROR;
    if (RemoveLeftovers(paths->destination) &&
        (paths->versionPath[0] == '\0' || RemoveLeftovers(paths->versionPath)))
        out = CreateTemporary(paths->temporary);
    if (out < 0)
    {
        g_lz->close(in);
        return COPY_ERROR_OPEN;
    }
    LONG result = g_lz->copyFile(in, out);
    g_lz->close(in);
    g_lz->close(out);
    if (result >= 0)
        return REPLACE_DONE;
    g_files->deleteFile(paths->temporary);
    return result;
}

/* Puts driverDirectory into control 2011 unless the control shows it
 * already: it is the same for every file, and under Wine 8 each change of
 * a static's text costs about 0.3 ms, as much as expanding a small file. */
static void ShowDirectory(HWND dialog)
{
    char shown[SETUP_TEXT_MAX];
    shown[0] = '\0';
    GetDlgItemTextA(dialog, IDC_COPY_DIRECTORY, shown, sizeof(shown));
    if (strcmp(shown, g_state.driverDirectory) != 0)
        SetDlgItemTextA(dialog, IDC_COPY_DIRECTORY, g_state.driverDirectory);
}

/* Copies the file at `index` of the list; COPY_FILE_DONE, COPY_FILE_GIVE_UP
 * or COPY_FILE_RETRY (copy_logic.h), after reporting any failure. */
static int CopyDriverFile(HWND dialog, LONG index)
{
    CopyPaths paths = {};
    BOOL built = BuildCopyPaths(index, &paths);
    if (paths.name != NULL)
    {
        SetDlgItemTextA(dialog, IDC_COPY_FILE_NAME, paths.name);
        ShowDirectory(dialog);
    }
    LONG code = built ? ExpandFile(&paths) : COPY_ERROR_OPEN;
    if (code == REPLACE_DONE)
        code = PlaceDriverFile(index, &paths);
    if (code != REPLACE_DONE)
        ReportCopyError(dialog, code);
    return CopyFileOutcome(code);
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

/* Copies the files from nextFileIndex on and draws the bar after each,
 * draining the message queue between files; it posts IDOK when all are
 * done, IDCANCEL with lParam 1 after a failure that gives up, and
 * CMD_RETRY_FILE after one that asks for the same file again. */
static void RunCopyLoop(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
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
    while (ending == IDOK && !g_state.cancelRequested &&
           (LONGLONG)g_state.nextFileIndex < (LONGLONG)g_state.fileCount)
    {
        /* A session that ended while messages were drained has had its run
         * put back: no further file is copied. */
        int outcome = g_state.sessionEnded ? COPY_FILE_GIVE_UP
                                           : CopyDriverFile(dialog, g_state.nextFileIndex);
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
        DrawProgressBar(bar);
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
        RunCopyLoop(hwnd);
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
    RunCopyLoop(hwnd);
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
        RunCopyLoop(hwnd);
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
        DrawProgressBar(GetDlgItem(hwnd, IDC_PROGRESS_BAR));
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
