/*
 * The platform's file calls that replacing a driver file makes, behind one
 * table of function pointers, as the LZ calls are (lz_api.h).  The program
 * calls through g_files, which points at kernel32's own functions; a test
 * points it at a table of its own to refuse a hard link as FAT32 does, to
 * refuse a file in use as Windows does, or to end the process at a chosen
 * step of a replacement.
 */
#ifndef SETUP_FILE_API_H
#define SETUP_FILE_API_H

#include <windows.h>

struct FileApi
{
    BOOL(WINAPI *createHardLink)(LPCSTR link, LPCSTR existing, LPSECURITY_ATTRIBUTES security);
    BOOL(WINAPI *copyFile)(LPCSTR from, LPCSTR to, BOOL failIfExists);
    /* Also the deletion at the next restart: `to` NULL with
     * MOVEFILE_DELAY_UNTIL_REBOOT. */
    BOOL(WINAPI *moveFileEx)(LPCSTR from, LPCSTR to, DWORD flags);
    BOOL(WINAPI *deleteFile)(LPCSTR path);
    /* The pause between two tries of a file in use. */
    VOID(WINAPI *pause)(DWORD milliseconds);
};

/* kernel32's functions.  CreateHardLinkA came with Windows 2000 and is
 * looked up when first used, so that NT 4.0 loads the program and shows
 * its own refusal; where it is missing the link fails as FAT32's does, and
 * the earlier file is kept by a copy. */
extern const FileApi kKernelFiles;

/* The file calls the copy makes; &kKernelFiles unless a test replaced it. */
extern const FileApi *g_files;

#endif
