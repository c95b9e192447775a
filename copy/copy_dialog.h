/*
 * The copy dialog: expands the model's files into the driver directory and
 * its version subfolder, with a two-tone progress bar, error messages,
 * retry of a file and a confirmed cancel.  It reads dependentFiles,
 * fileCount, driverDirectory and driverVersion from g_state and keeps its
 * place in nextFileIndex and cancelRequested.
 */
#ifndef SETUP_COPY_DIALOG_H
#define SETUP_COPY_DIALOG_H

#include <windows.h>

/* 1 when every file was copied, 2 when cancelled or a copy failed. */
int RunCopyDialog(HWND owner);

/* With `copying`, copies the files from nextFileIndex on and draws the bar
 * after each, draining the message queue between files; it posts IDOK when
 * all are done, IDCANCEL with lParam 1 after a failure that gives up, and
 * CMD_RETRY_FILE after one that asks for the same file again.  Without,
 * only draws the bar. */
void RunCopyLoop(HWND dialog, BOOL copying);

/* Copies the file at `index` of the list; COPY_FILE_DONE, COPY_FILE_GIVE_UP
 * or COPY_FILE_RETRY (copy_logic.h), after reporting any failure. */
int CopyDriverFile(HWND dialog, LONG index);

/* Shows the message of an error code (COPY_ERROR_OPEN or an LZERROR_*
 * code) over the dialog and returns when the user has closed it. */
void ReportCopyError(HWND dialog, LONG code);

/* Draws the bar over the whole client area of control `bar` for `done` of
 * `count` files: navy with white text up to the split, white with black
 * text after it.  Every drawing object it makes it deletes. */
void DrawProgressBar(HWND bar, LONG done, LONG count);

#endif
