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
 *     driver, port or print processor; of the name of a printer pending
 *     deletion it revives that printer, its jobs still queued, with the
 *     record given;
 *   - deleting the default printer makes another the default (the first
 *     left), as Windows XP-7 and Wine do;
 *   - EnumPrinterKey and EnumPrinterDataEx answer ERROR_MORE_DATA for a
 *     buffer too small and ERROR_FILE_NOT_FOUND for a key that has no
 *     subkeys or does not exist; SetPrinterDataEx needs administer access;
 *   - with the spooler service stopped every call fails with
 *     RPC_S_SERVER_UNAVAILABLE;
 *   - it is the local spooler only: a server name is refused with
 *     ERROR_INVALID_NAME.
 */
#include "rules_spooler.h"

#include <stdio.h>
#include <algorithm>
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
const char kVersionFolder[] = "C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\";

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

/* Lays out a record's texts and blobs after it, as the spooler does. */
struct Packer
{
    BYTE *at;
    /* A text, or a NUL-separated list closed by an empty name. */
    LPSTR Text(const std::string &text)
    {
        LPSTR start = (LPSTR)at;
        memcpy(at, text.c_str(), text.size() + 1);
        at += text.size() + 1;
        return start;
    }
    BYTE *Blob(const std::string &bytes)
    {
        at = (BYTE *)(((UINT_PTR)at + 3) & ~(UINT_PTR)3);
        BYTE *start = at;
        memcpy(at, bytes.data(), bytes.size());
        at += bytes.size();
        return start;
    }
};

std::string TextOf(const char *text)
{
    return text ? text : "";
}

/* A NUL-separated list closed by an empty name, without the closing NUL. */
std::string ListOf(const char *list)
{
    std::string out;
    for (const char *p = list; p && *p; p += strlen(p) + 1)
        out.append(p, strlen(p) + 1);
    return out;
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

/* The error a test set for the call, or 0. */
DWORD Refused(const char *call)
{
    auto found = g_world.refuse.find(call);
    return found == g_world.refuse.end() ? 0 : found->second;
}

/* Logs the call, tells the test, and answers the error it is to fail with
 * (0: none). */
DWORD Note(const char *call, const char *name, const std::string &detail = "",
           const void *record = NULL)
{
    std::string text = std::string(call) + " " + (name ? name : "(none)");
    if (!detail.empty())
        text += ", " + detail;
    g_world.calls.push_back(text);
    if (g_world.onCall)
        g_world.onCall(text, record);
    return Refused(call);
}

/* True (with the last error set) for a call that names a server. */
bool Remote(LPSTR server)
{
    if (server == NULL)
        return false;
    SetLastError(ERROR_INVALID_NAME);
    return true;
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

BOOL WINAPI RulesGetDriverDirectory(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer,
                                    DWORD size, LPDWORD needed)
{
    static const char kDirectory[] = "C:\\windows\\system32\\spool\\drivers\\w32x86";
    *needed = 0;
    if (Stopped() || Remote(server))
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

BOOL WINAPI RulesEnumDrivers(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer,
                             DWORD size, LPDWORD needed, LPDWORD returned)
{
    *needed = *returned = 0;
    if (buffer != NULL)
        if (DWORD error = Note("EnumPrinterDrivers", environment, "level " + std::to_string(level)))
            return Fail(error);
    if (Stopped() || Remote(server))
        return FALSE;
    if (!KnownEnvironment(environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);
    if (level == 1)
        return AnswerNames(g_world.drivers, buffer, size, needed, returned);
    if (level != 6)
        return Fail(ERROR_INVALID_LEVEL);
    /* Level 6: the files as full paths in the version folder. */
    const std::string folder = kVersionFolder;
    std::vector<Driver> fields;
    DWORD total = 0;
    for (const std::string &name : g_world.drivers)
    {
        auto known = g_world.driverFields.find(name);
        Driver d = known == g_world.driverFields.end() ? Driver() : known->second;
        for (std::string *file : {&d.driverPath, &d.dataFile, &d.configFile, &d.helpFile})
            if (!file->empty())
                *file = folder + *file;
        std::string dependents;
        for (const char *p = d.dependents.c_str(); *p; p += strlen(p) + 1)
            dependents += folder + p + '\0';
        d.dependents = dependents;
        total += sizeof(DRIVER_INFO_6A) + (DWORD)name.size() + sizeof(kEnvironment) + 3;
        for (const std::string *t :
             {&d.driverPath, &d.dataFile, &d.configFile, &d.helpFile, &d.dependents, &d.monitor,
              &d.dataType, &d.previousNames, &d.maker, &d.url, &d.hardwareId, &d.provider})
            total += (DWORD)t->size() + 2;
        fields.push_back(d);
    }
    *needed = total;
    if (buffer == NULL || size < total)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    DRIVER_INFO_6A *records = (DRIVER_INFO_6A *)buffer;
    Packer pack = {buffer + g_world.drivers.size() * sizeof(DRIVER_INFO_6A)};
    for (size_t i = 0; i < fields.size(); ++i)
    {
        const Driver &d = fields[i];
        DRIVER_INFO_6A &r = records[i];
        ZeroMemory(&r, sizeof(r));
        r.cVersion = d.version;
        r.pName = pack.Text(g_world.drivers[i]);
        r.pEnvironment = pack.Text(kEnvironment);
        r.pDriverPath = pack.Text(d.driverPath);
        r.pDataFile = pack.Text(d.dataFile);
        r.pConfigFile = pack.Text(d.configFile);
        r.pHelpFile = pack.Text(d.helpFile);
        r.pDependentFiles = pack.Text(d.dependents);
        r.pMonitorName = pack.Text(d.monitor);
        r.pDefaultDataType = pack.Text(d.dataType);
        r.pszzPreviousNames = pack.Text(d.previousNames);
        r.ftDriverDate = d.date;
        r.dwlDriverVersion = d.driverVersion;
        r.pszMfgName = pack.Text(d.maker);
        r.pszOEMUrl = pack.Text(d.url);
        r.pszHardwareID = pack.Text(d.hardwareId);
        r.pszProvider = pack.Text(d.provider);
    }
    *returned = (DWORD)fields.size();
    return TRUE;
}

BOOL WINAPI RulesEnumPorts(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                           LPDWORD returned)
{
    *needed = *returned = 0;
    if (DWORD error = Refused("EnumPorts"))
        return Fail(error);
    if (Stopped() || Remote(server))
        return FALSE;
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    return AnswerNames(g_world.ports, buffer, size, needed, returned);
}

BOOL WINAPI RulesOpenPrinter(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults)
{
    *printer = NULL;
    DWORD asked = defaults ? defaults->DesiredAccess : 0;
    char other[24];
    snprintf(other, sizeof(other), "access %lx", asked);
    if (DWORD error = Note("OpenPrinter", name,
                           asked == PRINTER_ALL_ACCESS ? "all access"
                           : asked                     ? other
                                                       : ""))
        return Fail(error);
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
    if (DWORD error = Note("DeletePrinter", h ? h->printer.c_str() : NULL))
        return Fail(error);
    if (Stopped())
        return FALSE;
    if (h == NULL)
        return Fail(ERROR_INVALID_HANDLE);
    if (!(h->access & PRINTER_ACCESS_ADMINISTER))
        return Fail(ERROR_ACCESS_DENIED);
    FindPrinter(h->printer.c_str(), true)->pending = true;
    const std::vector<std::string> left = PrinterNames();
    if (Same(g_world.defaultPrinter, h->printer.c_str()))
        g_world.defaultPrinter = left.empty() ? "" : left[0];
    return TRUE;
}

BOOL WINAPI RulesClosePrinter(HANDLE printer)
{
    Handle *h = FromHandle(printer);
    if (DWORD error = Note("ClosePrinter", h ? h->printer.c_str() : NULL))
        return Fail(error);
    if (h == NULL)
        return Fail(ERROR_INVALID_HANDLE);
    h->open = false;
    Settle(h->printer);
    return TRUE;
}

BOOL WINAPI RulesDeleteDriver(LPSTR server, LPSTR environment, LPSTR name)
{
    if (DWORD error = Note("DeletePrinterDriver", name, TextOf(environment)))
        return Fail(error);
    if (Stopped() || Remote(server))
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
        g_world.driverFields.erase(drivers[i]);
        drivers.erase(drivers.begin() + i);
        return TRUE;
    }
    return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
}

BOOL WINAPI RulesAddDriver(LPSTR server, DWORD level, LPBYTE info)
{
    const DRIVER_INFO_6A *d = (const DRIVER_INFO_6A *)info;
    if (DWORD error = Note("AddPrinterDriver", level == 6 && d ? d->pName : NULL, "", info))
        return Fail(error);
    if (Stopped() || Remote(server))
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
    Driver &kept = g_world.driverFields[d->pName];
    kept.version = d->cVersion;
    kept.environment = TextOf(d->pEnvironment);
    kept.driverPath = d->pDriverPath;
    kept.dataFile = d->pDataFile;
    kept.configFile = d->pConfigFile;
    kept.helpFile = TextOf(d->pHelpFile);
    kept.dependents = ListOf(d->pDependentFiles);
    kept.monitor = TextOf(d->pMonitorName);
    kept.dataType = TextOf(d->pDefaultDataType);
    kept.previousNames = ListOf(d->pszzPreviousNames);
    kept.date = d->ftDriverDate;
    kept.driverVersion = d->dwlDriverVersion;
    kept.maker = TextOf(d->pszMfgName);
    kept.url = TextOf(d->pszOEMUrl);
    kept.hardwareId = TextOf(d->pszHardwareID);
    kept.provider = TextOf(d->pszProvider);
    return TRUE;
}

HANDLE WINAPI RulesAddPrinter(LPSTR server, DWORD level, LPBYTE info)
{
    const PRINTER_INFO_2A *p = (const PRINTER_INFO_2A *)info;
    DWORD refused = Note("AddPrinter", level == 2 && p ? p->pPrinterName : NULL, "", info);
    DWORD error = 0;
    if (Stopped() || Remote(server))
        return NULL;
    if (level != 2)
        error = ERROR_INVALID_LEVEL;
    else if (!g_world.administrator)
        error = ERROR_ACCESS_DENIED;
    else if (!p || !p->pPrinterName || !p->pPortName || !p->pDriverName || !p->pPrintProcessor)
        error = ERROR_INVALID_PARAMETER;
    else if (FindPrinter(p->pPrinterName, false))
        error = ERROR_PRINTER_ALREADY_EXISTS;
    else if (!Listed(g_world.drivers, p->pDriverName))
        error = ERROR_UNKNOWN_PRINTER_DRIVER;
    else if (!Listed(g_world.ports, p->pPortName))
        error = ERROR_UNKNOWN_PORT;
    else if (lstrcmpiA(p->pPrintProcessor, "WinPrint") != 0)
        error = ERROR_UNKNOWN_PRINTPROCESSOR;
    else if ((p->Attributes & PRINTER_ATTRIBUTE_SHARED) && !g_world.sharing)
        error = ERROR_INVALID_SHARENAME;
    if (refused)
        error = refused;
    if (error)
    {
        SetLastError(error);
        return NULL;
    }
    Printer *revived = FindPrinter(p->pPrinterName, true);
    if (revived == NULL)
    {
        g_world.printers.push_back({p->pPrinterName, p->pDriverName, p->pPortName, 0, false});
        revived = &g_world.printers.back();
    }
    Printer &kept = *revived;
    kept.pending = false;
    kept.driver = p->pDriverName;
    kept.port = p->pPortName;
    kept.share = TextOf(p->pShareName);
    kept.comment = TextOf(p->pComment);
    kept.location = TextOf(p->pLocation);
    kept.sepFile = TextOf(p->pSepFile);
    kept.processor = p->pPrintProcessor;
    kept.dataType = TextOf(p->pDatatype);
    kept.parameters = TextOf(p->pParameters);
    kept.attributes = p->Attributes | PRINTER_ATTRIBUTE_LOCAL;
    kept.priority = p->Priority;
    kept.defaultPriority = p->DefaultPriority;
    kept.startTime = p->StartTime;
    kept.untilTime = p->UntilTime;
    kept.devMode.clear();
    if (p->pDevMode)
        kept.devMode.assign((const char *)p->pDevMode,
                            p->pDevMode->dmSize + p->pDevMode->dmDriverExtra);
    kept.security.clear();
    if (p->pSecurityDescriptor)
        kept.security.assign((const char *)p->pSecurityDescriptor,
                             GetSecurityDescriptorLength(p->pSecurityDescriptor));
    return NewHandle(p->pPrinterName, PRINTER_ALL_ACCESS);
}

/* The printer behind a handle, or NULL with *error set. */
Printer *HandlePrinter(HANDLE printer, DWORD *error)
{
    *error = ERROR_SUCCESS;
    if (!g_world.running)
        *error = RPC_S_SERVER_UNAVAILABLE;
    Handle *h = FromHandle(printer);
    if (*error == ERROR_SUCCESS && h == NULL)
        *error = ERROR_INVALID_HANDLE;
    return *error == ERROR_SUCCESS ? FindPrinter(h->printer.c_str(), true) : NULL;
}

BOOL WINAPI RulesGetPrinter(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    *needed = 0;
    DWORD error = 0;
    const Printer *p = HandlePrinter(printer, &error);
    if (p == NULL || level != 2)
        return Fail(p == NULL ? error : ERROR_INVALID_LEVEL);
    const std::string *texts[] = {&p->name,     &p->share,     &p->port,    &p->driver,
                                  &p->comment,  &p->location,  &p->sepFile, &p->processor,
                                  &p->dataType, &p->parameters};
    DWORD total = sizeof(PRINTER_INFO_2A) + (DWORD)(p->devMode.size() + p->security.size()) + 8;
    for (const std::string *t : texts)
        total += (DWORD)t->size() + 1;
    *needed = total;
    if (buffer == NULL || size < total)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    ZeroMemory(buffer, total);
    PRINTER_INFO_2A *info = (PRINTER_INFO_2A *)buffer;
    Packer pack = {(BYTE *)(info + 1)};
    LPSTR *fields[] = {&info->pPrinterName, &info->pShareName,      &info->pPortName,
                       &info->pDriverName,  &info->pComment,        &info->pLocation,
                       &info->pSepFile,     &info->pPrintProcessor, &info->pDatatype,
                       &info->pParameters};
    for (int i = 0; i < 10; ++i)
        *fields[i] = pack.Text(*texts[i]);
    if (!p->devMode.empty())
        info->pDevMode = (LPDEVMODEA)pack.Blob(p->devMode);
    if (!p->security.empty())
        info->pSecurityDescriptor = (PSECURITY_DESCRIPTOR)pack.Blob(p->security);
    info->Attributes = p->attributes;
    info->Priority = p->priority;
    info->DefaultPriority = p->defaultPriority;
    info->StartTime = p->startTime;
    info->UntilTime = p->untilTime;
    info->cJobs = (DWORD)p->jobs;
    info->AveragePPM = p->jobs ? 12 : 0;
    info->Status = p->pending ? PRINTER_STATUS_PENDING_DELETION : 0;
    return TRUE;
}

DWORD WINAPI RulesEnumPrinterKey(HANDLE printer, LPCSTR key, LPSTR subkeys, DWORD size,
                                 LPDWORD needed)
{
    *needed = 0;
    DWORD error = 0;
    const Printer *p = HandlePrinter(printer, &error);
    if (p == NULL)
        return error;
    const std::string below = key && *key ? std::string(key) + "\\" : "";
    std::vector<std::string> names;
    for (const auto &entry : p->data)
    {
        if (entry.first.compare(0, below.size(), below) != 0 || entry.first.size() == below.size())
            continue;
        std::string name = entry.first.substr(below.size());
        name = name.substr(0, name.find('\\'));
        if (!Listed(names, name.c_str()))
            names.push_back(name);
    }
    if (names.empty())
        return ERROR_FILE_NOT_FOUND;
    std::string list;
    for (const std::string &n : names)
        list += n + '\0';
    *needed = (DWORD)list.size() + 1;
    if (subkeys == NULL || size < *needed)
        return ERROR_MORE_DATA;
    Packer pack = {(BYTE *)subkeys};
    pack.Text(list);
    return ERROR_SUCCESS;
}

DWORD WINAPI RulesEnumPrinterDataEx(HANDLE printer, LPCSTR key, LPBYTE buffer, DWORD size,
                                    LPDWORD needed, LPDWORD returned)
{
    *needed = *returned = 0;
    DWORD error = 0;
    const Printer *p = HandlePrinter(printer, &error);
    if (p == NULL)
        return error;
    auto found = p->data.find(TextOf(key));
    if (found == p->data.end())
        return ERROR_FILE_NOT_FOUND;
    const std::vector<Value> &values = found->second;
    DWORD total = (DWORD)(values.size() * sizeof(PRINTER_ENUM_VALUESA));
    for (const Value &v : values)
        total += (DWORD)(v.name.size() + 1 + v.bytes.size()) + 4;
    *needed = total;
    if (buffer == NULL || size < total)
        return ERROR_MORE_DATA;
    PRINTER_ENUM_VALUESA *records = (PRINTER_ENUM_VALUESA *)buffer;
    Packer pack = {buffer + values.size() * sizeof(PRINTER_ENUM_VALUESA)};
    for (size_t i = 0; i < values.size(); ++i)
    {
        records[i].pValueName = pack.Text(values[i].name);
        records[i].cbValueName = (DWORD)values[i].name.size() + 1;
        records[i].dwType = values[i].type;
        records[i].pData = pack.Blob(values[i].bytes);
        records[i].cbData = (DWORD)values[i].bytes.size();
    }
    *returned = (DWORD)values.size();
    return ERROR_SUCCESS;
}

DWORD WINAPI RulesSetPrinterDataEx(HANDLE printer, LPCSTR key, LPCSTR value, DWORD type,
                                   LPBYTE data, DWORD size)
{
    DWORD error = 0;
    Printer *p = HandlePrinter(printer, &error);
    if (p == NULL)
        return error;
    if (!(FromHandle(printer)->access & PRINTER_ACCESS_ADMINISTER))
        return ERROR_ACCESS_DENIED;
    if (key == NULL || *key == '\0' || value == NULL)
        return ERROR_INVALID_PARAMETER;
    std::vector<Value> &values = p->data[key];
    std::string bytes((const char *)data, size);
    for (Value &v : values)
        if (Same(v.name, value))
        {
            v.type = type;
            v.bytes = bytes;
            return ERROR_SUCCESS;
        }
    values.push_back({value, type, bytes});
    return ERROR_SUCCESS;
}

BOOL WINAPI RulesGetDefaultPrinter(LPSTR buffer, LPDWORD size)
{
    if (Stopped())
        return FALSE;
    if (g_world.defaultPrinter.empty())
        return Fail(ERROR_FILE_NOT_FOUND);
    DWORD length = (DWORD)g_world.defaultPrinter.size() + 1;
    if (buffer == NULL || *size < length)
    {
        *size = length;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    memcpy(buffer, g_world.defaultPrinter.c_str(), length);
    *size = length;
    return TRUE;
}

BOOL WINAPI RulesSetDefaultPrinter(LPCSTR name)
{
    if (DWORD error = Note("SetDefaultPrinter", name))
        return Fail(error);
    if (Stopped())
        return FALSE;
    const Printer *p = FindPrinter(name, false);
    if (p == NULL)
        return Fail(ERROR_INVALID_PRINTER_NAME);
    g_world.defaultPrinter = p->name;
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
    RulesGetDriverDirectory, RulesEnumDrivers,       RulesOpenPrinter,       RulesDeletePrinter,
    RulesClosePrinter,       RulesDeleteDriver,      RulesAddDriver,         RulesAddPrinter,
    RulesGetPrinter,         RulesEnumPorts,         RulesEnumPrinterKey,    RulesEnumPrinterDataEx,
    RulesSetPrinterDataEx,   RulesGetDefaultPrinter, RulesSetDefaultPrinter,
};

std::string Hex(const std::string &bytes)
{
    std::string out;
    char two[4];
    for (unsigned char c : bytes)
    {
        snprintf(two, sizeof(two), "%02x", c);
        out += two;
    }
    return out;
}

/* In name order: the spooler keeps no order to compare. */
std::string Describe(const SpoolerWorld &world, const std::string &except)
{
    std::string out;
    char number[96];
    std::vector<std::string> drivers = world.drivers;
    std::sort(drivers.begin(), drivers.end());
    for (const std::string &name : drivers)
    {
        if (Same(name, except.c_str()))
            continue;
        auto known = world.driverFields.find(name);
        const Driver d = known == world.driverFields.end() ? Driver() : known->second;
        snprintf(number, sizeof(number), " %s v%lu date %08lx%08lx version %llu",
                 d.environment.c_str(), d.version, d.date.dwHighDateTime, d.date.dwLowDateTime,
                 (unsigned long long)d.driverVersion);
        out += "driver " + name + number + " [" + d.driverPath + "|" + d.dataFile + "|" +
               d.configFile + "|" + d.helpFile + "|" + Hex(d.dependents) + "|" + d.monitor + "|" +
               d.dataType + "|" + Hex(d.previousNames) + "|" + d.maker + "|" + d.url + "|" +
               d.hardwareId + "|" + d.provider + "]\n";
    }
    std::vector<const Printer *> printers;
    for (const Printer &p : world.printers)
        printers.push_back(&p);
    std::sort(printers.begin(), printers.end(),
              [](const Printer *a, const Printer *b) { return a->name < b->name; });
    for (const Printer *kept : printers)
    {
        const Printer &p = *kept;
        if (Same(p.name, except.c_str()))
            continue;
        snprintf(number, sizeof(number), " attributes %lx priority %lu/%lu time %lu-%lu jobs %d",
                 p.attributes, p.priority, p.defaultPriority, p.startTime, p.untilTime, p.jobs);
        out += "printer " + p.name + (p.pending ? " (pending)" : "") + number + " [" + p.driver +
               "|" + p.port + "|" + p.share + "|" + p.comment + "|" + p.location + "|" + p.sepFile +
               "|" + p.processor + "|" + p.dataType + "|" + p.parameters + "] devmode " +
               Hex(p.devMode) + " security " + Hex(p.security) + "\n";
        for (const auto &key : p.data)
            for (const Value &v : key.second)
            {
                snprintf(number, sizeof(number), " type %lu ", v.type);
                out += "  data " + key.first + "\\" + v.name + number + Hex(v.bytes) + "\n";
            }
    }
    return out + "default " + world.defaultPrinter + "\n";
}

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
    Packer pack = {buffer + names.size() * sizeof(char *)};
    for (size_t i = 0; i < names.size(); ++i)
        ((char **)buffer)[i] = pack.Text(names[i]);
    *returned = (DWORD)names.size();
    return TRUE;
}

} // namespace rules
