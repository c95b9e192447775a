/*
 * Wizard pages: welcome, model, port and final.  Every page is centred over
 * its owner when it opens, sets its own focus and answers 0 to every
 * message; its result tells the sequencer where to go.
 *
 * The model and port pages do not fill their lists yet: Next goes on at once.
 */
#include "pages.h"

#include "message_dialog.h"
#include "ui_logic.h"
#include "../app/sequence_logic.h"
#include "../app/setup_state.h"
#include "../app/startup.h"
#include "../profile/build_profile.h"
#include "../profile/resource.h"
#include "../spooler/default_printer.h"

/* Cancel on the welcome, model and port pages: only Yes ends the page. */
static void OnPageCancel(HWND hwnd)
{
    if (LOWORD(ConfirmCancel(hwnd)) == IDYES)
        EndDialog(hwnd, IDCANCEL);
}

/* Next, Back and Cancel of a page whose Next needs no further work. */
static void OnPageCommand(HWND hwnd, WORD id)
{
    switch (id)
    {
    case IDC_NEXT:
        EndDialog(hwnd, IDC_NEXT);
        break;
    case IDC_BACK:
        EndDialog(hwnd, IDC_BACK);
        break;
    case IDCANCEL:
        OnPageCancel(hwnd);
        break;
    default:
        break;
    }
}

static void OnWelcomeInitDialog(HWND hwnd)
{
    CenterDialog(hwnd);
    const char *text = WelcomeTextForEnvironment(g_profile, g_state.environment);
    if (text != NULL)
        SetDlgItemTextA(hwnd, IDC_WELCOME_TEXT, text);
    SetFocus(GetDlgItem(hwnd, IDC_NEXT));
}

static INT_PTR CALLBACK WelcomeDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnWelcomeInitDialog(hwnd);
        return 0;
    case WM_COMMAND:
        /* The page has no Back button, so 2000 never comes from it. */
        OnPageCommand(hwnd, LOWORD(wParam));
        return 0;
    default:
        return 0;
    }
}

static void OnListPageInitDialog(HWND hwnd, int listId)
{
    CenterDialog(hwnd);
    SetFocus(GetDlgItem(hwnd, listId));
}

static INT_PTR CALLBACK ModelDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnListPageInitDialog(hwnd, IDC_MODEL_LIST);
        return 0;
    case WM_COMMAND:
        OnPageCommand(hwnd, LOWORD(wParam));
        return 0;
    default:
        return 0;
    }
}

static INT_PTR CALLBACK PortDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnListPageInitDialog(hwnd, IDC_PORT_LIST);
        return 0;
    case WM_COMMAND:
        OnPageCommand(hwnd, LOWORD(wParam));
        return 0;
    default:
        return 0;
    }
}

static void OnFinalInitDialog(HWND hwnd)
{
    CenterDialog(hwnd);
    SetWindowTextA(hwnd, GetWindowTitle());

    int completed = g_state.messageType == OUTCOME_COMPLETED;
    HICON icon = LoadIconA(NULL, completed ? IDI_ASTERISK : IDI_HAND);
    SendDlgItemMessageA(hwnd, IDC_MESSAGE_ICON, STM_SETICON, (WPARAM)icon, 0);

    char text[SETUP_TEXT_MAX];
    text[0] = '\0';
    LoadStringA(g_state.instance, completed ? IDS_INSTALL_DONE : IDS_INSTALL_FAILED, text,
                sizeof(text));
    if (completed)
        CheckDlgButton(hwnd, IDC_SET_DEFAULT, BST_CHECKED);
    else
        ShowWindow(GetDlgItem(hwnd, IDC_SET_DEFAULT), SW_HIDE);

    SetDlgItemTextA(hwnd, IDC_COPYRIGHT, GetCopyrightNotice());
    SetDlgItemTextA(hwnd, IDC_OUTCOME_TEXT, text);
    SetFocus(GetDlgItem(hwnd, IDOK));
}

static void OnFinalCommand(HWND hwnd, WORD id)
{
    switch (id)
    {
    case IDOK:
        if (g_state.messageType == OUTCOME_COMPLETED &&
            IsDlgButtonChecked(hwnd, IDC_SET_DEFAULT) == BST_CHECKED)
            SetDefaultPrinter(g_state.modelName);
        EndDialog(hwnd, IDOK);
        break;
    case IDCANCEL:
        /* Escape and the close box leave the default printer alone. */
        EndDialog(hwnd, IDOK);
        break;
    default:
        break;
    }
}

static INT_PTR CALLBACK FinalDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnFinalInitDialog(hwnd);
        return 0;
    case WM_COMMAND:
        OnFinalCommand(hwnd, LOWORD(wParam));
        return 0;
    default:
        return 0;
    }
}

INT_PTR RunWelcomePage(HWND owner)
{
    return DialogBoxParamA(g_state.instance, "IDD_WELCOME", owner, WelcomeDlgProc, 0);
}

INT_PTR RunModelPage(HWND owner)
{
    return DialogBoxParamA(g_state.instance, "IDD_GETMODEL", owner, ModelDlgProc, 0);
}

INT_PTR RunPortPage(HWND owner)
{
    return DialogBoxParamA(g_state.instance, "IDD_GETPORT", owner, PortDlgProc, 0);
}

INT_PTR RunFinalPage(HWND owner, WORD outcome)
{
    g_state.messageType = outcome;
    return DialogBoxParamA(g_state.instance, "IDD_EXIT", owner, FinalDlgProc, 0);
}
