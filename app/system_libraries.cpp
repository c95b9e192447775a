/*
 * Loading the system DLLs by full path (see system_libraries.h).
 *
 * What the program imports statically (kernel32, user32, gdi32 and the
 * runtime's msvcrt) is a KnownDLL, or a dependency of one, on every
 * supported system, so the loader maps it from the system folder whatever
 * lies beside the program.  LZ32 is no KnownDLL on Vista and 7, and the
 * spooler's WINSPOOL.DRV is one on no version: both are loaded here.
 */
#include "system_libraries.h"

#include <strsafe.h>

#include "resolve_function.h"

#include "../copy/lz_api.h"
#include "../spooler/spooler_api.h"

/* Windows 8's value, also set by the KB2533623 update of Vista and 7. */
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

/* DLLs that Windows loads into a program like this one by bare name, after
 * start-up, from a system DLL's own code: a planted copy in the program's
 * folder would be found first.  Loaded in advance by full path, so that the
 * later load by name finds the module already in the process.  A name the
 * running system does not ship is skipped: nothing of that system asks for
 * it. */
static const char *const kPreloadedLibraries[] = {
    /* XP, Vista, 7: user32 loads the theme engine for the themed frame and
     * caption of every window and dialog. */
    "uxtheme.dll",
    /* Vista, 7: the theme engine and user32 load the desktop window
     * manager's client library when the first window is drawn. */
    "dwmapi.dll",
    /* 2000, XP: user32 loads the input method manager when East Asian
     * input is installed, which every Korean system has (7 lists it among
     * the KnownDLLs). */
    "imm32.dll",
    /* XP, Vista: the text services framework, loaded when a window first
     * gets the keyboard focus while an input method is active (7 lists it
     * among the KnownDLLs). */
    "msctf.dll",
    /* 7: advapi32 delay-loads its cryptography base by name the first time
     * a system DLL calls one of its random-number or encryption functions. */
    "cryptbase.dll",
};

typedef BOOL(WINAPI *SetDefaultDllDirectoriesProc)(DWORD flags);
typedef BOOL(WINAPI *SetDllDirectoryAProc)(LPCSTR path);

void NarrowDllSearch(void)
{
    SetDefaultDllDirectoriesProc setDefault = NULL;
    if (ResolveKernel32Function("SetDefaultDllDirectories", &setDefault) &&
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    /* The empty folder removes the current folder from the search; the
     * program's own folder stays first, hence the full-path loads. */
    SetDllDirectoryAProc setDirectory = NULL;
    if (ResolveKernel32Function("SetDllDirectoryA", &setDirectory))
        setDirectory("");
}

int SystemLibraryPath(const char *name, char *path, UINT size)
{
    UINT length = GetSystemDirectoryA(path, size);
    if (length == 0 || length >= size)
        return 0;
    return SUCCEEDED(StringCchPrintfA(path + length, size - length, "\\%s", name));
}

/* The module of a system DLL, loaded by its full path; its own imports are
 * then looked for in the system folder first.  Modules stay loaded for the
 * life of the process. */
static HMODULE LoadFromSystemFolder(const char *name)
{
    char path[MAX_PATH];
    if (!SystemLibraryPath(name, path, sizeof(path)))
        return NULL;
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

static int PreloadLibraries(void)
{
    for (const char *name : kPreloadedLibraries)
    {
        char path[MAX_PATH];
        if (!SystemLibraryPath(name, path, sizeof(path)))
            return 0;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            continue;
        if (LoadFromSystemFolder(name) == NULL)
            return 0;
    }
    return 1;
}

int LoadSystemLibraries(void)
{
    HMODULE lz32 = LoadFromSystemFolder("lz32.dll");
    if (lz32 == NULL || !LoadLz32(lz32))
        return 0;
    HMODULE winspool = LoadFromSystemFolder("winspool.drv");
    if (winspool == NULL || !LoadWinSpooler(winspool))
        return 0;
    return PreloadLibraries();
}
