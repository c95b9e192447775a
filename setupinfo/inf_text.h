/*
 * Text handling for the setup information file that needs no platform call:
 * walking the NUL-separated key-name lists the private-profile reader
 * returns, stripping the quotes around a model name, splitting a model's
 * comma-separated value and building the dependent-file list.  Platform-free
 * (no <windows.h>), so it is unit-tested natively.
 *
 * Every function takes the size of each buffer it reads or writes and never
 * goes past it: a key list is only walked inside its buffer even when its
 * closing NUL is missing, and an output that would not fit is cut at the
 * buffer's end (names) or refused (keys, paths, list entries).
 */
#ifndef SETUP_INF_TEXT_H
#define SETUP_INF_TEXT_H

#include <stddef.h>
#include <stdint.h>

/* Number of names in a key list (names closed by NUL, the list closed by an
 * empty name), counting up to the first empty name or the buffer's end. */
unsigned CountKeyNames(const char *list, size_t listSize);

/* The name after `index` others, or a null pointer when the list ends first.
 * A name that runs into the buffer's end without its NUL is not returned. */
const char *NthKeyName(const char *list, size_t listSize, unsigned index);

/* Copies `name` without its first and last character (the double quotes a
 * model key is written in; they are dropped whatever they are) into `out`,
 * cut to fit.  A name of one character gives an empty text. */
void StripEnclosingQuotes(const char *name, char *out, size_t outSize);

/* The longest printer name the spooler takes, in characters. */
#define MODEL_NAME_MAX_CHARS 220

/* 1 when a model name (without its quotes) can name a local printer and its
 * driver: not empty, at most MODEL_NAME_MAX_CHARS characters (`characters`,
 * as the caller counts them in its code page), and holding neither "\",
 * which would make "\\host\p" a printer on another machine, nor ",",
 * which separates the name from driver and port in the default-printer
 * entry.  The byte compares follow the multi-byte rule at PathFileName
 * (copy/copy_logic.h). */
int IsUsableModelName(const char *name, size_t characters);

/* Writes `"name"`; 1 when it fits, else 0 with `out` empty. */
int BuildQuotedKey(const char *name, char *out, size_t outSize);

/* strtok-style comma tokens of `text`, changed in place: runs of commas
 * between tokens are skipped, blanks are kept.  Returns the token with that
 * index (0 = first), closed by NUL, or a null pointer when there is none. */
char *SplitCommaToken(char *text, unsigned index);

/* Appends one backslash to the path; 1 when it fits, else 0 with the path
 * unchanged. */
int AppendBackslash(char *path, size_t pathSize);

/* Cuts a module file name right after its last backslash.  A name without
 * a backslash is left whole; an empty one becomes ".\". */
void CutToFolder(char *path, size_t pathSize);

/* Builds the dependent-file list from a "CopyFiles" value: each
 * comma-separated entry, one leading "@" dropped, becomes a name closed by
 * NUL; the list is closed by an empty name.  Blanks around names are kept.
 * An entry that is empty (",,", or "@" alone) is skipped, since an empty
 * name would end the list early.  Entries that would not fit whole, together
 * with the list's closing NUL, are left out.  Returns the number of names. */
uint32_t BuildDependentFileList(const char *copyFiles, char *list, size_t listSize);

#endif
