/*
 * A stand-in print spooler, behind the program's SpoolerApi, that keeps the
 * rules Windows 2000-7 keep and Wine's spooler does not: deleting a printer
 * takes administer access, a driver still used by a printer (also one whose
 * deletion is pending on its jobs) cannot be deleted, a driver whose files
 * are not all in the driver directory is refused, and a printer name, a
 * driver or a port must be right for AddPrinter.  Its drivers, printers,
 * ports and driver-directory files are set per test through World().
 */
#ifndef SETUP_TEST_RULES_SPOOLER_H
#define SETUP_TEST_RULES_SPOOLER_H

#include <windows.h>

#include <string>
#include <vector>

#include "spooler/spooler_api.h"

namespace rules
{

struct Printer
{
    std::string name, driver, port;
    int jobs;     /* jobs still queued: a deletion waits for them */
    bool pending; /* deleted, and kept until its jobs and handles are gone */
};

struct SpoolerWorld
{
    bool running = true;       /* false: every call fails with RPC_S_SERVER_UNAVAILABLE */
    bool administrator = true; /* false: administer rights are refused, ERROR_ACCESS_DENIED */
    std::vector<std::string> files = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP"};
    std::vector<std::string> ports = {"COM1:", "FILE:", "LPT1:"};
    std::vector<std::string> drivers; /* of "Windows NT x86" */
    std::vector<Printer> printers;
    std::vector<std::string> calls; /* "AddPrinterDriver M", "OpenPrinter M", ... */
};

/* The stand-in's state; Reset() empties it to the defaults above and closes
 * every handle. */
SpoolerWorld &World();
void Reset();

/* Names of the printers that are not pending deletion. */
std::vector<std::string> PrinterNames();
/* How many calls of the log begin with `prefix`. */
int CountCalls(const std::string &prefix);

extern const SpoolerApi kRulesSpooler;

/* A level-1 array of one-name records (DRIVER_INFO_1A, PORT_INFO_1A), the
 * names after it, as the spooler answers a size query (buffer NULL or too
 * small: FALSE with ERROR_INSUFFICIENT_BUFFER and *needed) and a fetch. */
BOOL AnswerNames(const std::vector<std::string> &names, LPBYTE buffer, DWORD size, LPDWORD needed,
                 LPDWORD returned);

} // namespace rules

#endif
