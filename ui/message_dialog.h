/*
 * The program's own message box, its one-line status window, and the
 * centring every dialog of the program does when it opens.
 *
 * The message dialog takes the system message box's type codes (low four
 * bits: buttons, next four: icon) and returns its result codes (1 OK,
 * 2 Cancel, 4 Retry, 6 Yes, 7 No).  Texts and templates come from
 * g_state.instance.
 */
#ifndef SETUP_MESSAGE_DIALOG_H
#define SETUP_MESSAGE_DIALOG_H

#include <windows.h>

/* Centres the window over its parent (for a dialog, its owner; the screen
 * when it has none), keeping its size, and brings it to the foreground. */
void CenterDialog(HWND hwnd);

/* The type of an error or a warning: OK, with the stop icon. */
#define MESSAGE_ERROR_TYPE (MB_OK | MB_ICONHAND)

/* Shows the message dialog modally over owner.  text and title must stay
 * valid until the call returns.  Returns the command that ended it, or -1
 * when the dialog could not be shown (never 6, so a cancel question that
 * cannot be asked is never taken as confirmed). */
INT_PTR ShowMessageDialog(HWND owner, const char *text, const char *title, WORD type);

/* Loads the two strings (each cut to 1023 characters) and shows them. */
INT_PTR ShowMessageById(HWND owner, WORD textId, WORD titleId, WORD type);

/* Asks whether to cancel the installation; 6 when the user answers Yes. */
INT_PTR ConfirmCancel(HWND owner);

/* Creates the status window, hidden, showing string stringId; the caller
 * shows it, keeps it in g_state.statusWindow and destroys it.  NULL when it
 * could not be created. */
HWND ShowStatusWindow(HWND owner, WORD stringId);

#endif
