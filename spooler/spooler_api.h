/*
 * Every print spooler operation the program makes, behind one table of
 * function pointers.  The program calls through g_spooler, which points at
 * the real winspool table (filled at start-up from the winspool module in
 * the system folder); a test points it at a table of its own to make
 * the spooler refuse a call or to record what it was given.  The members
 * have winspool's own signatures, so the real table is just the addresses
 * of the winspool functions.  All calls go to the local machine (server
 * name none).
 */
#ifndef SETUP_SPOOLER_API_H
#define SETUP_SPOOLER_API_H

#include <windows.h>
#include <winspool.h>

struct SpoolerApi
{
    BOOL(WINAPI *getPrinterDriverDirectory)
    (LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
    BOOL(WINAPI *enumPrinterDrivers)
    (LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
     LPDWORD returned);
    BOOL(WINAPI *openPrinter)(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults);
    BOOL(WINAPI *deletePrinter)(HANDLE printer);
    BOOL(WINAPI *closePrinter)(HANDLE printer);
    BOOL(WINAPI *deletePrinterDriver)(LPSTR server, LPSTR environment, LPSTR driverName);
    BOOL(WINAPI *addPrinterDriver)(LPSTR server, DWORD level, LPBYTE driverInfo);
    HANDLE(WINAPI *addPrinter)(LPSTR server, DWORD level, LPBYTE printerInfo);
    BOOL(WINAPI *getPrinter)
    (HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
    BOOL(WINAPI *enumPorts)
    (LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned);
    /* What a printer of the run's removals needs to be registered again
     * (Windows 2000 and later): its printer data, by key, and the user's
     * default printer. */
    DWORD(WINAPI *enumPrinterKey)
    (HANDLE printer, LPCSTR key, LPSTR subkeys, DWORD size, LPDWORD needed);
    DWORD(WINAPI *enumPrinterDataEx)
    (HANDLE printer, LPCSTR key, LPBYTE values, DWORD size, LPDWORD needed, LPDWORD returned);
    DWORD(WINAPI *setPrinterDataEx)
    (HANDLE printer, LPCSTR key, LPCSTR value, DWORD type, LPBYTE data, DWORD size);
    BOOL(WINAPI *getDefaultPrinter)(LPSTR buffer, LPDWORD size);
    BOOL(WINAPI *setDefaultPrinter)(LPCSTR name);
};

/* The platform's spooler, filled by LoadWinSpooler at start-up. */
extern const SpoolerApi &kWinSpooler;

/* The spooler the program calls; &kWinSpooler unless a test replaced it. */
extern const SpoolerApi *g_spooler;

/* Fills kWinSpooler from the loaded winspool module; 0 when a function is
 * missing (the table is then left empty). */
int LoadWinSpooler(HMODULE winspool);

/* winspool takes names as non-const texts although it never writes them. */
inline LPSTR SpoolerText(const char *text)
{
    return const_cast<LPSTR>(text);
}

#endif
