/*
 * Numeric identifiers shared by the resource scripts and the program.
 * Grouped by use: commands 1000-1009, page results 2000-2001, controls
 * 2001-2040 and the message dialog's text control 4038 (a control id,
 * though it lies in the strings' range), timers 3001-3007, strings
 * 4000-4055.  This header is read by windres as well as by the compilers,
 * so it holds #defines only.
 */
#ifndef SETUP_RESOURCE_H
#define SETUP_RESOURCE_H

/* Commands the sequencer posts to the main window (WM_COMMAND, wParam is the
 * command, lParam 0). */
#define CMD_WELCOME_PAGE 1000
#define CMD_MODEL_PAGE 1001
#define CMD_PORT_PAGE 1002
#define CMD_COPY_FILES 1003
#define CMD_INSTALL 1008
/* Posted by the copy loop to its dialog: copy the current file again. */
#define CMD_RETRY_FILE 1009

/* Page results, which are also the ids of the Back and Next buttons. */
#define IDC_BACK 2000
#define IDC_NEXT 2001

/* Controls. */
#define IDC_OUTCOME_TEXT 2005
#define IDC_INSTRUCTION 2009
#define IDC_COPY_FILE_NAME 2010
#define IDC_COPY_DIRECTORY 2011
#define IDC_PROGRESS_BAR 2012
#define IDC_PORT_LABEL 2017
#define IDC_STATUS_TEXT 2031
#define IDC_MESSAGE_ICON 2032
#define IDC_PORT_LIST 2033
#define IDC_MODEL_LABEL 2034
#define IDC_MODEL_LIST 2035
#define IDC_WELCOME_TEXT 2037
#define IDC_COPYRIGHT 2038
#define IDC_PICTURE_BUTTON 2039
#define IDC_SET_DEFAULT 2040
#define IDC_MESSAGE_TEXT 4038

/* One-shot timers (wParam of WM_TIMER is the id, lParam 0).  The main
 * window's; their chain and delays are app/sequence_logic.h's: */
#define TIMER_OPEN_STATUS 3001  /* after creation: show the status window */
#define TIMER_CLOSE_STATUS 3002 /* close it, welcome page */
#define TIMER_INSTALL 3003      /* after CMD_INSTALL: first install */
#define TIMER_FINISH 3004       /* after the reinstall: final page */
#define TIMER_REINSTALL 3007    /* after the first install */
/* The copy dialog's (delays in copy/): */
#define TIMER_START_COPY 3005 /* after the dialog opens */
#define TIMER_END_COPY 3006   /* after every file is copied */

/* Bitmaps, addressed by number. */
#define IDB_BACKGROUND 113
#define IDB_PICTURE_BUTTON 2039

/* System icons, as the platform numbers them (IDI_APPLICATION ...
 * IDI_ASTERISK): the message dialog's, chosen by ui_logic, and the pages'
 * information icon controls, which show the asterisk. */
#define IDI_SYSTEM_APPLICATION 32512
#define IDI_SYSTEM_HAND 32513
#define IDI_SYSTEM_QUESTION 32514
#define IDI_SYSTEM_EXCLAMATION 32515
#define IDI_SYSTEM_ASTERISK 32516

/* String table. */
#define IDS_INSTALL_DONE 4000
#define IDS_INSTALL_FAILED 4001
#define IDS_ERR_BAD_SOURCE 4007
#define IDS_ERR_BAD_DEST 4008
#define IDS_ERR_UNKNOWN 4013
#define IDS_ERR_DECOMPRESS 4014
#define IDS_ERR_MEMORY 4015
#define IDS_ERR_DAMAGED 4016
#define IDS_ERR_DISK_FULL 4017
#define IDS_ERR_FILE_OPEN 4018
#define IDS_STATUS_READING 4027
#define IDS_STATUS_WRITING 4028
#define IDS_TITLE_ERROR 4032
#define IDS_TITLE_QUESTION 4033
#define IDS_TITLE_WARNING 4034
#define IDS_CONFIRM_CANCEL 4044
#define IDS_SELECT_MODEL 4052
#define IDS_SELECT_PORT 4053
#define IDS_NO_SETUP_INFO 4054
#define IDS_ALREADY_INSTALLED 4055

#endif
