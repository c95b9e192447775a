/*
 * The real file table: kernel32's own functions.
 */
#include "file_api.h"

#include "../app/resolve_function.h"

typedef BOOL(WINAPI *CreateHardLinkFunction)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);

/* CreateHardLinkA where kernel32 has it (Windows 2000 and later), else a
 * refusal with ERROR_INVALID_FUNCTION, FAT32's answer to a link. */
static BOOL WINAPI CreateHardLinkWhereThere(LPCSTR link, LPCSTR existing,
                                            LPSECURITY_ATTRIBUTES security)
{
    static CreateHardLinkFunction createHardLink = NULL;
    static BOOL looked = FALSE;
    if (!looked)
    {
        looked = TRUE;
        ResolveKernel32Function("CreateHardLinkA", &createHardLink);
    }
    if (createHardLink == NULL)
    {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    return createHardLink(link, existing, security);
}

const FileApi kKernelFiles = {CreateHardLinkWhereThere, CopyFileA, MoveFileExA, DeleteFileA, Sleep};

const FileApi *g_files = &kKernelFiles;
