/*
 * Driver and printer registration: the installed-driver check, the removal
 * of an earlier printer and driver of the model's name, and the
 * registration of the model's driver and of a printer that uses it.  Every
 * spooler call goes through g_spooler.
 */
#include "registration.h"

#include "kept_records.h"
#include "spooler_api.h"
#include "spooler_block.h"

#include <string.h>
#include <strsafe.h>

#include "../app/setup_state.h"
#include "../app/startup.h"
#include "../profile/build_profile.h"
#include "../profile/common_texts.h"
#include "../setupinfo/setup_info.h"

int IsDriverInstalled(const char *name)
{
    DWORD returned = 0;
    BYTE *list = FetchDriverList(1, &returned);
    if (!list)
        return 0;
    int found = 0;
    const DRIVER_INFO_1A *drivers = (const DRIVER_INFO_1A *)list;
    for (DWORD i = 0; i < returned && !found; ++i)
        found = drivers[i].pName && strcmp(drivers[i].pName, name) == 0;
    HeapFree(GetProcessHeap(), 0, list);
    return found;
}

/* Deleting a printer takes administer access: a handle opened with no
 * defaults carries only PRINTER_ACCESS_USE, and Windows 2000-7 then refuse
 * DeletePrinter with ERROR_ACCESS_DENIED (Wine's spooler does not check). */
static HANDLE OpenToDelete(const char *name, DWORD *error)
{
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE printer = NULL;
    if (g_spooler->openPrinter(SpoolerText(name), &printer, &defaults))
        return printer;
    *error = GetLastError();
    return NULL;
}

/* What became of the printer of a name: none there, deleted, its deletion
 * refused, or nothing done (it could not be opened for deletion or its
 * record could not be kept; access denied or a stopped spooler,
 * RPC_S_SERVER_UNAVAILABLE, leave whatever is there in place). */
enum PrinterRemoval
{
    PRINTER_ABSENT,
    PRINTER_DELETED,
    PRINTER_REFUSED,
    PRINTER_UNTOUCHED
};

/* Opens the printer with administer access, keeps its record, deletes it
 * and closes the handle.  A printer whose record cannot be kept stays. */
static PrinterRemoval DeleteKeptPrinter(const char *name)
{
    DWORD error = 0;
    HANDLE printer = OpenToDelete(name, &error);
    if (!printer)
        return error == ERROR_INVALID_PRINTER_NAME ? PRINTER_ABSENT : PRINTER_UNTOUCHED;
    int kept = 0;
    PrinterRemoval removal = PRINTER_UNTOUCHED;
    if (KeepPrinter(printer, name, &kept))
    {
        removal = PRINTER_DELETED;
        if (!g_spooler->deletePrinter(printer))
        {
            if (kept)
                ForgetNewestPrinter();
            removal = PRINTER_REFUSED;
        }
    }
    g_spooler->closePrinter(printer);
    return removal;
}

void DeletePrinterByName(const char *name)
{
    (void)DeleteKeptPrinter(name);
}

int RemovePrinterAndDriver(const char *name)
{
    PrinterRemoval removal = DeleteKeptPrinter(name);
    /* Only "no such printer" means there is nothing to remove. */
    if (removal == PRINTER_ABSENT)
        return 1;
    if (removal == PRINTER_UNTOUCHED)
        return 0;
    int keptDriver = 0;
    if (!KeepDriver(name, &keptDriver))
        return 0;
    if (!g_spooler->deletePrinterDriver(NULL, SpoolerText(g_state.environment), SpoolerText(name)))
    {
        if (keptDriver)
            ForgetNewestDriver();
        return 0;
    }
    return removal == PRINTER_DELETED;
}

/* Last-write time of the build's model file, read from the program's own
 * folder as every file of the package is, whatever the current folder;
 * zero when it cannot be read. */
static FILETIME ReadDriverDate(const char *fileName)
{
    FILETIME written = {0, 0};
    char path[SETUP_TEXT_MAX];
    GetModuleFolder(path);
    if (FAILED(StringCchCatA(path, sizeof(path), fileName)))
        return written;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return written;
    if (!GetFileTime(file, NULL, NULL, &written))
        written.dwLowDateTime = written.dwHighDateTime = 0;
    CloseHandle(file);
    return written;
}

void ShowSpoolerError(const char *text)
{
    MessageBoxA(NULL, text, kAddDriverErrorCaption, MB_OK | MB_ICONSTOP);
}

static void ReportDriverRefused(DWORD error)
{
    char text[SETUP_TEXT_MAX];
    StringCchPrintfA(text, sizeof(text), kAddDriverErrorFormat, (int)error);
    ShowSpoolerError(text);
}

int InstallDriverAndPrinter(void)
{
    DRIVER_INFO_6A driver;
    PRINTER_INFO_2A printer;
    ZeroMemory(&driver, sizeof(driver));
    ZeroMemory(&printer, sizeof(printer));
    /* The model's name as a one-name list: its NUL, then an empty name. */
    char previousNames[SETUP_TEXT_MAX + 1];
    ZeroMemory(previousNames, sizeof(previousNames));
    (void)StringCchCopyA(previousNames, SETUP_TEXT_MAX, g_state.modelName);

    driver.ftDriverDate = ReadDriverDate(g_profile.driverDateFile);
    driver.cVersion = g_state.driverVersion;
    driver.pName = g_state.modelName;
    driver.pEnvironment = SpoolerText(g_state.environment);
    driver.pDriverPath = SpoolerText(kDriverPath);
    driver.pDataFile = SpoolerText(g_profile.dataFileName);
    driver.pConfigFile = SpoolerText(kConfigFile);
    driver.pHelpFile = SpoolerText(kHelpFile);
    driver.pDependentFiles = g_state.dependentFiles;
    driver.pMonitorName = NULL;
    driver.pDefaultDataType = g_state.defaultDataType;
    driver.pszzPreviousNames = previousNames;
    driver.dwlDriverVersion = 0;
    driver.pszMfgName = NULL;
    driver.pszOEMUrl = SpoolerText(GetEmptyString());
    driver.pszHardwareID = SpoolerText(GetHardwareId(g_state.modelName));
    driver.pszProvider = SpoolerText(GetMakerName());
    /* AddPrinterDriverA overwrites a driver of the same name, and removing
     * a printer in Windows leaves its driver, which the port page's removal
     * then leaves too: its record is kept first, so that a run that does not
     * install puts it back.  A record that cannot be kept (no memory) is not
     * overwritten. */
    int kept = 0;
    if (!KeepDriver(g_state.modelName, &kept))
    {
        ReportDriverRefused(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (!g_spooler->addPrinterDriver(NULL, 6, (LPBYTE)&driver))
    {
        DWORD error = GetLastError();
        ReportDriverRefused(error);
        return 0;
    }
    NoteRegisteredDriver(g_state.modelName);

    printer.pServerName = NULL;
    printer.pPrinterName = g_state.modelName;
    printer.pShareName = NULL;
    printer.pPortName = g_state.portName;
    printer.pDriverName = g_state.modelName;
    printer.pPrintProcessor = SpoolerText(kPrintProcessor);
    printer.pDatatype = g_state.defaultDataType;
    printer.Attributes = PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
    HANDLE added = g_spooler->addPrinter(NULL, 2, (LPBYTE)&printer);
    if (!added)
        return 0;
    NoteRegisteredPrinter(g_state.modelName);
    g_spooler->closePrinter(added);
    return 1;
}
