/*
 * The run's kept spooler records as they are held between the keeping
 * (kept_records.cpp) and the putting back (put_back.cpp).  A printer is
 * kept as GetPrinterA filled its level-2 record, so the record's pointers,
 * the device mode and the security descriptor among them, point into the
 * block kept; its printer data as EnumPrinterDataExA filled it, one block
 * per key.  A driver is kept as the level-6 list EnumPrinterDriversA
 * filled, with a pointer to its own record in it: GetPrinterDriverA would
 * answer for the printer's driver, which is another one when the printer
 * of the model's name runs on one, and there is no handle once the printer
 * is gone.
 */
#ifndef SETUP_KEPT_STORE_H
#define SETUP_KEPT_STORE_H

#include <windows.h>

#include "../app/setup_state.h"

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

static inline void *NewBlock(SIZE_T size)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

static inline void FreeBlock(void *block)
{
    if (block != NULL)
        HeapFree(GetProcessHeap(), 0, block);
}

/* Spooler names compare without case. */
static inline int SameName(const char *a, const char *b)
{
    return a != NULL && b != NULL && lstrcmpiA(a, b) == 0;
}

static inline const char *PrinterNameOf(const KeptPrinter *printer)
{
    return ((const PRINTER_INFO_2A *)printer->info)->pPrinterName;
}

#endif
