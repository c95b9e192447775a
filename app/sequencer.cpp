/*
 * Main window procedure.  For now it only keeps the hidden window alive and
 * ends the message loop when the window is destroyed; the page sequence is
 * added on top of it.
 */
#include "sequencer.h"

LRESULT CALLBACK SetupSequencer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
