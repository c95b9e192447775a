/*
 * The copy dialog: expands the model's files into the driver directory and
 * its version subfolder, with a two-tone progress bar, error messages,
 * retry of a file and a confirmed cancel.  It reads dependentFiles,
 * fileCount, driverDirectory, driverVersion, modelDataRefused and
 * sessionEnded from g_state, and keeps its place in nextFileIndex and
 * cancelRequested.
 */
#ifndef SETUP_COPY_DIALOG_H
#define SETUP_COPY_DIALOG_H

#include <windows.h>

/* 1 when every file was copied, 2 when cancelled or a copy failed. */
int RunCopyDialog(HWND owner);

/* Shows the message of an error code (COPY_ERROR_OPEN or an LZERROR_*
 * code) over the dialog and returns when the user has closed it. */
void ReportCopyError(HWND dialog, LONG code);

#endif
