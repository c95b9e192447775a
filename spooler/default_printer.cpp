/*
 * Making a printer the user's default the classic way: the "device" entry
 * of the "windows" profile section ("name,driver,port"), then a
 * WM_WININICHANGE broadcast so running programs pick it up.
 */
#include "default_printer.h"

#include <string.h>
#include <strsafe.h>

#include "spooler_api.h"
#include "spooler_block.h"
#include "../profile/common_texts.h"

/* The "name,driver,port" text from the printer's level-2 record, in a
 * zero-filled heap block the caller frees; none when the record cannot be
 * read or lacks the driver or the port. */
static char *ComposeDeviceEntry(HANDLE printer, const char *name)
{
    HANDLE heap = GetProcessHeap();
    BYTE *record =
        FetchSpoolerBlock([printer](LPBYTE buffer, DWORD bytes, LPDWORD needed)
                          { return g_spooler->getPrinter(printer, 2, buffer, bytes, needed); });
    if (!record)
        return NULL;
    char *entry = NULL;
    const PRINTER_INFO_2A *info = (const PRINTER_INFO_2A *)record;
    if (info->pDriverName && info->pPortName)
    {
        size_t size = strlen(name) + strlen(info->pDriverName) + strlen(info->pPortName) + 3;
        entry = (char *)HeapAlloc(heap, HEAP_ZERO_MEMORY, size);
        if (entry)
            StringCchPrintfA(entry, size, "%s,%s,%s", name, info->pDriverName, info->pPortName);
    }
    HeapFree(heap, 0, record);
    return entry;
}

int MakePrinterDefault(const char *name)
{
    /* An empty name would open the print server rather than a printer. */
    if (!name || name[0] == '\0')
        return 0;
    HANDLE printer = NULL;
    if (!g_spooler->openPrinter(SpoolerText(name), &printer, NULL))
        return 0;
    int result = 0;
    char *entry = ComposeDeviceEntry(printer, name);
    if (entry && WriteProfileStringA(kProfileSectionWindows, kProfileKeyDevice, entry))
    {
        SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_NORMAL, 1000, NULL);
        result = 1;
    }
    g_spooler->closePrinter(printer);
    if (entry)
        HeapFree(GetProcessHeap(), 0, entry);
    return result;
}
