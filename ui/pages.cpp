/*
 * Wizard pages: welcome, model, port and final.  Every page is centred over
 * its owner when it opens, sets its own focus and answers 0 to every
 * message; its result tells the sequencer where to go.  The model and port
 * pages show their choices in icon lists (icon_list.h) and are where the
 * spooler is first touched: an earlier printer of the model's name is
 * deleted, and on the port page an earlier printer and driver are removed.
 */
#include "pages.h"

#include "icon_list.h"
#include "message_dialog.h"
#include "ui_logic.h"
#include "../app/sequence_logic.h"
#include "../app/setup_state.h"
#include "../app/startup.h"
#include "../profile/build_profile.h"
#include "../profile/common_texts.h"
#include "../profile/resource.h"
#include "../setupinfo/setup_info.h"
#include "../spooler/default_printer.h"
#include "../spooler/port_names.h"
#include "../spooler/registration.h"

/* Cancel on the welcome, model and port pages: only Yes ends the page. */
static void OnPageCancel(HWND hwnd)
{
    if (LOWORD(ConfirmCancel(hwnd)) == IDYES)
        EndDialog(hwnd, IDCANCEL);
}

/* Back and Cancel of the welcome, model and port pages; Next through the
 * page's own handler. */
static void OnPageCommand(HWND hwnd, WORD id, void (*onNext)(HWND))
{
    switch (id)
    {
    case IDC_NEXT:
        onNext(hwnd);
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

/* WM_DRAWITEM of every page: the picture button, and the page's icon list
 * when it has one (listId 0 for none).  The picture button is hidden and
 * disabled in every template, so in the builds only the lists ask. */
static void OnPageDrawItem(HWND hwnd, const DRAWITEMSTRUCT *drawItem, UINT listId,
                           IconRule iconRule)
{
    if (drawItem->CtlID == IDC_PICTURE_BUTTON)
        DrawPictureButton(hwnd, drawItem);
    else if (listId != 0 && drawItem->CtlID == listId)
        DrawIconItem(hwnd, drawItem, iconRule);
}

static void EndWithNext(HWND hwnd)
{
    EndDialog(hwnd, IDC_NEXT);
}

/* The selected item's text into a SETUP_TEXT_MAX buffer; 0 when nothing is
 * selected. */
static int ReadSelectedItem(HWND hwnd, int listId, char *out)
{
    HWND list = GetDlgItem(hwnd, listId);
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return 0;
    ReadListItemText(list, FALSE, (UINT)index, out);
    return 1;
}

static void OnWelcomeInitDialog(HWND hwnd)
{
    CenterDialog(hwnd);
    const char *text = WelcomeTextForEnvironment(g_profile, g_state.environment);
    if (text != NULL)
        SetDlgItemTextA(hwnd, IDC_WELCOME_TEXT, text);
    SetFocus(GetDlgItem(hwnd, IDC_NEXT));
}

static INT_PTR CALLBACK WelcomeDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnWelcomeInitDialog(hwnd);
        return 0;
    case WM_COMMAND:
        /* The page has no Back button, so 2000 never comes from it. */
        OnPageCommand(hwnd, LOWORD(wParam), EndWithNext);
        return 0;
    case WM_DRAWITEM:
        OnPageDrawItem(hwnd, (const DRAWITEMSTRUCT *)lParam, 0, NULL);
        return 0;
    default:
        return 0;
    }
}

/* The model and the port page: one procedure, told by the page's record
 * which list it fills, how it draws and what Next does.  The show operation
 * puts the record into g_state.choicePage before the page is created. */
struct ChoicePage
{
    const char *templateName;
    WORD listId;
    WORD (*countItems)(void);
    NameAtIndex nameAtIndex;
    IconRule iconRule;
    void (*selectInitial)(HWND list); /* NULL: the first item */
    char *chosen;                     /* where Next puts the selected item */
    WORD noSelectionText;             /* the warning when nothing is selected */
    int (*onChosen)(HWND hwnd);       /* after the choice: 1 goes on to Next */
};

/* The port selected when the page opens: the first whose name begins with
 * "IR", else the first beginning with "COM1:" (the list box's own prefix
 * search, from the top, ignoring case); none when neither is listed. */
static void SelectDefaultPort(HWND list)
{
    LRESULT index = SendMessageA(list, LB_FINDSTRING, (WPARAM)-1, (LPARAM)kPortInfraredPrefix);
    if (index == LB_ERR)
        index = SendMessageA(list, LB_FINDSTRING, (WPARAM)-1, (LPARAM)kPortCom1);
    if (index != LB_ERR)
        SendMessageA(list, LB_SETCURSEL, (WPARAM)index, 0);
}

/* The model chosen: a printer of that name is deleted when a driver of that
 * name is registered; then the model's data is read from the setup
 * information file. */
static int OnModelChosen(HWND)
{
    if (IsDriverInstalled(g_state.modelName))
        DeletePrinterByName(g_state.modelName);
    ReadModelData();
    return 1;
}

/* The port chosen: an earlier printer and driver of the model's name are
 * removed.  When the spooler refuses the removal (the driver is in use) the
 * wizard ends as cancelled. */
static int OnPortChosen(HWND hwnd)
{
    if (RemovePrinterAndDriver(g_state.modelName))
        return 1;
    MessageBoxA(hwnd, g_profile.inUseMessage, g_profile.inUseCaption, MESSAGE_ERROR_TYPE);
    EndDialog(hwnd, IDCANCEL);
    return 0;
}

static const ChoicePage kModelPage = {"IDD_GETMODEL",    IDC_MODEL_LIST,   CountModels,
                                      GetModelName,      ModelIconRule,    NULL,
                                      g_state.modelName, IDS_SELECT_MODEL, OnModelChosen};
static const ChoicePage kPortPage = {"IDD_GETPORT",    IDC_PORT_LIST,   CountPorts,
                                     GetPortName,      PortIconRule,    SelectDefaultPort,
                                     g_state.portName, IDS_SELECT_PORT, OnPortChosen};

static void OnChoiceInitDialog(HWND hwnd, const ChoicePage &page)
{
    CenterDialog(hwnd);
    FillIconList(hwnd, page.listId, (SHORT)page.countItems(), page.nameAtIndex);
    HWND list = GetDlgItem(hwnd, page.listId);
    if (page.selectInitial)
        page.selectInitial(list);
    else
        SendMessageA(list, LB_SETCURSEL, 0, 0);
    SetFocus(list);
}

/* Next: the selected item becomes the page's choice, then the page's own
 * step decides whether the wizard goes on. */
static void OnChoiceNext(HWND hwnd)
{
    const ChoicePage &page = *g_state.choicePage;
    if (!ReadSelectedItem(hwnd, page.listId, page.chosen))
    {
        ShowMessageById(hwnd, page.noSelectionText, IDS_TITLE_WARNING, MESSAGE_ERROR_TYPE);
        return;
    }
    if (page.onChosen(hwnd))
        EndDialog(hwnd, IDC_NEXT);
}

static INT_PTR CALLBACK ChoiceDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnChoiceInitDialog(hwnd, *g_state.choicePage);
        return 0;
    case WM_MEASUREITEM:
        /* The list asks while the page is created, before WM_INITDIALOG. */
        MeasureIconItem((MEASUREITEMSTRUCT *)lParam);
        return 0;
    case WM_DRAWITEM:
        OnPageDrawItem(hwnd, (const DRAWITEMSTRUCT *)lParam, g_state.choicePage->listId,
                       g_state.choicePage->iconRule);
        return 0;
    case WM_COMMAND:
        OnPageCommand(hwnd, LOWORD(wParam), OnChoiceNext);
        return 0;
    default:
        return 0;
    }
}

static INT_PTR RunChoicePage(HWND owner, const ChoicePage &page)
{
    g_state.choicePage = &page;
    return DialogBoxParamA(g_state.instance, page.templateName, owner, ChoiceDlgProc, 0);
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
            MakePrinterDefault(g_state.modelName);
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

static INT_PTR CALLBACK FinalDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        OnFinalInitDialog(hwnd);
        return 0;
    case WM_COMMAND:
        OnFinalCommand(hwnd, LOWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        OnPageDrawItem(hwnd, (const DRAWITEMSTRUCT *)lParam, 0, NULL);
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
    return RunChoicePage(owner, kModelPage);
}

INT_PTR RunPortPage(HWND owner)
{
    return RunChoicePage(owner, kPortPage);
}

INT_PTR RunFinalPage(HWND owner, WORD outcome)
{
    g_state.messageType = outcome;
    return DialogBoxParamA(g_state.instance, "IDD_EXIT", owner, FinalDlgProc, 0);
}
