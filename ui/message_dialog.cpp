/*
 * Message dialog, status window and dialog centring.  The show operations
 * pass their arguments to the dialog procedures through g_state, which the
 * procedures read while they initialise; the procedures take no creation
 * parameter and answer 0 to every message.
 */
#include "message_dialog.h"

#include <strsafe.h>

#include "ui_logic.h"
#include "../app/setup_state.h"
#include "../profile/resource.h"

#define CONFIRM_CANCEL_TYPE (MB_YESNO | MB_ICONQUESTION) /* 36 */

void CenterDialog(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    /* A top-level window without an owner is centred on the screen. */
    if (parent == NULL)
        parent = GetDesktopWindow();

    RECT parentRect;
    RECT windowRect;
    if (!GetWindowRect(parent, &parentRect) || !GetWindowRect(hwnd, &windowRect))
        return;

    UiRect p = {parentRect.left, parentRect.top, parentRect.right, parentRect.bottom};
    UiRect w = {windowRect.left, windowRect.top, windowRect.right, windowRect.bottom};
    int32_t x = 0;
    int32_t y = 0;
    CenteredOrigin(p, w, &x, &y);
    MoveWindow(hwnd, x, y, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top,
               TRUE);
    SetForegroundWindow(hwnd);
}

static void OnMessageInitDialog(HWND hwnd)
{
    CenterDialog(hwnd);
    SetWindowTextA(hwnd, g_state.messageTitle);
    SetDlgItemTextA(hwnd, IDC_MESSAGE_TEXT, g_state.messageText);
    HICON icon = LoadIconA(NULL, MAKEINTRESOURCEA(MessageIconForType(g_state.messageType)));
    SendDlgItemMessageA(hwnd, IDC_MESSAGE_ICON, STM_SETICON, (WPARAM)icon, 0);
}

/* Every command ends the dialog with the whole wParam.  Escape and the close
 * box arrive as IDCANCEL from the dialog manager, also in templates that
 * have no Cancel button. */
static INT_PTR CALLBACK MessageDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnMessageInitDialog(hwnd);
        return 0;
    case WM_COMMAND:
        EndDialog(hwnd, (INT_PTR)wParam);
        return 0;
    default:
        return 0;
    }
}

INT_PTR ShowMessageDialog(HWND owner, const char *text, const char *title, WORD type)
{
    g_state.messageText = text;
    g_state.messageTitle = title;
    g_state.messageType = type;
    return DialogBoxParamA(g_state.instance, MessageTemplateForType(type), owner, MessageDialogProc,
                           0);
}

INT_PTR ShowMessageById(HWND owner, WORD textId, WORD titleId, WORD type)
{
    char text[SETUP_TEXT_MAX];
    char title[SETUP_TEXT_MAX];
    /* LoadStringA truncates to the buffer and always closes it; a missing
     * string leaves it empty. */
    text[0] = '\0';
    title[0] = '\0';
    LoadStringA(g_state.instance, textId, text, sizeof(text));
    LoadStringA(g_state.instance, titleId, title, sizeof(title));
    return ShowMessageDialog(owner, text, title, type);
}

INT_PTR ConfirmCancel(HWND owner)
{
    return ShowMessageById(owner, IDS_CONFIRM_CANCEL, IDS_TITLE_QUESTION, CONFIRM_CANCEL_TYPE);
}

static void OnStatusInitDialog(HWND hwnd)
{
    CenterDialog(hwnd);
    char text[SETUP_TEXT_MAX];
    text[0] = '\0';
    LoadStringA(g_state.instance, g_state.statusTextId, text, sizeof(text));
    SetDlgItemTextA(hwnd, IDC_STATUS_TEXT, text);
}

/* The window has no caption and no buttons; it ignores every command. */
static INT_PTR CALLBACK StatusWindowProc(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnStatusInitDialog(hwnd);
        return 0;
    default:
        return 0;
    }
}

HWND ShowStatusWindow(HWND owner, WORD stringId)
{
    g_state.statusTextId = stringId;
    return CreateDialogParamA(g_state.instance, "IDD_STATUS", owner, StatusWindowProc, 0);
}
