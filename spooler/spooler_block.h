/*
 * The spooler's way of answering a record or a list of unknown size: a
 * first call with no buffer reports the bytes needed, a second fills a
 * buffer of that size.  Written once here; the caller frees the block with
 * HeapFree on the process heap.
 */
#ifndef SETUP_SPOOLER_BLOCK_H
#define SETUP_SPOOLER_BLOCK_H

#include <windows.h>

#include "spooler_api.h"
#include "../app/setup_state.h"

/* `ask(buffer, size, &needed)` is one spooler call answering 1 on success
 * and leaving the spooler's error as the last error otherwise.  Answers a
 * zero-filled heap block that the second call filled, with its size in
 * *size; NULL when there is nothing to fetch or a call failed (*error the
 * spooler's code) or the block could not be had (*error
 * ERROR_NOT_ENOUGH_MEMORY); `size` and `error` may be NULL.  Only the size
 * the first call reports is used, not its result. */
template <typename Ask> BYTE *FetchSpoolerBlock(Ask ask, DWORD *size = NULL, DWORD *error = NULL)
{
    DWORD needed = 0;
    DWORD scratch[2] = {0, 0};
    size = size ? size : &scratch[0];
    error = error ? error : &scratch[1];
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

/* The spooler's drivers for the run's environment at `level`, as
 * FetchSpoolerBlock answers them; *count is their number. */
inline BYTE *FetchDriverList(DWORD level, DWORD *count, DWORD *size = NULL, DWORD *error = NULL)
{
    LPSTR environment = SpoolerText(g_state.environment);
    return FetchSpoolerBlock(
        [&](LPBYTE buffer, DWORD bytes, LPDWORD needed) {
            return g_spooler->enumPrinterDrivers(NULL, environment, level, buffer, bytes, needed,
                                                 count);
        },
        size, error);
}

#endif
