/*
 * The run's kept spooler records (kept_records.h).  A printer is kept as
 * GetPrinterA filled its level-2 record, so the record's pointers, the
 * device mode and the security descriptor among them, point into the
 * block kept; its printer data as EnumPrinterDataExA filled it, one block
 * per key.  A driver is kept as the level-6 list EnumPrinterDriversA
 * filled, with a pointer to its own record in it: GetPrinterDriverA would
 * answer for the printer's driver, which is another one when the printer
 * of the model's name runs on one, and there is no handle once the printer
 * is gone.
 */
#include "kept_records.h"

#include <string.h>
#include <strsafe.h>

#include "spooler_api.h"
#include "spooler_block.h"
#include "../app/setup_state.h"
#include "../profile/common_texts.h"

/* Printer data keys are a tree ("PrinterDriverData\\Options"); drivers
 * keep theirs a level or two deep. */
#define KEY_DEPTH_MAX 8

struct KeptKey
{
    KeptKey *next;
    BYTE *values; /* PRINTER_ENUM_VALUESA[count] and what they point at; none without values */
    DWORD count;
    int depth; /* 1 for a key of the printer's root */
    char path[SETUP_TEXT_MAX];
};

struct KeptPrinter
{
    KeptPrinter *next;
    BYTE *info; /* PRINTER_INFO_2A and everything it points at */
    KeptKey *keys;
};

struct KeptDriver
{
    KeptDriver *next;
    BYTE *list; /* the level-6 list the record came in */
    DWORD listSize;
    const DRIVER_INFO_6A *info; /* inside list */
};

struct KeptRecords
{
    KeptPrinter *printers;               /* newest first */
    KeptDriver *drivers;                 /* newest first */
    char defaultPrinter[SETUP_TEXT_MAX]; /* before the first deletion; empty for none */
    char registered[SETUP_TEXT_MAX];     /* the name the run registered under */
    DWORD registeredDriver;
    DWORD registeredPrinter;
};

/* Spooler names compare without case. */
static int SameName(const char *a, const char *b)
{
    return a != NULL && b != NULL && lstrcmpiA(a, b) == 0;
}

static void *NewBlock(SIZE_T size)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

static void FreeBlock(void *block)
{
    if (block != NULL)
        HeapFree(GetProcessHeap(), 0, block);
}

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

static const char *PrinterNameOf(const KeptPrinter *printer)
{
    return ((const PRINTER_INFO_2A *)printer->info)->pPrinterName;
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

/* Appends each subkey of `path` ("" for the printer's root) with its values
 * at *tail; 0 only when a block could not be had.  A spooler that lists no
 * subkeys keeps nothing: Windows 2000-7 answer ERROR_FILE_NOT_FOUND for a
 * key without subkeys, and a key without values keeps none. */
static int KeepSubkeys(HANDLE printer, const char *path, int depth, KeptKey ***tail)
{
    DWORD size = 0;
    DWORD error = 0;
    BYTE *subkeys = FetchSpoolerBlock(
        [&](LPBYTE buffer, DWORD bytes, LPDWORD needed)
        {
            DWORD result = g_spooler->enumPrinterKey(printer, path, (LPSTR)buffer, bytes, needed);
            SetLastError(result);
            return result == ERROR_SUCCESS;
        },
        &size, &error);
    if (subkeys == NULL)
        return error != ERROR_NOT_ENOUGH_MEMORY;
    int ok = 1;
    const char *end = (const char *)subkeys + size;
    for (const char *sub = (const char *)subkeys; ok && sub < end && *sub != '\0';)
    {
        size_t length = strnlen(sub, (size_t)(end - sub));
        KeptKey *key = (KeptKey *)NewBlock(sizeof(KeptKey));
        HRESULT made = E_FAIL;
        if (key != NULL)
            made = path[0] == '\0' ? StringCchCopyNA(key->path, sizeof(key->path), sub, length)
                                   : StringCchPrintfA(key->path, sizeof(key->path), "%s\\%.*s",
                                                      path, (int)length, sub);
        if (key == NULL)
            ok = 0;
        else if (FAILED(made))
            FreeBlock(key);
        else
        {
            key->depth = depth;
            DWORD valuesSize = 0;
            key->values = FetchSpoolerBlock(
                [&](LPBYTE buffer, DWORD bytes, LPDWORD needed)
                {
                    DWORD result = g_spooler->enumPrinterDataEx(printer, key->path, buffer, bytes,
                                                                needed, &key->count);
                    SetLastError(result);
                    return result == ERROR_SUCCESS;
                },
                &valuesSize, &error);
            if (key->values == NULL)
                key->count = 0;
            **tail = key;
            *tail = &key->next;
            ok = key->values != NULL || error != ERROR_NOT_ENOUGH_MEMORY;
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

/* The file name of a path, past its last backslash.  Walked by character:
 * in the Korean code page a trail byte can be 0x5C. */
static LPSTR BareName(LPSTR path)
{
    if (path == NULL)
        return NULL;
    LPSTR bare = path;
    for (LPSTR p = path; *p != '\0'; p = CharNextA(p))
        if (*p == '\\')
            bare = p + 1;
    return bare;
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

/* ASCII letters compared without case, as the registry compares key
 * names; the locale's rules are no help here (Turkish folds "i" apart). */
static char FoldAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

/* Keys that are not the printer's own to write back.  Microsoft reserves
 * DsSpooler (SPLDS_SPOOLER_KEY) to the spooler, for its own properties,
 * which come from the level-2 record ("do not use"; change them through
 * SetPrinter level 2); DsDriver (SPLDS_DRIVER_KEY) is where the printer's
 * driver stores its properties, and the driver writes them again for the
 * printer added back.  DsUser is the user's and goes back.  The names are
 * ASCII, and no trail byte of a double-byte character is matched by an
 * ASCII byte that follows an ASCII byte, so the byte compare holds in every
 * code page. */
static int IsSpoolersKey(const char *path)
{
    static const char *const kOwnKeys[] = {"DsSpooler", "DsDriver"};
    for (const char *own : kOwnKeys)
    {
        size_t i = 0;
        while (own[i] != '\0' && FoldAscii(path[i]) == FoldAscii(own[i]))
            ++i;
        if (own[i] == '\0' && (path[i] == '\0' || path[i] == '\\'))
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
    if (!records->registeredPrinter || !SameName(records->registered, name))
        return;
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE printer = NULL;
    if (!g_spooler->openPrinter(SpoolerText(name), &printer, &defaults))
        return;
    g_spooler->deletePrinter(printer);
    g_spooler->closePrinter(printer);
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
