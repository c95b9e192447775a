/*
 * The platform's file calls that replacing a driver file makes, behind one
 * table of function pointers, as the LZ calls are (lz_api.h).  The program
 * calls through g_files, which points at kernel32's own functions; a test
 * points it at a table of its own to refuse a hard link as FAT32 does, or
 * to end the process at a chosen step of a replacement.
 */
#ifndef SETUP_FILE_API_H
#define SETUP_FILE_API_H

#include <windows.h>

struct FileApi
{
    BOOL(WINAPI *createHardLink)(LPCSTR link, LPCSTR existing, LPSECURITY_ATTRIBUTES security);
    BOOL(WINAPI *copyFile)(LPCSTR from, LPCSTR to, BOOL failIfExists);
    BOOL(WINAPI *moveFileEx)(LPCSTR from, LPCSTR to, DWORD flags);
};

/* kernel32's functions, all present since Windows 2000. */
extern const FileApi kKernelFiles;

/* The file calls the copy makes; &kKernelFiles unless a test replaced it. */
extern const FileApi *g_files;

#endif
