/*
 * Whole-or-nothing replacement of driver files and the run's put-back (see
 * file_replace.h).  ReplaceFileA is not used: some of its documented
 * failures leave the earlier file only under the backup name, or gone.
 */
#include "file_replace.h"

#include <string.h>

#include "file_api.h"
#include "../app/setup_state.h"
#include "../setupinfo/inf_text.h"
#include "../setupinfo/setup_info.h"

/* Where file `name` goes: the driver directory, or with `version` its
 * version subfolder ("...\3\NAME"). */
static BOOL FolderPath(const char *name, BOOL version, char *out)
{
    if (version)
        return BuildVersionPath(g_state.driverDirectory, (int32_t)g_state.driverVersion, name, out,
                                SETUP_TEXT_MAX);
    return BuildDestinationPath(g_state.driverDirectory, name, out, SETUP_TEXT_MAX);
}

static const char *ListName(LONG index)
{
    return NthKeyName(g_state.dependentFiles, sizeof(g_state.dependentFiles), (unsigned)index);
}

BOOL BuildCopyPaths(LONG index, CopyPaths *paths)
{
    const char *name = ListName(index);
    paths->name = name;
    paths->versionPath[0] = '\0';
    if (name == NULL || !IsBareFileName(name) || g_state.driverDirectory[0] == '\0')
        return FALSE;
    if (!FolderPath(name, FALSE, paths->destination) ||
        !BuildWorkPath(paths->destination, COPY_WORK_TEMPORARY, paths->temporary, SETUP_TEXT_MAX) ||
        !FitsOpenRecord(paths->temporary) || !FitsOpenRecord(paths->destination))
        return FALSE;
    if (g_state.driverVersion > 1 && (!FolderPath(name, TRUE, paths->versionPath) ||
                                      !BuildWorkPath(paths->versionPath, COPY_WORK_TEMPORARY,
                                                     paths->versionTemporary, SETUP_TEXT_MAX)))
        return FALSE;
    return BuildDestinationPath(GetPackageFolder(), name, paths->source, SETUP_TEXT_MAX);
}

/* The destination and kept-copy paths of an entry. */
static BOOL EntryPaths(DWORD entry, char *destination, char *kept)
{
    const char *name = ListName((LONG)(entry / 2));
    return name != NULL && FolderPath(name, entry % 2 != 0, destination) &&
           BuildWorkPath(destination, COPY_WORK_KEPT, kept, SETUP_TEXT_MAX);
}

/* TRUE when this run already keeps an earlier copy under `kept`: a name
 * listed twice is kept once, before its first replacement. */
static BOOL KeptThisRun(const char *kept)
{
    char destination[SETUP_TEXT_MAX];
    char listed[SETUP_TEXT_MAX];
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

/* After a failed file call: TRUE, having paused, when Windows answered
 * that the file is in use and tries remain.  The last error is kept. */
static BOOL PauseWhenBusy(int tries)
{
    DWORD error = GetLastError();
    if (!IsFileBusyError(error) || tries >= COPY_BUSY_TRIES)
        return FALSE;
    g_files->pause(COPY_BUSY_PAUSE_MS);
    SetLastError(error);
    return TRUE;
}

/* A move retried while the file is in use: an on-access virus scanner
 * makes MoveFileExA answer 5 or 32 for a moment. */
static BOOL MoveRetried(const char *from, const char *to, DWORD flags)
{
    for (int tries = 1; !g_files->moveFileEx(from, to, flags); ++tries)
    {
        if (!PauseWhenBusy(tries))
            return FALSE;
    }
    return TRUE;
}

/* Deletes a file no longer wanted, or, where Windows refuses (a loaded DLL
 * cannot be deleted under any of its names), has it deleted at the next
 * restart; the program runs elevated, as that requires. */
static void DeleteNowOrAtRestart(const char *path)
{
    if (!g_files->deleteFile(path))
        g_files->moveFileEx(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

/* Renames `path` to the first free let-go name of `destination`, given in
 * `letGo`; answers its number, or COPY_LET_GO_MAX when none is free or the
 * rename is refused. */
static unsigned RenameToLetGo(const char *path, const char *destination, char *letGo)
{
    for (unsigned n = 0; n < COPY_LET_GO_MAX; ++n)
    {
        if (!BuildLetGoPath(destination, n, letGo, SETUP_TEXT_MAX))
            break;
        if (!PathExists(letGo))
            return MoveRetried(path, letGo, 0) ? n : COPY_LET_GO_MAX;
    }
    return COPY_LET_GO_MAX;
}

/* Moves `from` over `destination`.  When Windows still refuses because the
 * destination is in use, it is set aside under a let-go name first, as the
 * spooler moves its own files in use to 3\Old: Windows lets a loaded DLL be
 * renamed, though not replaced or deleted (Wine 8 alike: a move over it
 * answers 5, a rename succeeds, a delete answers 5).  REPLACE_DONE, or the
 * code to report, with `destination` as it was. */
static LONG MoveOver(const char *from, const char *destination)
{
    if (MoveRetried(from, destination, MOVEFILE_REPLACE_EXISTING))
        return REPLACE_DONE;
    DWORD error = GetLastError();
    char setAside[SETUP_TEXT_MAX];
    if (!IsFileBusyError(error) ||
        RenameToLetGo(destination, destination, setAside) == COPY_LET_GO_MAX)
        return FileErrorCode(error);
    if (MoveRetried(from, destination, 0))
    {
        DeleteNowOrAtRestart(setAside);
        return REPLACE_DONE;
    }
    error = GetLastError();
    g_files->moveFileEx(setAside, destination, 0);
    return FileErrorCode(error);
}

/* Lets go of a kept copy: renamed to a let-go name first, so that a run
 * ended before the deletion leaves nothing a later start puts back, then
 * deleted now or at the restart (a link to a loaded DLL cannot be deleted
 * before). */
static void LetGoKeptCopy(const char *kept, const char *destination)
{
    char letGo[SETUP_TEXT_MAX];
    if (RenameToLetGo(kept, destination, letGo) < COPY_LET_GO_MAX)
        DeleteNowOrAtRestart(letGo);
    else
        DeleteNowOrAtRestart(kept);
}

/* Deletes the let-go names an earlier run left of `destination` (one ended
 * between a rename and its deletion, or due for deletion at a restart that
 * has not come yet). */
static void DeleteLetGoNames(const char *destination)
{
    char pattern[SETUP_TEXT_MAX];
    char letGo[SETUP_TEXT_MAX];
    WIN32_FIND_DATAA found;
    if (!BuildLetGoPattern(destination, pattern, sizeof(pattern)))
        return;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
    {
        /* "?" also matches no character at the end: the number is checked
         * by building the name again. */
        size_t length = strlen(found.cFileName);
        unsigned n = length < 2 ? COPY_LET_GO_MAX
                                : (unsigned)((found.cFileName[length - 2] - '0') * 10 +
                                             (found.cFileName[length - 1] - '0'));
        if (BuildLetGoPath(destination, n, letGo, sizeof(letGo)) &&
            lstrcmpiA(PathFileName(letGo), found.cFileName) == 0)
            DeleteNowOrAtRestart(letGo);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

BOOL RemoveLeftovers(const char *destination)
{
    char temporary[SETUP_TEXT_MAX];
    char kept[SETUP_TEXT_MAX];
    if (BuildWorkPath(destination, COPY_WORK_TEMPORARY, temporary, sizeof(temporary)) &&
        PathExists(temporary))
        g_files->deleteFile(temporary);
    DeleteLetGoNames(destination);
    if (!BuildWorkPath(destination, COPY_WORK_KEPT, kept, sizeof(kept)))
        return FALSE;
    if (!PathExists(kept) || KeptThisRun(kept))
        return TRUE;
    /* Kept by a run that did not end (killed, crashed, power cut): it may
     * be the only copy of the earlier file left. */
    return MoveOver(kept, destination) == REPLACE_DONE;
}

/* Writes a file's data through to the disk: LZ32's handle is no file
 * handle, so the file is opened again for this, sharing it with any
 * reader.  FALSE, with the last error, when it cannot be opened (after the
 * retries of a file in use) or flushed. */
static BOOL FlushWrittenFile(const char *path)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    /* Shared, so that a virus scanner reading the fresh file does not make
     * the open fail; a scanner that opened it without sharing is waited
     * for. */
    for (int tries = 1; file == INVALID_HANDLE_VALUE; ++tries)
    {
        file =
            CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE && !PauseWhenBusy(tries))
            return FALSE;
    }
    BOOL flushed = FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return flushed;
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
        g_files->deleteFile(kept);
        return FileErrorCode(error);
    }
    if (!AddKeptCopy(&g_state.keptCopies, entry))
    {
        g_files->deleteFile(kept);
        return COPY_ERROR_OPEN;
    }
    *keptNow = TRUE;
    return REPLACE_DONE;
}

/* Flushes `temporary`, keeps the earlier copy of `destination` (entry
 * `entry`) and moves the temporary over it (PlaceDriverFile). */
static LONG ReplaceFromTemporary(const char *temporary, const char *destination, DWORD entry)
{
    char kept[SETUP_TEXT_MAX];
    BOOL keptNow = FALSE;
    LONG code = COPY_ERROR_OPEN;
    if (!FlushWrittenFile(temporary))
        code = FileErrorCode(GetLastError());
    else if (BuildWorkPath(destination, COPY_WORK_KEPT, kept, sizeof(kept)))
        code = KeepEarlierCopy(destination, kept, entry, &keptNow);
    if (code == REPLACE_DONE)
        code = MoveOver(temporary, destination);
    if (code == REPLACE_DONE)
        return REPLACE_DONE;
    /* Refused still: Wine, for one, over a file made immutable with chattr
     * +i.  The earlier file is in place, so the copy just kept is let go;
     * were it not (a set-aside file that could not be moved back), the run's
     * end puts the kept copy back. */
    g_files->deleteFile(temporary);
    if (keptNow && PathExists(destination))
    {
        LetGoKeptCopy(kept, destination);
        g_state.keptCopies.count--;
    }
    return code;
}

LONG PlaceDriverFile(LONG index, const CopyPaths *paths)
{
    /* Kept-copy entries as KeptCopies numbers them. */
    LONG code = ReplaceFromTemporary(paths->temporary, paths->destination, (DWORD)index * 2);
    if (code != REPLACE_DONE || paths->versionPath[0] == '\0')
        return code;
    /* A copy that cannot be made in the version subfolder is reported as
     * one in the driver directory is: the spooler loads the driver from
     * that folder. */
    if (g_files->copyFile(paths->destination, paths->versionTemporary, FALSE))
        return ReplaceFromTemporary(paths->versionTemporary, paths->versionPath,
                                    (DWORD)index * 2 + 1);
    code = FileErrorCode(GetLastError());
    g_files->deleteFile(paths->versionTemporary);
    return code;
}

/* The let-go of a run that succeeded, in two passes: first every kept copy
 * is renamed, so that a run ended half-way leaves as few kept names as
 * possible for a later start to put back, then each is deleted. */
static void LetGoKeptCopies(void)
{
    char destination[SETUP_TEXT_MAX];
    char kept[SETUP_TEXT_MAX];
    char letGo[SETUP_TEXT_MAX];
    unsigned char number[COPY_KEPT_MAX]; /* COPY_LET_GO_MAX: not renamed */
    uint32_t count = g_state.keptCopies.count;
    for (uint32_t i = 0; i < count; ++i)
    {
        number[i] = COPY_LET_GO_MAX;
        if (EntryPaths(g_state.keptCopies.entries[i], destination, kept))
            number[i] = (unsigned char)RenameToLetGo(kept, destination, letGo);
    }
    for (uint32_t i = 0; i < count; ++i)
    {
        if (!EntryPaths(g_state.keptCopies.entries[i], destination, kept))
            continue;
        if (number[i] < COPY_LET_GO_MAX &&
            BuildLetGoPath(destination, number[i], letGo, sizeof(letGo)))
            DeleteNowOrAtRestart(letGo);
        else if (number[i] >= COPY_LET_GO_MAX)
            DeleteNowOrAtRestart(kept);
    }
}

int FinishReplacedFiles(BOOL succeeded)
{
    char destination[SETUP_TEXT_MAX];
    char kept[SETUP_TEXT_MAX];
    int notPutBack = 0;
    if (succeeded)
        LetGoKeptCopies();
    for (uint32_t i = g_state.keptCopies.count; i > 0 && !succeeded; --i)
    {
        /* One that cannot be put back stays under its kept name, which the
         * next start puts back. */
        if (EntryPaths(g_state.keptCopies.entries[i - 1], destination, kept) &&
            MoveOver(kept, destination) != REPLACE_DONE)
            notPutBack++;
    }
    g_state.keptCopies.count = 0;
    return notPutBack;
}
