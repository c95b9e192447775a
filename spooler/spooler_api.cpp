/*
 * The real spooler table: winspool's own functions.
 */
#include "spooler_api.h"

const SpoolerApi kWinSpooler = {
    GetPrinterDriverDirectoryA, EnumPrinterDriversA, OpenPrinterA, DeletePrinter, ClosePrinter,
    DeletePrinterDriverA,       AddPrinterDriverA,   AddPrinterA,  GetPrinterA,   EnumPortsA,
};

const SpoolerApi *g_spooler = &kWinSpooler;
