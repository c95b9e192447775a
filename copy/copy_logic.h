/*
 * The plain decisions behind the copy dialog: the progress bar's percentage,
 * split and text, the error code's message and what follows it, which file
 * names may be copied, and the destination paths.  Platform-free: no
 * <windows.h>, so the unit tests build it natively.
 */
#ifndef SETUP_COPY_LOGIC_H
#define SETUP_COPY_LOGIC_H

#include <stddef.h>
#include <stdint.h>

#include "../profile/resource.h"

/* What copying one file answers (CopyDriverFile): the last, the command
 * that copies the same file again. */
#define COPY_FILE_GIVE_UP 0
#define COPY_FILE_DONE 1
#define COPY_FILE_RETRY CMD_RETRY_FILE

/* The program's own error code: opening the source or creating the
 * destination failed, or a path or name was refused. */
#define COPY_ERROR_OPEN 1

/* Size of every path and text buffer of the program, with its closing NUL;
 * here, where the platform-free code has it too. */
#define SETUP_TEXT_MAX 1024

/* Size of the path in LZ32's open record (OFSTRUCT), with its closing NUL:
 * a longer path cannot be opened through LZ32. */
#define COPY_LZ_PATH_MAX 128

/* The copy's own working names beside a destination: the temporary the new
 * file is written under, and the earlier copy kept until the run's outcome
 * is known.  "~SETUP-" and twelve hex digits of a hash of the file's name
 * (ASCII letters folded to upper case, as the file system compares them),
 * then ".NEW" or ".OLD": ASCII whatever the name, and never the spooler's
 * own temporaries (BUD<nnnn>.tmp).  A working name is thus found again from
 * the name it belongs to, in the folder of that name, by any later run.
 * A kept copy (".OLD") found by a later run belongs to a run that did not
 * end: it is put back, never deleted. */
#define COPY_WORK_TEMPORARY 0
#define COPY_WORK_KEPT 1

/* Let-go names, ".D00" to ".D99" after the same hash: a file that is no
 * longer wanted and is deleted, now or, when Windows refuses (a DLL that a
 * process has loaded), at the next restart.  A destination in use is set
 * aside under one before the new file is moved in, and a successful run
 * renames each kept copy to one before deleting it, so that a run killed
 * meanwhile leaves nothing a later start would put back.  Numbered, since
 * one left by an earlier run may still wait for the restart. */
#define COPY_LET_GO_MAX 100

/* Windows' answers to a file call that the copy retries before it reports
 * them: ERROR_ACCESS_DENIED (5; a move over a file another process has
 * open or loaded) and ERROR_SHARING_VIOLATION (32; a virus scanner still
 * reading it).  A file in use may stay so; these are tried this many times
 * with this pause between, about two seconds in all. */
#define COPY_BUSY_TRIES 8
#define COPY_BUSY_PAUSE_MS 250

/* Earlier copies the run has kept, one entry per file and folder: the
 * file's list index times two, plus 1 for the version subfolder.  A list
 * of SETUP_TEXT_MAX bytes holds at most half as many names, each in two
 * folders. */
#define COPY_KEPT_MAX SETUP_TEXT_MAX
struct KeptCopies
{
    uint32_t entries[COPY_KEPT_MAX];
    uint32_t count;
};

/* MulDiv(100, done, count): 100 * done / count rounded to the nearest whole
 * number, halves going up (1 of 8 gives 13, 199 of 200 gives 100).  -1 when
 * count is 0 or less, as MulDiv answers a zero divisor. */
int32_t ProgressPercent(int32_t done, int32_t count);

/* The bar for `done` files of `count` in a client area from `left` to
 * `right`: the filled part runs from left to split, the rest from split to
 * right.  With no files to count (count 0 or less) the bar is all rest and
 * has no text. */
struct ProgressLayout
{
    int32_t split;
    int32_t percent;
    int hasText;
};
ProgressLayout LayoutProgressBar(int32_t done, int32_t count, int32_t left, int32_t right);

/* The bar's text, "45 %"; 1 when it fits, else 0 with `out` empty. */
int FormatPercent(int32_t percent, char *out, size_t outSize);

/* String id of the message for an error code: the program's own 1 and the
 * platform's LZERROR_* codes -1 to -8; every other code "Unknown error". */
uint16_t CopyErrorStringId(int32_t code);

/* What follows a file whose copy answered `code`: 0 when the file is in
 * place, else the code reported (COPY_ERROR_OPEN or a negative LZERROR_*
 * code).  COPY_FILE_DONE for 0, COPY_FILE_RETRY for a bad source or
 * destination handle (-1, -2), else COPY_FILE_GIVE_UP. */
int CopyFileOutcome(int32_t code);

/* 1 when `name` names a file inside whatever folder it is put in: not
 * empty, no "\", "/" or ":", not made of dots and blanks only ("." and
 * "..", and names such as ". ." that Windows trims to them), no device
 * (IsDeviceName), and none of the copy's own working names (IsWorkName).
 * The byte compares follow the multi-byte rule at PathFileName. */
int IsBareFileName(const char *name);

/* 1 when Windows opens `name` as a device rather than a file in the folder:
 * CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CLOCK$, CONIN$ or
 * CONOUT$, in any case, with or without an extension, and with blanks
 * before the extension or at the end, which Windows drops ("lpt1 .txt"). */
int IsDeviceName(const char *name);

/* The builders below write into `out` (`outSize` bytes) and answer 1 when
 * all of it fits, else 0 with `out` empty: a cut path would name another
 * file. */

/* `directory` followed by `name`. */
int BuildDestinationPath(const char *directory, const char *name, char *out, size_t outSize);

/* `directory`, a "\" when it does not end in one, `version` formatted by
 * "%d\", then `name` (version 3: "...\3\NAME"). */
int BuildVersionPath(const char *directory, int32_t version, const char *name, char *out,
                     size_t outSize);

/* The last component of a path: what follows its last "\" (the whole path
 * when it has none).  The one helper that splits paths, here and in the
 * spooler's put-back.
 *
 * The multi-byte rule of every byte compare in the program's text helpers
 * ("\", "/", ":", ",", quotes): the programs run in ASCII and in code page
 * 949, whose double-byte characters have lead bytes 0x81-0xFE and trail
 * bytes 0x41-0x5A, 0x61-0x7A and 0x81-0xFE, so no ASCII punctuation byte is
 * ever part of a double-byte character and a byte walk finds exactly the
 * characters a CharNextA walk finds. */
const char *PathFileName(const char *path);

/* 1 when `text` begins with `upper`, written in upper case, in any case of
 * its ASCII letters: names compared as the file system and the registry
 * compare them, where the locale's rules are no help (Turkish folds "i"
 * apart). */
int StartsWithUpper(const char *text, const char *upper);

/* The name the platform's LZOpenFileA falls back to when it cannot open a
 * path: in the last component, the last letter of an extension of three or
 * more letters replaced by "_", "_" appended to a shorter one, "._"
 * appended when there is none (M270.GPD gives M270.GP_). */
int LzFallbackName(const char *path, char *out, size_t outSize);

/* `destination` with its last component replaced by the working name of
 * `kind` (COPY_WORK_TEMPORARY or COPY_WORK_KEPT) for that component. */
int BuildWorkPath(const char *destination, int kind, char *out, size_t outSize);

/* `destination` with its last component replaced by let-go name number
 * `number` (below COPY_LET_GO_MAX) for that component. */
int BuildLetGoPath(const char *destination, unsigned number, char *out, size_t outSize);

/* The pattern that finds every let-go name of `destination` in its folder
 * ("...\\~SETUP-<hash>.D??"). */
int BuildLetGoPattern(const char *destination, char *out, size_t outSize);

/* 1 when `name` has the form of a working name (any kind, any case). */
int IsWorkName(const char *name);

/* 1 for the Windows errors the copy retries and then answers by setting
 * the file in use aside: 5 and 32. */
int IsFileBusyError(uint32_t error);

/* The code to report for a file call that failed with Windows error
 * `error`: LZERROR_WRITE (-4, "Insufficient disk space.") only for a full
 * disk (ERROR_DISK_FULL 112, ERROR_HANDLE_DISK_FULL 39), else
 * COPY_ERROR_OPEN. */
int32_t FileErrorCode(uint32_t error);

/* 1 when LZ32's open record can hold `path`. */
int FitsOpenRecord(const char *path);

/* Adds `entry` to the list; 0 when it is full. */
int AddKeptCopy(KeptCopies *kept, uint32_t entry);

#endif
