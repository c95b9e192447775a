/*
 * Drives the program's modal dialogs from inside the test's own thread.  A
 * thread timer runs in every modal loop of the thread (the dialog manager
 * dispatches it), so a scripted list of steps can look at the dialog that is
 * up, note what it shows and then click a button or press a key, the way a
 * person would, while the call under test waits in its modal loop.
 */
#ifndef SETUP_TEST_UI_DRIVER_H
#define SETUP_TEST_UI_DRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/sequencer.h"
#include "app/setup_state.h"
#include "profile/resource.h"

namespace uitest
{

enum ActionKind
{
    ACT_NONE,     /* only look */
    ACT_CLICK,    /* BM_CLICK on control `id` */
    ACT_KEY,      /* key `id` (a virtual-key code) to the focused control */
    ACT_CLOSE_BOX /* the caption's close box (SC_CLOSE) */
};

struct Step
{
    int markerId;                      /* the step waits for an enabled, visible dialog of the
                                          thread that has a control of this id */
    std::function<void(HWND)> inspect; /* may be empty */
    ActionKind action;
    int id;
};

inline std::string WindowText(HWND hwnd)
{
    char text[2048];
    text[0] = '\0';
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

inline std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

/* The texts of a list box's items; one longer than the program's text
 * buffers reads as "". */
inline std::vector<std::string> ListItems(HWND dialog, int listId)
{
    std::vector<std::string> items;
    HWND list = GetDlgItem(dialog, listId);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
    {
        char text[SETUP_TEXT_MAX + 1] = "";
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        if (length >= 0 && length <= SETUP_TEXT_MAX)
            SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        items.push_back(text);
    }
    return items;
}

inline RECT ScreenRect(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    return r;
}

struct FindArgs
{
    int markerId;
    bool enabledOnly;
    HWND found;
};

inline BOOL CALLBACK FindThreadDialogProc(HWND hwnd, LPARAM lParam)
{
    FindArgs *args = reinterpret_cast<FindArgs *>(lParam);
    char cls[16];
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(hwnd) ||
        (args->enabledOnly && !IsWindowEnabled(hwnd)) || GetDlgItem(hwnd, args->markerId) == NULL)
        return TRUE;
    args->found = hwnd;
    return FALSE;
}

/* The topmost visible dialog of this thread with a control `markerId`. */
inline HWND FindThreadDialog(int markerId, bool enabledOnly)
{
    FindArgs args = {markerId, enabledOnly, NULL};
    EnumThreadWindows(GetCurrentThreadId(), FindThreadDialogProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

struct DriveState
{
    const std::vector<Step> *steps;
    size_t next;
    int idleTicks;
};

inline DriveState &CurrentDrive()
{
    static DriveState state;
    return state;
}

inline BOOL CALLBACK EndThreadDialogProc(HWND hwnd, LPARAM)
{
    char cls[16];
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") == 0)
        EndDialog(hwnd, -2);
    return TRUE;
}

inline void Act(HWND dialog, const Step &step)
{
    switch (step.action)
    {
    case ACT_CLICK:
        PostMessageA(GetDlgItem(dialog, step.id), BM_CLICK, 0, 0);
        break;
    case ACT_KEY:
    {
        /* The dialog manager reads keys addressed to the dialog or one of its
         * controls; the focused control is where the keyboard sends them. */
        HWND focus = GetFocus();
        if (focus == NULL || (focus != dialog && !IsChild(dialog, focus)))
            focus = dialog;
        PostMessageA(focus, WM_KEYDOWN, step.id, 1);
        PostMessageA(focus, WM_KEYUP, step.id, 0xC0000001);
        break;
    }
    case ACT_CLOSE_BOX:
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default:
        break;
    }
}

inline VOID CALLBACK DriveTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    DriveState &state = CurrentDrive();
    const std::vector<Step> &steps = *state.steps;
    state.idleTicks++;
    if (state.next < steps.size())
    {
        const Step &step = steps[state.next];
        HWND dialog = FindThreadDialog(step.markerId, true);
        if (dialog != NULL)
        {
            state.next++;
            state.idleTicks = 0;
            if (step.inspect)
                step.inspect(dialog);
            Act(dialog, step);
            return;
        }
    }
    /* 50 ms ticks: ten seconds for a step to find its dialog, two seconds
     * for the dialogs to end once the steps are done. */
    int limit = state.next < steps.size() ? 200 : 40;
    if (state.idleTicks > limit)
        EnumThreadWindows(GetCurrentThreadId(), EndThreadDialogProc, 0);
}

/* Runs `show` with the steps played against the dialogs it opens.  Steps run
 * one per timer tick, in order, each once its dialog is there.  When the
 * steps are done (or one waits more than ten seconds) and a dialog of the
 * thread is still open, it is ended with -2 so the test never hangs;
 * *stepsDone (if given) tells how many steps ran. */
inline INT_PTR DriveModal(const std::function<INT_PTR()> &show, const std::vector<Step> &steps,
                          size_t *stepsDone = nullptr)
{
    DriveState &state = CurrentDrive();
    state = {&steps, 0, 0};
    UINT_PTR timer = SetTimer(NULL, 0, 50, DriveTimerProc);
    INT_PTR result = show();
    KillTimer(NULL, timer);
    /* Let posted clicks meant for the ended dialog drain away. */
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    if (stepsDone != nullptr)
        *stepsDone = state.next;
    return result;
}

/* The system icon an SS_ICON child of a window shows, or NULL. */
inline HICON ShownIcon(HWND window)
{
    for (HWND child = GetWindow(window, GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT))
    {
        char cls[16];
        GetClassNameA(child, cls, sizeof(cls));
        if (lstrcmpiA(cls, "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return (HICON)SendMessageA(child, STM_GETICON, 0, 0);
    }
    return NULL;
}

/* What a message box showed while it was up: the program's own (its text in
 * IDC_MESSAGE_TEXT) or the system's (its text in control 0xFFFF). */
struct BoxSeen
{
    bool up = false;
    std::string caption, text;
    HICON icon = NULL;
    std::vector<int> buttons; /* the result-code buttons it has */
    int defaultId = 0;
    HWND owner = NULL;
    RECT dialog = {0, 0, 0, 0}, textControl = {0, 0, 0, 0};
    LONG textStyle = 0;
};

/* A step that looks at the box whose text is control `textId` and answers
 * it by `action` on `id`. */
inline Step LookAtBox(BoxSeen *seen, int textId, ActionKind action = ACT_CLICK, int id = IDOK)
{
    return {textId,
            [=](HWND d)
            {
                HWND text = GetDlgItem(d, textId);
                seen->up = true;
                seen->caption = WindowText(d);
                seen->text = WindowText(text);
                seen->icon = ShownIcon(d);
                for (int button : {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO})
                    if (GetDlgItem(d, button) != NULL)
                        seen->buttons.push_back(button);
                LRESULT def = SendMessageA(d, DM_GETDEFID, 0, 0);
                seen->defaultId = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0;
                seen->owner = GetWindow(d, GW_OWNER);
                seen->dialog = ScreenRect(d);
                seen->textControl = ScreenRect(text);
                seen->textStyle = GetWindowLongA(text, GWL_STYLE);
            },
            action, id};
}

/* What the final page showed when a step looked at it. */
struct FinalSeen
{
    bool up = false, boxVisible = false, boxTicked = false, okFocused = false;
    bool captured = true, statusOpen = true; /* the mouse; the status window */
    std::string caption, outcome, copyright;
    HICON icon = NULL;
    DWORD at = 0;
};

/* A step that looks at the final page and leaves it by `action` on `id`. */
inline Step LookAtFinal(FinalSeen *seen, ActionKind action = ACT_CLICK, int id = IDOK)
{
    return {IDC_SET_DEFAULT,
            [seen](HWND d)
            {
                seen->up = true;
                seen->at = GetTickCount();
                seen->caption = WindowText(d);
                seen->outcome = ItemText(d, IDC_OUTCOME_TEXT);
                seen->copyright = ItemText(d, IDC_COPYRIGHT);
                seen->icon = (HICON)SendDlgItemMessageA(d, IDC_MESSAGE_ICON, STM_GETICON, 0, 0);
                seen->boxVisible = IsWindowVisible(GetDlgItem(d, IDC_SET_DEFAULT)) != 0;
                seen->boxTicked = IsDlgButtonChecked(d, IDC_SET_DEFAULT) == BST_CHECKED;
                seen->okFocused = GetFocus() == GetDlgItem(d, IDOK);
                seen->captured = GetCapture() != NULL;
                seen->statusOpen = FindThreadDialog(IDC_STATUS_TEXT, false) != NULL;
            },
            action, id};
}

/* Runs the wizard's hidden main window, the sequencer, with the test's own
 * message loop until it quits, and answers the quit code.  With a command
 * (a page's, the copy's, the install's) the opening timer is stopped and
 * that command posted at once; with 0 the run starts at the opening status
 * message.  *main (if given) is the window, set before the loop runs. */
inline INT_PTR RunSequencer(UINT command, HWND *main = nullptr)
{
    static const char kClass[] = "TestSequencerWindow";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SetupSequencer;
    wc.hInstance = g_state.instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc); /* fails harmlessly once registered */
    g_state.sessionEnded = 0;
    g_state.runFinished = 0;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    HWND hwnd = CreateWindowExA(0, kClass, "Sequencer under test", WS_OVERLAPPEDWINDOW,
                                desktop.left, desktop.top, desktop.right, desktop.bottom, NULL,
                                NULL, g_state.instance, NULL);
    if (hwnd == NULL)
        return -100;
    if (main != nullptr)
        *main = hwnd;
    if (command != 0)
    {
        KillTimer(hwnd, TIMER_OPEN_STATUS);
        PostMessageA(hwnd, WM_COMMAND, command, 0);
    }
    MSG msg;
    DWORD start = GetTickCount();
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
    {
        DispatchMessageA(&msg);
        if (GetTickCount() - start > 30000 && IsWindow(hwnd))
            DestroyWindow(hwnd); /* never hang the suite */
    }
    return (INT_PTR)msg.wParam;
}

} // namespace uitest

#endif
