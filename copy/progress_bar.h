/*
 * The copy dialog's two-tone progress bar, drawn over a static control:
 * navy with white text up to the split, white with black text after it.
 */
#ifndef SETUP_PROGRESS_BAR_H
#define SETUP_PROGRESS_BAR_H

#include <windows.h>

/* Draws the bar over the whole client area of `bar` for `done` of `count`
 * files.  Every drawing object it makes it deletes. */
void DrawProgressBar(HWND bar, LONG done, LONG count);

/* Has control IDC_PROGRESS_BAR of `dialog` draw the bar again for the
 * files copied so far (g_state.nextFileIndex) whenever it repaints. */
void SubclassProgressBar(HWND dialog);

#endif
