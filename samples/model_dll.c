/*
 * The model file of the sample driver package: a small DLL of our own whose
 * time stamp dates the registered driver.
 */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI SampleModelVersion(void)
{
    return 0x00010000;
}
