/*
 * Driver and printer registration: the pages' and the install phase's
 * deletions and registrations.  What they delete is kept first
 * (kept_records.h) and put back at the run's end (put_back.cpp); the
 * default printer is default_printer.h's.
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
/* Deletes the printer of that name, then its driver: 1 when both went, or
 * when the spooler knows no such printer (its driver is then left, and
 * kept before the install overwrites it); 0 when the printer could not be
 * opened for another reason, could not be kept, or a deletion failed. */
int RemovePrinterAndDriver(const char *name);
/* Registers the driver, then the printer, from g_state: 1 when both were
 * registered, 0 otherwise.  Reports a refused driver itself. */
int InstallDriverAndPrinter(void);
/* The system message box of the spooler's errors: `text` (English in
 * every build) under "Add a printer error ", stop icon, owner none. */
void ShowSpoolerError(const char *text);

#endif
