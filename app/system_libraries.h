/*
 * The system DLLs the program uses beyond its static imports, loaded from
 * the system folder by full path, and the narrowing of the DLL search.
 *
 * The program runs elevated from a folder its user downloaded, which any
 * program of that user can write to.  Windows looks for a DLL named without
 * a path in the program's own folder first, so every DLL that is not a
 * KnownDLL on all of Windows 2000 to 7 is loaded here by its full path in
 * the system folder, before anything can ask for it by name.
 */
#ifndef SETUP_SYSTEM_LIBRARIES_H
#define SETUP_SYSTEM_LIBRARIES_H

#include <windows.h>

/* Takes the program's folder and the current folder out of the DLL search:
 * SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) where kernel32 has
 * it (Windows 8, and 7 and Vista with KB2533623), else SetDllDirectoryA("")
 * (XP SP1 and later); Windows 2000 has neither.  Both are looked up at run
 * time so that the program still starts on Windows 2000. */
void NarrowDllSearch(void);

/* Loads LZ32 and the spooler's client DLL from the system folder and fills
 * their function tables (kLz32, kWinSpooler), then loads the system DLLs
 * that Windows itself loads into the process by bare name later.  1 when
 * all of it could be had, else 0: the program then cannot run safely. */
int LoadSystemLibraries(void);

/* `GetSystemDirectoryA` + "\" + `name` into `path` of `size` bytes; 0 when
 * it does not fit. */
int SystemLibraryPath(const char *name, char *path, UINT size);

#endif
