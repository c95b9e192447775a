/*
 * Driver and printer registration: every change the wizard makes to the
 * spooler except the default printer.
 */
#ifndef SETUP_REGISTRATION_H
#define SETUP_REGISTRATION_H

/* 1 when the spooler lists a driver of exactly that name for the
 * environment in use, else 0. */
int IsDriverInstalled(const char *name);
/* Deletes the printer of that name if it can; no result. */
void DeletePrinterByName(const char *name);
/* Deletes the printer and the driver of that name: 1 when nothing failed
 * (also when there is no such printer), 0 when a deletion failed. */
int RemovePrinterAndDriver(const char *name);
/* Registers the driver, then the printer, from g_state: 1 when both were
 * registered, 0 otherwise.  Reports a refused driver itself. */
int InstallDriverAndPrinter(void);

#endif
