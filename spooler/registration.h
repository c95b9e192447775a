/*
 * Driver and printer registration: every change the wizard makes to the
 * spooler except the default printer.
 */
#ifndef SETUP_REGISTRATION_H
#define SETUP_REGISTRATION_H

/* 1 when the spooler lists a driver of exactly that name for the
 * environment in use, else 0. */
int IsDriverInstalled(const char *name);
/* Deletes the printer of that name, with full access, if it can; no
 * result: a printer it could not delete is found again, and the refusal
 * reported, by the port page's RemovePrinterAndDriver. */
void DeletePrinterByName(const char *name);
/* Deletes the printer and the driver of that name: 1 when nothing failed
 * (also when the spooler knows no such printer), 0 when the printer could
 * not be opened for another reason or a deletion failed. */
int RemovePrinterAndDriver(const char *name);
/* Registers the driver, then the printer, from g_state: 1 when both were
 * registered, 0 otherwise.  Reports a refused driver itself. */
int InstallDriverAndPrinter(void);
/* The system message box of the spooler's errors: `text` (English in
 * every build) under "Add a printer error ", stop icon, owner none. */
void ShowSpoolerError(const char *text);

#endif
