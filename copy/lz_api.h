/*
 * The platform's LZ expansion calls that the copy makes, behind one table of
 * function pointers.  The program calls through g_lz, which points at the
 * real LZ32 table; a test points it at a table of its own to make a copy
 * answer an error the platform will not produce on demand (a bad handle,
 * which asks for the file to be copied again).  The members have LZ32's own
 * signatures.
 */
#ifndef SETUP_LZ_API_H
#define SETUP_LZ_API_H

#include <windows.h>
#include <lzexpand.h>

struct LzApi
{
    INT(WINAPI *start)(void);
    INT(WINAPI *openFile)(LPSTR name, LPOFSTRUCT ofs, WORD style);
    LONG(WINAPI *copyFile)(INT source, INT destination);
    VOID(WINAPI *close)(INT file);
    VOID(WINAPI *done)(void);
};

/* The platform's LZ32, filled by LoadLz32 at start-up. */
extern const LzApi &kLz32;

/* The LZ calls the copy makes; &kLz32 unless a test replaced it. */
extern const LzApi *g_lz;

/* Fills kLz32 from the loaded LZ32 module; 0 when a function is missing
 * (the table is then left empty). */
int LoadLz32(HMODULE lz32);

#endif
