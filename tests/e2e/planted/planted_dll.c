/*
 * A stranger's DLL, planted beside the program under a system DLL's name
 * (LZ32.DLL, WINSPOOL.DRV).  Loading it runs its DllMain, which is all a
 * planted DLL needs to take an elevated program over; this one only leaves
 * a mark: a file named after itself with ".loaded" appended.
 */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcpyA(path + length, ".loaded");
    HANDLE mark =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark != INVALID_HANDLE_VALUE)
        CloseHandle(mark);
    return TRUE;
}
