/*
 * Program entry: platform check, the hidden main window and the only message
 * loop of the program.
 */
#include <windows.h>

#include "sequencer.h"
#include "setup_state.h"
#include "startup.h"
#include "system_libraries.h"
#include "../profile/build_profile.h"
#include "../profile/common_texts.h"

static int RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = SetupSequencer;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "IDI_SETUP");
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
    wc.lpszClassName = g_profile.windowClassName;
    return RegisterClassA(&wc) != 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    /* Before anything can load a DLL by name, and before the first window
     * or message box: the theme engine and the input method DLLs are
     * loaded by name from there on. */
    NarrowDllSearch();
    /* A system DLL that cannot be had ends the program as a failed class
     * registration does: without a word, since even a message box would
     * load DLLs by name. */
    if (!LoadSystemLibraries())
        return 0;
    g_state.instance = instance;
    if (!DetectSupportedSystem())
    {
        MessageBoxA(NULL, kUnsupportedText, kUnsupportedCaption, MB_ICONHAND);
        return 0;
    }
    g_state.environment = kEnvironmentX86;

    /* One run at a time of any build, taken before anything reads the setup
     * information or touches a file or the spooler, and after the system
     * check, so that an unsupported system still gets its box.  A second
     * start shows nothing of its own: it brings the running copy forward,
     * as a second double-click of a running program is expected to do. */
    if (!TakeRunGuard())
    {
        BringRunningCopyForward();
        return 0;
    }
    if (!RegisterMainClass(instance))
        return 0;

    SetErrorMode(SEM_FAILCRITICALERRORS);

    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    HWND hwnd = CreateWindowExA(0, g_profile.windowClassName, g_profile.windowTitle,
                                WS_OVERLAPPEDWINDOW, desktop.left, desktop.top, desktop.right,
                                desktop.bottom, NULL, NULL, instance, NULL);
    /* Without the window nothing would ever post the quit message, and the
     * loop below would wait for ever: end as a failed registration does. */
    if (hwnd == NULL)
        return 0;
    ShowWindow(hwnd, SW_HIDE);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
