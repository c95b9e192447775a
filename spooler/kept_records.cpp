/*
 * Keeping what the run deletes from the spooler (kept_records.h); the
 * records' form is in kept_store.h, their putting back in put_back.cpp.
 */
#include "kept_records.h"

#include <string.h>
#include <strsafe.h>

#include "kept_store.h"
#include "spooler_api.h"
#include "spooler_block.h"
#include "../app/setup_state.h"

/* The run's records, made at the first call, when the default printer is
 * read: before anything is deleted, since deleting the default printer
 * makes Windows XP-7 and Wine choose another.  NULL when no block could be
 * had. */
static KeptRecords *Records(void)
{
    if (g_state.keptRecords != NULL)
        return g_state.keptRecords;
    KeptRecords *records = (KeptRecords *)NewBlock(sizeof(KeptRecords));
    if (records == NULL)
        return NULL;
    DWORD size = sizeof(records->defaultPrinter);
    if (!g_spooler->getDefaultPrinter(records->defaultPrinter, &size))
        records->defaultPrinter[0] = '\0';
    g_state.keptRecords = records;
    return records;
}

static void ReleasePrinter(KeptPrinter *printer)
{
    while (printer->keys != NULL)
    {
        KeptKey *key = printer->keys;
        printer->keys = key->next;
        FreeBlock(key->values);
        FreeBlock(key);
    }
    FreeBlock(printer->info);
    FreeBlock(printer);
}

static void ReleaseDriver(KeptDriver *driver)
{
    FreeBlock(driver->list);
    FreeBlock(driver);
}

static int IsPrinterKept(const KeptRecords *records, const char *name)
{
    for (const KeptPrinter *p = records->printers; p != NULL; p = p->next)
        if (SameName(PrinterNameOf(p), name))
            return 1;
    return 0;
}

static int IsDriverKept(const KeptRecords *records, const char *name)
{
    for (const KeptDriver *d = records->drivers; d != NULL; d = d->next)
        if (SameName(d->info->pName, name))
            return 1;
    return 0;
}

/* The subkeys of `path` ("" for the printer's root), as the spooler lists
 * them: names closed by NUL, *size bytes in all.  NULL for none, *error
 * then saying why. */
static BYTE *FetchSubkeys(HANDLE printer, const char *path, DWORD *size, DWORD *error)
{
    return FetchSpoolerBlock(
        [&](LPBYTE buffer, DWORD bytes, LPDWORD needed)
        {
            DWORD result = g_spooler->enumPrinterKey(printer, path, (LPSTR)buffer, bytes, needed);
            SetLastError(result);
            return result == ERROR_SUCCESS;
        },
        size, error);
}

/* The key `path` with its values; NULL when no block could be had.  A key
 * whose values cannot be listed is kept without values. */
static KeptKey *KeepKey(HANDLE printer, const char *path, int depth)
{
    KeptKey *key = (KeptKey *)NewBlock(sizeof(KeptKey));
    if (key == NULL)
        return NULL;
    (void)StringCchCopyA(key->path, sizeof(key->path), path);
    key->depth = depth;
    DWORD size = 0;
    DWORD error = 0;
    key->values = FetchSpoolerBlock(
        [&](LPBYTE buffer, DWORD bytes, LPDWORD needed)
        {
            DWORD result = g_spooler->enumPrinterDataEx(printer, key->path, buffer, bytes, needed,
                                                        &key->count);
            SetLastError(result);
            return result == ERROR_SUCCESS;
        },
        &size, &error);
    if (key->values != NULL)
        return key;
    key->count = 0;
    if (error == ERROR_NOT_ENOUGH_MEMORY)
    {
        FreeBlock(key);
        return NULL;
    }
    return key;
}

/* Appends each subkey of `path` with its values at *tail; 0 only when a
 * block could not be had.  A spooler that lists no subkeys keeps nothing:
 * Windows 2000-7 answer ERROR_FILE_NOT_FOUND for a key without subkeys.  A
 * subkey whose path would not fit is left out. */
static int KeepSubkeys(HANDLE printer, const char *path, int depth, KeptKey ***tail)
{
    DWORD size = 0;
    DWORD error = 0;
    BYTE *subkeys = FetchSubkeys(printer, path, &size, &error);
    if (subkeys == NULL)
        return error != ERROR_NOT_ENOUGH_MEMORY;
    int ok = 1;
    const char *end = (const char *)subkeys + size;
    for (const char *sub = (const char *)subkeys; ok && sub < end && *sub != '\0';)
    {
        size_t length = strnlen(sub, (size_t)(end - sub));
        char full[SETUP_TEXT_MAX];
        HRESULT made = path[0] == '\0' ? StringCchCopyNA(full, sizeof(full), sub, length)
                                       : StringCchPrintfA(full, sizeof(full), "%s\\%.*s", path,
                                                          (int)length, sub);
        if (SUCCEEDED(made))
        {
            KeptKey *key = KeepKey(printer, full, depth);
            ok = key != NULL;
            if (key != NULL)
            {
                **tail = key;
                *tail = &key->next;
            }
        }
        sub += length + 1;
    }
    FreeBlock(subkeys);
    return ok;
}

/* Every key of the printer's data, breadth first: each key kept is visited
 * once for its own subkeys. */
static int KeepPrinterData(HANDLE printer, KeptPrinter *kept)
{
    KeptKey **tail = &kept->keys;
    if (!KeepSubkeys(printer, "", 1, &tail))
        return 0;
    for (const KeptKey *key = kept->keys; key != NULL; key = key->next)
        if (key->depth < KEY_DEPTH_MAX && !KeepSubkeys(printer, key->path, key->depth + 1, &tail))
            return 0;
    return 1;
}

int KeepPrinter(HANDLE printer, const char *name, int *added)
{
    *added = 0;
    KeptRecords *records = Records();
    if (records == NULL)
        return 0;
    if (records->registeredPrinter && SameName(records->registered, name))
        return 1;
    if (IsPrinterKept(records, name))
        return 1;
    KeptPrinter *kept = (KeptPrinter *)NewBlock(sizeof(KeptPrinter));
    if (kept == NULL)
        return 0;
    DWORD size = 0;
    DWORD error = 0;
    kept->info =
        FetchSpoolerBlock([printer](LPBYTE buffer, DWORD bytes, LPDWORD needed)
                          { return g_spooler->getPrinter(printer, 2, buffer, bytes, needed); },
                          &size, &error);
    if (kept->info == NULL || PrinterNameOf(kept) == NULL || !KeepPrinterData(printer, kept))
    {
        ReleasePrinter(kept);
        return 0;
    }
    kept->next = records->printers;
    records->printers = kept;
    *added = 1;
    return 1;
}

int KeepDriver(const char *name, int *added)
{
    *added = 0;
    KeptRecords *records = Records();
    if (records == NULL)
        return 0;
    if (records->registeredDriver && SameName(records->registered, name))
        return 1;
    if (IsDriverKept(records, name))
        return 1;
    DWORD count = 0;
    DWORD size = 0;
    DWORD error = 0;
    BYTE *list = FetchDriverList(6, &count, &size, &error);
    if (list == NULL)
        return error != ERROR_NOT_ENOUGH_MEMORY;
    const DRIVER_INFO_6A *drivers = (const DRIVER_INFO_6A *)list;
    const DRIVER_INFO_6A *match = NULL;
    for (DWORD i = 0; i < count && (i + 1) * sizeof(DRIVER_INFO_6A) <= size && !match; ++i)
        if (SameName(drivers[i].pName, name))
            match = &drivers[i];
    KeptDriver *kept = match ? (KeptDriver *)NewBlock(sizeof(KeptDriver)) : NULL;
    if (kept == NULL)
    {
        FreeBlock(list);
        return match == NULL;
    }
    kept->list = list;
    kept->listSize = size;
    kept->info = match;
    kept->next = records->drivers;
    records->drivers = kept;
    *added = 1;
    return 1;
}

void ForgetNewestPrinter(void)
{
    KeptRecords *records = g_state.keptRecords;
    if (records == NULL || records->printers == NULL)
        return;
    KeptPrinter *newest = records->printers;
    records->printers = newest->next;
    ReleasePrinter(newest);
}

void ForgetNewestDriver(void)
{
    KeptRecords *records = g_state.keptRecords;
    if (records == NULL || records->drivers == NULL)
        return;
    KeptDriver *newest = records->drivers;
    records->drivers = newest->next;
    ReleaseDriver(newest);
}

/* The run registers one model, so one name serves both flags. */
static void NoteRegistered(const char *name, DWORD KeptRecords::*flag)
{
    KeptRecords *records = Records();
    if (records == NULL)
        return;
    (void)StringCchCopyA(records->registered, sizeof(records->registered), name);
    records->*flag = 1;
}

void NoteRegisteredDriver(const char *name)
{
    NoteRegistered(name, &KeptRecords::registeredDriver);
}

void NoteRegisteredPrinter(const char *name)
{
    NoteRegistered(name, &KeptRecords::registeredPrinter);
}

void ReleaseKeptRecords(void)
{
    KeptRecords *records = g_state.keptRecords;
    if (records == NULL)
        return;
    while (records->printers != NULL)
        ForgetNewestPrinter();
    while (records->drivers != NULL)
        ForgetNewestDriver();
    FreeBlock(records);
    g_state.keptRecords = NULL;
}
