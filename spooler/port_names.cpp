/*
 * Port enumeration for the port page, through the spooler table.
 */
#include "port_names.h"

#include <strsafe.h>

#include "../app/setup_state.h"
#include "spooler_api.h"
#include "spooler_block.h"

/* The level-1 port list in a zero-filled block the caller frees with
 * HeapFree, and the number of ports in it; NULL on any failure. */
static BYTE *FetchPorts(DWORD *returned)
{
    BYTE *list = FetchSpoolerBlock(
        [returned](LPBYTE buffer, DWORD bytes, LPDWORD needed)
        { return g_spooler->enumPorts(NULL, 1, buffer, bytes, needed, returned); });
    if (list == NULL)
        *returned = 0;
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
