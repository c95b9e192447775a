/*
 * The copy dialog's two-tone progress bar, drawn over a static control:
 * navy with white text up to the split, white with black text after it.
 */
#ifndef SETUP_PROGRESS_BAR_H
#define SETUP_PROGRESS_BAR_H

#include <windows.h>

/* Draws the bar over the whole client area of `bar` for the files copied
 * so far (g_state.nextFileIndex of fileCount).  Every drawing object it
 * makes it deletes. */
void DrawProgressBar(HWND bar);

/* Has control IDC_PROGRESS_BAR of `dialog` draw the bar again whenever it
 * repaints. */
void SubclassProgressBar(HWND dialog);

#endif
