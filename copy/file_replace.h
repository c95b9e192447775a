/*
 * Replacing a driver file so that its name always holds either the earlier
 * file or the whole new one: the new file is written under a temporary
 * name beside it, flushed, and moved over it; the earlier file is kept
 * under the copy's own name until the run's outcome is known, and then let
 * go (success) or moved back (any other end).  The kept copies are listed
 * in g_state.keptCopies by list index and folder, so that the run's end
 * finds them again.
 */
#ifndef SETUP_FILE_REPLACE_H
#define SETUP_FILE_REPLACE_H

#include <windows.h>

/* What ReplaceFromTemporary answers when the destination now holds the new
 * file; otherwise it answers the error code to report. */
#define REPLACE_DONE 0

/* The kept-copy entry of file `index` in the driver directory (version
 * FALSE) or in its version subfolder. */
DWORD KeptEntry(LONG index, BOOL version);

/* Clears what an earlier run left of `destination`: its temporary and its
 * let-go names are deleted; its kept copy, unless this run keeps it, is
 * the earlier file of a run that did not end, and is moved back over
 * `destination`.  FALSE when that put-back is refused: the kept copy then
 * stays, and the file must not be copied.  No other run can be going:
 * every build takes the run guard at start-up (TakeRunGuard), so these are
 * never another run's kept copies or temporaries. */
BOOL RemoveLeftovers(const char *destination);

/* Writes a file's data through to the disk: LZ32's handle is no file
 * handle, so the file is opened again for this, sharing it with any
 * reader.  FALSE, with the last error, when it cannot be opened (after the
 * retries of a file in use) or flushed. */
BOOL FlushWrittenFile(const char *path);

/* Keeps the earlier copy of `destination` (entry `entry`) and moves the
 * complete, flushed `temporary` over it; a destination in use is set aside
 * and deleted at the next restart.  On failure the temporary is deleted,
 * the destination is as it was, and the answer is the code to report:
 * LZERROR_WRITE when keeping the earlier copy found the disk full,
 * COPY_ERROR_OPEN when the destination cannot be replaced (read-only, a
 * folder, in use beyond the retries and not to be set aside, or refused by
 * the file system). */
LONG ReplaceFromTemporary(const char *temporary, const char *destination, DWORD entry);

/* The run's end for the replaced files: with `succeeded` the kept copies
 * are let go (deleted, or at the next restart where Windows refuses), else
 * each is moved back over the file that replaced it, the last kept first,
 * setting aside a new file in use.  The list is empty afterwards.  Answers
 * how many could not be put back; each stays under its kept name, and the
 * next start puts it back. */
int FinishReplacedFiles(BOOL succeeded);

#endif
