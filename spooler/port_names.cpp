/*
 * Port enumeration for the port page, through the spooler table.
 */
#include "port_names.h"

#include <strsafe.h>

#include "../app/setup_state.h"
#include "spooler_api.h"

/* The level-1 port list in a zero-filled block the caller frees with
 * HeapFree, and the number of ports in it; NULL on any failure. */
static BYTE *FetchPorts(DWORD *returned)
{
    DWORD needed = 0;
    *returned = 0;
    /* Only the size this query reports is used, not its result. */
    g_spooler->enumPorts(NULL, 1, NULL, 0, &needed, returned);
    if (needed == 0)
        return NULL;
    BYTE *list = (BYTE *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, needed);
    if (list == NULL)
        return NULL;
    *returned = 0;
    if (!g_spooler->enumPorts(NULL, 1, list, needed, &needed, returned))
    {
        HeapFree(GetProcessHeap(), 0, list);
        *returned = 0;
        return NULL;
    }
    return list;
}

WORD CountPorts(void)
{
    DWORD returned = 0;
    BYTE *list = FetchPorts(&returned);
    if (list == NULL)
        return 0;
    HeapFree(GetProcessHeap(), 0, list);
    return (WORD)returned;
}

void GetPortName(WORD index, char *out)
{
    DWORD returned = 0;
    BYTE *list = FetchPorts(&returned);
    if (list == NULL)
        return;
    const PORT_INFO_1A *ports = (const PORT_INFO_1A *)list;
    if (index < returned && ports[index].pName != NULL)
        (void)StringCchCopyA(out, SETUP_TEXT_MAX, ports[index].pName);
    HeapFree(GetProcessHeap(), 0, list);
}
