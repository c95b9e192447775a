/*
 * The window procedure of the hidden main window, which walks the wizard.
 */
#ifndef SETUP_SEQUENCER_H
#define SETUP_SEQUENCER_H

#include <windows.h>

LRESULT CALLBACK SetupSequencer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
