/*
 * The stand-in spooler with Windows' rules.  Printer and driver names
 * compare without case, as the spooler's do.  What it answers follows the
 * documented behaviour of Windows 2000-7:
 *   - OpenPrinter with no defaults grants PRINTER_ACCESS_USE only; asking
 *     for administer rights without them is ERROR_ACCESS_DENIED;
 *   - DeletePrinter needs PRINTER_ACCESS_ADMINISTER on the handle; with jobs
 *     queued the printer is only marked pending, and it stays (holding its
 *     name and its driver) until the jobs and the handles are gone; once
 *     deleted it is no longer found by name (ERROR_INVALID_PRINTER_NAME);
 *   - DeletePrinterDriver fails with ERROR_PRINTER_DRIVER_IN_USE while any
 *     printer, pending ones included, uses the driver;
 *   - AddPrinterDriver fails with ERROR_FILE_NOT_FOUND when a file the
 *     record names is not in the driver directory, and replaces a driver of
 *     the same name;
 *   - AddPrinter fails with ERROR_PRINTER_ALREADY_EXISTS, or for an unknown
 *     driver, port or print processor;
 *   - with the spooler service stopped every call fails with
 *     RPC_S_SERVER_UNAVAILABLE.
 */
#include "rules_spooler.h"

#include <string.h>

namespace rules
{
namespace
{

struct Handle
{
    std::string printer;
    DWORD access;
    bool open;
};

SpoolerWorld g_world;
std::vector<Handle> g_handles;
const UINT_PTR kHandleBase = 0x7100;
const char kEnvironment[] = "Windows NT x86";

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

bool Same(const std::string &a, const char *b)
{
    return b != NULL && lstrcmpiA(a.c_str(), b) == 0;
}

bool Listed(const std::vector<std::string> &names, const char *name)
{
    for (const std::string &n : names)
        if (Same(n, name))
            return true;
    return false;
}

void Note(const char *call, const char *name)
{
    g_world.calls.push_back(std::string(call) + " " + (name ? name : "(none)"));
}

/* True (with the last error set) when the service is stopped. */
bool Stopped()
{
    if (g_world.running)
        return false;
    SetLastError(RPC_S_SERVER_UNAVAILABLE);
    return true;
}

bool KnownEnvironment(const char *environment)
{
    return environment == NULL || lstrcmpiA(environment, kEnvironment) == 0;
}

Printer *FindPrinter(const char *name, bool withPending)
{
    for (Printer &p : g_world.printers)
        if (Same(p.name, name) && (withPending || !p.pending))
            return &p;
    return NULL;
}

Handle *FromHandle(HANDLE printer)
{
    UINT_PTR i = (UINT_PTR)printer - kHandleBase;
    if ((UINT_PTR)printer < kHandleBase || i >= g_handles.size() || !g_handles[i].open)
        return NULL;
    return &g_handles[i];
}

HANDLE NewHandle(const std::string &printer, DWORD access)
{
    g_handles.push_back({printer, access, true});
    return (HANDLE)(kHandleBase + g_handles.size() - 1);
}

/* A pending printer goes once nothing holds it any more. */
void Settle(const std::string &name)
{
    for (const Handle &h : g_handles)
        if (h.open && Same(h.printer, name.c_str()))
            return;
    std::vector<Printer> &all = g_world.printers;
    for (size_t i = 0; i < all.size(); ++i)
        if (Same(all[i].name, name.c_str()) && all[i].pending && all[i].jobs == 0)
        {
            all.erase(all.begin() + i);
            return;
        }
}

BOOL WINAPI RulesGetDriverDirectory(LPSTR, LPSTR environment, DWORD level, LPBYTE buffer,
                                    DWORD size, LPDWORD needed)
{
    static const char kDirectory[] = "C:\\windows\\system32\\spool\\drivers\\w32x86";
    *needed = 0;
    if (Stopped())
        return FALSE;
    if (!KnownEnvironment(environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    *needed = sizeof(kDirectory);
    if (buffer == NULL || size < sizeof(kDirectory))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    memcpy(buffer, kDirectory, sizeof(kDirectory));
    return TRUE;
}

BOOL WINAPI RulesEnumDrivers(LPSTR, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned)
{
    *needed = *returned = 0;
    if (Stopped())
        return FALSE;
    if (!KnownEnvironment(environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    return AnswerNames(g_world.drivers, buffer, size, needed, returned);
}

BOOL WINAPI RulesEnumPorts(LPSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                           LPDWORD returned)
{
    *needed = *returned = 0;
    if (Stopped())
        return FALSE;
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    return AnswerNames(g_world.ports, buffer, size, needed, returned);
}

BOOL WINAPI RulesOpenPrinter(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults)
{
    Note("OpenPrinter", name);
    *printer = NULL;
    if (Stopped())
        return FALSE;
    if (FindPrinter(name, false) == NULL)
        return Fail(ERROR_INVALID_PRINTER_NAME);
    DWORD access =
        defaults && defaults->DesiredAccess ? defaults->DesiredAccess : (DWORD)PRINTER_ACCESS_USE;
    const DWORD kAdministerRights = PRINTER_ACCESS_ADMINISTER | DELETE | WRITE_DAC | WRITE_OWNER;
    if ((access & kAdministerRights) && !g_world.administrator)
        return Fail(ERROR_ACCESS_DENIED);
    *printer = NewHandle(name, access);
    return TRUE;
}

BOOL WINAPI RulesDeletePrinter(HANDLE printer)
{
    Handle *h = FromHandle(printer);
    Note("DeletePrinter", h ? h->printer.c_str() : NULL);
    if (Stopped())
        return FALSE;
    if (h == NULL)
        return Fail(ERROR_INVALID_HANDLE);
    if (!(h->access & PRINTER_ACCESS_ADMINISTER))
        return Fail(ERROR_ACCESS_DENIED);
    FindPrinter(h->printer.c_str(), true)->pending = true;
    return TRUE;
}

BOOL WINAPI RulesClosePrinter(HANDLE printer)
{
    Handle *h = FromHandle(printer);
    if (h == NULL)
        return Fail(ERROR_INVALID_HANDLE);
    h->open = false;
    Settle(h->printer);
    return TRUE;
}

BOOL WINAPI RulesDeleteDriver(LPSTR, LPSTR environment, LPSTR name)
{
    Note("DeletePrinterDriver", name);
    if (Stopped())
        return FALSE;
    if (!KnownEnvironment(environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);
    if (!g_world.administrator)
        return Fail(ERROR_ACCESS_DENIED);
    std::vector<std::string> &drivers = g_world.drivers;
    for (size_t i = 0; i < drivers.size(); ++i)
    {
        if (!Same(drivers[i], name))
            continue;
        for (const Printer &p : g_world.printers)
            if (Same(p.driver, name))
                return Fail(ERROR_PRINTER_DRIVER_IN_USE);
        drivers.erase(drivers.begin() + i);
        return TRUE;
    }
    return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
}

BOOL WINAPI RulesAddDriver(LPSTR, DWORD level, LPBYTE info)
{
    const DRIVER_INFO_6A *d = (const DRIVER_INFO_6A *)info;
    Note("AddPrinterDriver", level == 6 && d ? d->pName : NULL);
    if (Stopped())
        return FALSE;
    if (level != 6)
        return Fail(ERROR_INVALID_LEVEL);
    if (!g_world.administrator)
        return Fail(ERROR_ACCESS_DENIED);
    if (!d || !d->pName || !d->pName[0] || !d->pDriverPath || !d->pDataFile || !d->pConfigFile)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!KnownEnvironment(d->pEnvironment))
        return Fail(ERROR_INVALID_ENVIRONMENT);
    std::vector<const char *> named = {d->pDriverPath, d->pDataFile, d->pConfigFile};
    if (d->pHelpFile && d->pHelpFile[0])
        named.push_back(d->pHelpFile);
    for (const char *p = d->pDependentFiles; p && *p; p += strlen(p) + 1)
        named.push_back(p);
    for (const char *file : named)
        if (!Listed(g_world.files, file))
            return Fail(ERROR_FILE_NOT_FOUND);
    if (!Listed(g_world.drivers, d->pName))
        g_world.drivers.push_back(d->pName);
    return TRUE;
}

HANDLE WINAPI RulesAddPrinter(LPSTR, DWORD level, LPBYTE info)
{
    const PRINTER_INFO_2A *p = (const PRINTER_INFO_2A *)info;
    Note("AddPrinter", level == 2 && p ? p->pPrinterName : NULL);
    DWORD error = 0;
    if (Stopped())
        return NULL;
    if (level != 2)
        error = ERROR_INVALID_LEVEL;
    else if (!g_world.administrator)
        error = ERROR_ACCESS_DENIED;
    else if (!p || !p->pPrinterName || !p->pPortName || !p->pDriverName || !p->pPrintProcessor)
        error = ERROR_INVALID_PARAMETER;
    else if (FindPrinter(p->pPrinterName, true))
        error = ERROR_PRINTER_ALREADY_EXISTS;
    else if (!Listed(g_world.drivers, p->pDriverName))
        error = ERROR_UNKNOWN_PRINTER_DRIVER;
    else if (!Listed(g_world.ports, p->pPortName))
        error = ERROR_UNKNOWN_PORT;
    else if (lstrcmpiA(p->pPrintProcessor, "WinPrint") != 0)
        error = ERROR_UNKNOWN_PRINTPROCESSOR;
    if (error)
    {
        SetLastError(error);
        return NULL;
    }
    g_world.printers.push_back({p->pPrinterName, p->pDriverName, p->pPortName, 0, false});
    return NewHandle(p->pPrinterName, PRINTER_ALL_ACCESS);
}

BOOL WINAPI RulesGetPrinter(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    *needed = 0;
    if (Stopped())
        return FALSE;
    Handle *h = FromHandle(printer);
    if (h == NULL)
        return Fail(ERROR_INVALID_HANDLE);
    if (level != 2)
        return Fail(ERROR_INVALID_LEVEL);
    const Printer *p = FindPrinter(h->printer.c_str(), true);
    const std::string *texts[] = {&p->name, &p->driver, &p->port};
    DWORD total = sizeof(PRINTER_INFO_2A);
    for (const std::string *t : texts)
        total += (DWORD)t->size() + 1;
    *needed = total;
    if (buffer == NULL || size < total)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    ZeroMemory(buffer, total);
    PRINTER_INFO_2A *info = (PRINTER_INFO_2A *)buffer;
    char *text = (char *)(info + 1);
    LPSTR *fields[] = {&info->pPrinterName, &info->pDriverName, &info->pPortName};
    for (int i = 0; i < 3; ++i)
    {
        *fields[i] = text;
        memcpy(text, texts[i]->c_str(), texts[i]->size() + 1);
        text += texts[i]->size() + 1;
    }
    info->cJobs = (DWORD)p->jobs;
    info->Status = p->pending ? PRINTER_STATUS_PENDING_DELETION : 0;
    return TRUE;
}

} // namespace

SpoolerWorld &World()
{
    return g_world;
}

void Reset()
{
    g_world = SpoolerWorld();
    g_handles.clear();
}

std::vector<std::string> PrinterNames()
{
    std::vector<std::string> names;
    for (const Printer &p : g_world.printers)
        if (!p.pending)
            names.push_back(p.name);
    return names;
}

int CountCalls(const std::string &prefix)
{
    int count = 0;
    for (const std::string &call : g_world.calls)
        count += call.compare(0, prefix.size(), prefix) == 0;
    return count;
}

const SpoolerApi kRulesSpooler = {
    RulesGetDriverDirectory, RulesEnumDrivers,  RulesOpenPrinter, RulesDeletePrinter,
    RulesClosePrinter,       RulesDeleteDriver, RulesAddDriver,   RulesAddPrinter,
    RulesGetPrinter,         RulesEnumPorts,
};

/* A level-1 array of one-name records (DRIVER_INFO_1A, PORT_INFO_1A), the
 * names after it. */
BOOL AnswerNames(const std::vector<std::string> &names, LPBYTE buffer, DWORD size, LPDWORD needed,
                 LPDWORD returned)
{
    DWORD total = (DWORD)(names.size() * sizeof(char *));
    for (const std::string &n : names)
        total += (DWORD)n.size() + 1;
    *needed = total;
    *returned = 0;
    if (buffer == NULL || size < total)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    char **records = (char **)buffer;
    char *text = (char *)buffer + names.size() * sizeof(char *);
    for (size_t i = 0; i < names.size(); ++i)
    {
        records[i] = text;
        memcpy(text, names[i].c_str(), names[i].size() + 1);
        text += names[i].size() + 1;
    }
    *returned = (DWORD)names.size();
    return TRUE;
}

} // namespace rules
