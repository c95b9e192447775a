/*
 * Whole-or-nothing replacement of driver files and the run's put-back (see
 * file_replace.h).  ReplaceFileA is not used: some of its documented
 * failures leave the earlier file only under the backup name, or gone.
 */
#include "file_replace.h"

#include <string.h>

#include <lzexpand.h>

#include "copy_logic.h"
#include "file_api.h"
#include "../app/setup_state.h"
#include "../setupinfo/inf_text.h"

DWORD KeptEntry(LONG index, BOOL version)
{
    return (DWORD)index * 2 + (version ? 1 : 0);
}

/* The destination and kept-copy paths of an entry, from the list and the
 * driver directory as the copy built them. */
static BOOL EntryPaths(DWORD entry, char *destination, char *kept)
{
    const char *name =
        NthKeyName(g_state.dependentFiles, sizeof(g_state.dependentFiles), (unsigned)(entry / 2));
    if (name == NULL)
        return FALSE;
    BOOL built =
        entry % 2 == 0
            ? BuildDestinationPath(g_state.driverDirectory, name, destination, COPY_TEXT_MAX)
            : BuildVersionPath(g_state.driverDirectory, (int32_t)g_state.driverVersion, name,
                               destination, COPY_TEXT_MAX);
    return built && BuildWorkPath(destination, COPY_WORK_KEPT, kept, COPY_TEXT_MAX);
}

/* TRUE when this run already keeps an earlier copy under `kept`: a name
 * listed twice is kept once, before its first replacement. */
static BOOL KeptThisRun(const char *kept)
{
    char destination[COPY_TEXT_MAX];
    char listed[COPY_TEXT_MAX];
    for (uint32_t i = 0; i < g_state.keptCopies.count; ++i)
    {
        if (EntryPaths(g_state.keptCopies.entries[i], destination, listed) &&
            strcmp(listed, kept) == 0)
            return TRUE;
    }
    return FALSE;
}

static BOOL PathExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void RemoveLeftovers(const char *destination)
{
    char temporary[COPY_TEXT_MAX];
    char kept[COPY_TEXT_MAX];
    if (BuildWorkPath(destination, COPY_WORK_TEMPORARY, temporary, sizeof(temporary)) &&
        PathExists(temporary))
        DeleteFileA(temporary);
    if (BuildWorkPath(destination, COPY_WORK_KEPT, kept, sizeof(kept)) && PathExists(kept) &&
        !KeptThisRun(kept))
        DeleteFileA(kept);
}

BOOL FlushWrittenFile(const char *path)
{
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL flushed = FlushFileBuffers(file);
    CloseHandle(file);
    return flushed;
}

static BOOL IsDiskFull(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

/* Keeps the earlier copy of `destination` under `kept`: a hard link where
 * the file system has them (NTFS), else a copy (FAT32 refuses links).
 * *keptNow tells whether this call made it.  A destination that cannot be
 * replaced is refused here, before anything is made: a read-only file
 * (MoveFileExA would answer 5; its read-only bit is left alone) or a
 * folder. */
static LONG KeepEarlierCopy(const char *destination, const char *kept, DWORD entry, BOOL *keptNow)
{
    *keptNow = FALSE;
    DWORD attributes = GetFileAttributesA(destination);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return REPLACE_DONE;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        return COPY_ERROR_OPEN;
    if (KeptThisRun(kept))
        return REPLACE_DONE;
    if (!g_files->createHardLink(kept, destination, NULL) &&
        !g_files->copyFile(destination, kept, TRUE))
    {
        DWORD error = GetLastError();
        DeleteFileA(kept);
        return IsDiskFull(error) ? LZERROR_WRITE : COPY_ERROR_OPEN;
    }
    if (!AddKeptCopy(&g_state.keptCopies, entry))
    {
        DeleteFileA(kept);
        return COPY_ERROR_OPEN;
    }
    *keptNow = TRUE;
    return REPLACE_DONE;
}

LONG ReplaceFromTemporary(const char *temporary, const char *destination, DWORD entry)
{
    char kept[COPY_TEXT_MAX];
    BOOL keptNow = FALSE;
    LONG code = COPY_ERROR_OPEN;
    if (BuildWorkPath(destination, COPY_WORK_KEPT, kept, sizeof(kept)))
        code = KeepEarlierCopy(destination, kept, entry, &keptNow);
    if (code == REPLACE_DONE &&
        g_files->moveFileEx(temporary, destination, MOVEFILE_REPLACE_EXISTING))
        return REPLACE_DONE;
    /* Windows refuses the move over a DLL the spooler has loaded (5); Wine
     * over a file made immutable with chattr +i.  The earlier file is still
     * in place, so the copy just kept is let go. */
    if (code == REPLACE_DONE)
        code = COPY_ERROR_OPEN;
    DeleteFileA(temporary);
    if (keptNow)
    {
        DeleteFileA(kept);
        g_state.keptCopies.count--;
    }
    return code;
}

void FinishReplacedFiles(BOOL succeeded)
{
    char destination[COPY_TEXT_MAX];
    char kept[COPY_TEXT_MAX];
    for (uint32_t i = g_state.keptCopies.count; i > 0; --i)
    {
        if (!EntryPaths(g_state.keptCopies.entries[i - 1], destination, kept))
            continue;
        if (succeeded)
            DeleteFileA(kept);
        else
            g_files->moveFileEx(kept, destination, MOVEFILE_REPLACE_EXISTING);
    }
    g_state.keptCopies.count = 0;
}
