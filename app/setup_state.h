/*
 * The one process-wide record of the wizard.  It is zeroed at start, lives
 * until exit and holds everything that passes between the subsystems; all
 * other state is acquired and released inside one operation.
 */
#ifndef SETUP_STATE_H
#define SETUP_STATE_H

#include <windows.h>

#include "../copy/copy_logic.h"

struct KeptRecords;
struct ChoicePage; /* the model or the port page (ui/pages.cpp) */

struct SetupState
{
    HINSTANCE instance;
    WORD osIndex;
    DWORD driverVersion;
    const char *environment;
    char infPath[SETUP_TEXT_MAX];
    char packageFolder[SETUP_TEXT_MAX]; /* the program's folder, where driver files are read */
    char modelName[SETUP_TEXT_MAX];
    char portName[SETUP_TEXT_MAX];
    char driverDirectory[SETUP_TEXT_MAX]; /* with a trailing backslash */
    char defaultDataType[SETUP_TEXT_MAX];
    char dependentFiles[SETUP_TEXT_MAX]; /* names closed by NUL, then an empty name */
    DWORD fileCount;
    DWORD modelDataRefused; /* the model's setup information was refused: copy nothing */
    LONG nextFileIndex;
    DWORD cancelRequested;
    DWORD
        sessionEnded; /* the session ended (log-off, shut-down): the run is over, do nothing more */
    DWORD runFinished; /* what the run replaced or removed has been let go or put back */
    HWND statusWindow;
    char quotedKey[SETUP_TEXT_MAX];
    char hardwareIdBuffer[SETUP_TEXT_MAX];
    const char *messageText;
    const char *messageTitle;
    WORD messageType; /* message dialog type; the final page's outcome */
    WORD statusTextId;
    int lastInstallResult;        /* the latest InstallDriverAndPrinter's answer */
    WNDPROC barStaticProc;        /* the progress bar static's own window procedure */
    KeptCopies keptCopies;        /* earlier copies the copy replaced, until the run's end */
    KeptRecords *keptRecords;     /* what the run deleted from the spooler (kept_records.h) */
    const ChoicePage *choicePage; /* the choice page being shown */
};

extern SetupState g_state;

#endif
