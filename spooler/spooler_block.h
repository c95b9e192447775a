/*
 * The spooler's way of answering a record or a list of unknown size: a
 * first call with no buffer reports the bytes needed, a second fills a
 * buffer of that size.  Written once here; the caller frees the block with
 * HeapFree on the process heap.
 */
#ifndef SETUP_SPOOLER_BLOCK_H
#define SETUP_SPOOLER_BLOCK_H

#include <windows.h>

/* `ask(buffer, size, &needed)` is one spooler call answering 1 on success
 * and leaving the spooler's error as the last error otherwise.  Answers a
 * zero-filled heap block that the second call filled, with its size in
 * *size; NULL when there is nothing to fetch or a call failed (*error the
 * spooler's code) or the block could not be had (*error
 * ERROR_NOT_ENOUGH_MEMORY).  Only the size the first call reports is used,
 * not its result. */
template <typename Ask> BYTE *FetchSpoolerBlock(Ask ask, DWORD *size, DWORD *error)
{
    DWORD needed = 0;
    *size = 0;
    *error = ERROR_SUCCESS;
    ask(NULL, 0, &needed);
    if (needed == 0)
    {
        *error = GetLastError();
        return NULL;
    }
    BYTE *block = (BYTE *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, needed);
    if (block == NULL)
    {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return NULL;
    }
    if (!ask(block, needed, &needed))
    {
        *error = GetLastError();
        HeapFree(GetProcessHeap(), 0, block);
        return NULL;
    }
    *size = needed;
    return block;
}

#endif
