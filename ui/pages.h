/*
 * The four wizard pages.  Each runs modally over the hidden main window and
 * returns its result: 2001 Next, 2000 Back or 2 (Cancel confirmed) for the
 * welcome, model and port pages; 1 for the final page.
 */
#ifndef SETUP_PAGES_H
#define SETUP_PAGES_H

#include <windows.h>

INT_PTR RunWelcomePage(HWND owner);
INT_PTR RunModelPage(HWND owner);
INT_PTR RunPortPage(HWND owner);
/* Shows the outcome (1 completed, other values failed) and offers to make
 * the new printer the default. */
INT_PTR RunFinalPage(HWND owner, WORD outcome);

#endif
