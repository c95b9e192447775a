/*
 * Putting back what the run deleted from the spooler (kept_records.h), at
 * the run's end, from the records kept_records.cpp made.
 */
#include "kept_records.h"

#include <string.h>
#include <strsafe.h>

#include "kept_store.h"
#include "registration.h"
#include "spooler_api.h"
#include "../app/setup_state.h"
#include "../copy/copy_logic.h"
#include "../profile/common_texts.h"

/* The file name of a spooler path (PathFileName); NULL stays NULL. */
static LPSTR BareName(LPSTR path)
{
    return path != NULL ? (LPSTR)PathFileName(path) : NULL;
}

/* The dependent files as bare names, in a heap block the caller frees;
 * the list is read no further than the end of the block it came in. */
static char *BareDependentFiles(const char *list, const BYTE *blockEnd)
{
    const char *end = (const char *)blockEnd;
    if (list == NULL || list >= end)
        return NULL;
    size_t total = (size_t)(end - list);
    char *bare = (char *)NewBlock(total + 2);
    if (bare == NULL)
        return NULL;
    char *out = bare;
    for (const char *name = list; name < end && *name != '\0';)
    {
        size_t length = strnlen(name, (size_t)(end - name));
        char one[SETUP_TEXT_MAX];
        if (SUCCEEDED(StringCchCopyNA(one, sizeof(one), name, length)))
        {
            const char *file = BareName(one);
            size_t fileLength = strlen(file);
            /* A bare name is never longer than its path. */
            memcpy(out, file, fileLength + 1);
            out += fileLength + 1;
        }
        name += length + 1;
    }
    return bare;
}

/* Adds the line of one record that could not go back to the note for the
 * user, the heading first.  A line that does not fit whole is left out,
 * and the note then ends with kPutBackMore, once. */
static void NoteRefused(char *note, size_t size, const char *kind, const char *name, DWORD error)
{
    if (note == NULL || size == 0)
        return;
    if (note[0] == '\0')
        (void)StringCchCopyA(note, size, kPutBackErrorText);
    char line[SETUP_TEXT_MAX + 64];
    (void)StringCchPrintfA(line, sizeof(line), kPutBackLineFormat, kind, name ? name : "",
                           (int)error);
    size_t used = strnlen(note, size);
    size_t length = strnlen(line, sizeof(line));
    size_t more = strlen(kPutBackMore);
    if (used >= more && strcmp(note + used - more, kPutBackMore) == 0)
        return;
    (void)StringCchCatA(note, size, used + length + more < size ? line : kPutBackMore);
}

/* Registered again with its file names bare: the spooler looks for them in
 * the driver directory, and Windows 2000 accepts no other form.  The
 * spooler's error, or ERROR_SUCCESS. */
static DWORD PutBackDriver(const KeptDriver *kept)
{
    DRIVER_INFO_6A driver = *kept->info;
    driver.pDriverPath = BareName(driver.pDriverPath);
    driver.pDataFile = BareName(driver.pDataFile);
    driver.pConfigFile = BareName(driver.pConfigFile);
    driver.pHelpFile = BareName(driver.pHelpFile);
    char *dependents = NULL;
    if (driver.pDependentFiles != NULL)
    {
        dependents = BareDependentFiles(driver.pDependentFiles, kept->list + kept->listSize);
        if (dependents == NULL)
            return ERROR_NOT_ENOUGH_MEMORY;
        driver.pDependentFiles = dependents;
    }
    DWORD error = ERROR_SUCCESS;
    if (!g_spooler->addPrinterDriver(NULL, 6, (LPBYTE)&driver))
        error = GetLastError();
    FreeBlock(dependents);
    return error;
}

/* Keys that are not the printer's own to write back.  Microsoft reserves
 * DsSpooler (SPLDS_SPOOLER_KEY) to the spooler, for its own properties,
 * which come from the level-2 record ("do not use"; change them through
 * SetPrinter level 2); DsDriver (SPLDS_DRIVER_KEY) is where the printer's
 * driver stores its properties, and the driver writes them again for the
 * printer added back.  DsUser is the user's and goes back.  Key names
 * compare without case (StartsWithUpper). */
static int IsSpoolersKey(const char *path)
{
    static const char *const kOwnKeys[] = {"DSSPOOLER", "DSDRIVER"};
    for (const char *own : kOwnKeys)
    {
        size_t length = strlen(own);
        if (StartsWithUpper(path, own) && (path[length] == '\0' || path[length] == '\\'))
            return 1;
    }
    return 0;
}

/* Every value kept, but in the spooler's own keys; the first error, or
 * ERROR_SUCCESS. */
static DWORD PutBackPrinterData(HANDLE printer, const KeptPrinter *kept)
{
    DWORD first = ERROR_SUCCESS;
    for (const KeptKey *key = kept->keys; key != NULL; key = key->next)
    {
        if (IsSpoolersKey(key->path))
            continue;
        const PRINTER_ENUM_VALUESA *values = (const PRINTER_ENUM_VALUESA *)key->values;
        for (DWORD i = 0; i < key->count; ++i)
        {
            DWORD error =
                g_spooler->setPrinterDataEx(printer, key->path, values[i].pValueName,
                                            values[i].dwType, values[i].pData, values[i].cbData);
            if (error != ERROR_SUCCESS && first == ERROR_SUCCESS)
                first = error;
        }
    }
    return first;
}

/* A printer the run registered under the name of one it deleted (the
 * session ended between the two installs, or the removal between them was
 * refused) goes first: the spooler refuses a second printer of a name. */
static void DeleteOwnPrinter(const KeptRecords *records, const char *name)
{
    /* The pages' deletion keeps nothing of a printer the run registered. */
    if (records->registeredPrinter && SameName(records->registered, name))
        DeletePrinterByName(name);
}

/* Registered again as it was, less what belongs to the moment (status, jobs
 * and pages per minute); a printer whose deletion waits on its jobs is
 * revived by this.  When the share cannot be made again (its name taken
 * meanwhile, the server service stopped), once more unshared.  What could
 * not go back is added to the note. */
static void PutBackPrinter(const KeptRecords *records, const KeptPrinter *kept, char *note,
                           size_t size)
{
    PRINTER_INFO_2A printer = *(const PRINTER_INFO_2A *)kept->info;
    printer.pServerName = NULL;
    printer.Status = 0;
    printer.cJobs = 0;
    printer.AveragePPM = 0;
    DeleteOwnPrinter(records, printer.pPrinterName);
    HANDLE added = g_spooler->addPrinter(NULL, 2, (LPBYTE)&printer);
    if (added == NULL && (printer.Attributes & PRINTER_ATTRIBUTE_SHARED))
    {
        printer.Attributes &= ~(DWORD)PRINTER_ATTRIBUTE_SHARED;
        added = g_spooler->addPrinter(NULL, 2, (LPBYTE)&printer);
    }
    if (added == NULL)
    {
        NoteRefused(note, size, kPutBackPrinter, printer.pPrinterName, GetLastError());
        return;
    }
    DWORD error = PutBackPrinterData(added, kept);
    if (error != ERROR_SUCCESS)
        NoteRefused(note, size, kPutBackPrinterData, printer.pPrinterName, error);
    g_spooler->closePrinter(added);
}

/* Set back only when it changed: setting the same default again would only
 * rewrite the user's entry in the spooler's own form.  The spooler's error,
 * or ERROR_SUCCESS. */
static DWORD PutBackDefaultPrinter(const char *name)
{
    if (name[0] == '\0')
        return ERROR_SUCCESS;
    char current[SETUP_TEXT_MAX];
    DWORD size = sizeof(current);
    if (g_spooler->getDefaultPrinter(current, &size) && SameName(current, name))
        return ERROR_SUCCESS;
    return g_spooler->setDefaultPrinter(name) ? ERROR_SUCCESS : GetLastError();
}

int PutBackRemovedRecords(int completed, char *note, size_t size)
{
    if (note != NULL && size > 0)
        note[0] = '\0';
    KeptRecords *records = g_state.keptRecords;
    if (records == NULL)
        return 1;
    /* A note of its own, so that the answer does not hang on the caller's. */
    char own[PUT_BACK_NOTE_MAX];
    own[0] = '\0';
    int removed = records->drivers != NULL || records->printers != NULL;
    for (const KeptDriver *d = records->drivers; d != NULL; d = d->next)
    {
        if (completed && SameName(d->info->pName, g_state.modelName))
            continue;
        DWORD error = PutBackDriver(d);
        if (error != ERROR_SUCCESS)
            NoteRefused(own, sizeof(own), kPutBackDriver, d->info->pName, error);
    }
    for (const KeptPrinter *p = records->printers; p != NULL; p = p->next)
        if (!(completed && SameName(PrinterNameOf(p), g_state.modelName)))
            PutBackPrinter(records, p, own, sizeof(own));
    DWORD error = removed ? PutBackDefaultPrinter(records->defaultPrinter) : ERROR_SUCCESS;
    if (error != ERROR_SUCCESS)
        NoteRefused(own, sizeof(own), kPutBackDefaultPrinter, records->defaultPrinter, error);
    ReleaseKeptRecords();
    if (note != NULL && size > 0)
        (void)StringCchCopyA(note, size, own);
    return own[0] == '\0';
}
