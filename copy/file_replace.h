/*
 * A driver file's paths, and its placing in both folders so that each name
 * always holds either the earlier file or the whole new one: the new file
 * is written under a temporary name beside it, flushed, and moved over it;
 * the earlier file is kept under the copy's own name until the run's
 * outcome is known, and then let go (success) or moved back (any other
 * end).  The kept copies are listed in g_state.keptCopies by list index and
 * folder, so that the run's end finds them again.
 */
#ifndef SETUP_FILE_REPLACE_H
#define SETUP_FILE_REPLACE_H

#include <windows.h>

#include "copy_logic.h"

/* What placing a file answers when it is in place. */
#define REPLACE_DONE 0

/* Every path of one file of the list: where it is read in the program's
 * folder, where it goes in the driver directory and, for a driver version
 * above 1, in its version subfolder (empty otherwise), and the temporary
 * beside each destination.  `name` is the file's list name, NULL past the
 * list's end. */
struct CopyPaths
{
    const char *name;
    char source[SETUP_TEXT_MAX];
    char destination[SETUP_TEXT_MAX];
    char temporary[SETUP_TEXT_MAX];
    char versionPath[SETUP_TEXT_MAX];
    char versionTemporary[SETUP_TEXT_MAX];
};

/* The paths of file `index` of the list, or FALSE before anything is
 * touched when the name could reach outside the driver directory, a path
 * would not fit its buffer (a cut path would name another file), or the
 * temporary that LZ32 creates would not fit its open record.  The
 * destination is held to that record too, as when LZ32 created it: a name
 * the copy refused before is refused still. */
BOOL BuildCopyPaths(LONG index, CopyPaths *paths);

/* Clears what an earlier run left of `destination`: its temporary and its
 * let-go names are deleted; its kept copy, unless this run keeps it, is
 * the earlier file of a run that did not end, and is moved back over
 * `destination`.  FALSE when that put-back is refused: the kept copy then
 * stays, and the file must not be copied.  No other run can be going:
 * every build takes the run guard at start-up (TakeRunGuard), so these are
 * never another run's kept copies or temporaries. */
BOOL RemoveLeftovers(const char *destination);

/* Places file `index`, whose new content is complete in paths->temporary,
 * in both folders: in each the new file is flushed, the earlier copy kept,
 * and the new file moved over the destination; a destination in use is
 * set aside and deleted at the next restart.  The version subfolder's copy
 * is made from the placed file.  REPLACE_DONE, or the code to report with
 * the temporaries deleted and the failing destination as it was:
 * LZERROR_WRITE for a full disk, COPY_ERROR_OPEN when a destination cannot
 * be replaced (read-only, a folder, in use beyond the retries and not to
 * be set aside, or refused by the file system). */
LONG PlaceDriverFile(LONG index, const CopyPaths *paths);

/* The run's end for the replaced files: with `succeeded` the kept copies
 * are let go (deleted, or at the next restart where Windows refuses), else
 * each is moved back over the file that replaced it, the last kept first,
 * setting aside a new file in use.  The list is empty afterwards.  Answers
 * how many could not be put back; each stays under its kept name, and the
 * next start puts it back. */
int FinishReplacedFiles(BOOL succeeded);

#endif
