/*
 * Shows that the planted DLLs' trap is armed: asks for LZ32.DLL and
 * WINSPOOL.DRV by bare name, as a program that imports them does, from the
 * folder it was started in.  Windows' load order (and Wine's, with the
 * DLLs set to native first) takes the planted copies beside it.
 */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show)
{
    (void)instance;
    (void)previous;
    (void)command;
    (void)show;
    int loaded = LoadLibraryA("LZ32.DLL") != NULL;
    loaded += LoadLibraryA("WINSPOOL.DRV") != NULL;
    return loaded;
}
