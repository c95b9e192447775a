/*
 * A stand-in print spooler, behind the program's SpoolerApi, that keeps the
 * rules Windows 2000-7 keep and Wine's spooler does not: deleting a printer
 * takes administer access, a driver still used by a printer (also one whose
 * deletion is pending on its jobs) cannot be deleted, a driver whose files
 * are not all in the driver directory is refused, and a printer name, a
 * driver or a port must be right for AddPrinter, and AddPrinter of the
 * name of a printer pending deletion revives it.  It keeps the records it
 * is given (a printer's level-2 fields, device mode, security descriptor
 * and printer data; a driver's level-6 fields) and answers them back, so
 * a test can compare what was deleted with what came back (Describe()).
 * Its drivers, printers, ports, default printer and driver-directory files
 * are set per test through World(), which also logs the calls and can make
 * a given call fail with a given error.
 */
#ifndef SETUP_TEST_RULES_SPOOLER_H
#define SETUP_TEST_RULES_SPOOLER_H

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "spooler/spooler_api.h"

namespace rules
{

struct Value
{
    std::string name;
    DWORD type;
    std::string bytes;
};

struct Printer
{
    Printer(const std::string &name, const std::string &driver, const std::string &port, int jobs,
            bool pending)
        : name(name), driver(driver), port(port), jobs(jobs), pending(pending)
    {
    }
    std::string name, driver, port;
    int jobs;     /* jobs still queued: a deletion waits for them */
    bool pending; /* deleted, and kept until its jobs and handles are gone */
    /* The rest of its level-2 record. */
    std::string share, comment, location, sepFile, processor = "WinPrint", dataType = "RAW",
                                                   parameters;
    DWORD attributes = PRINTER_ATTRIBUTE_LOCAL, priority = 1, defaultPriority = 0, startTime = 0,
          untilTime = 0;
    std::string devMode, security;                  /* their bytes; empty for none */
    std::map<std::string, std::vector<Value>> data; /* printer data by key path */
};

/* A driver's level-6 fields beyond its name; lists are NUL-separated. */
struct Driver
{
    DWORD version = 3;
    std::string environment = "Windows NT x86"; /* as AddPrinterDriver was given it */
    std::string driverPath = "UNIDRV.DLL", dataFile = "OLD.GPD", configFile = "UNIDRVUI.DLL",
                helpFile, dependents, monitor, dataType = "RAW", previousNames, maker, url,
                hardwareId, provider;
    FILETIME date = {0, 0};
    DWORDLONG driverVersion = 0;
};

struct SpoolerWorld
{
    bool running = true;       /* false: every call fails with RPC_S_SERVER_UNAVAILABLE */
    bool administrator = true; /* false: administer rights are refused, ERROR_ACCESS_DENIED */
    bool sharing = true;       /* false: a shared printer is refused, ERROR_INVALID_SHARENAME */
    std::vector<std::string> files = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP"};
    std::vector<std::string> ports = {"COM1:", "FILE:", "LPT1:"};
    std::vector<std::string> drivers;           /* of "Windows NT x86" */
    std::map<std::string, Driver> driverFields; /* by name; a default Driver when absent */
    std::vector<Printer> printers;
    std::string defaultPrinter;
    /* "AddPrinterDriver M", "OpenPrinter M, all access", "ClosePrinter M",
     * "EnumPrinterDrivers Windows NT x86, level 1" (at the fetch), ... */
    std::vector<std::string> calls;
    /* A call of this name ("DeletePrinter", "AddPrinter", "EnumPorts", ...)
     * fails with that error. */
    std::map<std::string, DWORD> refuse;
    /* Told of each logged call before it is carried out, with the record an
     * AddPrinterDriver or AddPrinter was given (else NULL); it may change
     * the world, `refuse` included. */
    std::function<void(const std::string &call, const void *record)> onCall;
};

/* The stand-in's state; Reset() empties it to the defaults above and closes
 * every handle. */
SpoolerWorld &World();
void Reset();

/* Names of the printers that are not pending deletion. */
std::vector<std::string> PrinterNames();
/* Every driver and printer (pending ones marked) with all their fields,
 * and the default printer, as one text; records of the name `except` are
 * left out. */
std::string Describe(const SpoolerWorld &world, const std::string &except = "");
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
