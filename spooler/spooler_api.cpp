/*
 * The real spooler table: winspool's own functions, looked up in the module
 * that start-up loaded from the system folder.
 */
#include "spooler_api.h"

#include "../app/resolve_function.h"

static SpoolerApi s_winSpooler;

const SpoolerApi &kWinSpooler = s_winSpooler;

const SpoolerApi *g_spooler = &s_winSpooler;

int LoadWinSpooler(HMODULE winspool)
{
    SpoolerApi t = {};
    if (!ResolveFunction(winspool, "GetPrinterDriverDirectoryA", &t.getPrinterDriverDirectory) ||
        !ResolveFunction(winspool, "EnumPrinterDriversA", &t.enumPrinterDrivers) ||
        !ResolveFunction(winspool, "OpenPrinterA", &t.openPrinter) ||
        !ResolveFunction(winspool, "DeletePrinter", &t.deletePrinter) ||
        !ResolveFunction(winspool, "ClosePrinter", &t.closePrinter) ||
        !ResolveFunction(winspool, "DeletePrinterDriverA", &t.deletePrinterDriver) ||
        !ResolveFunction(winspool, "AddPrinterDriverA", &t.addPrinterDriver) ||
        !ResolveFunction(winspool, "AddPrinterA", &t.addPrinter) ||
        !ResolveFunction(winspool, "GetPrinterA", &t.getPrinter) ||
        !ResolveFunction(winspool, "EnumPortsA", &t.enumPorts) ||
        !ResolveFunction(winspool, "EnumPrinterKeyA", &t.enumPrinterKey) ||
        !ResolveFunction(winspool, "EnumPrinterDataExA", &t.enumPrinterDataEx) ||
        !ResolveFunction(winspool, "SetPrinterDataExA", &t.setPrinterDataEx) ||
        !ResolveFunction(winspool, "GetDefaultPrinterA", &t.getDefaultPrinter) ||
        !ResolveFunction(winspool, "SetDefaultPrinterA", &t.setDefaultPrinter))
        return 0;
    s_winSpooler = t;
    return 1;
}
