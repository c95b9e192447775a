/*
 * The copy dialog: expands the model's files into the driver directory.
 */
#ifndef SETUP_COPY_DIALOG_H
#define SETUP_COPY_DIALOG_H

#include <windows.h>

/* 1 when every file was copied, 2 when cancelled or a copy failed. */
int RunCopyDialog(HWND owner);

#endif
